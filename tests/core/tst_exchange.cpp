// A mission's translation handed to other tools and taken back: every
// state, note and reference goes out as PO and XLIFF do it (checked by
// msgfmt -c, the official XLIFF 1.2 schema and, where it is installed,
// translate-toolkit) and comes back as it went; what translators did in
// their tools (a fuzzy flag, an older msgid, a comment, a review state, a
// <g>) comes in; what cannot be taken is refused whole, by line.
#include "core/document/codepages.h"
#include "core/mission/translation/exchange.h"
#include "support/testing.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using State = TranslationPair::State;
using Units = QList<Exchange::Unit>;

namespace {

Exchange::Unit unit(const QString &file, const QString &key, const QString &source, const QString &target, State state,
                    int line, bool done = false)
{
    Exchange::Unit made;
    made.file = file;
    made.key = key;
    made.source = source;
    made.target = target;
    made.state = state;
    made.line = line;
    made.markedDone = done;
    return made;
}

Units sample()
{
    Units units = {
        unit(u"a.str"_s, u"obj_gate"_s, u"The old gate"_s, u"Stara brama"_s, State::Done, 4, true),
        unit(u"a.str"_s, u"obj_door"_s, u"A door\r\n\"locked\""_s, u"Drzwi\r\n\"zamkni\u0119te\""_s, State::Outdated, 5),
        unit(u"a.str"_s, u"obj_lamp"_s, u"Lamp"_s, {}, State::Untranslated, 7),
        unit(u"a.str"_s, u"obj_seal"_s, u"Seal"_s, u"Piecz\u0119\u0107"_s, State::NeedsReview, 8),
        unit(u"a.str"_s, u"obj_tower"_s, u"Tower"_s, u"Wie\u017Ca"_s, State::Done, 9),
        unit(u"b/c.str"_s, u"Page_0"_s, u"It was dark."_s, u"It was dark."_s, State::Identical, 1),
        unit(u"b/c.str"_s, u"Page_1"_s, u"%d coins"_s, u"monety"_s, State::Suspicious, 2),
    };
    for (Exchange::Unit &each : units)
        each.fileComment = each.file == u"a.str" ? u"The keep's things\nthe gate is a pun"_s : QString();
    units[0].comment = u"by the river"_s;
    units[1].note = u"check <this> & that"_s;
    units[1].oldSource = u"A door"_s;
    return units;
}

const Exchange::PoHeader Header{u"Keep"_s, u"polish"_s, u"pl"_s, QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC),
                                u"Quillwright 1.0"_s};

QByteArray given(bool po)
{
    return po ? Exchange::toPo(sample(), Header) : Exchange::toXliff(sample(), u"en"_s, u"pl"_s);
}

Exchange::Import taken(bool po, const QByteArray &bytes)
{
    return po ? Exchange::fromPo(bytes, sample(), 1250) : Exchange::fromXliff(bytes, sample(), 1250);
}

// A change as one line: "obj_tower: Wieżyca, from Old tower, review, done, note ask".
QString described(const Exchange::Change &change)
{
    QStringList parts{change.key + u": "_s + QString(change.text).replace(u"\r\n"_s, u"|"_s)};
    if (!change.madeFrom.isEmpty())
        parts.append(u"from "_s + change.madeFrom);
    if (change.review)
        parts.append(u"review"_s);
    if (change.done)
        parts.append(*change.done ? u"done"_s : u"not done"_s);
    if (change.note)
        parts.append(u"note "_s + *change.note);
    return parts.join(u", "_s);
}

// The text a program prints, and its exit code.
std::pair<QByteArray, int> runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {"<did not end>", -1};
    return {process.readAll().trimmed(), process.exitCode()};
}

} // namespace

class TestExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Given and taken back unchanged: no change, no problem, whatever the state.
    void takesBackWhatItGave_data()
    {
        QTest::addColumn<bool>("po");
        QTest::newRow("XLIFF") << false;
        QTest::newRow("PO") << true;
    }
    void takesBackWhatItGave()
    {
        QFETCH(bool, po);
        const Exchange::Import back = taken(po, given(po));
        QCOMPARE(back.problems.size(), 0);
        QCOMPARE(back.changes.size(), 0);
    }

    // Every state, note and reference as PO writes them.
    void writesPoAsGettextDoes()
    {
        const QByteArray po = given(true);
        QVERIFY2(po.startsWith("msgid \"\"\nmsgstr \"\"\n\"Project-Id-Version: Keep\\n\"\n"
                               "\"PO-Revision-Date: 2024-05-01 10:00+0000\\n\"\n\"Last-Translator: \\n\"\n"
                               "\"Language-Team: polish\\n\"\n\"Language: pl\\n\"\n\"MIME-Version: 1.0\\n\"\n"
                               "\"Content-Type: text/plain; charset=UTF-8\\n\"\n\"Content-Transfer-Encoding: 8bit\\n\"\n"
                               "\"X-Generator: Quillwright 1.0\\n\"\n\n"),
                 po.constData());
        for (const QByteArray &entry :
             {QByteArray("#. The keep's things\n#. the gate is a pun\n#. by the river\n#: a.str:4\n"
                         "msgctxt \"a.str|obj_gate\"\nmsgid \"The old gate\"\nmsgstr \"Stara brama\"\n"),
              QByteArray("# check <this> & that\n#. The keep's things\n#. the gate is a pun\n#: a.str:5\n#, fuzzy\n"
                         "#| msgid \"A door\"\nmsgctxt \"a.str|obj_door\"\nmsgid \"\"\n\"A door\\n\"\n\"\\\"locked\\\"\"\n"
                         "msgstr \"\"\n\"Drzwi\\n\"\n\"\\\"zamkni\xC4\x99te\\\"\"\n"),
              QByteArray("#: a.str:8\n#, fuzzy\nmsgctxt \"a.str|obj_seal\"\nmsgid \"Seal\"\nmsgstr \"Piecz\xC4\x99\xC4\x87\"\n"),
              QByteArray("\n#: b/c.str:1\nmsgctxt \"b/c.str|Page_0\"\nmsgid \"It was dark.\"\nmsgstr \"It was dark.\"\n")})
            QVERIFY2(po.contains(entry), entry.constData());
    }

    // msgfmt -c prints nothing; it counts each state as gettext does.
    void poPassesMsgfmt()
    {
        const QString msgfmt = QStandardPaths::findExecutable(u"msgfmt"_s);
        if (msgfmt.isEmpty())
            QSKIP("msgfmt (gettext) is not installed: scripts/install-deps.sh installs it on Linux");
        QTemporaryDir dir;
        Testing::writeAll(dir.filePath(u"pl.po"_s), given(true));
        QCOMPARE(runTool(msgfmt, {u"-c"_s, u"-o"_s, dir.filePath(u"pl.mo"_s), dir.filePath(u"pl.po"_s)}),
                 std::pair(QByteArray(), 0));
        QCOMPARE(runTool(msgfmt, {u"-c"_s, u"--statistics"_s, u"-o"_s, dir.filePath(u"pl.mo"_s), dir.filePath(u"pl.po"_s)}),
                 std::pair(QByteArray("4 translated messages, 2 fuzzy translations, 1 untranslated message."), 0));
    }

    // Every state as XLIFF says it: approved, state, the old source as an
    // alternative, where it stands, the notes.
    void writesXliffAsTheStandardSays()
    {
        const QByteArray xliff = given(false);
        for (const QByteArray &unit :
             {QByteArray("<trans-unit id=\"obj_gate\" xml:space=\"preserve\" approved=\"yes\">\n"
                         "        <source>The old gate</source>\n        <target state=\"final\">Stara brama</target>\n"
                         "        <context-group purpose=\"location\">\n"
                         "          <context context-type=\"sourcefile\">a.str</context>\n"
                         "          <context context-type=\"linenumber\">4</context>\n        </context-group>\n"
                         "        <note from=\"developer\">The keep's things\nthe gate is a pun</note>\n"
                         "        <note from=\"developer\">by the river</note>\n      </trans-unit>"),
              QByteArray("<note from=\"translator\">check &lt;this&gt; &amp; that</note>\n"
                         "        <alt-trans alttranstype=\"previous-version\">\n          <source>A door</source>\n"
                         "          <target>Drzwi\n&quot;zamkni\xC4\x99te&quot;</target>\n        </alt-trans>"),
              QByteArray("<trans-unit id=\"obj_door\" xml:space=\"preserve\" approved=\"no\">"),
              QByteArray("<trans-unit id=\"obj_lamp\" xml:space=\"preserve\">\n        <source>Lamp</source>\n"
                         "        <target state=\"needs-translation\"></target>"),
              QByteArray("<trans-unit id=\"obj_seal\" xml:space=\"preserve\" approved=\"no\">\n        <source>Seal</source>\n"
                         "        <target state=\"needs-review-translation\">"),
              QByteArray("<trans-unit id=\"Page_1\" xml:space=\"preserve\" approved=\"yes\">\n        <source>%d coins</source>\n"
                         "        <target state=\"translated\">monety</target>")})
            QVERIFY2(xliff.contains(unit), unit.constData());
    }

    // Valid against the official XLIFF 1.2 schema (transitional, with xml.xsd
    // beside it, from tests/data), as xmllint (libxml2-utils) checks it.
    void xliffIsValid()
    {
        const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_s);
        if (xmllint.isEmpty())
            QSKIP("xmllint (libxml2-utils) is not installed: scripts/install-deps.sh installs it on Linux");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"pl.xlf"_s);
        Testing::writeAll(path, given(false));
        for (const QString &schema : {u"xliff-core-1.2-transitional.xsd"_s, u"xml.xsd"_s})
            QVERIFY(QFile::copy(u":/schemas/"_s + schema, dir.filePath(schema)));
        QCOMPARE(runTool(xmllint, {u"--noout"_s, u"--nonet"_s, u"--schema"_s,
                                   dir.filePath(u"xliff-core-1.2-transitional.xsd"_s), path}),
                 std::pair(QByteArray(path.toLocal8Bit() + " validates"), 0));
    }

    // translate-toolkit reads the states as written: translated units are
    // no fuzzy ones, the outdated and the reviewed are.
    void translateToolkitReadsTheStates_data()
    {
        QTest::addColumn<bool>("po");
        QTest::newRow("XLIFF") << false;
        QTest::newRow("PO") << true;
    }
    void translateToolkitReadsTheStates()
    {
        QFETCH(bool, po);
        const QString python = QStandardPaths::findExecutable(u"python3"_s);
        if (python.isEmpty() || runTool(python, {u"-c"_s, u"import translate.storage.factory"_s}).second != 0)
            QSKIP("translate-toolkit is not installed on this machine (pip install translate-toolkit)");
        QTemporaryDir dir;
        const QString path = dir.filePath(po ? u"pl.po"_s : u"pl.xlf"_s);
        Testing::writeAll(path, given(po));
        const QString script = u"import sys\nfrom translate.storage import factory\n"
                               "store = factory.getobject(sys.argv[1])\n"
                               "units = [u for u in store.units if not u.isheader()]\n"
                               "print(len(units), sum(u.istranslated() for u in units), sum(u.isfuzzy() for u in units))"_s;
        QCOMPARE(runTool(python, {u"-c"_s, script, path}), std::pair(QByteArray("7 4 2"), 0));
    }

    // What translators did in their tools comes in as a change of the entry.
    void takesWhatTranslatorsDid_data()
    {
        QTest::addColumn<bool>("po");
        QTest::addColumn<QByteArray>("from");   // replaced in the file given
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QStringList>("changes");   // described()
        const QByteArray tower = "msgctxt \"a.str|obj_tower\"\nmsgid \"Tower\"\nmsgstr \"Wie\xC5\xBC" "a\"";
        QTest::newRow("PO: fuzzy, a new text") << true << tower
            << QByteArray("#, fuzzy\nmsgctxt \"a.str|obj_tower\"\nmsgid \"Tower\"\nmsgstr \"Wie\xC5\xBCyca\"")
            << QStringList{u"obj_tower: Wie\u017Cyca, review"_s};
        QTest::newRow("PO: fuzzy, the same text") << true << QByteArray("msgctxt \"a.str|obj_tower\"")
            << QByteArray("#, fuzzy\nmsgctxt \"a.str|obj_tower\"") << QStringList{u"obj_tower: Wie\u017Ca, review"_s};
        QTest::newRow("PO: an older msgid") << true << QByteArray("msgid \"Tower\"") << QByteArray("msgid \"Old tower\"")
            << QStringList{u"obj_tower: Wie\u017Ca, from Old tower"_s};
        QTest::newRow("PO: a comment added") << true << QByteArray("#: a.str:9\n")
            << QByteArray("# ask the author\n#\n# again\n#: a.str:9\n") << QStringList{u"obj_tower: Wie\u017Ca, note ask the author\n\nagain"_s};
        QTest::newRow("PO: outdated, reviewed") << true << QByteArray("#, fuzzy\n#| msgid \"A door\"\n") << QByteArray()
            << QStringList{u"obj_door: Drzwi|\"zamkni\u0119te\""_s};
        QTest::newRow("PO: reviewed") << true << QByteArray("#, fuzzy\nmsgctxt \"a.str|obj_seal\"")
            << QByteArray("msgctxt \"a.str|obj_seal\"") << QStringList{u"obj_seal: Piecz\u0119\u0107"_s};
        QTest::newRow("PO: done made fuzzy") << true << QByteArray("msgctxt \"a.str|obj_gate\"")
            << QByteArray("#, fuzzy\nmsgctxt \"a.str|obj_gate\"") << QStringList{u"obj_gate: Stara brama, review"_s};
        QTest::newRow("XLIFF: <g> gives its text") << false
            << QByteArray("<target state=\"needs-translation\"></target>")
            << QByteArray("<target state=\"translated\"><g id=\"1\">Lam</g><ph id=\"2\">p</ph>a</target>")
            << QStringList{u"obj_lamp: Lampa, not done"_s};
        QTest::newRow("XLIFF: to be reviewed") << false
            << QByteArray("approved=\"yes\">\n        <source>Tower</source>\n        <target state=\"translated\">")
            << QByteArray("approved=\"no\">\n        <source>Tower</source>\n        <target state=\"needs-review-translation\">")
            << QStringList{u"obj_tower: Wie\u017Ca, review"_s};
        QTest::newRow("XLIFF: new, with a text") << false
            << QByteArray(" approved=\"yes\">\n        <source>Tower</source>\n        <target state=\"translated\">")
            << QByteArray(">\n        <source>Tower</source>\n        <target state=\"new\">")
            << QStringList{u"obj_tower: Wie\u017Ca, review"_s};
        QTest::newRow("XLIFF: approved") << false
            << QByteArray("approved=\"no\">\n        <source>Seal</source>\n        <target state=\"needs-review-translation\">")
            << QByteArray("approved=\"yes\">\n        <source>Seal</source>\n        <target state=\"needs-review-translation\">")
            << QStringList{u"obj_seal: Piecz\u0119\u0107"_s};
        QTest::newRow("XLIFF: final") << false << QByteArray("<target state=\"translated\">Wie")
            << QByteArray("<target state=\"final\">Wie") << QStringList{u"obj_tower: Wie\u017Ca, done"_s};
        QTest::newRow("XLIFF: final no more") << false << QByteArray("<target state=\"final\">Stara")
            << QByteArray("<target state=\"translated\">Stara") << QStringList{u"obj_gate: Stara brama, not done"_s};
        QTest::newRow("XLIFF: an older source") << false << QByteArray("<source>Tower</source>")
            << QByteArray("<source>Old tower</source>") << QStringList{u"obj_tower: Wie\u017Ca, from Old tower, not done"_s};
        QTest::newRow("XLIFF: a translator's note") << false << QByteArray("<note from=\"translator\">check")
            << QByteArray("<note from=\"reviewer\">ask</note><note from=\"translator\">check")
            << QStringList{u"obj_door: Drzwi|\"zamkni\u0119te\", from A door, review, note ask\ncheck <this> & that"_s};
    }
    void takesWhatTranslatorsDid()
    {
        QFETCH(bool, po);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QStringList, changes);
        QByteArray bytes = given(po);
        QVERIFY2(bytes.contains(from), bytes.constData());
        bytes.replace(bytes.indexOf(from), from.size(), to);
        const Exchange::Import back = taken(po, bytes);
        QCOMPARE(back.problems.size(), 0);
        QStringList found;
        for (const Exchange::Change &change : back.changes)
            found.append(described(change));
        QCOMPARE(found, changes);
    }

    // PO in a Windows code page the header names, as msgconv leaves it.
    void takesPoInACodePage_data()
    {
        QTest::addColumn<QString>("charset");
        QTest::addColumn<QString>("problem");
        QTest::newRow("CP1250") << u"CP1250"_s << QString();
        QTest::newRow("windows-1250") << u"windows-1250"_s << QString();
        QTest::newRow("another") << u"ISO-8859-2"_s
                                 << u"0: The file is written in ISO-8859-2, which Quillwright does not read: save it in "
                                    "UTF-8, then take it back again."_s;
    }
    void takesPoInACodePage()
    {
        QFETCH(QString, charset);
        QFETCH(QString, problem);
        QString text = QString::fromUtf8(given(true)).replace(u"charset=UTF-8"_s, u"charset="_s + charset);
        text.replace(u"msgid \"Lamp\"\nmsgstr \"\""_s, u"msgid \"Lamp\"\nmsgstr \"Lampa \u017C\u00F3\u0142ta\""_s);
        const Exchange::Import back = Exchange::fromPo(*CodePages::encode(text, 1250), sample(), 1250);
        QStringList problems;
        for (const Exchange::Problem &each : back.problems)
            problems.append(u"%1: %2"_s.arg(each.line).arg(each.message));
        QCOMPARE(problems.join(u'\n'), problem);
        QCOMPARE(back.changes.size(), problem.isEmpty() ? 1 : 0);
        if (problem.isEmpty())
            QCOMPARE(described(back.changes.at(0)), u"obj_lamp: Lampa \u017C\u00F3\u0142ta"_s);
    }

    // Anything that cannot be taken refuses the whole file, by line.
    void refusesWhatItCannotTake_data()
    {
        QTest::addColumn<bool>("po");
        QTest::addColumn<QByteArray>("from");   // replaced in the file given
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QByteArray>("at");     // the problem's line is the one holding this, after the change
        QTest::addColumn<QString>("problem");
        QTest::newRow("XLIFF not XML") << false << QByteArray("</body>") << QByteArray("</bod>") << QByteArray("</bod>")
                                       << u"The file is not well-formed: Opening and ending tag mismatch."_s;
        QTest::newRow("XLIFF another file") << false << QByteArray("\"a.str\"") << QByteArray("\"z.str\"")
                                            << QByteArray("<file original=\"z.str\"") << u"The mission has no file z.str."_s;
        QTest::newRow("XLIFF another key") << false << QByteArray("\"obj_lamp\"") << QByteArray("\"obj_x\"")
                                           << QByteArray("obj_x") << u"a.str has no entry obj_x."_s;
        QTest::newRow("XLIFF <x/>") << false << QByteArray("<target state=\"needs-translation\"></target>")
                                    << QByteArray("<target state=\"translated\">Lam<x id=\"1\"/>pa</target>") << QByteArray("<x id")
                                    << u"<x> on line %1 stands for something other than text, which a mission's file cannot hold."_s;
        QTest::newRow("XLIFF code page") << false << QByteArray("Stara") << QByteArray("\xD0\x9C\xD0\xB8\xD1\x80")
                                         << QByteArray("<trans-unit id=\"obj_gate\"")
                                         << u"The translation holds \u201C\u2068\u041C\u2069\u201D (U+041C, Cyrillic), \u201C\u2068\u0438\u2069\u201D "
                                            "(U+0438, Cyrillic), \u201C\u2068\u0440\u2069\u201D (U+0440, Cyrillic), which the Central European code page "
                                            "(Windows-1250) cannot represent."_s;
        QTest::newRow("XLIFF twice") << false << QByteArray("\"obj_lamp\"") << QByteArray("\"obj_gate\"")
                                     << QByteArray("<trans-unit id=\"obj_gate\" xml:space=\"preserve\">") << u"The entry obj_gate stands twice."_s;
        QTest::newRow("XLIFF another version") << false << QByteArray("version=\"1.2\"") << QByteArray("version=\"2.0\"")
                                               << QByteArray("<xliff") << u"This is no XLIFF 1.2 file."_s;
        QTest::newRow("PO unclosed") << true << QByteArray("\"Stara brama\"") << QByteArray("\"Stara") << QByteArray("msgstr \"Stara\n")
                                     << u"A malformed line: msgstr \"Stara"_s;
        QTest::newRow("PO no msgctxt") << true << QByteArray("msgctxt \"a.str|obj_lamp\"\n") << QByteArray()
                                       << QByteArray("msgid \"Lamp\"") << u"An entry without msgctxt \"file|key\"."_s;
        QTest::newRow("PO another key") << true << QByteArray("|obj_lamp") << QByteArray("|obj_x") << QByteArray("|obj_x")
                                        << u"a.str has no entry obj_x."_s;
        QTest::newRow("PO plural") << true << QByteArray("msgstr \"\"\n\"Drzwi") << QByteArray("msgstr[0] \"\"\n\"Drzwi")
                                   << QByteArray("msgstr[0]") << u"Unknown line: msgstr[0] \"\""_s;
        QTest::newRow("PO code page") << true << QByteArray("Stara") << QByteArray("\xC3\xB1") << QByteArray("msgctxt \"a.str|obj_gate\"")
                                      << u"The translation holds \u201C\u2068\u00F1\u2069\u201D (U+00F1, Latin), which the Central European "
                                         "code page (Windows-1250) cannot represent."_s;
        QTest::newRow("PO not UTF-8") << true << QByteArray("Stara") << QByteArray("St\xB3ra") << QByteArray("St\xB3ra")
                                      << u"The line holds bytes that are not UTF-8, though the file says it is."_s;
    }
    void refusesWhatItCannotTake()
    {
        QFETCH(bool, po);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QByteArray, at);
        QFETCH(QString, problem);
        Units units = sample();
        units[4].target = u"Wie\u017Cyczka"_s;   // a change the refusal must not let through
        QByteArray bytes = po ? Exchange::toPo(units, Header) : Exchange::toXliff(units, u"en"_s, u"pl"_s);
        QVERIFY2(bytes.contains(from), bytes.constData());
        bytes.replace(bytes.indexOf(from), from.size(), to);
        const int line = int(bytes.left(bytes.indexOf(at)).count('\n')) + 1;
        const Exchange::Import back = po ? Exchange::fromPo(bytes, sample(), 1250) : Exchange::fromXliff(bytes, sample(), 1250);
        QCOMPARE(back.changes.size(), 0);
        QCOMPARE(back.problems.size(), 1);
        QCOMPARE(u"%1: %2"_s.arg(back.problems.at(0).line).arg(back.problems.at(0).message),
                 u"%1: "_s.arg(line) + (problem.contains(u"%1"_s) ? problem.arg(line) : problem));
    }
};

QTEST_GUILESS_MAIN(TestExchange)
#include "tst_exchange.moc"
