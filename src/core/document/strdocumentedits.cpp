#include "core/document/strdocument.h"

#include "core/document/lineendings.h"
#include "core/document/strdocumentinternal.h"

#include <algorithm>

using namespace StrDocumentInternal;

// The author's changes laid over the bytes: each kept apart from the bytes
// until the document is written.

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
