#pragma once

#include "core/document/filecontent.h"
#include "core/document/strsyntax.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

// How an entry line is written: what stands before its key, what goes from
// the key to the opening quote, and the line end after the closing quote. A
// new file writes `key: "text"`; an empty line end is the file's.
struct StrEntryStyle {
    QString indent;
    QString separator = QStringLiteral(": \"");
    QString lineEnd;
};

// A .str file as the program holds it: the bytes it was read from (or the
// template a new file starts from), its entries as the tokenizer found them,
// and the author's changes laid over the bytes. Writing it gives back every
// byte nobody changed; only a changed entry's text is encoded anew.
//
// One document serves every kind of file, new or opened: a new file is the
// document of its template, and the editors change it the same way.
class StrDocument
{
public:
    // Where the bytes came from: a single-byte code page, or UTF-8.
    struct Encoding {
        int codePage = 1252;
        bool utf8 = false;
    };

    // How a line break inside a text is written: as a line end of the file
    // (a raw line break), or as the escape \n.
    enum class TextBreak : quint8 { LineEnd, Escape };

    // The entry of a file: where it stands in the bytes, and its parts
    // (offsets of 32 bits: a file read is far smaller, and a file of short
    // entries takes half the memory).
    struct Entry {
        qint32 start = 0, keyStart = 0, keyEnd = 0, textStart = 0, textEnd = 0, afterEnd = 0, end = 0;
        int line = 1;
        bool closed = true;
    };

    StrDocument() = default;
    // The document of `bytes` (a UTF-8 byte-order mark is kept with them);
    // `otherLine` is shown every item that is not an entry, as it is read.
    StrDocument(QByteArray bytes, Encoding encoding,
                const std::function<void(const StrSyntax::Item &)> &otherLine = {});
    // A template in ASCII, with CR LF line ends.
    static StrDocument fromTemplate(QLatin1String text);

    const QByteArray &bytes() const { return m_bytes; }
    Encoding encoding() const { return m_encoding; }
    const QList<Entry> &entries() const { return m_entries; }
    bool isEmpty() const { return m_bytes.isEmpty() && m_edits.isEmpty(); }

    // The key's bytes, for telling keys apart cheaply (keys are ASCII).
    QLatin1String rawKey(int entry) const
    {
        const Entry &e = m_entries.at(entry);
        return QLatin1String(m_bytes.constData() + e.keyStart, e.keyEnd - e.keyStart);
    }
    // The parts of an entry as they stand in the file, decoded.
    QString key(int entry) const;
    QString separator(int entry) const;
    QString rawText(int entry) const;                // between the quotes, escapes as written
    QString text(int entry) const;                   // as the player reads it, line breaks CR LF
    // The text of an entry as the player reads it, line breaks LF (as a text
    // box shows it), with where the file's lines start in it: for find.
    struct ReadText {
        QString text;
        int firstLine = 1;              // the file's line the text starts on
        QList<qsizetype> lineStarts;    // where each later line of the file starts in `text`
        // The file's line that `position` of `text` stands on.
        int lineOf(qsizetype position) const;
    };
    ReadText readText(int entry) const;
    // Where `position` of the entry's text as readText() gives it stands in
    // the file: its column from 1, in characters, on its line (ReadText::lineOf).
    int columnOfText(int entry, qsizetype position) const;
    QString after(int entry) const;                  // what follows the closing quote on its line
    // The entry from its key to its closing quote, as edit mode shows it (CR LF).
    QString entryLine(int entry) const;

    // The first entry whose key is `key` (without regard to case); -1 if none.
    int find(QLatin1String key) const;

    // Decoded bytes (line breaks as they stand).
    QString decoded(qsizetype from, qsizetype to) const;
    // Where byte `offset` of `entry` stands, as an editor counts: its line
    // (from the entry's line) and its column from 1, in characters.
    int lineOf(int entry, qsizetype offset) const;
    int columnOf(qsizetype offset) const;
    // The line end of the entry's last line ("" when the file ends there without one).
    QString lineEnd(int entry) const;

