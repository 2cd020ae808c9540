#include "core/mission/translation/memory.h"

#include <QSet>

#include <algorithm>

TranslationMemory::TranslationMemory(const QList<Unit> &units)
{
    for (const Unit &unit : units) {
        if (unit.source.isEmpty() || unit.target.isEmpty())
            continue;
        const int id = static_cast<int>(m_units.size());
        m_units.append(unit);
        m_words.append(indexWords(unit.source));
        QSet<QString> seen;
        for (const QString &word : std::as_const(m_words.constLast())) {
            if (!seen.contains(word)) {
                seen.insert(word);
                m_index[word].append(id);
            }
        }
    }
}

QList<TranslationMemory::Unit> TranslationMemory::confirmedUnits(const TranslationPair &pair, const QString &file)
{
    QList<Unit> units;
    for (const TranslationPair::Row &row : pair.rows()) {
        if (row.state == TranslationPair::State::Done && !row.target.isEmpty() && row.target != row.source)
            units.append({file, row.key, row.source, row.target});
    }
    return units;
}

QStringList TranslationMemory::indexWords(const QString &text)
{
    QStringList found = TranslationRecord::words(text);
    for (QString &word : found)
        word = word.trimmed().toCaseFolded();
    found.removeAll(QString());
    return found;
}

int TranslationMemory::percent(const QStringList &from, const QStringList &to)
{
    // Levenshtein over words, two rows.
    const qsizetype n = from.size(), m = to.size();
    if (n == 0 || m == 0)
        return n == m ? 100 : 0;
    QList<qsizetype> previous(m + 1), current(m + 1);
    for (qsizetype j = 0; j <= m; ++j)
        previous[j] = j;
    for (qsizetype i = 1; i <= n; ++i) {
        current[0] = i;
        for (qsizetype j = 1; j <= m; ++j) {
            const qsizetype change = previous[j - 1] + (from.at(i - 1) == to.at(j - 1) ? 0 : 1);
            current[j] = std::min({change, previous[j] + 1, current[j - 1] + 1});
        }
        std::swap(previous, current);
    }
    const qsizetype longer = std::max(n, m);
    return static_cast<int>((100 * (longer - previous[m])) / longer);
}

QList<TranslationMemory::Suggestion> TranslationMemory::suggest(const QString &source, const QString &file,
                                                                const QString &key, int minimum, int limit) const
{
    const QStringList asked = indexWords(source);
    // Units sharing enough distinct words to reach `minimum` at all.
    QHash<int, int> shared;
    QSet<QString> seen;
    for (const QString &word : asked) {
        if (seen.contains(word))
            continue;
        seen.insert(word);
        for (const int id : m_index.value(word))
            ++shared[id];
    }
    QList<std::pair<int, int>> scored;   // percent, unit
    for (auto it = shared.begin(); it != shared.end(); ++it) {
        const QStringList &theirs = m_words.at(it.key());
        const qsizetype longer = std::max(theirs.size(), asked.size());
        if (100 * std::min<qsizetype>(it.value(), longer) < minimum * longer)
            continue;
        const Unit &unit = m_units.at(it.key());
        if (unit.key == key && unit.file == file && !key.isEmpty())
            continue;
        const int score = unit.source == source ? 100 : std::min(99, percent(theirs, asked));
        if (score >= minimum)
            scored.append({score, it.key()});
    }
    std::sort(scored.begin(), scored.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<Suggestion> found;
    for (qsizetype i = 0; i < scored.size() && i < limit; ++i)
        found.append({m_units.at(scored.at(i).second), scored.at(i).first, {}});
    for (Suggestion &suggestion : found)
        suggestion.difference = TranslationRecord::difference(suggestion.unit.source, source);
    return found;
}
