#pragma once

#include "core/kinds/strreader.h"
#include "core/mission/translation/translationrecord.h"
#include "core/save/textcheck.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSortFilterProxyModel>
#include <QString>

#include <functional>
#include <optional>
#include <variant>

// A translation: a file of the source language beside the same file in the
// language it is translated into, entry by entry.
//
// - The source is only read; nothing here writes it. The translation (the
//   target) may not exist yet: then every entry is untranslated, and saving
//   makes the file.
// - Entries pair by key without regard to case. There is one row per source
//   entry, in the source's order. Target entries whose keys the source lacks
//   are kept as they stand and counted as extra. A key that stands twice in
//   the source is reported, and its rows cannot be edited. When the target
//   holds a key twice, the first is the translation.
// - Texts are as the player reads them, line breaks CR LF.
// - A row is Untranslated when the target has no entry of its key (or, by
//   the translation record, holds the source's text as a stand-in); Outdated
//   when the record says it was translated from another source text than
//   today's (a translation the record does not know is taken as made from
//   today's source); Identical
//   when the translation is the source's text (not empty); Suspicious when
//   the translation is empty but the source is not, or it has another number
//   of line breaks (raw or \n, as the player sees them) or of placeholders
//   (%d, %s, %i, %f, with flags, width and precision: %-6s, %5.2f; %% is a
//   percent sign, and "50% done" has none); otherwise Done. The translator
//   may mark an Identical or Suspicious row done; typing into it again
//   takes the mark away.
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
//   untranslated (a source text the target's code page cannot write is left
//   out instead). An existing target lacking entries gets them put in as a
//   typed one would be, with the source's text.
// - A target read as UTF-8, one that reads as another kind of file than the
//   source, one whose name does not end in .str and one that could not be
//   read are not safe to write: edits are refused until the caller confirms
//   with acceptTarget() (an unreadable one is then replaced by a new file).
class TranslationPair
{
public:
    enum class State { Untranslated, Identical, Suspicious, Done, Outdated };

    struct Row {
        QString key;             // as the source spells it
        QString source;
        QString target;          // empty when untranslated
        bool hasTarget = false;  // the target has the entry, or a text was typed
        State state = State::Untranslated;   // Done when marked done
        QString reason;          // why a row is Suspicious, for the translator
        bool markedDone = false;
        bool readOnly = false;   // its key stands more than once in the source
        int sourceEntry = 0;
        int targetEntry = -1;    // in the target as read; -1 when it has none
        bool edited = false;     // a text typed that the target does not hold yet
        bool filled = false;     // the target holds the source's text as a stand-in: untranslated
        QString sourceHash;      // TranslationRecord::hashOf(source)
        QString from;            // the hash of the source text it was translated from; empty if none
        QString oldSource;       // that text when the record keeps it and it is not today's
        QString note;            // the translator's own
        QString comment;         // the source's "//" lines directly above the entry
    };

    struct Repeat {
        QString key;             // as first spelled
        QList<int> lines;        // every line of the source it starts on
    };

    struct Counts {
        int translated = 0;      // rows marked done or with a translation (not empty unless the source is)
        int total = 0;
        int extra = 0;           // target entries of keys the source lacks
        Counts &operator+=(const Counts &other);
    };

    struct Refusal {
        QString message;                            // for the translator; nothing was written
        std::optional<TextCheck::Problem> problem;  // a character that cannot be written, and where
        int row = -1;            // the row it was typed into; -1 for the file's own lines
    };

    // The target as it was found: no file, the file read, or why it could not be read.
    using Target = std::variant<std::monostate, StrReader::Result, Error>;

    TranslationPair() = default;
    TranslationPair(StrReader::Result source, Target target, int targetCodePage);

    // Reads both files. An empty target file is one not yet translated. The
    // same file on both sides, or a source that cannot be read, is refused.
    static std::variant<TranslationPair, Error> open(const QString &sourcePath, int sourceCodePage,
                                                     const QString &targetPath, int targetCodePage);

