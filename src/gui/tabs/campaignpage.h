#pragma once

#include "core/kinds/missiontable.h"
#include "gui/tabs/formpage.h"
#include "gui/tabs/openedmissions.h"

#include <QPointer>

#include <functional>
#include <memory>

class Prompts;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QIdentityProxyModel;
class QPushButton;
class QTableView;
class SaveFlow;

// A tab that writes one mission from its boxes (FormPage) or, once the
// author ticks its campaign box, the missions of a campaign from a table
// (Missflag, Titles). The table takes the place of the boxes: it edits the
// file the boxes edited (their edit included) or a new one, and its save
// button saves the table's file. Unticking the box hands the table's file
// back to the boxes. While the table does not show, the tab is exactly the
// one-mission form, and its table does not exist.
//
// Keys in the table: Insert adds a row (its number ready to type), Delete
// deletes the selected one, F2 or typing edits a cell, Space ticks a check box.
// The controls are named per tab (Names); the table is `missionTable` on
// the Missflag tab and `titleTable` on the Titles tab.
class CampaignPage : public FormPage
{
    Q_OBJECT

public:
    bool showsTable() const { return m_table != nullptr; }
    // The table's whole mission numbers while it shows; nothing otherwise.
    std::optional<QList<int>> campaignMissions() const;
    // The other campaign file's missions, while the other tab shows its
    // table: the rows it lacks are marked (nothing is changed).
    void setOtherMissions(const std::optional<QList<int>> &numbers);

    void markChanged() override;

    QCheckBox *campaignBox = nullptr;   // "Campaign: several missions"
    QTableView *tableView = nullptr;    // while the table shows
    QPushButton *addButton = nullptr;
    QPushButton *deleteButton = nullptr;

Q_SIGNALS:
    // The table shown or hidden, or a row added, deleted or renumbered.
    void missionsChanged();

protected:
    struct Names {
        const char *box;
        const char *panel;
        const char *table;
        const char *add;
        const char *remove;
        QString tableName;   // for a screen reader
        QString work;        // the unsaved work, as the close question names it
    };

    CampaignPage(Prompts &prompts, SaveFlow &saveFlow, QWidget *parent);
    // The campaign box at `box`; the table, when it shows, fills `panel`.
    void makeCampaignBox(const Names &names, const QRect &box, const QRect &panel);

    // The tab's own part.
    virtual std::unique_ptr<MissionTable> makeTable(StrDocument document) const = 0;
    virtual StrDocument newCampaign() const = 0;
    // The boxes' edit of the mission shown, made part of the opened file;
    // false, with the refusal shown, when it cannot be written.
    virtual bool keepEdit() = 0;
    // The boxes show the mission on line `entry` of the opened file (-1: a new one).
    virtual void showMission(int entry) = 0;
    // The boxes edit `document` again, an opened file with `unsaved` edits.
    virtual void editInBoxes(const StrDocument &document, bool unsaved) = 0;
    // The boxes and their labels, hidden while the table shows.
    virtual QList<QWidget *> formControls() const = 0;
    // The number of the first row in an empty table.
    virtual int firstNumber() const = 0;
    // Controls of the tab's own below the table, from grid row `row`.
    virtual void addPanelControls(QGridLayout *, int) {}
    // After every change of the table.
    virtual void tableEdited() {}

    MissionTable *table() const { return m_table.get(); }
    // What the save button does while the table shows.
    void saveCampaign(const QString &fileName);
    // A file opened while the table shows: the table shows it.
    void loadCampaign(const StrDocument &document);
    // What closing would lose of the table ("" when nothing).
    QStringList campaignWork() const;
    void draftCampaign(QVariantMap &draft) const;
    // The file opened, with the boxes' edit laid in, and whether it holds
    // unsaved edits; nothing for a new file. False when the edit is refused.
    bool openedDocument(std::optional<StrDocument> *document, bool *unsaved);
    void restoreCampaign(const QJsonObject &draft);

    // The boxes of an opened file are a view of one row of the tab's table
    // model over it: they show the row, and an edit of theirs is made to the
    // row (`edit`, false when it changes a row kept as it stands), so the file
    // the boxes write is the model's document(), judged and written as the
    // table judges and writes it. Nothing, with the refusal told, when the
    // row cannot be written.
    // `edit` returns the row edited (-2: refused); the edited file comes with
    // the row's number as the table holds it.
    using RowEdit = std::function<int(MissionTable &table, int row)>;
    std::optional<std::pair<StrDocument, QString>> editedRow(const RowEdit &edit);
    // The file `edited` (from editedRow) kept as the opened file's (a step of
    // its undo), its rows read again and the boxes' row found by its number;
    // false when there is none or it is refused.
    bool keepEditedRow(const std::optional<std::pair<StrDocument, QString>> &edited);
    // The entry of the row of `number` in the opened file; -1 for none.
    int entryOfNumber(const QString &number) const;
    // The entry of the row whose line has `key`; -1 for none.
    int entryOfKey(const QString &key) const;
    // The rows of the opened file (its model), for showing one.
    const MissionTable *fileRows() const { return m_fileRows.get(); }
    // The row the boxes show (of m_file.entry); -1 for none.
    int shownRow() const;
    // The entry of the row to show first: the first or the last line of a
    // row's first part in file order; -1 for none.
    int firstEntry(bool last) const;
    // The model afresh from m_file.document, after it changed.
    void readFileRows();
    // Lists the opened file's rows in `choice` in file order, m_file.entry current.
    void showRowChoices(QComboBox *choice) const;

    Prompts &m_prompts;
    SaveFlow &m_saveFlow;
    OpenedMissions m_file;   // the file the boxes edit, when one was opened

private:
    void setCampaign(bool on);
    bool leaveTable();
    void showTable(std::unique_ptr<MissionTable> table);
    void hideTable();
    void addRow();
    void deleteRow();

    Names m_names;
    QRect m_panelRect;
    QPointer<QWidget> m_panel;
    QIdentityProxyModel *m_shown = nullptr;
    std::unique_ptr<MissionTable> m_table;
    std::unique_ptr<MissionTable> m_fileRows;   // the rows of m_file.document, while a file is opened
    QList<QWidget *> m_hidden;       // the form's controls the table hid
    QJsonObject m_savedState;        // the rows as last saved or opened
    bool m_pending = false;          // unsaved edits made before the table showed
    bool m_opened = false;           // the table edits a file opened, not a new one
    std::optional<QList<int>> m_other;
};
