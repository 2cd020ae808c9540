#include "gui/tabs/titlespage.h"

#include "gui/stretch.h"
#include "gui/twips.h"
#include "gui/widgets.h"
#include "core/save/prompts.h"
#include "core/kinds/titles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Widgets;

TitlesPage::TitlesPage(Prompts &prompts, QWidget *parent)
    : CampaignPage(prompts, parent)
{
    setObjectName(QStringLiteral("TitlesTab"));
    Mn2lbl = label("Mn2lbl", QStringLiteral("Mission No."), Twips::onPage(1560, 1860, 1335, 255), this);
    Mn2 = lineEdit("Mn2", QString(), Twips::onPage(3600, 1860, 735, 375), this);
    Label5 = wrappedLabel("Label5", QStringLiteral("Please ensure this is the same Number and Title as your mission!"),
                          Twips::onPage(4920, 1860, 3735, 495), this);
    Mt2lbl = label("Mt2lbl", QStringLiteral("Mission Title"), Twips::onPage(1560, 2940, 1455, 255), this);
    Mt2 = lineEdit("Mt2", QString(), Twips::onPage(3600, 2940, 2535, 375), this);
    Mn2lbl->setBuddy(Mn2);
    Mt2lbl->setBuddy(Mt2);
    Mn2->setAccessibleDescription(Label5->text());
    Titles = button("Titles", QStringLiteral("Create Titles . str"), Twips::onPage(3480, 4620, 2655, 735), this);
    connect(Titles, &QPushButton::clicked, this, &TitlesPage::Titles_Click);
    titleChoice = make<QComboBox>("titleChoice", Twips::onPage(3600, 1380, 2535, 375), this);
    titleChoice->setAccessibleName(tr("Mission to edit"));
    titleChoice->hide();
    connect(titleChoice, &QComboBox::activated, this, [this](int index) {
        const QString chosen = titleChoice->itemText(index);
        if (!keepEdit()) {
            showChoices();
            return;
        }
        showMission(entryOfKey(chosen), false);   // its line, in the file as the edit left it
    });
    setBoxes({Mn2, Mt2}, tr("the mission number and title on the Titles tab"));
    makeCampaignBox({"titlesCampaign", "titlePanel", "titleTable", "addTitle", "deleteTitle",
                     tr("Missions and their titles"), tr("the missions in the table on the Titles tab")},
                    Twips::onPage(1560, 840, 4200, 300), Twips::onPage(120, 1260, 10740, 3270));
    Stretcher::of(this)->add(Titles, {0.5, 1, 0, 0});   // below the table, which grows with the window
}

void TitlesPage::Titles_Click()
{
    Q_EMIT saveRequested();
}

std::variant<QString, Error> TitlesPage::proposedName() const
{
    return QString(TitlesFile::FileName);
}

std::variant<StrDocument, Error> TitlesPage::formFile() const
{
    // Only a box with no character at all counts as empty; blanks are written.
    if (Mn2->text().isEmpty())
        return Error{Error::Kind::Refused, QStringLiteral("You forgot the Mission No.!"), {}, {}};
    if (Mt2->text().isEmpty())
        return Error{Error::Kind::Refused, QStringLiteral("You forgot the Mission Title!"), {}, {}};
    if (!m_file.opened || m_file.entry < 0)
        return TitlesFile::content(Mn2->text(), Mt2->text());
    const TitlesFile::Mission now{Mn2->text(), Mt2->text()};
    return editedRow([&](MissionTable &rows, int row) {
        if (now.number == m_shown.number && now.title == m_shown.title)
            return row;
        if (rows.isReadOnly(row))
            return -2;
        if (now.title != m_shown.title) {
            // The short title names the save game: it follows the title only where it was the same.
            const QModelIndex shortTitle = rows.index(row, TitlesTable::Short);
            const bool same = rows.entryOf(row, 1) >= 0 && shortTitle.data(Qt::EditRole).toString() == m_shown.title;
            rows.setData(rows.index(row, TitlesTable::Title), now.title);
            if (same)
                rows.setData(shortTitle, now.title);
        }
        if (now.number != m_shown.number)
            rows.setData(rows.index(row, MissionTable::NumberColumn), now.number);   // last: the row moves
        return rows.rowOf(m_file.entry);
    });
}

QString TitlesPage::typedNumber() const
{
    return Mn2->text();
}

bool TitlesPage::boxesEdited() const
{
    return Mn2->text() != m_shown.number || Mt2->text() != m_shown.title;
}

void TitlesPage::showMission(int entry, bool following)
{
    m_file.entry = entry;
    m_shown = shownMission();
    if (following)
        follow({m_shown.number, m_shown.title});
    else
        fill({m_shown.number, m_shown.title});
    showChoices();
}

TitlesFile::Mission TitlesPage::shownMission()
{
    const int row = shownRow();
    if (row < 0 || fileRows()->entryOf(row, 0) != m_file.entry) {
        m_file.entry = -1;
        return {};
    }
    const MissionTable &rows = *fileRows();
    return {rows.index(row, MissionTable::NumberColumn).data().toString(),
            rows.index(row, TitlesTable::Title).data(Qt::EditRole).toString()};
}

std::unique_ptr<MissionTable> TitlesPage::makeTable(StrDocument document) const
{
    return std::make_unique<TitlesTable>(std::move(document));
}

StrDocument TitlesPage::newCampaign() const
{
    return StrDocument(QByteArray(), StrDocument::Encoding{});
}

QList<QWidget *> TitlesPage::formControls() const
{
    return {Mn2lbl, Mn2, Label5, Mt2lbl, Mt2, titleChoice};
}

int TitlesPage::firstNumber() const
{
    return MissionTable::wholeNumber(Mn2->text()).value_or(1);
}
