#include "core/document/strdocument.h"

#include "core/document/codepages.h"
#include "core/document/strdocumentinternal.h"

#include <algorithm>
#include <numeric>

using namespace StrDocumentInternal;

// The document as it would be written: one walk over its bytes and changes
// in file order, which gives the bytes written, the whole text, the runs the
// source view's typing is laid over, and the document read again.

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
