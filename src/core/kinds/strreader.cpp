#include "core/kinds/strreader.h"

#include "core/document/codepages.h"
#include "core/kinds/kind.h"
#include "core/document/lineendings.h"
#include "core/document/safefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>


namespace StrReader {

namespace {

Error notStrFile(const QString &message, QByteArray bytes = {})
{
    return {Error::Kind::NotStrFile, message, {}, std::move(bytes)};
}

QString say(const char *text)
{
    return QCoreApplication::translate("StrReader", text);
}

const QString Replacement(QChar::ReplacementCharacter);
constexpr int MaxByteNotes = 20;   // lines with bad bytes noted one by one

// ---------------------------------------------------------------- Text or not

struct Signature {
    const char *magic;
    const char *reason;
};

const Signature Signatures[] = {
    {"\x89PNG\r\n\x1a\n", QT_TRANSLATE_NOOP("StrReader", "The file is a PNG picture, not a text file.")},
    {"\xFF\xD8\xFF", QT_TRANSLATE_NOOP("StrReader", "The file is a JPEG picture, not a text file.")},
    {"GIF8", QT_TRANSLATE_NOOP("StrReader", "The file is a GIF picture, not a text file.")},
    {"%PDF-", QT_TRANSLATE_NOOP("StrReader", "The file is a PDF document, not a text file.")},
    {"PK\x03\x04", QT_TRANSLATE_NOOP("StrReader",
                                     "The file is a ZIP archive (or a Word or OpenDocument file), not a text file.")},
    {"\xD0\xCF\x11\xE0", QT_TRANSLATE_NOOP("StrReader", "The file is an old Word or Excel document, not a text file.")},
    {"\xFF\xFE", QT_TRANSLATE_NOOP("StrReader", "The file is saved as UTF-16 (\"Unicode\"). Save it as ANSI or "
                                                "UTF-8 in your editor and open it again.")},
    {"\xFE\xFF", QT_TRANSLATE_NOOP("StrReader", "The file is saved as UTF-16 (\"Unicode\"). Save it as ANSI or "
                                                "UTF-8 in your editor and open it again.")},
};

// A control code that text files do not hold; tab, line ends, form feed and
// the old end-of-file mark (0x1A) are allowed.
bool isStrayControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\v' && byte != '\f' && byte != '\r'
        && byte != 0x1A;
}

std::optional<QString> notTextReason(const QByteArray &bytes)
{
    for (const Signature &signature : Signatures) {
        if (bytes.startsWith(signature.magic))
            return say(signature.reason);
    }
    if (bytes.contains('\0'))
        return say("The file is not a text file: it holds NUL bytes, which text never does.");
    // A stray control code or two is tolerated; binary data is full of them.
    if (std::count_if(bytes.begin(), bytes.end(), isStrayControl) > bytes.size() / 64 + 2)
        return say("The file is not a text file: it is full of control codes that text does not use.");
    return std::nullopt;
}

// ---------------------------------------------------------------- Decoding

QString hexByte(char c)
{
    return QLatin1String("0x") + QString::number(static_cast<unsigned char>(c), 16).toUpper().rightJustified(2, u'0');
}

void noteUndefinedBytes(QByteArrayView bytes, QList<qsizetype> offsets, QList<Note> &notes)
{
    std::sort(offsets.begin(), offsets.end());
    int line = 1;
    qsizetype counted = 0;
    int notedLine = 0;
    int linesNoted = 0;
    int linesLeft = 0;
    QStringList values;
    const auto flush = [&] {
        if (values.isEmpty())
            return;
        if (linesNoted == MaxByteNotes) {
            ++linesLeft;
        } else {
            ++linesNoted;
            notes.append({notedLine,
                          (values.size() == 1
                               ? say("The byte %1 is not defined in the code page; it is read as %2.")
                               : say("The bytes %1 are not defined in the code page; they are read as %2."))
                              .arg(values.join(QLatin1String(", ")), Replacement),
                          Note::Differs, -1, -1, true});
        }
        values.clear();
    };
    for (const qsizetype offset : offsets) {
        if (offset < counted || offset >= bytes.size())
            continue;
        line += static_cast<int>(std::count(bytes.begin() + counted, bytes.begin() + offset, '\n'));
        counted = offset;
        if (line != notedLine) {
            flush();
            notedLine = line;
        }
        const QString value = hexByte(bytes[offset]);
        if (!values.contains(value))
            values.append(value);
    }
    flush();
    if (linesLeft > 0) {
        notes.append({0, say("Undefined bytes on %1 more lines are read as %2 as well.")
                             .arg(QString::number(linesLeft), Replacement),
                      Note::Differs, -1, -1, true});
    }
}

QStringDecoder utf8Decoder()
{
    return QStringDecoder(QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
}

// Only called when the file as a whole is not valid UTF-8: finds the lines.
// A line feed is never part of a multi-byte sequence, so lines decode alone.
void noteInvalidUtf8(QByteArrayView bytes, QList<Note> &notes)
{
    int line = 0;
    int noted = 0;
    qsizetype start = 0;
    while (noted < MaxByteNotes) {
        ++line;
        const qsizetype lineFeed = bytes.indexOf('\n', start);
        const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed;
        QStringDecoder decoder = utf8Decoder();
        const QString decoded = decoder(bytes.sliced(start, end - start));
        if (decoder.hasError()) {
            ++noted;
            notes.append({line, say("The line holds bytes that are not valid UTF-8; they are read as %1.")
                                    .arg(Replacement),
                          Note::Differs});
        }
        if (lineFeed < 0)
            break;
        start = lineFeed + 1;
    }
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether the file is UTF-8, with notes on bytes that cannot be read as they stand.
bool readsAsUtf8(const QByteArray &bytes, int codePage, QList<Note> &notes)
{
    QByteArrayView body(bytes);
    const bool byteOrderMark = body.startsWith("\xEF\xBB\xBF");
    if (byteOrderMark)
        body = body.sliced(3);
    if (byteOrderMark || !isAscii(body)) {
        QStringDecoder utf8 = utf8Decoder();
        const QString text = utf8(body);
        if (byteOrderMark || !utf8.hasError()) {
            if (utf8.hasError())
                noteInvalidUtf8(body, notes);
            return true;
        }
    }
    if (!isAscii(body))
        noteUndefinedBytes(body, CodePages::decode(body, codePage).undefinedBytes, notes);
    return false;
}

QString quoted(QStringView text)
{
    constexpr qsizetype Longest = 60;
    const QString shown = text.size() > Longest ? text.first(Longest).toString() + QChar(0x2026) : text.toString();
    return QChar(0x201C) + shown + QChar(0x201D);
}

// ---------------------------------------------------------------- Notes

class Notes
{
public:
    explicit Notes(Result &result)
        : m_result(result)
    {
    }
    void add(int line, const QString &text, Note::Severity severity = Note::Kept, int repairEntry = -1,
             int entry = -1)
    {
        if (m_result.notes.size() >= MaxNotes) {
            ++m_result.notesLeftOut;
            return;
        }
        m_result.notes.append({line, text, severity, repairEntry, entry});
    }
    // No more notes are kept: they are only counted.
    bool full()
    {
        if (m_result.notes.size() < MaxNotes)
            return false;
        ++m_result.notesLeftOut;
        return true;
    }

private:
    Result &m_result;
};

// Lines that are no entry, as the document is read: a run of plain lines
// gets one note.
class OtherLines
{
public:
    OtherLines(const QByteArray &bytes, Notes &notes)
        : m_bytes(bytes)
        , m_notes(notes)
    {
    }
    ~OtherLines() { flush(); }

    void operator()(const StrSyntax::Item &item)
    {
        if (item.kind != StrSyntax::ItemKind::Stray) {
            flush();
            return;
        }
        const QByteArrayView line = QByteArrayView(m_bytes).sliced(item.keyStart, item.afterEnd - item.keyStart);
        if (line.startsWith(';')) {   // a comment in a string table; noted later for other kinds
            flush();
            semicolonLines.append(item.line);
            return;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && !line.first(colon).contains('"') && !line.first(colon).contains(' ')) {
            flush();
            if (!m_notes.full()) {
                m_notes.add(item.line, say("%1 has no opening quote after its colon, so the game does not read it "
                                           "as an entry; it is kept as it stands.")
                                           .arg(QString::fromLatin1(line.first(colon))));
            }
            return;
        }
        if (m_runFirst == 0)
            m_runFirst = item.line;
        m_runLast = item.line;
    }

    QList<int> semicolonLines;   // lines that start with ';'

    void flush()
    {
        if (m_runFirst == 0 || m_notes.full()) {
            m_runFirst = 0;
            return;
        }
        m_notes.add(m_runFirst, m_runFirst == m_runLast
                                    ? say("This line is not an entry, so the game does not read it; it is kept as "
                                          "it stands.")
                                    : say("Lines %1 to %2 are not entries, so the game does not read them; they are "
                                          "kept as they stand.")
                                          .arg(QString::number(m_runFirst), QString::number(m_runLast)));
        m_runFirst = 0;
    }

private:
    const QByteArray &m_bytes;
    Notes &m_notes;
    int m_runFirst = 0;
    int m_runLast = 0;
};

// What the game reads otherwise than the entries stand.
void noteEntries(const StrDocument &document, Notes &notes)
{
    const QByteArray &bytes = document.bytes();
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const StrDocument::Entry &e = document.entries().at(i);
        const int entry = static_cast<int>(i);
        const QByteArrayView rest =
            e.closed ? QByteArrayView(bytes).sliced(e.textEnd + 1, e.afterEnd - e.textEnd - 1).trimmed() : QByteArrayView();
        if (e.closed && (rest.isEmpty() || rest.startsWith("//")))   // nothing, or a comment
            continue;
        if (notes.full())
            continue;
        const QString key = document.key(entry);
        if (!e.closed) {
            notes.add(e.line, say("%1 has no closing quote: in the game its text runs to the end of the file, "
                                  "taking in every line after it.")
                                  .arg(key),
                      Note::Differs, -1, entry);
            continue;
        }
        const QString after = document.after(entry);
        if (after.contains(u'"')) {
            notes.add(e.line, say("%1 holds a quote that the game takes for the end of its text, so the game "
                                  "shows only %2. Repair takes the whole line as the text and writes its "
                                  "quotes as \\\".")
                                  .arg(key, quoted(LineEndings::toLf(document.text(entry)))),
                      Note::Differs, entry, entry);
        } else {
            notes.add(e.line, say("The game stops reading %1 at its closing quote and does not show %2.")
                                  .arg(key, quoted(after.trimmed())),
                      Note::Differs, -1, entry);
        }
    }
}

struct CaseInsensitive {
    std::size_t operator()(std::string_view key) const
    {
        std::size_t hash = 14695981039346656037u;
        for (const char c : key)
            hash = (hash ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c)) * 1099511628211u;
        return hash;
    }
    bool operator()(std::string_view a, std::string_view b) const
    {
        return a.size() == b.size() && qstrnicmp(a.data(), b.data(), a.size()) == 0;
    }
};

void noteRepeats(const StrDocument &document, Notes &notes)
{
    std::unordered_map<std::string_view, int, CaseInsensitive, CaseInsensitive> first;
    for (qsizetype i = 0; i < document.entries().size(); ++i) {
        const int entry = static_cast<int>(i);
        const QLatin1String raw = document.rawKey(entry);
        const auto [found, inserted] = first.try_emplace(std::string_view(raw.data(), std::size_t(raw.size())),
                                                         document.entries().at(i).line);
        if (inserted || notes.full())
            continue;
        notes.add(document.entries().at(i).line,
                  say("%1 appears again (first on line %2); the tab shows the first, and this one is kept as it "
                      "stands.")
                      .arg(document.key(entry), QString::number(found->second)));
    }
}

} // namespace

