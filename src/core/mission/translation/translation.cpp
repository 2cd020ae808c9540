#include "core/mission/translation/translation.h"

#include "core/document/codepages.h"
#include "core/document/lineendings.h"
#include "core/kinds/prose.h"

#include <QCoreApplication>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

using State = TranslationPair::State;

QString say(const char *text)
{
    return QCoreApplication::translate("Translation", text);
}

// What the translator should look at: an empty translation, other numbers
// of line breaks or of placeholders than the source's.
QString suspicion(const QString &source, const QString &target)
{
    if (target.isEmpty())
        return source.isEmpty() ? QString() : say("The translation is empty.");
    QStringList reasons;
    const qsizetype breaks = source.count(u'\n');
    const qsizetype here = target.count(u'\n');
    if (breaks != here) {
        reasons.append((breaks == 1 ? say("1 line break in the source, %2 here")
                                    : say("%1 line breaks in the source, %2 here").arg(breaks))
                           .arg(here));
    }
    static const QRegularExpression placeholder(QStringLiteral("%%|%[-+#0]*\\d*(?:\\.\\d+)?[dsif]"));
    QStringList order;
    QHash<QString, std::pair<int, int>> counts;
    for (const bool inSource : {true, false}) {
        auto matches = placeholder.globalMatch(inSource ? source : target);
        while (matches.hasNext()) {
            const QString found = matches.next().captured();
            if (found == u"%%")
                continue;
            if (!counts.contains(found))
                order.append(found);
            ++(inSource ? counts[found].first : counts[found].second);
        }
    }
    for (const QString &found : std::as_const(order)) {
        const auto [inSource, inTarget] = counts.value(found);
        if (inSource == inTarget)
            continue;
        if (inTarget == 0)
            reasons.append(say("%1 missing").arg(found));
        else if (inSource == 0)
            reasons.append(say("%1 not in the source").arg(found));
        else
            reasons.append(say("%1 %2 times in the source, %3 here").arg(found).arg(inSource).arg(inTarget));
    }
    return reasons.join(QLatin1String("; "));
}

} // namespace

TranslationPair::Counts &TranslationPair::Counts::operator+=(const Counts &other)
{
    translated += other.translated;
    total += other.total;
    extra += other.extra;
    toReview += other.toReview;
    return *this;
}

TranslationPair::TranslationPair(StrReader::Result source, Target target, int targetCodePage)
    : m_source(std::move(source))
    , m_codePage(targetCodePage)
{
    QStringList unsafe;
    if (auto *read = std::get_if<StrReader::Result>(&target)) {
        if (read->utf8) {
            unsafe.append(say("The translation is written in UTF-8, but the game reads it in %1: saving writes it "
                              "anew in %1.")
                              .arg(CodePages::shortName(targetCodePage)));
        }
        if (read->kind != m_source.kind) {
            unsafe.append(say("The translation is %1, but the source is %2.")
                              .arg(Kinds::descriptor(read->kind).kindName(), Kinds::descriptor(m_source.kind).kindName()));
        }
        m_target = std::move(read->document);
    } else if (const auto *failure = std::get_if<Error>(&target)) {
        unsafe.append(say("The translation could not be read: %1 Saving replaces it with a new file.")
                          .arg(failure->message));
    }
    m_unsafe = unsafe.join(u' ');
    pair();
}

void TranslationPair::refuseUntilAccepted(const QString &reason)
{
    m_unsafe = m_unsafe.isEmpty() ? reason : m_unsafe + u' ' + reason;
}

void TranslationPair::pair()
{
    const StrDocument &source = m_source.document;
    QHash<QString, int> inTarget;
    for (qsizetype i = 0; m_target && i < m_target->entries().size(); ++i) {
        const QString key = m_target->key(static_cast<int>(i)).toCaseFolded();
        if (!inTarget.contains(key))
            inTarget.insert(key, static_cast<int>(i));
    }
    m_rows.clear();
    m_copied.clear();
    m_extraKeys.clear();
    const TranslationRecord::Notes notes = TranslationRecord::notesOf(source);
    m_openingNote = notes.opening;
    QSet<QString> keys;   // folded: the game reads the first entry of a key
    for (qsizetype i = 0; i < source.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const QString key = source.key(entry);
        const QString folded = key.toCaseFolded();
        if (keys.contains(folded))
            continue;
        keys.insert(folded);
        const QString text = source.text(entry);
        if (!Kinds::holdsProse(m_source.kind, key, text)) {
            m_copied.append(entry);
            continue;
        }
        Row row;
        row.sourceEntry = entry;
        row.line = source.entries().at(i).line;
        row.key = key;
        row.source = text;
        row.sourceHash = TranslationRecord::hashOf(row.source);
        row.comment = notes.perEntry.value(i);
        row.targetEntry = inTarget.value(folded, -1);
        row.hasTarget = row.targetEntry >= 0;
        if (row.hasTarget)
            row.target = m_target->text(row.targetEntry);
        judge(row);
        m_rows.append(row);
    }
    for (qsizetype i = 0; m_target && i < m_target->entries().size(); ++i) {
        const QString key = m_target->key(static_cast<int>(i));
        if (!keys.contains(key.toCaseFolded()))
            m_extraKeys.append(key);
    }
}

