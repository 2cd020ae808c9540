#pragma once

#include "core/mission/translation/translation.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// A target language's pairs handed to translators who work in other tools,
// and their work taken back: XLIFF 1.2 and gettext PO, texts with LF line
// breaks (CR LF again when taken back). Every state, note and reference goes
// out, and comes back:
//
// XLIFF (UTF-8): one <file original="path"> per source file (its path
// relative to the mission), one <trans-unit id="key" xml:space="preserve">
// per entry with its <source>, a <target state="..."> and approved="yes"
// for an entry translated and not waiting for anything (needs-translation:
// untranslated, empty; needs-review-translation and approved="no": Needs
// review and Outdated, the source it was made from as an <alt-trans
// alttranstype="previous-version">; final: marked done; translated: any
// other), where it stands as a <context-group purpose="location">, the
// file's and the entry's comments as <note from="developer"> and the
// translator's note as <note from="translator">.
// PO (UTF-8): a full header, then per entry the translator's note as "# "
// lines, the file's and the entry's comments as "#." lines, "#: path:line",
// "#, fuzzy" for Needs review and Outdated, "#| msgid" with the source an
// Outdated entry was made from, msgctxt "path|key", msgid the source,
// msgstr the translation (empty when untranslated).
//
// Taking back is all or nothing: every entry whose translation, review,
// done mark, note or source differs from the mission's is a change, unless
// the file is malformed, in a character set the program cannot read, names a
// file or key the mission lacks, or a text holds a character the target's
// code page cannot write: then there are no changes, and one problem per
// cause.
// - The source it was made from: a msgid or <source> other than today's
//   source makes the entry Outdated, that text its old source; so does the
//   "#| msgid" or <alt-trans> the file was given, while the entry still
//   waits for a review.
// - Needs review: PO's fuzzy flag; XLIFF's approved="no", or a state new or
//   needs-... (approved="yes" outweighs the state).
// - Done: XLIFF's final or signed-off state, or approved="yes" without a
//   state, marks it; translated takes the mark off. PO says nothing of it.
// - The translator's notes: PO's "# " comments, XLIFF's notes of anyone but
//   the developer; an entry without one keeps its note.
// - PO in UTF-8 or in one of the program's code pages (the header's
//   charset: CP1250, windows-1250); another is refused by its name.
// - XLIFF's inline elements (<g>, <ph>, <bpt>, <ept>, <it>, <mrk>, <sub>)
//   give their text; <x/>, <bx/>, <ex/> and any other element are refused
//   by name and line.
namespace Exchange {

struct Unit {
    QString file;     // the source file, relative to the mission, '/' separators
    QString key;      // as the source spells it
    QString source;   // CR LF
    QString target;   // CR LF; empty when untranslated
    TranslationPair::State state = TranslationPair::State::Untranslated;
    QString comment;  // the source's comments for the entry
    QString note;     // the translator's
    bool markedDone = false;   // final rather than translated
    QString oldSource;         // Outdated: the source it was made from, when the record keeps it
    QString fileComment;       // the source file's own comments
    int line = 0;              // of the source entry
};

// The units of one pair, as the exchange formats see them.
QList<Unit> unitsOf(const TranslationPair &pair, const QString &file);

// What the PO header says besides the language.
struct PoHeader {
    QString project;            // the mission's name
    QString languageName;       // "polish", for the team
    QString languageTag;        // "pl"
    QDateTime revised;          // when the file was made
    QString generator;          // "Quillwright 1.2"
};

QByteArray toXliff(const QList<Unit> &units, const QString &sourceLanguage, const QString &targetLanguage);
QByteArray toPo(const QList<Unit> &units, const PoHeader &header);

struct Change {
    QString file;
    QString key;
    QString text;          // CR LF; empty when the file left it untranslated
    QString madeFrom;      // the source it was made from when other than today's (CR LF)
    bool review = false;
    std::optional<bool> done;       // nothing: the file does not say
    std::optional<QString> note;    // nothing: the file has none
    int line = 0;                   // where the file taken back gives it
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
