// `quillwright --check` as a team puts it in CI: the findings of missions
// written as real ones are, each with its rule, line and column; the rules
// listed; silencing in the files and the mission's settings; a baseline; a
// SARIF log that the official schema takes; usage errors on stderr.
#include "core/mission/check/checkreport.h"
#include "core/mission/check/rules.h"
#include "support/testing.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Cases = QStringLiteral(QW_TEST_DATA "/check/");

using Tree = QList<std::pair<QString, QByteArray>>;

struct Run {
    QStringList findings;   // "path:line:column severity [rule]" ("path severity [rule]" for a whole file)
    QStringList lines;      // as printed
    int code = -1;
};

Run checked(const QStringList &paths, const MissionFolder::CheckOptions &options = {},
            std::optional<int> codePage = std::nullopt)
{
    static const QRegularExpression finding(uR"(^(.*?)((?::\d+:\d+)?): (error|warning|note): .* \[([a-z0-9-]+)\]$)"_s);
    Run run;
    run.code = MissionFolder::check(paths, codePage, [&](const QString &line) {
        // Only the path before the place is written with the system's separators;
        // a backslash in a message is the text's own.
        const qsizetype place = line.indexOf(u": "_s);
        const QString portable = place < 0 ? line
                                           : QDir::fromNativeSeparators(line.left(place)) + line.mid(place);
        run.lines.append(portable);
        const QRegularExpressionMatch match = finding.match(portable);
        if (match.hasMatch())
            run.findings.append(match.captured(1) + match.captured(2) + u' ' + match.captured(3) + u" ["_s
                                + match.captured(4) + u']');
    }, options);
    return run;
}

void write(const QString &root, const QList<std::pair<QString, QByteArray>> &tree)
{
    for (const auto &[path, bytes] : tree) {
        QVERIFY(QDir(root).mkpath(QFileInfo(path).path()));
        Testing::writeAll(root + u'/' + path, bytes);
    }
}

QByteArray program(const QStringList &arguments, QByteArray *errors, int *code)
{
    QProcess process;
    process.start(QStringLiteral(QW_PROGRAM), arguments);
    if (!process.waitForFinished(60000))
        return {};
    *errors = process.readAllStandardError();
    *code = process.exitCode();
    return process.readAllStandardOutput();
}

// A mission with a fault of each way of silencing, and one left to find.
const QList<std::pair<QString, QByteArray>> Silenced = {
    {u"books/english/a.str"_s, "// quillwright-ignore: text-after-quote\r\n"
                               "Page_0: \"The door\" ajar\r\n"
                               "Page_1: \"The gate\" shut\r\n"},
    {u"books/english/b.str"_s, "Page_0: \"Stray \"\r\n// quillwright-ignore-file: trailing-blanks, stray-line\r\noops\r\n"},
    {u"strings/english/objnames.str"_s, "obj_1: \"One\"\r\nobj_1: \"Two\"\r\n"},
    {u"old/notes.str"_s, "x: \"a\" b\r\n"},
};

} // namespace

class TestCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Missions written in the hand-written styles of real ones (tests/data/check): every
    // finding at its cause, with its rule, and nothing else.
    void findsRealFaults_data()
    {
        QTest::addColumn<QString>("mission");
        QTest::addColumn<QStringList>("findings");
        QTest::addColumn<int>("code");
        QTest::newRow("a translation keeping its originals in quotes")
            << u"kept-originals"_s << QStringList{u"intrface/miss20/russian/GOALS.STR:3:1 note [keyless-lines]"_s} << 0;
        QTest::newRow("a single CP850 letter in French")
            << u"cp850-letter"_s << QStringList{u"intrface/french/NEWGAME.STR:1:23 error [dos-code-page]"_s} << 1;
        QTest::newRow("a single CP850 letter in German")
            << u"cp850-sign"_s << QStringList{u"books/german/city_streetlightsign.str:1:11 error [dos-code-page]"_s} << 1;
        QTest::newRow("a quote typed twice")
            << u"stray-quote"_s
            << QStringList{u"strings/english/PLAYHINT.STR:3:32 warning [stray-quote]"_s,
                           u"strings/polish/Titles.str:6:19 warning [stray-quote]"_s}
            << 0;
        QTest::newRow("guillemets for quotes")
            << u"guillemets"_s << QStringList{u"strings/polish/OBJNAMES.STR:3:13 error [no-opening-quote]"_s} << 1;
        QTest::newRow("a page cut by its inner quotes, a ; comment block in a translation")
            << u"cut-page"_s
            << QStringList{u"books/english/mis6kelto.str:3:26 error [early-quote]"_s,
                           u"books/french/mis6kelto.str:1:1 note [keyless-lines]"_s}
            << 1;
        QTest::newRow("a page without its closing quote")
            << u"unclosed-page"_s << QStringList{u"books/english/01clue.str:1:9 error [unclosed-quote]"_s} << 1;
        QTest::newRow("keys only one translation has, a key a translation lacks")
            << u"extra-keys"_s
            << QStringList{u"books/english/maus_plaque.str note [missing-in-source]"_s,
                           u"books/english/maus_plaque.str note [missing-in-source]"_s,
                           u"books/french/maus_plaque.str warning [missing-in-translation]"_s}
            << 0;
        QTest::newRow("a DOS letter in an English book")
            << u"dos-byte"_s << QStringList{u"books/english/city_cemelements.str:5:17 error [undefined-byte]"_s} << 1;
        QTest::newRow("a book without quotes")
            << u"no-quotes"_s << QStringList{u"books/english/swordgon.STR:1:9 error [no-opening-quote]"_s} << 1;
    }
    void findsRealFaults()
    {
        QFETCH(QString, mission);
        QFETCH(QStringList, findings);
        QFETCH(int, code);
        const Run run = checked({Cases + mission});
        QCOMPARE(run.findings, findings);
        QCOMPARE(run.lines.size(), findings.size() + 1);   // and the summary
        QCOMPARE(run.code, code);
        // Every file read in Windows-1252 finds the DOS code pages alike.
        if (mission.startsWith(u"cp850"_s) || mission == u"dos-byte"_s)
            QCOMPARE(checked({Cases + mission}, {}, 1252).findings, findings);
        for (const QString &finding : findings) {
            const QString rule = finding.sliced(finding.lastIndexOf(u'[') + 1).chopped(1);
            QVERIFY2(CheckRules::find(rule), qPrintable(rule));
        }
    }

    // One finding per cause, where it is, with its severity; the exit code.
    void findsEachCauseOnce_data()
    {
        QTest::addColumn<Tree>("tree");
        QTest::addColumn<bool>("warningsAsErrors");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("code");
        const auto row = [](const char *name, const Tree &tree, const QStringList &lines, int code, bool strict = false) {
            QTest::newRow(name) << tree << strict << lines << code;
        };
        row("swallowed pages",
            {{u"books/b.str"_s, "// Book Location - Tower\r\nPage_0: \"Dark.\r\nWind.\r\nPage_1: \"The door\r\nwas shut.\r\n"
                                "Page_2: \"Nobody.\"\r\nPage_3: \"End.\r\nPage_4:\r\n \"Gone\"\r\n"}},
            {u"books/b.str:2:9: error: Page_0 has no closing quote: it takes in lines 3-5. [unclosed-quote]"_s,
             u"books/b.str:7:9: error: Page_3 has no closing quote: it takes in lines 8-9. [unclosed-quote]"_s,
             u"2 errors in 1 file."_s},
            1);
        row("unclosed to the end", {{u"a.str"_s, "x: \"1\"\r\ny:  \"2\r\n3\r\n4\r\n"}},
            {u"a.str:2:5: error: y has no closing quote: it takes in lines 3-4. [unclosed-quote]"_s, u"1 error in 1 file."_s}, 1);
        row("a text that ends in a colon", {{u"a.str"_s, "x: \"Listen\r\nNote:\"\r\n"}}, {u"No problems in 1 file."_s}, 0);
        row("no opening quote, no entry", {{u"books/l.str"_s, "page_0: Vivianne, come home.\r\n"}},
            {u"books/l.str:1:9: error: page_0 has no opening quote after its colon, so the game does not read it. [no-opening-quote]"_s,
             u"1 error in 1 file."_s},
            1);
        row("comments", {{u"a.str"_s, "; names\r\nx: \"1\" // one\r\n"}, {u"books/b.str"_s, "; c\r\nPage_0: \"x\"\r\n"}},
            {u"books/b.str:1:1: warning: This line is not an entry; the game skips it. [stray-line]"_s,
             u"1 warning in 1 of 2 files."_s},
            0);
        row("warnings as errors", {{u"books/b.str"_s, "; c\r\nPage_0: \"x\"\r\n"}},
            {u"books/b.str:1:1: warning: This line is not an entry; the game skips it. [stray-line]"_s, u"1 warning in 1 file."_s}, 1,
            true);
        row("a key twice", {{u"a.str"_s, "x: \"1\"\r\n  x: \"1\"\r\nX: \"2\"\r\n"}},
            {u"a.str:2:3: warning: x appears again (first on line 1), with the same text. [duplicate-key]"_s,
             u"a.str:3:1: warning: X appears again (first on line 1), with a different text. [duplicate-key]"_s,
             u"2 warnings in 1 file."_s},
            0);
        // Matters of style: notes, which never make the exit code 1.
        row("blanks before the closing quote", {{u"a.str"_s, "x: \"Go home  \"\r\ny: \" \"\r\nz: \"a\r\n \"\r\n"}},
            {u"a.str:1:12: note: The text of x ends in blanks before its closing quote. [trailing-blanks]"_s, u"1 note in 1 file."_s}, 0,
            true);
        row("two blanks in a row", {{u"a.str"_s, "x: \"Go  home.\t\tNow.\"\r\ny: \"  a\r\n  b\"\r\n"}},
            {u"a.str:1:7: note: The text of x has 2 blanks in a row. So does 1 more place in this file. [double-blanks]"_s,
             u"1 note in 1 file."_s},
            0);
        row("a key in another case", {{u"books/b.str"_s, "Page_0: \"a\"\r\n page_1: \"b\"\r\nPage_2: \"c\"\r\n"}},
            {u"books/b.str:2:2: note: page_1 is written in another case than the file's other Page_ keys. [key-case]"_s,
             u"1 note in 1 file."_s},
            0);
        row("a key in another case on a tie", {{u"a.str"_s, "obj_1: \"a\"\r\nOBJ_2: \"b\"\r\nlamp: \"c\"\r\n"}},
            {u"a.str:2:1: note: OBJ_2 is written in another case than the file's other obj_ keys. [key-case]"_s,
             u"1 note in 1 file."_s},
            0);
        row("mixed line ends", {{u"a.str"_s, "x: \"1\"\r\ny: \"2\"\nz: \"3\"\r\nw: \"4\"\n"}, {u"b.str"_s, "x: \"1\"\n"}},
            {u"a.str:2:1: note: This line ends in LF, the file's other lines in CR LF (2 lines end otherwise). [mixed-line-ends]"_s,
             u"1 note in 1 of 2 files."_s},
            0, true);
        row("a note and a warning, warnings as errors", {{u"books/b.str"_s, "; c\r\nPage_0: \"x \"\r\n"}},
            {u"books/b.str:1:1: warning: This line is not an entry; the game skips it. [stray-line]"_s,
             u"books/b.str:2:11: note: The text of Page_0 ends in blanks before its closing quote. [trailing-blanks]"_s,
             u"1 warning and 1 note in 1 file."_s},
            1, true);
        // At the term in the source: after the indent, after an escaped line
        // break; an inflected rendering and an entry left untranslated are none.
        row("terms left out",
            {{u"strings/english/objnames.str"_s, "obj_1: \"The red door\"\r\nobj_2:  \"A\\ndoor of oak\"\r\n"
                                                  "obj_3: \"Doorway\"\r\nobj_4: \"The door\"\r\nobj_5: \"A door\"\r\n"},
             {u"strings/polish/objnames.str"_s, "obj_1: \"Czerwone wrota\"\r\nobj_2: \"Brama\"\r\n"
                                                 "obj_3: \"Przejscie\"\r\nobj_4: \"The door\"\r\nobj_5: \"Drzwiami\"\r\n"},
             {u"quillwright-terms-polish.json"_s, R"({"terms": {"door": "drzwi"}})"}},
            {u"strings/english/objnames.str:1:17: warning: The translation of obj_1 in strings/polish/objnames.str leaves out "
             "\"drzwi\", the term list's rendering of \"door\". [term-left-out]"_s,
             u"strings/english/objnames.str:2:13: warning: The translation of obj_2 in strings/polish/objnames.str leaves out "
             "\"drzwi\", the term list's rendering of \"door\". [term-left-out]"_s,
             u"2 warnings in 1 of 2 files."_s},
            0);
        row("a line break in a quoted text", {{u"a.str"_s, "Page_0: \"a\r\nb\" c\"\r\n"}},
            {u"a.str:2:2: error: Page_0 holds a quote that ends its text early: the game shows only “a\\nb”. [early-quote]"_s,
             u"1 error in 1 file."_s},
            1);
    }
    void findsEachCauseOnce()
    {
        QFETCH(Tree, tree);
        QFETCH(bool, warningsAsErrors);
        QFETCH(QStringList, lines);
        QFETCH(int, code);
        QTemporaryDir dir;
        write(dir.path(), tree);
        MissionFolder::CheckOptions options;
        options.warningsAsErrors = warningsAsErrors;
        const Run run = checked({dir.path()}, options);
        QCOMPARE(run.lines, lines);
        QCOMPARE(run.code, code);
    }

    // The messages say what the game does, where the cause is.
    void tellsTheCause()
    {
        const Run cut = checked({Cases + u"cut-page"_s});
        QCOMPARE(cut.lines.first(), u"books/english/mis6kelto.str:3:26: error: Page_1 holds a quote that ends its text "
                                    "early: the game shows only “He wrote to me: ”. Lines 4-5, which the text was "
                                    "meant to run on to, are lost too. [early-quote]"_s);
        QCOMPARE(checked({Cases + u"unclosed-page"_s}).lines.first(),
                 u"books/english/01clue.str:1:9: error: Page_0 has no closing quote: it takes in lines 2-3. [unclosed-quote]"_s);
        QVERIFY(checked({Cases + u"cp850-letter"_s}).lines.first().contains(u"DOS code page CP850"_s));
        QVERIFY(checked({Cases + u"dos-byte"_s}).lines.first().contains(u"In the DOS code page CP850 it is “ü”."_s));
    }

    // Each rule is in the README, with what it means, and in --list-rules, id first.
    void listsEveryRule()
    {
        QFile readme(QStringLiteral(QW_SOURCE_DIR "/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll());
        for (const CheckRules::Rule &rule : CheckRules::all()) {
            const QString id = QString::fromLatin1(rule.id);
            QVERIFY2(text.contains(u"| `"_s + id + u"` |"_s), qPrintable(id + u" is not in the README's table"_s));
        }
        QByteArray errors;
        int code = -1;
        const QStringList listed =
            QString::fromUtf8(program({u"--list-rules"_s}, &errors, &code)).remove(u'\r').split(u'\n', Qt::SkipEmptyParts);
#ifdef Q_OS_WIN
        if (code == -1)
            QSKIP("The program could not be started from the test here (under Wine); the README was checked.");
#endif
        QCOMPARE(code, 0);
        QCOMPARE(listed.size(), CheckRules::all().size());
        for (qsizetype i = 0; i < listed.size(); ++i) {
            const QString id = QString::fromLatin1(CheckRules::all().at(i).id);
            QVERIFY2(listed.at(i).startsWith(id + u' '), qPrintable(listed.at(i)));
        }
    }

    // A comment above an entry, a comment for the file, the mission's
    // settings (rules and paths) and --no-notes each leave their findings out.
    void silences()
    {
        QTemporaryDir dir;
        write(dir.path(), Silenced);
        QCOMPARE(checked({dir.path()}).findings,
                 QStringList({u"books/english/a.str:3:18 error [text-after-quote]"_s,
                              u"old/notes.str:1:6 error [text-after-quote]"_s,
                              u"strings/english/objnames.str:2:1 warning [duplicate-key]"_s}));
        Testing::writeAll(dir.filePath(u"quillwright.ini"_s),
                          "[check]\r\nignore = duplicate-key, key-case\r\nignore-paths = old, *.bak\r\n");
        QCOMPARE(checked({dir.path()}).findings, QStringList{u"books/english/a.str:3:18 error [text-after-quote]"_s});
        Testing::writeAll(dir.filePath(u"quillwright.ini"_s), "[check]\r\nignore-paths = books/**/a.str\r\n");
        QCOMPARE(checked({dir.path()}).findings,
                 QStringList({u"old/notes.str:1:6 error [text-after-quote]"_s,
                              u"strings/english/objnames.str:2:1 warning [duplicate-key]"_s}));
        MissionFolder::CheckOptions quiet;
        quiet.noNotes = true;
        QCOMPARE(checked({Cases + u"extra-keys"_s}, quiet).findings,
                 QStringList{u"books/french/maus_plaque.str warning [missing-in-translation]"_s});
    }

    // A baseline makes an old mission pass, survives a line inserted above
    // what it knows, and fails only on a new fault.
    void keepsABaseline()
    {
        QTemporaryDir dir;
        write(dir.path(), Silenced);
        const QString baseline = dir.filePath(u"baseline.json"_s);
        MissionFolder::CheckOptions write;
        write.writeBaseline = baseline;
        const Run written = checked({dir.path()}, write);
        QCOMPARE(written.code, 0);
        QCOMPARE(written.findings.size(), 3);
        MissionFolder::CheckOptions against;
        against.baseline = baseline;
        Run run = checked({dir.path()}, against);
        QCOMPARE(run.findings, QStringList());
        QCOMPARE(run.code, 0);
        QCOMPARE(run.lines.constLast(), u"No problems in 4 files. 3 findings the baseline knows are left out."_s);
        Testing::writeAll(dir.filePath(u"books/english/a.str"_s), "// A new comment\r\n\r\n"
                                                                 "// quillwright-ignore: text-after-quote\r\n"
                                                                 "Page_0: \"The door\" ajar\r\n"
                                                                 "Page_1: \"The gate\" shut\r\n"
                                                                 "Page_2: \"The well\" dry\r\n");
        run = checked({dir.path()}, against);
        QCOMPARE(run.findings, QStringList{u"books/english/a.str:6:18 error [text-after-quote]"_s});
        QCOMPARE(run.code, 1);
        // A baseline that is none is said so, on its own.
        Testing::writeAll(baseline, "{}");
        QStringList errors;
        QCOMPARE(MissionFolder::check({dir.path()}, std::nullopt, [](const QString &) {}, against,
                                      [&](const QString &line) { errors.append(line); }),
                 2);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.first().contains(u"is not a baseline of the check"_s));
    }

    // The SARIF log validates against the official schema, carries the rules
    // and a fingerprint a moved line keeps, and names no folder of the machine.
    void writesValidSarif()
    {
        QTemporaryDir dir;
        write(dir.path(), Silenced);
        write(dir.path(), {{u"books/english/gap.str"_s, "Page_0: \"One\"\r\nPage_2: \"Three\"\r\n"}});   // the whole file
        const auto sarif = [&] {
            QString log;
            MissionFolder::CheckOptions options;
            options.sarif = true;
            MissionFolder::check({dir.path()}, std::nullopt, [&](const QString &text) { log += text; }, options);
            return log.toUtf8();
        };
        const QByteArray log = sarif();
        QVERIFY(!log.contains(QDir::fromNativeSeparators(dir.path()).toUtf8()));
        const QJsonObject run = QJsonDocument::fromJson(log).object()[u"runs"_s][0].toObject();
        const QJsonArray rules = run[u"tool"_s][u"driver"_s][u"rules"_s].toArray();
        QCOMPARE(rules.size(), CheckRules::all().size());
        QStringList prints;
        for (const QJsonValue result : run[u"results"_s].toArray()) {
            const int index = result[u"ruleIndex"_s].toInt(-1);
            QCOMPARE(rules.at(index)[u"id"_s].toString(), result[u"ruleId"_s].toString());
            QVERIFY(result[u"locations"_s][0][u"physicalLocation"_s][u"region"_s][u"startLine"_s].toInt() >= 1);
            QCOMPARE(result[u"locations"_s][0][u"physicalLocation"_s][u"artifactLocation"_s][u"uriBaseId"_s].toString(),
                     u"%SRCROOT%"_s);
            prints.append(result[u"partialFingerprints"_s][u"quillwright/v1"_s].toString());
        }
        QCOMPARE(prints.size(), 4);
        Testing::writeAll(dir.filePath(u"strings/english/objnames.str"_s), "\r\n\r\nobj_1: \"One\"\r\nobj_1: \"Two\"\r\n");
        QStringList moved;
        for (const QJsonValue result : QJsonDocument::fromJson(sarif()).object()[u"runs"_s][0][u"results"_s].toArray())
            moved.append(result[u"partialFingerprints"_s][u"quillwright/v1"_s].toString());
        QCOMPARE(moved, prints);

#ifdef Q_OS_WIN
        QSKIP("The schema is checked with Python's jsonschema, which the Windows leg does not have.");
#else
        const QString logPath = dir.filePath(u"check.sarif"_s);
        Testing::writeAll(logPath, log);
        QString python = QStandardPaths::findExecutable(u"python3"_s, {u"/usr/bin"_s});
        if (python.isEmpty())
            python = QStandardPaths::findExecutable(u"python3"_s);
        QVERIFY2(!python.isEmpty(), "python3 is needed to validate the log (scripts/install-deps.sh).");
        QProcess validator;
        validator.start(python, {u"-c"_s,
                                 u"import json, sys, jsonschema\n"
                                 "schema = json.load(open(sys.argv[1]))\n"
                                 "jsonschema.validate(json.load(open(sys.argv[2])), schema)\n"
                                 "print('valid')\n"_s,
                                 QStringLiteral(QW_TEST_DATA "/sarif-schema-2.1.0.json"), logPath});
        QVERIFY(validator.waitForFinished(60000));
        QVERIFY2(validator.exitCode() == 0, validator.readAllStandardError().constData());
        QCOMPARE(validator.readAllStandardOutput().trimmed(), QByteArray("valid"));
#endif
    }

    // A wrong use goes to stderr, with exit code 2, and nothing to stdout.
    void refusesWrongUse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown option") << QStringList{u"--check"_s, u"--frob"_s, u"x"_s}
                                        << u"quillwright: Unknown option 'frob'."_s;
        QTest::newRow("no mission") << QStringList{u"--check"_s}
                                    << u"quillwright: name a mission folder or .str files to check."_s;
        QTest::newRow("format") << QStringList{u"--check"_s, u"--format"_s, u"xml"_s, u"x"_s}
                                << u"quillwright: --format xml is neither text nor sarif."_s;
    }
    void refusesWrongUse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QByteArray errors;
        int code = -1;
        const QByteArray out = program(arguments, &errors, &code);
#ifdef Q_OS_WIN
        if (code == -1)
            QSKIP("The program could not be started from the test here (under Wine).");
#endif
        QCOMPARE(out, QByteArray());
        QCOMPARE(QString::fromUtf8(errors).trimmed(), error);
        QCOMPARE(code, 2);
    }

    // --output writes the report into a file, whole.
    void writesTheReportToAFile()
    {
        QTemporaryDir dir;
        QByteArray errors;
        int code = -1;
        const QString report = dir.filePath(u"report.txt"_s);
        const QByteArray out = program({u"--check"_s, u"--output"_s, report, Cases + u"stray-quote"_s}, &errors, &code);
#ifdef Q_OS_WIN
        if (code == -1)
            QSKIP("The program could not be started from the test here (under Wine).");
#endif
        QCOMPARE(out, QByteArray());
        QCOMPARE(code, 0);
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll().count('\n'), 3);
    }
};

QTEST_GUILESS_MAIN(TestCheck)
#include "tst_check.moc"