std::variant<Result, Error> read(const QByteArray &bytes, int codePage, std::optional<Kind> named)
{
    if (bytes.isEmpty())
        return notStrFile(say("The file is empty."));
    if (const std::optional<QString> reason = notTextReason(bytes))
        return notStrFile(*reason);

    Result result;
    result.utf8 = readsAsUtf8(bytes, codePage, result.notes);
    Notes notes(result);
    QList<int> semicolonLines;
    {
        OtherLines otherLines(bytes, notes);
        result.document = StrDocument(bytes, {codePage, result.utf8}, std::ref(otherLines));
        semicolonLines = otherLines.semicolonLines;
    }
    const StrDocument &document = result.document;

    // The name and folder tell the kind first, the keys second.
    const std::optional<Kind> kind = Kinds::kindOf(document, named);
    if (!kind) {
        return notStrFile(say("The file holds no entry of a book, goals.str, newgame.str, missflag.str or "
                           "Titles.str (lines such as Page_0:\"...\" or title_20: \"...\")."), bytes);
    }
    result.kind = *kind;
    if (!Kinds::descriptor(result.kind).semicolonComments) {   // ';' starts a comment only in string tables
        for (const int line : std::as_const(semicolonLines))
            notes.add(line, say("This line is not an entry, so the game does not read it; it is kept as it stands."));
    }

    noteEntries(document, notes);
    noteRepeats(document, notes);
    // What the tab does not show and the kind's own findings: all kept as they
    // stand. Matters of style are the check's alone.
    for (const Kinds::Finding &finding : Kinds::check(result.kind, document)) {
        if (finding.severity != Kinds::Finding::Note)
            notes.add(finding.line, finding.text);
    }
    std::stable_sort(result.notes.begin(), result.notes.end(),
                     [](const Note &a, const Note &b) { return a.line < b.line; });
    return result;
}

StrDocument repaired(const Result &file, int codePage)
{
    StrDocument document = file.document;
    const QList<StrDocument::Entry> &entries = document.entries();
    for (const Note &note : file.notes) {
        if (note.repairEntry < 0)
            continue;
        const StrDocument::Entry &entry = entries.at(note.repairEntry);
        // The text runs to the last quote before the next entry starts.
        const qsizetype limit = note.repairEntry + 1 < entries.size() ? entries.at(note.repairEntry + 1).start
                                                                        : document.bytes().size();
        const qsizetype lastQuote = QByteArrayView(document.bytes()).first(limit).lastIndexOf('"');
        if (lastQuote <= entry.textEnd)
            continue;
        document.takeInQuotes(note.repairEntry, lastQuote);
    }
    if (std::optional<StrDocument> written = document.written(codePage))
        return *written;
    return file.document;
}


std::variant<Result, Error> readFile(const QString &path, int codePage)
{
    std::variant<QByteArray, Error> loaded = SafeFile::read(path, MaxFileSize);
    if (auto *failure = std::get_if<Error>(&loaded))
        return std::move(*failure);
    return read(std::get<QByteArray>(loaded), codePage, Kinds::kindOfPath(path));
}

} // namespace StrReader
