#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <variant>

// Reads the game's .str files back for editing: a book file, goals.str,
// newgame.str, missflag.str or Titles.str. Nothing here writes a file.
//
// For every file the program writes, reading gives back exactly the texts it
// was written from, so that writing them again gives the same bytes. Files
// written or changed by hand are read leniently, and whatever was read
// differently from how it stands, or left out, is said in a note.
//
// How a file is read
// - The bytes: a UTF-8 byte-order mark, or bytes that are valid UTF-8 and not
//   plain ASCII, make the file UTF-8 (`utf8` is set); otherwise the caller's
//   single-byte decoder reads it. Lines end in CR LF or LF, mixed as they come.
// - The kind comes from the content, not the file name: the first line that
//   starts an entry of any of the five kinds decides. A file that holds only
//   the "// Book Location - " line is a book without pages.
// - An entry starts at the beginning of a line with its key, a colon and a
//   double quote, blanks allowed before and after the colon. Page_, fiction_,
//   text_ and diff_ take a whole number; miss_, title_ and short_ take
//   everything up to the first colon that is followed by blanks and a quote,
//   so a mission number comes back as typed (" 7", "2.5", "20 ", "ab").
// - The text of an entry runs from that quote to the LAST double quote before
//   the next line that starts an entry of the file's kind, or before the end
//   of the file: line breaks, quotes and lines that look like comments in
//   between belong to the text. Its line breaks come back as CR LF.
// - After the closing quote: the rest of its line and the lines up to the next
//   entry are left out, silently when they are blank or "//" comments.
//
// What cannot be told apart
// - A text holding a line break followed by exactly the start of an entry of
//   the same kind is read as two entries: a page whose second line begins
//   Page_3:" , or ends in Page_3: , which the closing quote then completes.
//   The program writes such a text as it is, and nothing in the file tells it
//   from a real entry; the entry before it usually loses its closing quote,
//   which is noted.
// - A Titles.str mission number that itself holds a colon followed by a quote
//   (1: "2) ends at that colon.
// - Windows-1252 text whose non-ASCII bytes happen to form valid UTF-8 (such
//   as "Ã©") is read as UTF-8; `utf8` lets the caller say so.
namespace StrReader {

// The single-byte code page, supplied by the caller. It appends to
// `undefinedOffsets` the offset of every byte the code page leaves undefined.
using Decoder = std::function<QString(QByteArrayView bytes, QList<qsizetype> *undefinedOffsets)>;

// The largest file read: far above the largest the program writes (50 pages of
// 100 KB, about 5 MB), far below what would strain memory.
inline constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

enum class Kind { Book, Goals, Newgame, Missflag, Titles };

struct Note {
    int line = 0;   // 1-based; 0 for the whole file
    QString text;   // a sentence for the author
};

struct Book {
    QString location;
    bool hasLocation = false;
    QMap<int, QString> pages;   // slot -> text as between the quotes, line breaks CR LF
};

struct Goals {
    QMap<int, QString> fiction;
    QMap<int, QString> text;
};

struct Newgame {
    QString title;
    QString easy;
    QString middle;
    QString hardest;
};

struct Missflag {
    QString number;     // as typed, e.g. " 7" or "2.5"
    QString briefing;   // without the " ,no_loadout, end" the program adds
};

struct Titles {
    QString number;
    QString title;
};

struct Result {
    Kind kind = Kind::Book;
    bool utf8 = false;   // read as UTF-8 rather than the code page
    Book book;
    Goals goals;
    Newgame newgame;
    Missflag missflag;
    Titles titles;
    QList<Note> notes;   // in line order, whole-file notes first
};

struct Failure {
    QString reason;
};

std::variant<Result, Failure> read(const QByteArray &bytes, const Decoder &decoder);

// Refuses a missing file, a folder, anything not an ordinary file and a file
// larger than MaxFileSize before reading it.
std::variant<Result, Failure> readFile(const QString &path, const Decoder &decoder);

} // namespace StrReader
