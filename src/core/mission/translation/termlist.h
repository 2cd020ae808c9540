#pragma once

#include "core/document/error.h"
#include "core/document/strdocument.h"
#include "core/mission/translation/memory.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// A term list of a mission and target language: source terms and the fixed
// rendering each must have in the translation. Kept beside the mission in
// quillwright-terms-<target>.json: {"terms": {"term": "rendering", ...}}.
//
// A term is found in a source as a whole word or words, without regard to
// case. A translation holds its rendering when it holds it as it stands
// (without regard to case), or in an inflected form: each word of the
// rendering as a word of the translation, in order, that shares a stem with
// it (the target language's Hunspell dictionary's stems, when one is given),
// or else that starts as it does (samePrefix()).
namespace TermList {

using Terms = QMap<QString, QString>;

// The stems of a word in the target language (Hunspell's stem()); none
// when it knows none.
using Stemmer = std::function<QStringList(const QString &word)>;

struct Finding {
    QString file;
    QString key;
    QString term;       // as the list spells it
    QString expected;   // the rendering the translation lacks
    qsizetype at = 0;   // where the term starts in the source text (as the player reads it)
    int unit = 0;       // the unit of check()'s list it was found in
};

QString fileName(const QString &target);
// The terms of `json`; `problem` says why the file could not be used.
Terms parse(const QByteArray &json, QString *problem = nullptr);
QByteArray toJson(const Terms &terms);
// The list at `path` (none there: an empty list, no problem), read with
// SafeFile::read (at most SafeFile::TermListCap bytes); and written whole or
// not at all, never through a link out of the mission's folder `root` (the
// list's own folder when empty), what went wrong if anything.
Terms load(const QString &path, QString *problem = nullptr);
std::optional<Error> save(const QString &path, const Terms &terms, const QString &root = {});

// The rule without a dictionary: a word of the translation is a form of a
// word of the rendering when both start with the same letters, all but the
// last of the rendering's word and at least four (a word of fewer than four
// whole), without regard to case. "fontannie" is a form of "fontanna",
// "bramą" of "brama"; tools/benchtranslation.cpp measures it against the
// stems of the target language's dictionary: on a Polish text it finds two
// forms in three and takes one other word in six that starts alike (all but
// the last two letters found more forms, but took every third other word; a
// word taken wrongly hides a missing term, a form missed only warns).
bool samePrefix(const QString &renderingWord, const QString &word);
// Whether `translation` holds `rendering`, as it stands or inflected.
bool holdsRendering(const QString &translation, const QString &rendering, const Stemmer &stems = {});

// Each translated unit whose source holds a term and whose translation
// lacks its rendering.
QList<Finding> check(const Terms &terms, const QList<TranslationMemory::Unit> &units, const Stemmer &stems = {});
// The terms `source` holds, matched as check() matches them.
Terms held(const Terms &terms, const QString &source);

// Where `term` first stands in the text of `entry` of `document`, as an
// editor counts: its line in the file and its column from 1, in characters.
// Nothing when the entry's text does not hold it.
struct Place {
    int line = 0;
    int column = 0;
};
std::optional<Place> placeOf(const StrDocument &document, int entry, const QString &term);

} // namespace TermList
