// Files changed outside the program while the window holds them (a version
// control update, another editor): the window asks, merges the change with
// the author's unsaved work, and never writes over it unseen.
#include "core/mission/workspace.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Names = "Name_Apple: \"Apple\"\r\nName_Pear: \"Pear\"\r\nName_Plum: \"Plum\"\r\n";

// `bytes` written as `sed -i` and version control write a file: a new file
// renamed over the old one.
void replaceByRename(const QString &path, const QByteArray &bytes)
{
    Testing::writeAll(path + u".new"_s, bytes);
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::rename(path + u".new"_s, path));
}

// Types `text` into row `row` of the Strings tab's table, as the author does.
void typeIntoRow(Harness &h, int row, const QString &text)
{
    auto *table = h.find<QTableView>("stringsTable");
    table->setFocus();
    table->setCurrentIndex(table->model()->index(row, 1));
    QTest::keyClick(table, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QTest::keySequence(editor, QKeySequence::SelectAll);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Tab);   // ends the edit
}

QString shownRow(Harness &h, int row)
{
    return h.find<QTableView>("stringsTable")->model()->index(row, 1).data().toString();
}

} // namespace

class TestOutsideChanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A file changed outside is offered for reloading; with unsaved changes
    // the default is to merge them with the change: both are shown, the
    // status bar says so, and the save writes both.
    void mergesAChangeOutsideWithUnsavedChanges()
    {
        Harness h;
        const QString path = h.path(u"Diary.str"_s);
        Testing::writeAll(path, Diary);
        QVERIFY(h.window().openFile(path));
        Testing::writeAll(path, QByteArray(Diary).replace("dark", "light"));
        QTRY_COMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(h.lastMessage().text, QDir::toNativeSeparators(path) + u" was changed outside Quillwright.\n\nReload it?"_s);
        QCOMPARE(h.lastMessage().defaultButton, Prompts::Button::Reload);
        QVERIFY(h.text("Bptxt").contains(u"light"_s));

        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);   // unsaved
        Testing::writeAll(path, QByteArray(Diary).replace("dark", "grey"));
        QTRY_COMPARE(h.prompts.messages.size(), 2);
        QCOMPARE(h.lastMessage().defaultButton, Prompts::Button::Merge);
        QCOMPARE(h.lastMessage().buttons,
                 (QList<Prompts::Button>{Prompts::Button::Merge, Prompts::Button::Keep, Prompts::Button::Reload}));
        QTRY_VERIFY2(h.text("Bptxt").contains(u"grey"_s) && h.text("Bptxt").contains(u"open"_s), qPrintable(h.text("Bptxt")));
        QVERIFY2(h.window().statusBar()->currentMessage().contains(u"merged with yours"_s),
                 qPrintable(h.window().statusBar()->currentMessage()));
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), QByteArray(Diary).replace("dark", "grey").replace("locked", "open"));
        QTest::qWait(300);   // the program's own save asks nothing
        QCOMPARE(h.prompts.messages.size(), 2);
    }

    // Reloaded, the file is the same one: the next correction is saved into it.
    void theNextCorrectionAfterAReloadIsSaved()
    {
        Harness h;
        const QString path = h.path(u"Diary.str"_s);
        Testing::writeAll(path, Diary);
        QVERIFY(h.window().openFile(path));
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), QByteArray(Diary).replace("locked", "open"));
        replaceByRename(path, QByteArray(Diary).replace("locked", "open").replace("dark", "light"));
        QTRY_COMPARE(h.prompts.messages.size(), 1);   // Reload, the default
        QTRY_VERIFY(h.text("Bptxt").contains(u"light"_s));
        h.run(u"!Command2|Page=Page_1:\"The door was ajar.\"|!ApPage"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), QByteArray(Diary).replace("locked", "ajar").replace("dark", "light"));
        QCOMPARE(h.prompts.messages.size(), 1);
        // Still watched: the next change outside is seen too.
        replaceByRename(path, QByteArray(Diary).replace("dark", "grey"));
        QTRY_COMPARE(h.prompts.messages.size(), 2);
    }

    // After a save, a version control update and another change outside are
    // both kept: the tab shows them, and the next save writes them with the
    // author's new edit, the earlier one not written again.
    void anOutsideChangeAfterASaveIsNeverWrittenOver()
    {
        Harness h;
        const QString path = h.path(u"objnames.str"_s);
        Testing::writeAll(path, Names);
        QVERIFY(h.window().openFile(path));
        typeIntoRow(h, 0, u"Green apple"_s);
        QCOMPARE(shownRow(h, 0), u"Green apple"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), QByteArray(Names).replace("\"Apple\"", "\"Green apple\""));
        replaceByRename(path, Names);   // git checkout -- objnames.str
        QTRY_COMPARE(shownRow(h, 0), u"Apple"_s);
        replaceByRename(path, QByteArray(Names).replace("\"Plum\"", "\"Damson\""));   // sed -i
        QTRY_COMPARE(shownRow(h, 2), u"Damson"_s);
        typeIntoRow(h, 1, u"Ripe pear"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path),
                 QByteArray(Names).replace("\"Plum\"", "\"Damson\"").replace("\"Pear\"", "\"Ripe pear\""));
    }

    // A row typed and not saved, and a colleague's change to another row
    // pulled meanwhile: merged at once (the default), both shown, both saved.
    void aTypedRowIsMergedWithAChangePulledMeanwhile()
    {
        Harness h;
        const QString path = h.path(u"objnames.str"_s);
        Testing::writeAll(path, Names);
        QVERIFY(h.window().openFile(path));
        typeIntoRow(h, 0, u"Green apple"_s);
        replaceByRename(path, QByteArray(Names).replace("\"Plum\"", "\"Damson\""));
        QTRY_COMPARE(shownRow(h, 2), u"Damson"_s);
        QCOMPARE(h.prompts.messages.size(), 1);
        QCOMPARE(h.lastMessage().defaultButton, Prompts::Button::Merge);
        QCOMPARE(shownRow(h, 0), u"Green apple"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path),
                 QByteArray(Names).replace("\"Plum\"", "\"Damson\"").replace("\"Apple\"", "\"Green apple\""));
        QCOMPARE(h.prompts.messages.size(), 1);
    }

    // A change outside the watch has not told of yet (it comes a moment
    // later) is found by the save itself: asked about, merged, not lost.
    void aSaveFindsAChangeNotYetSeen()
    {
        Harness h;
        const QString path = h.path(u"objnames.str"_s);
        Testing::writeAll(path, Names);
        QVERIFY(h.window().openFile(path));
        typeIntoRow(h, 0, u"Green apple"_s);
        Testing::writeAll(path, QByteArray(Names).replace("\"Plum\"", "\"Damson\""));
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path),
                 QByteArray(Names).replace("\"Plum\"", "\"Damson\"").replace("\"Apple\"", "\"Green apple\""));
        QVERIFY(!h.prompts.messages.isEmpty());
        QVERIFY2(h.prompts.messages.constFirst().text.contains(u"was changed outside Quillwright"_s),
                 qPrintable(h.prompts.messages.constFirst().text));
    }
};

QTEST_MAIN(TestOutsideChanges)
#include "tst_outsidechanges.moc"
