#pragma once

#include "core/mission/folder.h"
#include "core/mission/translation/translationset.h"

#include <QJsonObject>
#include <QVariantMap>
#include <QWidget>

#include <optional>

class BackgroundJob;
class EntryPane;
class MissionWorkspace;
class Prompts;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTreeView;
class TranslationFilterModel;
class WorkspaceDocument;
namespace TranslationSearch {
struct Result;
}

// The translation of a mission: a source language and a target language
// of its folder, the files of the source listed with how much of each is
// translated, and one file's entries as a table of key, source text (read
// only), translation (edited in place) and state.
//
// The window is a view of the mission's workspace (TranslationSet): each
// file's source and translation are the workspace's documents, a
// translation typed is a change of its document (a step of its undo, an
// unsaved change the main window's Save All, close question and draft see),
// a change made elsewhere (undo, a replacement, a tab, a reload) shows in
// the table, and saving goes through the workspace.
//
// Keys: Ctrl+Down and Ctrl+Up go to the next and the previous entry that
// needs work (untranslated, to be reviewed, outdated) among those the
// filter shows, in every file, round the mission; any key typed on a row
// edits its translation; Ctrl+Return marks the entry done; Ctrl+S saves
// every file translated; Ctrl+Z and Ctrl+Shift+Z (Ctrl+Y on Windows) undo
// and redo in the file shown. The title and the files' names are marked *
// while anything is unsaved; the window stays on its screen, and each
// mission's languages are remembered.
class TranslationWindow : public QWidget
{
    Q_OBJECT

public:
    TranslationWindow(MissionWorkspace &workspace, Prompts &prompts, QWidget *parent = nullptr);
    ~TranslationWindow() override;

    // The mission `scan` read; its language folders are offered, and the
    // languages last chosen for it are chosen again.
    void setMission(const MissionFolder::Scan &scan);
    // Chooses the languages (folder names); false when the mission has no
    // such source language.
    bool chooseLanguages(const QString &source, const QString &target);
    // The source read from another folder (for a mission whose folders name
    // no language: the target is the mission itself).
    void useSourceFolder(const MissionFolder::Scan &source);

    // The translations not yet saved, one line for each file ("" when none).
    QStringList unsavedWork() const;
    // Whether `document` is a translation the window made or changed.
    bool holds(const WorkspaceDocument *document) const;
    // The done marks, reviews and notes not yet written to the record, for a
    // draft: the mission, the target language and each entry's (the ones a
    // draft put back and not yet shown too); empty when there are none.
    QVariantMap marksDraft() const;
    // What marksDraft() kept, put back once the same mission's same target
    // language is paired (at once when it is).
    void restoreMarks(const QJsonObject &marks);
    // Saves every file with translations not yet saved, through the
    // workspace; false when one was refused.
    bool saveAll();
    // Goes to the next (previous) entry that needs work among those shown.
    void goToWork(bool forward);

    // The rest is the whole mission at once (src/gui/translation/missionwide.cpp).
    // Shows the entry `row` of `file`, every entry when the filter hides it.
    void showEntry(int file, int row);
    // Searches the source and translation texts of every file, off the GUI
    // thread; the entries found are listed in searchResults.
    void search(const QString &text);
    // The exchange with other tools (src/gui/translation/exchangeactions.cpp).
    enum class ExchangeFormat { Xliff, Po };
    // The target language handed to other tools, and their work taken back:
    // only the entries changed, as changes of the files (undoable, saved by
    // Save All), all or nothing. False when nothing was written or taken.
    bool exportTarget(ExchangeFormat format);
    bool importTarget();
    // The translator's own memory of this pair of languages, across
    // missions, as TMX 1.4; and a TMX file taken into it.
    bool exportMemory();
    bool importMemory();

    const TranslationSet &translations() const { return m_set; }

    QComboBox *sourceLanguage = nullptr;
    QComboBox *targetLanguage = nullptr;     // editable: a new language starts by name
    QComboBox *targetCodePage = nullptr;
    QTreeView *translationFiles = nullptr;
    QTableView *translationTable = nullptr;
    QComboBox *translationFilter = nullptr;
    QLabel *translationCounts = nullptr;     // "1,204 of 1,580 entries translated"
    QLabel *fileCounts = nullptr;            // the file shown
    QPushButton *markDone = nullptr;
    QPushButton *translationSave = nullptr;
    QPushButton *sourceFolderButton = nullptr;
    QLabel *filterCounts = nullptr;          // what the filter shows, in the whole mission
    QLineEdit *translationSearch = nullptr;
    QTreeView *searchResults = nullptr;      // file, key, text
    QLabel *searchCounts = nullptr;
    QPushButton *exchangeButton = nullptr;   // its menu: the actions below
    QAction *exportXliffAction = nullptr;
    QAction *exportPoAction = nullptr;
    QAction *importAction = nullptr;
    QAction *exportMemoryAction = nullptr;
    QAction *importMemoryAction = nullptr;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    EntryPane *entryPane = nullptr;          // the current entry: sources, notes, suggestions, terms

    // The name of a file as the list shows it: its path, " *" after it while
    // its translation is not saved.
    static QString listedName(const QString &name, bool unsaved);

Q_SIGNALS:
    // A done mark, a review or a note changed, here or by an import: the record, unsaved.
    void marksChanged();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void pairFiles();
    void showFile(int file);
    void showCounts();
    void showUnsaved();
    bool confirmTarget(int file);
    TranslationTableModel *model(int file) const;
    void targetChosen();
    int languageCodePage(const QString &language) const;
    void fileChanged(int file);
    void showUndoOf(int file);
    void showCurrentEntry();   // the table's current row in the entry pane
    void applyPendingMarks();
    void rememberLanguages() const;
    void keepOnScreen();

    // entrytable.cpp: the table, its editor and its keys
    QTableView *makeTable(QWidget *parent);
    bool typedOnRow(QKeyEvent *key);

    // missionwide.cpp
    QWidget *missionPane(QWidget *parent);
    void showFileProgress(int file, const TranslationPair::Counts &counts);
    void filterFiles(bool chosen = false);   // `chosen`: the filter was just chosen
    bool fileShown(int file) const;
    void showSearch(const TranslationSearch::Result &result);

    // exchangeactions.cpp
    QPushButton *makeExchangeButton();
    void feedMemory();
    QString exchangeName(const QString &suffix) const;

    MissionWorkspace &m_workspace;
    Prompts &m_prompts;
    TranslationSet m_set;
    MissionFolder::Scan m_scan;
    std::optional<MissionFolder::Scan> m_sourceFolder;
    QStandardItemModel *m_fileList = nullptr;
    QSortFilterProxyModel *m_fileOrder = nullptr;   // m_fileList sorted, and the files the filter leaves
    BackgroundJob *m_search = nullptr;
    BackgroundJob *m_sourceReading = nullptr;   // a source folder chosen, read off the window's thread
    TranslationFilterModel *m_filter = nullptr;
    int m_shown = -1;
    QString m_pairedTarget;        // the target language the files are paired with
    QJsonObject m_pendingMarks;    // from a draft, until its mission and target are paired
    int m_keptRow = -1;            // the row shown while the file's rows are made anew
    int m_keptColumn = 0;
    bool m_switching = false;      // another file is being shown
    bool m_pairing = false;        // the files are being paired: their marks are shown once, after
};
