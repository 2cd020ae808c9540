#include "core/strreader.h"

#include "core/book.h"
#include "core/goals.h"
#include "core/keypieces.h"
#include "core/missflagfile.h"
#include "core/newgamefile.h"
#include "core/titlesfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace StrReader {

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("StrReader", text);
}

const QString Replacement(QChar::ReplacementCharacter);
const QLatin1String CrLf("\r\n");
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
                              .arg(values.join(QLatin1String(", ")), Replacement)});
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
                             .arg(QString::number(linesLeft), Replacement)});
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
                                    .arg(Replacement)});
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

QString decodeText(const QByteArray &bytes, const Decoder &decoder, Result &result)
{
    QByteArrayView body(bytes);
    const bool byteOrderMark = body.startsWith("\xEF\xBB\xBF");
    if (byteOrderMark)
        body = body.sliced(3);
    if (byteOrderMark || !isAscii(body)) {
        QStringDecoder utf8 = utf8Decoder();
        QString text = utf8(body);
        if (byteOrderMark || !utf8.hasError()) {
            result.utf8 = true;
            if (utf8.hasError())
                noteInvalidUtf8(body, result.notes);
            return text;
        }
    }
    QList<qsizetype> undefined;
    QString text = decoder(body, &undefined);
    noteUndefinedBytes(body, undefined, result.notes);
    return text;
}

// ---------------------------------------------------------------- Lines

// The decoded text and where its lines are. A line ends at LF; a CR just
// before it belongs to the line end.
class Lines
{
public:
    explicit Lines(const QString &text)
        : m_text(text)
    {
        const qsizetype lineFeeds = m_text.count(u'\n');
        m_starts.reserve(lineFeeds + 1);
        m_ends.reserve(lineFeeds + 1);
        qsizetype start = 0;
        while (start < m_text.size()) {
            const qsizetype lineFeed = m_text.indexOf(u'\n', start);
            m_starts.append(start);
            if (lineFeed < 0) {
                m_ends.append(m_text.size());
                break;
            }
            const bool carriageReturn = lineFeed > start && m_text[lineFeed - 1] == u'\r';
            m_loneLineFeeds = m_loneLineFeeds || !carriageReturn;
            m_ends.append(carriageReturn ? lineFeed - 1 : lineFeed);
            start = lineFeed + 1;
        }
    }

    const QString &text() const { return m_text; }
    int count() const { return static_cast<int>(m_starts.size()); }
    qsizetype start(int line) const { return line < count() ? m_starts[line] : m_text.size(); }
    qsizetype end(int line) const { return m_ends[line]; }
    QStringView line(int line) const
    {
        return QStringView(m_text).sliced(m_starts[line], m_ends[line] - m_starts[line]);
    }
    int lineAt(qsizetype offset) const
    {
        return static_cast<int>(std::upper_bound(m_starts.cbegin(), m_starts.cend(), offset) - m_starts.cbegin())
            - 1;
    }

    // The text from `from` to `to` with every line break as CR LF.
    QString withCrLf(qsizetype from, qsizetype to) const
    {
        const QStringView piece = QStringView(m_text).sliced(from, to - from);
        if (!m_loneLineFeeds)
            return piece.toString();
        QString result;
        result.reserve(piece.size() + piece.size() / 16);
        qsizetype done = 0;
        for (qsizetype i = piece.indexOf(u'\n'); i >= 0; i = piece.indexOf(u'\n', i + 1)) {
            result.append(piece.sliced(done, i - done));
            if (i == 0 || piece[i - 1] != u'\r')
                result.append(u'\r');
            result.append(u'\n');
            done = i + 1;
        }
        result.append(piece.sliced(done));
        return result;
    }

private:
    const QString &m_text;
    QList<qsizetype> m_starts;
    QList<qsizetype> m_ends;
    bool m_loneLineFeeds = false;
};

// ---------------------------------------------------------------- Keys

// Where a line starts an entry: group 1 the key word, group 2 its number as
// written (empty for the words without one). Blanks before the colon belong to
// the number of miss_, title_ and short_, which is kept as typed.
const QRegularExpression &entryStart()
{
    static const QRegularExpression pattern = [] {
        QRegularExpression re(QStringLiteral("(*LF)^(?|(Page|fiction|text|diff)_(\\d+)[ \\t]*"
                                             "|(miss|title|short)_([^\\r\\n]*?)"
                                             "|(difficulty|skip_training|options|cancel)()[ \\t]*)"
                                             ":[ \\t]*\""),
                              QRegularExpression::MultilineOption);
        re.optimize();
        return re;
    }();
    return pattern;
}