    // The line end most of the file's lines have; CR LF when it has none.
    QString lineEnd() const;
    // How the file's entries whose key starts with `prefix` (any case) are
    // written, the most frequent way first; `fallback` when it has none.
    struct Style {
        QString prefix;      // the prefix as the file spells it: "page_"
        QString separator;   // ":\"" or ": \""
    };
    Style style(QLatin1String prefix, const Style &fallback) const;
    // The one rule for a line break inside a text: as the text of `entry`
    // writes its line breaks when it has any; else as the file's texts do
    // (the escape \n when they use it and none breaks its line); else
    // `otherwise`. Without an entry, the rule for a new one.
    TextBreak textBreak(int entry = -1, TextBreak otherwise = TextBreak::LineEnd) const;

    using EntryStyle = StrEntryStyle;
    // How entry `entry` is written.
    EntryStyle entryStyle(int entry) const;
    // How the file writes its entries: the separator most of them have (the
    // default when it has none), its line end.
    EntryStyle entryStyle() const;
    // An entry line: `key`, the separator, `rawText` (escapes as written)
    // and the closing quote, after the style's indent. The one place an
    // entry line is put together.
    static QString entryLine(const QString &key, const QString &rawText, const EntryStyle &style = {});
    // A new entry's line as edit mode shows it (CR LF): `key`, the style's
    // separator, `text` (as the player reads it) escaped by the document's
    // rule for a new entry, and the closing quote.
    QString newEntryLine(const QString &key, const QString &text, const EntryStyle &style = {}) const;
    // `text` (as the player reads it) as the file writes it inside the quotes
    // of a new entry: a quote \", a backslash \\, a line break by textBreak().
    QString escaped(const QString &text, TextBreak otherwise = TextBreak::LineEnd) const;

    // Changes. Each records `check`, what the author typed and where, for the
    // checks before saving; later changes to the same entry replace earlier ones.
    // The entry's text becomes `text` (as the player reads it; escaped here,
    // its line breaks by textBreak(entry, otherwise)).
    void setText(int entry, const QString &text, const Piece &check, TextBreak otherwise = TextBreak::LineEnd);
    // The text of `entry`, which has a bare quote, runs on to the quote at
    // byte `quote`: the quotes before it become part of the text, escaped (how
    // a line with a bare quote is mended).
    void takeInQuotes(int entry, qsizetype quote);
    // The entry from its key to its closing quote becomes `entry` (as a hand
    // edit stands, escapes included, already checked to be well formed).
    void setEntryLine(int entry, const QString &line, const Pieces &checks);
    // The entry becomes `key` with `text` (as the player reads it, escaped
    // by textBreak(entry)), keeping its own indent, separator and line end;
    // or with `rawText` as written.
    void setEntry(int entry, const QString &key, const QString &text, const Pieces &checks);
    void setRawEntry(int entry, const QString &key, const QString &rawText, const Pieces &checks);
    // A new entry line at `at` (as insertLines() puts lines in), written in
    // `style`: `text` as the player reads it (its line breaks by
    // textBreak(-1, otherwise)), or `rawText` as written.
    void insertEntry(qsizetype at, const QString &key, const QString &text, const Pieces &checks,
                     const EntryStyle &style, TextBreak otherwise = TextBreak::LineEnd);
    void insertRawEntry(qsizetype at, const QString &key, const QString &rawText, const Pieces &checks,
                        const EntryStyle &style);
    void removeEntry(int entry);
    // Replaces the bytes from `from` to `to` (a whole line, say) with `text`.
    void replace(qsizetype from, qsizetype to, const QString &text, const Pieces &checks = {});
    // Inserts whole lines (each with the file's line end, or `ending` when
    // given) at `at`, after earlier insertions there and before whatever
    // replaces the bytes from `at` on.
    void insertLines(qsizetype at, const QString &lines, const Pieces &checks = {}, const QString &ending = {});
    // Where a new entry of the keys starting with `prefixes` goes: after the
    // last such entry, else at the end of the file.
    qsizetype insertionPoint(const QList<QLatin1String> &prefixes) const;
    bool hasChanges() const { return !m_edits.isEmpty(); }

