#pragma once

#include "core/mission/translation/translation.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A target language's pairs handed to translators who work in other tools,
// and their work taken back: XLIFF 1.2 and gettext PO, both UTF-8, texts
// with LF line breaks (CR LF again when taken back).
//
// XLIFF: one <file original="path"> per source file (its path relative to
// the mission), one <trans-unit id="key" xml:space="preserve"> per entry
// with its <source>, a <target state="..."> (new: untranslated, empty;
// needs-review-translation: Outdated or Suspicious; final: marked done;
// translated: any other),
// the comment above the entry as <note from="developer"> and the
// translator's note as <note from="translator">.
// PO: msgctxt "path|key", msgid the source, msgstr the translation (empty
// when untranslated), the comment as "#." lines, the translator's note as
// "# " lines, "#, fuzzy" for an Outdated entry.
//
// Taking back is all or nothing: every entry whose translation differs from
// the current one (an empty one changes nothing), or whose XLIFF state or PO
// fuzzy flag marks it done where it is not, or no longer done, is a change,
// unless the file is malformed, or names a file or key the mission lacks, or
// a text holds a character the target's code page cannot write: then there
// are no changes, and one problem per cause.
namespace Exchange {

struct Unit {
    QString file;     // the source file, relative to the mission, '/' separators
    QString key;      // as the source spells it
    QString source;   // CR LF
    QString target;   // CR LF; empty when untranslated
    TranslationPair::State state = TranslationPair::State::Untranslated;
    QString comment;  // the source's comment above the entry
    QString note;     // the translator's
    bool markedDone = false;   // final rather than translated
};

// The units of one pair, as the exchange formats see them.
QList<Unit> unitsOf(const TranslationPair &pair, const QString &file);

QByteArray toXliff(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage);
QByteArray toPo(const QList<Unit> &units, const QString &targetLanguage);

struct Change {
    QString file;
    QString key;
    QString text;   // CR LF; the current one when only the mark changes
    // Marked done or not by the translator's tool (XLIFF's "final" or
    // "signed-off" against any other state; PO's fuzzy flag taken off an
    // outdated entry, or put on one marked done); nothing when the file does
    // not say.
    std::optional<bool> done;
    bool operator==(const Change &) const = default;
};
struct Problem {
    int line = 0;   // in the file taken back; 0 when not known
    QString file;
    QString key;
    QString message;
};
struct Import {
    QList<Change> changes;    // empty when there are problems
    QList<Problem> problems;
};

Import fromXliff(const QByteArray &bytes, const QList<Unit> &units, int codePage);
Import fromPo(const QByteArray &bytes, const QList<Unit> &units, int codePage);

} // namespace Exchange
