// The translation window driven from the keyboard as a translator drives
// it: the counts, the filter, next untranslated, a translation typed and
// saved byte for byte, and a new language started by name; a translation is
// a change of the mission's workspace (undo, Save All, drafts, a tab).
#include "core/mission/translation/personalmemory.h"
#include "core/mission/translation/missiontranslation.h"
#include "gui/mission/missionpanel.h"
#include "gui/translation/entrypane.h"
#include "gui/translation/translationwindow.h"
#include "support/harness.h"
#include "support/modal.h"
#include "support/testing.h"
#include "translationsteps.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QStandardPaths>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\n\r\nPage_1:\"The door\r\nwas locked.\"\r\n"
                         "Page_2:\"%d coins\"\r\n";
const QByteArray PolishDiary = "page_0: \"By\xB3o ciemno.\"\r\n";   // "Było ciemno." in Windows-1250
const QByteArray Objects = "obj_key:\"Key\"\r\n";

} // namespace

class TestTranslationView : public QObject
{
    Q_OBJECT

private:
    QString makeMission(Harness &h)
    {
        const QString root = h.path(u"mission"_s);
        for (const auto &[name, bytes] : QList<std::pair<QString, QByteArray>>{
                 {u"books/english/Diary.str"_s, Diary},
                 {u"books/Polish/DIARY.STR"_s, PolishDiary},
                 {u"strings/english/objnames.str"_s, Objects}}) {
            [&] { QVERIFY(QDir(root).mkpath(QFileInfo(name).path())); }();
            Testing::writeAll(QDir(root).filePath(name), bytes);
        }
        return root;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);   // the translator's own memory is not touched
        cleanupTestCase();
    }
    void cleanupTestCase()
    {
        QDir(QFileInfo(PersonalMemory::pathOf(u"a"_s, u"b"_s)).path()).removeRecursively();
    }

    // English into Polish: the counts, the filter, Ctrl+Down to what is
    // left, a translation typed and saved in Windows-1250, English untouched.
    void translatesEntryByEntry()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        const QSize table = view->translationTable->size();   // follows the window's size
        view->resize(view->size() + QSize(80, 60));   // larger: a smaller one may be under its least size
        QTRY_VERIFY(view->translationTable->width() > table.width() && view->translationTable->height() > table.height());
        QCOMPARE(view->targetCodePage->currentText(), u"Central European (Windows-1250)"_s);
        QCOMPARE(view->translationCounts->text(), u"1 of 4 entries translated"_s);
        QCOMPARE(view->translationFiles->model()->index(0, 1).data().toString(), u"1 of 3"_s);

        view->translationFilter->setCurrentIndex(view->translationFilter->findText(u"Untranslated"_s));
        QCOMPARE(shownKeys(view->translationTable), u"Page_1|Page_2"_s);
        view->translationFilter->setCurrentIndex(0);

        view->translationTable->setFocus();
        view->translationTable->setCurrentIndex(view->translationTable->model()->index(0, 2));
        QTest::keyClick(view->translationTable, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(0).data().toString(), u"Page_1"_s);
        QTest::keyClick(view->translationTable, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), u"Drzwi"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);   // a line break, as the source has
        auto *box = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget());
        QVERIFY(box);   // several lines, as the source's text
        box->insertPlainText(u"były zamknięte."_s);   // as a paste puts in what no key sends
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);   // the edit ends
        QCOMPARE(view->translationCounts->text(), u"2 of 4 entries translated"_s);

        QTest::keyClick(view->translationTable, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(0).data().toString(), u"Page_2"_s);
        typeLine(view->translationTable, u"monety"_s);   // the %d left out
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(3).data().toString(), u"Suspicious"_s);

        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/Polish/DIARY.STR"_s)),
                 QByteArray(PolishDiary) + "Page_1: \"Drzwi\r\nby\xB3y zamkni\xEAte.\"\r\nPage_2: \"monety\"\r\n");
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/english/Diary.str"_s)), Diary);
        QVERIFY(view->unsavedWork().isEmpty());
    }

    // A language the mission does not have yet, started by name: its code
    // page from the table, its files made whole in the source's layout.
    void startsANewLanguage()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"czech"_s);
        QVERIFY(view);
        QCOMPARE(view->targetCodePage->currentText(), u"Central European (Windows-1250)"_s);
        QCOMPARE(view->translationCounts->text(), u"0 of 4 entries translated"_s);
        view->translationTable->setFocus();
        view->translationTable->setCurrentIndex(view->translationTable->model()->index(0, 2));
        typeLine(view->translationTable, u"Byla tma."_s);
        view->translationSave->click();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/czech/Diary.str"_s)),
                 QByteArray(Diary).replace("It was dark.", "Byla tma."));   // whole: the rest as the source has it
        QVERIFY(!QFileInfo::exists(QDir(root).filePath(u"strings/czech/objnames.str"_s)));   // nothing translated
    }

    // A translation typed is a step of undo of its file: Ctrl+Z in the
    // window takes the last back, Edit › Undo of the main window the one
    // before, the table showing each; Redo brings one again. The main
    // window's close question names it, and its Save All writes it.
    void undoAndSaveAllOfATranslation()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        translate(view, u"Page_2"_s, u"%d monet"_s);
        translate(view, u"Page_0"_s, u"Ciemno."_s);
        QTest::keyClick(view->translationTable, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shownTranslation(view, u"Page_0"_s), u"By\u0142o ciemno."_s);
        QCOMPARE(shownTranslation(view, u"Page_2"_s), u"%d monet"_s);
        h.window().undoAction->trigger();
        QCOMPARE(shownTranslation(view, u"Page_2"_s), QString());
        QCOMPARE(view->translationCounts->text(), u"1 of 4 entries translated"_s);
        QVERIFY(view->unsavedWork().isEmpty());
        h.window().redoAction->trigger();
        QCOMPARE(shownTranslation(view, u"Page_2"_s), u"%d monet"_s);
        const QString question = h.closeQuestion();
        QVERIFY2(question.contains(u"\n- "_s + QDir::toNativeSeparators(u"books/Polish/DIARY.STR"_s)), qPrintable(question));
        QVERIFY(!question.contains(u"replacements"_s));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/Polish/DIARY.STR"_s)), PolishDiary);
        h.window().saveAllAction->trigger();
        // Written whole: the entry not translated carries the source's text.
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/Polish/DIARY.STR"_s)),
                 QByteArray(PolishDiary) + "Page_1: \"The door\r\nwas locked.\"\r\nPage_2: \"%d monet\"\r\n");
        QCOMPARE(h.closeQuestion(), QString());
    }

    // A crash keeps a translation of a new language: the draft holds it, and
    // restored in a new window, Save All makes the language's folder and file.
    void aDraftKeepsATranslation()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"czech"_s);
        QVERIFY(view);
        translate(view, u"Page_0"_s, u"Byla tma."_s);
        const QJsonObject draft = h.window().draftState();

        Harness again;
        again.window().restoreDraft(draft);
        QVERIFY(again.window().isWindowModified());
        again.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/czech/Diary.str"_s)),
                 QByteArray("// Book Location - Tower\r\nPage_0:\"Byla tma.\"\r\n\r\nPage_1:\"The door\r\nwas locked.\"\r\n"
                            "Page_2:\"%d coins\"\r\n"));
    }

    // A translation typed into a file open in a tab shows in the tab at once.
    void aTabShowsATranslation()
    {
        Harness h;
        const QString root = makeMission(h);
        h.window().openFolder(root);
        MissionPanel *panel = h.window().missionPanel;
        QVERIFY(panel && QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000));
        const QList<MissionFolder::File> &files = panel->scan().files;
        const auto polish = std::find_if(files.cbegin(), files.cend(), [](const MissionFolder::File &file) {
            return file.relativePath == u"books/Polish/DIARY.STR"_s;
        });
        QVERIFY(polish != files.cend());
        Q_EMIT panel->fileChosen(int(polish - files.cbegin()), -1);
        QVERIFY2(h.text("Bptxt").contains(u"By\u0142o ciemno."_s), qPrintable(h.text("Bptxt")));
        TranslationWindow *view = showTranslation(h, u"english"_s, u"polish"_s);
        QVERIFY(view);
        translate(view, u"Page_2"_s, u"%d monet"_s);
        QVERIFY2(h.text("Bptxt").contains(u"%d monet"_s), qPrintable(h.text("Bptxt")));
    }

    // Ctrl+Down past a file's last untranslated entry goes to the next
    // file's first, Ctrl+Up back, with a filter on as without.
    void ctrlDownCrossesFiles()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        view->translationFilter->setCurrentIndex(view->translationFilter->findText(u"Untranslated"_s));
        translate(view, u"Page_2"_s, u"%d monet"_s);   // leaves the filter; Page_1 is the file's last
        view->translationTable->setCurrentIndex(view->translationTable->model()->index(0, 2));
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(0).data().toString(), u"Page_1"_s);
        QTest::keyClick(view->translationTable, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(currentFile(view), u"strings/english/objnames.str"_s);
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(0).data().toString(), u"obj_key"_s);
        QCOMPARE(view->translationFilter->currentText(), u"Untranslated"_s);
        QTest::keyClick(view->translationTable, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(currentFile(view), u"books/english/Diary.str"_s);
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(0).data().toString(), u"Page_1"_s);
    }

    // The filter is the mission's: its count, the files listed, the file
    // shown; each file's progress in sight, the files sorted by what is left.
    void theFilterSpansTheMission()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        const QHeaderView *header = view->translationFiles->header();
        for (const int column : {1, 2})
            QVERIFY(header->sectionViewportPosition(column) + header->sectionSize(column)
                    <= view->translationFiles->viewport()->width());
        const QAbstractItemModel *files = view->translationFiles->model();
        QCOMPARE(files->index(1, 2).data().toString(), u"1"_s);   // Left
        view->translationFiles->sortByColumn(2, Qt::AscendingOrder);
        QCOMPARE(files->index(0, 0).data().toString(), u"strings/english/objnames.str"_s);
        QCOMPARE(files->index(1, 0).data().toString(), u"books/english/Diary.str"_s);

        view->translationFilter->setCurrentIndex(view->translationFilter->findText(u"Untranslated"_s));
        QCOMPARE(view->filterCounts->text(), u"3 entries in 2 files"_s);
        QCOMPARE(files->rowCount(), 2);
        view->translationFiles->setCurrentIndex(files->index(0, 0));   // objnames: nothing done
        view->translationFilter->setCurrentIndex(view->translationFilter->findText(u"Done"_s));
        QCOMPARE(view->filterCounts->text(), u"1 entry in 1 file"_s);
        QCOMPARE(files->rowCount(), 1);
        QCOMPARE(view->translationFiles->currentIndex().data().toString(), u"books/english/Diary.str"_s);
        QCOMPARE(shownKeys(view->translationTable), u"Page_0"_s);
        view->translationFilter->setCurrentIndex(0);
        QCOMPARE(files->rowCount(), 2);
        QCOMPARE(view->filterCounts->text(), QString());
    }

    // The search lists the entries of every file whose source or
    // translation holds the text; choosing one shows it.
    void searchesTheWholeMission()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        QTest::keyClicks(view->translationSearch, u"CIEMNO"_s);   // a translation's, without regard to case
        QTRY_COMPARE(view->searchCounts->text(), u"1 entry found"_s);
        view->translationSearch->clear();
        QTest::keyClicks(view->translationSearch, u"key"_s);
        QTRY_COMPARE(view->searchCounts->text(), u"1 entry found"_s);
        view->translationSearch->setText(u"door was"_s);   // a line break reads as a space
        QTRY_COMPARE(view->searchCounts->text(), u"1 entry found"_s);
        const QModelIndex found = view->searchResults->model()->index(0, 1);
        QCOMPARE(found.data().toString(), u"Page_1"_s);
        view->translationFiles->setCurrentIndex(view->translationFiles->model()->index(1, 0));
        QTest::mouseClick(view->searchResults->viewport(), Qt::LeftButton, {},
                          view->searchResults->visualRect(found).center());
        QCOMPARE(view->translationFiles->currentIndex().data().toString(), u"books/english/Diary.str"_s);
        QCOMPARE(view->translationTable->currentIndex().siblingAtColumn(0).data().toString(), u"Page_1"_s);
    }

    // Exported and taken back unchanged, XLIFF and PO change nothing and
    // write no byte; a text changed in the PO is one step of undo, saved whole.
    void exportedAndImportedBack()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        const QString polish = QDir(root).filePath(u"books/Polish/DIARY.STR"_s);
        for (QAction *exported : {view->exportXliffAction, view->exportPoAction}) {
            const QString path = h.path(exported == view->exportPoAction ? u"out.po"_s : u"out.xlf"_s);
            h.prompts.setNextPath(path);
            exported->trigger();
            h.prompts.setNextPath(path);
            view->importAction->trigger();
            QVERIFY2(h.lastMessage().text.contains(u"nothing was changed"_s), qPrintable(h.lastMessage().text));
            QVERIFY(view->unsavedWork().isEmpty());
        }
        h.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(polish), PolishDiary);
        QVERIFY(!QFileInfo::exists(QDir(root).filePath(u"strings/Polish/objnames.str"_s)));

        QByteArray po = Testing::readAll(h.path(u"out.po"_s));
        const QByteArray coins = "msgid \"%d coins\"\nmsgstr \"\"";
        QVERIFY2(po.contains(coins), po.constData());
        po.replace(coins, "msgid \"%d coins\"\nmsgstr \"%d monet\"");
        Testing::writeAll(h.path(u"out.po"_s), po);
        h.prompts.setNextPath(h.path(u"out.po"_s));
        view->importAction->trigger();
        QCOMPARE(shownTranslation(view, u"Page_2"_s), u"%d monet"_s);
        QCOMPARE(view->unsavedWork().size(), 1);
        view->undoAction->trigger();
        QCOMPARE(shownTranslation(view, u"Page_2"_s), QString());
        view->redoAction->trigger();
        view->translationSave->click();
        QCOMPARE(Testing::readAll(polish),
                 QByteArray(PolishDiary) + "Page_1: \"The door\r\nwas locked.\"\r\nPage_2: \"%d monet\"\r\n");

        // Marked final in the translator's tool: done here, the file as it was.
        QByteArray xliff = Testing::readAll(h.path(u"out.xlf"_s));
        QVERIFY2(xliff.contains("<target state=\"translated\">By\xC5\x82o ciemno.</target>"), xliff.constData());
        xliff.replace("<target state=\"translated\">By", "<target state=\"final\">By");
        Testing::writeAll(h.path(u"out.xlf"_s), xliff);
        const QByteArray saved = Testing::readAll(polish);
        h.prompts.setNextPath(h.path(u"out.xlf"_s));
        view->importAction->trigger();
        QVERIFY2(h.lastMessage().text.startsWith(u"1 translation taken"_s), qPrintable(h.lastMessage().text));
        const QAbstractItemModel *rows = view->translationTable->model();
        QCOMPARE(rows->index(0, 0).data().toString(), u"Page_0"_s);
        QCOMPARE(rows->index(0, TranslationTableModel::StateColumn).data().toString(), u"Done"_s);
        QCOMPARE(view->unsavedWork().size(), 1);
        view->translationSave->click();
        QCOMPARE(Testing::readAll(polish), saved);
    }

    // A PO with an unknown entry, or a malformed line, beside a good change
    // changes nothing, writes nothing, and says which entry or line.
    void aFaultyImportTakesNothing_data()
    {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<QString>("told");
        QTest::newRow("unknown key") << QByteArray("objnames.str|obj_key") << QByteArray("objnames.str|obj_lock")
                                     << u"strings/english/objnames.str has no entry obj_lock."_s;
        QTest::newRow("malformed") << QByteArray("msgid \"Key\"") << QByteArray("msgid \"Key")
                                   << u"A malformed line: msgid \"Key"_s;
    }
    void aFaultyImportTakesNothing()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(QString, told);
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        h.prompts.setNextPath(h.path(u"out.po"_s));
        view->exportPoAction->trigger();
        QByteArray po = Testing::readAll(h.path(u"out.po"_s));
        po.replace("msgid \"%d coins\"\nmsgstr \"\"", "msgid \"%d coins\"\nmsgstr \"%d monet\"");
        QVERIFY2(po.contains(from), po.constData());
        po.replace(from, to);
        Testing::writeAll(h.path(u"out.po"_s), po);
        h.prompts.setNextPath(h.path(u"out.po"_s));
        view->importAction->trigger();
        const QString message = h.lastMessage().text;
        QVERIFY2(message.contains(u"nothing in the mission was changed"_s), qPrintable(message));
        QVERIFY2(message.contains(told), qPrintable(message));
        QCOMPARE(shownTranslation(view, u"Page_2"_s), QString());
        QVERIFY(view->unsavedWork().isEmpty());
        h.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/Polish/DIARY.STR"_s)), PolishDiary);
    }

    // Saved translations feed the translator's own memory, which suggests
    // in the next mission and is exported as TMX.
    void theMemoryOutlivesTheMission()
    {
        Harness h;
        const QString memory = PersonalMemory::pathOf(u"english"_s, u"polish"_s);
        QFile::remove(memory);   // earlier tests saved translations too
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        translate(view, u"Page_2"_s, u"%d monet"_s);
        view->translationSave->click();
        QTRY_VERIFY(QFileInfo::exists(memory));
        QCOMPARE(PersonalMemory::load(memory).size(), 2);   // Page_0 and Page_2
        view->close();

        Harness next;
        const QString other = next.path(u"sequel"_s);
        QVERIFY(QDir(other).mkpath(u"books/english"_s));
        Testing::writeAll(QDir(other).filePath(u"books/english/Note.str"_s), "Page_0:\"%d coins\"\r\n");
        TranslationWindow *sequel = openTranslation(next, other, u"english"_s, u"polish"_s);
        QVERIFY(sequel);
        sequel->translationTable->setCurrentIndex(sequel->translationTable->model()->index(0, 2));
        QTRY_VERIFY2(sequel->entryPane->suggestionList->text().contains(u"%d monet"_s),
                     qPrintable(sequel->entryPane->suggestionList->text()));
        next.prompts.setNextPath(next.path(u"memory.tmx"_s));
        sequel->exportMemoryAction->trigger();
        const QByteArray tmx = Testing::readAll(next.path(u"memory.tmx"_s));
        QVERIFY2(tmx.contains("<tuv xml:lang=\"pl\">") && tmx.contains("<seg>%d monet</seg>"), tmx.constData());
        QFile::remove(memory);
    }

    // A target language names a folder: a path is refused and nothing is paired.
    void aLanguageIsAFolderName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("taken");
        QTest::newRow("word") << u"czech"_s << true;
        QTest::newRow("hyphen, digits, underscore") << u"pt-BR_2"_s << true;
        QTest::newRow("letters beyond ASCII") << u"portugu\u00EAs"_s << true;
        QTest::newRow("up and out") << u"../../outside"_s << false;
        QTest::newRow("a folder below") << u"books/czech"_s << false;
        QTest::newRow("backslash") << u"a\\b"_s << false;
        QTest::newRow("drive") << u"C:"_s << false;
        QTest::newRow("space") << u"old czech"_s << false;
    }
    void aLanguageIsAFolderName()
    {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        QCOMPARE(MissionTranslation::isLanguageName(name), taken);
    }

    void aPathIsNoLanguage()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"../../outside"_s);
        QVERIFY(view);
        QVERIFY(!h.prompts.messages.isEmpty());
        QVERIFY2(h.lastMessage().text.contains(u"cannot name a language"_s), qPrintable(h.lastMessage().text));
        QCOMPARE(view->translationFiles->model()->rowCount(), 0);
        QCOMPARE(view->translationCounts->text(), u"Choose the languages to translate from and into."_s);
        MissionFolder::Scan scan = h.window().missionPanel->scan();
        QVERIFY(MissionTranslation::pairLanguages(scan, u"english"_s, u"../../outside"_s).isEmpty());
    }

    // The code page is shown once a target is chosen: the language's.
    void theCodePageFollowsTheTarget()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, QString(), QString());
        QVERIFY(view);
        QCOMPARE(view->targetCodePage->currentIndex(), -1);
        QCOMPARE(view->targetCodePage->currentText(), QString());
        view->targetLanguage->lineEdit()->setFocus();
        QTest::keyClicks(view->targetLanguage->lineEdit(), u"russian"_s);
        QTest::keyClick(view->targetLanguage->lineEdit(), Qt::Key_Return);
        QCOMPARE(view->targetCodePage->currentData().toInt(), 1251);
        QCOMPARE(view->translationCounts->text(), u"0 of 4 entries translated"_s);
    }

    // Ctrl+Down onto a file that cannot be read asks, with the real box,
    // whether to translate into it anyway (saving replaces it): No is its
    // default, and keys held from the table (their repeats) do not answer it.
    void heldKeysDoNotAnswerAReplacingQuestion()
    {
        Harness h(Harness::RealDialogs);
        const QString root = makeMission(h);
        QVERIFY(QDir(root).mkpath(u"strings/Polish"_s));
        Testing::writeAll(QDir(root).filePath(u"strings/Polish/objnames.str"_s), "no entries here\r\n");
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        view->translationTable->setFocus();
        translate(view, u"Page_2"_s, u"%d monet"_s);

        bool defaultNo = false;
        bool openAfterHeldKeys = false;
        QString asked;
        onNextModal([&](QWidget *modal) {
            QPointer<QMessageBox> box = qobject_cast<QMessageBox *>(modal);
            if (!box)
                return;
            asked = box->text();
            defaultNo = box->defaultButton() == box->button(QMessageBox::No);
            const QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> held{
                {Qt::Key_Down, Qt::ControlModifier}, {Qt::Key_Tab, Qt::NoModifier}, {Qt::Key_Right, Qt::NoModifier}};
            for (int repeat = 0; repeat < 3; ++repeat) {
                for (const auto &[key, modifiers] : held) {
                    if (box)
                        sendHeld(box->focusWidget() ? box->focusWidget() : box.data(), key, modifiers);
                }
                if (box)
                    sendHeld(box->focusWidget() ? box->focusWidget() : box.data(), Qt::Key_Return, Qt::NoModifier,
                             u"\r"_s);
                QTest::qWait(150);
            }
            openAfterHeldKeys = box && box->isVisible();
            if (box)   // pressed afresh, Return gives the default answer
                QTest::keyClick(box->focusWidget() ? box->focusWidget() : box.data(), Qt::Key_Return);
            if (box)
                box->button(QMessageBox::No)->click();
        });
        QTest::keyClick(view->translationTable, Qt::Key_Down, Qt::ControlModifier);
        QVERIFY2(asked.contains(u"Translate into it anyway?"_s), qPrintable(asked));
        QVERIFY(defaultNo);
        QVERIFY(openAfterHeldKeys);
        QCOMPARE(view->translationFiles->currentIndex().row(), 1);
        const QModelIndex cell = view->translationTable->model()->index(0, 2);
        QVERIFY(!(cell.flags() & Qt::ItemIsEditable));   // answered No: the file is left as it is
    }
};

QTEST_MAIN(TestTranslationView)
#include "tst_translationview.moc"
