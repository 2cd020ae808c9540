// What a translation keeps beside the mission and hands to other tools: the
// record (states from it, a damaged one loads what it can), the notes of a
// file, the word difference, suggestions and the term check, and XLIFF and
// PO taken back as they were given (or refused whole).
#include "core/mission/translation/exchange.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/translationrecord.h"
#include "core/mission/translation/translation.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;
using State = TranslationPair::State;
using Segment = TranslationRecord::Segment;
using Units = QList<Exchange::Unit>;

namespace {

StrReader::Result read(const QByteArray &bytes)
{
    return std::get<StrReader::Result>(StrReader::read(bytes, 1252));
}

QString shown(const QList<Segment> &segments)   // "same -removed- +added+"
{
    QString text;
    for (const Segment &s : segments)
        text += s.kind == Segment::Same ? s.text : s.kind == Segment::Removed ? u'-' + s.text + u'-' : u'+' + s.text + u'+';
    return text;
}

const Units Sample = {
    {u"a.str"_s, u"obj_gate"_s, u"The old gate"_s, u"Stara brama"_s, State::Done, u"by the river"_s, {}, true},
    {u"a.str"_s, u"obj_door"_s, u"A door\r\n\"locked\""_s, u"Drzwi\r\n\"zamkni\u0119te\""_s, State::Outdated, {},
     u"check <this> & that"_s},
    {u"a.str"_s, u"obj_lamp"_s, u"Lamp"_s, {}, State::Untranslated, {}, {}},
    {u"b/c.str"_s, u"Page_0"_s, u"It was dark."_s, u"It was dark."_s, State::Identical, {}, {}},
};

} // namespace

