// The translation window as a translator works through a mission: Ctrl+Down
// through what needs work among what the filter shows, typing on any cell of
// a row, the marks of unsaved work, the window on its screen and the
// languages remembered, a stand-in the code page lacks refused in one box,
// a mission translated whole, and a source taken from another folder.
#include "core/mission/translation/translationrecord.h"
#include "support/testing.h"
#include "translationsteps.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

const QByteArray Diary = "Page_0:\"It was dark.\"\r\nPage_1:\"The door\r\nwas locked.\"\r\nPage_2:\"%d coins\"\r\n";
const QByteArray PolishDiary = "Page_0:\"By\xB3o ciemno.\"\r\nPage_1:\"Drzwi\"\r\n";
const QByteArray Objects = "obj_key:\"Key\"\r\nobj_lock:\"Lock\"\r\n";
const QByteArray PolishObjects = "obj_key:\"Klucz\"\r\nobj_lock:\"Zamek\"\r\n";

QString currentKey(const TranslationWindow *view)
{
    return view->translationTable->currentIndex().siblingAtColumn(0).data().toString();
}

} // namespace

class TestTranslationWork : public QObject
{
    Q_OBJECT

private:
    // English and Polish: Page_0 and obj_lock translated from sources since changed.
    QString makeMission(Harness &h)
    {
        const QString root = h.path(u"mission"_s);
        for (const auto &[name, bytes] : QList<std::pair<QString, QByteArray>>{
                 {u"books/english/Diary.str"_s, Diary}, {u"books/polish/Diary.str"_s, PolishDiary},
                 {u"strings/english/objnames.str"_s, Objects}, {u"strings/polish/objnames.str"_s, PolishObjects}}) {
            [&] { QVERIFY(QDir(root).mkpath(QFileInfo(name).path())); }();
            Testing::writeAll(QDir(root).filePath(name), bytes);
        }
        TranslationRecord::Record record{u"mission"_s, u"polish"_s, {}};
        record.files[u"books/english/Diary.str"_s][u"Page_0"_s] = {
            TranslationRecord::EntryState::Translated, TranslationRecord::hashOf(u"It was light."_s), u"It was light."_s, {}};
        record.files[u"strings/english/objnames.str"_s][u"obj_lock"_s] = {
            TranslationRecord::EntryState::Translated, TranslationRecord::hashOf(u"Old lock"_s), u"Old lock"_s, {}};
        [&] { QCOMPARE(TranslationRecord::save(QDir(root).filePath(TranslationRecord::fileName(u"polish"_s)), record),
                       std::nullopt); }();
        return root;
    }

private Q_SLOTS:
    // Ctrl+Down walks the entries that need work among those the filter
    // shows, across files and round the mission; the filter stays.
    void ctrlDownWalksWhatTheFilterShows()
    {
        Harness h;
        TranslationWindow *view = openTranslation(h, makeMission(h), u"english"_s, u"polish"_s);
        QVERIFY(view);
        view->translationFilter->setCurrentIndex(view->translationFilter->findText(u"Outdated"_s));
        QCOMPARE(view->filterCounts->text(), u"2 entries in 2 files"_s);
        view->translationTable->setFocus();
        QStringList walked;
        for (int step = 0; step < 3; ++step) {
            QTest::keyClick(view->translationTable, Qt::Key_Down, Qt::ControlModifier);
            walked.append(currentFile(view) + u':' + currentKey(view));
        }
        QCOMPARE(walked, QStringList({u"strings/english/objnames.str:obj_lock"_s, u"books/english/Diary.str:Page_0"_s,
                                      u"strings/english/objnames.str:obj_lock"_s}));   // from the first shown, Page_0
        QCOMPARE(view->translationFilter->currentText(), u"Outdated"_s);
        view->translationFilter->setCurrentIndex(0);   // all: the untranslated too, not the suspicious
        walked.clear();
        for (int step = 0; step < 3; ++step) {
            QTest::keyClick(view->translationTable, Qt::Key_Down, Qt::ControlModifier);
            walked.append(currentKey(view));
        }
        QCOMPARE(walked, QStringList({u"Page_0"_s, u"Page_2"_s, u"obj_lock"_s}));
        QTest::keyClick(view->translationTable, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(currentKey(view), u"Page_2"_s);
        QCOMPARE(view->translationFilter->currentText(), u"All entries"_s);
    }

    // A key typed on the key's or the source's cell goes into the
    // translation, not to the table's search by first letters.
    void typingOnAnyCellEditsTheTranslation()
    {
        Harness h;
        TranslationWindow *view = openTranslation(h, makeMission(h), u"english"_s, u"polish"_s);
        QVERIFY(view);
        QTableView *table = view->translationTable;
        table->setFocus();
        table->setCurrentIndex(table->model()->index(2, TranslationTableModel::SourceColumn));   // Page_2
        QTest::keyClick(table, 'M');
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != table);
        QTest::keyClicks(editor, u"onety %d"_s);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();   // the cell takes the text once the editor closes
        QCOMPARE(shownTranslation(view, u"Page_2"_s), u"Monety %d"_s);
        QCOMPARE(currentKey(view), u"Page_2"_s);
    }

