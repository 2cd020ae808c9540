// The translation window driven from the keyboard as a translator drives
// it: the counts, the filter, next untranslated, a translation typed and
// saved byte for byte, and a new language started by name.
#include "gui/missionpanel.h"
#include "gui/translationwindow.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
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

TranslationWindow *openTranslation(Harness &h, const QString &root, const QString &source, const QString &target)
{
    h.prompts.setNextPath(root);
    h.window().openFolderAction->trigger();
    h.window().translateMission(source, target);
    TranslationWindow *view = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        view = h.window().findChild<TranslationWindow *>(u"translationView"_s);
        return view && view->isVisible();
    }, 30000);
    return shown ? view : nullptr;
}

// The keys the table shows, '|' between them.
QString shownKeys(const QTableView *table)
{
    QStringList keys;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        keys.append(table->model()->index(row, 0).data().toString());
    return keys.join(u'|');
}

// Types `text` into the current cell of the table as a one-line edit: F2, the
// text, Return (the cell is closed from the event loop).
void typeLine(QTableView *table, const QString &text)
{
    QTest::keyClick(table, Qt::Key_F2);
    QTest::keyClicks(QApplication::focusWidget(), text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

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
    // English into Polish: the counts, the filter, Ctrl+Down to what is
    // left, a translation typed and saved in Windows-1250, English untouched.
    void translatesEntryByEntry()
    {
        Harness h;
        const QString root = makeMission(h);
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
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
};

QTEST_MAIN(TestTranslationView)
#include "tst_translationview.moc"
