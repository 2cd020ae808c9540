// The whole mission at once, without a window: every .str file of a folder
// grouped by kind, language and mission; the check of each file and across
// files, as `quillwright --check` prints it; find and replace in the texts.
#include "core/mission/backgroundjob.h"
#include "core/missionfolder.h"
#include "support/testing.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

using Tree = QList<std::pair<QString, QByteArray>>;

const QByteArray Newgame = "difficulty:\"Level\"\r\nskip_training:\"The Door\"\r\ndiff_0:\"Easy\"\r\ndiff_1:\"Fair\"\r\n"
                           "diff_2:\"Hard\"\r\n";

// A mission in English and French, with nothing wrong in it; names in mixed case.
const Tree Mission = {
    {u"books/English/Diary.str"_s, "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door\r\nwas "
                                   "locked.\"\r\n"},
    {u"books/french/diary.str"_s, "Page_0:\"Il faisait nuit.\"\r\nPage_1:\"La porte\\n\xE9tait ferm\xE9" "e.\"\r\n"},
    {u"intrface/english/newgame.str"_s, Newgame},
    {u"intrface/French/NEWGAME.STR"_s, Newgame},
    {u"intrface/miss01/english/GOALS.STR"_s, "fiction_0:\"Find the key\"\r\ntext_0:\"Before darkness\"\r\n"},
    {u"intrface/miss01/french/goals.str"_s, "fiction_0:\"Trouver la clef\"\r\ntext_0:\"Avant la nuit\"\r\n"},
    {u"strings/missflag.str"_s, Testing::MissflagHeader + "miss_1:\"skip\"\r\nmiss_2:\"Go ,no_loadout, end\"\r\n"},
    {u"strings/english/titles.str"_s, "title_2: \"The Door\"\r\nshort_2: \"Door\"\r\n"},
    {u"strings/french/Titles.str"_s, "title_2: \"La Porte\"\r\nshort_2: \"Porte\"\r\n"},
    {u"objnames.str"_s, "obj_key:\"Key\"\r\nobj_gate:\"Gate\"\r\n"},
};

// The same with one fault of each kind.
const Tree Faulty = {
    {u"books/english/Diary.str"_s, "Page_0:\"It was dark.\"\r\nPage_1:\"The door\" ajar\r\nPage_0:\"Again\"\r\n"},
    {u"books/french/diary.str"_s, "Page_0:\"Nuit.\"\r\nPage_1:\"Porte\"\r\nPage_3:\"caf\x81\"\r\n"},
    {u"empty.str"_s, ""},
    {u"intrface/english/newgame.str"_s, "difficulty:\"L\"\r\nskip_training:\"T\"\r\ndiff_0:\"E\"\r\noops\r\ndiff_1:\"F\"\r\n"},
    {u"intrface/french/newgame.str"_s, Newgame},
    {u"intrface/miss01/english/GOALS.STR"_s, "fiction_0:\"Find\"\r\ntext_0:\"Bring\"\r\nfiction_1:\"Run\"\r\n"},
    {u"intrface/miss01/french/goals.str"_s, "fiction_0:\"Trouver\"\r\ntext_0:\"Porter\"\r\n"},
    {u"objnames.str"_s, "obj_key:\"\xD0\x96\"\r\nobj_door:\"Door \"big\" one\"\r\nobj_bad: Sword\r\n"},
    {u"strings/missflag.str"_s, Testing::MissflagHeader + "miss_1:\"skip\"\r\nmiss_2:\"Go\"\r\nmiss_3:\"On\"\r\n"},
    {u"strings/english/titles.str"_s, "title_2: \"The Door\"\r\ntitle_4: \"The Way\"\r\n"},
};

