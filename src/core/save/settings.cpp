#include "core/save/settings.h"

#include "core/document/codepages.h"

#include <QDir>
#include <QSettings>

namespace Settings {

namespace {

const QString RecentFilesKey = QStringLiteral("recentFiles");
const QString OpenFolderKey = QStringLiteral("openFolder");
const QString CodePageKey = QStringLiteral("codePage");
const QString DictionaryFolderKey = QStringLiteral("spelling/dictionaryFolder");

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

int codePage(int startCodePage)
{
    QSettings settings;
    if (!settings.contains(CodePageKey))
        return startCodePage;
    bool ok = false;
    const int stored = settings.value(CodePageKey).toInt(&ok);
    if (ok && CodePages::isSupported(stored))
        return stored;
    settings.setValue(CodePageKey, startCodePage);
    return startCodePage;
}

void setCodePage(int codePage)
{
    QSettings().setValue(CodePageKey, codePage);
}

QString dictionaryFolder()
{
    return QSettings().value(DictionaryFolderKey).toString();
}

void setDictionaryFolder(const QString &folder)
{
    if (folder.isEmpty())
        QSettings().remove(DictionaryFolderKey);
    else
        QSettings().setValue(DictionaryFolderKey, folder);
}

} // namespace Settings
