// What a translation keeps beside the mission: the record (states from it,
// a damaged one loads what it can and is kept aside), the word difference,
// suggestions from confirmed work only, the translator's memory (a changed
// source retires its pair; TMX out and in) and the term list (inflected
// forms, where a term stands).
#include "core/mission/spelling/spelling.h"
#include "core/mission/translation/memory.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/translationrecord.h"
#include "core/mission/translation/translation.h"
#include "support/testing.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;
using State = TranslationPair::State;
using Segment = TranslationRecord::Segment;

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
        QTest::newRow("to review") << u"review"_s << u"The gate"_s << QByteArray("Brama") << int(State::NeedsReview) << QString();
        QTest::newRow("to review, source changed") << u"review"_s << u"The old gate"_s << QByteArray("Brama")
                                                   << int(State::Outdated) << u"The -old -gate"_s;
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
        TranslationPair pair(read("// Texts\r\n\r\n// the gate\r\nobj_gate:\"Gate\"\r\nobj_lamp:\"Lamp\"\r\nobj_door:\"Door\"\r\n"),
                             TranslationPair::Target{}, 1250);
        QCOMPARE(pair.openingNote(), u"Texts"_s);
        QCOMPARE(pair.row(0).comment, u"the gate"_s);
        QVERIFY(pair.setTargetText(2, u"Drzwi"_s));
        const auto bytes = pair.write();
        QCOMPARE(std::get<QByteArray>(bytes), QByteArray("// Texts\r\n\r\n// the gate\r\nobj_gate:\"Gate\"\r\nobj_lamp:\"Lamp\"\r\nobj_door:\"Drzwi\"\r\n"));
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

    // A record of which anything could not be used is kept aside as it stood
    // before anything is written over it, once; the translator is told where.
    void keepsADamagedRecordAside_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("not JSON") << QByteArray("{\"files\": {\"a.str\": {\"k\": {\"note\": \"mine\", ");
        QTest::newRow("an entry of another shape")
            << QByteArray("{\"files\":{\"a.str\":{\"k\":{\"state\":\"done\",\"from\":\"xyz\",\"note\":\"mine\"}}}}");
        QTest::newRow("another language") << QByteArray("{\"target\":\"czech\",\"files\":{\"a.str\":{\"k\":{\"state\":\"untranslated\",\"note\":\"mine\"}}}}");
    }
    void keepsADamagedRecordAside()
    {
        QFETCH(QByteArray, json);
        QTemporaryDir dir;
        const QString path = dir.filePath(TranslationRecord::fileName(u"polish"_s));
        Testing::writeAll(path, json);
        const TranslationRecord::Loaded loaded = TranslationRecord::load(path, u"m"_s, u"polish"_s);
        const QString aside = dir.filePath(u"quillwright-translation-polish.unreadable.json"_s);
        QCOMPARE(loaded.setAside, aside);
        QVERIFY(loaded.rewritable);
        QCOMPARE(loaded.unused.constLast(), u"The record as it stood is kept in %1."_s.arg(QDir::toNativeSeparators(aside)));
        QCOMPARE(Testing::readAll(aside), json);
        QCOMPARE(TranslationRecord::save(path, loaded.record), std::nullopt);   // written over: the copy keeps the notes
        QCOMPARE(Testing::readAll(aside), json);
        Testing::writeAll(path, json);   // the same again: the same copy
        QCOMPARE(TranslationRecord::load(path, u"m"_s, u"polish"_s).setAside, aside);
        Testing::writeAll(path, json + ' ');   // damaged otherwise: a second copy beside the first
        QCOMPARE(TranslationRecord::load(path, u"m"_s, u"polish"_s).setAside,
                 dir.filePath(u"quillwright-translation-polish.unreadable-2.json"_s));
    }

    // A record that is a pipe, or a link out of the mission, is neither read
    // for ever nor written through.
    void aRecordIsReadAndWrittenSafely()
    {
#ifdef Q_OS_WIN
        QSKIP("Pipes and symbolic links in a folder are not made this way on Windows.");
#else
        QTemporaryDir mission, outside;
        const QString path = QDir(mission.path()).filePath(TranslationRecord::fileName(u"polish"_s));
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const TranslationRecord::Loaded piped = TranslationRecord::load(path, u"m"_s, u"polish"_s);
        QVERIFY(!piped.rewritable);
        QCOMPARE(piped.unused.size(), 1);
        QVERIFY(QFile::remove(path));
        const QString target = outside.filePath(u"elsewhere.json"_s);
        Testing::writeAll(target, "{}");
        QVERIFY(QFile::link(target, path));
        const std::optional<Error> refused = TranslationRecord::save(path, {u"m"_s, u"polish"_s, {}}, mission.path());
        QVERIFY(refused);
        QCOMPARE(refused->kind, Error::Kind::Refused);
        QCOMPARE(Testing::readAll(target), QByteArray("{}"));
#endif
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

    // A rendering is held in any of its forms: the target dictionary's
    // stems where there is one, else the same start.
    void findsARenderingInflected_data()
    {
        QTest::addColumn<QString>("translation");
        QTest::addColumn<QString>("rendering");
        QTest::addColumn<bool>("stems");   // the small dictionary below, else none
        QTest::addColumn<bool>("held");
        QTest::newRow("as it stands") << u"Przy Fontannie"_s << u"fontannie"_s << false << true;
        QTest::newRow("inflected, by its start") << u"Przy fontannie stali"_s << u"fontanna"_s << false << true;
        QTest::newRow("two words inflected") << u"Do starej bramy"_s << u"stara brama"_s << false << true;
        QTest::newRow("two words, one missing") << u"Do starej furty"_s << u"stara brama"_s << false << false;
        QTest::newRow("too short a start") << u"Przy fontach"_s << u"fontanna"_s << false << false;
        QTest::newRow("by its stem") << u"Przy fontannie"_s << u"fontanna"_s << true << true;
        QTest::newRow("a stem the dictionary denies") << u"Przy fontannowym"_s << u"fontanna"_s << true << false;
        QTest::newRow("short words by their stem") << u"W r\u0119ce"_s << u"r\u0119ka"_s << true << true;
    }
    void findsARenderingInflected()
    {
        QFETCH(QString, translation);
        QFETCH(QString, rendering);
        QFETCH(bool, stems);
        QFETCH(bool, held);
        QTemporaryDir dir;
        Testing::writeAll(dir.filePath(u"pl.aff"_s), "SET UTF-8\nSFX A Y 2\nSFX A a ie nna\nSFX A ka ce ka\n");
        Testing::writeAll(dir.filePath(u"pl.dic"_s), "3\nfontanna/A\nr\xC4\x99ka/A\nprzy\n");
        Error error;
        std::shared_ptr<Spelling::SpellChecker> dictionary =
            Spelling::openHunspell(dir.filePath(u"pl.aff"_s), dir.filePath(u"pl.dic"_s), &error);
        QVERIFY2(dictionary, qPrintable(error.message));
        QCOMPARE(dictionary->stems(u"fontannie"_s), QStringList{u"fontanna"_s});
        TermList::Stemmer stemmer;
        if (stems)
            stemmer = [dictionary](const QString &word) { return dictionary->stems(word); };
        QCOMPARE(TermList::holdsRendering(translation, rendering, stemmer), held);
        const QList<TermList::Finding> found =
            TermList::check({{u"fountain"_s, rendering}}, {{u"a.str"_s, u"k"_s, u"By the Fountain"_s, translation}}, stemmer);
        QCOMPARE(found.size(), held ? 0 : 1);
        if (!held)
            QCOMPARE(found.at(0).at, 7);
    }

    // Where a term stands in a source entry, for --check: its line and column in the file.
    void placesATermInTheSource_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("term");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::newRow("first line") << QByteArray("// x\r\n  obj: \"By the Old gate\"\r\n") << u"old gate"_s << 2 << 16;
        QTest::newRow("after a raw break") << QByteArray("obj:\"A\r\nthe old gate\"\r\n") << u"old gate"_s << 2 << 5;
        QTest::newRow("after an escape") << QByteArray("obj:\"A\\\"b\\\" old gate\"\r\n") << u"old gate"_s << 1 << 13;
        QTest::newRow("after an escaped line break") << QByteArray("obj:\"A\\nold gate\"\r\n") << u"old gate"_s << 1 << 9;
        QTest::newRow("not there") << QByteArray("obj:\"A golden gate\"\r\n") << u"old gate"_s << 0 << 0;
    }
    void placesATermInTheSource()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, term);
        QFETCH(int, line);
        QFETCH(int, column);
        const std::optional<TermList::Place> place = TermList::placeOf(read(bytes).document, 0, term);
        QCOMPARE(place ? place->line : 0, line);
        QCOMPARE(place ? place->column : 0, column);
    }

    // The memories learn only what is confirmed: Done, made from today's
    // source, and not the source's own text.
    void learnsOnlyConfirmedWork()
    {
        TranslationPair pair(read("a:\"Seven\"\r\nb:\"Cheese\"\r\nc:\"Open\"\r\nd:\"OK\"\r\ne:\"%d gold\"\r\nf:\"Lamp\"\r\ng:\"Key\"\r\n"),
                             read("a:\"Siedem\"\r\nb:\"Ser\"\r\nc:\"Otworz\"\r\nd:\"OK\"\r\ne:\"zloto\"\r\nf:\"Lampa\"\r\n"), 1250);
        TranslationRecord::FileEntries record;
        record.insert(u"a"_s, {TranslationRecord::EntryState::Translated, TranslationRecord::hashOf(u"Six"_s), u"Six"_s, {}});
        record.insert(u"b"_s, {TranslationRecord::EntryState::Review, TranslationRecord::hashOf(u"Cheese"_s), {}, {}});
        record.insert(u"d"_s, {TranslationRecord::EntryState::Done, TranslationRecord::hashOf(u"OK"_s), {}, {}});
        pair.applyRecord(record);
        QStringList states;
        for (const auto &row : pair.rows())
            states.append(TranslationPair::stateName(row.state));
        QCOMPARE(states, QStringList({u"Outdated"_s, u"Needs review"_s, u"Done"_s, u"Done"_s, u"Suspicious"_s,
                                      u"Done"_s, u"Untranslated"_s}));
        QStringList learnt;
        for (const TranslationMemory::Unit &unit : TranslationMemory::confirmedUnits(pair, u"a.str"_s))
            learnt.append(unit.key);
        QCOMPARE(learnt, QStringList({u"c"_s, u"f"_s}));
        QVERIFY(pair.setMarkedDone(4, true));   // the translator accepts "zloto" for "%d gold"
        QVERIFY(pair.setMarkedDone(0, true));
        learnt.clear();
        for (const TranslationMemory::Unit &unit : TranslationMemory::confirmedUnits(pair, u"a.str"_s))
            learnt.append(unit.key + u'=' + unit.source + u'>' + unit.target);
        QCOMPARE(learnt, QStringList({u"a=Seven>Siedem"_s, u"c=Open>Otworz"_s, u"e=%d gold>zloto"_s, u"f=Lamp>Lampa"_s}));
    }

    // The translator's memory after a source changed: the old pair is
    // retired, never paired with the new source; the new one comes once it is done.
    void aChangedSourceRetiresItsPair()
    {
        const QList<PersonalMemory::Unit> kept = {{u"Keep"_s, u"a.str"_s, u"k"_s, u"Seven"_s, u"Siedem"_s},
                                                  {u"Keep"_s, u"a.str"_s, u"same"_s, u"Lamp"_s, u"Lampa"_s},
                                                  {u"Other"_s, u"a.str"_s, u"k"_s, u"Seven"_s, u"Siedem"_s}};
        const QList<TranslationMemory::Unit> current = {{u"a.str"_s, u"k"_s, u"Eight"_s, {}},
                                                        {u"a.str"_s, u"same"_s, u"Lamp"_s, {}}};
        const auto shown = [](const QList<PersonalMemory::Unit> &units) {
            QStringList lines;
            for (const PersonalMemory::Unit &unit : units)
                lines.append(unit.mission + u'/' + unit.key + u'=' + unit.source + u'>' + unit.target);
            return lines;
        };
        QCOMPARE(shown(PersonalMemory::merged(kept, u"Keep"_s, {}, current)),
                 QStringList({u"Keep/same=Lamp>Lampa"_s, u"Other/k=Seven>Siedem"_s}));
        QCOMPARE(shown(PersonalMemory::merged(kept, u"Keep"_s,
                                              {{u"a.str"_s, u"k"_s, u"Eight"_s, u"Osiem"_s},
                                               {u"a.str"_s, u"x"_s, u"Name"_s, u"Name"_s}},   // the source's own text
                                              current)),
                 QStringList({u"Keep/k=Eight>Osiem"_s, u"Keep/same=Lamp>Lampa"_s, u"Other/k=Seven>Siedem"_s}));
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

    // TMX from other tools comes into the memory: each <tu> with both
    // languages (by the first subtag of either attribute), inline markup
    // giving its text; a file that is no TMX, holds markup that is no text,
    // or expands its entities without end, is refused whole.
    void takesTmxIn_data()
    {
        QTest::addColumn<QByteArray>("tmx");
        QTest::addColumn<QStringList>("units");   // "key=source>target"
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("problems");
        QTest::newRow("given back") << PersonalMemory::toTmx({{u"Keep"_s, u"a.str"_s, u"k"_s, u"A door\r\n<shut>"_s, u"Drzwi"_s}},
                                                             u"english"_s, u"polish"_s)
                                    << QStringList{u"Keep/a.str/k=A door\r\n<shut>>Drzwi"_s} << 0 << 0;
        QTest::newRow("another tool's")
            << QByteArray("<?xml version=\"1.0\"?><tmx version=\"1.1\"><header srclang=\"en-GB\"/><body>"
                          "<tu><tuv lang=\"EN-GB\"><seg><ph x=\"1\">%d</ph> coins</seg></tuv>"
                          "<tuv xml:lang=\"pl-PL\"><seg><bpt i=\"1\">&lt;b&gt;</bpt>%d<ept i=\"1\">&lt;/b&gt;</ept> monet</seg></tuv></tu>"
                          "<tu tuid=\"only\"><tuv xml:lang=\"en\"><seg>Alone</seg></tuv></tu></body></tmx>")
            << QStringList{u"1=%d coins><b>%d</b> monet"_s} << 1 << 0;
        QTest::newRow("markup that is no text")
            << QByteArray("<tmx version=\"1.4\"><body><tu><tuv xml:lang=\"en\"><seg>A<foo/></seg></tuv>"
                          "<tuv xml:lang=\"pl\"><seg>B</seg></tuv></tu></body></tmx>")
            << QStringList() << 0 << 1;
        QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE tmx [<!ENTITY a \"ha\">";
        for (char name = 'b'; name <= 'k'; ++name)
            laughs += QByteArray("<!ENTITY ") + name + " \"" + QByteArray("&").append(char(name - 1)).append(';').repeated(10) + "\">";
        laughs += "]><tmx version=\"1.4\"><body><tu><tuv xml:lang=\"en\"><seg>&k;</seg></tuv>"
                  "<tuv xml:lang=\"pl\"><seg>x</seg></tuv></tu></body></tmx>";
        QTest::newRow("entities without end") << laughs << QStringList() << 0 << 1;
        QTest::newRow("no TMX") << QByteArray("<xliff version=\"1.2\"/>") << QStringList() << 0 << 1;
    }
    void takesTmxIn()
    {
        QFETCH(QByteArray, tmx);
        QFETCH(QStringList, units);
        QFETCH(int, skipped);
        QFETCH(int, problems);
        const PersonalMemory::Taken taken = PersonalMemory::fromTmx(tmx, u"english"_s, u"polish"_s, u"in.tmx"_s);
        QStringList found;
        for (const PersonalMemory::Unit &unit : taken.units) {
            QCOMPARE(unit.mission, u"in.tmx"_s);
            found.append(unit.key + u'=' + unit.source + u'>' + unit.target);
        }
        QCOMPARE(found, units);
        QCOMPARE(taken.problems.size(), problems);
        if (problems == 0)
            QCOMPARE(taken.skipped, skipped);
    }
};

QTEST_GUILESS_MAIN(TestTranslationMemory)
#include "tst_translationmemory.moc"