const QStringList FaultyLines = {
    u"books/english/Diary.str:2: The game stops reading Page_1 at its closing quote and does not show “ajar”."_s,
    u"books/english/Diary.str:3: Page_0 appears again (first on line 1)."_s,
    u"books/french/diary.str:0: The book has no Page_2, although later pages follow."_s,
    u"books/french/diary.str:3: The byte 0x81 is not defined in the code page; it is read as \uFFFD."_s,
    u"empty.str:0: The file is empty."_s,
    u"intrface/english/newgame.str:0: There is no diff_2 entry."_s,
    u"intrface/english/newgame.str:4: This line is not an entry; the game skips it."_s,
    u"intrface/miss01/english/GOALS.STR:3: There is a fiction_1 but no text_1."_s,
    u"objnames.str:0: The file is saved as UTF-8, but the game reads it in Windows-1252."_s,
    u"objnames.str:1: U+0416 “\u2068Ж\u2069” is not in Windows-1252."_s,
    u"objnames.str:2: obj_door holds a quote that ends its text early: the game shows only “Door ”."_s,
    u"objnames.str:3: obj_bad has no opening quote after its colon, so the game does not read it."_s,
    u"books/english/Diary.str:0: Page_3 is missing here, present in french."_s,
    u"intrface/english/newgame.str:0: diff_2 is missing here, present in french."_s,
    u"intrface/miss01/french/goals.str:0: fiction_1 is missing here, present in english."_s,
    u"strings/english/titles.str:2: Mission 4 has a title but no flags in strings/missflag.str."_s,
    u"strings/french/titles.str:0: Missing here, present in english."_s,
    u"strings/missflag.str:11: Mission 3 has flags but no title in strings/english/titles.str."_s,
    u"18 problems in 10 of 11 files (1 of them missing)."_s,
};

void write(const QString &root, const Tree &tree)
{
    for (const auto &[path, bytes] : tree) {
        QVERIFY(QDir(root).mkpath(QFileInfo(path).path()));
        Testing::writeAll(root + u'/' + path, bytes);
    }
}

QStringList checked(const QStringList &paths, int *code)
{
    QStringList lines;
    *code = MissionFolder::check(paths, std::nullopt, [&](const QString &line) { lines.append(line); });
    return lines;
}

const MissionFolder::File *fileAt(const MissionFolder::Scan &scan, const QString &path)
{
    const auto found = std::find_if(scan.files.cbegin(), scan.files.cend(),
                                    [&](const MissionFolder::File &file) { return file.relativePath == path; });
    return found == scan.files.cend() ? nullptr : &*found;
}

} // namespace

class TestMissionFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_mission.isValid() && m_faulty.isValid());
        write(m_mission.path(), Mission);
        write(m_faulty.path(), Faulty);
        m_scan = MissionFolder::scan(m_mission.path());
    }

    void groupsTheFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("place");   // group, language, mission, entries
        QTest::newRow("book") << u"books/English/Diary.str"_s << u"Books/english//2"_s;
        QTest::newRow("French book") << u"books/french/diary.str"_s << u"Books/french//2"_s;
        QTest::newRow("new game") << u"intrface/French/NEWGAME.STR"_s << u"New game/french//5"_s;
        QTest::newRow("goals") << u"intrface/miss01/english/GOALS.STR"_s << u"Goals/english/miss01/2"_s;
        QTest::newRow("flags") << u"strings/missflag.str"_s << u"Mission flags///2"_s;
        QTest::newRow("titles") << u"strings/french/Titles.str"_s << u"Titles/french//2"_s;
        QTest::newRow("other") << u"objnames.str"_s << u"Other string tables///2"_s;
    }
    void groupsTheFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, place);
        QCOMPARE(m_scan.files.size(), Mission.size());
        QCOMPARE(m_scan.languages, QStringList({u"english"_s, u"french"_s}));
        const MissionFolder::File *file = fileAt(m_scan, path);
        QVERIFY(file);
        QCOMPARE(u"%1/%2/%3/%4"_s.arg(MissionFolder::groupName(file->group), file->language, file->mission)
                     .arg(file->entries),
                 place);
    }

    // The nearest folder named as a language, or beside one in the game's layout.
    void tellsTheLanguage_data()
    {
        QTest::addColumn<QStringList>("tree");   // the first is the file looked at
        QTest::addColumn<QString>("language");   // and its code page
        QTest::newRow("named") << QStringList{u"Russian/x.str"_s} << u"russian 1251"_s;
        QTest::newRow("in capitals, nearest") << QStringList{u"greek/books/POLISH/x.str"_s} << u"polish 1250"_s;
        QTest::newRow("beside a language") << QStringList{u"books/klingon/x.str"_s, u"books/english/y.str"_s}
                                           << u"klingon 1252"_s;
        QTest::newRow("beside none") << QStringList{u"books/extra/x.str"_s} << u" 1252"_s;
        QTest::newRow("not a mission's folder")
            << QStringList{u"intrface/miss02/x.str"_s, u"intrface/english/y.str"_s} << u" 1252"_s;
    }
    void tellsTheLanguage()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, language);
        QTemporaryDir dir;
        for (const QString &path : tree)
            write(dir.path(), {{path, "a:\"b\"\r\n"}});
        const MissionFolder::Scan scan = MissionFolder::scan(dir.path());
        const MissionFolder::File *file = fileAt(scan, tree.constFirst());
        QVERIFY(file);
        QCOMPARE(file->language + u' ' + QString::number(file->codePage), language);
    }

    void checksAMission()
    {
        int code = -1;
        QCOMPARE(checked({m_mission.path()}, &code), QStringList{u"No problems in 10 files."_s});
        QCOMPARE(code, 0);
        QCOMPARE(checked({m_faulty.path()}, &code), FaultyLines);
        QCOMPARE(code, 1);
    }

    // The program itself, with no display at all.
    void checksWithoutADisplay()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QW_PROGRAM), {u"--check"_s, m_faulty.path()});
