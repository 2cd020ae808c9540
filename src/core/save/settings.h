#pragma once

#include <QString>
#include <QStringList>

// What the program remembers between runs, in the platform's usual place
// (the registry on Windows, a configuration file elsewhere). Nothing is
// stored until the author opens a file or chooses a code page.
namespace Settings {

// The files opened last, newest first, at most eight.
inline constexpr int RecentFileCount = 8;
QStringList recentFiles();
void addRecentFile(const QString &path);
void removeRecentFile(const QString &path);

// The folder the open dialog starts in: where the last file was opened from.
QString openFolder();
void setOpenFolder(const QString &folder);

// The code page the files are written and read in: the one stored, when it is
// one the program knows; else `startCodePage`. A stored value that is no
// code page of the program is replaced by `startCodePage`.
int codePage(int startCodePage);
void setCodePage(int codePage);

// The folder of Hunspell dictionaries the author chose, searched before the
// one beside the program and the system's ("" when none was chosen).
QString dictionaryFolder();
void setDictionaryFolder(const QString &folder);

} // namespace Settings
