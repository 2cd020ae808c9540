#pragma once

#include "core/mission/find.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

// Replace All in the mission's files, and its undoing. Each file changed is
// told entry by entry (each text as it was and as the replacement made it),
// so that Undo Replace gives back the original text wherever the replacement
// still stands and leaves alone what was typed over it since.
namespace Replacement {

// One entry's text replaced.
struct Text {
    QString key;          // the entry: its key,
    int occurrence = 0;   // and how many entries of that key (any case) come before it
    QString before;       // the text between the quotes, escapes as written, before
    QString after;        // and after the replacement
    int matches = 0;
};

// A file of the mission as the workspace holds it, when it holds it.
struct Held {
    StrDocument document;   // with its unsaved changes
    QByteArray disk;        // the bytes read from or written to the disk
    int codePage = 1252;
};

struct File {
    int file = 0;           // the file's index in the scan
    StrDocument document;   // the file with the replacement made, over its bytes on the disk
    QList<Text> texts;
    int matches = 0;
};

struct Found {
    QString error;          // the expression cannot be used
    QList<File> files;      // in the scan's order
    int matches = 0;
};

// Every match of `pattern` in the texts of the scan's files replaced with
// `replacement` (find() and replaced() tell how): the files of `held` (by
// their index in the scan) as the workspace holds them, with their unsaved
// changes, the others as the scan read them. `cancel` stops it between
// files; `progress` is told of each file (done, total).
Found replaceAll(const MissionFolder::Scan &scan, const QHash<int, Held> &held, const QString &pattern,
                 const QString &replacement, const MissionFolder::FindOptions &options,
                 const std::atomic_bool *cancel = nullptr, const std::function<void(int, int)> &progress = {});

// The same for one document (`file`'s in the scan, held as `held`).
File replaceIn(const MissionFolder::Scan &scan, int file, const Held &held, const QString &pattern,
               const QString &replacement, const MissionFolder::FindOptions &options);

struct Restored {
    StrDocument document;   // `now` with the texts given back, over the bytes on the disk
    int texts = 0;          // texts given back,
    int matches = 0;        // and the matches they held
    int leftTexts = 0;      // texts changed since the replacement, left as they are,
    int leftMatches = 0;    // and the matches they held
};

// `now` (a document with `disk`'s bytes on the disk, in `codePage`) with
// each of `texts` that still reads as the replacement left it given back as
// it was before.
Restored restore(const StrDocument &now, const QByteArray &disk, int codePage, const QList<Text> &texts);

} // namespace Replacement
