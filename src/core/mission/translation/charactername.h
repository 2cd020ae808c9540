#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// How a translation's messages name a character a code page lacks, so that
// a Cyrillic М is never read as a Latin M: the character in quotes (when it
// can be seen), its U+ code and its script.
namespace CharacterName {

// "Latin", "Cyrillic", "Greek", ...; "Common" for punctuation and signs
// every script shares; "another script" for one the list does not name.
QString scriptName(char32_t codePoint);

// "“М” (U+041C, Cyrillic)"; an invisible character or a combining mark
// without its quoted form: "U+200B (Common)".
QString describe(char32_t codePoint);

// Every character of `text` that `codePage` lacks, each once, in the order
// they first stand there.
QList<char32_t> lacking(QStringView text, int codePage);

// describe() of each, joined: "“М” (U+041C, Cyrillic), “я” (U+044F, Cyrillic)".
QString describeAll(const QList<char32_t> &codePoints);

} // namespace CharacterName