    // What the author typed into the changes, for the checks before saving.
    Pieces authorTexts() const;

    // The document as it would be written, decoded: its bytes with its
    // changes laid over them, line ends as they stand (what its source shows).
    QString wholeText() const;
    // The characters `from` to `to` of wholeText() become `text`, typed by
    // the author in `place` (the file's source). The range grows to whole
    // lines of the bytes kept and to whole changes it cuts into, whose text
    // stays as it stands; every byte outside it is kept. What the range then
    // holds is checked before saving as typed there, from the line it starts on.
    void replaceText(qsizetype from, qsizetype to, const QString &text, const QString &place);

    // The file's bytes in `codePage`; nothing when a character cannot be
    // written in it. Unchanged bytes are kept as they are when the document
    // was read in that code page; otherwise everything is written anew in it.
    std::optional<QByteArray> write(int codePage) const;

    // The document's bytes and encoding as a draft keeps them (its changes
    // are not kept), and back; nothing for what is no such draft.
    QVariantMap toDraft() const;
    static std::optional<StrDocument> fromDraft(const QJsonObject &draft);

    // The document as it would be written, read again: its edits made part
    // of its bytes (in `codePage`). Nothing when it cannot be written.
    std::optional<StrDocument> written(int codePage) const;
    // The same, never failing: in UTF-8 when a text the document holds is
    // one `codePage` lacks, so that nothing is lost. A document without
    // edits is itself. What a view shows of a document it did not change.
    StrDocument merged(int codePage) const;
    // The document as it now stands, its edits made part of its bytes in
    // UTF-8, so that no character is lost whatever the code page lacks: what a
    // view reads of a document it did not change itself. Itself when it has
    // no edits.
    StrDocument current() const;

    // The document whole, as the mission's draft keeps it: what toDraft()
    // keeps, and its changes over the bytes as they were made (their texts,
    // and what the author typed for the checks before saving), so that
    // nothing is lost whatever the code page lacks; and back. Nothing for
    // what is no such draft, or changes that do not fit the bytes.
    QVariantMap toDraftWithChanges() const;
    static std::optional<StrDocument> fromDraftWithChanges(const QJsonObject &draft);

private:
    struct Edit {
        qsizetype from = 0;
        qsizetype to = 0;
        QString text;
        Pieces checks;
        int order = 0;
        bool insertion = false;   // whole lines put in at `from`
        QString lineEnd;          // an insertion's last line end, kept apart so that `text` stays shared
    };
    // A piece of the document as it would be written: bytes kept (a line, or
    // the part of one between changes) or the text of change `edit`.
    struct Run {
        qsizetype from = 0;
        qsizetype to = 0;
        qsizetype length = 0;   // of its text
        int edit = -1;
        bool lineEndFirst = false;
    };
    QList<Run> runs() const;
    QString runText(const Run &run) const;
    // Walks the document as it would be written, from `mark` on: kept(from,
    // to) for bytes kept, put(edit, lineEndFirst) for a change's text (an
    // insertion after a last line without its line end takes one first).
    template <typename Kept, typename Put>
    void layOut(qsizetype mark, Kept &&kept, Put &&put) const;
    void parse(const std::function<void(const StrSyntax::Item &)> &otherLine);
    QString escapedBy(const QString &text, TextBreak lineBreak) const;
    void addEdit(qsizetype from, qsizetype to, const QString &text, const Pieces &checks, bool insertion = false);
    // What change `edit` puts in, with a line end first when it is an
    // insertion after a last line without its own.
    QString editText(int edit, bool lineEndFirst) const;

    QByteArray m_bytes;
    Encoding m_encoding;
    QList<Entry> m_entries;
    QList<Edit> m_edits;
    bool m_ascii = true;
    std::optional<TextBreak> m_textBreak;   // how the file's texts write line breaks, when any has one
    int m_crLfLines = 0;
    int m_lfLines = 0;
    int m_nextOrder = 0;
};