// A line that reads like an entry, even indented or without its quote:
// group 1 the indent, 2 the key word, 3 the number.
const QRegularExpression &entryLookalike()
{
    static const QRegularExpression pattern = [] {
        QRegularExpression re(QStringLiteral("(*LF)^([ \\t]*)(?|(Page|fiction|text|diff)_(\\d+)"
                                             "|(miss|title|short)_([^\\r\\n:]*)"
                                             "|(difficulty|skip_training|options|cancel)())"
                                             "[ \\t]*:"),
                              QRegularExpression::MultilineOption);
        re.optimize();
        return re;
    }();
    return pattern;
}

// key: "text" with a key of no kind the program writes.
const QRegularExpression &unknownKey()
{
    static const QRegularExpression pattern(QStringLiteral("^[ \\t]*([^ \\t:\"]+)[ \\t]*:[ \\t]*\""));
    return pattern;
}

// The book's place line, also as typed by hand.
const QRegularExpression &locationLine()
{
    static const QRegularExpression pattern(QStringLiteral("^//[ \\t]*book[ \\t]+location[ \\t]*-"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

Kind kindOf(QStringView word)
{
    if (word == u"Page")
        return Kind::Book;
    if (word == u"fiction" || word == u"text")
        return Kind::Goals;
    if (word == u"miss")
        return Kind::Missflag;
    if (word == u"title" || word == u"short")
        return Kind::Titles;
    return Kind::Newgame;
}

bool isNumbered(QStringView word)
{
    return word != u"difficulty" && word != u"skip_training" && word != u"options" && word != u"cancel";
}

QString keyOf(const QString &word, const QString &number)
{
    return isNumbered(word) ? word + u'_' + number : word;
}

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Book:
        return say("a book file");
    case Kind::Goals:
        return GoalsFile::SuggestedName;
    case Kind::Newgame:
        return NewgameFile::FileName;
    case Kind::Missflag:
        return MissflagFile::FileName;
    case Kind::Titles:
        return TitlesFile::FileName;
    }
    return {};
}

QString quoted(QStringView text)
{
    return QChar(0x201C) + text.toString() + QChar(0x201D);
}

struct Entry {
    QString word;
    QString number;    // as written
    int line = 0;      // 0-based line of the key
    int lastLine = 0;  // 0-based line of the closing quote, or where the text ends
    QString value;

    QString key() const { return keyOf(word, number); }
};

struct Lookalike {
    int line = 0;
    QString key;
    Kind kind = Kind::Book;
    bool indented = false;
};

// ---------------------------------------------------------------- Reading

class FileReader
{
public:
    FileReader(const QString &text, QList<Note> &notes)
        : m_lines(text)
        , m_notes(notes)
        , m_notesAtStart(notes.size())
    {
    }

    // Finds the kind and the entries; false when the file holds nothing to read.
    bool readEntries();

    void fill(Result &result);

private:
    struct Start {
        QString word;
        QString number;
        int line;
        qsizetype valueFrom;
    };

    void note(int line, const QString &text) { m_notes.append({line + 1, text}); }
    void noteFile(const QString &text) { m_notes.append({0, text}); }
    void noteRepeat(const Entry &entry, const QString &key, QHash<QString, int> &seen);

    void findLookalikes();
    Entry takeEntry(const Start &start, int nextLine);
    void readBetween(int from, int to, bool beforeFirst);
    void readComment(int line, QStringView text, bool beforeFirst);
    void noteLookalikesInside();
    void noteLayout(const QStringList &expected);

    void fillBook(Book &book);
    void fillGoals(Goals &goals);
    void fillNewgame(Newgame &newgame);
    void fillMissflag(Missflag &missflag);
    void fillTitles(Titles &titles);

    Lines m_lines;
    QList<Note> &m_notes;
    qsizetype m_notesAtStart;              // the notes on the bytes, made before
    Kind m_kind = Kind::Book;
    QList<Entry> m_entries;
    QList<Lookalike> m_lookalikes;
    QHash<int, qsizetype> m_lookalikeAt;   // line -> index in m_lookalikes
    bool m_hasLocation = false;
    QString m_location;
    QList<int> m_headerLines;              // comment lines before the first entry
};

bool FileReader::readEntries()
{
    QList<Start> starts;
    QRegularExpressionMatchIterator it = entryStart().globalMatch(m_lines.text());
    std::optional<Kind> kind;
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString word = match.captured(1);
        if (!kind)
            kind = kindOf(word);
        if (kindOf(word) == *kind)
            starts.append({word, match.captured(2), m_lines.lineAt(match.capturedStart(0)), match.capturedEnd(0)});
    }
    m_kind = kind.value_or(Kind::Book);
    findLookalikes();

    readBetween(0, starts.isEmpty() ? m_lines.count() : starts.first().line, true);
    for (qsizetype i = 0; i < starts.size(); ++i) {
        const int nextLine = i + 1 < starts.size() ? starts[i + 1].line : m_lines.count();
        m_entries.append(takeEntry(starts[i], nextLine));
        readBetween(m_entries.last().lastLine + 1, nextLine, false);
    }
    noteLookalikesInside();
    return !m_entries.isEmpty() || m_hasLocation;
}

