#include "core/document/strdocument.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"

#include <QHash>
#include <QJsonArray>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray ByteOrderMark("\xEF\xBB\xBF");

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Edits in the order their bytes stand in the file. Lines inserted where a
// replaced or removed range begins go before it, not into it.
template <typename Edit>
bool inFileOrder(const Edit &a, const Edit &b)
{
    if (a.from != b.from)
        return a.from < b.from;
    if (a.insertion != b.insertion)
        return a.insertion;
    return a.order < b.order;
}

// How a raw text writes its line breaks, when it has any: a raw line break
// before the escape \n. A backslash before a line end continues the line.
std::optional<StrDocument::TextBreak> breaksOf(QByteArrayView raw)
{
    bool escaped = false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n')
            return StrDocument::TextBreak::LineEnd;
        if (raw[i] != '\\' || i + 1 == raw.size())
            continue;
        escaped = escaped || raw[i + 1] == 'n';
        i += raw[i + 1] == '\r' && i + 2 < raw.size() && raw[i + 2] == '\n' ? 2 : 1;
    }
    return escaped ? std::optional(StrDocument::TextBreak::Escape) : std::nullopt;
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

void StrDocument::addEdit(qsizetype from, qsizetype to, const QString &text, const Pieces &checks, bool insertion)
{
    if (!insertion) {   // a later change of the same bytes replaces the earlier one
        m_edits.removeIf([&](const Edit &edit) {
            return !edit.insertion && (edit.from == from || (edit.from < to && from < edit.to));
        });
    }
    m_edits.append({from, to, text, checks, m_nextOrder++, insertion, {}});
}

void StrDocument::setText(int entry, const QString &text, const Piece &check, TextBreak otherwise)
{
    const Entry &e = m_entries.at(entry);
    addEdit(e.textStart, e.textEnd, escapedBy(text, textBreak(entry, otherwise)), {check});
}

void StrDocument::takeInQuotes(int entry, qsizetype quote)
{
    const Entry &e = m_entries.at(entry);
    const QByteArrayView raw = QByteArrayView(m_bytes).sliced(e.textStart, quote - e.textStart);
    const TextBreak lineBreak = breaksOf(raw).value_or(m_textBreak.value_or(TextBreak::LineEnd));
    addEdit(e.textStart, quote, escapedBy(StrSyntax::unescape(decoded(e.textStart, quote)), lineBreak), {});
}

void StrDocument::setEntryLine(int entry, const QString &line, const Pieces &checks)
{
    const Entry &e = m_entries.at(entry);
    QString inFileStyle = LineEndings::toCrLf(line);
    if (lineEnd() != u"\r\n")
        inFileStyle.replace(QLatin1String("\r\n"), lineEnd());
    addEdit(e.keyStart, e.closed ? e.textEnd + 1 : e.textEnd, inFileStyle, checks);
}

void StrDocument::setEntry(int entry, const QString &key, const QString &text, const Pieces &checks)
{
    setRawEntry(entry, key, escapedBy(text, textBreak(entry)), checks);
}

void StrDocument::setRawEntry(int entry, const QString &key, const QString &rawText, const Pieces &checks)
{
    EntryStyle style = entryStyle(entry);
    style.indent.clear();   // the line from the key on
    setEntryLine(entry, entryLine(key, rawText, style), checks);
}

void StrDocument::insertEntry(qsizetype at, const QString &key, const QString &text, const Pieces &checks,
                              const EntryStyle &style, TextBreak otherwise)
{
    insertRawEntry(at, key, escaped(text, otherwise), checks, style);
}

void StrDocument::insertRawEntry(qsizetype at, const QString &key, const QString &rawText, const Pieces &checks,
                                 const EntryStyle &style)
{
    insertLines(at, entryLine(key, rawText, style), checks, style.lineEnd);
}

void StrDocument::removeEntry(int entry)
{
    const Entry &e = m_entries.at(entry);
    addEdit(e.start, e.end, QString(), {});
}

void StrDocument::replace(qsizetype from, qsizetype to, const QString &text, const Pieces &checks)
{
    addEdit(from, to, text, checks);
}

