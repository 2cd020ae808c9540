#pragma once

#include <QSet>
#include <QString>

// How a word of the mission's word list is matched, as Hunspell matches the
// words of its dictionaries: a word in lower case also as Capitalised and in
// ALL CAPITALS, a Capitalised one also in ALL CAPITALS, and each with the
// possessive 's (’s) after it ("Solana" in the list: Solana, SOLANA, Solana's,
// SOLANA'S).
namespace Spelling {

bool inWordList(const QSet<QString> &list, const QString &word);

} // namespace Spelling
