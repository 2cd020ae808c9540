// How a translation's target is written: the target's document with the
// translations laid over it, and everything checked before a byte is written.
#include "core/mission/translation/translation.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"
#include "core/mission/translation/charactername.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>

namespace {

using Range = std::pair<qsizetype, qsizetype>;

QString say(const char *text)
{
    return QCoreApplication::translate("Translation", text);
}

Piece typed(const TranslationPair::Row &row)
{
    return multiLine(row.target, say("the translation of %1").arg(row.key));
}

// The first character of the document's own bytes, outside the ranges
// `changed`, that `codePage` lacks: its line and column in the document.
std::optional<TextCheck::Problem> firstUnwritable(const StrDocument &document, QList<Range> changed, int codePage,
                                                  const QString &place)
{
    const QByteArray &bytes = document.bytes();
    const qsizetype mark = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    std::sort(changed.begin(), changed.end());
    changed.append({bytes.size(), bytes.size()});
    qsizetype at = mark;
    for (const auto &[from, to] : std::as_const(changed)) {
        if (from > at) {
            const QString text = document.decoded(at, from);
            if (const auto bad = CodePages::firstUnencodable(text, codePage)) {
                const qsizetype lineStart = std::max(mark, at == 0 ? 0 : bytes.lastIndexOf('\n', at - 1) + 1);
                const QString before = document.decoded(lineStart, at) + text.first(bad->index);
                TextCheck::Problem problem = TextCheck::placed(multiLine(before, place), before.size(),
                                                               TextCheck::Problem::Unencodable, bad->codePoint);
                problem.line += static_cast<int>(QByteArrayView(bytes).first(lineStart).count('\n'));
                return problem;
            }
        }
        at = std::max(at, to);
    }
    return std::nullopt;
}

// The refusal of a character the code page lacks, named with its code and script.
QString unwritableMessage(const TextCheck::Problem &problem, int codePage)
{
    return say("In %1, line %2, column %3, there is %4, which %5 cannot represent.\n\nReplace or remove it, then "
               "save again. Nothing was written.")
        .arg(problem.place)
        .arg(problem.line)
        .arg(problem.column)
        .arg(CharacterName::describe(problem.codePoint), CodePages::description(codePage));
}

} // namespace

StrDocument TranslationPair::targetDocument() const
{
    if (!m_target) {   // the source with the translations laid over it
        StrDocument document = m_source.document;
        for (const Row &row : m_rows) {
            if (row.edited)
                document.setText(row.sourceEntry, row.target, typed(row));
        }
        return document;
    }
    StrDocument document = *m_target;
    const QString separator = document.entries().isEmpty() ? QString()
                                                           : document.style(QLatin1String(""), {}).separator;
    // Where an entry the target lacks goes: after the entry of the nearest
    // source key before it, else before that of the nearest after it.
    QHash<int, int> targetOf;   // source entry -> target entry
    QList<int> order;           // source entries in order: rows and copied ones
    for (const Row &row : m_rows) {
        targetOf.insert(row.sourceEntry, row.targetEntry);
        order.append(row.sourceEntry);
    }
    for (const int entry : m_copied) {
        targetOf.insert(entry, document.find(m_source.document.rawKey(entry)));
        order.append(entry);
    }
    std::sort(order.begin(), order.end());
    const auto insertionPoint = [&](qsizetype at) {
        for (qsizetype before = at - 1; before >= 0; --before) {
            if (const int entry = targetOf.value(order.at(before), -1); entry >= 0)
                return qsizetype(document.entries().at(entry).end);
        }
        for (qsizetype after = at + 1; after < order.size(); ++after) {
            if (const int entry = targetOf.value(order.at(after), -1); entry >= 0)
                return qsizetype(document.entries().at(entry).start);
        }
        return document.bytes().size();
    };
    QHash<int, const Row *> rowOfEntry;
    for (const Row &row : m_rows)
        rowOfEntry.insert(row.sourceEntry, &row);
    for (qsizetype i = 0; i < order.size(); ++i) {
        const int sourceEntry = order.at(i);
        const Row *row = rowOfEntry.value(sourceEntry);
        if (row && row->edited && row->targetEntry >= 0) {
            // A target none of whose texts has a line break writes them as the source does.
            document.setText(row->targetEntry, row->target, typed(*row), m_source.document.textBreak(row->sourceEntry));
            continue;
        }
        if (targetOf.value(sourceEntry, -1) >= 0)
            continue;
        // Not in the target: the translation typed, or the source's text standing in.
        const QString key = m_source.document.key(sourceEntry);
        const QString entrySeparator = separator.isEmpty() ? m_source.document.separator(sourceEntry) : separator;
        const bool standIn = !row || !row->edited;
        const QString text = standIn ? m_source.document.text(sourceEntry) : row->target;
        document.insertEntry(insertionPoint(i), key, text,
                             {standIn ? multiLine(text, say("the source text of %1").arg(key)) : typed(*row)},
                             {QString(), entrySeparator, QString()}, m_source.document.textBreak(sourceEntry));
    }
    return document;
}

