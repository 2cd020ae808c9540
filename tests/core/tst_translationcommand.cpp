// quillwright --export and --import, as a translation platform's
// maintainer runs them: the files written byte for byte, the exit codes,
// each problem on the error output by file and line, and nothing written
// when anything is refused.
#include "core/mission/translation/translationcommand.h"
#include "core/mission/translation/translationrecord.h"
#include "support/testing.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray English = "// Objects of the keep\r\n\r\nobj_gate:\"The gate\"\r\nobj_cafe:\"Caf\xE9\"\r\nno_trim:\"1\"\r\n";
const QByteArray Polish = "obj_gate:\"Brama\"\r\n";

struct Ran {
    int code = -1;
    QStringList out;
    QStringList error;
};

Ran run(const QStringList &arguments)
{
    Ran ran;
    ran.code = TranslationCommand::run(QStringList{u"quillwright"_s} + arguments,
                                       [&](const QString &line) { ran.out.append(line); },
                                       [&](const QString &line) { ran.error.append(QDir::fromNativeSeparators(line)); });
    return ran;
}

} // namespace

class TestTranslationCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_root;

    QString path(const QString &name) const { return QDir(m_root).filePath(name); }

private Q_SLOTS:
    void init()
    {
        m_root = m_dir.filePath(u"Keep"_s);
        QDir(m_root).removeRecursively();
        QVERIFY(QDir(m_root).mkpath(u"strings/english"_s) && QDir(m_root).mkpath(u"strings/polish"_s));
        Testing::writeAll(path(u"strings/english/objnames.str"_s), English);
        Testing::writeAll(path(u"strings/polish/objnames.str"_s), Polish);
    }

    // Exported where asked, or beside the mission by its name; taken back,
    // laid into the files and the record, the rest of each file as it was.
    void exportsAndImports()
    {
        Ran ran = run({u"--export"_s, u"po"_s, u"--from"_s, u"english"_s, u"--to"_s, u"polish"_s, m_root});
        QCOMPARE(ran.code, 0);
        QCOMPARE(ran.error, QStringList());
        const QString po = path(u"Keep-polish.po"_s);
        QCOMPARE(ran.out, QStringList{u"quillwright: %1 written."_s.arg(QDir::toNativeSeparators(po))});
        QByteArray bytes = Testing::readAll(po);
        QVERIFY2(bytes.contains("#. Objects of the keep\n#: strings/english/objnames.str:4\n"
                                "msgctxt \"strings/english/objnames.str|obj_cafe\"\nmsgid \"Caf\xC3\xA9\"\nmsgstr \"\"\n"),
                 bytes.constData());
        QVERIFY2(!bytes.contains("no_trim"), bytes.constData());   // no prose: not offered
        bytes.replace("msgid \"Caf\xC3\xA9\"\nmsgstr \"\"", "msgid \"Caf\xC3\xA9\"\nmsgstr \"Kawiarnia\"");
        bytes.replace("msgctxt \"strings/english/objnames.str|obj_gate\"", "#, fuzzy\nmsgctxt \"strings/english/objnames.str|obj_gate\"");
        bytes.replace("msgid \"The gate\"", "msgid \"The old gate\"");   // handed back late: made from an older source
        Testing::writeAll(po, bytes);
        ran = run({u"--import"_s, po, u"--from"_s, u"english"_s, u"--to"_s, u"polish"_s, m_root});
        QCOMPARE(ran.error, QStringList());
        QCOMPARE(ran.code, 0);
        QCOMPARE(Testing::readAll(path(u"strings/polish/objnames.str"_s)),
                 QByteArray("obj_gate:\"Brama\"\r\nobj_cafe:\"Kawiarnia\"\r\nno_trim:\"1\"\r\n"));
        const TranslationRecord::Loaded record =
            TranslationRecord::load(path(TranslationRecord::fileName(u"polish"_s)), u"Keep"_s, u"polish"_s);
        const TranslationRecord::Entry gate = record.record.files.value(u"strings/english/objnames.str"_s).value(u"obj_gate"_s);
        QCOMPARE(gate.state, TranslationRecord::EntryState::Review);
        QCOMPARE(gate.source, u"The old gate"_s);   // Outdated: what it was made from
        // Exported again: as it was taken back.
        ran = run({u"--export"_s, u"xliff"_s, u"--from"_s, u"english"_s, u"--to"_s, u"polish"_s, u"--output"_s,
                   m_dir.filePath(u"out.xlf"_s), m_root});
        QCOMPARE(ran.code, 0);
        const QByteArray xliff = Testing::readAll(m_dir.filePath(u"out.xlf"_s));
        QVERIFY2(xliff.contains("<target state=\"needs-review-translation\">Brama</target>"), xliff.constData());
        QVERIFY2(xliff.contains("<alt-trans alttranstype=\"previous-version\">\n          <source>The old gate</source>"),
                 xliff.constData());
    }

    // Anything refused: exit code 2, each problem on the error output, nothing written.
    void refusesAndWritesNothing_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QByteArray>("from");   // replaced in the PO exported
        QTest::addColumn<QByteArray>("into");
        QTest::addColumn<QStringList>("errors");   // <po>: the file imported; <target>: the translation
        QTest::newRow("an entry the mission lacks") << u"polish"_s << QByteArray("|obj_cafe\"") << QByteArray("|obj_tea\"")
            << QStringList{u"<po>:21: error: strings/english/objnames.str|obj_tea: strings/english/objnames.str has no entry obj_tea."_s};
        QTest::newRow("a malformed line") << u"polish"_s << QByteArray("msgstr \"Brama\"") << QByteArray("msgstr \"Brama")
            << QStringList{u"<po>:17: error: A malformed line: msgstr \"Brama"_s};
        QTest::newRow("a stand-in the code page lacks") << u"russian"_s << QByteArray("msgid \"The gate\"\nmsgstr \"\"")
            << QByteArray("msgid \"The gate\"\nmsgstr \"\xD0\x92\xD0\xBE\xD1\x80\xD0\xBE\xD1\x82\xD0\xB0\"")
            << QStringList{u"<target>: error: The entry obj_cafe is not translated yet, so it would carry the source's text "
                           "\u201CCaf\u00E9\u201D, and the Cyrillic code page (Windows-1251) lacks \u201C\u2068\u00E9\u2069\u201D "
                           "(U+00E9, Latin). Translate it, then save again. Nothing was written."_s};
    }
    void refusesAndWritesNothing()
    {
        QFETCH(QString, to);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, into);
        QFETCH(QStringList, errors);
        const QString po = m_dir.filePath(u"in.po"_s);
        QCOMPARE(run({u"--export"_s, u"po"_s, u"--from"_s, u"english"_s, u"--to"_s, to, u"--output"_s, po, m_root}).code, 0);
        QByteArray bytes = Testing::readAll(po);
        QVERIFY2(bytes.contains(from), bytes.constData());
        bytes.replace(from, into);
        bytes.replace("msgid \"Caf\xC3\xA9\"\nmsgstr \"\"", "msgid \"Caf\xC3\xA9\"\nmsgstr \"Kawiarnia\"");   // a change held back
        if (to == u"russian")
            bytes.replace("msgstr \"Kawiarnia\"", "msgstr \"\"");
        Testing::writeAll(po, bytes);
        const Ran ran = run({u"--import"_s, po, u"--from"_s, u"english"_s, u"--to"_s, to, m_root});
        QCOMPARE(ran.code, 2);
        for (QString &line : errors)
            line.replace(u"<po>"_s, QDir::fromNativeSeparators(po)).replace(u"<target>"_s, path(u"strings/russian/objnames.str"_s));
        QCOMPARE(ran.error, errors);
        QCOMPARE(QDir(m_root).entryList(QDir::Files), QStringList());   // no record
        QCOMPARE(Testing::readAll(path(u"strings/polish/objnames.str"_s)), Polish);
        QVERIFY(!QFileInfo::exists(path(u"strings/russian"_s)));
    }

    void refusesWhatItCannotDo_data()
    {
        QTest::addColumn<QStringList>("arguments");   // %1: the mission
        QTest::addColumn<QString>("error");
        QTest::newRow("another format") << QStringList{u"--export"_s, u"doc"_s, u"--from"_s, u"english"_s, u"--to"_s, u"polish"_s, u"%1"_s}
                                        << u"quillwright: --export doc is none of po, xliff and tmx."_s;
        QTest::newRow("a path for a language") << QStringList{u"--export"_s, u"po"_s, u"--from"_s, u"english"_s, u"--to"_s, u"../x"_s, u"%1"_s}
                                               << u"quillwright: \u201C../x\u201D cannot name a language: the name of a language is "
                                                  "the name of its folder, of letters, digits, '-' and '_' only."_s;
        QTest::newRow("no such source") << QStringList{u"--export"_s, u"po"_s, u"--from"_s, u"french"_s, u"--to"_s, u"polish"_s, u"%1"_s}
                                        << u"quillwright: the mission has no language folder named \u201Cfrench\u201D."_s;
        QTest::newRow("both") << QStringList{u"--export"_s, u"po"_s, u"--import"_s, u"x.po"_s, u"--from"_s, u"english"_s,
                                             u"--to"_s, u"polish"_s, u"%1"_s}
                              << u"quillwright: give either --export po|xliff|tmx or --import FILE."_s;
    }
    void refusesWhatItCannotDo()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        for (QString &argument : arguments)
            argument = argument.arg(m_root);
        const Ran ran = run(arguments);
        QCOMPARE(ran.code, 2);
        QCOMPARE(ran.error, QStringList{error});
        QCOMPARE(QDir(m_root).entryList(QDir::Files), QStringList());
    }

    // The program itself, with no display at all.
    void runsWithoutADisplay()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(QW_PROGRAM), {u"--export"_s, u"xliff"_s, u"--from"_s, u"english"_s, u"--to"_s,
                                                    u"polish"_s, m_root});
#ifdef Q_OS_WIN
        if (!program.waitForStarted())
            QSKIP("The program could not be started from the test here (under Wine): the direct call is checked.");
#endif
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.readAllStandardError(), QByteArray());
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(Testing::readAll(path(u"Keep-polish.xlf"_s)).contains("<target state=\"translated\">Brama</target>"));
        program.start(QStringLiteral(QW_PROGRAM), {u"--import"_s, m_dir.filePath(u"none.po"_s), u"--from"_s,
                                                    u"english"_s, u"--to"_s, u"polish"_s, m_root});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().contains(": error: "));
    }
};

QTEST_GUILESS_MAIN(TestTranslationCommand)
#include "tst_translationcommand.moc"
