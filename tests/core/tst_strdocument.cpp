// Files as documents: what nobody changed is written back byte for byte, an
// edit changes only its entry's text, and the reader says what it keeps and
// what the game reads otherwise. Random documents of every style, a corpus
// written like real missions, and the reader's notes from a table.
#include "core/kinds/book.h"
#include "core/kinds/goals.h"
#include "core/kinds/missflag.h"
#include "core/kinds/newgame.h"
#include "core/kinds/opening.h"
#include "core/kinds/strreader.h"
#include "core/kinds/titles.h"
#include "support/testing.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using StrReader::Kind;

namespace {

const QList<QByteArray> Keys = {"Page_", "page_", "PAGE_", "fiction_", "text_", "title_", "miss_", "lamp_"};
const QList<QByteArray> Separators = {":\"", ": \"", " :  \"", "\t:\t\""};
const QList<QByteArray> Texts = {"", "It was dark.", "He said \\\"go\\\"", "C:\\\\maps", "one\\ntwo",
                                 "a raw\nline break", "// not a comment", "\xE9t\xE9", "continued\\\nline"};
const QList<QByteArray> Between = {"", "\n", "// a comment\n", "  \t\n", "not an entry\n"};

QByteArray pick(QRandomGenerator &rng, const QList<QByteArray> &list)
{
    return list[rng.bounded(static_cast<int>(list.size()))];
}

// A document of every style: keys in any case, blanks around colons,
// comments and stray lines between entries, text after closing quotes, LF or
// CR LF, and sometimes an unclosed last entry or no final line end.
QByteArray randomFile(QRandomGenerator &rng)
{
    QByteArray file;
    for (int i = rng.bounded(12); i >= 0; --i) {
        file += pick(rng, Between) + pick(rng, Keys) + QByteArray::number(rng.bounded(60)) + pick(rng, Separators)
              + pick(rng, Texts) + '"' + (rng.bounded(6) == 0 ? " // after" : "") + '\n';
    }
    if (rng.bounded(2))
        file.replace("\n", "\r\n");
    if (rng.bounded(5) == 0)
        file += "last:\"never closed";
    else if (rng.bounded(4) == 0)
        file.chop(file.endsWith("\r\n") ? 2 : 1);
    return file;
}

QByteArray corpus(const QString &name)
{
    QFile file(u":/corpus/"_s + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The file as its tab holds it, written again; with `edit`, one text changed as
// an author changes it there.
QByteArray throughTheTab(const StrReader::Result &file, int codePage, bool edit)
{
    const StrDocument &document = file.document;
    const QString changed = u"Now \"new\""_s;
    switch (file.kind) {
    case Kind::Book: {
        BookState book;
        BookFile::load(book, document);
        if (edit)
            book.Pg.store(1, book.Pg.at(1).section(u'"', 0, 0) + u'"' + document.escaped(changed) + u'"');
        const auto location = BookFile::locationLine(document);
        return std::get<StrDocument>(BookFile::document(book, location ? location->text : QString(), codePage))
            .write(codePage).value_or("<not written>");
    }
    case Kind::Goals: {
        GoalsState goals;
        GoalsFile::load(goals, document);
        if (edit)
            goals.GoalList.store(15, GoalsFile::goalEntry(document, 15, changed, u"Gate 15"_s));
        return std::get<StrDocument>(GoalsFile::document(goals, codePage)).write(codePage).value_or("<not written>");
    }
    case Kind::Newgame: {
        const NewgameFile::Texts opened = NewgameFile::texts(document);
        NewgameFile::Texts now = opened;
        if (edit)
            now.title = changed;
        return NewgameFile::document(document, opened, now).write(codePage).value_or("<not written>");
    }
    case Kind::Missflag: {
        MissflagTable table(document);
        const int row = table.rowOf(MissflagFile::missions(document).at(1));
        if (edit)
            table.setData(table.index(row, MissflagTable::Text), u"no_loadout"_s);
        return table.document().write(codePage).value_or("<not written>");
    }
    case Kind::Titles: {
        TitlesTable table(document);
        const int row = table.rowOf(TitlesFile::missions(document).at(1));
        if (edit)
            table.setData(table.index(row, TitlesTable::Title), changed);
        return table.document().write(codePage).value_or("<not written>");
    }
    case Kind::Other: {
        StrDocument other = document;
        if (edit)
            other.setText(1, changed, {});
        return other.write(codePage).value_or("<not written>");
    }
    }
    return {};
}

QString notes(const StrReader::Result &file)
{
    QStringList lines;
    for (const StrReader::Note &note : file.notes)
        lines.append(QString::number(note.line) + (note.severity == StrReader::Note::Differs ? u"! "_s : u" "_s)
                     + note.text);
    return lines.join(u'\n');
}

} // namespace

class TestStrDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomDocumentsSurvive()
    {
        QRandomGenerator rng(20261207);
        for (int round = 0; round < 400; ++round) {
            const QByteArray bytes = randomFile(rng);
            const StrDocument document(bytes, {1252, false});
            QCOMPARE(document.write(1252).value_or("<not written>"), bytes);
            if (document.entries().isEmpty())
                continue;
            const int entry = rng.bounded(static_cast<int>(document.entries().size()));
            const StrDocument::Entry &e = document.entries().at(entry);
            const QString text = QString::fromLatin1(pick(rng, {"", "say \"no\"", "C:\\x\\", "one\r\ntwo", "\xE9"}));
            StrDocument edited = document;
            edited.setText(entry, text, {});
            const QByteArray written = edited.write(1252).value_or("<not written>");
            QCOMPARE(written.first(e.textStart), bytes.first(e.textStart));
            QCOMPARE(written.sliced(written.size() - (bytes.size() - e.textEnd)), bytes.sliced(e.textEnd));
            QCOMPARE(StrDocument(written, {1252, false}).text(entry), text);
        }
    }

    void corpus_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("before");   // what the one edit replaces
        QTest::addColumn<QByteArray>("after");
        const QByteArray quoted = "Now \\\"new\\\"";
        QTest::newRow("an illustrated book") << u"diary.str"_s << 1252 << int(Kind::Book)
                                             << QByteArray("He said \\\"wait\\\" and left.") << quoted;
        QTest::newRow("a book from Page_1, LF") << u"letter.str"_s << 1252 << int(Kind::Book)
                                                << QByteArray("the roads are closed\nsince the flood.") << quoted;
        QTest::newRow("upper-case keys") << u"orders.str"_s << 1252 << int(Kind::Book)
                                         << QByteArray("Keep the gate shut\\\\") << quoted;
        QTest::newRow("22 goals") << u"goals.str"_s << 1252 << int(Kind::Goals)
                                  << QByteArray("Reach the 15th gate.") << quoted;
        QTest::newRow("a translated newgame.str") << u"newgame.str"_s << 1252 << int(Kind::Newgame)
                                                  << QByteArray("Der Ring") << quoted;
        QTest::newRow("a campaign's flags") << u"missflag.str"_s << 1252 << int(Kind::Missflag)
                                            << QByteArray("no_briefing,no_loadout\"") << QByteArray("no_loadout\"");
        QTest::newRow("a campaign's titles") << u"titles.str"_s << 1250 << int(Kind::Titles)
                                             << QByteArray("Zamek w g\xF3rach") << quoted;
        QTest::newRow("object names") << u"objnames.str"_s << 1252 << int(Kind::Other) << QByteArray("Lamp") << quoted;
    }
    void corpus()
    {
        QFETCH(QString, name);
        QFETCH(int, codePage);
        QFETCH(int, kind);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        const QByteArray bytes = ::corpus(name);
        const auto read = StrReader::read(bytes, codePage);
        QVERIFY(std::holds_alternative<StrReader::Result>(read));
        const StrReader::Result &file = std::get<StrReader::Result>(read);
        QCOMPARE(int(file.kind), kind);
        QVERIFY2(!notes(file).contains(u"! "_s), qPrintable(notes(file)));   // nothing the game reads otherwise
        QCOMPARE(throughTheTab(file, codePage, false), bytes);
        QCOMPARE(bytes.count(before), 1);
        QCOMPARE(throughTheTab(file, codePage, true), QByteArray(bytes).replace(before, after));
    }

