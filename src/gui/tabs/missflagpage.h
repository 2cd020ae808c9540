#pragma once

#include "core/kinds/missflag.h"
#include "gui/tabs/campaignpage.h"
#include "gui/tabs/openedmissions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Missflag tab: the author's mission number and briefing flag, written to
// missflag.str with a skip line for every mission number below it. An opened
// file keeps its other lines; when it holds several missions, `missionChoice`
// picks the one the boxes edit. With "Campaign: several missions" ticked, a
// table of the missions and their flags (`missionTable`) takes the boxes'
// place: the skip lines follow the missions, and `skipAfterLast` gives the
// number after the last mission one.
class MissflagPage : public CampaignPage
{
    Q_OBJECT

public:
    explicit MissflagPage(Prompts &prompts, QWidget *parent = nullptr);

    StrReader::Kind kind() const override { return StrReader::Kind::Missflag; }
    std::variant<QString, Error> proposedName() const override;

    QLabel *Mlbl = nullptr;
    QLineEdit *Mnum = nullptr;
    QLabel *Mnlbl = nullptr;
    QLabel *Brlbl = nullptr;
    QLineEdit *Bno = nullptr;
    QLabel *br2lbl = nullptr;
    QPushButton *Cmf = nullptr;
    QComboBox *missionChoice = nullptr;
    // While the table shows: the skip line after the last mission, and the skip lines the file gets.
    QPointer<QCheckBox> skipAfterLast;
    QPointer<QLabel> skipLinesLabel;

public Q_SLOTS:
    void Cmf_Click();

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
    void addPanelControls(QGridLayout *layout, int row) override;
    void tableEdited() override;
    QComboBox *choiceBox() const override { return missionChoice; }

private:
    // The mission of the row shown (m_file.entry, which becomes -1 when it is no row's).
    MissflagFile::Mission shownMission();

    MissflagFile::Mission m_shown;      // that row as the boxes were filled from it
};
