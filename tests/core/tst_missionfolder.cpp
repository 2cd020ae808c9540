// The whole mission at once, without a window: every .str file of a folder
// grouped by kind, language and mission; the check of each file and across
// files, as `quillwright --check` prints it; find and replace in the texts.
#include "core/mission/check/checkreport.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/folder.h"
#include "core/mission/find.h"
#include "support/testing.h"

#include "core/mission/missiontree.h"
#include "core/mission/scantexts.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <cstdio>
#include <sys/stat.h>
#endif
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
    {u"strings/english/titles.str"_s, "title_2: \"The  Door\"\r\ntitle_4: \"The Way\"\r\n"},
};

const QStringList FaultyLines = {
    u"books/english/Diary.str:2:17: error: The game stops reading Page_1 at its closing quote and does not show “ajar”. [text-after-quote]"_s,
    u"books/english/Diary.str:3:1: warning: Page_0 appears again (first on line 1), with a different text. [duplicate-key]"_s,
    u"books/french/diary.str: warning: The book has no Page_2, although later pages follow. [missing-page]"_s,
    u"books/french/diary.str:3:12: error: The file seems to be written in the DOS code page CP850, which the game does "
    "not read; it was read in Windows-1252. The letters beyond ASCII read wrongly on 1 line, from here. [dos-code-page]"_s,
    u"empty.str: error: The file is empty. [empty-file]"_s,
    u"intrface/english/newgame.str: warning: There is no diff_2 entry. [missing-entry]"_s,
    u"intrface/english/newgame.str:4:1: warning: This line is not an entry; the game skips it. [stray-line]"_s,
    u"intrface/miss01/english/GOALS.STR:3:1: warning: There is a fiction_1 but no text_1. [unpaired-goal]"_s,
    u"objnames.str: error: The file is saved as UTF-8, but the game reads it in Windows-1252. [utf8-file]"_s,
    u"objnames.str:1:10: error: U+0416 “\u2068Ж\u2069” is not in Windows-1252. [not-in-code-page]"_s,
    u"objnames.str:2:16: error: obj_door holds a quote that ends its text early: the game shows only “Door ”. [early-quote]"_s,
    u"objnames.str:3:10: error: obj_bad has no opening quote after its colon, so the game does not read it. [no-opening-quote]"_s,
    u"strings/english/titles.str:1:14: note: The text of title_2 has 2 blanks in a row. [double-blanks]"_s,
    u"books/english/Diary.str: note: Page_3 is missing here, present in french. [missing-in-source]"_s,
    u"intrface/english/newgame.str: note: diff_2 is missing here, present in french. [missing-in-source]"_s,
    u"intrface/miss01/french/goals.str: warning: fiction_1 is missing here, present in english. [missing-in-translation]"_s,
    u"strings/english/titles.str:2:1: warning: Mission 4 has a title but no flags in strings/missflag.str. [mission-without-flags]"_s,
    u"strings/french/titles.str: warning: Missing here, present in english. [missing-file]"_s,
    u"strings/missflag.str:11:1: warning: Mission 3 has flags but no title in strings/english/titles.str. [mission-without-title]"_s,
    u"7 errors, 9 warnings and 3 notes in 10 of 11 files (1 of them missing)."_s,
};

// The interface's own files that missions ship, with keys of other kinds, and a
// campaign with skip lines and lines that are no missions: nothing wrong.
const Tree Interface = {
    {u"intrface/english/DEBRIEF.STR"_s, "stat_0: \"Enemies\"\r\ntext_0: \"Well done\"\r\n"},
    {u"intrface/english/LOADING.STR"_s, "loading: \"Loading\"\r\ncancel: \"Stop\"\r\n"},
    {u"intrface/english/MAIN.STR"_s, "options: \"Options\"\r\n"},
    {u"intrface/english/SIM.STR"_s, "difficulty: \"Level\"\r\n"},
    {u"intrface/english/SIMMENU.STR"_s, "skip_training: \"Skip\"\r\n"},
    {u"intrface/english/LOADOUT.STR"_s, "title_gear: \"Gear\"\r\n"},
    {u"intrface/english/hud.str"_s, "fiction_0: \"Health\"\r\n"},
    {u"intrface/english/newgame.str"_s, Newgame},
    {u"intrface/miss01/english/goals.str"_s, "fiction_0: \"Find\" // the key\r\ntext_0: \"Go\"\r\n"},
    {u"strings/missflag.str"_s, Testing::MissflagHeader + "miss_1: \"skip\"\r\nmiss_2: \"end\"\r\n"
                                "miss_2_next: \"4\"\r\nmiss_3: \"skip\"\r\nmiss_4: \"end\"\r\nmiss_10_endmovie: \"x\"\r\n"},
    {u"strings/english/titles.str"_s, "title_1: \"Training\"\r\ntitle_2: \"Door\"\r\ntitle_3: \"Unused\"\r\n"
                                      "title_4: \"Way\"\r\n"},
    {u"strings/english/objnames.str"_s, "; names\r\nobj_key: \"Key\"\r\n"},
    {u"books/english/note.str"_s, "Page_0:\r\n\"On two lines\"\r\n"},
};

