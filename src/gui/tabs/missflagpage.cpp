#include "gui/tabs/missflagpage.h"

#include "gui/stretch.h"
#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/kinds/missflag.h"
#include "core/save/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

MissflagPage::MissflagPage(Prompts &prompts, QWidget *parent)
    : CampaignPage(prompts, parent)
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
        const QString chosen = missionChoice->itemText(index);
        if (!keepEdit()) {
            showChoices();
            return;
        }
        showMission(entryOfKey(chosen), false);   // its line, in the file as the edit left it
    });
    setBoxes({Mnum, Bno}, tr("the mission number and briefing flag on the Missflag tab"));
    makeCampaignBox({"flagsCampaign", "flagsPanel", "missionTable", "addMission", "deleteMission",
                     tr("Missions and their flags"), tr("the missions in the table on the Missflag tab")},
                    Twips::onPage(720, 840, 4200, 300), Twips::onPage(120, 1260, 10740, 3600));
    Stretcher::of(this)->add(Cmf, {0.5, 1, 0, 0});   // below the table, which grows with the window
}

void MissflagPage::Cmf_Click()
{
    Q_EMIT saveRequested();
}

std::variant<QString, Error> MissflagPage::proposedName() const
{
    return QString(MissflagFile::FileName);
}

std::variant<StrDocument, Error> MissflagPage::formFile() const
{
    const QString number = Mnum->text();
    const QString briefing = Bno->text();
    if (!m_file.opened) {
        const MissflagFile::MissionNumber mission = MissflagFile::readMissionNumber(number);
        switch (mission.reading) {
        case MissflagFile::Reading::NotANumber:
            return Error{Error::Kind::Refused, tr("The mission number must be a number, such as 20."), {}, {}};
        case MissflagFile::Reading::AboveHighest:
            return Error{Error::Kind::Refused,
                         tr("The mission number can be at most %1: missflag.str gets a skip line "
                            "for every mission number below yours.")
                             .arg(MissflagFile::HighestMissionNumber),
                         {}, {}};
        case MissflagFile::Reading::Accepted:
            break;
        }
        return MissflagFile::content(number, mission.skipLines, briefing);
    }
    // An opened file's mission is a row of its table, judged as the table judges it.
    const MissflagFile::Mission now{number, briefing, m_shown.flags};
    return editedRow([&](MissionTable &rows, int row) {
        const QString text = now.briefing + now.flags;
        if (row < 0) {   // a file of no mission yet: its first
            row = rows.addRow(now.number);
            rows.setData(rows.index(row, MissflagTable::Text), text);
            return row;
        }
        if (now.number == m_shown.number && now.briefing == m_shown.briefing)
            return row;
        if (rows.isReadOnly(row))
            return -2;
        if (now.briefing != m_shown.briefing)
            rows.setData(rows.index(row, MissflagTable::Text), text);
        if (now.number != m_shown.number)
            rows.setData(rows.index(row, MissionTable::NumberColumn), now.number);   // last: the row moves
        return rows.rowOf(m_file.entry);
    });
}

QString MissflagPage::typedNumber() const
{
    return Mnum->text();
}

bool MissflagPage::boxesEdited() const
{
    return Mnum->text() != m_shown.number || Bno->text() != m_shown.briefing;
}

void MissflagPage::showMission(int entry, bool following)
{
    m_file.entry = entry;
    m_shown = shownMission();
    if (following)
        follow({m_shown.number, m_shown.briefing});
    else
        fill({m_shown.number, m_shown.briefing});
    showChoices();
}

MissflagFile::Mission MissflagPage::shownMission()
{
    const int row = shownRow();
    if (row < 0) {
        m_file.entry = -1;
        return {QString(), QString(), QLatin1String(" ,no_loadout, end")};
    }
    const MissionTable &rows = *fileRows();
    return MissflagFile::mission(rows.index(row, MissionTable::NumberColumn).data().toString(),
                                 rows.index(row, MissflagTable::Text).data(Qt::EditRole).toString());
}

std::unique_ptr<MissionTable> MissflagPage::makeTable(StrDocument document) const
{
    return std::make_unique<MissflagTable>(std::move(document));
}

StrDocument MissflagPage::newCampaign() const
{
    return MissflagTable::newFile();
}

QList<QWidget *> MissflagPage::formControls() const
{
    return {Mlbl, Mnum, Mnlbl, Brlbl, Bno, br2lbl, missionChoice};
}

int MissflagPage::firstNumber() const
{
    return MissionTable::wholeNumber(Mnum->text()).value_or(1);
}

void MissflagPage::addPanelControls(QGridLayout *layout, int row)
{
    auto *flags = static_cast<MissflagTable *>(table());
    skipAfterLast = new QCheckBox(tr("Skip the number after the last mission"), layout->parentWidget());
    skipAfterLast->setObjectName(QStringLiteral("skipAfterLast"));
    skipAfterLast->setChecked(flags->skipsAfterLast());
    connect(skipAfterLast, &QCheckBox::toggled, flags, &MissflagTable::setSkipsAfterLast);
    skipLinesLabel = new QLabel(layout->parentWidget());
    skipLinesLabel->setObjectName(QStringLiteral("skipLinesLabel"));
    skipLinesLabel->setWordWrap(true);
    layout->addWidget(skipAfterLast, row, 0, 1, 2);
    layout->addWidget(skipLinesLabel, row + 1, 0, 1, 2);
}

void MissflagPage::tableEdited()
{
    if (!skipLinesLabel)
        return;
    // "1–18, 20–22, 24, 26": runs of numbers joined by an en dash.
    QStringList runs;
    const QList<int> numbers = static_cast<const MissflagTable *>(table())->skipLines();
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        qsizetype last = i;
        while (last + 1 < numbers.size() && numbers.at(last + 1) == numbers.at(last) + 1)
            ++last;
        runs.append(last == i ? QString::number(numbers.at(i))
                              : QString::number(numbers.at(i)) + QChar(0x2013) + QString::number(numbers.at(last)));
        i = last;
    }
    skipLinesLabel->setText(runs.isEmpty() ? tr("Skip lines: none")
                                           : tr("Skip lines: %1").arg(runs.join(QLatin1String(", "))));
}
