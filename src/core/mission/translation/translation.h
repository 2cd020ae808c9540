#pragma once

#include "core/kinds/strreader.h"
#include "core/mission/translation/translationrecord.h"
#include "core/save/textcheck.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

// A translation: a file of the source language beside the same file in the
// language it is translated into, entry by entry.
//
// - Both sides are documents the caller holds (the mission workspace's);
//   nothing here reads or writes a file. The source is only read. The
//   translation (the target) may not exist yet: then every entry is
//   untranslated, and its document is made from the source's.
// - Entries pair by key without regard to case, as the game reads them.
//   There is one row per source entry the player reads as prose
//   (Kinds::holdsProse), in the source's order; a flag, a font, a picture's
//   path or a decal's geometry is no row: it is copied as it stands. A key
//   the source holds twice (in any case) is one row, the first entry, which
//   is the one the game reads. Target entries whose keys the source lacks
//   are kept as they stand and counted as extra. When the target holds a
//   key twice, the first is the translation.
// - Texts are as the player reads them, line breaks CR LF.
// - A row is Untranslated when the target has no entry of its key (or, by
//   the translation record, holds the source's text as a stand-in); Outdated
//   when the record says it was translated from another source text than
//   today's (a translation the record does not know is taken as made from
//   today's source); Needs review when the translator's tool said so or a
//   suggestion not quite the same was taken, until it is typed anew or
//   marked done; Identical when the translation is the source's text (not
//   empty); Suspicious when the translation is empty but the source is not,
//   or it has another number of line breaks (raw or \n, as the player sees
//   them) or of placeholders (%d, %s, %i, %f, with flags, width and
//   precision: %-6s, %5.2f; %% is a percent sign, and "50% done" has none);
//   otherwise Done. The translator may mark any translated row done; typing
//   into it again takes the mark away.
// - A new text goes into the target's existing entry; an entry the target
//   lacks is put in after the target's entry of the nearest source key
//   before it, else before that of the nearest one after it, else at the
//   end, with the source's key spelling and the target's separator (the
//   source's when the target has no entries). Line breaks are written as the
//   target writes them, as the source does when its texts have none.
// - A target is written whole: every entry of the source, in the source's
//   order. A new target file is the source with the translations laid over
//   it: every comment, blank and other line of the source as it stands, the
//   entries with the source's indentation, key spelling, separator and what
//   follows their closing quote, the source's line ends. An entry left
//   untranslated carries the source's text, as the game shows the original
//   where a translation lacks one, and recordEntries() says it is
//   untranslated. An existing target lacking entries gets them put in as a
//   typed one would be, with the source's text. Nothing is ever left out: a
//   source text the target's code page cannot write refuses the file, by
//   the entry's key and the characters it lacks.
// - A target read as UTF-8, one that reads as another kind of file than the
//   source, and one that could not be read are not safe to write (nor one the
//   caller says is not, refuseUntilAccepted()): edits are refused until the
//   caller confirms with acceptTarget() (an unreadable one is then replaced
//   by a new file).
class TranslationPair
{
public:
    enum class State { Untranslated, Identical, Suspicious, Done, Outdated, NeedsReview };

    struct Row {
        QString key;             // as the source spells it
        QString source;
        QString target;          // empty when untranslated
        bool hasTarget = false;  // the target has the entry, or a text was typed
        State state = State::Untranslated;   // Done when marked done
        QString reason;          // why a row is Suspicious, Outdated or to be reviewed, for the translator
        bool markedDone = false;
        bool review = false;     // the translation waits for a review (Needs review unless Outdated)
        int sourceEntry = 0;
        int line = 1;            // of the source entry
        int targetEntry = -1;    // in the target as read; -1 when it has none
        bool edited = false;     // a text typed that the target does not hold yet
        bool filled = false;     // the target holds the source's text as a stand-in: untranslated
        QString sourceHash;      // TranslationRecord::hashOf(source)
        QString from;            // the hash of the source text it was translated from; empty if none
        QString oldSource;       // that text when the record keeps it and it is not today's
        QString note;            // the translator's own
        QString comment;         // the source's comments for this entry (above it and after it)
    };

    struct Counts {
        int translated = 0;      // rows marked done or with a translation (not empty unless the source is)
        int total = 0;
        int extra = 0;           // target entries of keys the source lacks
        int toReview = 0;        // Outdated and Needs review
        // What is left to do: untranslated, outdated or to be reviewed.
        int left() const { return total - translated + toReview; }
        Counts &operator+=(const Counts &other);
    };

