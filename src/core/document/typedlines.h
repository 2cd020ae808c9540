#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A file's text edited as lines in a text box, which keeps no line ends:
// what the author changed, told as the characters of the text to replace,
// with the line ends the file gives the lines typed. A line the author did
// not touch keeps its own line end (CR LF or LF, mixed as they stand); a line
// typed takes the ends of the lines it replaces, in order, else that of the
// line before it, else `lineEnd`; the file's last line keeps having none
// when it had none.
namespace TypedLines {

// The lines of `text` as a box shows them, each with its line end: a text
// that is empty or ends with a line end has an empty last line.
QStringList shownLines(const QString &text);

struct Change {
    qsizetype from = 0;   // the characters of the text replaced
    qsizetype to = 0;
    QString text;         // what replaces them, with line ends
    QStringList lines;    // the same, line by line
    int firstLine = 1;    // the first line replaced, from 1
    int oldCount = 0;     // lines replaced ...
    int newCount = 0;     // ... and the lines in their place
};

// `line` without its line end (LF or CR LF).
QStringView withoutEnd(const QString &line);

// A text as the box shows it: a CR that ends no line, or a paragraph
// separator, which a box would take for a line break, shows as a sign of its
// own ("\u240D", "\u2E3F", which no code page holds); and a line typed back.
QString boxText(const QString &text);
QString fileText(const QString &boxLine);

// What turns `shown` (shownLines() of the text) into the box's `typed` lines
// (as the box shows them); (shownLines() of the text) into the box's `typed` lines;
// nothing when they are the same.
std::optional<Change> change(const QStringList &shown, const QStringList &typed, const QString &lineEnd);

} // namespace TypedLines