void StrDocument::insertLines(qsizetype at, const QString &lines, const Pieces &checks, const QString &ending)
{
    const QString lineBreak = ending.isEmpty() ? lineEnd() : ending;
    QString text = LineEndings::toCrLf(lines);
    if (lineBreak != u"\r\n")
        text.replace(QLatin1String("\r\n"), lineBreak);
    addEdit(at, at, text, checks, true);
    m_edits.last().lineEnd = lineBreak;
}

qsizetype StrDocument::insertionPoint(const QList<QLatin1String> &prefixes) const
{
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        const QLatin1String key = rawKey(static_cast<int>(i));
        if (std::any_of(prefixes.cbegin(), prefixes.cend(),
                        [&](QLatin1String prefix) { return key.startsWith(prefix, Qt::CaseInsensitive); }))
            return m_entries.at(i).end;
    }
    return m_bytes.size();
}

Pieces StrDocument::authorTexts() const
{
    QList<Edit> edits = m_edits;
    std::stable_sort(edits.begin(), edits.end(), inFileOrder<Edit>);
    Pieces pieces;
    for (const Edit &edit : std::as_const(edits)) {
        for (const Piece &check : edit.checks) {
            if (!check.place.isEmpty())
                pieces.append(check);
        }
    }
    return pieces;
}

std::optional<QByteArray> StrDocument::write(int codePage) const
{
    return writeIn(codePage, false);
}

std::optional<QByteArray> StrDocument::writeIn(int codePage, bool utf8) const
{
    const bool anew = utf8 ? !m_ascii && !m_encoding.utf8
                           : !m_ascii && (m_encoding.utf8 || m_encoding.codePage != codePage);
    QByteArray out;
    out.reserve(m_bytes.size() + 64);
    bool ok = true;
    const auto encoded = [&](const QString &text) {
        if (utf8)
            out.append(text.toUtf8());
        else if (const std::optional<QByteArray> bytes = CodePages::encode(text, codePage))
            out.append(*bytes);
        else
            ok = false;
    };
    const auto kept = [&](qsizetype from, qsizetype to) {
        if (from >= to)
            return;
        if (anew)
            encoded(decoded(from, to));
        else
            out.append(QByteArrayView(m_bytes).sliced(from, to - from));
    };

    // The byte-order mark is not written anew; an edit from the start of the file begins after it.
    const qsizetype mark = anew && m_encoding.utf8 && m_bytes.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    compose(mark, kept, encoded);
    if (!ok)
        return std::nullopt;
    return out;
}

void StrDocument::compose(qsizetype mark, const std::function<void(qsizetype, qsizetype)> &kept,
                          const std::function<void(const QString &)> &put) const
{
    QList<Edit> edits = m_edits;
    std::stable_sort(edits.begin(), edits.end(), inFileOrder<Edit>);
    qsizetype at = mark;
    bool lineOpen = false;   // what was put last does not end its line
    for (const Edit &edit : std::as_const(edits)) {
        const qsizetype from = std::max(edit.from, mark);
        if (from < at)
            continue;   // inside a range already replaced
        if (from > at)
            lineOpen = m_bytes.at(from - 1) != '\n';
        kept(at, from);
        if (edit.insertion && lineOpen)
            put(lineEnd());   // an insertion after a last line without its line end
        put(edit.text);
        put(edit.lineEnd);
        if (!edit.lineEnd.isEmpty())
            lineOpen = false;
        else if (!edit.text.isEmpty())
            lineOpen = !edit.text.endsWith(u'\n');
        at = std::max(edit.to, mark);
    }
    kept(at, m_bytes.size());
}

std::optional<StrDocument> StrDocument::written(int codePage) const
{
    std::optional<QByteArray> bytes = write(codePage);
    if (!bytes)
        return std::nullopt;
    return StrDocument(std::move(*bytes), Encoding{codePage, false});
}

StrDocument StrDocument::current() const
{
    if (m_edits.isEmpty())
        return *this;
    const qsizetype mark = m_encoding.utf8 && m_bytes.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    QString text;
    compose(
        mark, [&](qsizetype from, qsizetype to) { text += from < to ? decoded(from, to) : QString(); },
        [&](const QString &put) { text += put; });
    return StrDocument((mark > 0 ? ByteOrderMark : QByteArray()) + text.toUtf8(), Encoding{m_encoding.codePage, true});
}