    const QList<Row> &rows() const { return m_rows; }
    const Row &row(int row) const { return m_rows.at(row); }
    // The row of `key`, without regard to case; -1 for none.
    int rowOf(const QString &key) const;
    const StrReader::Result &source() const { return m_source; }
    int targetCodePage() const { return m_codePage; }
    QString targetPath() const { return m_targetPath; }
    bool targetExists() const { return m_target.has_value(); }

    QList<Repeat> repeatedKeys() const { return m_repeats; }
    QStringList extraKeys() const { return m_extraKeys; }
    Counts counts() const;

    // Why the target is not safe to write; empty when it is.
    QString unsafeReason() const { return m_unsafe; }
    bool isSafeToWrite() const { return m_unsafe.isEmpty(); }
    void acceptTarget() { m_unsafe.clear(); }

    // The row's translation becomes `text` (LF or CR LF). False, changing
    // nothing, for a read-only row, a target not safe to write, or no change.
    bool setTargetText(int row, const QString &text);
    // False for an untranslated row.
    bool setMarkedDone(int row, bool done);

    // The translator's note of the row; false when it is the same.
    bool setNote(int row, const QString &note);

    // What the record of the target language says of this file's entries
    // (see TranslationRecord). Returns the keys of `entries` the source
    // lacks: they are kept, and recordEntries() gives them back.
    QStringList applyRecord(const TranslationRecord::FileEntries &entries);
    // What the record should say of this file as it now stands.
    TranslationRecord::FileEntries recordEntries() const;
    // The comment lines at the opening of the source, for the translator.
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
    // The target's bytes in its code page, or why they cannot be written.
    std::variant<QByteArray, Refusal> write() const;
    // Writes the target file opened (whole or not at all), never the
    // source's; then it is the target as read.
    std::optional<Refusal> save();
    // The bytes just written become the target as read (marks are kept).
    void setWritten(const QByteArray &bytes);

    static QString stateName(State state);                  // "Untranslated", ...
    // "1,204 of 1,580 entries translated", numbers grouped as in English.
    static QString progressText(const Counts &counts);

private:
    void pair();
    void judge(Row &row) const;

    StrReader::Result m_source;
    std::optional<StrDocument> m_target;
    int m_codePage = 1252;
    QString m_sourcePath;
    QString m_targetPath;
    QString m_unsafe;
    QList<Row> m_rows;
    QList<Repeat> m_repeats;
    QStringList m_extraKeys;
    QString m_openingNote;
    TranslationRecord::FileEntries m_unusedRecord;   // entries of keys the source lacks
};

// The rows of one pair: Key, Source, Translation (editable), State. Texts
// are shown with LF line breaks.
class TranslationTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { KeyColumn, SourceColumn, TranslationColumn, StateColumn, ColumnCount };
    enum Role { StateRole = Qt::UserRole + 1 };   // the row's TranslationPair::State, as an int

    explicit TranslationTableModel(QObject *parent = nullptr);

    void setPair(TranslationPair pair);
    const TranslationPair &pair() const { return m_pair; }
    // The done mark and the translator's note of the row: kept in the
    // record, no change of the file (markChanged(), not changed()).
    bool setMarkedDone(int row, bool done);
    bool setNote(int row, const QString &note);
    void acceptTarget();
    std::optional<TranslationPair::Refusal> save();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // A translation typed: the target file's text changed.
    void changed();
    // A done mark or a note changed: the record's, not the file's.
    void markChanged();

private:
    TranslationPair m_pair;
};

// The rows of the states chosen (all when none is).
class TranslationFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setStates(const QList<TranslationPair::State> &states);
    // Whether a row of any file is among the states chosen.
    bool accepts(const TranslationPair::Row &row) const { return m_states.isEmpty() || m_states.contains(row.state); }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    QList<TranslationPair::State> m_states;
};