std::optional<TranslationPair::Refusal> TranslationPair::standInRefusal() const
{
    // The source's texts the file would carry: every one of a new file not
    // typed over, and those an existing one lacks.
    QList<std::pair<int, int>> standing;   // source entry, row (-1: copied as it stands)
    for (int r = 0; r < m_rows.size(); ++r) {
        const Row &row = m_rows.at(r);
        if (!row.edited && (!m_target || row.targetEntry < 0))
            standing.append({row.sourceEntry, r});
    }
    for (const int entry : m_copied) {
        if (!m_target || m_target->find(m_source.document.rawKey(entry)) < 0)
            standing.append({entry, -1});
    }
    std::sort(standing.begin(), standing.end());
    for (const auto &[entry, row] : std::as_const(standing)) {
        const QString text = m_source.document.text(entry);
        const QList<char32_t> lacking = CharacterName::lacking(text, m_codePage);
        if (lacking.isEmpty())
            continue;
        const QString key = m_source.document.key(entry);
        const QString message = row >= 0
            ? say("The entry %1 is not translated yet, so it would carry the source's text \u201C%2\u201D, and %3 "
                  "lacks %4.\n\nTranslate it, then save again. Nothing was written.")
            : say("The entry %1 is copied from the source as it stands, \u201C%2\u201D, and %3 lacks %4.\n\n"
                  "Change it in the source, or choose another code page, then save again. Nothing was written.");
        return Refusal{message.arg(key, LineEndings::toLf(text), CodePages::description(m_codePage),
                                   CharacterName::describeAll(lacking)),
                       std::nullopt, row};
    }
    return std::nullopt;
}

std::variant<QByteArray, TranslationPair::Refusal> TranslationPair::write() const
{
    if (!m_unsafe.isEmpty())
        return Refusal{m_unsafe, std::nullopt, -1};
    for (int r = 0; r < m_rows.size(); ++r) {
        if (!m_rows.at(r).edited)
            continue;
        if (const auto problem = TextCheck::firstProblem({typed(m_rows.at(r))}, m_codePage)) {
            const QString message = problem->kind == TextCheck::Problem::Unencodable
                ? unwritableMessage(*problem, m_codePage)
                : TextCheck::message(*problem, m_codePage);
            return Refusal{message, problem, r};
        }
    }
    if (std::optional<Refusal> refusal = standInRefusal())
        return *refusal;
    const StrDocument document = targetDocument();
    if (std::optional<QByteArray> bytes = document.write(m_codePage))
        return *bytes;

    // A character of the lines kept as they stand.
    const StrDocument &base = m_target ? *m_target : m_source.document;
    QList<Range> changed;
    for (const Row &row : m_rows) {
        const int entry = m_target ? row.targetEntry : row.sourceEntry;
        if (entry >= 0 && row.edited) {
            const StrDocument::Entry &e = base.entries().at(entry);
            changed.append(Range{e.textStart, e.textEnd});
        }
    }
    const QString place = m_target ? say("the translation file") : say("the source file");
    if (const auto problem = firstUnwritable(base, changed, m_codePage, place))
        return Refusal{unwritableMessage(*problem, m_codePage), problem, -1};
    return Refusal{say("The translation holds a character that %1 cannot represent. Nothing was written.")
                       .arg(CodePages::description(m_codePage)),
                   std::nullopt, -1};
}

