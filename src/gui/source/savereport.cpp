#include "gui/source/savereport.h"

#include "core/mission/workspace.h"
#include "gui/source/reviewchanges.h"

#include <QList>

#include <tuple>
#include <utility>

SaveReport::SaveReport(MissionWorkspace &workspace, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
{
}

void SaveReport::begin()
{
    m_begun = true;
    m_written.clear();
    m_before.clear();
    for (const WorkspaceDocument *document : m_workspace.documents()) {
        if (!document->isUnnamed())
            m_before.insert(MissionWorkspace::identity(document->path()),
                            {document->diskBytes(), document->existsOnDisk()});
    }
}

void SaveReport::written(const QString &path)
{
    if (m_begun && !m_written.contains(path))
        m_written.append(path);
}

void SaveReport::end()
{
    if (!std::exchange(m_begun, false) || m_written.isEmpty())
        return;
    // The bytes before and after of each file written; a copy of a tab of
    // no file, which no document holds, is counted as a file alone.
    QList<std::tuple<Before, QByteArray, int>> files;
    int copies = 0;
    for (const QString &path : std::as_const(m_written)) {
        const WorkspaceDocument *document = m_workspace.find(path);
        if (!document) {
            ++copies;
            continue;
        }
        files.append({m_before.value(MissionWorkspace::identity(path)), document->diskBytes(), document->codePage()});
    }
    m_before.clear();
    m_counting.start(
        [files](const BackgroundJob::Control &) {
            int lines = 0;
            for (const auto &[before, after, codePage] : files)
                lines += ReviewChanges::changedLines(before.bytes, before.onDisk, after, codePage);
            return lines;
        },
        [this, count = static_cast<int>(files.size()) + copies](int lines) { Q_EMIT counted(count, lines); });
}
