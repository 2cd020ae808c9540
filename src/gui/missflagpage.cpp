#include "gui/missflagpage.h"

#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/missflagfile.h"
#include "core/prompts.h"
#include "core/saveflow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

MissflagPage::MissflagPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent)
    : FormPage(parent)
    , m_prompts(prompts)
    , m_saveFlow(saveFlow)
{
    setObjectName(QStringLiteral("MissflagTab"));
    Mlbl = label("Mlbl", QStringLiteral("Mission No."), Twips::onPage(720, 1500, 1155, 255), this);
    Mnum = lineEdit("Mnum", QStringLiteral("20"), Twips::onPage(2160, 1500, 735, 375), this);
    Mnlbl = label("Mnlbl", QStringLiteral("Enter your Miss No."), Twips::onPage(3000, 1620, 2055, 255), this);
    Brlbl = label("Brlbl", QStringLiteral("Briefing No."), Twips::onPage(720, 2820, 1185, 255), this);
    Bno = lineEdit("Bno", QStringLiteral("no_briefing"), Twips::onPage(2160, 2820, 2895, 375), this);
    br2lbl = label("br2lbl", QStringLiteral("Only change this if you have a briefing!"),
                   Twips::onPage(5160, 2940, 4095, 255), this);
    Mlbl->setBuddy(Mnum);
    Mnum->setAccessibleDescription(Mnlbl->text());
    Brlbl->setBuddy(Bno);
    Bno->setAccessibleDescription(br2lbl->text());
    Cmf = button("Cmf", QStringLiteral("Create Missflag . str"), Twips::onPage(3240, 4980, 2775, 735), this);
    connect(Cmf, &QPushButton::clicked, this, &MissflagPage::Cmf_Click);
    missionChoice = make<QComboBox>("missionChoice", Twips::onPage(5400, 1500, 2535, 375), this);
    missionChoice->setAccessibleName(tr("Mission to edit"));
    missionChoice->hide();
    connect(missionChoice, &QComboBox::activated, this, [this](int index) {
        if (!keepEdit()) {
            showChoices();
            return;
        }
        showMission(missionChoice->itemData(index).toInt());
    });
    setBoxes({Mnum, Bno}, tr("the mission number and briefing flag on the Missflag tab"));
}

void MissflagPage::Cmf_Click()
{
    const QString number = Mnum->text();
    const MissflagFile::MissionNumber mission = MissflagFile::readMissionNumber(number);
    switch (mission.reading) {
    case MissflagFile::Reading::NotANumber:
        m_prompts.tell(tr("The mission number must be a number, such as 20."));
        return;
    case MissflagFile::Reading::AboveHighest:
        m_prompts.tell(tr("The mission number can be at most %1: missflag.str gets a skip line "
                          "for every mission number below yours.")
                           .arg(MissflagFile::HighestMissionNumber));
        return;
    case MissflagFile::Reading::Accepted:
        break;
    }
    const QString briefing = Bno->text();
    if (!m_file.opened) {
        if (m_saveFlow.save(MissflagFile::FileName, MissflagFile::content(number, mission.skipLines, briefing)))
            markSaved();
        return;
    }
    const MissflagFile::Mission now{number, briefing, m_shown.flags};
    const StrDocument file = MissflagFile::document(m_file.document, m_file.entry, m_shown, now);
    if (!m_saveFlow.save(MissflagFile::FileName, file))
        return;
    if (std::optional<StrDocument> written = file.written(m_saveFlow.codePage())) {
        m_file.saved(*written);
        const QList<int> missions = MissflagFile::missions(m_file.document);
        m_file.entry = m_file.entry >= 0 ? m_file.entry : (missions.isEmpty() ? -1 : missions.constLast());
        m_shown = now;
    }
    showChoices();
    markSaved();
}

void MissflagPage::load(const StrReader::Result &file, const QString &)
{
    m_file.opened = true;
    m_file.document = file.document;
    m_file.otherEdits = false;
    const QList<int> missions = MissflagFile::missions(m_file.document);
    showMission(missions.isEmpty() ? -1 : missions.constLast());
}

void MissflagPage::showMission(int entry)
{
    m_file.entry = entry;
    m_shown = entry >= 0 ? MissflagFile::mission(m_file.document, entry)
                         : MissflagFile::Mission{QString(), QString(), QLatin1String(" ,no_loadout, end")};
    fill({m_shown.number, m_shown.briefing});
    showChoices();
}

void MissflagPage::showChoices()
{
    m_file.showChoices(missionChoice, MissflagFile::missions);
}

bool MissflagPage::keepEdit()
{
    const MissflagFile::Mission now{Mnum->text(), Bno->text(), m_shown.flags};
    if (m_file.entry < 0 || (now.number == m_shown.number && now.briefing == m_shown.briefing))
        return true;
    const StrDocument file = MissflagFile::document(m_file.document, m_file.entry, m_shown, now);
    return m_file.keep(file, m_saveFlow);
}

QStringList MissflagPage::unsavedWork() const
{
    QStringList work = FormPage::unsavedWork();
    if (m_file.otherEdits && work.isEmpty())
        work.append(tr("the mission flags edited on the Missflag tab"));
    return work;
}

QJsonObject MissflagPage::draft() const
{
    QJsonObject draft = FormPage::draft();
    m_file.addToDraft(draft);
    return draft;
}

void MissflagPage::restore(const QJsonObject &draft)
{
    m_file.restore(draft, MissflagFile::missions);
    if (m_file.entry >= 0)
        m_shown = MissflagFile::mission(m_file.document, m_file.entry);
    showChoices();
    FormPage::restore(draft);
}
