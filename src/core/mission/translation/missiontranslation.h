#pragma once

#include "core/mission/folder.h"

#include <QList>
#include <QString>

// Which file of a mission is translated into which: every .str file of the
// source language beside the file of the same name (compared without regard
// to case) in the target language, whether that exists yet or not.
namespace MissionTranslation {

struct FilePair {
    QString name;             // the source's path relative to the folder, with '/'
    QString sourcePath;       // absolute
    int sourceCodePage = 1252;
    QString targetPath;       // absolute; the file may not exist yet
    bool targetExists = false;
};

// Whether `name` can name a new language: a folder's name of letters,
// digits, '-' and '_' only, so never a path ("../outside", "a/b").
bool isLanguageName(const QString &name);

// The source language's files of `scan`, each beside its file in `target`.
// A file the target lacks goes where the source's is, under the target's
// language folder: as the folder spells it when the mission has one, else
// named `target` -- none when `target` is no language name.
QList<FilePair> pairLanguages(const MissionFolder::Scan &scan, const QString &source, const QString &target);

// Every file of `source` (a folder of its own: a translator who replaced
// the English files with the translation picks the English ones elsewhere)
// beside the file of the same relative path under `target`'s folder.
QList<FilePair> pairFolders(const MissionFolder::Scan &source, const MissionFolder::Scan &target);

// The code page a new target language is written in: from the language
// folders' table, else `fallback`.
int codePageOf(const QString &language, int fallback);

} // namespace MissionTranslation
