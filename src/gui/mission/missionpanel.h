#pragma once

#include "core/mission/backgroundjob.h"
#include "core/mission/missiontree.h"

#include <QDockWidget>
#include <QHash>
#include <QSet>

#include <chrono>
#include <functional>

class MissionWorkspace;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

// The side panel of a mission folder: the mission as a tree of its files,
// find in all of them, and the check. The folder is read, searched and
// checked on threads of their own (BackgroundJob), so the window never
// freezes; the panel shows how far each has got. Opening a folder abandons
// the reading under way; a find or check abandons the one under way, and Esc
// or the time limit stops it. The results always belong to the files the
// tree shows: reading the folder again clears them.
class MissionPanel : public QDockWidget
{
    Q_OBJECT

public:
    explicit MissionPanel(QWidget *parent = nullptr);
    ~MissionPanel() override;

    // Reads `folder` (again), each file in its language's code page.
    void openFolder(const QString &folder);
    QString folder() const { return m_folder; }
    const MissionFolder::Scan &scan() const { return m_tree.scan(); }
    bool isReading() const;
    // A find or check runs.
    bool isSearching() const;
    // A find or check still running after this long is stopped (10 s unless set).
    void setSearchTimeLimit(std::chrono::milliseconds limit);

    // The workspace whose documents find searches in the files it holds
    // (with their unsaved changes); the others are read from the disk.
    void setWorkspace(MissionWorkspace *workspace) { m_workspace = workspace; }
    // Whether `path` is a file of the folder as it was last read.
    bool holdsFile(const QString &path) const;
    // Drops the results listed (and a find or check under way), found in
    // texts that have changed since (a Replace All): whether there were any.
    bool dropStaleResults();

    // Puts the cursor into the find box.
    void startFind();
    MissionFolder::FindOptions findOptions() const;

    // Replacements made and not yet saved: "Save Replaced Files" and "Undo
    // Replace" show, and "Replace All…" and the code pages wait for them.
    bool replacementsPending() const { return m_pending; }
    void setReplacementsPending(bool pending);

    // The files with changes not yet saved (clean absolute paths) are marked in the tree.
    void setUnsavedFiles(const QSet<QString> &paths) { m_tree.setUnsaved(paths); }
    // The code page of the mission and of each language folder ("Automatic":
    // as the bytes and the folder's name tell; the detected one is marked).
    // Choosing one writes the mission's settings file and reads it again.
    bool setMissionCodePage(int codePage);   // 0: automatic
    bool setLanguageCodePage(const QString &language, int codePage);

    QLabel *missionFolderName = nullptr;
    QComboBox *missionCodePage = nullptr;
    QComboBox *codePageLanguage = nullptr;   // the language folders read; "" for the files in none
    QComboBox *languageCodePage = nullptr;   // the code page of the one chosen there
    QTreeView *missionTree = nullptr;
    QProgressBar *folderProgress = nullptr;
    QLineEdit *findText = nullptr;
    QCheckBox *findWholeWords = nullptr;
    QCheckBox *findCase = nullptr;
    QCheckBox *findRegex = nullptr;
    QPushButton *findButton = nullptr;
    QPushButton *checkButton = nullptr;
    QLineEdit *replaceText = nullptr;
    QPushButton *replaceButton = nullptr;   // "Replace All…": asks, then changes the files in memory
    QPushButton *saveReplaced = nullptr;    // writes the files replaced in
    QPushButton *undoReplace = nullptr;     // forgets the replacements
    QLabel *resultsLabel = nullptr;
    QProgressBar *searchProgress = nullptr;   // while a find or check runs
    QTreeView *findResults = nullptr;

Q_SIGNALS:
    // The author chose a file, or a result in a file (an entry, or -1).
    void fileChosen(int file, int entry);
    // The result chosen stands at `line` and `column` (from 1) of that file;
    // told after fileChosen().
    void placeChosen(int file, int line, int column);
    // The folder has been read.
    void folderRead();
    void replaceRequested();
    void saveReplacedRequested();
    void undoReplaceRequested();
    // A code page of the mission in `folder` was changed and the folder is
    // being read again: documents opened from it may want reading again too.
    void codePageChanged(const QString &folder);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Found {
        QList<MissionResultsModel::Row> rows;
        QString summary;   // for resultsLabel
    };
    void find();
    // The texts of the files the workspace holds (only those with unsaved
    // changes), by their index in the scan, as they would be written.
    QHash<int, StrDocument> heldTexts(bool unsavedOnly = false) const;
    void check();
    void search(const QString &busy, const QString &stopped, const QString &timedOut,
                std::function<Found(const BackgroundJob::Control &)> work,
                BackgroundJob::Clock clock = BackgroundJob::Clock::FromStart);
    void stopSearch(const QString &summary);
    bool dropResults();
    void chooseResult(const QModelIndex &index);
    void finishReading(const MissionFolder::Scan &read);
    void showCodePages();
    bool changeCodePage(const QString &language, int codePage, bool wholeMission);

    MissionTreeModel m_tree;
    MissionResultsModel m_results;
    QString m_folder;
    MissionWorkspace *m_workspace = nullptr;
    QSet<QString> m_identities;   // MissionWorkspace::identity() of each file read
    BackgroundJob *m_reader = nullptr;
    BackgroundJob *m_searcher = nullptr;
    QString m_searchStopped;             // what resultsLabel says when Esc stops it
    quint64 m_scanGeneration = 0;        // counts the scans the tree has shown
    quint64 m_resultsGeneration = 0;     // the scan the results were found in
    bool m_resultsCleared = false;       // results dropped since the reading started
    bool m_readAgain = false;
    bool m_pending = false;
};