    // What is not saved is marked: the window's title and the file's name.
    void marksWhatIsUnsaved()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        QVERIFY(!view->isWindowModified());
        translate(view, u"Page_2"_s, u"%d monet"_s);
        QVERIFY(view->isWindowModified());
        QCOMPARE(view->translationFiles->model()->index(0, 0).data().toString(), u"books/english/Diary.str *"_s);
        QCOMPARE(view->translationFiles->model()->index(1, 0).data().toString(), u"strings/english/objnames.str"_s);
        view->markDone->click();   // a mark alone is unsaved work too
        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!view->isWindowModified());
        QCOMPARE(view->translationFiles->model()->index(0, 0).data().toString(), u"books/english/Diary.str"_s);
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/polish/Diary.str"_s)),
                 QByteArray(PolishDiary) + "Page_2:\"%d monet\"\r\n");
    }

    // Larger than the screen it opens on, the window is made to fit it.
    void staysOnTheScreen()
    {
        Harness h;
        TranslationWindow *view = openTranslation(h, makeMission(h), u"english"_s, u"polish"_s);
        QVERIFY(view);
        const QRect available = view->screen()->availableGeometry();
        QVERIFY2(available.contains(view->frameGeometry()),
                 qPrintable(u"%1,%2 %3x%4 in %5x%6"_s.arg(view->frameGeometry().x()).arg(view->frameGeometry().y())
                                .arg(view->frameGeometry().width()).arg(view->frameGeometry().height())
                                .arg(available.width()).arg(available.height())));
    }

    // Opened again on the same mission, the window translates into the language last chosen.
    void remembersTheLanguages()
    {
        Harness h;
        const QString root = makeMission(h);
        QVERIFY(QDir(root).mkpath(u"strings/german"_s));
        Testing::writeAll(QDir(root).filePath(u"strings/german/objnames.str"_s), "obj_key:\"Schl\xFCssel\"\r\n");
        QVERIFY(openTranslation(h, root, u"english"_s, u"german"_s));
        Harness again;
        TranslationWindow *view = openTranslation(again, root, QString(), QString());
        QVERIFY(view);
        QCOMPARE(view->targetLanguage->currentText(), u"german"_s);
        QCOMPARE(view->translationCounts->text(), u"1 of 5 entries translated"_s);
    }

    // A new Russian file would carry English texts as stand-ins: one of them
    // the code page lacks refuses the save, in one box, by file, key, text
    // and character; nothing is written, nothing left out.
    void aStandInTheCodePageLacksIsRefused()
    {
        Harness h;
        const QString root = makeMission(h);
        Testing::writeAll(QDir(root).filePath(u"strings/english/objnames.str"_s), "obj_key:\"Key\"\r\nobj_cafe:\"Caf\xE9\"\r\n");
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"russian"_s);
        QVERIFY(view);
        view->translationFiles->setCurrentIndex(view->translationFiles->model()->index(1, 0));
        translate(view, u"obj_key"_s, u"\u041A\u043B\u044E\u0447"_s);
        const qsizetype before = h.prompts.messages.size();
        h.window().saveAllAction->trigger();
        QCOMPARE(h.prompts.messages.size(), before + 1);
        QCOMPARE(h.lastMessage().text,
                 u"%1 cannot be saved:\n\nThe entry obj_cafe is not translated yet, so it would carry the source's text "
                 "\u201CCaf\u00E9\u201D, and the Cyrillic code page (Windows-1251) lacks \u201C\u2068\u00E9\u2069\u201D "
                 "(U+00E9, Latin).\n\nTranslate it, then save again. Nothing was written."_s
                     .arg(QDir::toNativeSeparators(u"strings/russian/objnames.str"_s)));
        QCOMPARE(currentKey(view), u"obj_cafe"_s);   // shown where the work is
        QVERIFY(!QFileInfo::exists(QDir(root).filePath(u"strings/russian"_s)));
        translate(view, u"obj_cafe"_s, u"\u041A\u0430\u0444\u0435"_s);
        h.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"strings/russian/objnames.str"_s)),
                 QByteArray("obj_key:\"\xCA\xEB\xFE\xF7\"\r\nobj_cafe:\"\xCA\xE0\xF4\xE5\"\r\n"));
    }

    // Flags and decal geometry are not offered, keys differing in case are
    // one entry: once every entry offered is translated, nothing is left.
    void aMissionIsTranslatedWhole()
    {
        Harness h;
        const QString root = makeMission(h);
        Testing::writeAll(QDir(root).filePath(u"books/english/Diary.str"_s),
                          "Page_0:\"#0 $ 1 203 257 370\"\r\nno_trim:\"1\"\r\nPage_1:\"It was dark.\"\r\n");
        Testing::writeAll(QDir(root).filePath(u"strings/english/objnames.str"_s),
                          "Name_Corpse:\"Corpse\"\r\nName_corpse:\"corpse\"\r\n");
        QFile::remove(QDir(root).filePath(u"books/polish/Diary.str"_s));
        QFile::remove(QDir(root).filePath(u"strings/polish/objnames.str"_s));
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        QCOMPARE(shownKeys(view->translationTable), u"Page_1"_s);
        translate(view, u"Page_1"_s, u"By\u0142o ciemno."_s);
        view->translationFiles->setCurrentIndex(view->translationFiles->model()->index(1, 0));
        QCOMPARE(shownKeys(view->translationTable), u"Name_Corpse"_s);
        translate(view, u"Name_Corpse"_s, u"Zw\u0142oki"_s);
        QCOMPARE(view->translationCounts->text(), u"2 of 2 entries translated"_s);
        QCOMPARE(view->translationFiles->model()->index(0, 2).data().toString(), u"0"_s);   // left
        QCOMPARE(view->translationFiles->model()->index(1, 2).data().toString(), u"0"_s);
        view->translationSave->click();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/polish/Diary.str"_s)),
                 QByteArray("Page_0:\"#0 $ 1 203 257 370\"\r\nno_trim:\"1\"\r\nPage_1:\"By\xB3o ciemno.\"\r\n"));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"strings/polish/objnames.str"_s)),
                 QByteArray("Name_Corpse:\"Zw\xB3oki\"\r\nName_corpse:\"corpse\"\r\n"));
    }

    // A mission whose english folder holds the Polish texts takes its
    // source from a copy of the original: the copy is read while the window
    // goes on, then each entry stands beside its original.
    void theSourceComesFromAnotherFolder()
    {
        Harness h;
        const QString root = h.path(u"translated"_s);
        const QString original = h.path(u"original"_s);
        QVERIFY(QDir().mkpath(root + u"/books/english"_s));
        QVERIFY(QDir().mkpath(original + u"/books/english"_s));
        Testing::writeAll(root + u"/books/english/Diary.str"_s, "Page_0:\"Bylo ciemno.\"\r\nPage_1:\"Drzwi\"\r\n");
        Testing::writeAll(original + u"/books/english/Diary.str"_s, Diary);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, QString());
        QVERIFY(view);
        h.prompts.setNextPath(original);
        view->sourceFolderButton->click();
        QVERIFY(!view->sourceFolderButton->isEnabled());   // still reading
        QTRY_VERIFY(view->sourceFolderButton->isEnabled());
        QCOMPARE(shownKeys(view->translationTable), u"Page_0|Page_1|Page_2"_s);
        const QAbstractItemModel *table = view->translationTable->model();
        QCOMPARE(table->index(0, 1).data().toString(), u"It was dark."_s);
        QCOMPARE(table->index(0, 2).data().toString(), u"Bylo ciemno."_s);
    }
};

QTEST_MAIN(TestTranslationWork)
#include "tst_translationwork.moc"
