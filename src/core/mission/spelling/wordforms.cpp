#include "core/mission/spelling/wordforms.h"

#include <algorithm>

namespace Spelling {

namespace {

bool allCapitals(const QString &word)
{
    return std::none_of(word.cbegin(), word.cend(), [](QChar c) { return c.isLower(); });
}

// The word as it might stand in the list: itself, Capitalised, in lower case.
bool anyForm(const QSet<QString> &list, const QString &word)
{
    if (word.isEmpty())
        return false;
    if (list.contains(word))
        return true;
    const QString lower = word.toLower();
    const QString capitalised = lower.left(1).toUpper() + lower.mid(1);
    if (allCapitals(word))   // SOLANA: Solana or solana
        return list.contains(capitalised) || list.contains(lower);
    if (word.at(0).isUpper() && word.mid(1) == lower.mid(1))   // Sword: sword
        return list.contains(lower);
    return false;
}

} // namespace

bool inWordList(const QSet<QString> &list, const QString &word)
{
    if (anyForm(list, word))
        return true;
    for (const QString &ending : {QStringLiteral("'s"), QStringLiteral("\u2019s")}) {
        if (word.size() > 2 && word.endsWith(ending, Qt::CaseInsensitive))
            return anyForm(list, word.chopped(2));
    }
    return false;
}

} // namespace Spelling
