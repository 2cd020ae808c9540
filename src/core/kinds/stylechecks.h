#pragma once

#include "core/kinds/kind.h"

// The matters of style every kind's check notes (Finding::Note): the game
// reads these files alike either way, but an author rarely means them.
namespace Kinds::StyleChecks {

// A text that ends in blanks before its closing quote ("Go home  ").
void trailingBlanks(const StrDocument &document, const QStringList &takenKeys, QList<Finding> &findings);
// Two or more blanks in a row between the words of a text.
void doubleBlanks(const StrDocument &document, const QStringList &takenKeys, QList<Finding> &findings);
// A numbered key whose word is spelt in another case than the file's other
// keys of that word (page_1 among Page_0, Page_2); the spelling most keys
// have is the file's, the first one seen on a tie.
void keyCase(const StrDocument &document, const QStringList &takenKeys, QList<Finding> &findings);
// Lines ending in more than one way (CR LF, LF, a lone CR): one note, at the
// first line that ends otherwise than most of the file's lines.
void lineEnds(const StrDocument &document, const QStringList &takenKeys, QList<Finding> &findings);

} // namespace Kinds::StyleChecks
