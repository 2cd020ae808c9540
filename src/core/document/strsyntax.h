#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The syntax of the game's .str files, as the game reads them.
//
// - A line that starts, after blanks (spaces and tabs), with a key, a colon,
//   blanks and a double quote opens an entry. The game reads line ends
//   between the colon and the quote as blanks: "Page_0:" with the quote on
//   the next line is an entry, its separator holding the line end. The key is everything before
//   the colon but the blanks around it; it holds no double quote and does not
//   start with "//". Keys compare without regard to case.
// - The text ends at the first double quote that no backslash escapes. Inside
//   it, \" is a quote, \\ a backslash and \n a line break; a backslash before
//   a line end continues the line. A raw line break is part of the text.
// - Outside texts: "//" comment lines, blank lines, and whatever follows the
//   closing quote on its line, which the game does not read.
// - Lines end in LF; a CR just before it belongs to the line end.
//
// The tokenizer works on the file's bytes: every byte that matters to the
// syntax is ASCII, which every code page and UTF-8 keep as they are. It reads
// each byte once and never looks back (the blanks it read ahead after a colon
// that no quote follows are not read again).
namespace StrSyntax {

enum class ItemKind : quint8 { Blank, Comment, Entry, Stray };

// One item of a file: a line, a run of blank lines, or for an entry all its lines. Offsets are into
// the bytes given to the tokenizer.
struct Item {
    ItemKind kind = ItemKind::Blank;
    bool closed = true;            // an entry whose text has a closing quote
    int line = 1;                  // where the item starts, from 1
    qsizetype start = 0;           // first byte (an entry's indent starts here)
    qsizetype keyStart = 0;        // entry: the key ...
    qsizetype keyEnd = 0;
    qsizetype textStart = 0;       // ... the separator up to here, then the raw text
    qsizetype textEnd = 0;         // the closing quote, when closed
    qsizetype afterEnd = 0;        // what follows the closing quote ends here
    qsizetype end = 0;             // after the line end

    qsizetype afterStart() const { return closed ? textEnd + 1 : textEnd; }
    // Comment, blank and stray lines: their content ends where the line end begins.
    qsizetype contentEnd() const { return afterEnd; }
};

class Tokenizer
{
public:
    // A UTF-8 byte-order mark at the start belongs to no item.
    explicit Tokenizer(QByteArrayView bytes)
        : m_bytes(bytes)
        , m_pos(bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0)
    {
    }

    // The next item; false at the end of the bytes.
    bool next(Item &item);

private:
    qsizetype lineEnd(qsizetype from, qsizetype *contentEnd) const;

    QByteArrayView m_bytes;
    qsizetype m_pos;
    qsizetype m_blankUntil = 0;   // read ahead: only blanks and line ends before it
    int m_line = 1;
};

// A text as the player reads it, from its raw form between the quotes, each
// line break (raw, or the escape \n) as LF. A backslash before any other
// character stays as it is. `lineStarts`, when given, gets where each line of
// the file after the text's first starts in the text (a raw line break, or a
// backslash that continues the line). StrDocument reads its texts with it.
QString unescape(QStringView raw, QList<qsizetype> *lineStarts = nullptr);

// The raw form of a text typed by the author: a quote is written \", a
// backslash \\, and each line break (CR LF, LF or a lone CR) as `lineBreak`.
// StrDocument writes its texts with it, by its rule for `lineBreak`.
QString escape(QStringView text, QStringView lineBreak);

// Whether `key` is `prefix` followed by digits only (prefix compared without
// regard to case); the number, when it is.
std::optional<int> numberedKey(QStringView key, QLatin1String prefix);
std::optional<int> numberedKey(QLatin1String key, QLatin1String prefix);

// Entries typed by hand as a whole (an entry line in edit mode): their
// parts, or where and why they are not well-formed entries. Blank lines may
// stand between them; nothing else may.
struct HandEntry {
    QString key;
    QString separator;   // blanks, colon, blanks, quote
    QString rawText;
    QString line;        // from the key to the closing quote
};
struct HandEntries {
    QList<HandEntry> entries;
    QString error;       // empty when well formed
    qsizetype errorIndex = 0;
};
HandEntries parseHandEntries(QStringView text);

} // namespace StrSyntax
