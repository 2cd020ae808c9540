#pragma once

#include "core/document/error.h"

#include "core/mission/translation/translationrecord.h"
#include "core/mission/translation/translation.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// Suggestions for a source text from the translations a mission already
// has: the same source text translated elsewhere (100 %), and similar ones,
// scored by a word-level edit distance (100 % less the share of words to
// change), with the difference between the two source texts marked. Built
// once from the mission's translated pairs; words are indexed, so only
// source texts sharing a word with the one asked for are compared.
class TranslationMemory
{
public:
    struct Unit {
        QString file;     // the source file, relative to the mission
        QString key;
        QString source;   // CR LF, as read
        QString target;
    };
    struct Suggestion {
        Unit unit;
        int percent = 0;   // 100: the same source text
        QList<TranslationRecord::Segment> difference;   // from the unit's source to the one asked for
    };

    TranslationMemory() = default;
    // Units with an empty source or target are left out.
    explicit TranslationMemory(const QList<Unit> &units);

    // The best suggestions for `source`, at least `minimum` percent, best
    // first (then in the order the units were given), at most `limit`; the
    // entry `file`/`key` itself is not suggested.
    QList<Suggestion> suggest(const QString &source, const QString &file = {}, const QString &key = {},
                              int minimum = 60, int limit = 5) const;

    // The rows of `pair` whose translation is confirmed, as units of `file`:
    // Done (typed, reviewed or marked), made from today's source, and not
    // the source's own text. What a memory learns.
    static QList<Unit> confirmedUnits(const TranslationPair &pair, const QString &file);

    static int percent(const QStringList &from, const QStringList &to);   // words, as TranslationRecord::words
    qsizetype size() const { return m_units.size(); }

private:
    static QStringList indexWords(const QString &text);

    QList<Unit> m_units;
    QList<QStringList> m_words;           // per unit, compared without case
    QHash<QString, QList<int>> m_index;   // word -> units holding it, ascending
};

// The term list, which the check finds beside the memory.
#include "core/mission/translation/termlist.h"
