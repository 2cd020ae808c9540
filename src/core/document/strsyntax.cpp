#include "core/document/strsyntax.h"

#include <QByteArray>
#include <QCoreApplication>

#include <algorithm>

namespace StrSyntax {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QString tr(const char *text)
{
    return QCoreApplication::translate("StrSyntax", text);
}

} // namespace

qsizetype Tokenizer::lineEnd(qsizetype from, qsizetype *contentEnd) const
{
    const qsizetype lineFeed = m_bytes.indexOf('\n', from);
    if (lineFeed < 0) {
        *contentEnd = m_bytes.size();
        return m_bytes.size();
    }
    *contentEnd = lineFeed > from && m_bytes[lineFeed - 1] == '\r' ? lineFeed - 1 : lineFeed;
    return lineFeed + 1;
}

bool Tokenizer::next(Item &item)
{
    const qsizetype size = m_bytes.size();
    if (m_pos >= size)
        return false;
    item = Item{};
    item.start = m_pos;
    item.line = m_line;

    qsizetype contentEnd = 0;
    const qsizetype end = lineEnd(m_pos, &contentEnd);
    // Bytes up to m_blankUntil were read as blanks and line ends already.
    qsizetype first = std::max(m_pos, std::min(m_blankUntil, contentEnd));
    while (first < contentEnd && isBlank(m_bytes[first]))
        ++first;

    const auto finishLine = [&](ItemKind kind) {
        item.kind = kind;
        item.afterEnd = contentEnd;
        item.end = end;
        item.keyStart = item.keyEnd = item.textStart = item.textEnd = first;
        m_pos = end;
        ++m_line;
        return true;
    };

    if (first == contentEnd) {   // a run of blank lines is one item
        qsizetype runEnd = end;
        int lines = 1;
        while (runEnd < size) {
            qsizetype nextContentEnd = 0;
            const qsizetype nextEnd = lineEnd(runEnd, &nextContentEnd);
            qsizetype at = std::max(runEnd, std::min(m_blankUntil, nextContentEnd));
            while (at < nextContentEnd && isBlank(m_bytes[at]))
                ++at;
            if (at != nextContentEnd)
                break;
            runEnd = nextEnd;
            ++lines;
        }
        item.kind = ItemKind::Blank;
        item.keyStart = item.keyEnd = item.textStart = item.textEnd = first;
        item.afterEnd = contentEnd;
        item.end = runEnd;
        m_pos = runEnd;
        m_line += lines;
        return true;
    }
    if (m_bytes[first] == '/' && first + 1 < contentEnd && m_bytes[first + 1] == '/')
        return finishLine(ItemKind::Comment);

    // The key runs to the first colon, and holds no quote.
    qsizetype colon = first;
    while (colon < contentEnd && m_bytes[colon] != ':' && m_bytes[colon] != '"')
        ++colon;
    if (colon == contentEnd || m_bytes[colon] != ':')
        return finishLine(ItemKind::Stray);
    qsizetype keyEnd = colon;
    while (keyEnd > first && isBlank(m_bytes[keyEnd - 1]))
        --keyEnd;
    if (keyEnd == first)
        return finishLine(ItemKind::Stray);
    // Blanks and line ends may stand between the colon and the opening quote.
    int separatorLineFeeds = 0;
    qsizetype quote = colon + 1;
    while (quote < size && (isBlank(m_bytes[quote]) || m_bytes[quote] == '\r' || m_bytes[quote] == '\n')) {
        if (m_bytes[quote] == '\n')
            ++separatorLineFeeds;
        ++quote;
    }
    if (quote == size || m_bytes[quote] != '"') {
        if (separatorLineFeeds > 0)
            m_blankUntil = quote;   // the next lines' blanks are not read again
        return finishLine(ItemKind::Stray);
    }

    item.kind = ItemKind::Entry;
    item.keyStart = first;
    item.keyEnd = keyEnd;
    item.textStart = quote + 1;
    int lineFeeds = separatorLineFeeds;
    qsizetype at = item.textStart;
    while (at < size) {
        const char c = m_bytes[at];
        if (c == '\\') {
            ++at;
            if (at < size && m_bytes[at] == '\r' && at + 1 < size && m_bytes[at + 1] == '\n')
                ++at;
            if (at < size && m_bytes[at] == '\n')
                ++lineFeeds;
            ++at;
            continue;
        }
        if (c == '"')
            break;
        if (c == '\n')
            ++lineFeeds;
        ++at;
    }
    if (at >= size) {
        item.closed = false;
        item.textEnd = item.afterEnd = item.end = size;
    } else {
        item.textEnd = at;
        item.end = lineEnd(at + 1, &item.afterEnd);
        if (item.end > item.afterEnd)
            ++lineFeeds;
    }
    m_pos = item.end;
    m_line += lineFeeds;
    return true;
}

