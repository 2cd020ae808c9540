// Translations: rows paired by key in the source's order and their states,
// keys that differ only in case, what is no prose, the target's bytes after
// an edit, an entry put in where the source has it, a whole new file laid out
// as the source, characters the code page lacks (named by code and script),
// files not safe to write, a file's notes, the counts and the table.
#include "core/mission/translation/charactername.h"
#include "core/mission/translation/missiontranslation.h"
#include "core/mission/translation/translation.h"
#include "core/mission/translation/translationtable.h"
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

// The refusal's message, or what was written.
QString refusalMessage(const TranslationPair &pair)
{
    const auto bytes = pair.write();
    if (const auto *refused = std::get_if<TranslationPair::Refusal>(&bytes))
        return refused->message;
    return u"<written: "_s + QString::fromLatin1(std::get<QByteArray>(bytes)) + u'>';
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
        QTest::addColumn<bool>("review");    // set to wait for a review before the mark
        const auto row = [](const char *name, const char *source, const char *target, State state,
                            const QString &reason = {}, bool marked = false, bool counted = true, bool review = false) {
            QTest::newRow(name) << QByteArray(source) << QByteArray(target) << marked << int(state) << reason
                                << counted << review;
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
        row("two reasons", "a\\n%d", "b", State::Suspicious, u"1 line break in the source, 0 here; %d missing"_s);
        row("to review", "Open", "Otworz", State::NeedsReview, u"The translation waits for a review."_s, false, true, true);
        row("to review, suspicious", "%d gold", "zloto", State::NeedsReview,
            u"The translation waits for a review: %d missing"_s, false, true, true);
        row("reviewed: marked done", "Open", "Otworz", State::Done, {}, true, true, true);
    }
    void judgesEachRow()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, target);
        QFETCH(bool, marked);
        QFETCH(int, state);
        QFETCH(QString, reason);
        QFETCH(bool, counted);
        QFETCH(bool, review);
        const QByteArray other = "obj_other:\"x\"\r\n";
        TranslationPair pair(read("obj_Gate:\"" + source + "\"\r\n" + other),
                             read((target.isNull() ? QByteArray() : "OBJ_GATE:\"" + target + "\"\r\n") + other), 1252);
        QCOMPARE(pair.setReview(0, review), review);
        QCOMPARE(pair.setMarkedDone(0, marked), marked);
        QCOMPARE(int(pair.row(0).state), state);
        QCOMPARE(pair.row(0).reason, reason);
        QCOMPARE(pair.row(0).key, u"obj_Gate"_s);
        QCOMPARE(pair.counts().translated, 1 + int(counted));
        QCOMPARE(pair.counts().toReview, int(state == int(State::NeedsReview)));
        if (pair.row(0).state != State::Untranslated) {   // typed anew: the translator's own, reviewed
            QVERIFY(pair.setTargetText(0, u"Nowy"_s));
            QVERIFY(!pair.row(0).review && !pair.row(0).markedDone);
        }
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

    // Keys that differ only in case are one entry to the game, which reads
    // the first: one row, and the others copied as they stand.
    void keysThatDifferInCaseAreOneRow()
    {
        const QByteArray source = "Name_Corpse:\"Corpse\"\r\nobj_b:\"Two\"\r\n\r\nName_corpse:\"corpse\"\r\n";
        TranslationPair pair(read(source), Target{}, 1250);
        QCOMPARE(pair.rows().size(), 2);
        QCOMPARE(pair.row(0).key, u"Name_Corpse"_s);
        QVERIFY(pair.setTargetText(0, u"Zw\u0142oki"_s));
        QVERIFY(pair.setTargetText(1, u"Dwa"_s));
        QCOMPARE(pair.counts().translated, pair.counts().total);   // all of it
        QCOMPARE(written(pair), QByteArray("Name_Corpse:\"Zw\xB3oki\"\r\nobj_b:\"Dwa\"\r\n\r\nName_corpse:\"corpse\"\r\n"));
    }

    // Flags, fonts, paths and decal geometry are no prose: not offered, not
    // counted, copied as they stand (into a file that lacks them too), so a
    // file can be translated whole.
    void offersOnlyProse_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("string table") << QByteArray("no_trim:\"1\"\r\nobj_lamp:\"Lamp\"\r\nfont_name:\"Arial\"\r\n"
                                                    "obj_pic:\"art/pbook.tga\"\r\nobj_count:\"12 345\"\r\n")
                                      << QStringList{u"obj_lamp"_s};
        QTest::newRow("a book's decals") << QByteArray("Page_0:\"#0 $ 1 203 257 370\"\r\nPage_1:\"#2 0 0 0 art/pbook\"\r\n"
                                                       "Page_2:\"It was dark.\"\r\n")
                                         << QStringList{u"Page_2"_s};
        QTest::newRow("missflag.str") << QByteArray("miss01: \"no_briefing\"\r\n") << QStringList();
    }
    void offersOnlyProse()
    {
        QFETCH(QByteArray, source);
        QFETCH(QStringList, rows);
        StrReader::Result opened = read(source);
        if (source.startsWith("miss01"))
            opened.kind = Kinds::Kind::Missflag;
        TranslationPair pair(opened, Target{}, 1252);
        QStringList keys;
        for (const auto &row : pair.rows())
            keys.append(row.key);
        QCOMPARE(keys, rows);
        QCOMPARE(pair.counts().total, rows.size());
        for (int r = 0; r < pair.rows().size(); ++r)
            QVERIFY(pair.setTargetText(r, u"Przet\u0142umaczone"_s));
        QCOMPARE(pair.counts().translated, pair.counts().total);   // 100 %
        // Written whole: what is no prose as it stands.
        QByteArray expected = source;
        for (const QString &key : rows) {
            const qsizetype at = expected.indexOf(key.toLatin1() + ":\"") + key.size() + 2;
            expected.replace(at, expected.indexOf('"', at) - at, "Przet\xB3umaczone");
        }
        TranslationPair polish(opened, Target{}, 1250);
        for (int r = 0; r < polish.rows().size(); ++r)
            QVERIFY(polish.setTargetText(r, u"Przet\u0142umaczone"_s));
        QCOMPARE(written(polish), expected);
    }

    // A translation that lacks what is no prose gets it, where the source has it.
    void copiesWhatIsNoProseInto()
    {
        TranslationPair pair(read("no_trim:\"1\"\r\nobj_lamp:\"Lamp\"\r\nfont_name:\"Arial\"\r\nobj_count:\"12 345\"\r\n"),
                             read("obj_other:\"x\"\r\nobj_lamp:\"Lampa\"\r\n"), 1250);
        QVERIFY(pair.setTargetText(0, u"Lampka"_s));
        QCOMPARE(written(pair), QByteArray("obj_other:\"x\"\r\nno_trim:\"1\"\r\nobj_lamp:\"Lampka\"\r\nfont_name:\"Arial\"\r\n"
                                           "obj_count:\"12 345\"\r\n"));
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
        const QByteArray english = QByteArray(Source).replace("\xE8", "e");
        TranslationPair pair(read(english), Target{}, 1250);
        QVERIFY(!pair.targetExists());
        QVERIFY(pair.setTargetText(1, u"Drzwi Za\u017C\u00F3\u0142\u0107"_s));
        QCOMPARE(written(pair),
                 QByteArray("// Gate texts\r\n\r\nobj_Gate:\"The gate\"\r\n  obj_door: \"Drzwi Za\xBF\xF3\xB3\xE6\" // old\r\n"
                            "// e lamps\r\nobj_lamp:\"Lamp\"\r\n"));
        QCOMPARE(int(pair.row(0).state), int(State::Untranslated));   // the source's text stands in
        const auto entries = pair.recordEntries();
        QCOMPARE(entries.value(u"obj_Gate"_s).state, TranslationRecord::EntryState::Untranslated);
        QCOMPARE(entries.value(u"obj_door"_s).source, u"A door"_s);
    }

    // A character the code page lacks is refused, never left out: typed,
    // in the source's text standing in, or in a line kept as it stands;
    // named by its code and its script (a Cyrillic М is no Latin M).
    void refusesWhatTheCodePageLacks()
    {
        TranslationPair pair(read(Source), Target{}, 1250);
        QVERIFY(pair.setTargetText(2, u"jeden\ndwa \u00F1"_s));
        QCOMPARE(refusal(pair), u"the translation of obj_lamp 2:5 row 2"_s);
        QCOMPARE(refusalMessage(pair), u"In the translation of obj_lamp, line 2, column 5, there is \u201C\u2068\u00F1\u2069\u201D "
                                      "(U+00F1, Latin), which the Central European code page (Windows-1250) cannot "
                                      "represent.\n\nReplace or remove it, then save again. Nothing was written."_s);
        QVERIFY(pair.setTargetText(2, u"Lampa"_s));
        QCOMPARE(refusal(pair), u"the source file 5:4 row -1"_s);   // "è" in a comment copied from the source

        // A new Russian file: the stand-ins too, by key, text and characters.
        TranslationPair russian(read("obj_gate:\"Gate\"\r\nobj_cafe:\"Caf\xE9 \xC9toile\"\r\n"), Target{}, 1251);
        QVERIFY(russian.setTargetText(0, u"\u0412\u043E\u0440\u043E\u0442\u0430"_s));
        QCOMPARE(refusalMessage(russian),
                 u"The entry obj_cafe is not translated yet, so it would carry the source's text \u201CCaf\u00E9 \u00C9toile\u201D, "
                 "and the Cyrillic code page (Windows-1251) lacks \u201C\u2068\u00E9\u2069\u201D (U+00E9, Latin), "
                 "\u201C\u2068\u00C9\u2069\u201D (U+00C9, Latin).\n\nTranslate it, then save again. Nothing was written."_s);
        QVERIFY(russian.setTargetText(1, u"\u041A\u0430\u0444\u0435"_s));
        QCOMPARE(written(russian), QByteArray("obj_gate:\"\xC2\xEE\xF0\xEE\xF2\xE0\"\r\nobj_cafe:\"\xCA\xE0\xF4\xE5\"\r\n"));
    }

    void namesACharacter_data()
    {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<QString>("named");
        QTest::newRow("Cyrillic") << 0x041Cu << u"\u201C\u2068\u041C\u2069\u201D (U+041C, Cyrillic)"_s;
        QTest::newRow("Latin") << 0x004Du << u"\u201C\u2068M\u2069\u201D (U+004D, Latin)"_s;
        QTest::newRow("Greek") << 0x03A9u << u"\u201C\u2068\u03A9\u2069\u201D (U+03A9, Greek)"_s;
        QTest::newRow("sign") << 0x20ACu << u"\u201C\u2068\u20AC\u2069\u201D (U+20AC, Common)"_s;
        QTest::newRow("invisible") << 0x200Bu << u"U+200B, Common"_s;
        QTest::newRow("combining") << 0x0301u << u"U+0301, Inherited"_s;
        QTest::newRow("beyond the BMP") << 0x1F600u << u"\u201C\u2068\U0001F600\u2069\u201D (U+1F600, Common)"_s;
    }
    void namesACharacter()
    {
        QFETCH(uint, codePoint);
        QFETCH(QString, named);
        QCOMPARE(CharacterName::describe(char32_t(codePoint)), named);
    }

    // A file's notes for translators: the comments above an entry and after
    // it are the entry's, every other comment the file's own.
    void tellsTheNotesOfAFile()
    {
        const StrDocument document = read("// The titles of the campaign\r\n// the title is a pun\r\n\r\n// first\r\n"
                                          "title_1:\"A\" // short\r\n\r\n// on its own\r\n\r\ntitle_2:\"B\r\n// not a comment\"\r\n"
                                          "// at the end\r\n").document;
        const TranslationRecord::Notes notes = TranslationRecord::notesOf(document);
        QCOMPARE(notes.opening, u"The titles of the campaign\nthe title is a pun\non its own\nat the end"_s);
        QCOMPARE(notes.perEntry, QStringList({u"first\nshort"_s, QString()}));
    }

    // A document with changes another view made, read as it now stands,
    // whatever its code page lacks.
    void readsADocumentAsItStands()
    {
        StrDocument document = read("a:\"x\"\r\nb:\"y\"\r\n").document;
        document.setText(1, u"\u0416\r\nz"_s, multiLine(u"\u0416"_s, u"b"_s));
        document.insertEntry(document.entries().at(0).end, u"c"_s, u"new"_s, {}, {});
        QVERIFY(!document.written(1252));
        const StrDocument now = document.current();
        QStringList entries;
        for (int entry = 0; entry < now.entries().size(); ++entry)
            entries.append(now.key(entry) + u'=' + now.text(entry));
        QCOMPARE(entries, QStringList({u"a=x"_s, u"c=new"_s, u"b=\u0416\r\nz"_s}));
        QCOMPARE(now.write(1251), document.write(1251));   // what it would write, unchanged
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
        QTest::newRow("to review") << 1500 << 1580 << u"1,500 of 1,580 entries translated, 1,200 to review"_s;
    }
    void countsAsEnglishDoes()
    {
        QFETCH(int, translated);
        QFETCH(int, total);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QLocale::German));
        TranslationPair::Counts mission{1, 2, 0, 0};
        mission += TranslationPair::Counts{translated - 1, total - 2, 3, translated == 1500 ? 1200 : 0};
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
