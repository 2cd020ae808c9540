// Spelling: the words of a text, a Hunspell dictionary made here (one in
// ISO 8859-2, so that words are converted both ways), the mission's word
// list, and the lines `quillwright --check --spelling` prints.
#include "core/mission/check/checkreport.h"
#include "core/mission/folder.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/spelling/wordforms.h"
#include "support/testing.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <latch>
#include <thread>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

void writeDictionary(const QString &folder, const QString &name, const QByteArray &aff, const QByteArray &dic)
{
    Testing::writeAll(folder + u'/' + name + u".aff"_s, aff);
    Testing::writeAll(folder + u'/' + name + u".dic"_s, dic);
}

QStringList checkLines(const QString &mission, const QString &dictionaries, bool asErrors, int *code,
                       bool suggest = true, bool unknownWords = false)
{
    MissionFolder::CheckOptions options;
    options.spelling = true;
    options.spellingAsErrors = asErrors;
    options.suggest = suggest;
    options.unknownWords = unknownWords;
    options.dictionaryFolders = {dictionaries};
    QStringList lines;
    *code = MissionFolder::check({mission}, std::nullopt,
                                 [&](const QString &line) { lines.append(QDir::fromNativeSeparators(line)); }, options);
    return lines;
}

} // namespace

class TestSpelling : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dictionaries;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dictionaries.isValid());
        writeDictionary(m_dictionaries.path(), u"en_US"_s, "SET UTF-8\nTRY esiatnrolhdkgwy'\nWORDCHARS '\n",
                        "10\nthe\nof\nknight\nsaid\ndon't\ngo\nto\ntower\ntowers\nworld\n");
        // Polish in its own encoding (ź is 0xBC there, 0x9F in Windows-1250): "źle" and "powiedział" as ISO 8859-2 bytes.
        writeDictionary(m_dictionaries.path(), u"pl_PL"_s, "SET ISO8859-2\nTRY \xBC" "elrpowiedza\xB3\n",
                        "3\n\xBC" "le\npowiedzia\xB3\nrycerz\n");
    }

    void words_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain") << u"The door, locked."_s << QStringList{u"The"_s, u"door"_s, u"locked"_s};
        QTest::newRow("escapes") << u"one\\ntwo \\\"three\\\""_s << QStringList{u"one"_s, u"two"_s, u"three"_s};
        QTest::newRow("printf") << u"%d men, %s and %-5.2f%%"_s << QStringList{u"men"_s, u"and"_s};
        QTest::newRow("qt placeholders") << u"%1 of %2"_s << QStringList{u"of"_s};
        QTest::newRow("numbers") << u"12 men, 3rd MP5 key_name"_s << QStringList{u"men"_s};
        QTest::newRow("apostrophes") << u"don't l'eau 'quoted' it’s"_s
                                     << QStringList{u"don't"_s, u"l'eau"_s, u"quoted"_s, u"it’s"_s};
        QTest::newRow("hyphens") << u"well-known - x- -y"_s << QStringList{u"well-known"_s, u"x"_s, u"y"_s};
        QTest::newRow("polish") << u"Źle, powiedział rycerz."_s << QStringList{u"Źle"_s, u"powiedział"_s, u"rycerz"_s};
        QTest::newRow("russian") << u"Ёж сказал: «нет»."_s << QStringList{u"Ёж"_s, u"сказал"_s, u"нет"_s};
        QTest::newRow("line breaks") << u"end\r\nstart"_s << QStringList{u"end"_s, u"start"_s};
        QTest::newRow("backslash at the end") << u"word\\"_s << QStringList{u"word"_s};
    }
    void words()
    {
        QFETCH(QString, raw);
        QStringList found;
        for (const Spelling::Word &word : Spelling::words(raw))
            found.append(raw.sliced(word.start, word.length));
        QFETCH(QStringList, expected);
        QCOMPARE(found, expected);
    }

    void spellsInTheDictionarysEncoding()
    {
        Error error;
        const std::unique_ptr<Spelling::SpellChecker> polish =
            Spelling::openDictionary(u"polish"_s, {m_dictionaries.path()}, &error);
        QVERIFY2(polish, qPrintable(error.message));
        QVERIFY(polish->isKnown(u"powiedział"_s));
        QVERIFY(polish->isKnown(u"Źle"_s));
        QVERIFY(!polish->isKnown(u"powiedziak"_s));
        QVERIFY(!polish->isKnown(u"Ёж"_s));   // not in the encoding: unknown, not a crash
        QVERIFY(polish->suggestions(u"źel"_s).contains(u"źle"_s));
        polish->addWord(u"Grzegórz"_s);
        QVERIFY(polish->isKnown(u"Grzegórz"_s));
        QVERIFY(!Spelling::openDictionary(u"klingon"_s, {m_dictionaries.path()}, &error));
        QVERIFY(error.message.contains(u"klingon"_s));
    }

    // Dictionaries opened and closed on several threads at once (the
    // window's, the translation window's, the check's) each spell as one
    // alone; the sanitizer build sees that nothing is lost or freed twice.
    void dictionariesOpenAtOnceOnManyThreads()
    {
        const QString folder = m_dictionaries.path();
        std::atomic_int wrong{0};
        for (int round = 0; round < 40; ++round) {
            std::latch ready(8);
            std::vector<std::thread> threads;
            for (int i = 0; i < 8; ++i) {
                threads.emplace_back([&] {
                    ready.arrive_and_wait();
                    const auto english = Spelling::openHunspell(folder + u"/en_US.aff"_s, folder + u"/en_US.dic"_s);
                    if (!english || !english->isKnown(u"knight"_s) || english->isKnown(u"knigth"_s))
                        ++wrong;
                });
            }
            for (std::thread &thread : threads)
                thread.join();
        }
        QCOMPARE(wrong.load(), 0);
    }

    void readsTheWordList()
    {
        QTemporaryDir mission;
        const QString path = Spelling::wordListPath(mission.path(), u"english"_s);
        QCOMPARE(Spelling::readWordList(path).words, QStringList());   // none yet
        Testing::writeAll(path, "Mirkhold\n# a comment\n\nKrasnov\n");
        Spelling::WordList list = Spelling::readWordList(path);
        QCOMPARE(list.words, (QStringList{u"Mirkhold"_s, u"Krasnov"_s}));
        QVERIFY(list.problem.isEmpty());

        Testing::writeAll(path, "Mirkhold\nZ\xB3y\n");
        list = Spelling::readWordList(path);
        QCOMPARE(list.words, QStringList());
        QVERIFY2(list.problem.contains(u"not UTF-8 (line 2)"_s), qPrintable(list.problem));

        QByteArray many;
        for (int i = 0; i < 1000000; ++i)
            many += "word\n";
        Testing::writeAll(path, many);
        list = Spelling::readWordList(path);
        QCOMPARE(list.words.size(), Spelling::MaxWordListLines);
        QVERIFY2(list.problem.contains(u"more than 100000 lines"_s), qPrintable(list.problem));
    }

    void addedWordIsKnownEverywhere()
    {
        QTemporaryDir mission;
        Spelling::Service first({m_dictionaries.path()});
        Spelling::Service second({m_dictionaries.path()});
        first.setMissionFolder(mission.path());
        second.setMissionFolder(mission.path());
        QSignalSpy ready(&first, &Spelling::Service::ready);
        first.request(u"english"_s);
        QVERIFY(ready.wait(10000));
        second.waitFor(u"english"_s);
        QVERIFY(!first.isKnown(u"english"_s, u"Mirkhold"_s));
        QVERIFY(first.suggestions(u"english"_s, u"wrold"_s).contains(u"world"_s));

        QSignalSpy changed(&first, &Spelling::Service::wordsChanged);
        Error error;
        QVERIFY2(first.addToMission(u"english"_s, u"Mirkhold"_s, &error), qPrintable(error.message));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.constFirst().constFirst().toString(), u"english"_s);
        QVERIFY(first.isKnown(u"english"_s, u"Mirkhold"_s));
        QVERIFY(second.isKnown(u"english"_s, u"Mirkhold"_s));   // read from the shared list
        QVERIFY(first.addToMission(u"english"_s, u"Krasnov"_s, &error));
        QFile list(Spelling::wordListPath(mission.path(), u"english"_s));
        QVERIFY(list.open(QIODevice::ReadOnly));
        QCOMPARE(list.readAll(), QByteArray("Mirkhold\nKrasnov\n"));

        first.ignore(u"english"_s, u"Zorg"_s);
        QVERIFY(first.isKnown(u"english"_s, u"Zorg"_s));
        QVERIFY(!second.isKnown(u"english"_s, u"Zorg"_s));

        QSignalSpy missing(&first, &Spelling::Service::noDictionary);
        first.waitFor(u"klingon"_s);
        first.request(u"klingon"_s);
        QCOMPARE(missing.size(), 1);
        QVERIFY(first.isKnown(u"klingon"_s, u"Qapla"_s));   // nothing is marked without a dictionary
    }

    // The mission's language goes into its settings and is read back by the
    // next window; English without one.
    void keepsTheMissionsLanguage()
    {
        QTemporaryDir mission;
        Spelling::Service first;
        Spelling::Service second;
        QCOMPARE(first.missionLanguage(), u"english"_s);
        QVERIFY(!first.setMissionLanguage(u"polish"_s));   // no mission open
        first.setMissionFolder(mission.path());
        QSignalSpy changed(&first, &Spelling::Service::languagesChanged);
        QVERIFY(first.setMissionLanguage(u"Polish"_s));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(first.missionLanguage(), u"polish"_s);
        second.setMissionFolder(mission.path());
        QCOMPARE(second.missionLanguage(), u"polish"_s);
        QCOMPARE(second.languageOf(mission.filePath(u"books/Diary.str"_s)), u"polish"_s);
        QCOMPARE(second.languageOf(mission.filePath(u"books/czech/Diary.str"_s)), u"czech"_s);
    }

    // The window spells a folder in the language of its texts' code page:
    // Polish kept in english folders as Polish, unless the settings say otherwise.
    void windowSpellsTheFoldersLanguage()
    {
        QTemporaryDir mission;
        QVERIFY(QDir(mission.path()).mkpath(u"books/english"_s));
        Testing::writeAll(mission.filePath(u"books/english/book.str"_s),
                          "Page_0: \"Rycerz powiedzia\xB3 \x9F" "le, \xBF" "e \xB3" "\xB9" "ka \x9C" "piewa\"\r\n");
        Testing::writeAll(mission.filePath(u"note.str"_s), "x: \"Zamek b\xEA" "dzie \xBF" "\xF3\xB3ty\"\r\n");
        Spelling::Service service({m_dictionaries.path()});
        service.setMissionFolder(mission.path());
        const QString book = mission.filePath(u"books/english/book.str"_s);
        QCOMPARE(service.languageOf(book), u"english"_s);
        QSignalSpy changed(&service, &Spelling::Service::languagesChanged);
        service.setScan(MissionFolder::scan(mission.path()));
        QCOMPARE(service.languageOf(book), u"polish"_s);
        QCOMPARE(service.missionLanguage(), u"polish"_s);
        QCOMPARE(changed.size(), 1);
        service.setScan(MissionFolder::scan(mission.path()));
        QCOMPARE(changed.size(), 1);   // nothing changed: no box checks its text again
        // Polish in english folders alone: the mission is Polish.
        QVERIFY(QFile::remove(mission.filePath(u"note.str"_s)));
        Spelling::Service alone({m_dictionaries.path()});
        alone.setMissionFolder(mission.path());
        alone.setScan(MissionFolder::scan(mission.path()));
        QCOMPARE(alone.missionLanguage(), u"polish"_s);
        Testing::writeAll(mission.filePath(u"quillwright.ini"_s), "[spelling]\nenglish=czech\n");
        Spelling::Service set({m_dictionaries.path()});
        set.setMissionFolder(mission.path());
        set.setScan(MissionFolder::scan(mission.path()));
        QCOMPARE(set.languageOf(book), u"czech"_s);
    }

    void checkNotesUnknownWords()
    {
        QTemporaryDir mission;
        for (const char *language : {"english", "polish", "klingon"})
            QVERIFY(QDir(mission.path()).mkpath(u"books/"_s + QLatin1String(language)));
        Testing::writeAll(mission.filePath(u"books/english/book.str"_s),
                          "Page_0: \"The knihgt said:\\n don't go to %d towers\"\r\nPage_1:\"Tower\r\nof the wrold\"\r\n");
        Testing::writeAll(mission.filePath(u"books/polish/book.str"_s),
                          "Page_0: \"Rycerz powiedzia\xB3 \x9F" "el\"\r\nPage_1:\"Wie\xBF" "a\"\r\n");
        Testing::writeAll(mission.filePath(u"books/klingon/book.str"_s), "Page_0: \"Qapla\"\r\nPage_1:\"batlh\"\r\n");
        Testing::writeAll(mission.filePath(u"dictionary-polish.txt"_s), "Wieża\n");
        int code = -1;
        const QStringList expected = {
            u"books/english/book.str:1:14: note: \"knihgt\" is not in the english dictionary; perhaps knight. [unknown-word]"_s,
            u"books/english/book.str:3:8: note: \"wrold\" is not in the english dictionary; perhaps world. [unknown-word]"_s,
            u"books/klingon/book.str: note: No dictionary for klingon (klingon) in "_s + m_dictionaries.path()
                + u": its words are not checked. [no-dictionary]"_s,
            u"books/polish/book.str:1:28: note: \"źel\" is not in the polish dictionary; perhaps źle. [unknown-word]"_s,
            u"4 notes in 3 of 3 files."_s,
        };
        const QStringList lines = checkLines(mission.path(), m_dictionaries.path(), false, &code);
        QCOMPARE(lines, expected);
        QCOMPARE(code, 0);
        // Without --suggest the dictionary is not asked for suggestions.
        QCOMPARE(checkLines(mission.path(), m_dictionaries.path(), false, &code, false).first(),
                 u"books/english/book.str:1:14: note: \"knihgt\" is not in the english dictionary. [unknown-word]"_s);
        QStringList errors = checkLines(mission.path(), m_dictionaries.path(), true, &code);
        QCOMPARE(errors.first(), QString(expected.first()).replace(u"note:"_s, u"error:"_s));
        QCOMPARE(code, 1);
    }

    // A damaged or huge dictionary is refused with its reason; a word too
    // long to check and a word in a script the dictionary does not know are
    // left unmarked, and the check says so once for the file.
    void badInputIsToldAndLeftOut()
    {
        QTemporaryDir folder;
        writeDictionary(folder.path(), u"de_DE"_s, "SET UTF-8\n", "Haus\nBaum\n");
        Error error;
        QVERIFY(!Spelling::openHunspell(folder.filePath(u"de_DE.aff"_s), folder.filePath(u"de_DE.dic"_s), &error));
        QVERIFY2(error.message.contains(u"is damaged: its first line is not the number of its words"_s), qPrintable(error.message));
        writeDictionary(folder.path(), u"fr_FR"_s, "SET UTF-8\n", "1\nmaison\n");
        QFile huge(folder.filePath(u"fr_FR.dic"_s));
        QVERIFY(huge.open(QIODevice::ReadWrite) && huge.resize(Spelling::MaxDictionaryBytes + 1));
        huge.close();
        QVERIFY(!Spelling::openHunspell(folder.filePath(u"fr_FR.aff"_s), huge.fileName(), &error));
        QVERIFY2(error.message.contains(u"is too large to be loaded"_s), qPrintable(error.message));

        Spelling::Service service({m_dictionaries.path()});
        service.waitFor(u"english"_s);
        const QString longWord(100000, u'k');
        QVERIFY(service.isKnown(u"english"_s, longWord));                     // not marked
        QVERIFY(service.isKnown(u"english"_s, u"\u041F\u0440\u0438\u0432\u0435\u0442"_s));   // Cyrillic: not marked
        QVERIFY(!service.isKnown(u"english"_s, u"wrold"_s));

        QTemporaryDir mission;
        QVERIFY(QDir(mission.path()).mkpath(u"books/english"_s));
        Testing::writeAll(mission.filePath(u"books/english/book.str"_s),
                          "Page_0: \"The " + QByteArray(100000, 'k') + " knight " + QByteArray(200, 'z') + "\"\r\n"
                          "Page_1:\"the wrold\"\r\n");
        int code = -1;
        const QStringList expected = {
            u"books/english/book.str:1:14: note: A word of 100000 letters is too long to be checked; such words are left out. [unchecked-word]"_s,
            u"books/english/book.str:2:13: note: \"wrold\" is not in the english dictionary; perhaps world. [unknown-word]"_s,
            u"2 notes in 1 file."_s,
        };
        QCOMPARE(checkLines(mission.path(), m_dictionaries.path(), false, &code), expected);
        QCOMPARE(code, 0);
    }

    // The word list's words match as the dictionaries' do: capitalised, in
    // capitals and with the possessive 's, but not a capitalised entry in
    // lower case.
    void wordListMatchesForms_data()
    {
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("known");
        QTest::newRow("itself") << u"Solana"_s << u"Solana"_s << true;
        QTest::newRow("capitals") << u"Solana"_s << u"SOLANA"_s << true;
        QTest::newRow("possessive") << u"Solana"_s << u"Solana's"_s << true;
        QTest::newRow("possessive in capitals") << u"Solana"_s << u"SOLANA'S"_s << true;
        QTest::newRow("typographic possessive") << u"Solana"_s << u"Solana\u2019s"_s << true;
        QTest::newRow("lower case of a name") << u"Solana"_s << u"solana"_s << false;
        QTest::newRow("capitalised word") << u"sword"_s << u"Sword"_s << true;
        QTest::newRow("odd capitals") << u"sword"_s << u"sWord"_s << false;
        QTest::newRow("another word") << u"Solana"_s << u"Solanas"_s << false;
    }
    void wordListMatchesForms()
    {
        QFETCH(QString, listed);
        QFETCH(QString, word);
        QFETCH(bool, known);
        QCOMPARE(Spelling::inWordList({listed}, word), known);
    }

    // Values the game takes as they stand are not spelled; each unknown word
    // is counted for the word list, most frequent first; Polish kept in an
    // english folder is spelled as Polish, and the check says so once.
    void spellsProseInItsLanguage()
    {
        QTemporaryDir mission;
        QVERIFY(QDir(mission.path()).mkpath(u"books/english"_s));
        Testing::writeAll(mission.filePath(u"books/english/book.str"_s),
                          "Page_0: \"Rycerz powiedzia\xB3 \x9F" "el, \x9F" "el Solana\"\r\n"
                          "Page_0_decal_0: \"#2 0 0 0 art/pbook\"\r\nno_trim: \"1\"\r\nfont: \"wrold\"\r\n");
        Testing::writeAll(mission.filePath(u"dictionary-polish.txt"_s), "Solana\n");
        int code = -1;
        QCOMPARE(checkLines(mission.path(), m_dictionaries.path(), false, &code, false),
                 QStringList({u"books/english/book.str: note: The texts of the english folders are in Windows-1250: "
                              "they are spelled in polish, whose dictionary knows 2 of their 4 most frequent words. "
                              "[spelling-language]"_s,
                              u"books/english/book.str:1:28: note: \"źel\" is not in the polish dictionary. [unknown-word]"_s,
                              u"books/english/book.str:1:33: note: \"źel\" is not in the polish dictionary. [unknown-word]"_s,
                              u"3 notes in 1 file."_s}));
        QCOMPARE(checkLines(mission.path(), m_dictionaries.path(), false, &code, false, true),
                 QStringList({u"# polish: 1 word no dictionary knows, for dictionary-polish.txt"_s, u"2 źel"_s}));
        // The mission's settings name the language of the folder.
        Testing::writeAll(mission.filePath(u"quillwright.ini"_s), "[spelling]\nenglish=english\n");
        QCOMPARE(checkLines(mission.path(), m_dictionaries.path(), false, &code, false).constLast(),
                 u"5 notes in 1 file."_s);
    }
};

QTEST_GUILESS_MAIN(TestSpelling)
#include "tst_spelling.moc"