void write(const QString &root, const Tree &tree)
{
    for (const auto &[path, bytes] : tree) {
        QVERIFY(QDir(root).mkpath(QFileInfo(path).path()));
        Testing::writeAll(root + u'/' + path, bytes);
    }
}

// A printed line with its path in '/' separators (the program prints the system's own).
QString portable(const QString &line)
{
    static const QRegularExpression severity(u"(?::\\d+:\\d+)?: (?:error|warning|note): "_s);
    const QRegularExpressionMatch match = severity.match(line);
    if (!match.hasMatch())
        return line;
    return line.left(match.capturedStart()).replace(u'\\', u'/') + line.sliced(match.capturedStart());
}

QStringList checked(const QStringList &paths, int *code, const MissionFolder::CheckOptions &options = {})
{
    QStringList lines;
    *code = MissionFolder::check(paths, std::nullopt, [&](const QString &line) { lines.append(portable(line)); }, options);
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
        QCOMPARE(u"%1/%2/%3/%4"_s.arg(Kinds::descriptor(file->kind).groupName(), file->language, file->mission)
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

    // The kind comes from the name and folder first, the keys second.
    void tellsTheKindByName_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");   // -1: the keys decide
        using Kind = StrReader::Kind;
        const auto row = [](const char *path, int kind) { QTest::newRow(path) << QString::fromLatin1(path) << kind; };
        row("intrface/miss01/english/Goals.str", int(Kind::Goals));
        row("intrface/french/NEWGAME.STR", int(Kind::Newgame));
        row("strings/missflag.str", int(Kind::Missflag));
        row("strings/german/titles.str", int(Kind::Titles));
        row("intrface/english/DEBRIEF.STR", int(Kind::Other));
        row("LOADOUT.STR", int(Kind::Other));
        row("my/sim.str", int(Kind::Other));
        row("intrface/russian/anything.str", int(Kind::Other));
        row("intrface/miss02/english/other.str", -1);
        row("books/diary.str", int(Kind::Book));
        row("C:\\mission\\Books\\english\\note.str", int(Kind::Book));
        row("diary.str", -1);
        row("strings/english/objnames.str", -1);
    }
    void tellsTheKindByName()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        const std::optional<StrReader::Kind> told = Kinds::kindOfPath(path);
        QCOMPARE(told ? int(*told) : -1, kind);
    }

    // Each kind's descriptor: the keys of the entries its tab shows, and the
    // kind the reader tells from its file (by its suggested name, if it has
    // one); a new file of the kind reads back as that kind by its keys.
    void describesEachKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        using Kind = Kinds::Kind;
        QTest::newRow("book") << int(Kind::Book) << QByteArray("Page_1:\"b\"\nnote:\"n\"\nPage_0:\"a\"\nPage_1:\"c\"\n")
                              << u"Page_1 Page_0"_s;
        QTest::newRow("goals") << int(Kind::Goals) << QByteArray("text_0:\"t\"\nx:\"\"\nfiction_0:\"f\"\nfiction_2:\"g\"\n")
                               << u"text_0 fiction_0 fiction_2"_s;
        QTest::newRow("newgame") << int(Kind::Newgame)
                                 << QByteArray("difficulty:\"D\"\ndiff_1:\"m\"\nskip_training:\"T\"\ncancel:\"C\"\n")
                                 << u"diff_1 skip_training"_s;
        QTest::newRow("missflag") << int(Kind::Missflag)
                                  << QByteArray("miss_1:\"skip\"\nmiss_2:\"Go\"\nmiss_2_next:\"x\"\nmiss_3:\"On\"\n")
                                  << u"miss_2 miss_3"_s;
        QTest::newRow("titles") << int(Kind::Titles)
                                << QByteArray("title_2:\"Two\"\nshort_3:\"3\"\ntitle_3:\"Three\"\nshort_2:\"2\"\n")
                                << u"title_2 short_3 title_3 short_2"_s;
        QTest::newRow("string table") << int(Kind::Other) << QByteArray("a:\"1\"\nb:\"2\"\n") << u"a b"_s;
    }
    void describesEachKind()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        const Kinds::Descriptor &descriptor = Kinds::descriptor(Kinds::Kind(kind));
        QCOMPARE(int(descriptor.kind), kind);
        const auto named = descriptor.suggestedName.isEmpty() ? std::nullopt : Kinds::kindOfPath(descriptor.suggestedName);
        const auto read = StrReader::read(file, 1252, named);
        QVERIFY(std::holds_alternative<StrReader::Result>(read));
        const StrDocument &document = std::get<StrReader::Result>(read).document;
        QCOMPARE(int(std::get<StrReader::Result>(read).kind), kind);
        QStringList keys;
        for (const int entry : descriptor.shownEntries(document))
            keys.append(document.key(entry));
        QCOMPARE(keys.join(u' '), shown);
        if (!descriptor.newFileText.isEmpty()) {
            const QByteArray template_(descriptor.newFileText.data(), descriptor.newFileText.size());
            // By its keys alone (missflag.str's lines are all comments before its missions).
            const auto fresh = StrReader::read(template_ + "miss_1:\"\"\n", 1252);
            QVERIFY(std::holds_alternative<StrReader::Result>(fresh));
            QCOMPARE(int(std::get<StrReader::Result>(fresh).kind), kind);
        }
    }

    // The panel groups each file as the check judges it.
    void panelGroupsAreTheCheckKinds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("group");
        for (const char *path : {"DEBRIEF.STR", "LOADING.STR", "MAIN.STR", "SIM.STR", "SIMMENU.STR", "LOADOUT.STR",
                                 "hud.str"})
            QTest::newRow(path) << u"intrface/english/"_s + QString::fromLatin1(path) << u"Other string tables"_s;
        QTest::newRow("newgame") << u"intrface/english/newgame.str"_s << u"New game"_s;
        QTest::newRow("goals") << u"intrface/miss01/english/goals.str"_s << u"Goals"_s;
        QTest::newRow("flags") << u"strings/missflag.str"_s << u"Mission flags"_s;
        QTest::newRow("titles") << u"strings/english/titles.str"_s << u"Titles"_s;
        QTest::newRow("objects") << u"strings/english/objnames.str"_s << u"Other string tables"_s;
        QTest::newRow("book") << u"books/english/note.str"_s << u"Books"_s;
    }
    void panelGroupsAreTheCheckKinds()
    {
        QFETCH(QString, path);
        QFETCH(QString, group);
        QTemporaryDir dir;
        write(dir.path(), Interface);
        MissionTreeModel tree;
        tree.setScan(MissionFolder::scan(dir.path()));
        QHash<int, QString> groupOfFile;   // file -> the panel's group above it
        std::function<void(const QModelIndex &, const QString &)> walk = [&](const QModelIndex &parent, const QString &top) {
            for (int row = 0; row < tree.rowCount(parent); ++row) {
                const QModelIndex index = tree.index(row, 0, parent);
                const int file = index.data(MissionTreeModel::FileRole).toInt();
                if (file >= 0)
                    groupOfFile.insert(file, top);
                walk(index, top.isEmpty() ? index.data().toString() : top);
            }
        };
        walk({}, QString());
        QCOMPARE(groupOfFile.size(), Interface.size());
        for (auto it = groupOfFile.cbegin(); it != groupOfFile.cend(); ++it) {
            const MissionFolder::File &file = tree.scan().files.at(it.key());
            const Kinds::Kind kind = !file.failure
                ? file.read.kind
                : Kinds::kindOfPath(file.relativePath).value_or(Kinds::Kind::Other);
            QCOMPARE(it.value(), Kinds::descriptor(kind).groupName());
        }
        const MissionFolder::File *file = fileAt(tree.scan(), path);
        QVERIFY(file);
        QCOMPARE(groupOfFile.value(int(file - tree.scan().files.constData())), group);
    }

    void checksAMission()
    {
        int code = -1;
        QCOMPARE(checked({m_mission.path()}, &code), QStringList{u"No problems in 10 files."_s});
        QCOMPARE(code, 0);
        QCOMPARE(checked({m_faulty.path()}, &code), FaultyLines);
        QCOMPARE(code, 1);        // Interface files, skip lines and lines that are no missions.
        QTemporaryDir dir;
        write(dir.path(), Interface);
        QCOMPARE(checked({dir.path()}, &code), QStringList{u"No problems in 13 files."_s});
        QCOMPARE(code, 0);
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
        QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        for (QString &line : lines)
            line = portable(line);
        QCOMPARE(lines, FaultyLines);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
    }

    void checksNothingToRead_data()
    {
        QTest::addColumn<Tree>("tree");
        QTest::addColumn<QStringList>("links");   // pairs: where, to what
        QTest::addColumn<QStringList>("lines");   // %1: the folder
        QTest::addColumn<int>("code");
        const QStringList none{u"%1/: error: There is no .str file in the folder or below it. [not-read]"_s, u"Nothing could be read."_s};
        QTest::newRow("empty folder") << Tree() << QStringList() << none << 2;
        QTest::newRow("no .str file") << Tree{{u"readme.txt"_s, "x"}, {u"sub/str.txt"_s, "x"}} << QStringList() << none << 2;
        QTest::newRow("only unreadable files")
            << Tree{{u"a.str"_s, ""}, {u"b.STR"_s, "\x89PNG\r\n\x1a\n"}} << QStringList()
            << QStringList{u"a.str: error: The file is empty. [empty-file]"_s, u"b.STR: error: The file is a PNG picture, not a text file. [not-text]"_s,
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

    // The files written like those of real missions hold no matter of style.
    void stockSamplesHaveNoNotes()
    {
        const QStringList names = QDir(u":/corpus"_s).entryList(QDir::Files);
        QVERIFY(names.size() >= 8);
        int code = -1;
        QTemporaryDir dir;
        for (const QString &name : names)
            QVERIFY(QFile::copy(u":/corpus/"_s + name, dir.filePath(name)));
        const QStringList lines = checked({dir.path()}, &code);
        QVERIFY(!lines.isEmpty());
        QCOMPARE(lines.filter(u": note: "_s), QStringList());
    }

    // A name that is not valid UTF-8 cannot be opened by any name Qt gives it:
    // it is named as not checked, and the check does not end as if all were.
    void namesWhatItCannotCheck()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        write(dir.path(), {{u"a.str"_s, "x: \"1\"\r\n"}});
        for (const QByteArray &name : {QByteArray("caf\xE9.str"), QByteArray("d\xE9j\xE0")}) {
            const QByteArray path = QFile::encodeName(dir.path()) + '/' + name;
            QVERIFY(name.contains('.') ? QFile(dir.filePath(u"a.str"_s)).copy(dir.filePath(u"b.str"_s))
                                           && ::rename(QFile::encodeName(dir.filePath(u"b.str"_s)).constData(), path.constData()) == 0
                                       : ::mkdir(path.constData(), 0700) == 0);
        }
        const QString why = u": error: The name is not valid UTF-8, so it could not be opened and was not checked; rename it. [not-read]"_s;
        int code = -1;
        QCOMPARE(checked({dir.path()}, &code),
                 QStringList({u"caf\uFFFD.str"_s + why, u"d\uFFFDj\uFFFD"_s + why,
                              u"Nothing found in the files checked, but not everything was checked: 2 files or folders "
                              "were not checked (named above)."_s}));
        QCOMPARE(code, 2);
#else
        QSKIP("Windows names are Unicode: no name there is not valid UTF-8 (the check of such names runs on Linux).");
#endif
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
        std::optional<Error> error;
        QStringList matches;
        for (const MissionFolder::Match &match :
             MissionFolder::find(m_scan, pattern, {bool(options & 1), bool(options & 2), bool(options & 4)}, &error)) {
            matches.append(u"%1:%2: %3: %4@%5"_s.arg(m_scan.files.at(match.file).relativePath).arg(match.line)
                               .arg(match.key, match.text.mid(match.start, match.length)).arg(match.start));
        }
        QCOMPARE(error ? matches << error->message : matches, found);
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

        // Reading the files before the clock is started is not limited.
        job.start(
            [](const BackgroundJob::Control &control) {
                QThread::msleep(300);
                control.startTheClock();
                QThread::msleep(20);
                return control.cancelled() ? u"cancelled"_s : u"read, then matched"_s;
            },
            keep, BackgroundJob::Clock::FromWork);
        QTRY_VERIFY_WITH_TIMEOUT(!job.isRunning(), 5000);
        QCOMPARE(timedOut.size(), 1);
        QCOMPARE(delivered.constLast(), u"read, then matched"_s);
    }

    // A text changed and not saved yet is checked as it would be saved,
    // and so are the comparisons across files; the other files keep what
    // was found on the disk.
    void rechecksChangedTexts_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("found");   // "file:line [rule]", every problem of the mission
        QTest::newRow("a quote typed into a page")
            << u"books/English/Diary.str"_s << QByteArray("Page_0:\"It was \"dark\".\"\r\nPage_1:\"The door\"\r\n")
            << QStringList{u"books/English/Diary.str:1 [early-quote]"_s};
        QTest::newRow("a goal left out of the translation")
            << u"intrface/miss01/french/goals.str"_s << QByteArray("fiction_0:\"Trouver la clef\"\r\n")
            << QStringList{u"intrface/miss01/french/goals.str:1 [unpaired-goal]"_s,
                           u"intrface/miss01/french/goals.str:0 [missing-in-translation]"_s};
        QTest::newRow("a title added to the source")
            << u"strings/english/titles.str"_s
            << QByteArray("title_2: \"The Door\"\r\nshort_2: \"Door\"\r\ntitle_3: \"More\"\r\n")
            << QStringList{u"strings/english/titles.str:3 [mission-without-flags]"_s,
                           u"strings/french/Titles.str:0 [missing-in-translation]"_s};
    }
    void rechecksChangedTexts()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, text);
        QFETCH(QStringList, found);
        const MissionFolder::Scan scan = MissionFolder::withoutTexts(m_scan);
        const MissionFolder::File *file = fileAt(scan, path);
        QVERIFY(file);
        const qsizetype index = file - scan.files.constData();
        auto typed = StrReader::read(text, 1252);
        QVERIFY(std::holds_alternative<StrReader::Result>(typed));
        MissionFolder::Scan now = MissionFolder::withTexts(
            scan, {{static_cast<int>(index), std::get<StrReader::Result>(typed).document}});
        MissionFolder::recheck(now, {static_cast<int>(index)});
        QStringList problems;
        for (const MissionFolder::Problem &problem : MissionFolder::allProblems(now))
            problems.append(u"%1:%2 [%3]"_s.arg(problem.file).arg(problem.line).arg(problem.rule));
        QCOMPARE(problems, found);
        QVERIFY(MissionFolder::allProblems(m_scan).isEmpty());   // what was read stays as it was
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

    // Find and replace read a text as the player does: an escaped quote is a
    // quote, and is written escaped once again.
    void replacesAroundEscapedQuotes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"diary.str"_s);
        write(dir.path(), {{u"diary.str"_s, "Page_0:\"He said \\\"go\\\" \\\\ now\"\r\n"}});
        const MissionFolder::Scan scan = MissionFolder::scanFiles({path});
        const auto documents = MissionFolder::replaced(scan, u"said"_s, u"told"_s, {});
        QCOMPARE(documents.size(), 1);
        QCOMPARE(documents.constFirst().second.write(1252).value_or("<not written>"),
                 "Page_0:\"He told \\\"go\\\" \\\\ now\"\r\n"_ba);
        const QList<MissionFolder::Match> found = MissionFolder::find(scan, u"\"go\""_s, {});
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.constFirst().text, u"He said \"go\" \\ now"_s);
    }

private:
    QTemporaryDir m_mission;
    QTemporaryDir m_faulty;
    MissionFolder::Scan m_scan;
};

QTEST_GUILESS_MAIN(TestMissionFolder)
#include "tst_missionfolder.moc"
