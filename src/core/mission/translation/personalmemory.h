#pragma once

#include "core/document/error.h"

#include "core/mission/translation/memory.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The translator's own translation memory, across missions: every
// translation saved from one language into another, kept per user (in the
// application's data folder, one file per pair of languages) so that the
// next mission's suggestions can draw on the last one's, and handed to
// other tools as TMX 1.4.
//
// The file is UTF-8 JSON: {"format": 1, "source": "english", "target":
// "polish", "units": [{"file", "key", "mission", "source", "target"}, ...]},
// sorted by mission, file and key; texts with CR LF as the game reads them.
namespace PersonalMemory {

struct Unit {
    QString mission;   // the mission folder's name
    QString file;      // relative to the mission, '/' separators
    QString key;
    QString source;    // CR LF
    QString target;    // CR LF
    bool operator==(const Unit &) const = default;
};

// <application data>/translation-memory/<source>-<target>.json, in lower case;
// in the folder setFolder() names instead, when it names one (empty: none).
void setFolder(const QString &folder);
QString pathOf(const QString &sourceLanguage, const QString &targetLanguage);

// The units of the file (read with SafeFile::read, at most
// SafeFile::MemoryCap bytes); none when there is no file. `problem` says why
// a file there could not be used.
QList<Unit> load(const QString &path, QString *problem = nullptr);
QList<Unit> parse(const QByteArray &json, QString *problem = nullptr);
QByteArray toJson(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage);
// Written whole or not at all; what went wrong, if anything.
std::optional<Error> save(const QString &path, const QList<Unit> &units, const QString &sourceLanguage,
                            const QString &targetLanguage);

// `kept` with the mission's confirmed units laid over it: an entry of the
// same mission, file and key is replaced, the others are kept, except that
// an entry of an entry of `current` (the mission's entries with today's
// sources) whose source is no longer today's is retired: it paired a source
// the mission no longer has. Sorted.
QList<Unit> merged(QList<Unit> kept, const QString &mission, const QList<TranslationMemory::Unit> &confirmed,
                   const QList<TranslationMemory::Unit> &current = {});

// As units of a TranslationMemory (the file named "<mission>/<file>"), for suggestions.
QList<TranslationMemory::Unit> memoryUnits(const QList<Unit> &units);

// A language's tag for TMX (BCP 47): "polish" -> "pl"; a name Qt does not
// know stays itself as a private tag ("x-elvish").
QString languageTag(const QString &language);

// TMX 1.4: a <tu> per unit (tuid "<mission>/<file>/<key>") with a <tuv> of
// the source and one of the target language, texts with LF line breaks.
QByteArray toTmx(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage);

// A TMX file taken in (1.1 to 1.4): each <tu> with a <tuv> of the source
// language and one of the target (xml:lang, or TMX 1.1's lang, compared by
// their first subtag without regard to case) as a unit of the mission
// `origin` (the file's name), keyed by its tuid or its number; a <tu>
// without both, or with an empty text, is skipped. The inline elements of a
// <seg> give their text; a <seg> holding another element, or a file that is
// not well-formed TMX, is a problem, and then no unit is taken.
struct Taken {
    QList<Unit> units;
    QStringList problems;   // "line 12: ..."
    int skipped = 0;        // <tu>s without both languages
};
Taken fromTmx(const QByteArray &bytes, const QString &sourceLanguage, const QString &targetLanguage,
              const QString &origin);

} // namespace PersonalMemory
