#pragma once

#include "core/kinds/titles.h"
#include "gui/tabs/campaignpage.h"
#include "gui/tabs/openedmissions.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Titles tab: a mission number and title, written to Titles.str once
// neither box is empty. With "Campaign: several missions" ticked, a table of
// the missions with their titles and short titles (`titleTable`) takes the
// boxes' place; a short title that is empty or too long is marked.
class TitlesPage : public CampaignPage
{
    Q_OBJECT

public:
    explicit TitlesPage(Prompts &prompts, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Titles; }
    std::variant<QString, Error> proposedName() const override;

    QLabel *Mn2lbl = nullptr;
    QLineEdit *Mn2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Mt2lbl = nullptr;
    QLineEdit *Mt2 = nullptr;
    QPushButton *Titles = nullptr;

    QComboBox *titleChoice = nullptr;   // the mission the boxes edit, when the file holds several

public Q_SLOTS:
    void Titles_Click();

protected:
    std::unique_ptr<MissionTable> makeTable(StrDocument document) const override;
    StrDocument newCampaign() const override;
    std::variant<StrDocument, Error> formFile() const override;
    bool boxesEdited() const override;
    void showMission(int entry, bool following) override;
    QString shownNumber() const override { return m_shown.number; }
    QString typedNumber() const override;
    QList<QWidget *> formControls() const override;
    int firstNumber() const override;
    QComboBox *choiceBox() const override { return titleChoice; }

private:
    // The mission of the row shown (m_file.entry, which becomes -1 when it is no row's title).
    TitlesFile::Mission shownMission();

    TitlesFile::Mission m_shown;    // that row as the boxes were filled from it
};