#ifdef Q_OS_WIN
        if (!program.waitForStarted())
            QSKIP("The program could not be started from the test here (under Wine): the direct call is checked.");
#endif
        QVERIFY(program.waitForFinished(60000));
        const QString out = QString::fromUtf8(program.readAllStandardOutput()).remove(u'\r');
        QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts), FaultyLines);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
    }

    void checksNothingToRead_data()
    {
        QTest::addColumn<Tree>("tree");
        QTest::addColumn<QStringList>("links");   // pairs: where, to what
        QTest::addColumn<QStringList>("lines");   // %1: the folder
        QTest::addColumn<int>("code");
        const QStringList none{u"%1/:0: There is no .str file in the folder or below it."_s, u"Nothing could be read."_s};
        QTest::newRow("empty folder") << Tree() << QStringList() << none << 2;
        QTest::newRow("no .str file") << Tree{{u"readme.txt"_s, "x"}, {u"sub/str.txt"_s, "x"}} << QStringList() << none << 2;
        QTest::newRow("only unreadable files")
            << Tree{{u"a.str"_s, ""}, {u"b.STR"_s, "\x89PNG\r\n\x1a\n"}} << QStringList()
            << QStringList{u"a.str:0: The file is empty."_s, u"b.STR:0: The file is a PNG picture, not a text file."_s,
                           u"None of the 2 files could be read."_s}
            << 2;
        QTest::newRow("symbolic link loop")
            << Tree{{u"a/t.str"_s, "x:\"y\"\r\n"}}
            << QStringList{u"a/up"_s, u".."_s, u"a/self"_s, u"../a"_s, u"a/same.str"_s, u"t.str"_s}
            << QStringList{u"No problems in 1 file."_s} << 0;
    }
    void checksNothingToRead()
    {
        QFETCH(Tree, tree);
        QFETCH(QStringList, links);
#ifdef Q_OS_WIN
        if (!links.isEmpty())
            QSKIP("QFile::link makes shortcuts on Windows, and symbolic links need administrator rights there.");
#endif
        QFETCH(QStringList, lines);
        QFETCH(int, code);
        QTemporaryDir dir;
        write(dir.path(), tree);
        for (qsizetype i = 0; i + 1 < links.size(); i += 2)
            QVERIFY(QFile::link(links.at(i + 1), dir.filePath(links.at(i))));
        int exitCode = -1;
        QCOMPARE(checked({dir.path()}, &exitCode), lines.replaceInStrings(u"%1"_s, dir.path()));
        QCOMPARE(exitCode, code);
    }

    void finds_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("options");         // 1 whole words, 2 case, 4 regular expression
        QTest::addColumn<QStringList>("found");   // file:line: key: the match@its start; or the error
        const auto row = [](const char *name, const QString &pattern, int options, const QStringList &found) {
            QTest::newRow(name) << pattern << options << found;
        };
        row("over a line break", u"LOCKED"_s, 0, {u"books/English/Diary.str:4: Page_1: locked@13"_s});
        row("after an escaped break, in 1252", u"fermée"_s, 0, {u"books/french/diary.str:2: Page_1: fermée@15"_s});
        row("part of a word", u"dark"_s, 0,
            {u"books/English/Diary.str:2: Page_0: dark@7"_s, u"intrface/miss01/english/GOALS.STR:2: text_0: dark@7"_s});
        row("whole words", u"dark"_s, 1, {u"books/English/Diary.str:2: Page_0: dark@7"_s});
        row("case", u"door"_s, 2, {u"books/English/Diary.str:3: Page_1: door@4"_s});
        row("expression", u"^Po\\w+|Ga.e"_s, 6,
            {u"objnames.str:2: obj_gate: Gate@0"_s, u"strings/french/Titles.str:2: short_2: Porte@0"_s});
        row("invalid", u"(door"_s, 4,
            {u"The pattern is not a valid regular expression: missing closing parenthesis (at character 6)."_s});
    }
    void finds()
    {
        QFETCH(QString, pattern);
        QFETCH(int, options);
        QFETCH(QStringList, found);
        QString error;
        QStringList matches;
        for (const MissionFolder::Match &match :
             MissionFolder::find(m_scan, pattern, {bool(options & 1), bool(options & 2), bool(options & 4)}, &error)) {
            matches.append(u"%1:%2: %3: %4@%5"_s.arg(m_scan.files.at(match.file).relativePath).arg(match.line)
                               .arg(match.key, match.text.mid(match.start, match.length)).arg(match.start));
        }
        QCOMPARE(error.isEmpty() ? matches : matches << error, found);
    }

    // Find tells of each file searched and stops once told to.
    void findsUntilCancelled()
    {
        QList<int> told;
        const auto count = [&](int done, int total) { told.append(done * 100 + total); };
        std::atomic_bool cancel = false;
        QCOMPARE(MissionFolder::find(m_scan, u"a"_s, {}, nullptr, &cancel, count).size(), 21);
        QCOMPARE(told, (QList<int>{110, 210, 310, 410, 510, 610, 710, 810, 910, 1010}));
        cancel = true;
        told.clear();
        QCOMPARE(MissionFolder::find(m_scan, u"a"_s, {}, nullptr, &cancel, count).size(), 0);
        QCOMPARE(told.size(), 0);
    }

    // A background job hands back only the result of its latest run: one
    // started anew, cancelled or out of time is dropped.
    void deliversOnlyTheLatestRun()
    {
        BackgroundJob job;
        QStringList delivered;
        const auto work = [](int waitMs, const QString &result) {
            return [waitMs, result](const BackgroundJob::Control &control) {
                for (int i = 0; i < waitMs && !control.cancelled(); ++i)
                    QThread::msleep(1);
                control.progress(1, 1);
                return result;
            };
        };
        const auto keep = [&](const QString &result) { delivered.append(result); };
        job.start(work(300, u"first"_s), keep);
        job.start(work(0, u"second"_s), keep);
        QTRY_VERIFY(!job.isRunning());
        QTest::qWait(50);
        QCOMPARE(delivered, QStringList{u"second"_s});

        job.start(work(5000, u"cancelled"_s), keep);
        job.cancel();
        QSignalSpy timedOut(&job, &BackgroundJob::timedOut);
        job.setTimeLimit(std::chrono::milliseconds(100));
        job.start(work(5000, u"too late"_s), keep);
        QVERIFY(timedOut.wait(2000));
        QVERIFY(!job.isRunning());
        QTest::qWait(100);
        QCOMPARE(delivered, QStringList{u"second"_s});
    }

    // Changed documents to show and drop; what was read stays as it was.
    void replaces_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QStringList>("changed");
        QTest::addColumn<QByteArray>("diary");   // the English book, as it would be written
        QTest::newRow("words") << u"door"_s << u"gate \"A\""_s
                               << QStringList{u"books/English/Diary.str"_s, u"intrface/english/newgame.str"_s,
                                              u"intrface/French/NEWGAME.STR"_s, u"strings/english/titles.str"_s}
                               << QByteArray("// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\n"
                                             "Page_1:\"The gate \\\"A\\\"\r\nwas locked.\"\r\n");
        QTest::newRow("groups") << u"(d)(ark)|(lock)ed"_s << u"\\2\\1\\3\\\\"_s
                                << QStringList{u"books/English/Diary.str"_s, u"intrface/miss01/english/GOALS.STR"_s}
                                << QByteArray("// Book Location - Tower\r\nPage_0:\"It was arkd\\\\.\"\r\n"
                                              "Page_1:\"The door\r\nwas lock\\\\.\"\r\n");
    }
    void replaces()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, replacement);
        QFETCH(QStringList, changed);
        QFETCH(QByteArray, diary);
        const auto documents = MissionFolder::replaced(m_scan, pattern, replacement, {false, false, true});
        QStringList paths;
        for (const auto &[file, document] : documents)
            paths.append(m_scan.files.at(file).relativePath);
        QCOMPARE(paths, changed);
        const StrDocument &book = documents.constFirst().second;
        QCOMPARE(book.write(1252).value_or("<not written>"), diary);
        QCOMPARE(book.authorTexts().constLast().place, u"the text of Page_1 in books/English/Diary.str"_s);
        QVERIFY(!m_scan.files.constFirst().read.document.hasChanges());
    }

private:
    QTemporaryDir m_mission;
    QTemporaryDir m_faulty;
    MissionFolder::Scan m_scan;
};

QTEST_GUILESS_MAIN(TestMissionFolder)
#include "tst_missionfolder.moc"
