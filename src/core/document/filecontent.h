#pragma once

#include <QList>
#include <QString>

// What the author typed, with where it was typed: the checks before a save
// look at these, and name the place when they refuse one.
struct Piece {
    enum Kind {
        Fixed,       // the program's own text
        OneLine,     // typed into a one-line box: never holds a line break
        MultiLine,   // typed into a multi-line box: lines joined by CR LF
    };

    QString text;
    Kind kind = Fixed;
    QString place;   // for the author's texts: "the \"Mission Title\" box", "page 3 (Page_2)"
    int firstLine = 1;   // the line of `place` the text starts on (a file's, in its source)
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
