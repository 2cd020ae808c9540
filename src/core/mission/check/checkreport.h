#pragma once

#include "core/mission/folder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// `quillwright --check`: the problems of a mission as a compiler prints its
// findings, one line each,
//   path:line:column: severity: message     (path: severity: message for a whole file)
// with the path in the system's own separators and every line break of a
// message shown as \n; then a summary line. Or the same as a SARIF 2.1.0 log.
namespace MissionFolder {

struct CheckOptions {
    bool sarif = false;               // a SARIF 2.1.0 log rather than lines
    bool warningsAsErrors = false;    // a warning makes the exit code 1 as an error does
    bool spelling = false;            // a note for each word no dictionary of its language knows
    bool spellingAsErrors = false;    // ... an error rather than a note
    QStringList dictionaryFolders = {};   // where dictionaries are looked for; empty: Spelling::dictionaryFolders()
};

// Exit codes: 0 no error, 1 an error (or a warning, with warningsAsErrors),
// 2 when not everything could be checked (a file or folder that could not be
// read, a name that is not valid UTF-8, the MaxFiles cap) or nothing could be
// read at all. One folder: its files relative to it; several paths: each
// folder's files after the folder as given; files named on their own: as
// given, checked together (scanFiles). A file named as missing in a language
// counts among the files of the summary.
int check(const QStringList &paths, std::optional<int> codePage, const std::function<void(const QString &)> &out,
          const CheckOptions &options = {});

// The spelling of every text of the scan: a problem for each word neither
// the dictionary of the file's language (its language folder, else
// Spelling::missionLanguage() of the scan's folder) nor the mission's word
// list of that language knows, at the word's line and column in the file,
// with the dictionary's suggestions; one for a language without a
// dictionary, and one for a word list that could not be read whole.
QList<Problem> spellingProblems(const Scan &scan, const QStringList &dictionaryFolders, Severity severity);

// Each translation that leaves out the rendering a term list of the mission
// (TermList::fileName of a target language, in the mission folder) fixes for
// a term its source holds: a warning at the translated entry.
QList<Problem> termProblems(const Scan &scan);

// "error", "warning", "note".
QString severityName(Severity severity);

// One problem as its line, in the system's separators.
QString checkLine(const Problem &problem);

// A SARIF 2.1.0 log of `problems`: the unchecked ones as notifications of the
// run (which then did not succeed), the others as results; paths relative to
// `root` when it is given.
QByteArray sarifLog(const QList<Problem> &problems, const QString &root, int exitCode);

} // namespace MissionFolder
