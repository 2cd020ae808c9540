#pragma once

#include "core/mission/translation/memory.h"
#include "core/mission/translation/missiontranslation.h"
#include "core/mission/translation/translation.h"

#include <QJsonObject>
#include <QPointer>
#include <QVariantMap>
#include <QWidget>

#include <memory>
#include <vector>

class EntryPane;
class MissionWorkspace;
class Prompts;
class QAction;
class QComboBox;
class BackgroundJob;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class QTreeView;
class WorkspaceDocument;
namespace TranslationSearch {
struct Result;
}

// The translation of a mission: a source language and a target language
// of its folder, the files of the source listed with how much of each is
// translated, and one file's entries as a table of key, source text (read
// only), translation (edited in place) and state.
//
// The window is a view of the mission's workspace: each target file is the
// workspace's document of that file (a new one once a first text is typed),
// a translation typed is a change of it (a step of its undo, an unsaved
// change the main window's Save All, close question and draft see), a
// change made elsewhere (undo, a replacement, a tab, a reload) shows in the
// table, and saving goes through the workspace.
//
// Keys: Ctrl+Down and Ctrl+Up go to the next and the previous entry not yet
// translated (in every file, round the mission); Ctrl+Return marks the entry
// done; Ctrl+S saves every file translated; Ctrl+Z and Ctrl+Shift+Z (Ctrl+Y
// on Windows) undo and redo in the file shown.
class TranslationWindow : public QWidget
{
    Q_OBJECT

public:
    TranslationWindow(MissionWorkspace &workspace, Prompts &prompts, QWidget *parent = nullptr);
    ~TranslationWindow() override;

    // The mission `scan` read; its language folders are offered.
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
    // The done marks and notes not yet written to the record, for a draft:
    // the mission, the target language and each entry's mark and note (the
    // ones a draft put back and not yet shown too); empty when there are none.
    QVariantMap marksDraft() const;
    // What marksDraft() kept, put back once the same mission's same target
    // language is paired (at once when it is).
    void restoreMarks(const QJsonObject &marks);
    // Saves every file with translations not yet saved, through the
    // workspace; false when one was refused.
    bool saveAll();
    // Goes to the next (previous) untranslated entry of the mission.
    void goToUntranslated(bool forward);

    // The rest is the whole mission at once (src/gui/translation/missionwide.cpp).
    // Shows the entry `row` of `file`, every entry when the filter hides it.
    void showEntry(int file, int row);
    // Searches the source and translation texts of every file, off the GUI
    // thread; the entries found are listed in searchResults.
    void search(const QString &text);
    enum class ExchangeFormat { Xliff, Po };
    // The target language handed to other tools, and their work taken back:
    // only the entries changed, as changes of the files (undoable, saved by
    // Save All), all or nothing. False when nothing was written or taken.
    bool exportTarget(ExchangeFormat format);
    bool importTarget();
    // The translator's own memory of this pair of languages, across missions, as TMX 1.4.
    bool exportMemory();

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
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    EntryPane *entryPane = nullptr;          // the current entry: sources, notes, suggestions, terms

Q_SIGNALS:
    // A done mark or a note changed, here or by an import: the record, unsaved.
    void marksChanged();

protected:
    bool event(QEvent *event) override;

private:
    // One file translated: its table, and the workspace's document of its
    // target (none for a new file until a first text is typed).
    struct TargetFile {
        std::unique_ptr<TranslationTableModel> model;
        QPointer<WorkspaceDocument> document;
        StrDocument base;     // the target before the next text typed (what a document starts from)
        bool onDisk = false;  // the target was read: its document is adopted, not created
        int codePage = 1252;
        int lastRow = -1;     // the row last changed
        // What the record said of the file's entries when it was paired or
        // last saved: a text that is the source's stand-in again (a
        // translation undone) is untranslated again.
        TranslationRecord::FileEntries recorded;
    };
    // The record of the target language, beside the mission.
    QString recordPath() const;
    void saveRecord();

    void pairFiles();
    void showFile(int file);
    void showCounts();
    bool confirmTarget(int file);
    TranslationTableModel *model(int file) const;
    void targetChosen();
    int languageCodePage(const QString &language) const;
    void watch(int file, WorkspaceDocument *document);
    void tableChanged(int file, const QString &description = {});
    void documentChanged(int file);
    void showUndoOf(int file);
    void showCurrentEntry();   // the table's current row in the entry pane

    // missionwide.cpp
    QWidget *missionPane(QWidget *parent);
    QPushButton *makeExchangeButton();
    void showFileProgress(int file, const TranslationPair::Counts &counts);
    void filterFiles(bool chosen = false);   // `chosen`: the filter was just chosen
    bool fileShown(int file) const;
    void showSearch(const TranslationSearch::Result &result);
    void feedMemory();
    QString exchangeName(const QString &suffix) const;

    MissionWorkspace &m_workspace;
    Prompts &m_prompts;
    MissionFolder::Scan m_scan;
    std::optional<MissionFolder::Scan> m_sourceFolder;
    QList<MissionTranslation::FilePair> m_files;
    std::vector<TargetFile> m_targets;
    QList<QPointer<WorkspaceDocument>> m_documents;   // every translation changed here
    QStandardItemModel *m_fileList = nullptr;
    QSortFilterProxyModel *m_fileOrder = nullptr;   // m_fileList sorted, and the files the filter leaves
    BackgroundJob *m_search = nullptr;
    TranslationFilterModel *m_filter = nullptr;
    int m_shown = -1;
    QString m_pairedTarget;   // the target language the files are paired with
    TranslationRecord::Record m_record;   // of the target language paired
    QJsonObject m_pendingMarks;   // from a draft, until its mission and target are paired

    // The entries whose done mark or note differs from the record, as a draft keeps them.
    QVariantList changedMarks() const;
    void applyPendingMarks();
};
