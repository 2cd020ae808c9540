#pragma once

#include <QObject>
#include <QString>

class EditorPage;
class Qwr;
class QDragEnterEvent;
class QDropEvent;
class QMenu;

// Opening files into the main window's tabs: File › Open…, the recent files,
// a file or folder dropped on the window or named on the command line, a
// file chosen in the mission panel. A file of the open mission is read in
// the mission's code page for it; a file opened alone in the code page its
// mission's settings or its bytes tell (FileCodePage). A file the workspace
// holds already is shown as it holds it. The Encoding menu's choice reads
// the files opened alone again.
class FileOpener : public QObject
{
    Q_OBJECT

public:
    explicit FileOpener(Qwr &window);

    // Reads `path` into the tab of its kind, after saying what cannot be
    // kept and asking about that tab's unsaved work. True when it was opened.
    bool openFile(const QString &path);
    // The same in `codePage`; `askUnsaved`: ask before the tab's unsaved
    // work is lost (not when the author has just chosen to reload).
    bool openFile(const QString &path, bool askUnsaved, int codePage);
    // A folder opens as a mission, a file in its tab.
    bool openPath(const QString &path);
    // The mission folder `folder` read into the panel, remembered among the
    // recent files, its word list and spelling language taken.
    void readFolder(const QString &folder);
    void openFromDialog();
    void openFolderFromDialog();
    // A file of the mission panel opened in its tab, at `entry` when it is one.
    void openMissionFile(int file, int entry);
    // Fills `menu` with the recent files.
    void showRecentFiles(QMenu *menu);
    void dragEnter(QDragEnterEvent *event);
    void drop(QDropEvent *event);

    // The code page chosen in the Encoding menu, no mission open: the files
    // held are read again in it (one with unsaved changes asked about first,
    // kept by default); tabs of no file write in it from now on.
    void readAgainIn(int codePage);

private:
    // The tab of `kind`, asked about its unsaved work first; nothing when the author keeps it.
    EditorPage *pageFor(int kind, bool askUnsaved, const QString &fileName);

    Qwr &m_window;
};