void FileReader::findLookalikes()
{
    QRegularExpressionMatchIterator it = entryLookalike().globalMatch(m_lines.text());
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        const QString word = match.captured(2);
        const int line = m_lines.lineAt(match.capturedStart(0));
        m_lookalikeAt.insert(line, m_lookalikes.size());
        m_lookalikes.append({line, keyOf(word, match.captured(3)), kindOf(word), match.capturedLength(1) > 0});
    }
}

Entry FileReader::takeEntry(const Start &start, int nextLine)
{
    const QString &text = m_lines.text();
    Entry entry{start.word, start.number, start.line, start.line, {}};
    const qsizetype regionEnd = m_lines.start(nextLine);
    const qsizetype quote = QStringView(text).sliced(start.valueFrom, regionEnd - start.valueFrom).lastIndexOf(u'"');
    if (quote >= 0) {
        const qsizetype close = start.valueFrom + quote;
        entry.value = m_lines.withCrLf(start.valueFrom, close);
        entry.lastLine = m_lines.lineAt(close);
        const QStringView after = QStringView(text).sliced(close + 1, m_lines.end(entry.lastLine) - close - 1);
        if (!after.trimmed().isEmpty()) {
            note(entry.lastLine, say("The text after the closing quote of %1 is left out: %2")
                                     .arg(entry.key(), quoted(after.trimmed())));
        }
        return entry;
    }
    // No closing quote: the text runs to the last line before the next entry
    // that is not blank.
    int last = nextLine - 1;
    while (last > start.line && m_lines.line(last).trimmed().isEmpty())
        --last;
    entry.lastLine = last;
    entry.value = m_lines.withCrLf(start.valueFrom, m_lines.end(last));
    note(start.line, nextLine >= m_lines.count()
                         ? say("%1 has no closing quote; its text runs to the end of the file.").arg(entry.key())
                         : say("%1 has no closing quote; its text runs to the end of line %2, before the next "
                               "entry.")
                               .arg(entry.key(), QString::number(last + 1)));
    return entry;
}

// Lines outside every entry: blank lines and comments pass silently, the rest
// is left out with a note; a run of plain lines gets one note.
void FileReader::readBetween(int from, int to, bool beforeFirst)
{
    int runFirst = -1;
    int runLast = -1;
    const auto flush = [&] {
        if (runFirst < 0)
            return;
        note(runFirst, runFirst == runLast
                           ? say("This line is not an entry; it is left out.")
                           : say("Lines %1 to %2 are not entries; they are left out.")
                                 .arg(QString::number(runFirst + 1), QString::number(runLast + 1)));
        runFirst = -1;
    };
    for (int line = from; line < to; ++line) {
        const QStringView text = m_lines.line(line);
        const QStringView trimmed = text.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (const auto found = m_lookalikeAt.constFind(line); found != m_lookalikeAt.cend()) {
            flush();
            const Lookalike &lookalike = m_lookalikes[*found];
            if (lookalike.kind != m_kind) {
                note(line, say("%1 belongs in %2, not in %3; it is left out.")
                               .arg(lookalike.key, kindName(lookalike.kind), kindName(m_kind)));
            } else if (lookalike.indented) {
                note(line, say("%1 does not start at the beginning of its line; it is left out.").arg(lookalike.key));
            } else {
                note(line, say("%1 has no opening quote after its colon; it is left out.").arg(lookalike.key));
            }
        } else if (trimmed.startsWith(u"//")) {
            flush();
            readComment(line, text, beforeFirst);
        } else if (const QRegularExpressionMatch key = unknownKey().match(text); key.hasMatch()) {
            flush();
            note(line, say("%1 is not a key of %2; it is left out.").arg(key.captured(1), kindName(m_kind)));
        } else {
            if (runFirst < 0)
                runFirst = line;
            runLast = line;
        }
    }
    flush();
}

