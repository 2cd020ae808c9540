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

    // The rows of `pair` that are translated (not Untranslated), as units of `file`.
    static QList<Unit> translatedUnits(const TranslationPair &pair, const QString &file);

    static int percent(const QStringList &from, const QStringList &to);   // words, as TranslationRecord::words
    qsizetype size() const { return m_units.size(); }

private:
    static QStringList indexWords(const QString &text);

    QList<Unit> m_units;
    QList<QStringList> m_words;           // per unit, compared without case
    QHash<QString, QList<int>> m_index;   // word -> units holding it, ascending
};

// A term list of a mission and target language: source terms and the fixed
// rendering each must have in the translation. Kept beside the mission in
// quillwright-terms-<target>.json: {"terms": {"term": "rendering", ...}}.
namespace TermList {

using Terms = QMap<QString, QString>;

struct Finding {
    QString file;
    QString key;
    QString term;       // as the list spells it
    QString expected;   // the rendering the translation lacks
};

QString fileName(const QString &target);
// The terms of `json`; `problem` says why the file could not be used.
Terms parse(const QByteArray &json, QString *problem = nullptr);
QByteArray toJson(const Terms &terms);
// The list at `path` (none there: an empty list, no problem); and written
// whole or not at all, what went wrong if anything.
Terms load(const QString &path, QString *problem = nullptr);
std::optional<Error> save(const QString &path, const Terms &terms);

// Each translated unit whose source holds a term (a whole word or words,
// without regard to case) and whose translation lacks its rendering
// (without regard to case).
QList<Finding> check(const Terms &terms, const QList<TranslationMemory::Unit> &units);
// The terms `source` holds, matched as check() matches them.
Terms held(const Terms &terms, const QString &source);

} // namespace TermList
