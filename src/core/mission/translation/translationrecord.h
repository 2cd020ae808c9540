#pragma once

#include "core/document/error.h"
#include "core/document/strdocument.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// What the translator of one target language has done, entry by entry, kept
// beside the mission in quillwright-translation-<target>.json (the format is
// in docs/translation-record.md). The .str files hold only the texts; this
// says what each translation was made from, whether it is done, and the
// translator's own note, so that a source text changed later shows its
// translations as Outdated.
namespace TranslationRecord {

enum class EntryState { Untranslated, Translated, Review, Done };

struct Entry {
    EntryState state = EntryState::Translated;
    QString from;     // hashOf() the source text it was translated from; empty when untranslated
    QString source;   // that source text (CR LF), to show beside today's when it changed
    QString note;     // the translator's own note
    bool operator==(const Entry &) const = default;
};

// Per source file (its path relative to the mission, '/' separators), per key
// as the source spells it.
using FileEntries = QMap<QString, Entry>;

struct Record {
    QString mission;   // the mission folder's name
    QString target;    // the target language, as the mission's folders spell it
    QMap<QString, FileEntries> files;
    bool operator==(const Record &) const = default;
};

struct Loaded {
    Record record;
    QStringList unused;   // what could not be used, one line each, for the translator
    // Where a record of which something could not be used was copied, as it
    // stood, so that nothing the translator recorded is lost when the record
    // is written again; empty when nothing had to be.
    QString setAside;
    // False when something could not be used and no copy of it could be
    // made: then the record must not be written over.
    bool rewritable = true;
};

// The first 16 hex digits of the SHA-1 of the text's UTF-8 (CR LF as read).
QString hashOf(const QString &text);
// quillwright-translation-<target>.json, the target in lower case.
QString fileName(const QString &target);

// Reads what it can (SafeFile::read, at most SafeFile::RecordCap bytes): a
// file that cannot be read or parsed, an entry of another shape, or one of
// another mission or language is reported in `unused` and leaves the rest as
// loaded. A record of which anything could not be used is first copied
// beside itself as it stands (setAsideName()), and the copy named in
// `unused`. No file is an empty record.
Loaded load(const QString &path, const QString &mission, const QString &target);
// quillwright-translation-polish.json -> quillwright-translation-polish.unreadable.json,
// then .unreadable-2.json and so on, the first name no file has.
QString setAsideName(const QString &path);
Loaded parse(const QByteArray &json, const QString &mission, const QString &target);
// Pretty JSON with sorted keys: one field a line, stable across saves.
QByteArray toJson(const Record &record);
// Writes the whole file or nothing, never through a link that leads out of
// the mission's folder `root` (the folder the record stands in when empty);
// the error for the translator, if any.
std::optional<Error> save(const QString &path, const Record &record, const QString &root = {});
// The keys of `now` whose done mark, review or translator's note differs
// from `before` (what a translator did to the record rather than to the file).
QStringList marksChanged(const FileEntries &before, const FileEntries &now);

// The notes a file holds for its translators, without the slashes, one line
// each: an entry's are the comment lines ("//") standing directly above it
// (no blank line between) and a comment after its closing quote; the file's
// are every other comment line (those at its opening up to a blank line,
// and any block standing on its own).
struct Notes {
    QString opening;
    QStringList perEntry;   // one per entry of the document, empty when none
};
Notes notesOf(const StrDocument &document);

// A word-level difference of two texts: runs of words (with the spaces
// after them) that both have, that only the old has, or only the new.
struct Segment {
    enum Kind { Same, Removed, Added };
    Kind kind = Same;
    QString text;
    bool operator==(const Segment &) const = default;
};
QStringList words(const QString &text);   // each word with the spaces after it
QList<Segment> difference(const QString &oldText, const QString &newText);

} // namespace TranslationRecord