StrDocument StrDocument::merged(int codePage) const
{
    if (m_edits.isEmpty())
        return *this;
    if (std::optional<StrDocument> inCodePage = written(codePage))
        return std::move(*inCodePage);
    return StrDocument(writeIn(codePage, true).value_or(QByteArray()), Encoding{codePage, true});
}

QVariantMap StrDocument::toDraft() const
{
    return {{QStringLiteral("bytes"), m_bytes},   // shared; in base64 in the draft's JSON
            {QStringLiteral("codePage"), m_encoding.codePage},
            {QStringLiteral("utf8"), m_encoding.utf8}};
}

std::optional<StrDocument> StrDocument::fromDraft(const QJsonObject &draft)
{
    const QJsonValue bytes = draft.value(QStringLiteral("bytes"));
    if (!bytes.isString())
        return std::nullopt;
    auto decoded = QByteArray::fromBase64Encoding(bytes.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() > 16 * 1024 * 1024)
        return std::nullopt;
    return StrDocument(std::move(decoded.decoded), {draft.value(QStringLiteral("codePage")).toInt(1252),
                                             draft.value(QStringLiteral("utf8")).toBool()});
}

QString StrDocument::writtenText() const
{
    // As write() lays the changes in, with the bytes decoded rather than copied.
    QList<Edit> edits = m_edits;
    std::stable_sort(edits.begin(), edits.end(), inFileOrder<Edit>);
    QString out;
    qsizetype at = 0;
    for (const Edit &edit : std::as_const(edits)) {
        if (edit.from < at)
            continue;   // inside a range already replaced
        if (at < edit.from)
            out += decoded(at, edit.from);
        if (edit.insertion && !out.isEmpty() && !out.endsWith(u'\n'))
            out += lineEnd();
        out += edit.text;
        out += edit.lineEnd;
        at = edit.to;
    }
    if (at < m_bytes.size())
        out += decoded(at, m_bytes.size());
    return out;
}

QVariantMap StrDocument::toDraftWithChanges() const
{
    QVariantMap draft = toDraft();
    QVariantList changes;
    for (const Edit &edit : m_edits) {
        QVariantList checks;
        for (const Piece &check : edit.checks) {
            checks.append(QVariantMap{{QStringLiteral("text"), check.text},
                                      {QStringLiteral("kind"), static_cast<int>(check.kind)},
                                      {QStringLiteral("place"), check.place}});
        }
        changes.append(QVariantMap{{QStringLiteral("from"), static_cast<qint64>(edit.from)},
                                   {QStringLiteral("to"), static_cast<qint64>(edit.to)},
                                   {QStringLiteral("text"), edit.text},
                                   {QStringLiteral("insertion"), edit.insertion},
                                   {QStringLiteral("lineEnd"), edit.lineEnd},
                                   {QStringLiteral("checks"), checks}});
    }
    draft.insert(QStringLiteral("changes"), changes);
    return draft;
}

std::optional<StrDocument> StrDocument::fromDraftWithChanges(const QJsonObject &draft)
{
    std::optional<StrDocument> document = fromDraft(draft);
    if (!document)
        return std::nullopt;
    const qsizetype size = document->m_bytes.size();
    for (const QJsonValue &value : draft.value(QStringLiteral("changes")).toArray()) {
        const QJsonObject change = value.toObject();
        const qint64 from = change.value(QStringLiteral("from")).toInteger(-1);
        const qint64 to = change.value(QStringLiteral("to")).toInteger(-1);
        if (from < 0 || to < from || to > size || !change.value(QStringLiteral("text")).isString())
            return std::nullopt;
        Pieces checks;
        for (const QJsonValue &kept : change.value(QStringLiteral("checks")).toArray()) {
            const QJsonObject check = kept.toObject();
            const int kind = check.value(QStringLiteral("kind")).toInt();
            if (kind < Piece::Fixed || kind > Piece::MultiLine)
                return std::nullopt;
            checks.append({check.value(QStringLiteral("text")).toString(), static_cast<Piece::Kind>(kind),
                           check.value(QStringLiteral("place")).toString()});
        }
        document->m_edits.append({from, to, change.value(QStringLiteral("text")).toString(), checks,
                                  document->m_nextOrder++, change.value(QStringLiteral("insertion")).toBool(),
                                  change.value(QStringLiteral("lineEnd")).toString()});
    }
    return document;
}