void FileReader::readComment(int line, QStringView text, bool beforeFirst)
{
    if (m_kind == Kind::Missflag && beforeFirst) {
        m_headerLines.append(line);
        return;
    }
    if (m_kind != Kind::Book)
        return;
    const QRegularExpressionMatch match = locationLine().match(text);
    if (!match.hasMatch())
        return;
    if (!beforeFirst) {
        note(line, say("A book location line after the first page is left out."));
        return;
    }
    if (m_hasLocation)
        note(line, say("The book location is given twice; the later one is kept."));
    m_hasLocation = true;
    m_location = text.startsWith(BookFile::LocationPrefix)
        ? text.sliced(BookFile::LocationPrefix.size()).toString()
        : text.sliced(match.capturedLength(0)).trimmed().toString();
}

// Lines inside an entry's text that read like an entry of their own: kept as
// text, as the rule for the end of an entry says, but pointed out.
void FileReader::noteLookalikesInside()
{
    for (const Lookalike &lookalike : std::as_const(m_lookalikes)) {
        const auto after = std::upper_bound(m_entries.cbegin(), m_entries.cend(), lookalike.line,
                                            [](int line, const Entry &entry) { return line < entry.line; });
        if (after == m_entries.cbegin())
            continue;
        const Entry &entry = *(after - 1);
        if (lookalike.line <= entry.line || lookalike.line > entry.lastLine)
            continue;
        note(lookalike.line, say("This line reads like %1 but lies inside the text of %2, which ends on line %3; "
                                 "it is kept as part of that text.")
                                 .arg(lookalike.key, entry.key(), QString::number(entry.lastLine + 1)));
    }
}

void FileReader::noteRepeat(const Entry &entry, const QString &key, QHash<QString, int> &seen)
{
    const int count = ++seen[key];
    if (count == 2)
        note(entry.line, say("%1 appears twice; the later one is kept.").arg(key));
    else if (count > 2)
        note(entry.line, say("%1 appears %2 times; the last one is kept.").arg(key, QString::number(count)));
}

// For the files whose layout is fixed: points at the first line that differs
// from what the program would write for the texts read.
void FileReader::noteLayout(const QStringList &expected)
{
    const QStringList wanted = expected.join(CrLf).split(CrLf);
    const int count = m_lines.count();
    for (int i = 0; i < std::max(count, static_cast<int>(wanted.size())); ++i) {
        if (i < count && i < wanted.size() && m_lines.line(i) == wanted[i])
            continue;
        if (i >= count) {
            noteFile(say("The file ends before the line %1, which Quillwright writes; saving adds it.")
                         .arg(quoted(wanted[i])));
        } else if (i >= wanted.size()) {
            note(i, say("Quillwright writes nothing from here on; saving leaves this line out."));
        } else {
            note(i, say("Quillwright writes this line as %1; saving writes the file in its usual layout.")
                        .arg(quoted(wanted[i])));
        }
        return;
    }
}

void FileReader::fill(Result &result)
{
    result.kind = m_kind;
    switch (m_kind) {
    case Kind::Book:
        fillBook(result.book);
        break;
    case Kind::Goals:
        fillGoals(result.goals);
        break;
    case Kind::Newgame:
        fillNewgame(result.newgame);
        if (m_notes.size() == m_notesAtStart) {
            const Newgame &texts = result.newgame;
            noteLayout(NewgameFile::content({texts.title, texts.easy, texts.middle, texts.hardest}).lines());
        }
        break;
    case Kind::Missflag:
        fillMissflag(result.missflag);
        break;
    case Kind::Titles:
        fillTitles(result.titles);
        if (m_notes.size() == m_notesAtStart)
            noteLayout(TitlesFile::content(result.titles.number, result.titles.title).lines());
        break;
    }
}

