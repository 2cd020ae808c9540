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

// The units of the file; none when there is no file. `problem` says why a
// file there could not be used.
QList<Unit> load(const QString &path, QString *problem = nullptr);
QList<Unit> parse(const QByteArray &json, QString *problem = nullptr);
QByteArray toJson(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage);
// Written whole or not at all; what went wrong, if anything.
std::optional<Error> save(const QString &path, const QList<Unit> &units, const QString &sourceLanguage,
                            const QString &targetLanguage);

// `kept` with the mission's translated units laid over it: an entry of the
// same mission, file and key is replaced, the others are kept. Sorted.
QList<Unit> merged(QList<Unit> kept, const QString &mission, const QList<TranslationMemory::Unit> &translated);

// As units of a TranslationMemory (the file named "<mission>/<file>"), for suggestions.
QList<TranslationMemory::Unit> memoryUnits(const QList<Unit> &units);

// A language's tag for TMX (BCP 47): "polish" -> "pl"; a name Qt does not
// know stays itself as a private tag ("x-elvish").
QString languageTag(const QString &language);

// TMX 1.4: a <tu> per unit (tuid "<mission>/<file>/<key>") with a <tuv> of
// the source and one of the target language, texts with LF line breaks.
QByteArray toTmx(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage);

} // namespace PersonalMemory