    void notesWhatItKeepsAndWhatDiffers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");   // the kind, then each note: line, ! for what differs, text
        QTest::newRow("key case tells the kind") << QByteArray("Fiction_0:\"a\"\nTEXT_0:\"b\"\n") << u"1"_s;
        QTest::newRow("a location line alone") << QByteArray("// Book Location - Attic\r\n") << u"0"_s;
        QTest::newRow("text after the quote")
            << QByteArray("Page_0:\"a\" b\n")
            << u"0\n1! The game stops reading Page_0 at its closing quote and does not show \u201Cb\u201D."_s;
        QTest::newRow("a bare quote")
            << QByteArray("Page_0:\"He said \"go\" now\"\n")
            << u"0\n1! Page_0 holds a quote that the game takes for the end of its text, so the game shows only "
               "\u201CHe said \u201D. Repair takes the whole line as the text and writes its quotes as \\\"."_s;
        QTest::newRow("unclosed") << QByteArray("miss_3:\"skip\nmiss_4: x\n")
                                  << u"3\n1! miss_3 has no closing quote: in the game its text runs to the end of "
                                     "the file, taking in every line after it."_s;
        QTest::newRow("kept, not shown")
            << QByteArray("page_0:\"a\"\nnotes\nmore\npage_0:\"b\"\nPage_2:\"c\"\nPage_99:\"d\"\nno_trim:\"1\"\n")
            << u"0\n0 The book has no Page_1, although later pages follow.\n"
               "2 Lines 2 to 3 are not entries, so the game does not read them; they are kept as they stand.\n"
               "4 page_0 appears again (first on line 1); the tab shows the first, and this one is kept as it "
               "stands.\n6 Page_99 is beyond the 50 pages the tab shows; it is kept as it stands.\n"
               "7 The tab does not show no_trim; kept as it stands."_s;
        QTest::newRow("a comment after the quote") << QByteArray("Page_0:\"a\" // first\n") << u"0"_s;
        QTest::newRow("flag lines that are no missions")
            << QByteArray("miss_1:\"skip\"\nmiss_2:\"end\"\nmiss_2_next:\"4\"\nmiss_10_endmovie:\"x\"\n")
            << u"3\n3 The tab does not show miss_2_next, miss_10_endmovie; kept as it stands."_s;
        QTest::newRow("; in a string table")
            << QByteArray("; names\nobj_a:\"a\"\n") << u"5"_s;
        QTest::newRow("; in a book") << QByteArray("; pages\nPage_0:\"a\"\n")
                                     << u"0\n1 This line is not an entry, so the game does not read it; it is kept as "
                                        "it stands."_s;
        QTest::newRow("a goal far beyond the others")
            << QByteArray("fiction_0:\"a\"\ntext_0:\"b\"\nfiction_3:\"c\"\ntext_3:\"d\"\n"
                          "fiction_900000000:\"e\"\ntext_900000000:\"f\"\n")
            << u"1\n0 There is no goal 1, 2, 4, 5, 6, 7, 8, 9, 10, 11 and 899999988 more (no fiction_ or text_ "
               "line), although later goals follow."_s;
        QTest::newRow("a goal without its text") << QByteArray("fiction_0:\"a\"\n")
                                                 << u"1\n1 There is a fiction_0 but no text_0."_s;
        QTest::newRow("several missions")
            << QByteArray("miss_1:\"skip\"\nmiss_2:\"end\"\nmiss_3:\"end\"\n")
            << u"3"_s;
        QTest::newRow("no opening quote") << QByteArray("Page_0:\"a\"\nPage_1: b\n")
                                          << u"0\n2 Page_1 has no opening quote after its colon, so the game does "
                                             "not read it as an entry; it is kept as it stands."_s;
        QTest::newRow("a byte the code page lacks")
            << QByteArray("Page_0:\"\x81\"\n")
            << u"0\n1! The byte 0x81 is not defined in the code page; it is read as \uFFFD."_s;
        QTest::newRow("no entry at all") << QByteArray("just words\n")
                                         << u"The file holds no entry of a book, goals.str, newgame.str, "
                                            "missflag.str or Titles.str (lines such as Page_0:\"...\" or title_20: "
                                            "\"...\")."_s;
        QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n....")
                                   << u"The file is a PNG picture, not a text file."_s;
    }
    void notesWhatItKeepsAndWhatDiffers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const auto read = StrReader::read(bytes, 1252);
        if (const auto *failure = std::get_if<Error>(&read)) {
            QCOMPARE(failure->message, expected);
            return;
        }
        const StrReader::Result &file = std::get<StrReader::Result>(read);
        QCOMPARE(QString::number(int(file.kind)) + (file.notes.isEmpty() ? QString() : u'\n' + notes(file)), expected);
    }

    void repairsBareQuotes()
    {
        const auto read = StrReader::read("Page_0:\"He said \"go\" now\"\r\nPage_1:\"x\"\r\n", 1252);
        const StrDocument repaired = StrReader::repaired(std::get<StrReader::Result>(read), 1252);
        QCOMPARE(repaired.write(1252).value_or(""), "Page_0:\"He said \\\"go\\\" now\"\r\nPage_1:\"x\"\r\n");
    }

    // Many notes: the first few dozen are listed, the rest counted, all in the details.
    void boundsTheMessage()
    {
        QByteArray bytes;
        for (int i = 0; i < 100; ++i)
            bytes += "Page_" + QByteArray::number(i % 50) + ":\"x\" after\n";
        const auto message = Opening::message(std::get<StrReader::Result>(StrReader::read(bytes, 1252)), 1252, u"f"_s);
        QVERIFY(message && message->asks);
        QCOMPARE(message->text.count(u"Line "_s), Opening::MaxShown);
        QVERIFY2(message->text.contains(u"\u2026 and 110 more (see the details)."_s), qPrintable(message->text));
        QCOMPARE(message->details.count(u'\n') + 1, 150);
    }

    // A UTF-8 file is written in the code page: its byte-order mark goes and
    // its letters are converted.
    void writesAUtf8FileInTheCodePage()
    {
        const auto read = StrReader::read("\xEF\xBB\xBFPage_0:\"\xC3\xA9t\xC3\xA9\"\n", 1252);
        const StrReader::Result &file = std::get<StrReader::Result>(read);
        QVERIFY(file.utf8);
        QCOMPARE(file.document.write(1252).value_or(""), "Page_0:\"\xE9t\xE9\"\n");
    }

    // A doubled byte-order mark: the second is a character of the first key,
    // kept as the file has it and not dropped on the way back.
    void keepsADoubledMarkAsText()
    {
        const auto read = StrReader::read("\xEF\xBB\xBF\xEF\xBB\xBFPage_0:\"a\"\nPage_1:\"b\"\n", 1252);
        StrDocument utf8 = std::get<StrReader::Result>(read).document;
        QCOMPARE(utf8.key(0), u"\uFEFFPage_0"_s);
        QCOMPARE(utf8.columnOf(utf8.entries().at(0).keyEnd), 8);
        utf8.setText(1, u"c"_s, {});
        QCOMPARE(utf8.write(1252), std::nullopt);   // Windows-1252 has no U+FEFF
    }

    // Changes where others begin, and at the start of a file with a byte-order mark.
    void changesAtTheEdges()
    {
        StrDocument book("Page_0:\"a\"\nPage_1:\"b\"\n", {1252, false});
        book.removeEntry(1);
        book.insertLines(book.entries().at(0).end, u"Page_1:\"c\""_s);
        QCOMPARE(book.write(1252).value_or(""), "Page_0:\"a\"\nPage_1:\"c\"\n");

        const QByteArray marked = "\xEF\xBB\xBF// Book Location - Cellar\nPage_0:\"a\"\nPage_1:\"b\"\n";
        const auto read = StrReader::read(marked, 1252);
        StrDocument utf8 = std::get<StrReader::Result>(read).document;
        QCOMPARE(BookFile::locationLine(utf8).value_or(BookFile::Location{}).text, u"Cellar"_s);
        utf8.removeEntry(0);
        utf8.replace(0, utf8.entries().at(0).start, QString());
        QCOMPARE(utf8.write(1252).value_or(""), "Page_1:\"b\"\n");
    }

    // An entry set or put in by key and text is written as the file writes
    // its entries: separator, quotes, line end, escapes.
    void writesEntriesInTheFilesStyle_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("insert");   // a new entry after the last; else the first set anew
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        const QString quoted = u"say \"go\" C:\\maps"_s;
        QTest::newRow("blank after the colon") << "a_0: \"x\"\r\n"_ba << true << u"t"_s << "a_0: \"x\"\r\nb_1: \"t\"\r\n"_ba;
        QTest::newRow("no blank") << "Key:\"x\"\r\n"_ba << true << u"t"_s << "Key:\"x\"\r\nb_1:\"t\"\r\n"_ba;
        QTest::newRow("two blanks") << "key:  \"x\"\r\n"_ba << true << u"t"_s << "key:  \"x\"\r\nb_1:  \"t\"\r\n"_ba;
        QTest::newRow("LF") << "a:\"x\"\na: \"y\"\nc:\"z\"\n"_ba << true << u"t"_s
                            << "a:\"x\"\na: \"y\"\nc:\"z\"\nb_1:\"t\"\n"_ba;
        QTest::newRow("no last line end") << "a: \"x\""_ba << true << u"t"_s << "a: \"x\"\r\nb_1: \"t\"\r\n"_ba;
        QTest::newRow("new file") << QByteArray() << true << u"t"_s << "b_1: \"t\"\r\n"_ba;
        QTest::newRow("quote and backslash") << "a:\"x\"\n"_ba << true << quoted << "a:\"x\"\nb_1:\"say \\\"go\\\" C:\\\\maps\"\n"_ba;
        QTest::newRow("escaped line break") << "a:\"x\\ny\"\r\n"_ba << true << u"1\r\n2"_s
                                            << "a:\"x\\ny\"\r\nb_1:\"1\\n2\"\r\n"_ba;
        QTest::newRow("set keeps its own style") << "  a:  \"x\" // kept\nc: \"z\"\n"_ba << false << quoted
                                                 << "  b_1:  \"say \\\"go\\\" C:\\\\maps\" // kept\nc: \"z\"\n"_ba;
        QTest::newRow("set CR LF") << "Key:\"x\"\r\n"_ba << false << u"t"_s << "b_1:\"t\"\r\n"_ba;
    }
    void writesEntriesInTheFilesStyle()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, insert);
        QFETCH(QString, text);
        StrDocument document(file, {1252, false});
        if (insert)
            document.insertEntry(document.bytes().size(), u"b_1"_s, text, {}, document.entryStyle());
        else
            document.setEntry(0, u"b_1"_s, text, {});
        QTEST(document.write(1252).value_or("<not written>"), "written");
    }

    // A page added on the Books tab breaks its lines as the book's pages
    // do, and ends with the book's line end.
    void addsAPageAsTheBookWritesLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("written");   // the page added after the file's
        QTest::newRow("LF, raw breaks") << "Page_0:\"a\nb\"\n"_ba << "Page_1:\"He said \\\"go\\\"\nthen\"\n"_ba;
        QTest::newRow("CR LF, raw breaks") << "Page_0:\"a\r\nb\"\r\n"_ba
                                           << "Page_1:\"He said \\\"go\\\"\r\nthen\"\r\n"_ba;
        QTest::newRow("LF, no breaks") << "Page_0:\"a\"\n"_ba << "Page_1:\"He said \\\"go\\\"\nthen\"\n"_ba;
        QTest::newRow("LF, escaped breaks") << "Page_0:\"a\\nb\"\n"_ba << "Page_1:\"He said \\\"go\\\"\\nthen\"\n"_ba;
        QTest::newRow("a new book") << QByteArray() << "Page_0:\"He said \\\"go\\\"\r\nthen\"\r\n"_ba;
    }
    void addsAPageAsTheBookWritesLines()
    {
        QFETCH(QByteArray, file);
        BookState book;
        if (!file.isEmpty())
            BookFile::load(book, std::get<StrReader::Result>(StrReader::read(file, 1252)).document);
        // The Page box gives its text with CR LF (Widgets::storedText).
        book.Pg.append(BookFile::pageEntry(book.document, BookFile::nextPageNumber(book), u"He said \"go\"\r\nthen"_s));
        const auto saved = BookFile::document(book, QString(), 1252);
        QVERIFY(std::holds_alternative<StrDocument>(saved));
        QFETCH(QByteArray, written);
        QCOMPARE(std::get<StrDocument>(saved).write(1252).value_or("<not written>"), file + written);
    }

    // A line with a bare quote mended: the whole line is the text, its
    // quotes escaped, its line breaks as the entry writes them.
    void repairsAsTheEntryBreaksLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("escaped break") << "Page_0:\"say \"hi\"\\nnow\"\n"_ba << "Page_0:\"say \\\"hi\\\"\\nnow\"\n"_ba;
        QTest::newRow("raw break, LF") << "Page_0:\"say \"hi\"\nnow\"\n"_ba << "Page_0:\"say \\\"hi\\\"\nnow\"\n"_ba;
        QTest::newRow("a backslash kept") << "Page_0:\"C:\\\\ \"x\"\"\r\n"_ba << "Page_0:\"C:\\\\ \\\"x\\\"\"\r\n"_ba;
    }
    void repairsAsTheEntryBreaksLines()
    {
        QFETCH(QByteArray, file);
        const auto read = StrReader::read(file, 1252);
        QTEST(StrReader::repaired(std::get<StrReader::Result>(read), 1252).write(1252).value_or(""), "written");
    }

    // Find reads each text as the player does, and knows the file's line of
    // each of its characters.
    void readsTextsForFind_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("lines");   // the file's line of each character of the text
        QTest::newRow("escapes") << "a:\"\\\"q\\\"\\\\\\nz\"\n"_ba << u"\"q\"\\\nz"_s << QList<int>{1, 1, 1, 1, 1, 1};
        QTest::newRow("raw CR LF") << "x:\"\"\r\na:\"b\r\nc\"\r\n"_ba << u"b\nc"_s << QList<int>{2, 2, 3};
        QTest::newRow("continued line") << "a:\"b\\\r\nc\"\r\n"_ba << u"bc"_s << QList<int>{1, 2};
        QTest::newRow("quote on the next line") << "a:\n  \"b\nc\"\n"_ba << u"b\nc"_s << QList<int>{2, 2, 3};
    }
    void readsTextsForFind()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, lines);
        const StrDocument document(file, {1252, false});
        const StrDocument::ReadText read = document.readText(static_cast<int>(document.entries().size()) - 1);
        QTEST(read.text, "text");
        QList<int> found;
        for (qsizetype i = 0; i < read.text.size(); ++i)
            found.append(read.lineOf(i));
        QCOMPARE(found, lines);
    }

    void refusesWhatIsNoFile()
    {
        QTemporaryDir dir;
        const auto refusal = [](const QString &path) {
            const auto read = StrReader::readFile(path, 1252);
            return std::holds_alternative<Error>(read) ? std::get<Error>(read).message : u"read"_s;
        };
        QCOMPARE(refusal(dir.filePath(u"none.str"_s)),
                 u"There is no file "_s + QDir::toNativeSeparators(dir.filePath(u"none.str"_s)) + u'.');
        QVERIFY(refusal(dir.path()).endsWith(u" is a folder, not a file."_s));
        // A name whose bytes were not UTF-8 came in with replacement characters.
        QVERIFY(refusal(dir.filePath(u"\uFFFD.str"_s)).endsWith(u" is not valid UTF-8, so it cannot be opened. Rename "
                                                              "the file, then open it again."_s));
#ifdef Q_OS_UNIX
        // A pipe with no writer would make reading wait for ever; a loop of
        // links has no file at its end. (Neither is made this way on Windows.)
        const QString fifo = dir.filePath(u"pipe.str"_s);
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(refusal(fifo).endsWith(u" is not an ordinary file."_s));
        QVERIFY(QFile::link(dir.filePath(u"b.str"_s), dir.filePath(u"a.str"_s)));
        QVERIFY(QFile::link(dir.filePath(u"a.str"_s), dir.filePath(u"b.str"_s)));
        QVERIFY2(refusal(dir.filePath(u"a.str"_s)).contains(u"is a link that leads back to itself"_s),
                 qPrintable(refusal(dir.filePath(u"a.str"_s))));
#endif
    }
};

QTEST_GUILESS_MAIN(TestStrDocument)
#include "tst_strdocument.moc"
