#include "core/document/strdocument.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"

#include <QHash>
#include <QJsonArray>
#include <QStringDecoder>

#include <algorithm>
#include <numeric>

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

template <typename Kept, typename Put>
void StrDocument::layOut(qsizetype mark, Kept &&kept, Put &&put) const
{
    QList<int> order(m_edits.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return inFileOrder(m_edits.at(a), m_edits.at(b)); });
    qsizetype at = mark;
    bool written = false;       // anything laid out yet
    bool atLineStart = true;    // what was laid out ends with a line feed
    const auto keep = [&](qsizetype from, qsizetype to) {
        if (from >= to)
            return;
        kept(from, to);
        written = true;
        atLineStart = m_bytes.at(to - 1) == '\n';
    };
    for (const int index : std::as_const(order)) {
        const Edit &edit = m_edits.at(index);
        const qsizetype from = std::max(edit.from, mark);
        if (from < at)
            continue;   // inside a range already replaced
        keep(at, from);
        const bool lineEndFirst = edit.insertion && written && !atLineStart;
        put(index, lineEndFirst);
        if (lineEndFirst || !edit.text.isEmpty() || !edit.lineEnd.isEmpty()) {
            written = true;
            atLineStart = !edit.lineEnd.isEmpty() || edit.text.isEmpty() || edit.text.endsWith(u'\n');
        }
        at = std::max(edit.to, mark);
    }
    keep(at, m_bytes.size());
}

std::optional<QByteArray> StrDocument::write(int codePage) const
{
    const bool anew = !m_ascii && (m_encoding.utf8 || m_encoding.codePage != codePage);
    QByteArray out;
    out.reserve(m_bytes.size() + 64);
    bool ok = true;
    const auto encoded = [&](const QString &text) {
        if (const std::optional<QByteArray> bytes = CodePages::encode(text, codePage))
            out.append(*bytes);
        else
            ok = false;
    };
    // The byte-order mark is not written anew; an edit from the start of the file begins after it.
    const qsizetype mark = anew && m_encoding.utf8 && m_bytes.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    layOut(
        mark,
        [&](qsizetype from, qsizetype to) {
            if (anew)
                encoded(decoded(from, to));
            else
                out.append(QByteArrayView(m_bytes).sliced(from, to - from));
        },
        [&](int edit, bool lineEndFirst) { encoded(editText(edit, lineEndFirst)); });
    if (!ok)
        return std::nullopt;
    return out;
}

QString StrDocument::wholeText() const
{
    QString text;
    text.reserve(m_bytes.size());
    layOut(
        0, [&](qsizetype from, qsizetype to) { text += decoded(from, to); },
        [&](int edit, bool lineEndFirst) { text += editText(edit, lineEndFirst); });
    return text;
}

QList<StrDocument::Run> StrDocument::runs() const
{
    // A UTF-8 file's byte-order mark is no text: no run holds it.
    const qsizetype mark = m_encoding.utf8 && m_bytes.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    // Decoded, a byte is one character, but in UTF-8 beyond ASCII.
    const bool byteForCharacter = m_ascii || !m_encoding.utf8;
    QList<Run> runs;
    layOut(
        mark,
        [&](qsizetype from, qsizetype to) {
            while (from < to) {
                const qsizetype lineFeed = m_bytes.indexOf('\n', from);
                const qsizetype end = lineFeed < 0 || lineFeed >= to ? to : lineFeed + 1;
                runs.append({from, end, byteForCharacter ? end - from : decoded(from, end).size(), -1, false});
                from = end;
            }
        },
        [&](int edit, bool lineEndFirst) {
            const Edit &e = m_edits.at(edit);
            runs.append({std::max(e.from, mark), std::max(e.to, mark),
                         e.text.size() + e.lineEnd.size() + (lineEndFirst ? lineEnd().size() : 0), edit,
                         lineEndFirst});
        });
    return runs;
}

QString StrDocument::runText(const Run &run) const
{
    if (run.edit < 0)
        return decoded(run.from, run.to);
    return editText(run.edit, run.lineEndFirst);
}

