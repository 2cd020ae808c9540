#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

class QFileSystemWatcher;
class QThread;
class QTimer;

// Files and folders watched on a thread of their own: thousands of watches
// are set and reset there, never on the window's thread. A file replaced by
// another (a rename over it, as editors and version control write) or
// removed and made anew is watched again as it is now, and told of. Changes
// are told in batches, once they settle for a moment.
//
// Made by WatchThread, which calls it on its thread.
class FileWatch : public QObject
{
    Q_OBJECT

public:
    FileWatch() = default;

    // Makes the watcher; on the watch's own thread.
    void start();
    // Watches `files` (and their folders, which tell when one is made anew).
    void watch(const QStringList &files);
    void unwatch(const QStringList &files);
    // Watches `files` as they are now (written anew by the program).
    void rewatch(const QStringList &files);
    // Watches `folders` for what they hold: files and folders added, removed or renamed.
    void watchFolders(const QStringList &folders);

Q_SIGNALS:
    // Files watched were changed, replaced, removed or made anew.
    void filesChanged(const QStringList &paths);
    // What folders watched hold changed.
    void foldersChanged(const QStringList &folders);

private:
    void fileChanged(const QString &path);
    void folderChanged(const QString &folder);
    void tell();

    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_settle = nullptr;
    QSet<QString> m_wanted;                     // the files asked to be watched
    QHash<QString, QStringList> m_byFolder;     // those in each folder
    QSet<QString> m_folders;                    // the folders asked to be watched
    QSet<QString> m_changed;                    // told of once the changes settle
    QSet<QString> m_changedFolders;
};

// A FileWatch on a thread of its own, for as long as this lives. A few
// paths are given to it waiting for its thread (which has nothing else to
// do), so that a change the moment after is seen; thousands are handed over
// without waiting, so that the window does not wait for them.
class WatchThread
{
public:
    explicit WatchThread(QObject *parent);
    ~WatchThread();
    WatchThread(const WatchThread &) = delete;
    WatchThread &operator=(const WatchThread &) = delete;

    // What tells of the changes (its signals come on the GUI thread).
    FileWatch *notifier() const { return m_watch; }

    void watch(const QStringList &files);
    void unwatch(const QStringList &files);
    void rewatch(const QStringList &files);
    void watchFolders(const QStringList &folders);

private:
    void call(const QStringList &paths, void (FileWatch::*method)(const QStringList &));

    QThread *m_thread;
    FileWatch *m_watch;
};