QString unescape(QStringView raw, QList<qsizetype> *lineStarts)
{
    QString text;
    text.reserve(raw.size());
    bool carriageReturn = false;   // a CR that becomes LF, alone or with the LF after it
    const auto append = [&](QChar c) {
        if (carriageReturn) {
            carriageReturn = false;
            text.append(u'\n');
            if (c == u'\n')
                return;
        }
        if (c == u'\r')
            carriageReturn = true;
        else
            text.append(c);
    };
    const auto lineStarted = [&] {
        if (lineStarts)
            lineStarts->append(text.size() + (carriageReturn ? 1 : 0));
    };
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\n') {   // a line break of the file, kept as such
            append(c);
            lineStarted();
            continue;
        }
        if (c != u'\\' || i + 1 == raw.size()) {
            append(c);
            continue;
        }
        const QChar next = raw[i + 1];
        if (next == u'"' || next == u'\\') {
            append(next);
            ++i;
        } else if (next == u'n') {
            append(u'\n');
            ++i;
        } else if (next == u'\n') {   // the line goes on
            lineStarted();
            ++i;
        } else if (next == u'\r' && i + 2 < raw.size() && raw[i + 2] == u'\n') {
            lineStarted();
            i += 2;
        } else {
            append(c);
        }
    }
    if (carriageReturn)
        text.append(u'\n');
    return text;
}

QString escape(QStringView text, QStringView lineBreak)
{
    QString raw;
    raw.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"' || c == u'\\') {
            raw.append(u'\\');
            raw.append(c);
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            raw.append(lineBreak);
        } else {
            raw.append(c);
        }
    }
    return raw;
}

namespace {

template <typename View>
std::optional<int> numbered(View key, QLatin1String prefix)
{
    if (key.size() <= prefix.size() || key.size() > prefix.size() + 9 || !key.startsWith(prefix, Qt::CaseInsensitive))
        return std::nullopt;
    int number = 0;
    for (qsizetype i = prefix.size(); i < key.size(); ++i) {
        const char16_t c = QChar(key[i]).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = number * 10 + (c - u'0');
    }
    return number;
}

} // namespace

std::optional<int> numberedKey(QStringView key, QLatin1String prefix)
{
    return numbered(key, prefix);
}

std::optional<int> numberedKey(QLatin1String key, QLatin1String prefix)
{
    return numbered(key, prefix);
}

HandEntries parseHandEntries(QStringView text)
{
    HandEntries parsed;
    const QByteArray bytes = text.toUtf8();
    const auto indexOf = [&](qsizetype offset) { return QString::fromUtf8(bytes.first(offset)).size(); };
    const auto piece = [&](qsizetype from, qsizetype to) { return QString::fromUtf8(bytes.sliced(from, to - from)); };
    const auto fail = [&](const QString &why, qsizetype offset) {
        parsed.error = why;
        parsed.errorIndex = indexOf(offset);
        return parsed;
    };
    Tokenizer tokens(bytes);
    Item item;
    while (tokens.next(item)) {
        if (item.kind == ItemKind::Blank)
            continue;
        if (item.kind != ItemKind::Entry)
            return fail(tr("this is not an entry: a key, a colon and a text in double quotes"), item.keyStart);
        const qsizetype close = item.closed ? item.textEnd + 1 : item.textEnd;
        parsed.entries.append({piece(item.keyStart, item.keyEnd), piece(item.keyEnd, item.textStart),
                               piece(item.textStart, item.textEnd), piece(item.keyStart, close)});
        if (!item.closed)
            return fail(tr("the text has no closing quote, so in the game it would swallow every entry after it"),
                        item.textEnd);
        const QByteArrayView after = QByteArrayView(bytes).sliced(item.afterStart(), item.afterEnd - item.afterStart());
        if (after.contains('"'))
            return fail(tr("the game ends the text at this quote; a quote inside a text is written \\\""),
                        item.textEnd);
        if (!after.trimmed().isEmpty())
            return fail(tr("the game does not read what follows the closing quote"), item.afterStart());
    }
    if (parsed.entries.isEmpty())
        return fail(tr("this is not an entry: a key, a colon and a text in double quotes"), 0);
    return parsed;
}

} // namespace StrSyntax
