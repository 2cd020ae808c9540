#pragma once

#include "core/kinds/kind.h"
#include "core/document/error.h"
#include "core/document/safefile.h"
#include "core/document/strdocument.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

// Reads the game's .str files for editing: a book file, goals.str,
// newgame.str, missflag.str or Titles.str. Nothing here writes a file.
//
// The file becomes a document (StrDocument) that keeps every byte; writing it
// unchanged gives the same bytes. What the reader notes is told to the author
// before a tab is filled: what the tab does not show but keeps, and what the
// game would read otherwise than it stands (which asks first).
//
// - The bytes: a UTF-8 byte-order mark, or bytes that are valid UTF-8 and not
//   plain ASCII, make the file UTF-8 (`utf8` is set); otherwise it is read in
//   the code page given.
// - The kind is the registry's (Kinds::kindOf): the file's name and folder
//   first, otherwise the first entry whose key belongs to one of the five
//   kinds; a file whose only line is a "// Book Location - " comment is a
//   book, one whose entries belong to none of them a string table. What the
//   kind's check finds is told as notes of what is kept.
namespace StrReader {

// The largest file read: far above the largest the program writes (50 pages of
// 100 KB, about 5 MB), far below what would strain memory.
inline constexpr qint64 MaxFileSize = SafeFile::StrFileCap;

// The kinds of file, each behind its descriptor (kinds/kind.h).
using Kind = Kinds::Kind;

struct Note {
    enum Severity {
        Kept,     // the tab does not show it; it stays in the file as it is
        Differs,  // the game reads it otherwise than it stands, or it cannot be written as it is
    };
    int line = 0;   // 1-based; 0 for the whole file
    QString text;   // a sentence for the author
    Severity severity = Kept;
    int repairEntry = -1;   // an entry with a bare quote that repair() mends
    int entry = -1;         // the entry it is about, if any
    bool undefinedBytes = false;   // bytes the code page leaves undefined
};

struct Result {
    Kind kind = Kind::Book;
    bool utf8 = false;         // read as UTF-8 rather than the code page
    StrDocument document;
    QList<Note> notes;         // in line order, whole-file notes first; at most MaxNotes
    int notesLeftOut = 0;      // notes beyond MaxNotes, counted only
};

inline constexpr int MaxNotes = 2000;


// `named`: the kind the file's name and folder give, if any (Kinds::kindOfPath);
// otherwise the keys tell it.
std::variant<Result, Error> read(const QByteArray &bytes, int codePage, std::optional<Kind> named = std::nullopt);

// Refuses a missing file, a folder, anything not an ordinary file and a file
// larger than MaxFileSize before reading it (Failure::unread). The kind comes
// from Kinds::kindOfPath(path) first.
std::variant<Result, Error> readFile(const QString &path, int codePage);

// A document whose entries with a bare quote (repairEntry of its notes) take
// the whole of their text up to the last quote before the next entry, with
// the quotes inside escaped; read again.
StrDocument repaired(const Result &file, int codePage);

} // namespace StrReader
