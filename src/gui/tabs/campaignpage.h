#pragma once

#include "core/kinds/missiontable.h"
#include "gui/tabs/formpage.h"
#include "gui/tabs/openedmissions.h"

#include <QPointer>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QIdentityProxyModel;
class QPushButton;
class QTableView;

// A tab that writes one mission from its boxes (FormPage) or, once the
// author ticks its campaign box, the missions of a campaign from a table
// (Missflag, Titles). The table takes the place of the boxes: it edits the
// file the boxes edited (their edit included) or a new one, and every edit
// of it is a step of the file's undo. Unticking the box hands the file back
// to the boxes. While the table does not show, the tab is exactly the
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

    StrDocument newFile() const override { return newCampaign(); }
    void showDocument(const StrDocument &file) override;
    void load(const StrDocument &file, const QString &path) override;
    std::variant<StrDocument, Error> apply() const override;
    bool holdsUnlaid() const override;
    void markLaid() override;
    QStringList unsavedWork() const override;
    QVariantMap draft() const override;
    void restore(const QJsonObject &draft) override;

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

    explicit CampaignPage(Prompts &prompts, QWidget *parent);
    // The campaign box at `box`; the table, when it shows, fills `panel`.
    void makeCampaignBox(const Names &names, const QRect &box, const QRect &panel);

    // The tab's own part.
    virtual std::unique_ptr<MissionTable> makeTable(StrDocument document) const = 0;
    virtual StrDocument newCampaign() const = 0;
    // The one-mission form's file: a new one composed from the boxes, or the
    // opened file with the boxes' edit of the mission shown; or the refusal.
    virtual std::variant<StrDocument, Error> formFile() const = 0;
    // The boxes' edit differs from the mission shown.
    virtual bool boxesEdited() const = 0;
    // The boxes show the mission on line `entry` of the opened file (-1: a
    // new one); `following`: a box typed into keeps what it holds.
    virtual void showMission(int entry, bool following) = 0;
    // The mission number of the row the boxes show, as the file writes it,
    // and the one typed into them.
    virtual QString shownNumber() const = 0;
    virtual QString typedNumber() const = 0;
    // The boxes and their labels, hidden while the table shows.
    virtual QList<QWidget *> formControls() const = 0;
    // The number of the first row in an empty table.
    virtual int firstNumber() const = 0;
    // Controls of the tab's own below the table, from grid row `row`.
    virtual void addPanelControls(QGridLayout *, int) {}
    // After every change of the table.
    virtual void tableEdited() {}
    // The mission choice of the boxes.
    virtual QComboBox *choiceBox() const = 0;

    MissionTable *table() const { return m_table.get(); }

    // The boxes of an opened file are a view of one row of the tab's table
    // model over it: they show the row, and an edit of theirs is made to the
    // row (`edit` returns the row edited, -2 when it changes a row kept as it
    // stands), so the file the boxes write is the model's document(), judged
    // and written as the table judges and writes it. The edited file, or the
    // refusal.
    using RowEdit = std::function<int(MissionTable &table, int row)>;
    std::variant<StrDocument, Error> editedRow(const RowEdit &edit) const;
    // The boxes' edit kept in the file as a step of its undo before another
    // mission shows or the table takes the file; false, told, when refused.
    bool keepEdit();
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
    // Lists the opened file's rows in the mission choice in file order, m_file.entry current.
    void showChoices();

    OpenedMissions m_file;   // the file the boxes edit, when one was opened

private:
    void setCampaign(bool on);
    bool leaveTable();
    void showTable(std::unique_ptr<MissionTable> table);
    void hideTable();
    void addRow();
    void deleteRow();
    void readFileRows();
    // The opened file shown in the boxes again, `file` as it now is.
    void takeFile(const StrDocument &file);
    // A table edit laid into the file.
    void storeTable();
    // The boxes' edit, laid into the document, made part of the file they
    // show: the mission typed shown again from it.
    void rebaseOnDocument();

    Names m_names;
    QRect m_panelRect;
    QPointer<QWidget> m_panel;
    QIdentityProxyModel *m_shown = nullptr;
    std::unique_ptr<MissionTable> m_table;
    std::unique_ptr<MissionTable> m_fileRows;   // the rows of m_file.document, while a file is opened
    QList<QWidget *> m_hidden;       // the form's controls the table hid
    bool m_showing = false;          // the table shows a file: its edits are none of the author's
    bool m_unlaid = false;           // an edit the file could not take (a row refused)
    std::optional<QList<int>> m_other;
};