void FileReader::fillBook(Book &book)
{
    book.hasLocation = m_hasLocation;
    book.location = m_location;
    QHash<QString, int> seen;
    for (const Entry &entry : std::as_const(m_entries)) {
        bool ok = false;
        const int slot = entry.number.toInt(&ok);
        if (!ok || slot >= BookState::SlotCount) {
            note(entry.line, say("%1 is beyond the %2 pages a book can hold; it is left out.")
                                 .arg(entry.key(), QString::number(BookState::SlotCount)));
            continue;
        }
        noteRepeat(entry, QLatin1String("Page_") + QString::number(slot), seen);
        book.pages.insert(slot, entry.value);
    }
    if (book.pages.isEmpty())
        return;
    QStringList missing;
    for (int slot = 0; slot < book.pages.lastKey(); ++slot) {
        if (!book.pages.contains(slot))
            missing.append(QLatin1String("Page_") + QString::number(slot));
    }
    if (!missing.isEmpty())
        noteFile(say("The book has no %1, although later pages follow.").arg(missing.join(QLatin1String(", "))));
}

void FileReader::fillGoals(Goals &goals)
{
    QHash<QString, int> seen;
    QMap<int, int> fictionLine;
    QMap<int, int> textLine;
    for (const Entry &entry : std::as_const(m_entries)) {
        bool ok = false;
        const int goal = entry.number.toInt(&ok);
        if (!ok || goal >= GoalsState::MaxGoals) {
            note(entry.line, say("%1 is beyond the %2 goals a list can hold; it is left out.")
                                 .arg(entry.key(), QString::number(GoalsState::MaxGoals)));
            continue;
        }
        const bool fiction = entry.word == u"fiction";
        noteRepeat(entry, entry.word + u'_' + QString::number(goal), seen);
        (fiction ? goals.fiction : goals.text).insert(goal, entry.value);
        (fiction ? fictionLine : textLine).insert(goal, entry.line);
    }
    const int last = std::max(goals.fiction.isEmpty() ? -1 : goals.fiction.lastKey(),
                              goals.text.isEmpty() ? -1 : goals.text.lastKey());
    QStringList missing;
    for (int goal = 0; goal <= last; ++goal) {
        const QString number = QString::number(goal);
        if (!goals.fiction.contains(goal) && !goals.text.contains(goal))
            missing.append(number);
        else if (!goals.fiction.contains(goal))
            note(textLine.value(goal), say("There is a text_%1 but no fiction_%1.").arg(number));
        else if (!goals.text.contains(goal))
            note(fictionLine.value(goal), say("There is a fiction_%1 but no text_%1.").arg(number));
    }
    if (!missing.isEmpty()) {
        noteFile(say("There is no goal %1 (no fiction_ or text_ line), although later goals follow.")
                     .arg(missing.join(QLatin1String(", "))));
    }
}

void FileReader::fillNewgame(Newgame &newgame)
{
    QHash<QString, int> seen;
    QHash<QString, const Entry *> last;
    for (const Entry &entry : std::as_const(m_entries)) {
        QString key = entry.word;
        if (entry.word == u"diff") {
            bool ok = false;
            const int level = entry.number.toInt(&ok);
            if (!ok || level > 2) {
                note(entry.line, say("%1 is beyond the three difficulty levels; it is left out.").arg(entry.key()));
                continue;
            }
            key = QLatin1String("diff_") + QString::number(level);
        }
        noteRepeat(entry, key, seen);
        last.insert(key, &entry);
    }
    // The entries the program always writes with the same text.
    const std::pair<const char *, const char *> fixed[] = {
        {"difficulty", "Difficulty:"}, {"options", "Options"}, {"cancel", "Cancel"}};
    for (const auto &[keyName, expectedText] : fixed) {
        const QString key = QLatin1String(keyName);
        const QString expected = QLatin1String(expectedText);
        const Entry *entry = last.value(key);
        if (!entry) {
            noteFile(say("There is no %1 entry; saving writes it with the text %2.").arg(key, quoted(expected)));
        } else if (entry->value != expected) {
            note(entry->line, say("%1 reads %2; Quillwright always writes %3 there, and saving keeps that.")
                                  .arg(key, quoted(entry->value), quoted(expected)));
        }
    }
    const std::pair<const char *, QString *> texts[] = {
        {"skip_training", &newgame.title}, {"diff_0", &newgame.easy}, {"diff_1", &newgame.middle},
        {"diff_2", &newgame.hardest}};
    for (const auto &[keyName, target] : texts) {
        const QString key = QLatin1String(keyName);
        if (const Entry *entry = last.value(key))
            *target = entry->value;
        else if (key == u"skip_training")
            noteFile(say("There is no skip_training entry, which holds the mission title; the title is left empty."));
        else
            noteFile(say("There is no %1 entry; the name of that difficulty level is left empty.").arg(key));
    }
}

