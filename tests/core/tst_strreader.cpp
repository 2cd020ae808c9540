// Reading .str files back: what the program writes comes back exactly; files
// written by hand are read leniently, with a note for whatever is left out.
#include "core/book.h"
#include "core/fileoutput.h"
#include "core/goals.h"
#include "core/missflagfile.h"
#include "core/newgamefile.h"
#include "core/opening.h"
#include "core/strreader.h"
#include "core/titlesfile.h"
#include "support/testing.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using StrReader::Kind;
using StrReader::Result;

namespace {

const StrReader::Decoder windows1252 = Opening::decoder(1252);   // the caller's code page

// What was read, compactly: the kind, then each text in brackets, CR LF as |.
QString summary(const Result &r)
{
    const auto t = [](QString text) { return u'[' + text.replace("\r\n"_L1, "|"_L1) + u']'; };
    QString s = r.utf8 ? u"utf8 "_s : QString();
    switch (r.kind) {
    case Kind::Book:
        s += u"book"_s + (r.book.hasLocation ? u" @"_s + t(r.book.location) : QString());
        for (auto it = r.book.pages.cbegin(); it != r.book.pages.cend(); ++it)
            s += u' ' + QString::number(it.key()) + t(it.value());
        return s;
    case Kind::Goals:
        s += u"goals"_s;
        for (int k = 0; k < 12; ++k) {
            s += r.goals.fiction.contains(k) ? " f"_L1 + QString::number(k) + t(r.goals.fiction[k]) : QString();
            s += r.goals.text.contains(k) ? " t"_L1 + QString::number(k) + t(r.goals.text[k]) : QString();
        }
        return s;
    case Kind::Newgame:
        return s + u"newgame "_s + t(r.newgame.title) + t(r.newgame.easy) + t(r.newgame.middle) + t(r.newgame.hardest);
    case Kind::Missflag:
        return s + u"missflag "_s + t(r.missflag.number) + t(r.missflag.briefing);
    case Kind::Titles:
        return s + u"titles "_s + t(r.titles.number) + t(r.titles.title);
    }
    return s;
}

// The summary, then after " !" the lines with a note (with `texts` the whole
// notes, a line each, instead); or why the file was refused.
QString described(const std::variant<Result, StrReader::Failure> &read, bool texts = false)
{
    if (const auto *failure = std::get_if<StrReader::Failure>(&read))
        return failure->reason;
    const Result &r = std::get<Result>(read);
    QStringList lines;
    for (const StrReader::Note &note : r.notes)
        lines.append(QString::number(note.line) + (texts ? ": "_L1 + note.text : QString()));
    if (texts)
        return lines.join(u'\n');
    return summary(r) + (lines.isEmpty() ? QString() : " !"_L1 + lines.join(u' '));
}

const QByteArray &Header = Testing::MissflagHeader;

QByteArray mission(const char *number, const char *briefing)
{
    return "miss_" + QByteArray(number) + ":\"" + briefing + " ,no_loadout, end\"\r\n";
}

const QByteArray ReadmeNewgame = "difficulty: \"Difficulty:\"\r\n// This mission's title.\r\nskip_training: "
                                 "\"The Ring\"\r\n\r\noptions: \"Options\"\r\ncancel: \"Cancel\"\r\n\r\n"
                                 "diff_0:  \"Easy\"\r\ndiff_1:  \"Hard\"\r\ndiff_2:  \"Expert\"\r\n";

// What authors type, and what could mislead a reader: quotes, colons, keys,
// comment marks. Every non-ASCII character is followed by an ASCII one, so
// that the file is never valid UTF-8 by chance (see strreader.h).
const QStringList Pieces = {u"a"_s, u"The door"_s, u" "_s, u"  "_s, u"\""_s, u"\"\""_s, u":"_s,
                            u": \""_s, u"Page_"_s, u"7"_s, u"//"_s, u"\t"_s, u"é."_s, u"€1"_s,
                            u"Œz"_s, u"ÿ "_s, u"skip"_s, u" ,no_loadout, end"_s, u",no_loadout, end"_s};
// Pieces that make a line of a multi-line text read like an entry.
const QStringList KeyPieces = {u"fiction_1:\"x\""_s, u"text_0: y"_s, u"Page_3:"_s, u"Page_4 \""_s,
                               u"title_2: \""_s, u"// Book Location - z"_s, u"  Page_5:\"w\""_s};
// A line break followed by the start of a real entry, the closing quote the
// writer adds included: the one case that cannot be read back (see strreader.h).
const QRegularExpression EntryAfterBreak(u"\\n(Page|fiction|text)_\\d+[ \\t]*:[ \\t]*\""_s);

const QString &pick(QRandomGenerator &rng, const QStringList &list)
{
    return list[rng.bounded(static_cast<int>(list.size()))];
}

QString randomText(QRandomGenerator &rng, bool multiLine)
{
    QString text;
    do {
        text.clear();
        for (int i = rng.bounded(12); i > 0; --i) {
            const bool lineBreak = multiLine && rng.bounded(5) == 0;
            text += lineBreak ? "\r\n"_L1 + (rng.bounded(3) ? QString() : pick(rng, KeyPieces)) : pick(rng, Pieces);
        }
    } while ((text + u'"').contains(EntryAfterBreak));
    return text;
}

int randomCount(QRandomGenerator &rng, int most)
{
    const int pick = rng.bounded(most + 6);
    return pick > most ? (pick % 2 ? most : 1) : pick;
}

// Random texts of one kind, as an author could type them into the tab, and
// the lines the program writes for them through its own writers.
std::pair<Result, QStringList> randomFile(Kind kind, QRandomGenerator &rng)
{
    static const QStringList missionNumbers = {u"20"_s, u" 7"_s, u"07"_s, u"2.5"_s, u"-2"_s,
                                               u"0"_s,  u"1"_s,  u"999"_s, u"+3"_s, u"4 "_s};
    static const QStringList titleNumbers = {u"20"_s, u"ab"_s, u"20 "_s, u" 1"_s, u"1:2"_s, u"a\"b"_s, u"  "_s};
    const auto line = [&rng] { return randomText(rng, false); };
    const auto lines = [&rng] { return randomText(rng, true); };
    Result r;
    r.kind = kind;
    switch (kind) {
    case Kind::Book: {
        BookState book;
        r.book.location = line();
        r.book.hasLocation = book.BookLocationGiven = rng.bounded(4) != 0 && !r.book.location.isEmpty();
        for (int slot = 0, count = randomCount(rng, BookState::SlotCount); slot < count; ++slot)
            book.Pg.append(BookFile::pageEntry(slot, r.book.pages[slot] = lines()));
        return {r, BookFile::content(book, r.book.location).lines()};
    }
    case Kind::Goals: {
        GoalsState goals;
        for (int goal = 0, count = randomCount(rng, GoalsState::MaxGoals); goal < count; ++goal) {
            r.goals.fiction[goal] = lines();
            goals.GoalList.append(GoalsFile::goalEntry(goal, r.goals.fiction[goal], r.goals.text[goal] = lines()));
        }
        return {r, GoalsFile::content(goals).lines()};
    }
    case Kind::Newgame: {
        const NewgameFile::Texts texts{line(), line(), line(), line()};
        r.newgame = {texts.title, texts.easy, texts.middle, texts.hardest};
        return {r, NewgameFile::content(texts).lines()};
    }
    case Kind::Missflag: {
        r.missflag = {pick(rng, missionNumbers), line()};
        const int skipLines = MissflagFile::readMissionNumber(r.missflag.number).skipLines;
        return {r, MissflagFile::content(r.missflag.number, skipLines, r.missflag.briefing).lines()};
    }
    case Kind::Titles:
        r.titles = {pick(rng, titleNumbers), line()};
        return {r, TitlesFile::content(r.titles.number, r.titles.title).lines()};
    }
    return {};
}

constexpr qint64 Folder = -1;
constexpr qint64 Nothing = -2;

} // namespace

class TestStrReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Mission numbers such as 2.5, and file sizes in reasons, read the same everywhere.
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void readsBackWhatTheProgramWrites_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::newRow("book") << Kind::Book;
        QTest::newRow("goals") << Kind::Goals;
        QTest::newRow("newgame") << Kind::Newgame;
        QTest::newRow("missflag") << Kind::Missflag;
        QTest::newRow("titles") << Kind::Titles;
    }

    void readsBackWhatTheProgramWrites()
    {
        QFETCH(Kind, kind);
        QRandomGenerator rng(static_cast<quint32>(kind) + 1);
        for (int round = 0; round < 300; ++round) {
            const auto [written, lines] = randomFile(kind, rng);
            const QByteArray bytes = FileOutput::fileBytes(lines, 1252).value_or("<not written>");
            const auto read = StrReader::read(bytes, windows1252);
            const Result *result = std::get_if<Result>(&read);
            // An empty book or goal list gives an empty file, which is refused.
            QCOMPARE(result ? summary(*result) : std::get<StrReader::Failure>(read).reason,
                     bytes.isEmpty() ? u"The file is empty."_s : summary(written));
            // Texts may hold lines that read like entries; those are pointed out, nothing else.
            for (const StrReader::Note &note : result ? result->notes : QList<StrReader::Note>())
                QVERIFY2(note.text.startsWith("This line reads like"_L1), qPrintable(note.text));
        }
    }

    // Files written by hand, and files that are no .str file at all.
    void readsHandWrittenFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");   // as described()
        // In the bytes, as in the summary, | stands for CR LF.
        const auto row = [](const char *name, const QByteArray &bytes, const char *expected) {
            QTest::newRow(name) << QByteArray(bytes).replace('|', "\r\n") << QString::fromUtf8(expected);
        };
        // Books
        row("mixed line ends, quotes, an empty page", "Page_0:\"He said \"no\".\nThen|left.\"\nPage_1:\"\"|",
            "book 0[He said \"no\".|Then|left.] 1[]");
        row("comments, blanks, out of order", "// by hand||Page_1 : \"one\"|// x||Page_0:  \"zero\"|",
            "book 0[zero] 1[one]");
        row("a page twice", "Page_0:\"a\"|Page_0:\"b\"|", "book 0[b] !2");
        row("no closing quote at the end", "Page_0:\"a\"|Page_1:\"runs|on||", "book 0[a] 1[runs|on] !2");
        row("no closing quote before a page", "Page_0:\"open|Page_1:\"b\"|", "book 0[open] 1[b] !1");
        row("text after the closing quote", "Page_0:\"a\" // old|Page_1:\"b\"  |", "book 0[a] 1[b] !1");
        row("lines that are no entries", "Page_0:\"a\"|words|more|Page_1:\"b\"|end|", "book 0[a] 1[b] !2 5");
        row("beyond 50 pages", "Page_0:\"a\"|Page_50:\"b\"|Page_60:\"c\"|", "book 0[a] !2 3");
        row("a missing page", "Page_0:\"a\"|Page_2:\"c\"|", "book 0[a] 2[c] !0");
        row("a goal line inside a page", "Page_0:\"a|fiction_0:\"x\"|", "book 0[a|fiction_0:\"x] !2");
        row("a page without its quote", "Page_0:\"a\"|Page_1: b|Page_2:\"c\"|", "book 0[a] 2[c] !0 2");
        row("an indented page", "Page_0:\"a\"|  Page_1:\"b\"|", "book 0[a\"|  Page_1:\"b] !2");
        row("a line break, then Page_1:\"", "Page_0:\"first|Page_1:\"second\"|", "book 0[first] 1[second] !1");
        row("only the location", "// Book Location - Cellar|", "book @[Cellar]");
        row("location typed by hand", "//Book location -  Attic |Page_0:\"a\"|", "book @[Attic] 0[a]");
        row("UTF-8, byte-order mark", "\xEF\xBB\xBFPage_0:\"caf\xC3\xA9\"|", "utf8 book 0[café]");
        row("UTF-8, byte-order mark, a Windows-1252 byte", "\xEF\xBB\xBFPage_0:\"a\"|Page_1:\"caf\xE9\"|",
            "utf8 book 0[a] 1[caf\xEF\xBF\xBD] !2");
        row("UTF-8 without byte-order mark", "Page_0:\"\xE2\x82\xAC 5\"|", "utf8 book 0[€ 5]");
        row("Windows-1252", "Page_0:\"caf\xE9\x80\"|", "book 0[café€]");
        row("a byte the code page lacks", "Page_0:\"a\"|Page_1:\"b\x81x\"|", "book 0[a] 1[b\xEF\xBF\xBDx] !2");
        row("goals: twice, and a 13th", "fiction_0:\"a\"|text_0:\"b\"|fiction_0:\"c\"|fiction_12:\"d\"|"
            "text_12:\"e\"|", "goals f0[c] t0[b] !3 4 5");
        row("goals: a fiction without text", "fiction_0:\"a\"|fiction_1:\"b\"|text_1:\"c\"|",
            "goals f0[a] f1[b] t1[c] !1");
        row("newgame: another options text", QByteArray(ReadmeNewgame).replace("Options", "Choices"),
            "newgame [The Ring][Easy][Hard][Expert] !5");
        row("newgame: no diff_2, a diff_3", "difficulty: \"Difficulty:\"|skip_training: \"T\"|options: "
            "\"Options\"|cancel: \"Cancel\"|diff_0: \"E\"|diff_1: \"M\"|diff_3: \"X\"|",
            "newgame [T][E][M][] !0 7");
        row("newgame: no comment line", QByteArray(ReadmeNewgame).replace("// This mission's title.\r\n", ""),
            "newgame [The Ring][Easy][Hard][Expert] !2");
        row("missflag: a skip line missing", Header + "miss_1:\"skip\"|" + mission("3", "x"), "missflag [3][x] !0");
        row("missflag: no flags", Header + "miss_1:\"no_briefing\"|", "missflag [1][no_briefing] !9");
        row("missflag: two mission lines", Header + mission("1", "a") + mission("2", "b"), "missflag [2][b] !0 9");
        row("missflag: no header", mission("1", "a"), "missflag [1][a] !0");
        row("titles: short title differs", "title_ab: \"Say \"hi\"\"|short_ab: \"Hi\"|", "titles [ab][Say \"hi\"] !2");
        row("titles: no short_", "// Objectives screen text.|title_1: \"T\"|", "titles [1][T] !0");
        row("titles: a goal line", "// Objectives screen text.|title_1: \"T\"|fiction_0: x|// Save game "
            "dialog text.|short_1: \"T\"|", "titles [1][T] !3");
        // Refused
        QRandomGenerator rng(6);
        QByteArray binary = "B", controls = "C";
        while (binary.size() < 4096) {
            binary += static_cast<char>(rng.bounded(256));
            controls += static_cast<char>(rng.bounded(2) ? 'a' + rng.bounded(26) : 1 + rng.bounded(8));
        }
        const auto hex = [](const char *digits) { return QByteArray::fromHex(digits); };
        const char *noEntry = "The file holds no entry of a book, goals.str, newgame.str, missflag.str or "
                              "Titles.str (lines such as Page_0:\"...\" or title_20: \"...\").";
        row("0 bytes", {}, "The file is empty.");
        row("PNG", hex("89504e470d0a1a0a0000000d49484452"), "The file is a PNG picture, not a text file.");
        row("JPEG", hex("ffd8ffe000104a46494600"), "The file is a JPEG picture, not a text file.");
        row("random bytes", binary, "The file is not a text file: it holds NUL bytes, which text never does.");
        row("control codes", controls,
            "The file is not a text file: it is full of control codes that text does not use.");
        row("UTF-16", hex("fffe50006100670065005f0030003a00"), "The file is saved as UTF-16 (\"Unicode\"). Save it as "
            "ANSI or UTF-8 in your editor and open it again.");
        row("prose", "Dear diary,|today: \"nothing\".|", noEntry);
        row("only the missflag header", Header, noEntry);
    }

    void readsHandWrittenFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QCOMPARE(described(StrReader::read(bytes, windows1252)), expected);
    }

    // What readFile says of a path; %1 stands for the path as shown.
    void readsOnlyFilesItCanRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");   // a file of that many bytes (zeros), a Folder, or Nothing
        QTest::addColumn<QString>("result");
        const QString tooLarge = u"The file %1 is %2; the files of a mission are never larger than 16.00 MiB, so it "
                                 "is not read."_s;
        QTest::newRow("folder") << u"Books"_s << Folder << u"%1 is a folder, not a file."_s;
        QTest::newRow("missing") << u"gone.str"_s << Nothing << u"There is no file %1."_s;
        QTest::newRow("16 MiB and a byte") << u"big.str"_s << StrReader::MaxFileSize + 1
                                           << tooLarge.arg(u"%1"_s, u"16.00 MiB"_s);
        QTest::newRow("a name of 300 characters") << QString(300, u'n') << Nothing
                                                  << u"The path %1 is too long to be opened."_s;
    }

    void readsOnlyFilesItCanRead()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QString, result);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QFile file(path);
        if (size == Folder)
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (size >= 0)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));   // sparse, so quick
        file.close();
        QString shown = QDir::toNativeSeparators(path);
        if (shown.size() > 80)
            shown = shown.first(80) + QChar(0x2026);
        QCOMPARE(described(StrReader::readFile(path, windows1252)), result.replace(u"%1"_s, shown));
    }

    // 50 pages of 100 KB, the largest book the program writes.
    void readsTheLargestBookQuickly()
    {
        const QString text = u"The door \"\u00E9.\": // \r\n"_s.repeated(5000);   // 100 KB
        BookState book;
        QMap<int, QString> pages;
        for (int slot = 0; slot < BookState::SlotCount; ++slot)
            book.Pg.append(BookFile::pageEntry(slot, pages[slot] = text));
        const QByteArray bytes = FileOutput::fileBytes(BookFile::content(book, {}).lines(), 1252).value_or("");
        std::variant<Result, StrReader::Failure> read;
        QBENCHMARK {
            read = StrReader::read(bytes, windows1252);
        }
        QVERIFY(std::holds_alternative<Result>(read) && std::get<Result>(read).book.pages == pages);
    }
};

QTEST_GUILESS_MAIN(TestStrReader)
#include "tst_strreader.moc"
