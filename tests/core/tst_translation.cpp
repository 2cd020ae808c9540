// Translations: rows paired by key in the source's order and their states,
// keys the source repeats, the target's bytes after an edit, an entry put in
// where the source has it, a whole new file laid out as the source, characters the
// code page lacks, files not safe to write, the counts and the table.
#include "core/mission/translation/missiontranslation.h"
#include "core/mission/translation/translation.h"
#include "support/testing.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using State = TranslationPair::State;
using Target = TranslationPair::Target;

namespace {

StrReader::Result read(const QByteArray &bytes, int codePage = 1252)
{
    return std::get<StrReader::Result>(StrReader::read(bytes, codePage));
}

QByteArray written(const TranslationPair &pair)
{
    const auto bytes = pair.write();
    if (const auto *refusal = std::get_if<TranslationPair::Refusal>(&bytes))
        return "<refused: " + refusal->message.toUtf8() + '>';
    return std::get<QByteArray>(bytes);
}

// Line, column and place of the character refused, and its row.
QString refusal(const TranslationPair &pair)
{
    const auto bytes = pair.write();
    const auto *refused = std::get_if<TranslationPair::Refusal>(&bytes);
    if (!refused || !refused->problem)
        return u"<no problem found>"_s;
    return u"%1 %2:%3 row %4"_s.arg(refused->problem->place).arg(refused->problem->line)
        .arg(refused->problem->column).arg(refused->row);
}

const QByteArray Source = "// Gate texts\r\n\r\nobj_Gate:\"The gate\"\r\n  obj_door: \"A door\" // old\r\n"
                          "// \xE8 lamps\r\nobj_lamp:\"Lamp\"\r\n";

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void judgesEachRow_data()
    {
        QTest::addColumn<QByteArray>("source");   // raw text of obj_gate in each file
        QTest::addColumn<QByteArray>("target");   // null: the target lacks the entry
        QTest::addColumn<bool>("marked");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("counted");   // as translated
        const auto row = [](const char *name, const char *source, const char *target, State state,
                            const QString &reason = {}, bool marked = false, bool counted = true) {
            QTest::newRow(name) << QByteArray(source) << QByteArray(target) << marked << int(state) << reason
                                << counted;
        };
        row("untranslated", "Open", nullptr, State::Untranslated, {}, false, false);
        row("identical", "Open", "Open", State::Identical);
        row("translated", "Open", "Otworz", State::Done);
        row("identical marked done", "OK", "OK", State::Done, {}, true);
        row("suspicious marked done", "%d gold", "zloto", State::Done, {}, true);
        row("raw line break", "one\r\ntwo", "jeden dwa", State::Suspicious, u"1 line break in the source, 0 here"_s);
        row("\\n escape", "one\\ntwo", "a\\nb\\nc", State::Suspicious, u"1 line break in the source, 2 here"_s);
        row("raw break for \\n", "one\\ntwo", "jeden\ndwa", State::Done);
        row("%d", "%d gold", "zloto", State::Suspicious, u"%d missing"_s);
        row("%s", "Hello", "Witaj %s", State::Suspicious, u"%s not in the source"_s);
        row("%i", "%i left", "zostalo", State::Suspicious, u"%i missing"_s);
        row("%f", "%f m", "%d m", State::Suspicious, u"%f missing; %d not in the source"_s);
        row("width", "%6s|%-3d", "%s|%-3d", State::Suspicious, u"%6s missing; %s not in the source"_s);
        row("counted", "%d of %d", "%d", State::Suspicious, u"%d 2 times in the source, 1 here"_s);
        row("any order", "%i of %5.2f", "%5.2f z %i", State::Done);
        row("percent signs", "100% sure, 5%% off", "100% pewny", State::Done);
        row("empty", "Go", "", State::Suspicious, u"The translation is empty."_s, false, false);
        row("empty marked done", "Go", "", State::Done, {}, true);
        row("both empty", "", "", State::Done);
        row("two reasons", "a\\n%d", "b", State::Suspicious, u"1 line break in the source, 0 here; %d missing"_s);
    }
    void judgesEachRow()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        QFETCH(bool, marked);
        QFETCH(int, state);
        QFETCH(QString, reason);
        QFETCH(bool, counted);
        const QByteArray other = "obj_other:\"x\"\r\n";
        TranslationPair pair(read("obj_Gate:\"" + source + "\"\r\n" + other),
                             read((target.isNull() ? QByteArray() : "OBJ_GATE:\"" + target + "\"\r\n") + other), 1252);
        QCOMPARE(pair.setMarkedDone(0, marked), marked);
        QCOMPARE(int(pair.row(0).state), state);
        QCOMPARE(pair.row(0).reason, reason);
        QCOMPARE(pair.row(0).key, u"obj_Gate"_s);
        QCOMPARE(pair.counts().translated, 1 + int(counted));
    }

    void pairsInTheSourcesOrder()
    {
        TranslationPair pair(read(Source), read("OBJ_LAMP:\"Lampa\"\r\nobj_extra:\"?\"\r\nobj_gate:\"Brama\"\r\n"),
                             1250);
        QStringList rows;
        for (const auto &row : pair.rows())
            rows.append(row.key + u'=' + row.target + u'=' + TranslationPair::stateName(row.state));
        QCOMPARE(rows, QStringList({u"obj_Gate=Brama=Done"_s, u"obj_door==Untranslated"_s, u"obj_lamp=Lampa=Done"_s}));
        QCOMPARE(pair.extraKeys(), QStringList{u"obj_extra"_s});
        QCOMPARE(TranslationPair::progressText(pair.counts()), u"2 of 3 entries translated"_s);
        QCOMPARE(pair.counts().extra, 1);
        const TranslationPair missing(read(Source), Target{}, 1250);
        QVERIFY(!missing.targetExists());
        QCOMPARE(missing.counts().translated, 0);
        QCOMPARE(missing.nextRow(-1, false, [](const auto &row) { return row.state == State::Untranslated; }), 2);
    }

    void reportsKeysTheSourceRepeats()
    {
        TranslationPair pair(read("obj_a:\"1\"\r\nobj_b:\"2\"\r\n\r\nOBJ_A:\"3\"\r\n"), Target{}, 1252);
        QCOMPARE(pair.repeatedKeys().size(), 1);
        QCOMPARE(pair.repeatedKeys().at(0).key, u"obj_a"_s);
        QCOMPARE(pair.repeatedKeys().at(0).lines, QList<int>({1, 4}));
        QVERIFY(!pair.setTargetText(2, u"trzy"_s));
        QVERIFY(pair.setTargetText(1, u"dwa"_s));
        QCOMPARE(written(pair), QByteArray("obj_a:\"1\"\r\nobj_b:\"dwa\"\r\n\r\nOBJ_A:\"3\"\r\n"));
    }

    void editsOnlyThatEntry()
    {
        const QByteArray target = "// PL\nobj_gate : \"Brama\"  // x\nobj_lamp:\"Lampa\"\n";
        // The target writes no line break yet: as the source does, \n.
        TranslationPair pair(read("obj_Gate:\"The\\ngate\"\r\nobj_lamp:\"Lamp\"\r\n"), read(target, 1250), 1250);
        QVERIFY(pair.setTargetText(0, u"Wrota \"stare\"\nz\u0142e"_s));
        QCOMPARE(written(pair),
                 QByteArray("// PL\nobj_gate : \"Wrota \\\"stare\\\"\\nz\xB3" "e\"  // x\nobj_lamp:\"Lampa\"\n"));
    }

    void putsAMissingEntryInTheSourcesOrder_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("row");
        // "@" stands for the entry put in; the others the target lacks come
        // with the source's text, each where the source has it.
        QTest::addColumn<QByteArray>("expected");
        const QByteArray twoLines = "obj_b: \"B\\nb\"\r\nobj_d: \"D\"\r\n";
        QTest::newRow("first: before the next")
            << twoLines << 0 << QByteArray("@\r\nobj_b: \"B\\nb\"\r\nOBJ_c: \"c\\nC\"\r\nobj_d: \"D\"\r\n");
        QTest::newRow("after the one before")
            << twoLines << 2 << QByteArray("Obj_A: \"A\"\r\nobj_b: \"B\\nb\"\r\n@\r\nobj_d: \"D\"\r\n");
        QTest::newRow("last: at the end")
            << QByteArray("obj_b:\"B\"") << 3 << QByteArray("Obj_A:\"A\"\r\nobj_b:\"B\"\r\nOBJ_c:\"c\\nC\"\r\n@\r\n");
        QTest::newRow("no entries: the source's way")
            << QByteArray() << 2 << QByteArray("// nothing yet\nObj_A:\"A\"\nobj_B:\"B\"\n@\nobj_D:\"D\"\n");
    }
    void putsAMissingEntryInTheSourcesOrder()
    {
        QFETCH(QByteArray, target);
        QFETCH(int, row);
        QFETCH(QByteArray, expected);
        StrReader::Result opened;   // a file of comments alone, as the reader would refuse it
        opened.kind = StrReader::Kind::Other;
        opened.document = StrDocument("// nothing yet\n", {});
        TranslationPair pair(read("Obj_A:\"A\"\nobj_B:\"B\"\nOBJ_c:\"c\\nC\"\nobj_D:\"D\"\n"),
                             target.isEmpty() ? opened : read(target), 1252);
        QVERIFY(pair.setTargetText(row, u"x\r\ny"_s));
        const QByteArray separator = target.contains(": \"") ? ": \"" : ":\"";
        QCOMPARE(written(pair),
                 expected.replace("@", pair.row(row).key.toLatin1() + separator + "x\\ny\""));
    }

    void makesANewFileInTheSourcesLayout()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString source = dir.filePath(u"english.str"_s), target = dir.filePath(u"polish.str"_s);
        const QByteArray english = QByteArray(Source).replace("\xE8", "e");
        Testing::writeAll(source, english);
        auto opened = TranslationPair::open(source, 1252, target, 1250);
        auto &pair = std::get<TranslationPair>(opened);
        QVERIFY(!pair.targetExists());
        QVERIFY(pair.setTargetText(1, u"Drzwi Za\u017C\u00F3\u0142\u0107"_s));
        const auto refused = pair.save();
        QVERIFY2(!refused, refused ? qPrintable(refused->message) : "");
        QCOMPARE(Testing::readAll(target),
                 QByteArray("// Gate texts\r\n\r\nobj_Gate:\"The gate\"\r\n  obj_door: \"Drzwi Za\xBF\xF3\xB3\xE6\" // old\r\n"
                            "// e lamps\r\nobj_lamp:\"Lamp\"\r\n"));
        QCOMPARE(Testing::readAll(source), english);
        QVERIFY(pair.targetExists());
        QVERIFY(pair.setTargetText(2, u"Lampa"_s));
        QCOMPARE(int(pair.row(0).state), int(State::Untranslated));   // the source's text stands in
        QCOMPARE(written(pair), QByteArray(Testing::readAll(target)).replace("\"Lamp\"", "\"Lampa\""));
    }

    void refusesWhatTheCodePageLacks()
    {
        TranslationPair pair(read(Source), Target{}, 1250);
        QVERIFY(pair.setTargetText(2, u"jeden\ndwa \u00F1"_s));
        QCOMPARE(refusal(pair), u"the translation of obj_lamp 2:5 row 2"_s);
        QVERIFY(pair.setTargetText(2, u"Lampa"_s));
        QCOMPARE(refusal(pair), u"the source file 5:4 row -1"_s);   // "è" in a comment copied from the source
    }

    void refusesATargetNotSafeToWrite_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("UTF-8") << QByteArray("obj_gate:\"Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\"\r\n")
                               << u"The translation is written in UTF-8, but the game reads it in Windows-1250: "
                                  "saving writes it anew in Windows-1250."_s;
        QTest::newRow("another kind") << QByteArray("title_1:\"T\"\r\n")
                                      << u"The translation is Titles.str, but the source is a string table."_s;
    }
    void refusesATargetNotSafeToWrite()
    {
        QFETCH(QByteArray, target);
        QFETCH(QString, reason);
        TranslationPair pair(read(Source), read(target, 1250), 1250);
        QCOMPARE(pair.unsafeReason(), reason);
        QVERIFY(!pair.setTargetText(1, u"Drzwi"_s));
        QCOMPARE(written(pair), "<refused: " + reason.toUtf8() + '>');
        pair.acceptTarget();
        QVERIFY(pair.setTargetText(1, u"Drzwi"_s));
        QVERIFY(written(pair).endsWith("\r\nobj_door:\"Drzwi\"\r\nobj_lamp:\"Lamp\"\r\n"));
    }

    void countsAsEnglishDoes_data()
    {
        QTest::addColumn<int>("translated");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands") << 1204 << 1580 << u"1,204 of 1,580 entries translated"_s;
        QTest::newRow("one") << 0 << 1 << u"0 of 1 entry translated"_s;
        QTest::newRow("millions") << 999 << 1000000 << u"999 of 1,000,000 entries translated"_s;
    }
    void countsAsEnglishDoes()
    {
        QFETCH(int, translated);
        QFETCH(int, total);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German));
        TranslationPair::Counts mission{1, 2, 0};
        mission += TranslationPair::Counts{translated - 1, total - 2, 3};
        QCOMPARE(TranslationPair::progressText(mission), text);
        QLocale::setDefault(QLocale::c());
    }

    void editsThroughTheTable()
    {
        TranslationTableModel model;
        model.setPair(TranslationPair(read(Source), read("obj_door:\"Drzwi\"\r\n"), 1252));
        TranslationFilterModel untranslated;
        untranslated.setSourceModel(&model);
        untranslated.setStates({State::Untranslated});
        QCOMPARE(untranslated.rowCount(), 2);
        const QModelIndex lamp = model.index(2, TranslationTableModel::TranslationColumn);
        QVERIFY(model.flags(lamp) & Qt::ItemIsEditable);
        QVERIFY(model.setData(lamp, u"La\nmpa"_s));
        QCOMPARE(model.data(lamp).toString(), u"La\nmpa"_s);
        QCOMPARE(model.data(model.index(2, TranslationTableModel::StateColumn)).toString(), u"Suspicious"_s);
        QCOMPARE(model.data(lamp, TranslationTableModel::StateRole).toInt(), int(State::Suspicious));
        QCOMPARE(untranslated.rowCount(), 1);
        QCOMPARE(model.pair().nextRow(0, true, [](const auto &row) { return row.state == State::Untranslated; }), 0);
    }

    // Which file is translated into which: names compared without regard to
    // case; a file the target lacks goes under the target's language folder
    // as the mission spells it (or as typed), or beside its source in
    // another folder; files of no language are not paired by language.
    void pairsTheFiles()
    {
        QTemporaryDir dir;
        const QDir root(dir.path());
        for (const QString &name : {u"books/English/Diary.str"_s, u"books/English/Map.str"_s,
                                    u"books/POLISH/DIARY.STR"_s, u"strings/english/titles.str"_s,
                                    u"objnames.str"_s, u"other/Diary.str"_s}) {
            QVERIFY(root.mkpath(QFileInfo(name).path()));
            Testing::writeAll(root.filePath(name), "Page_0:\"x\"\r\n");
        }
        const auto shown = [&](const QList<MissionTranslation::FilePair> &pairs) {
            QStringList lines;
            for (const MissionTranslation::FilePair &pair : pairs)
                lines.append(pair.name + u" > "_s + root.relativeFilePath(pair.targetPath) + (pair.targetExists ? u""_s : u" (new)"_s));
            return lines.join(u'\n');
        };
        const MissionFolder::Scan scan = MissionFolder::scan(root.path());
        QCOMPARE(shown(MissionTranslation::pairLanguages(scan, u"english"_s, u"polish"_s)),
                 u"books/English/Diary.str > books/POLISH/DIARY.STR\nbooks/English/Map.str > books/POLISH/Map.str (new)\n"
                 "strings/english/titles.str > strings/POLISH/titles.str (new)"_s);
        QCOMPARE(shown(MissionTranslation::pairLanguages(scan, u"english"_s, u"Czech"_s)),
                 u"books/English/Diary.str > books/Czech/Diary.str (new)\nbooks/English/Map.str > books/Czech/Map.str (new)\n"
                 "strings/english/titles.str > strings/Czech/titles.str (new)"_s);
        const MissionFolder::Scan other = MissionFolder::scan(root.filePath(u"other"_s));
        const MissionFolder::Scan books = MissionFolder::scan(root.filePath(u"books/English"_s));
        QCOMPARE(shown(MissionTranslation::pairFolders(books, other)),
                 u"Diary.str > other/Diary.str\nMap.str > other/Map.str (new)"_s);
        QCOMPARE(MissionTranslation::codePageOf(u" Polish"_s, 1252), 1250);
    }
};

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"