void StrDocument::replaceText(qsizetype from, qsizetype to, const QString &text, const QString &place)
{
    const QList<Run> runs = this->runs();
    QList<qsizetype> starts;   // where each run starts in the whole text, and where the text ends
    starts.reserve(runs.size() + 1);
    qsizetype length = 0;
    for (const Run &run : runs) {
        starts.append(length);
        length += run.length;
    }
    starts.append(length);
    from = std::clamp<qsizetype>(from, 0, length);
    to = std::clamp<qsizetype>(to, from, length);

    // The runs the range touches, [first, last): a run that holds text of it;
    // for an empty range, the run it stands before (else the last).
    const qsizetype count = runs.size();
    qsizetype first = 0;
    while (first < count && starts.at(first + 1) <= from)
        ++first;
    qsizetype last = count;
    while (last > 0 && starts.at(last - 1) >= to)
        --last;
    if (last <= first) {
        if (first == count)
            first = std::max<qsizetype>(0, count - 1);
        last = std::min(first + 1, count);
    }
    // A range of bytes, not only a point where lines were put in: the change
    // then takes their place, before anything else put in after it.
    while (first < last && runs.at(first).from == runs.at(last - 1).to) {
        if (last < count)
            ++last;
        else if (first > 0)
            --first;
        else
            break;
    }

    const qsizetype textFrom = starts.at(first);
    QString region;
    int lineFeedsBefore = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const Run &run = runs.at(i);
        if (i >= first && i < last)
            region += runText(run);
        else if (i < first && run.edit < 0)
            lineFeedsBefore += static_cast<int>(QByteArrayView(m_bytes).sliced(run.from, run.to - run.from).count('\n'));
        else if (i < first)
            lineFeedsBefore += static_cast<int>(runText(run).count(u'\n'));
    }
    const QString lines = region.first(from - textFrom) + text + region.sliced(to - textFrom);
    const qsizetype mark = m_encoding.utf8 && m_bytes.startsWith(ByteOrderMark) ? ByteOrderMark.size() : 0;
    const qsizetype byteFrom = first < last ? runs.at(first).from : mark;
    const qsizetype byteTo = first < last ? runs.at(last - 1).to : m_bytes.size();

    // The changes it takes the place of go, and those that no run shows inside it.
    QList<bool> gone(m_edits.size(), false);
    for (qsizetype i = first; i < last; ++i) {
        if (runs.at(i).edit >= 0)
            gone[runs.at(i).edit] = true;
    }
    for (qsizetype i = 0; i < m_edits.size(); ++i) {
        const Edit &edit = m_edits.at(i);
        if (edit.from > byteFrom && edit.from < byteTo)
            gone[i] = true;
    }
    QList<Edit> kept;
    kept.reserve(m_edits.size() + 1);
    for (qsizetype i = 0; i < m_edits.size(); ++i) {
        if (!gone.at(i))
            kept.append(m_edits.at(i));
    }
    m_edits = std::move(kept);

    Piece typed = multiLine(LineEndings::toCrLf(lines), place);
    typed.firstLine = lineFeedsBefore + 1;
    m_edits.append({byteFrom, byteTo, lines, {typed}, m_nextOrder++, byteFrom == byteTo, {}});
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
    layOut(
        mark, [&](qsizetype from, qsizetype to) { text += decoded(from, to); },
        [&](int edit, bool lineEndFirst) { text += editText(edit, lineEndFirst); });
    return StrDocument((mark > 0 ? ByteOrderMark : QByteArray()) + text.toUtf8(), Encoding{m_encoding.codePage, true});
}

StrDocument StrDocument::merged(int codePage) const
{
    if (m_edits.isEmpty())
        return *this;
    if (std::optional<StrDocument> inCodePage = written(codePage))
        return std::move(*inCodePage);
    StrDocument whole = current();
    whole.m_encoding.codePage = codePage;
    return whole;
}

QString StrDocument::editText(int edit, bool lineEndFirst) const
{
    const Edit &e = m_edits.at(edit);
    return lineEndFirst ? lineEnd() + e.text + e.lineEnd : e.text + e.lineEnd;
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
