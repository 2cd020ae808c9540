#pragma once

#include "core/mission/folder.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// `quillwright --check`: the problems of a mission as a compiler prints its
// findings, one line each, with the id of its rule (CheckRules) at the end,
//   path:line:column: severity: message [rule]     (path: severity: message [rule] for a whole file)
// with the path in the system's own separators and every line break of a
// message shown as \n; then a summary line. Or the same as a SARIF 2.1.0 log
// (Sarif). What the mission's comments and settings silence is left out
// (Silencing), and so is what a baseline knows (Baseline).
namespace MissionFolder {

struct CheckOptions {
    bool sarif = false;               // a SARIF 2.1.0 log rather than lines
    bool warningsAsErrors = false;    // a warning makes the exit code 1 as an error does
    bool spelling = false;            // a note for each word no dictionary of its language knows
    bool spellingAsErrors = false;    // ... an error rather than a note
    QStringList dictionaryFolders = {};   // where dictionaries are looked for; empty: Spelling::dictionaryFolders()
    bool noNotes = false;             // notes are left out
    bool suggest = false;             // an unknown word's message holds the dictionary's suggestions
    bool unknownWords = false;        // each unknown word with its count, rather than the findings
    QString baseline = {};            // report only the findings this baseline does not know
    QString writeBaseline = {};       // record the findings in this baseline file
};

// Exit codes: 0 no error, 1 an error (or a warning, with warningsAsErrors),
// 2 when not everything could be checked (a file or folder that could not be
// read, a name that is not valid UTF-8, the MaxFiles cap), nothing could be
// read at all, or the baseline could not be read or written (told to
// `errors`). With a baseline, only the findings it does not know count; one
// written makes every finding known. One folder: its files relative to it;
// several paths: each folder's files after the folder as given; files named
// on their own: as given, checked together (scanFiles). A file named as
// missing in a language counts among the files of the summary.
int check(const QStringList &paths, std::optional<int> codePage, const std::function<void(const QString &)> &out,
          const CheckOptions &options = {}, const std::function<void(const QString &)> &errors = {});

// "error", "warning", "note".
QString severityName(Severity severity);

// One problem as its line, in the system's separators.
QString checkLine(const Problem &problem);

} // namespace MissionFolder