void TranslationPair::judge(Row &row) const
{
    row.reason.clear();
    if (!row.hasTarget || (row.filled && row.target == row.source)) {
        row.state = State::Untranslated;
        row.markedDone = false;
        row.review = false;
        return;
    }
    const QString reason = suspicion(row.source, row.target);
    if (row.markedDone) {
        row.state = State::Done;
    } else if (!row.from.isEmpty() && row.from != row.sourceHash) {
        row.state = State::Outdated;
        row.reason = say("The source changed since this was translated.");
    } else if (row.review) {
        row.state = State::NeedsReview;
        row.reason = reason.isEmpty() ? say("The translation waits for a review.")
                                      : say("The translation waits for a review: %1").arg(reason);
    } else if (!reason.isEmpty()) {
        row.state = State::Suspicious;
        row.reason = reason;
    } else if (row.target == row.source && !row.target.isEmpty()) {
        row.state = State::Identical;
    } else {
        row.state = State::Done;
    }
}

TranslationPair::Counts TranslationPair::counts() const
{
    Counts counts;
    counts.total = static_cast<int>(m_rows.size());
    counts.extra = static_cast<int>(m_extraKeys.size());
    for (const Row &row : m_rows) {
        if (row.markedDone
            || (row.state != State::Untranslated && (!row.target.isEmpty() || row.source.isEmpty())))
            ++counts.translated;
        if (row.state == State::Outdated || row.state == State::NeedsReview)
            ++counts.toReview;
    }
    return counts;
}

int TranslationPair::rowOf(const QString &key) const
{
    const auto found = std::find_if(m_rows.cbegin(), m_rows.cend(), [&key](const Row &row) {
        return row.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    return found == m_rows.cend() ? -1 : static_cast<int>(found - m_rows.cbegin());
}

bool TranslationPair::setTargetText(int row, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || !m_unsafe.isEmpty())
        return false;
    Row &r = m_rows[row];
    const QString target = LineEndings::toCrLf(text);
    if (r.hasTarget && !r.filled && r.target == target)
        return false;
    r.target = target;
    r.hasTarget = true;
    r.filled = false;
    r.from = r.sourceHash;
    r.oldSource.clear();
    r.edited = r.targetEntry < 0 || target != m_target->text(r.targetEntry);
    r.markedDone = false;
    r.review = false;
    judge(r);
    return true;
}

bool TranslationPair::setMarkedDone(int row, bool done)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).state == State::Untranslated
        || m_rows.at(row).markedDone == done)
        return false;
    Row &r = m_rows[row];
    r.markedDone = done;
    if (done) {   // done with today's source, and reviewed
        r.from = r.sourceHash;
        r.oldSource.clear();
        r.review = false;
    }
    judge(r);
    return true;
}

bool TranslationPair::setReview(int row, bool review)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).state == State::Untranslated
        || m_rows.at(row).review == review)
        return false;
    Row &r = m_rows[row];
    r.review = review;
    if (review)
        r.markedDone = false;
    judge(r);
    return true;
}

bool TranslationPair::setNote(int row, const QString &note)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).note == note)
        return false;
    m_rows[row].note = note;
    return true;
}