class TestTranslationMemory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statesFromTheRecord_data()
    {
        QTest::addColumn<QString>("state");   // of the record: "" for no entry
        QTest::addColumn<QString>("from");    // the source text it was translated from
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("change");  // the source change shown
        QTest::newRow("not recorded: from today's") << QString() << QString() << QByteArray("Brama") << int(State::Done) << QString();
        QTest::newRow("same source") << u"translated"_s << u"The gate"_s << QByteArray("Brama") << int(State::Done) << QString();
        QTest::newRow("source changed") << u"translated"_s << u"The old gate"_s << QByteArray("Brama")
                                        << int(State::Outdated) << u"The -old -gate"_s;
        QTest::newRow("done, source changed") << u"done"_s << u"A gate"_s << QByteArray("Brama") << int(State::Outdated)
                                              << u"-A -+The +gate"_s;
        QTest::newRow("done identical") << u"done"_s << u"The gate"_s << QByteArray("The gate") << int(State::Done) << QString();
        QTest::newRow("stand-in") << u"untranslated"_s << QString() << QByteArray("The gate") << int(State::Untranslated) << QString();
        QTest::newRow("stand-in replaced by hand") << u"untranslated"_s << QString() << QByteArray("Wrota") << int(State::Done) << QString();
    }
    void statesFromTheRecord()
    {
        QFETCH(QString, state);
        QFETCH(QString, from);
        QFETCH(QByteArray, target);
        QFETCH(int, expected);
        QFETCH(QString, change);
        const QString hash = from.isEmpty() ? QString() : u"\"from\":\"%1\",\"source\":\"%2\","_s.arg(TranslationRecord::hashOf(from), from);
        const QByteArray json = state.isEmpty() ? "{\"target\":\"polish\"}"
            : u"{\"target\":\"polish\",\"files\":{\"a.str\":{\"OBJ_GATE\":{%1\"state\":\"%2\",\"note\":\"n\"}}}}"_s.arg(hash, state).toUtf8();
        const auto loaded = TranslationRecord::parse(json, u"m"_s, u"polish"_s);
        QCOMPARE(loaded.unused, QStringList());
        TranslationPair pair(read("obj_gate:\"The gate\"\r\n"), read("obj_gate:\"" + target + "\"\r\n"), 1250);
        QCOMPARE(pair.applyRecord(loaded.record.files.value(u"a.str"_s)), QStringList());
        QCOMPARE(int(pair.row(0).state), expected);
        QCOMPARE(shown(pair.sourceChange(0)), change);
        // Typed again or marked done: from today's source.
        QVERIFY(pair.setTargetText(0, u"Nowe wrota"_s));
        QCOMPARE(pair.recordEntries().value(u"obj_gate"_s).from, TranslationRecord::hashOf(u"The gate"_s));
        QCOMPARE(pair.recordEntries().value(u"obj_gate"_s).note, state.isEmpty() ? QString() : u"n"_s);
    }

    void wholeFileRecordsItsStandIns()
    {
        TranslationPair pair(read("// Texts\r\n\r\n// the gate\r\nobj_gate:\"Gate\"\r\nobj_lamp:\"Lamp \xE8\"\r\nobj_door:\"Door\"\r\n"),
                             TranslationPair::Target{}, 1250);
        QCOMPARE(pair.openingNote(), u"Texts"_s);
        QCOMPARE(pair.row(0).comment, u"the gate"_s);
        QVERIFY(pair.setTargetText(2, u"Drzwi"_s));
        const auto bytes = pair.write();
        // The lamp's text is not in Windows-1250: left out rather than refusing the file.
        QCOMPARE(std::get<QByteArray>(bytes), QByteArray("// Texts\r\n\r\n// the gate\r\nobj_gate:\"Gate\"\r\nobj_door:\"Drzwi\"\r\n"));
        pair.setWritten(std::get<QByteArray>(bytes));
        QCOMPARE(int(pair.row(0).state), int(State::Untranslated));
        const auto entries = pair.recordEntries();
        QCOMPARE(entries.value(u"obj_gate"_s).state, TranslationRecord::EntryState::Untranslated);
        QCOMPARE(entries.value(u"obj_door"_s).source, u"Door"_s);
        // Read again with its record: still untranslated.
        TranslationPair again(pair.source(), read(std::get<QByteArray>(bytes)), 1250);
        again.applyRecord(entries);
        QCOMPARE(int(again.row(0).state), int(State::Untranslated));
        QCOMPARE(again.counts().translated, 1);
    }

    void loadsWhatItCan_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("keys");   // loaded
        QTest::addColumn<int>("unused");
        const QByteArray good = "\"f.str\":{\"a\":{\"state\":\"untranslated\"}";
        QTest::newRow("damaged") << QByteArray("{\"files\":{" + good) << QStringList() << 1;
        QTest::newRow("another language") << QByteArray("{\"target\":\"czech\",\"files\":{" + good + "}}}") << QStringList() << 1;
        QTest::newRow("another mission") << QByteArray("{\"mission\":\"x\",\"files\":{" + good + "}}}") << QStringList{u"a"_s} << 1;
        QTest::newRow("an entry of another shape") << QByteArray("{\"files\":{" + good + ",\"b\":{\"state\":\"done\",\"from\":\"xyz\"}}}}")
                                                   << QStringList{u"a"_s} << 1;
        QTest::newRow("well") << QByteArray("{\"files\":{" + good + "}}}") << QStringList{u"a"_s} << 0;
    }
    void loadsWhatItCan()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, keys);
        QFETCH(int, unused);
        const auto loaded = TranslationRecord::parse(json, u"m"_s, u"polish"_s);
        QCOMPARE(loaded.record.files.value(u"f.str"_s).keys(), keys);
        QCOMPARE(loaded.unused.size(), unused);
    }

    void savesAndLoadsTheRecord()
    {
        QTemporaryDir dir;
        TranslationRecord::Record record{u"m"_s, u"polish"_s, {}};
        record.files[u"f.str"_s][u"b"_s] = {TranslationRecord::EntryState::Done, TranslationRecord::hashOf(u"B"_s), u"B"_s, u"mine"_s};
        record.files[u"f.str"_s][u"a"_s] = {TranslationRecord::EntryState::Untranslated, {}, {}, {}};
        const QString path = dir.filePath(TranslationRecord::fileName(u"Polish"_s));
        QCOMPARE(TranslationRecord::save(path, record), std::nullopt);
        const auto loaded = TranslationRecord::load(path, u"m"_s, u"polish"_s);
        QCOMPARE(loaded.unused, QStringList());
        QVERIFY(loaded.record == record);
        // Sorted keys, one field a line: a change shows as the lines of its entry.
        QCOMPARE(TranslationRecord::toJson(record),
                 QByteArray("{\n    \"files\": {\n        \"f.str\": {\n            \"a\": {\n                \"state\": \"untranslated\"\n"
                            "            },\n            \"b\": {\n                \"from\": \"ae4f281df5a5d0ff\",\n"
                            "                \"note\": \"mine\",\n                \"source\": \"B\",\n                \"state\": \"done\"\n"
                            "            }\n        }\n    },\n    \"format\": 1,\n    \"mission\": \"m\",\n    \"target\": \"polish\"\n}\n"));
        // A record that cannot be written says so, and why.
        QVERIFY(QDir(dir.path()).mkpath(TranslationRecord::fileName(u"German"_s)));   // a folder in its way
        const std::optional<Error> failed = TranslationRecord::save(dir.filePath(TranslationRecord::fileName(u"German"_s)), record);
        QVERIFY(failed);
        QCOMPARE(failed->kind, Error::Kind::NotWritten);
        QVERIFY2(failed->message.startsWith(u"The record "_s) && failed->message.contains(u"could not be written: "_s),
                 qPrintable(failed->message));
    }

    void differsByWords_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("expected");
        QTest::newRow("same") << u"a b"_s << u"a b"_s << u"a b"_s;
        QTest::newRow("word changed") << u"open the gate"_s << u"open the door"_s << u"open the -gate-+door+"_s;
        QTest::newRow("added at the end") << u"Go"_s << u"Go now"_s << u"Go +now+"_s;
        QTest::newRow("from nothing") << QString() << u"x y"_s << u"+x y+"_s;
    }
    void differsByWords()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, expected);
        QCOMPARE(shown(TranslationRecord::difference(before, after)), expected);
    }

    void suggests_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("expected");   // "percent key"
        QTest::newRow("exact, not itself") << u"Open the gate"_s << QStringList{u"100 g2"_s, u"75 g3"_s};
        QTest::newRow("fuzzy") << u"Open the red gate now"_s << QStringList{u"80 g3"_s, u"60 g2"_s};
        QTest::newRow("nothing alike") << u"Lamp oil"_s << QStringList();
    }
    void suggests()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, expected);
        const TranslationMemory memory({{u"a.str"_s, u"g1"_s, u"Open the gate"_s, u"Otworz brame"_s},
                                        {u"b.str"_s, u"g2"_s, u"Open the gate"_s, u"Otworz"_s},
                                        {u"b.str"_s, u"g3"_s, u"Open the red gate"_s, u"Otworz czerwona"_s},
                                        {u"b.str"_s, u"g4"_s, u"Open"_s, {}}});
        QStringList found;
        for (const auto &s : memory.suggest(source, u"a.str"_s, u"g1"_s))
            found.append(u"%1 %2"_s.arg(s.percent).arg(s.unit.key));
        QCOMPARE(found, expected);
    }
    void marksTheDifferenceOfASuggestion()
    {
        const TranslationMemory memory({{u"a.str"_s, u"g"_s, u"Open the red gate"_s, u"x"_s}});
        QCOMPARE(shown(memory.suggest(u"Open the gate"_s).value(0).difference), u"Open the -red -gate"_s);
    }

    void checksTerms()
    {
        const TermList::Terms terms = TermList::parse(R"({"terms": {"Mirkhold": "Mirkholdu", "old gate": "stara brama"}})");
        QTemporaryDir dir;
        const QString path = dir.filePath(TermList::fileName(u"Polish"_s));
        QCOMPARE(TermList::save(path, terms), std::nullopt);
        QCOMPARE(TermList::load(path), terms);
        QStringList found;
        for (const auto &f : TermList::check(terms, {{u"a.str"_s, u"obj_gate"_s, u"The old gate"_s, u"Stara brama"_s},
                                                     {u"a.str"_s, u"obj_door"_s, u"An old  gate"_s, u"Brama"_s},
                                                     {u"d.str"_s, u"k"_s, u"Mirkholders"_s, u"x"_s},
                                                     {u"d.str"_s, u"m"_s, u"To MIRKHOLD!"_s, u"Do mirkholdu!"_s},
                                                     {u"d.str"_s, u"n"_s, u"Mirkhold's end"_s, u"Koniec"_s}}))
            found.append(f.key + u':' + f.term + u'>' + f.expected);
        QCOMPARE(found, QStringList({u"n:Mirkhold>Mirkholdu"_s}));
    }

    void takesBackWhatItGave_data()
    {
        QTest::addColumn<bool>("po");
        QTest::newRow("XLIFF") << false;
        QTest::newRow("PO") << true;
    }
    void takesBackWhatItGave()
    {
        QFETCH(bool, po);
        const auto give = [&](const Units &units) { return po ? Exchange::toPo(units, u"pl"_s) : Exchange::toXliff(units, u"en"_s, u"pl"_s); };
        const auto take = [&](const QByteArray &bytes) { return po ? Exchange::fromPo(bytes, Sample, 1250) : Exchange::fromXliff(bytes, Sample, 1250); };
        const QByteArray given = give(Sample);
        const Exchange::Import unchanged = take(given);
        QCOMPARE(unchanged.problems.size(), 0);
        QCOMPARE(unchanged.changes.size(), 0);
        // Translated elsewhere: the changes, and given again, the same bytes.
        Units after = Sample;
        after[1].target = u"Drzwi\r\n\"otwarte\""_s;
        after[2].target = u"Lampa"_s;
        after[2].state = State::Done;
        const QByteArray edited = QByteArray(given).replace("zamkni\xC4\x99te", "otwarte")
                                      .replace(po ? "\"Lamp\"\nmsgstr \"\"" : "<target state=\"new\"></target>",
                                               po ? "\"Lamp\"\nmsgstr \"Lampa\"" : "<target state=\"translated\">Lampa</target>");
        QCOMPARE(give(after), edited);
        const Exchange::Import taken = take(edited);
        QCOMPARE(taken.problems.size(), 0);
        QCOMPARE(taken.changes, QList<Exchange::Change>({{u"a.str"_s, u"obj_door"_s, after[1].target, {}},
                                                         {u"a.str"_s, u"obj_lamp"_s, u"Lampa"_s, {}}}));
    }

    // The state a translator's tool gives a unit (XLIFF's state, PO's fuzzy
    // flag) marks it done or not; a state that says what the entry is
    // already, or none, changes nothing.
    void takesTheTranslatorsMark_data()
    {
        QTest::addColumn<bool>("po");
        QTest::addColumn<QByteArray>("from");   // replaced in the file given
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("key");       // the entry changed, or none
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("done");          // -1: not said
        const QByteArray gate = "<target state=\"final\">Stara";
        const QByteArray door = "<target state=\"needs-review-translation\">Drzwi";
        const QString doorText = u"Drzwi\r\n\"zamkni\u0119te\""_s;
        QTest::newRow("final no more") << false << gate << QByteArray("<target state=\"translated\">Stara") << u"obj_gate"_s << u"Stara brama"_s << 0;
        QTest::newRow("final") << false << door << QByteArray("<target state=\"final\">Drzwi") << u"obj_door"_s << doorText << 1;
        QTest::newRow("signed off") << false << door << QByteArray("<target state=\"signed-off\">Drzwi") << u"obj_door"_s << doorText << 1;
        QTest::newRow("final and new") << false << door << QByteArray("<target state=\"final\">Nowe drzwi") << u"obj_door"_s
                                       << u"Nowe drzwi\r\n\"zamkni\u0119te\""_s << 1;
        QTest::newRow("no state") << false << gate << QByteArray("<target>Stara") << QString() << QString() << -1;
        QTest::newRow("final but empty") << false << QByteArray("<target state=\"new\">") << QByteArray("<target state=\"final\">")
                                         << QString() << QString() << -1;
        const QByteArray fuzzyDoor = "#, fuzzy\nmsgctxt \"a.str|obj_door\"";
        QTest::newRow("PO fuzzy taken off") << true << fuzzyDoor << QByteArray("msgctxt \"a.str|obj_door\"")
                                            << u"obj_door"_s << doorText << 1;
        QTest::newRow("PO fuzzy among flags") << true << fuzzyDoor << QByteArray("#, c-format, fuzzy\nmsgctxt \"a.str|obj_door\"")
                                              << QString() << QString() << -1;
        const QByteArray doorEntry = "#, fuzzy\nmsgctxt \"a.str|obj_door\"\nmsgid \"\"\n\"A door\\n\"\n\"\\\"locked\\\"\"\nmsgstr \"\"\n\"Drzwi";
        QTest::newRow("PO fuzzy off, text new") << true << doorEntry << QByteArray("msgctxt \"a.str|obj_door\"\nmsgid \"\"\n\"A door\\n\"\n\"\\\"locked\\\"\"\nmsgstr \"\"\n\"Nowe drzwi")
                                                << u"obj_door"_s << u"Nowe drzwi\r\n\"zamkni\u0119te\""_s << -1;
        QTest::newRow("PO done made fuzzy") << true << QByteArray("msgctxt \"a.str|obj_gate\"")
                                            << QByteArray("#, fuzzy\nmsgctxt \"a.str|obj_gate\"") << u"obj_gate"_s
                                            << u"Stara brama"_s << 0;
    }

    void takesTheTranslatorsMark()
    {
        QFETCH(bool, po);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, done);
        QByteArray bytes = po ? Exchange::toPo(Sample, u"pl"_s) : Exchange::toXliff(Sample, u"en"_s, u"pl"_s);
        QVERIFY2(bytes.contains(from), bytes.constData());
        bytes.replace(from, to);
        const Exchange::Import taken = po ? Exchange::fromPo(bytes, Sample, 1250) : Exchange::fromXliff(bytes, Sample, 1250);
        QCOMPARE(taken.problems.size(), 0);
        QList<Exchange::Change> expected;
        if (!key.isEmpty())
            expected.append({u"a.str"_s, key, text, done < 0 ? std::nullopt : std::optional<bool>(done == 1)});
        QCOMPARE(taken.changes, expected);
    }

    void refusesWhatItCannotTake_data()
    {
        QTest::addColumn<bool>("po");
        QTest::addColumn<QByteArray>("from");   // replaced in the file given
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("problem");   // "line: message"
        QTest::newRow("XLIFF not XML") << false << QByteArray("</body>") << QByteArray("</bod>")
                                       << u"21: The file is not well-formed: Opening and ending tag mismatch."_s;
        QTest::newRow("XLIFF another file") << false << QByteArray("\"a.str\"") << QByteArray("\"z.str\"") << u"3: The mission has no file z.str."_s;
        QTest::newRow("XLIFF another key") << false << QByteArray("\"obj_lamp\"") << QByteArray("\"obj_x\"") << u"17: a.str has no entry obj_x."_s;
        QTest::newRow("XLIFF no id") << false << QByteArray("id=\"obj_lamp\"") << QByteArray() << u"17: A <trans-unit> without id=\"...\"."_s;
        QTest::newRow("XLIFF code page") << false << QByteArray("Stara") << QByteArray("\xC3\xB1")
                                         << u"5: The translation holds \u00F1, which the Central European code page (Windows-1250) cannot represent."_s;
        QTest::newRow("XLIFF twice") << false << QByteArray("obj_lamp") << QByteArray("obj_gate") << u"17: The entry obj_gate stands twice."_s;
        QTest::newRow("XLIFF another version") << false << QByteArray("version=\"1.2\"") << QByteArray("version=\"2.0\"") << u"2: This is no XLIFF 1.2 file."_s;
        QTest::newRow("PO unclosed") << true << QByteArray("\"Stara brama\"") << QByteArray("\"Stara") << u"10: A malformed line: msgstr \"Stara"_s;
        QTest::newRow("PO no msgctxt") << true << QByteArray("msgctxt \"a.str|obj_lamp\"\n") << QByteArray() << u"22: An entry without msgctxt \"file|key\"."_s;
        QTest::newRow("PO bad escape") << true << QByteArray("brama") << QByteArray("\\q") << u"10: A malformed line: msgstr \"Stara \\q\""_s;
        QTest::newRow("PO another key") << true << QByteArray("|obj_lamp") << QByteArray("|obj_x") << u"22: a.str has no entry obj_x."_s;
        QTest::newRow("PO plural") << true << QByteArray("msgstr \"\"\n\"Drzwi") << QByteArray("msgstr[0] \"\"\n\"Drzwi")
                                   << u"18: Unknown line: msgstr[0] \"\""_s;
        QTest::newRow("PO code page") << true << QByteArray("Stara") << QByteArray("\xC3\xB1") << u"8: The translation holds \u00F1, which the Central European code page (Windows-1250) cannot represent."_s;
    }
    void refusesWhatItCannotTake()
    {
        QFETCH(bool, po);
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, problem);
        Units units = Sample;
        units[2].target = u"Lampa"_s;   // a change the refusal must not let through
        units[2].state = State::Done;
        QByteArray bytes = po ? Exchange::toPo(units, u"pl"_s) : Exchange::toXliff(units, u"en"_s, u"pl"_s);
        QVERIFY2(bytes.contains(from), bytes.constData());
        bytes.replace(bytes.indexOf(from), from.size(), to);
        const Exchange::Import taken = po ? Exchange::fromPo(bytes, Sample, 1250) : Exchange::fromXliff(bytes, Sample, 1250);
        QCOMPARE(taken.changes.size(), 0);
        QCOMPARE(taken.problems.size(), 1);
        QCOMPARE(u"%1: %2"_s.arg(taken.problems.at(0).line).arg(taken.problems.at(0).message), problem);
    }

    // xmllint (libxml2-utils) validates the file against the rules of
    // XLIFF 1.2 for the elements it holds (tests/data/xliff-1.2-core.xsd,
    // written out from the standard, as its schema is in no Debian package)
    // and an XPath query counts every unit. The Windows build has no
    // xmllint; takesBackWhatItGave reads the same file with Qt's reader
    // there too.
    void writesXliffOtherToolsRead()
    {
        const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_s);
        if (xmllint.isEmpty())
            QSKIP("xmllint (libxml2-utils) is not installed: scripts/install-deps.sh installs it on Linux");
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.xlf"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Exchange::toXliff(Sample, u"en"_s, u"pl"_s));
        file.close();
        QProcess lint;
        const QString query = u"count(/*[local-name()='xliff'][@version='1.2']/*[local-name()='file'][@original][@source-language][@datatype]"
                              "/*[local-name()='body']/*[local-name()='trans-unit'][@id][*[1][local-name()='source']])"_s;
        for (const QString &schema : {u"xliff-1.2-core.xsd"_s, u"xml.xsd"_s})
            QVERIFY(QFile::copy(u":/schemas/"_s + schema, dir.filePath(schema)));
        lint.start(xmllint, {u"--noout"_s, u"--schema"_s, dir.filePath(u"xliff-1.2-core.xsd"_s), path});
        QVERIFY(lint.waitForFinished());
        QCOMPARE(lint.readAllStandardError().trimmed(), QByteArray(path.toLocal8Bit() + " validates"));
        QCOMPARE(lint.exitCode(), 0);
        lint.start(xmllint, {u"--xpath"_s, query, path});
        QVERIFY(lint.waitForFinished());
        QCOMPARE(lint.readAllStandardOutput().trimmed(), QByteArray::number(Sample.size()));
    }

    // The translator's own memory as TMX 1.4: well-formed (Qt's reader,
    // and xmllint where it is installed), a <tu> per unit with the source's
    // and the target's text under their language tags, markup escaped.
    void writesTheMemoryAsTmx()
    {
        const QList<PersonalMemory::Unit> units = PersonalMemory::merged(
            {{u"Keep"_s, u"a.str"_s, u"obj_gate"_s, u"The gate"_s, u"Brama"_s}}, u"Keep"_s,
            {{u"a.str"_s, u"OBJ_GATE"_s, u"The old gate"_s, u"Stara brama"_s},   // the same entry, translated again
             {u"a.str"_s, u"obj_door"_s, u"A door\r\n<locked> & \"shut\""_s, u"Drzwi\r\n<zamkni\u0119te>"_s}});
        const QByteArray tmx = PersonalMemory::toTmx(units, u"English"_s, u"polish"_s);
        QXmlStreamReader xml(tmx);
        QStringList read;   // tuid, then each tuv as "lang=text"
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"tmx")
                QCOMPARE(xml.attributes().value(u"version"_s), u"1.4"_s);
            else if (xml.name() == u"header")
                QCOMPARE(xml.attributes().value(u"srclang"_s), u"en"_s);
            else if (xml.name() == u"tu")
                read.append(xml.attributes().value(u"tuid"_s).toString());
            else if (xml.name() == u"tuv")
                read.append(xml.attributes().value(u"xml:lang"_s).toString());
            else if (xml.name() == u"seg")
                read.last() += u'=' + xml.readElementText();
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(read, QStringList({u"Keep/a.str/OBJ_GATE"_s, u"en=The old gate"_s, u"pl=Stara brama"_s,
                                    u"Keep/a.str/obj_door"_s, u"en=A door\n<locked> & \"shut\""_s,
                                    u"pl=Drzwi\n<zamkni\u0119te>"_s}));
        const QString xmllint = QStandardPaths::findExecutable(u"xmllint"_s);
        if (xmllint.isEmpty())
            return;   // Windows: Qt's reader above is the check
        QTemporaryDir dir;
        QFile file(dir.filePath(u"m.tmx"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tmx) == tmx.size());
        file.close();
        QProcess lint;
        lint.start(xmllint, {u"--noout"_s, file.fileName()});
        QVERIFY(lint.waitForFinished());
        QCOMPARE(lint.readAllStandardError(), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestTranslationMemory)
#include "tst_translationmemory.moc"
