// The source view, results opened at their place, Review Changes and the
// window's names, driven through the real window as an author drives it.
#include "core/app/credits.h"
#include "core/mission/missiontree.h"
#include "core/mission/workspace.h"
#include "gui/mission/missionpanel.h"
#include "gui/source/sourcedock.h"
#include "gui/source/sourceview.h"
#include "gui/tabs/bookpage.h"
#include "gui/tabs/goalspage.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>
#include <QUndoStack>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Book = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\n"
                        "Page_1:\"He said \\\"hello\\\" twice.\"\r\nPage_2:\"The end.\" Really\r\n";
const QByteArray Goals = "fiction_0:\"Open the door\"\r\ntext_0:\"Quietly\"\r\n";

// A mission of a book and a goals file; its folder.
QString makeMission(Harness &h)
{
    const QString root = h.path(u"SturmdrangPeak"_s);
    QDir().mkpath(root + u"/books"_s);
    QDir().mkpath(root + u"/intrface/miss01"_s);
    Testing::writeAll(root + u"/books/terrence.str"_s, Book);
    Testing::writeAll(root + u"/intrface/miss01/goals.str"_s, Goals);
    return root;
}

MissionPanel *openMission(Harness &h, const QString &root)
{
    h.window().openFolder(root);
    MissionPanel *panel = h.window().missionPanel;
    return panel && QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000) ? panel : nullptr;
}

void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

SourceView *sourceView(Harness &h)
{
    return h.window().findChild<SourceView *>(u"sourceView"_s);
}

// The view's cursor as "line:column", from 1.
QString cursorPlace(const SourceView *view)
{
    const QTextCursor cursor = view->textCursor();
    return u"%1:%2"_s.arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1);
}

// Runs a find or the check in the panel and chooses the row whose text
// holds `text` with Enter; the file and line it names.
QString chooseResult(MissionPanel *panel, const QString &text)
{
    if (!QTest::qWaitFor([panel] { return !panel->isSearching(); }, 30000))
        return u"<still searching>"_s;
    QAbstractItemModel *results = panel->findResults->model();
    for (int row = 0; row < results->rowCount(); ++row) {
        const QModelIndex at = results->index(row, MissionResultsModel::TextColumn);
        if (at.data().toString().contains(text)) {
            panel->findResults->setFocus();
            panel->findResults->setCurrentIndex(at);
            QTest::keyClick(panel->findResults, Qt::Key_Return);
            return results->index(row, MissionResultsModel::FileColumn).data().toString();
        }
    }
    return u"<no result>"_s;
}

} // namespace

class TestSourceWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A find result inside escaped quotes and a check finding after the
    // closing quote open the book in its tab and the source view at their
    // line and column, the view shown though it was hidden.
    void resultsOpenAtTheirPlace()
    {
        Harness h;
        MissionPanel *panel = openMission(h, makeMission(h));
        QVERIFY(panel);
        QVERIFY(!h.window().sourceDock->isVisible());
        h.type("findText", u"twice"_s);
        h.click("findButton");
        QCOMPARE(chooseResult(panel, u"twice"_s), u"terrence.str:3"_s);
        QCOMPARE(h.window().Tab1->currentWidget(), h.window().books);
        QTRY_VERIFY(h.window().sourceDock->isVisible());
        QVERIFY(h.window().sourceAction->isChecked());
        QCOMPARE(sourceView(h)->workspaceDocument(), h.window().documentOf(h.window().books));
        QCOMPARE(cursorPlace(sourceView(h)), u"3:27"_s);

        h.window().sourceAction->trigger();   // hidden again
        QVERIFY(!h.window().sourceDock->isVisible());
        h.click("checkButton");
        QCOMPARE(chooseResult(panel, u"[text-after-quote]"_s), u"terrence.str:4"_s);
        QTRY_VERIFY(h.window().sourceDock->isVisible());
        QCOMPARE(cursorPlace(sourceView(h)), u"4:17"_s);
        // The view's own findings are the check's, rule by rule.
        QTRY_VERIFY(!sourceView(h)->findings().isEmpty());
        QCOMPARE(sourceView(h)->findings().constFirst().rule, u"text-after-quote"_s);
    }

    // The panel's Check sees the text as the author left it, not yet saved:
    // the words after the closing quote taken out in the source view are
    // no longer reported, and the disk keeps them until a save.
    void theCheckSeesTheTextNotSavedYet()
    {
        Harness h;
        const QString root = makeMission(h);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        QVERIFY(h.window().openFile(root + u"/books/terrence.str"_s));
        h.window().sourceAction->trigger();
        SourceView *view = sourceView(h);
        view->showAt(4, 100);
        for (int i = 0; i < 7; ++i)   // " Really"
            QTest::keyClick(view, Qt::Key_Backspace);
        QTest::keyClick(view, Qt::Key_Up);   // the line handed over
        QTRY_VERIFY(h.window().documentOf(h.window().books)->isModified());
        h.click("checkButton");
        QVERIFY(QTest::qWaitFor([panel] { return !panel->isSearching(); }, 30000));
        QCOMPARE(panel->resultsLabel->text(), u"No problems in 2 files."_s);
        QCOMPARE(Testing::readAll(root + u"/books/terrence.str"_s), Book);
    }

    // Ctrl+U on a book opened alone; a comment line and a page line typed in
    // the source view, the Books tab showing the page at once; Edit › Undo
    // takes the page back; Ctrl+S writes the comment with every other byte.
    void theSourceViewEditsTheTabsBook()
    {
        Harness h;
        const QString path = h.path(u"terrence.str"_s);
        Testing::writeAll(path, Book);
        QVERIFY(h.window().openFile(path));
        QTest::keyClick(&h.window(), Qt::Key_U, Qt::ControlModifier);
        QTRY_VERIFY(h.window().sourceDock->isVisible());
        SourceView *view = sourceView(h);
        WorkspaceDocument *document = h.window().documentOf(h.window().books);
        QCOMPARE(view->workspaceDocument(), document);

        view->showAt(1, 100);
        QTest::keyClick(view, Qt::Key_Return);
        type(view, u"// the cellar"_s);
        view->showAt(3, 20);   // after "It was dark"
        type(view, u" and cold"_s);
        QTest::keyClick(view, Qt::Key_Down);   // the line handed over
        QTRY_VERIFY(h.text("Bptxt").contains(u"It was dark and cold."_s));
        QCOMPARE(h.window().undoAction->text(), u"Undo Edit line 3 of the source"_s);

        h.window().editMenu->popup({});   // Edit › Undo, as the menu offers it
        h.window().undoAction->trigger();
        h.window().editMenu->hide();
        QTRY_VERIFY(!h.text("Bptxt").contains(u"and cold"_s));
        QVERIFY(!view->toPlainText().contains(u"and cold"_s));
        QVERIFY(view->toPlainText().contains(u"// the cellar"_s));

        view->setFocus();
        QTest::keyClick(view, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Testing::readAll(path), "// Book Location - Tower\r\n// the cellar\r\n" + Book.sliced(26));
        QVERIFY(!document->isModified());
    }

    // Review Changes lists two files each with its changed line; Save All
    // of the File menu says in the status bar what it wrote.
    void reviewChangesAndSaveAllTellWhatChanged()
    {
        Harness h;
        const QString root = makeMission(h);
        QVERIFY(openMission(h, root));
        QVERIFY(h.window().openFile(root + u"/books/terrence.str"_s));
        h.window().sourceAction->trigger();
        sourceView(h)->showAt(2, 20);
        type(sourceView(h), u" and cold"_s);
        QVERIFY(h.window().openFile(root + u"/intrface/miss01/goals.str"_s));
        QCOMPARE(h.window().Tab1->currentWidget(), h.window().goals);
        sourceView(h)->showAt(2, 16);
        type(sourceView(h), u"ly"_s);

        h.window().reviewChangesAction->trigger();
        auto *review = h.window().findChild<QDialog *>(u"reviewChanges"_s);
        QVERIFY(review);
        auto *diff = review->findChild<QPlainTextEdit *>(u"reviewDiff"_s);
        QTRY_VERIFY(diff->toPlainText().contains(u"goals.str"_s));
        const QString shown = diff->toPlainText();
        QCOMPARE(shown.count(u"\n-"_s), 2);
        QCOMPARE(shown.count(u"\n+"_s), 2);
        QVERIFY(shown.contains(u"\n-Page_0:\"It was dark.\"\n+Page_0:\"It was dark and cold.\"\n"_s));
        QVERIFY(shown.contains(u"\n-text_0:\"Quietly\"\n+text_0:\"Quietlyly\"\n"_s));
        review->close();

        h.window().saveAllAction->trigger();
        QTRY_COMPARE(h.window().statusBar()->currentMessage(), u"2 files saved, 2 lines changed"_s);
        QVERIFY(Testing::readAll(root + u"/books/terrence.str"_s).contains("It was dark and cold."));
    }

    // The title: today's with nothing opened, a file's name alone, the
    // mission and the file's path in it; the Books tab shows the path.
    void theWindowNamesTheMissionAndTheFile()
    {
        Harness h;
        QCOMPARE(h.window().windowTitle(), u"Quillwright  "_s + Credits::CreditText + u"[*]"_s);
        const QString root = makeMission(h);
        QVERIFY(h.window().openFile(root + u"/books/terrence.str"_s));
        QCOMPARE(h.window().windowTitle(), u"terrence.str[*]"_s);
        auto *label = h.window().findChild<QLabel *>(u"filePathLabel"_s);
        QCOMPARE(label->toolTip(), QDir::toNativeSeparators(root + u"/books/terrence.str"_s));

        QVERIFY(openMission(h, root));
        QCOMPARE(h.window().windowTitle(), u"SturmdrangPeak \u2014 books/terrence.str[*]"_s);
        QVERIFY(label->isVisible());
        QCOMPARE(label->text(), QDir::toNativeSeparators(u"books/terrence.str"_s));
        h.window().Tab1->setCurrentWidget(h.window().goals);   // a tab of no file
        QCOMPARE(h.window().windowTitle(), u"SturmdrangPeak[*]"_s);
        QVERIFY(!label->isVisible());
    }
};

QTEST_MAIN(TestSourceWindow)
#include "tst_sourcewindow.moc"