TranslationPair::TakenChange TranslationPair::take(int row, const Taken &taken)
{
    TakenChange change;
    if (row < 0 || row >= m_rows.size() || !m_unsafe.isEmpty())
        return change;
    const TranslationRecord::FileEntries before = recordEntries();
    Row &r = m_rows[row];
    if (!taken.text.isEmpty()) {   // an entry left empty keeps its translation and its state
        const bool wasDone = r.markedDone;
        const bool wasOutdated = r.state == State::Outdated;
        const QString wasFrom = r.from, wasOldSource = r.oldSource;
        change.text = setTargetText(row, taken.text);
        const QString madeFrom = LineEndings::toCrLf(taken.madeFrom);
        if (!madeFrom.isEmpty() && madeFrom != r.source) {
            r.from = TranslationRecord::hashOf(madeFrom);
            r.oldSource = madeFrom;
        } else if (wasOutdated && taken.review && !change.text) {   // still waiting for its review
            r.from = wasFrom;
            r.oldSource = wasOldSource;
        }
        r.review = taken.review;
        // A mark the tool does not speak of stays, unless the text is another now.
        r.markedDone = !taken.review && r.from == r.sourceHash && taken.done.value_or(wasDone && !change.text);
    }
    if (taken.note)
        r.note = *taken.note;
    judge(r);
    change.record = recordEntries().value(r.key) != before.value(r.key);
    return change;
}

QStringList TranslationPair::applyRecord(const TranslationRecord::FileEntries &entries)
{
    using TranslationRecord::EntryState;
    QHash<QString, QString> byKey;   // folded -> as the record spells it
    for (auto it = entries.begin(); it != entries.end(); ++it)
        byKey.insert(it.key().toCaseFolded(), it.key());
    QSet<QString> used;
    for (Row &row : m_rows) {
        const QString spelled = byKey.value(row.key.toCaseFolded());
        row.from.clear();
        row.oldSource.clear();
        row.filled = false;
        row.markedDone = false;
        row.review = false;
        if (spelled.isNull()) {
            if (row.hasTarget)   // translated before the record knew it: from today's source
                row.from = row.sourceHash;
            judge(row);
            continue;
        }
        used.insert(spelled);
        const TranslationRecord::Entry &entry = entries[spelled];
        row.note = entry.note;
        if (entry.state == EntryState::Untranslated) {
            // A text other than the source's was put in by hand: translated from today's source.
            row.filled = row.hasTarget && row.target == row.source;
            if (row.hasTarget && !row.filled)
                row.from = row.sourceHash;
        } else if (row.hasTarget) {
            row.from = entry.from;
            row.markedDone = entry.state == EntryState::Done && entry.from == row.sourceHash;
            row.review = entry.state == EntryState::Review;
            if (entry.from != row.sourceHash)
                row.oldSource = entry.source;
        }
        judge(row);
    }
    m_unusedRecord.clear();
    QStringList unused;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (!used.contains(it.key())) {
            m_unusedRecord.insert(it.key(), it.value());
            unused.append(it.key());
        }
    }
    return unused;
}

TranslationRecord::FileEntries TranslationPair::recordEntries() const
{
    using TranslationRecord::EntryState;
    TranslationRecord::FileEntries entries = m_unusedRecord;
    for (const Row &row : m_rows) {
        TranslationRecord::Entry entry;
        entry.note = row.note;
        if (row.state == State::Untranslated) {
            entry.state = EntryState::Untranslated;
        } else {
            entry.state = row.markedDone ? EntryState::Done : row.review ? EntryState::Review : EntryState::Translated;
            entry.from = row.from.isEmpty() ? row.sourceHash : row.from;
            entry.source = entry.from == row.sourceHash ? row.source : row.oldSource;
        }
        entries.insert(row.key, entry);
    }
    return entries;
}

QList<TranslationRecord::Segment> TranslationPair::sourceChange(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).oldSource.isEmpty())
        return {};
    return TranslationRecord::difference(m_rows.at(row).oldSource, m_rows.at(row).source);
}

int TranslationPair::nextRow(int fromRow, bool forward, const std::function<bool(const Row &)> &wanted) const
{
    const int count = static_cast<int>(m_rows.size());
    if (fromRow < 0 || fromRow >= count)
        fromRow = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int row = ((fromRow + (forward ? step : -step)) % count + count) % count;
        if (wanted(m_rows.at(row)))
            return row;
    }
    return -1;
}

QString TranslationPair::stateName(State state)
{
    switch (state) {
    case State::Untranslated:
        return say("Untranslated");
    case State::Identical:
        return say("Identical");
    case State::Suspicious:
        return say("Suspicious");
    case State::Done:
        return say("Done");
    case State::Outdated:
        return say("Outdated");
    case State::NeedsReview:
        return say("Needs review");
    }
    return {};
}

QString TranslationPair::progressText(const Counts &counts)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QString text = (counts.total == 1 ? say("%1 of %2 entry translated") : say("%1 of %2 entries translated"))
                       .arg(english.toString(counts.translated), english.toString(counts.total));
    if (counts.toReview > 0)
        text += say(", %1 to review").arg(english.toString(counts.toReview));
    return text;
}
