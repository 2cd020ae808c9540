#include "core/mission/filewatch.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>
#include <QTimer>

namespace {

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

void FileWatch::start()
{
    m_watcher = new QFileSystemWatcher(this);
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(50);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &FileWatch::fileChanged);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &FileWatch::folderChanged);
    connect(m_settle, &QTimer::timeout, this, [this] {
        if (const QSet<QString> changed = std::exchange(m_changed, {}); !changed.isEmpty())
            Q_EMIT filesChanged(QStringList(changed.cbegin(), changed.cend()));
        if (const QSet<QString> folders = std::exchange(m_changedFolders, {}); !folders.isEmpty())
            Q_EMIT foldersChanged(QStringList(folders.cbegin(), folders.cend()));
    });
}

void FileWatch::tell()
{
    m_settle->start();
}

void FileWatch::watch(const QStringList &files)
{
    QStringList added, folders;
    for (const QString &path : files) {
        if (m_wanted.contains(path))
            continue;
        m_wanted.insert(path);
        const QString folder = folderOf(path);
        QStringList &inFolder = m_byFolder[folder];
        if (inFolder.isEmpty() && !m_folders.contains(folder))
            folders.append(folder);
        inFolder.append(path);
        if (QFileInfo::exists(path))
            added.append(path);
    }
    if (!added.isEmpty())
        m_watcher->addPaths(added);
    if (!folders.isEmpty())
        m_watcher->addPaths(folders);
}

void FileWatch::unwatch(const QStringList &files)
{
    QStringList removed, folders;
    for (const QString &path : files) {
        if (!m_wanted.remove(path))
            continue;
        removed.append(path);
        const QString folder = folderOf(path);
        QStringList &inFolder = m_byFolder[folder];
        inFolder.removeOne(path);
        if (inFolder.isEmpty()) {
            m_byFolder.remove(folder);
            if (!m_folders.contains(folder))
                folders.append(folder);
        }
    }
    if (!removed.isEmpty())
        m_watcher->removePaths(removed);
    if (!folders.isEmpty())
        m_watcher->removePaths(folders);
}

void FileWatch::rewatch(const QStringList &files)
{
    QStringList now;
    for (const QString &path : files) {
        if (m_wanted.contains(path))
            now.append(path);
    }
    if (now.isEmpty())
        return;
    m_watcher->removePaths(now);
    now.removeIf([](const QString &path) { return !QFileInfo::exists(path); });
    if (!now.isEmpty())
        m_watcher->addPaths(now);
}

void FileWatch::fileChanged(const QString &path)
{
    if (!m_wanted.contains(path))
        return;
    rewatch({path});   // a file replaced by another is watched as it is now
    m_changed.insert(path);
    tell();
}

void FileWatch::watchFolders(const QStringList &folders)
{
    QStringList added;
    for (const QString &folder : folders) {
        if (m_folders.contains(folder))
            continue;
        m_folders.insert(folder);
        if (!m_byFolder.contains(folder))
            added.append(folder);
    }
    if (!added.isEmpty())
        m_watcher->addPaths(added);
}

void FileWatch::folderChanged(const QString &folder)
{
    if (m_folders.contains(folder)) {
        m_changedFolders.insert(folder);
        tell();
    }
    if (!m_byFolder.contains(folder))
        return;
    // A file watched that was removed is no longer watched; made anew, it is
    // watched again and told of.
    const QStringList watched = m_watcher->files();
    const QSet<QString> watching(watched.cbegin(), watched.cend());
    for (const QString &path : m_byFolder.value(folder)) {
        if (!watching.contains(path) && QFileInfo::exists(path)) {
            m_watcher->addPath(path);
            m_changed.insert(path);
            tell();
        }
    }
}

WatchThread::WatchThread(QObject *parent)
    : m_thread(new QThread(parent))
    , m_watch(new FileWatch)
{
    m_thread->setObjectName(QStringLiteral("watch"));
    m_watch->moveToThread(m_thread);
    QObject::connect(m_thread, &QThread::finished, m_watch, &QObject::deleteLater);
    m_thread->start();
    QMetaObject::invokeMethod(m_watch, [watch = m_watch] { watch->start(); }, Qt::QueuedConnection);
}

WatchThread::~WatchThread()
{
    m_thread->quit();
    m_thread->wait();
}

void WatchThread::call(const QStringList &paths, void (FileWatch::*method)(const QStringList &))
{
    constexpr qsizetype AtOnce = 64;
    if (paths.isEmpty())
        return;
    QMetaObject::invokeMethod(m_watch, [watch = m_watch, paths, method] { (watch->*method)(paths); },
                              paths.size() <= AtOnce ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void WatchThread::watch(const QStringList &files)
{
    call(files, &FileWatch::watch);
}

void WatchThread::unwatch(const QStringList &files)
{
    call(files, &FileWatch::unwatch);
}

void WatchThread::rewatch(const QStringList &files)
{
    call(files, &FileWatch::rewatch);
}

void WatchThread::watchFolders(const QStringList &folders)
{
    call(folders, &FileWatch::watchFolders);
}