void FileReader::fillMissflag(Missflag &missflag)
{
    QList<const Entry *> skips;
    QList<const Entry *> missions;
    for (const Entry &entry : std::as_const(m_entries))
        (entry.value.trimmed() == u"skip" ? skips : missions).append(&entry);
    if (missions.isEmpty()) {
        missions.append(skips.takeLast());
        noteFile(say("There is no mission line, only skip lines; the last one, %1, is taken as the mission line.")
                     .arg(missions.last()->key()));
    }
    for (qsizetype i = 0; i + 1 < missions.size(); ++i) {
        note(missions[i]->line, say("Only the last mission line is kept; this one, %1, is left out.")
                                    .arg(missions[i]->key()));
    }
    const Entry &mission = *missions.last();
    missflag.number = mission.number;

    // The program writes the briefing, then " ,no_loadout, end".
    const QString flags = QLatin1String(" ,") + KeyPieces::LoadoutFlagWord + KeyPieces::EndFlagWord;
    static const QRegularExpression spacedFlags(QStringLiteral("[ \\t]*,[ \\t]*no_loadout[ \\t]*,[ \\t]*end[ \\t]*$"));
    if (mission.value.endsWith(flags)) {
        missflag.briefing = mission.value.chopped(flags.size());
    } else if (const QRegularExpressionMatch match = spacedFlags.match(mission.value); match.hasMatch()) {
        missflag.briefing = mission.value.left(match.capturedStart(0));
        note(mission.line, say("The flags at the end of %1 are spaced differently; saving writes them as %2.")
                               .arg(mission.key(), quoted(flags)));
    } else {
        missflag.briefing = mission.value;
        note(mission.line, say("%1 does not end with the flags %2, which Quillwright always adds; the whole text "
                               "is kept as the briefing, and saving adds the flags after it.")
                               .arg(mission.key(), quoted(flags)));
    }

    // The header, and a skip line for each mission before this one.
    QStringList header = MissflagFile::content(QString(), 0, QString()).lines();
    header.removeLast();
    QStringList comments;
    for (const int line : std::as_const(m_headerLines))
        comments.append(m_lines.line(line).toString());
    if (comments != header) {
        note(m_headerLines.isEmpty() ? -1 : m_headerLines.first(),
             say("The comment lines at the top are not the ones Quillwright writes; saving writes its usual "
                 "header."));
    }
    MissflagFile::MissionNumber number = MissflagFile::readMissionNumber(missflag.number);
    if (number.reading != MissflagFile::Reading::Accepted)
        number = MissflagFile::readMissionNumber(missflag.number, QLocale::c());
    if (number.reading != MissflagFile::Reading::Accepted) {
        note(mission.line, say("The mission number %1 is not one Quillwright accepts (a number up to %2); "
                               "correct it before saving.")
                               .arg(quoted(missflag.number), QString::number(MissflagFile::HighestMissionNumber)));
        return;
    }
    QStringList found;
    for (const Entry *skip : std::as_const(skips))
        found.append(skip->number);
    QStringList expected;
    for (int i = 1; i <= number.skipLines; ++i)
        expected.append(QString::number(i));
    if (found != expected) {
        noteFile(number.skipLines == 0
                     ? say("For mission %1 Quillwright writes no skip lines; saving leaves them out.")
                           .arg(quoted(missflag.number))
                     : say("For mission %1 Quillwright writes the skip lines miss_1 to miss_%2; the file's skip "
                           "lines differ, and saving writes them anew.")
                           .arg(quoted(missflag.number), QString::number(number.skipLines)));
    }
    if (m_notes.size() == m_notesAtStart)
        noteLayout(MissflagFile::content(missflag.number, number.skipLines, missflag.briefing).lines());
}

