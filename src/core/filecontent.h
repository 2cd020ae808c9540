#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One description of a file, from which both the check of the author's texts
// and the file's lines come: every line is a row of pieces, each either the
// program's own text or a text the author typed, with where it was typed.
struct Piece {
    enum Kind {
        Fixed,       // the program's own text
        OneLine,     // typed into a one-line box: never holds a line break
        MultiLine,   // typed into a multi-line box: lines joined by CR LF
    };

    QString text;
    Kind kind = Fixed;
    QString place;   // for the author's texts: "the \"Mission Title\" box", "page 3 (Page_2)"
};

using Pieces = QList<Piece>;

inline Piece fixed(const QString &text)
{
    return {text, Piece::Fixed, {}};
}

inline Piece oneLine(const QString &text, const QString &place)
{
    return {text, Piece::OneLine, place};
}

inline Piece multiLine(const QString &text, const QString &place)
{
    return {text, Piece::MultiLine, place};
}

// An entry: the key, `open` (a colon, any blanks, a double quote), the value
// exactly as given (nothing trimmed, nothing escaped) and `close`.
Pieces entry(const Pieces &key, QLatin1String open, const Pieces &value,
             QLatin1String close = QLatin1String("\""));

// The text of pieces put together.
QString joined(const Pieces &pieces);

class FileContent
{
public:
    FileContent &line(const Pieces &pieces);
    FileContent &line(const QString &fixedText) { return line(Pieces{fixed(fixedText)}); }

    // The lines of the file, without their CR LF.
    QStringList lines() const;

    // The texts the author typed, in file order.
    Pieces authorTexts() const;

    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    QList<Pieces> m_lines;
};
