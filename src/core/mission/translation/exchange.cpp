#include "core/mission/translation/exchange.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"
#include "core/mission/translation/charactername.h"
#include "core/mission/translation/exchangetaker.h"

#include <QCoreApplication>

namespace Exchange {

namespace {

using State = TranslationPair::State;

QString say(const char *text)
{
    return QCoreApplication::translate("Exchange", text);
}

// What an entry is, as far as a file taken back can say.
enum class Standing { Untranslated, Outdated, Review, Marked, Plain };

Standing standingOf(const Unit &unit)
{
    switch (unit.state) {
    case State::Untranslated:
        return Standing::Untranslated;
    case State::Outdated:
        return Standing::Outdated;
    case State::NeedsReview:
        return Standing::Review;
    default:
        return unit.markedDone ? Standing::Marked : Standing::Plain;
    }
}

} // namespace

QList<Unit> unitsOf(const TranslationPair &pair, const QString &file)
{
    QList<Unit> units;
    for (const TranslationPair::Row &row : pair.rows()) {
        units.append({file, row.key, row.source, row.state == State::Untranslated ? QString() : row.target,
                      row.state, row.comment, row.note, row.markedDone,
                      row.state == State::Outdated ? row.oldSource : QString(), pair.openingNote(), row.line});
    }
    return units;
}

namespace Taking {

Taker::Taker(const QList<Unit> &units, int codePage)
    : m_codePage(codePage)
{
    for (const Unit &unit : units)
        m_units[unit.file].insert(unit.key.toCaseFolded(), &unit);
}

bool Taker::knowsFile(int line, const QString &file)
{
    if (m_units.contains(file))
        return true;
    if (!m_unknownFiles.contains(file)) {
        m_unknownFiles.insert(file);
        problem(line, file, {}, say("The mission has no file %1.").arg(file));
    }
    return false;
}

void Taker::take(const Entry &entry)
{
    if (!knowsFile(entry.line, entry.file))
        return;
    const Unit *unit = m_units.value(entry.file).value(entry.key.toCaseFolded());
    if (!unit)
        return problem(entry.line, entry.file, entry.key, say("%1 has no entry %2.").arg(entry.file, entry.key));
    if (m_seen.contains({entry.file, unit->key}))
        return problem(entry.line, entry.file, entry.key, say("The entry %1 stands twice.").arg(entry.key));
    m_seen.insert({entry.file, unit->key});
    const QString text = LineEndings::toCrLf(entry.text);
    if (const QList<char32_t> lacking = CharacterName::lacking(text, m_codePage); !lacking.isEmpty()) {
        return problem(entry.line, entry.file, entry.key,
                       say("The translation holds %1, which %2 cannot represent.")
                           .arg(CharacterName::describeAll(lacking), CodePages::description(m_codePage)));
    }
    Change change{unit->file, unit->key, text, {}, false, std::nullopt, entry.note, entry.line};
    if (change.note && *change.note == unit->note)
        change.note.reset();
    const bool noted = change.note.has_value();
    if (text.isEmpty()) {   // left untranslated: nothing but a note changes
        if (noted)
            m_import.changes.append(change);
        return;
    }
    const QString source = LineEndings::toCrLf(entry.source);
    const QString previous = LineEndings::toCrLf(entry.previous);
    const bool retyped = text != unit->target;
    const Standing was = standingOf(*unit);
    if (!source.isEmpty() && source != unit->source)
        change.madeFrom = source;   // made from an older source
    else if (entry.review && !previous.isEmpty() && previous != unit->source)
        change.madeFrom = previous;   // still waiting for the review its old source asks
    change.review = entry.review;
    change.done = entry.done;
    Standing now = Standing::Plain;
    if (!change.madeFrom.isEmpty() || (was == Standing::Outdated && entry.review && !retyped))
        now = Standing::Outdated;
    else if (entry.review)
        now = Standing::Review;
    else if (entry.done.value_or(was == Standing::Marked && !retyped))
        now = Standing::Marked;
    const bool oldSourceChanged = now == Standing::Outdated && !change.madeFrom.isEmpty()
        && change.madeFrom != unit->oldSource;
    if (retyped || now != was || oldSourceChanged || noted)
        m_import.changes.append(change);
}

void Taker::problem(int line, const QString &file, const QString &key, const QString &message)
{
    m_import.problems.append({line, file, key, message});
}

Import Taker::result()
{
    if (!m_import.problems.isEmpty())
        m_import.changes.clear();
    return m_import;
}

} // namespace Taking

} // namespace Exchange
