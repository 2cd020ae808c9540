#include "core/settings.h"

#include <QDir>
#include <QSettings>

namespace Settings {

namespace {

const QString RecentFilesKey = QStringLiteral("recentFiles");
const QString OpenFolderKey = QStringLiteral("openFolder");

} // namespace

QStringList recentFiles()
{
    QStringList files = QSettings().value(RecentFilesKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, RecentFileCount);
}

void addRecentFile(const QString &path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    files.prepend(path);
    QSettings().setValue(RecentFilesKey, files.mid(0, RecentFileCount));
}

void removeRecentFile(const QString &path)
{
    QStringList files = recentFiles();
    files.removeAll(path);
    QSettings().setValue(RecentFilesKey, files);
}

QString openFolder()
{
    return QSettings().value(OpenFolderKey, QDir::homePath()).toString();
}

void setOpenFolder(const QString &folder)
{
    QSettings().setValue(OpenFolderKey, folder);
}

} // namespace Settings
