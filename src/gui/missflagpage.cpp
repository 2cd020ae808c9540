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
    if (!m_opened) {
        if (m_saveFlow.save(MissflagFile::FileName, MissflagFile::content(number, mission.skipLines, briefing)))
            markSaved();
        return;
    }
    const MissflagFile::Mission now{number, briefing, m_shown.flags};
    const StrDocument file = MissflagFile::document(m_document, m_entry, m_shown, now);
    if (!m_saveFlow.save(MissflagFile::FileName, file))
        return;
    if (std::optional<StrDocument> written = file.written(m_saveFlow.codePage())) {
        m_document = std::move(*written);
        const QList<int> missions = MissflagFile::missions(m_document);
        m_entry = m_entry >= 0 ? m_entry : (missions.isEmpty() ? -1 : missions.constLast());
        m_shown = now;
    }
    m_otherEdits = false;
    showChoices();
    markSaved();
}

void MissflagPage::load(const StrReader::Result &file, const QString &)
{
    m_opened = true;
    m_document = file.document;
    m_otherEdits = false;
    const QList<int> missions = MissflagFile::missions(m_document);
    showMission(missions.isEmpty() ? -1 : missions.constLast());
}

void MissflagPage::showMission(int entry)
{
    m_entry = entry;
    m_shown = entry >= 0 ? MissflagFile::mission(m_document, entry)
                         : MissflagFile::Mission{QString(), QString(), QLatin1String(" ,no_loadout, end")};
    fill({m_shown.number, m_shown.briefing});
    showChoices();
}

void MissflagPage::showChoices()
{
    const QList<int> missions = m_opened ? MissflagFile::missions(m_document) : QList<int>();
    missionChoice->clear();
    for (const int entry : missions)
        missionChoice->addItem(m_document.key(entry), entry);
    missionChoice->setCurrentIndex(missionChoice->findData(m_entry));
    missionChoice->setVisible(missions.size() > 1);
}

bool MissflagPage::keepEdit()
{
    const MissflagFile::Mission now{Mnum->text(), Bno->text(), m_shown.flags};
    if (m_entry < 0 || (now.number == m_shown.number && now.briefing == m_shown.briefing))
        return true;
    const StrDocument file = MissflagFile::document(m_document, m_entry, m_shown, now);
    if (m_saveFlow.refuse(file.authorTexts()))
        return false;
    std::optional<StrDocument> written = file.written(m_saveFlow.codePage());
    if (!written)
        return false;
    m_document = std::move(*written);
    m_otherEdits = true;
    return true;
}

QStringList MissflagPage::unsavedWork() const
{
    QStringList work = FormPage::unsavedWork();
    if (m_otherEdits && work.isEmpty())
        work.append(tr("the mission flags edited on the Missflag tab"));
    return work;
}

QJsonObject MissflagPage::draft() const
{
    QJsonObject draft = FormPage::draft();
    if (m_opened) {
        draft.insert(QStringLiteral("document"), m_document.toDraft());
        draft.insert(QStringLiteral("entry"), m_entry);
        draft.insert(QStringLiteral("otherEdits"), m_otherEdits);
    }
    return draft;
}

void MissflagPage::restore(const QJsonObject &draft)
{
    const std::optional<StrDocument> document =
        StrDocument::fromDraft(draft.value(QStringLiteral("document")).toObject());
    m_opened = document.has_value();
    m_document = document.value_or(StrDocument());
    const int entry = draft.value(QStringLiteral("entry")).toInt(-1);
    m_entry = MissflagFile::missions(m_document).contains(entry) ? entry : -1;
    if (m_entry >= 0)
        m_shown = MissflagFile::mission(m_document, m_entry);
    m_otherEdits = m_opened && draft.value(QStringLiteral("otherEdits")).toBool();
    showChoices();
    FormPage::restore(draft);
}
