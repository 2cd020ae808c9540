#pragma once

#include "core/document/error.h"
#include "core/document/filecontent.h"

class StrDocument;

#include <optional>

// What the author typed must never break a file: a line break in a one-line
// box would split an entry, a control character has no place in a text file,
// and a character the code page lacks cannot be written at all. Each is found
// before anything is asked or written, and pointed out by box, line and column.
namespace TextCheck {

struct Problem {
    enum Kind { LineBreak, ControlCharacter, Unencodable, Malformed };

    Kind kind = Unencodable;
    QString place;         // where it was typed, e.g. "the \"Mission Title\" box"
    int line = 1;          // inside that box, from 1
    int column = 1;        // in characters, from 1
    char32_t codePoint = 0;
    QString reason;        // Malformed: what is wrong there
};

// The problem at `index` of `text` (lines joined by CR LF) in `place`.
Problem placed(const Piece &piece, qsizetype index, Problem::Kind kind, char32_t codePoint);

// The first problem in the author's texts, if any. Tab is allowed
// everywhere, CR LF only in multi-line boxes.
std::optional<Problem> firstProblem(const Pieces &texts, int codePage);

// The same as the refusal of a save: an Error of kind Unwritable for a
// character the code page lacks, Invalid for the others, its message().
std::optional<Error> refusal(const Pieces &texts, int codePage);
Error refusal(const Problem &problem, int codePage);

// The message that refuses the save: what the character is (its U+ code
// always; the character itself only where it can be seen, isolated so that it
// cannot turn the sentence around), where it is, and why it cannot be written.
QString message(const Problem &problem, int codePage);

// The message that refuses to save `document` (the file at `path`, "" for one
// of no file yet) in `codePage`, which lacks characters of its texts: the
// file, the first entry such a text stands in with its key, the text quoted
// (shortened when long) and the U+ code of each character the code page lacks.
QString unwritableMessage(const StrDocument &document, int codePage, const QString &path);

// "U+00E9": how a character is named in messages.
QString codePointName(char32_t codePoint);

// Why `fileName` cannot name a file on Windows (the game's platform), or
// nothing: characters Windows forbids, a trailing dot or blank, a device name
// such as CON or aux.str. An Error of kind Refused, its message the reason
// alone ("it holds ..."), for the caller's sentence.
std::optional<Error> fileNameProblem(const QString &fileName);

} // namespace TextCheck