void FileReader::fillTitles(Titles &titles)
{
    QHash<QString, int> seen;
    const Entry *title = nullptr;
    const Entry *shortTitle = nullptr;
    for (const Entry &entry : std::as_const(m_entries)) {
        noteRepeat(entry, entry.word + u'_', seen);
        (entry.word == u"title" ? title : shortTitle) = &entry;
    }
    if (!title) {
        title = shortTitle;
        noteFile(say("There is no title_ entry; the number and title of %1 are used.").arg(shortTitle->key()));
    } else if (!shortTitle) {
        noteFile(say("There is no short_ entry; saving writes one with the title of %1.").arg(title->key()));
    } else if (shortTitle->number != title->number) {
        note(shortTitle->line, say("%1 has another number than %2; saving writes both with the number %3.")
                                   .arg(shortTitle->key(), title->key(), quoted(title->number)));
    } else if (shortTitle->value != title->value) {
        note(shortTitle->line, say("The title of %1 differs from that of %2; Quillwright writes the same title in "
                                   "both, and saving keeps the one of %2.")
                                   .arg(shortTitle->key(), title->key()));
    }
    titles.number = title->number;
    titles.title = title->value;
}

// ---------------------------------------------------------------- Paths

bool pathTooLong(const QString &path)
{
#ifdef Q_OS_WIN
    constexpr qsizetype LongestPath = 32767;
#else
    constexpr qsizetype LongestPath = 4095;
#endif
    constexpr qsizetype LongestName = 255;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute.size() > LongestPath || absolute.toUtf8().size() > LongestPath)
        return true;
    const QStringList names = absolute.split(u'/', Qt::SkipEmptyParts);
    return std::any_of(names.cbegin(), names.cend(), [](const QString &name) {
#ifdef Q_OS_WIN
        return name.size() > LongestName;
#else
        return name.toUtf8().size() > LongestName;
#endif
    });
}

QString shown(const QString &path)
{
    constexpr qsizetype Shortened = 80;
    const QString native = QDir::toNativeSeparators(path);
    return native.size() <= Shortened ? native : native.first(Shortened) + QChar(0x2026);
}

} // namespace

std::variant<Result, Failure> read(const QByteArray &bytes, const Decoder &decoder)
{
    if (bytes.isEmpty())
        return Failure{say("The file is empty.")};
    if (const std::optional<QString> reason = notTextReason(bytes))
        return Failure{*reason};

    Result result;
    const QString text = decodeText(bytes, decoder, result);
    FileReader reader(text, result.notes);
    if (!reader.readEntries()) {
        return Failure{say("The file holds no entry of a book, goals.str, newgame.str, missflag.str or Titles.str "
                           "(lines such as Page_0:\"...\" or title_20: \"...\").")};
    }
    reader.fill(result);
    std::stable_sort(result.notes.begin(), result.notes.end(),
                     [](const Note &a, const Note &b) { return a.line < b.line; });
    return result;
}

std::variant<Result, Failure> readFile(const QString &path, const Decoder &decoder)
{
    if (path.isEmpty())
        return Failure{say("No file was named.")};
    const QFileInfo info(path);
    if (!info.exists()) {
        if (pathTooLong(path))
            return Failure{say("The path %1 is too long to be opened.").arg(shown(path))};
        return Failure{say("There is no file %1.").arg(shown(path))};
    }
    if (info.isDir())
        return Failure{say("%1 is a folder, not a file.").arg(shown(path))};
    if (!info.isFile())
        return Failure{say("%1 is not an ordinary file.").arg(shown(path))};
    const QLocale locale;
    if (info.size() > MaxFileSize) {
        return Failure{say("The file %1 is %2; the files of a mission are never larger than %3, so it is not read.")
                           .arg(shown(path), locale.formattedDataSize(info.size()),
                                locale.formattedDataSize(MaxFileSize))};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return Failure{say("The file %1 is gone; it was there a moment ago.").arg(shown(path))};
        return Failure{say("The file %1 could not be opened: %2").arg(shown(path), file.errorString())};
    }
    // At most one byte more than allowed, in case the file grew meanwhile.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return Failure{say("The file %1 could not be read: %2").arg(shown(path), file.errorString())};
    if (bytes.size() > MaxFileSize) {
        return Failure{say("The file %1 is larger than %2, larger than the files of a mission ever are, so it is "
                           "not read.")
                           .arg(shown(path), locale.formattedDataSize(MaxFileSize))};
    }
    return read(bytes, decoder);
}

} // namespace StrReader
