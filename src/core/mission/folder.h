#pragma once

#include "core/kinds/strreader.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>

// A mission folder as a whole: every .str file under it (names in any case),
// read once, grouped by its kind (Kinds::descriptor(kind).groupName()), with the
// language and mission its folders name, as the game's folders are laid out
//   books/ or books/<language>/           one file per readable
//   intrface/<language>/newgame.str
//   intrface/missNN/<language>/goals.str  (or intrface/missNN/goals.str)
//   strings/missflag.str
//   strings/<language>/titles.str
//   and other string tables anywhere,
// with what the check finds in each file and across files.
//
// The language of a file is the nearest folder above it that is
//   - named as one of the languages of codePageOfLanguage()'s table (any
//     case), or
//   - directly under books/, strings/, intrface/ or intrface/missNN/ beside
//     such a folder (books/klingon/ next to books/english/), not missNN itself.
// When no folder inside the mission names one, the folders above it may (a
// scan of books/russian/ itself reads in 1251). Files are compared across
// languages only when the language folder is inside the folder scanned; the
// same file in two languages is the same relative path with the language
// folder swapped, names compared without regard to case.
namespace MissionFolder {

// error: the game reads it otherwise than it is written (a text cut or
// swallowed, a line not read, a byte the code page lacks, the wrong code
// page); warning: probably not meant so (a key twice, a translation or page
// missing); note: a matter of style.
enum class Severity { Error, Warning, Note };

// One problem, as `file:line:column: severity: message [rule]` reports it
// (line 0: the whole file). `rule` is its rule's id (CheckRules).
struct Problem {
    Problem() = default;
    Problem(const char *ruleId, QString path, int lineNumber, QString text, Severity kind = Severity::Warning,
            int columnNumber = 0, bool notChecked = false)
        : file(std::move(path))
        , line(lineNumber)
        , message(std::move(text))
        , severity(kind)
        , column(columnNumber)
        , unchecked(notChecked)
        , rule(QLatin1String(ruleId))
    {
    }
    QString file;     // relative to the folder, with '/'; or the path given
    int line = 0;
    QString message;
    Severity severity = Severity::Warning;
    int column = 0;           // from 1, in characters; 0: the line's start
    bool unchecked = false;   // a file or folder that could not be checked at all
    QString rule;             // "unclosed-quote", ...
};

struct File {
    QString path;           // absolute
    QString identity;       // MissionWorkspace::identity() of the path, taken while reading
    QString relativePath;   // from the folder, with '/'
    QString language;       // the language folder it is in, lower case ("english"); empty if none
    QString mission;        // for files under intrface/missNN: "missNN" as the folder spells it
    // The kind, whose descriptor gives its group in the panel; a file that
    // could not be read goes by its name and folder (Kinds::kindOfPath).
    Kinds::Kind kind = Kinds::Kind::Other;
    int codePage = 1252;    // the code page it was read in
    int dosCodePage = 0;    // the DOS code page its bytes seem to be in (850, 852, 866), else 0
    int entries = 0;
    std::optional<Error> failure;   // why it could not be read; nothing when it was
    QString unread;         // the same in a few words, for the panel (unreadReason())
    StrReader::Result read; // the document and notes, when it was read
    QList<Problem> problems;
};

// The code page the files of one language were read in, and why.
struct LanguageCodePage {
    enum class Source {
        Given,      // the code page asked for (--codepage)
        Settings,   // the mission's settings file (MissionSettings)
        Named,      // the language folder's name (codePageOfLanguage), the bytes fitting it
        Detected,   // told from the bytes, which the name's code page does not fit
    };
    int codePage = 1252;   // the files were read in
    int named = 1252;      // the code page the folder's name gives (1252 without one)
    int detected = 0;      // CodePageDetect::detect() of the texts of all its files (Ascii: nothing to tell)
    Source source = Source::Named;
};

struct Scan {
    QString root;
    // By language, "" for the files in no language folder.
    QMap<QString, LanguageCodePage> codePages;
    QList<File> files;            // sorted by relativePath
    QStringList languages;        // the language folders found, lower case, sorted
    QString sourceLanguage = QStringLiteral("english");   // the language the others are translated from
    QList<Problem> problems;      // across files: per language, per mission; folders not read
    std::optional<Error> failure; // the folder itself could not be read, or it holds no .str file
    bool truncated = false;       // more than MaxFiles files or MaxFolders folders: the rest were not read
    bool cancelled = false;       // stopped by `cancel`: only some files read, nothing compared
};

inline constexpr int MaxFiles = 20000;
inline constexpr int MaxDepth = 32;
inline constexpr int MaxFolders = 100000;   // folders walked, whatever their links

// The code page of a language folder's files: russian 1251, polish, czech,
// hungarian, slovak 1250, greek 1253, turkish 1254, english, german, french,
// italian, spanish ... 1252; `fallback` for a name not in the table.
int codePageOfLanguage(const QString &language, int fallback);

// Reads the folder. Each file is read in `codePage` when it is given, else in
// the code page the mission's settings file (MissionSettings) gives its
// language or the mission, else in its language's code page (1252 without
// one) -- unless the texts of all the files of that language, which are not
// plain ASCII, read better in another of the program's code pages
// (CodePageDetect): a Polish mission kept in an `english` folder is read in
// 1250. A file whose bytes seem to be in a DOS code page is reported once. `progress` is told of each
// file read (done, total); `cancel` stops the scan between files. Symbolic
// links are followed once, never round a loop.
Scan scan(const QString &root, std::optional<int> codePage = std::nullopt,
          const std::function<void(int done, int total)> &progress = {},
          const std::atomic_bool *cancel = nullptr);

// The same for single files named on their own (no cross-file checks but
// the mission titles and flags, when both are among them; no settings file).
Scan scanFiles(const QStringList &paths, std::optional<int> codePage = std::nullopt);

// Checks the files of `scan` at `changed` (indexes into scan.files) again,
// their documents as they would be written (a text the author changed and
// has not saved yet), and the problems across files, with the texts of all
// the files in `scan` (scantexts.h: withTexts).
void recheck(Scan &scan, const QList<int> &changed);

// Whether `file` is a translation: in a language folder other than the
// mission's source language's, which the mission has files of.
bool isTranslation(const Scan &scan, const File &file);

// Every problem of the scan, files in order, each file's by line, then the
// problems across files.
QList<Problem> allProblems(const Scan &scan);

// `quillwright --check` is MissionFolder::check (checkreport.h).

} // namespace MissionFolder
