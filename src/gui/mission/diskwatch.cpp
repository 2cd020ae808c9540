#include "gui/mission/diskwatch.h"

#include "core/document/codepages.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/diskchange.h"
#include "core/mission/filewatch.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"
#include "gui/mission/missionpanel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

DiskWatch::DiskWatch(MissionWorkspace &workspace, Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
    , m_prompts(prompts)
    , m_folderTimer(new QTimer(this))
    , m_snapshots(new BackgroundJob(this))
    , m_comparer(new BackgroundJob(this))
{
    m_folderTimer->setSingleShot(true);
    m_folderTimer->setInterval(400);
    connect(m_folderTimer, &QTimer::timeout, this, [this] {
        if (m_panel)
            m_panel->openFolder(m_panel->folder());
    });
    connect(&m_workspace, &MissionWorkspace::changedOnDisk, this, &DiskWatch::changedOnDisk);
}

DiskWatch::~DiskWatch()
{
    delete m_comparer;   // before the snapshots their threads would hand back
    delete m_snapshots;
}

// Made when a mission's folders are first watched: a window with no mission
// open keeps no thread for it.
WatchThread &DiskWatch::folderWatch()
{
    if (!m_watch) {
        m_watch = std::make_unique<WatchThread>(this);
        // Only a change of what a folder holds reads it again (some systems also
        // tell of a file merely read): the folders told of are looked at again
        // off the GUI thread (thousands of files take a while).
        connect(m_watch->notifier(), &FileWatch::foldersChanged, this, [this](const QStringList &folders) {
            m_comparer->start([folders](const BackgroundJob::Control &) {
                QHash<QString, QStringList> now;
                for (const QString &folder : folders)
                    now.insert(folder, folderSnapshot(folder));
                return now;
            }, [this](const QHash<QString, QStringList> &now) {
                bool changed = false;
                for (auto it = now.cbegin(); it != now.cend(); ++it) {
                    if (it.value() != m_folderSnapshots.value(it.key())) {
                        m_folderSnapshots.insert(it.key(), it.value());
                        changed = true;
                    }
                }
                if (changed)
                    m_folderTimer->start();
            });
        });
    }
    return *m_watch;
}

void DiskWatch::setPanel(MissionPanel *panel)
{
    m_panel = panel;
    connect(panel, &MissionPanel::folderRead, this, [this] {
        watchFolder();
        readInMissionCodePages();
    });
}

void DiskWatch::fileWritten(const QString &path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (m_panel && clean.startsWith(m_panel->folder() + u'/'))
        m_folderTimer->start();
}

QStringList DiskWatch::folderSnapshot(const QString &folder)
{
    QStringList entries;
    const QFileInfoList found = QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : found) {
        if (entry.isDir())
            entries.append(entry.fileName() + u'/');
        else if (entry.suffix().compare(QLatin1String("str"), Qt::CaseInsensitive) == 0)
            entries.append(entry.fileName() + u'|' + QString::number(entry.size()) + u'|'
                           + QString::number(entry.lastModified().toMSecsSinceEpoch()));
    }
    return entries;
}

void DiskWatch::watchFolder()
{
    if (!m_panel)
        return;
    // The folders' snapshots are taken on a thread (thousands of files take a while).
    const QString root = m_panel->folder();
    const MissionFolder::Scan scan = m_panel->scan();
    m_snapshots->start([root, scan](const BackgroundJob::Control &control) {
        QStringList folders{root};
        for (const MissionFolder::File &file : scan.files)
            folders.append(QFileInfo(file.path).absolutePath());
        folders.removeDuplicates();
        QHash<QString, QStringList> snapshots;
        for (const QString &folder : std::as_const(folders)) {
            if (!control.cancelled())
                snapshots.insert(folder, folderSnapshot(folder));
        }
        return std::make_pair(folders, snapshots);
    }, [this](const std::pair<QStringList, QHash<QString, QStringList>> &taken) {
        for (const QString &folder : taken.first)
            m_folderSnapshots.insert(folder, taken.second.value(folder));
        folderWatch().watchFolders(taken.first);
    });
}

void DiskWatch::changedOnDisk(WorkspaceDocument *document, const QByteArray &bytes)
{
    if (m_panel && document->path().startsWith(m_panel->folder() + u'/'))
        m_folderTimer->start();
    if (m_asking) {   // one question at a time; the next once it is answered
        m_waiting.append({document, bytes});
        return;
    }
    bool unsavedView = viewUnsaved && viewUnsaved(document);
    if (unsavedView && layViews) {   // made part of the document, so that it is merged with the change
        QStringList refused;
        layViews({document}, &refused);
        unsavedView = viewUnsaved(document);
    }
    if (!document->isModified() && !unsavedView && !(shown && shown(document))) {
        document->reload(bytes);   // no view shows it: nothing to ask
        return;
    }
    m_asking = true;
    const DiskChange::Outcome outcome = DiskChange::resolve(*document, bytes, m_prompts, unsavedView);
    m_asking = false;
    if (!outcome.announcement.isEmpty())
        Q_EMIT announced(outcome.announcement);
    if (!m_waiting.isEmpty()) {
        const auto [next, now] = m_waiting.takeFirst();
        if (next && now != next->diskBytes())
            changedOnDisk(next, now);
    }
}

void DiskWatch::readInMissionCodePages()
{
    if (!m_panel)
        return;
    // The files held are read in the code page the mission now gives them;
    // one with unsaved changes is asked about first, and kept by default.
    const MissionFolder::Scan &scan = m_panel->scan();
    for (const MissionFolder::File &file : scan.files) {
        WorkspaceDocument *document = m_workspace.findIdentity(file.identity);
        if (!document || document->codePage() == file.codePage || file.failure)
            continue;
        if (document->isModified()) {
            const QString question =
                tr("%1 holds changes you have not saved. It is now read in %2.\n\nRead it again in %2 and lose "
                   "your changes, or keep it as it is (it is then saved in %3)?")
                    .arg(QDir::toNativeSeparators(file.relativePath), CodePages::description(file.codePage),
                         CodePages::description(document->codePage()));
            if (m_prompts.show({Prompts::Icon::Warning, Prompts::applicationTitle(), question,
                                {Prompts::Button::Reload, Prompts::Button::Keep}, Prompts::Button::Keep, {}})
                != Prompts::Button::Reload)
                continue;
        }
        document->readAgainIn(file.codePage);
        Q_EMIT readAgainIn(document, file.codePage);
    }
}
