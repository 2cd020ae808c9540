#include "core/mission/spelling/spelling.h"

namespace Spelling {

namespace {

bool isWordLetter(QChar c)
{
    return c.isLetter() || c.isMark();
}

// Past a placeholder starting with the % at `at`: %%, %1 (Qt's), or a printf
// conversion (%d, %-5.2f, %ls); past the % alone when none follows.
qsizetype afterPlaceholder(QStringView raw, qsizetype at)
{
    qsizetype i = at + 1;
    const qsizetype n = raw.size();
    if (i < n && raw[i] == u'%')
        return i + 1;
    if (i < n && raw[i].isDigit()) {
        while (i < n && raw[i].isDigit())
            ++i;
        // %1 is Qt's; %5d a printf width: both end here or at the conversion.
        if (i < n && raw[i].unicode() < 128 && raw[i].isLetter() && !(i + 1 < n && isWordLetter(raw[i + 1])))
            ++i;
        return i;
    }
    while (i < n && QStringView(u"-+ #0").contains(raw[i]))
        ++i;
    while (i < n && (raw[i].isDigit() || raw[i] == u'.' || raw[i] == u'*'))
        ++i;
    while (i < n && QStringView(u"hlLqjzt").contains(raw[i]) && i + 1 < n && raw[i + 1].unicode() < 128
           && raw[i + 1].isLetter())
        ++i;
    if (i < n && QStringView(u"diouxXeEfFgGaAcspnS").contains(raw[i]))
        return i + 1;
    return at + 1;
}

} // namespace

QList<Word> words(QStringView raw)
{
    QList<Word> out;
    const qsizetype n = raw.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = raw[i];
        if (c == u'\\') {
            i += 2;
            continue;
        }
        if (c == u'%') {
            i = afterPlaceholder(raw, i);
            continue;
        }
        if (!isWordLetter(c) && !c.isDigit() && c != u'_') {
            ++i;
            continue;
        }
        const qsizetype start = i;
        bool word = true;
        while (i < n) {
            const QChar d = raw[i];
            if (isWordLetter(d)) {
                ++i;
            } else if (d.isDigit() || d == u'_') {
                word = false;
                ++i;
            } else if ((d == u'\'' || d == u'\u2019' || d == u'-') && i + 1 < n && isWordLetter(raw[i + 1])
                       && isWordLetter(raw[i - 1])) {
                ++i;
            } else {
                break;
            }
        }
        if (word)
            out.append({start, i - start});
    }
    return out;
}

} // namespace Spelling
