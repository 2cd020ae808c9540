#pragma once

#include "core/mission/folder.h"

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <utility>

// Find and replace in the texts of every file of a mission read.
namespace MissionFolder {

// Find in the texts of every file read.
struct FindOptions {
    bool wholeWords = false;
    bool caseSensitive = false;
    bool regularExpression = false;
};
struct Match {
    int file = 0;           // index in Scan::files
    int entry = 0;          // index in the file's document entries
    QString key;
    int line = 0;           // the line of the match in the file, from 1
    int column = 1;         // and its column there, from 1, in characters
    QString text;           // the entry's text as the player reads it (LF)
    qsizetype start = 0;    // the match in `text`
    qsizetype length = 0;
};
// Whole words: not inside a longer run of letters, digits or underscores.
// An empty pattern finds nothing, and a match of no characters is never
// given. Nothing and `error` set (kind Refused) when the pattern is not a
// valid regular expression. Files in order, then entries, then matches in each text.
// `cancel` is polled between texts and between matches: once it is set, find
// stops and gives what it found so far. One match in one text cannot be
// stopped, but PCRE2's default limit of steps per match attempt bounds it (a
// runaway expression then finds nothing in that text). `progress` is told of
// each file searched (done, total).
QList<Match> find(const Scan &scan, const QString &pattern, const FindOptions &options,
                  std::optional<Error> *error = nullptr,
                  const std::atomic_bool *cancel = nullptr, const std::function<void(int done, int total)> &progress = {});

// Each file's document with every match of `pattern` in its texts replaced
// by `replacement` (with \1 ... for a regular expression's groups, \\ for a
// backslash): the files' indexes with their changed documents, each change
// checked as a text typed into "the text of <key> in <file>". Only the matches
// find() gives are replaced (never an empty match). Nothing, and `error` set,
// for a pattern that is not a valid regular expression. `cancel` stops it
// between entries (what was replaced so far is given).
QList<std::pair<int, StrDocument>> replaced(const Scan &scan, const QString &pattern, const QString &replacement,
                                            const FindOptions &options, std::optional<Error> *error = nullptr,
                                            const std::atomic_bool *cancel = nullptr);

} // namespace MissionFolder
