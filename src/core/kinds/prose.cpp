#include "core/kinds/prose.h"

#include <algorithm>

namespace Kinds {

namespace {

// Keys whose values are settings of the game, not texts: `no_trim`, `font`,
// `font_name`, a book's `art`, `decal_3`, `image`.
bool settingKey(QStringView key)
{
    static const QLatin1String Words[] = {QLatin1String("no_trim"), QLatin1String("font"), QLatin1String("art"),
                                          QLatin1String("decal"), QLatin1String("image"), QLatin1String("sound")};
    return std::any_of(std::begin(Words), std::end(Words), [key](QLatin1String word) {
        if (!key.startsWith(word, Qt::CaseInsensitive))
            return false;
        return key.size() == word.size() || key.at(word.size()) == u'_';
    });
}

// A path: one word with a slash or a backslash in it, or ending in a file's extension.
bool looksLikePath(QStringView word)
{
    if (word.contains(u'/') || word.contains(u'\\'))
        return true;
    const qsizetype dot = word.lastIndexOf(u'.');
    if (dot <= 0 || word.size() - dot - 1 < 2 || word.size() - dot - 1 > 4)
        return false;
    return std::all_of(word.begin() + dot + 1, word.end(), [](QChar c) { return c.isLetterOrNumber(); })
        && word.at(dot + 1).isLetter() && word.at(dot - 1).isLetterOrNumber();
}

// `#0 $ 1 203 257 370`, `#2 0 0 0 art/pbook`: every word after the '#' a
// number, a sign or a path.
bool decalGeometry(QStringView text)
{
    const QList<QStringView> words = text.mid(1).split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty() || !std::all_of(words.first().begin(), words.first().end(), [](QChar c) { return c.isDigit(); }))
        return false;
    return std::all_of(words.begin(), words.end(), [](QStringView word) {
        const bool number = std::all_of(word.begin(), word.end(), [](QChar c) { return !c.isLetter(); });
        return number || looksLikePath(word);
    });
}

} // namespace

bool holdsProse(Kind kind, QStringView key, QStringView text)
{
    if (kind == Kind::Missflag)
        return false;
    if (settingKey(key))
        return false;
    const QStringView trimmed = text.trimmed();
    if (!std::any_of(trimmed.begin(), trimmed.end(), [](QChar c) { return c.isLetter(); }))
        return false;   // nothing but numbers, signs and blanks
    // Decal geometry: a '#' and a picture's number, then numbers and perhaps a path.
    if (trimmed.startsWith(u'#') && decalGeometry(trimmed))
        return false;
    // A lone word that is a path.
    if (!trimmed.contains(u' ') && looksLikePath(trimmed))
        return false;
    return true;
}

} // namespace Kinds
