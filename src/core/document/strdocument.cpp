#include "core/document/strdocument.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"
#include "core/document/strdocumentinternal.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>

using namespace StrDocumentInternal;

namespace {

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

StrDocument::StrDocument(QByteArray bytes, Encoding encoding,
                         const std::function<void(const StrSyntax::Item &)> &otherLine)
    : m_bytes(std::move(bytes))
    , m_encoding(encoding)
{
    parse(otherLine);
}

StrDocument StrDocument::fromTemplate(QLatin1String text)
{
    return StrDocument(QByteArray(text.data(), text.size()), Encoding{});
}

void StrDocument::parse(const std::function<void(const StrSyntax::Item &)> &otherLine)
{
    m_ascii = isAscii(m_bytes);
    StrSyntax::Tokenizer tokens(m_bytes);
    StrSyntax::Item item;
    const auto at = [](qsizetype offset) { return static_cast<qint32>(offset); };
    while (tokens.next(item)) {
        if (item.kind != StrSyntax::ItemKind::Entry) {
            if (otherLine)
                otherLine(item);
            continue;
        }
        m_entries.append({at(item.start), at(item.keyStart), at(item.keyEnd), at(item.textStart), at(item.textEnd),
                          at(item.afterEnd), at(item.end), item.line, item.closed});
    }
    for (const Entry &e : std::as_const(m_entries)) {
        const std::optional<TextBreak> breaks = breaksOf(QByteArrayView(m_bytes).sliced(e.textStart, e.textEnd - e.textStart));
        if (breaks && (!m_textBreak || *breaks == TextBreak::LineEnd))
            m_textBreak = breaks;
        if (m_textBreak == TextBreak::LineEnd)
            break;
    }
    const qsizetype lineFeeds = m_bytes.count('\n');
    m_crLfLines = static_cast<int>(m_bytes.count("\r\n"));
    m_lfLines = static_cast<int>(lineFeeds - m_crLfLines);
}

int StrDocument::lineOf(int entry, qsizetype offset) const
{
    const Entry &e = m_entries.at(entry);
    return e.line + static_cast<int>(QByteArrayView(m_bytes).sliced(e.start, offset - e.start).count('\n'));
}

int StrDocument::columnOf(qsizetype offset) const
{
    const qsizetype lineStart = QByteArrayView(m_bytes).first(offset).lastIndexOf('\n') + 1;
    return static_cast<int>(decoded(lineStart, offset).size()) + 1;
}

QString StrDocument::decoded(qsizetype from, qsizetype to) const
{
    // The file's own byte-order mark is no text. Any other U+FEFF is, even
    // at the start of a range (QString::fromUtf8() would drop it there, and a
    // line after a doubled mark would be written back as another line).
    if (from == 0 && m_encoding.utf8 && m_bytes.startsWith(ByteOrderMark))
        from = std::min<qsizetype>(ByteOrderMark.size(), to);
    const QByteArrayView bytes = QByteArrayView(m_bytes).sliced(from, to - from);
    if (m_encoding.utf8 || m_ascii)
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom)
            .decode(bytes);
    return CodePages::decode(bytes, m_encoding.codePage).text;
}

QString StrDocument::key(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return decoded(e.keyStart, e.keyEnd);
}

QString StrDocument::separator(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return decoded(e.keyEnd, e.textStart);
}

QString StrDocument::rawText(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return decoded(e.textStart, e.textEnd);
}

QString StrDocument::text(int entry) const
{
    return LineEndings::toCrLf(StrSyntax::unescape(rawText(entry)));
}

StrDocument::ReadText StrDocument::readText(int entry) const
{
    const Entry &e = m_entries.at(entry);
    ReadText read;
    // The text starts after the separator, which may hold line ends.
    read.firstLine = e.line + static_cast<int>(QByteArrayView(m_bytes).sliced(e.keyEnd, e.textStart - e.keyEnd).count('\n'));
    read.text = StrSyntax::unescape(rawText(entry), &read.lineStarts);
    return read;
}

int StrDocument::ReadText::lineOf(qsizetype position) const
{
    return firstLine + static_cast<int>(std::upper_bound(lineStarts.cbegin(), lineStarts.cend(), position) - lineStarts.cbegin());
}

QString StrDocument::after(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return e.closed ? decoded(e.textEnd + 1, e.afterEnd) : QString();
}

QString StrDocument::entryLine(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return LineEndings::toCrLf(decoded(e.keyStart, e.closed ? e.textEnd + 1 : e.textEnd));
}

int StrDocument::find(QLatin1String key) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (rawKey(static_cast<int>(i)).compare(key, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString StrDocument::lineEnd(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return decoded(e.afterEnd, e.end);
}

QString StrDocument::lineEnd() const
{
    return m_lfLines > m_crLfLines ? QStringLiteral("\n") : QStringLiteral("\r\n");
}

StrDocument::Style StrDocument::style(QLatin1String prefix, const Style &fallback) const
{
    QHash<QString, int> counts;
    QList<Style> seen;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const QString key = this->key(static_cast<int>(i));
        if (!key.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        Style style{key.left(prefix.size()), separator(static_cast<int>(i))};
        const QString id = style.prefix + u'\n' + style.separator;
        if (counts[id]++ == 0)
            seen.append(style);
    }
    if (seen.isEmpty())
        return fallback;
    return *std::max_element(seen.cbegin(), seen.cend(), [&](const Style &a, const Style &b) {
        return counts.value(a.prefix + u'\n' + a.separator) < counts.value(b.prefix + u'\n' + b.separator);
    });
}

StrDocument::TextBreak StrDocument::textBreak(int entry, TextBreak otherwise) const
{
    if (entry >= 0) {
        const Entry &e = m_entries.at(entry);
        if (const std::optional<TextBreak> own = breaksOf(QByteArrayView(m_bytes).sliced(e.textStart, e.textEnd - e.textStart)))
            return *own;
    }
    return m_textBreak.value_or(otherwise);
}

StrDocument::EntryStyle StrDocument::entryStyle(int entry) const
{
    const Entry &e = m_entries.at(entry);
    return {decoded(e.start, e.keyStart), separator(entry), lineEnd(entry)};
}

StrDocument::EntryStyle StrDocument::entryStyle() const
{
    EntryStyle style;
    if (!m_entries.isEmpty())
        style.separator = this->style(QLatin1String(""), {}).separator;
    style.lineEnd = lineEnd();
    return style;
}

QString StrDocument::entryLine(const QString &key, const QString &rawText, const EntryStyle &style)
{
    return style.indent + key + style.separator + rawText + u'"';
}

QString StrDocument::newEntryLine(const QString &key, const QString &text, const EntryStyle &style) const
{
    return LineEndings::toCrLf(entryLine(key, escaped(text), style));
}

QString StrDocument::escaped(const QString &text, TextBreak otherwise) const
{
    return escapedBy(text, textBreak(-1, otherwise));
}

QString StrDocument::escapedBy(const QString &text, TextBreak lineBreak) const
{
    return StrSyntax::escape(text, lineBreak == TextBreak::Escape ? QStringLiteral("\\n") : lineEnd());
}