    struct Refusal {
        QString message;                            // for the translator; nothing was written
        std::optional<TextCheck::Problem> problem;  // a character that cannot be written, and where
        int row = -1;            // the row it is about; -1 for the file's own lines
    };

    // The target as it was found: no file, the file read, or why it could not be read.
    using Target = std::variant<std::monostate, StrReader::Result, Error>;

    TranslationPair() = default;
    TranslationPair(StrReader::Result source, Target target, int targetCodePage);

    const QList<Row> &rows() const { return m_rows; }
    const Row &row(int row) const { return m_rows.at(row); }
    // The row of `key`, without regard to case; -1 for none.
    int rowOf(const QString &key) const;
    const StrReader::Result &source() const { return m_source; }
    int targetCodePage() const { return m_codePage; }
    bool targetExists() const { return m_target.has_value(); }

    QStringList extraKeys() const { return m_extraKeys; }
    Counts counts() const;

    // Why the target is not safe to write; empty when it is.
    QString unsafeReason() const { return m_unsafe; }
    bool isSafeToWrite() const { return m_unsafe.isEmpty(); }
    void acceptTarget() { m_unsafe.clear(); }
    void refuseUntilAccepted(const QString &reason);

    // The row's translation becomes `text` (LF or CR LF), typed by the
    // translator: made from today's source, not marked done, reviewed. False,
    // changing nothing, for a target not safe to write, or no change.
    bool setTargetText(int row, const QString &text);
    // False for an untranslated row, or no change. Done is reviewed.
    bool setMarkedDone(int row, bool done);
    // The translation waits for a review, or no longer; false for an
    // untranslated row, or no change.
    bool setReview(int row, bool review);
    // The translator's note of the row; false when it is the same.
    bool setNote(int row, const QString &note);

    // What a translator's tool says of a row: its translation, made from
    // `madeFrom` (today's source when empty: when it differs the row is
    // Outdated, that text its old source), waiting for a review or not,
    // marked done or not (nothing: the mark stays), and their note (nothing:
    // the note stays). Whether the text changed, and whether anything else
    // the record keeps did.
    struct Taken {
        QString text;
        QString madeFrom;
        bool review = false;
        std::optional<bool> done;
        std::optional<QString> note;
    };
    struct TakenChange {
        bool text = false;
        bool record = false;
    };
    TakenChange take(int row, const Taken &taken);

    // What the record of the target language says of this file's entries
    // (see TranslationRecord). Returns the keys of `entries` the source
    // lacks: they are kept, and recordEntries() gives them back.
    QStringList applyRecord(const TranslationRecord::FileEntries &entries);
    // What the record should say of this file as it now stands.
    TranslationRecord::FileEntries recordEntries() const;
    // The comments of the source for every entry: those at its opening and
    // any other standing on their own, for the translator.
    QString openingNote() const { return m_openingNote; }
    // The old source text beside today's, word by word; empty when the
    // record does not keep the old one.
    QList<TranslationRecord::Segment> sourceChange(int row) const;

    // The nearest row after `fromRow` (before it, backwards) that `wanted`
    // takes, round past the end; `fromRow` itself last; -1 when none.
    int nextRow(int fromRow, bool forward, const std::function<bool(const Row &)> &wanted) const;

    // The target with the translations typed laid over it: the target as
    // read, or the new file.
    StrDocument targetDocument() const;
    // The target's bytes in its code page, or why they cannot be written:
    // everything is checked, the source's texts standing in included.
    std::variant<QByteArray, Refusal> write() const;

    static QString stateName(State state);                  // "Untranslated", ...
    // "1,204 of 1,580 entries translated", numbers grouped as in English;
    // ", 12 to review" after it when entries are Outdated or to be reviewed.
    static QString progressText(const Counts &counts);

private:
    void pair();
    void judge(Row &row) const;
    std::optional<Refusal> standInRefusal() const;

    StrReader::Result m_source;
    std::optional<StrDocument> m_target;
    int m_codePage = 1252;
    QString m_unsafe;
    QList<Row> m_rows;
    QList<int> m_copied;          // source entries that are no prose: copied as they stand
    QStringList m_extraKeys;
    QString m_openingNote;
    TranslationRecord::FileEntries m_unusedRecord;   // entries of keys the source lacks
};
