#pragma once

#include "core/document/strdocument.h"

#include <QLatin1String>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The kinds of .str file the program knows, each told in one place: the
// names and folders it lives in, the keys that make a file of it, the lines a
// new file starts from, the entries its tab shows, what its check finds, the
// name the save dialog proposes and its group in the mission panel. The
// reader, the opening message, the check and the panel all ask here.
namespace Kinds {

// Other: a string table of entries none of the five kinds has (object names,
// descriptions, interface texts).
enum class Kind { Book, Goals, Newgame, Missflag, Titles, Other };

// Keys of a kind: numbered (the prefix and digits), exact, or any key that
// starts with the prefix; any case.
struct KeyFamily {
    enum Match { Numbered, Exact, Prefixed };
    Match match;
    QLatin1String word;

    bool matches(QLatin1String key) const;
};

// What a kind's check finds in a document. Kept: the tab does not show it and
// keeps it as it stands, told only when the file is opened; the others are
// the check's findings as well. Note: a matter of style, which the check
// prints and the opening message leaves out.
struct Finding {
    enum Severity { Kept, Warning, Error, Note };
    int line = 0;     // 1-based; 0 for the whole file
    QString text;
    Severity severity = Kept;
    int column = 0;   // from 1, in characters; 0: the line's start
    const char *rule = nullptr;   // the check's rule ("missing-page"); none for what is kept
};

struct Descriptor {
    Kind kind;
    // The name the save dialog proposes, which makes a file of the kind (any
    // case); empty for a book or a string table, named by the author.
    QLatin1String suggestedName;
    // Other names that make a file of the kind (any case): the interface's
    // own string tables that missions ship.
    QList<QLatin1String> fileNames;
    // The folder a file of any other name is of the kind in: any file under
    // books/ at any depth; the files of intrface/<language>/ (not of
    // intrface/missNN/) are string tables.
    QLatin1String folder;
    QList<KeyFamily> keyFamilies;
    // The lines a new file starts from, before the author's entries.
    QLatin1String newFileText;
    // Whether a line starting with ';' is a comment, not a line the game skips.
    bool semicolonComments = false;
    // The entries the tab shows, in file order.
    QList<int> (*shownEntries)(const StrDocument &document) = nullptr;
    // The kind's own checks, each adding its findings; `takenKeys` are the
    // keys (lower case) of entries another entry without its closing quote
    // takes in.
    using Check = void (*)(const StrDocument &document, const QStringList &takenKeys, QList<Finding> &findings);
    QList<Check> checks;
    const char *name;    // "a book file", untranslated; none: the suggested name says it
    const char *group;   // "Books", ... (untranslated)

    QString kindName() const;   // "a book file", "goals.str", ...
    QString groupName() const;
    // Whether the tab of the kind shows an entry of `key`.
    bool shows(QLatin1String key) const;
};

// Every kind, in the order of the panel's groups.
const QList<Descriptor> &all();
const Descriptor &descriptor(Kind kind);

// The kind a file's path names, if it names one: goals.str, newgame.str,
// missflag.str and titles.str by name (any case); the interface's own files
// that missions ship (debrief.str, loading.str, loadout.str, main.str,
// sim.str, simmenu.str) and any other file of intrface/<language>/ are
// string tables; any other file under a folder books/ is a book. Nothing for
// any other path: the keys decide.
std::optional<Kind> kindOfPath(const QString &path);

// The kind whose keys include `key`, if any.
std::optional<Kind> kindOfKey(QLatin1String key);

// The kind of a document read: the kind `named` by its path first, then the
// first entry with a key of a kind, then a book's location line, then a
// string table. Nothing for a document with no entry and no location line.
std::optional<Kind> kindOf(const StrDocument &document, std::optional<Kind> named);

// What a document of `kind` holds that its tab does not show, and the kind's
// own findings: one list for the opening message and the check.
QList<Finding> check(Kind kind, const StrDocument &document, const QStringList &takenKeys = {});

} // namespace Kinds
