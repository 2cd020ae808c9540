// A mission folder opened in the window: the panel's tree, a file chosen
// from it, find in all files and the code pages.
#include "gui/tabs/bookpage.h"
#include "gui/mission/missionpanel.h"
#include "gui/mission/missionreplace.h"
#include "core/mission/missionsettings.h"
#include "support/harness.h"
#include "support/modal.h"
#include "support/testing.h"

#include <QAction>
#include <QComboBox>
#include <QCheckBox>
#include <QDir>
#include <QSignalSpy>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTreeView>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Russian = "Page_0:\"\xD2\xFC\xEC\xE0\"\r\n";   // "Тьма" in Windows-1251

void makeMission(const QString &root)
{
    const QList<std::pair<QString, QByteArray>> files = {
        {u"books/english/Diary.str"_s, Diary},
        {u"books/russian/Diary.str"_s, Russian},
        {u"intrface/miss01/english/GOALS.STR"_s, "fiction_0:\"Open the door\"\r\ntext_0:\"Quietly\"\r\n"},
        {u"objnames.str"_s, "obj_door:\"Door\"\r\nobj_door:\"Gate\"\r\n"},
    };
    for (const auto &[name, bytes] : files) {
        QVERIFY(QDir(root).mkpath(QFileInfo(name).path()));
        Testing::writeAll(QDir(root).filePath(name), bytes);
    }
}

// The tree as "name entries problems" lines, indented by depth.
QString tree(const QAbstractItemModel *model, const QModelIndex &parent = {}, int depth = 0)
{
    QString lines;
    for (int row = 0; row < model->rowCount(parent); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(parent); ++column) {
            const QString cell = model->index(row, column, parent).data().toString();
            if (!cell.isEmpty())
                cells.append(cell);
        }
        lines += QString(depth * 2, u' ') + cells.join(u' ') + u'\n';
        lines += tree(model, model->index(row, 0, parent), depth + 1);
    }
    return lines;
}

QModelIndex findRow(const QAbstractItemModel *model, const QString &name, const QModelIndex &parent = {})
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex at = model->index(row, 0, parent);
        if (at.data().toString() == name)
            return at;
        if (const QModelIndex below = findRow(model, name, at); below.isValid())
            return below;
    }
    return {};
}

// The first file under the row named `name` (a language's, say).
QModelIndex firstFileOf(MissionPanel *panel, const QString &name)
{
    const QModelIndex group = findRow(panel->missionTree->model(), name);
    return panel->missionTree->model()->index(0, 0, group);
}

MissionPanel *openMission(Harness &h, const QString &root)
{
    h.prompts.setNextPath(root);
    h.window().openFolderAction->trigger();
    auto *panel = h.window().missionPanel;
    const bool read = panel && QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000);
    return read ? panel : nullptr;
}

// Chooses the row `index` of `view` from the keyboard.
void choose(QTreeView *view, const QModelIndex &index)
{
    view->setFocus();
    view->setCurrentIndex(index);
    QTest::keyClick(view, Qt::Key_Return);
}

// A mission of one file of 1,000 entries on which (a+)+$ backtracks without
// end, then `more`.
QString slowMission(Harness &h, const QByteArray &more = {})
{
    const QString root = h.path(u"mission"_s);
    QDir().mkpath(root);
    QByteArray slow;
    for (int i = 0; i < 1000; ++i)
        slow += "obj_" + QByteArray::number(i) + ":\"" + QByteArray(60, 'a') + "!\"\r\n";
    Testing::writeAll(root + u"/slow.str"_s, slow + more);
    return root;
}

// A mission of one Polish book kept in an english folder; its folder, or
// nothing when it could not be made.
QString polishMission(Harness &h)
{
    const QString root = h.path(u"polish"_s);
    if (!QDir(root).mkpath(u"books/english"_s))
        return {};
    Testing::writeAll(root + u"/books/english/diary.str"_s,
                      "Page_0:\"Bada\xB3" "em wie\xBF\xEA.\"\r\nPage_1:\"Zjad\xB3 \xB3" "akoci.\"\r\n");
    return root;
}

// Finds `text` in the mission as the author does (Return in the find box);
// what the panel then says.
QString findInMission(MissionPanel *panel, const QString &text)
{
    panel->findText->setText(text);
    QTest::keyClick(panel->findText, Qt::Key_Return);
    if (!QTest::qWaitFor([panel] { return !panel->isSearching(); }, 30000))
        return u"<still searching>"_s;
    return panel->resultsLabel->text();
}

} // namespace

class TestMissionPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The panel docked beside the tabs widens the window as far as the
    // screen allows and keeps it on the screen (the offscreen screen is
    // narrower than the tabs and the panel side by side); its tree grows
    // with the window.
    void thePanelKeepsTheWindowOnTheScreen()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
        const QRect available = h.window().screen()->availableGeometry();
        const int before = h.window().frameGeometry().width();
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        QTRY_VERIFY(panel->isVisible() && h.window().frameGeometry().width() > before);
        QVERIFY2(available.contains(h.window().frameGeometry()),
                 qPrintable(QDebug::toString(h.window().frameGeometry()) + u" leaves "_s + QDebug::toString(available)));
        QCOMPARE(h.window().frameGeometry().width(), available.width());   // as wide as the screen, no wider
        const int treeHeight = panel->missionTree->height();
        h.window().resize(h.window().width(), h.window().height() + 40);
        QTRY_VERIFY(panel->missionTree->height() > treeHeight);
    }

    // Without a folder the window has no panel; a folder opened shows its
    // files grouped, with their counts and problems; a file chosen opens in
    // its tab, in its language's code page, and saves back losslessly.
    void opensAFolderAndAFileOfIt()
    {
        Harness h;
        QVERIFY(!h.window().findChild<MissionPanel *>());
        QVERIFY(!h.window().findAction->isVisible());
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel && panel->objectName() == u"missionPanel"_s);
        QCOMPARE(tree(panel->missionTree->model()),
                 u"Books\n  english\n    english › Diary.str 2\n  russian\n    russian › Diary.str 1\n"
                 "Goals\n  miss01\n    english\n      miss01 › english › GOALS.STR 2\n"
                 "Other string tables\n  objnames.str 2 1 problem\n"_s);
        QCOMPARE(h.prompts.messages.size(), 0);

        choose(panel->missionTree, firstFileOf(panel, u"russian"_s));
        QCOMPARE(h.window().Tab1->currentWidget()->objectName(), u"BooksTab"_s);
        QCOMPARE(h.find<QPlainTextEdit>("Bptxt")->toPlainText().contains(u"Тьма"_s), true);
        QCOMPARE(h.window().codePageLabel->text(), u"Encoding: Cyrillic (Windows-1251)"_s);

        choose(panel->missionTree, firstFileOf(panel, u"english"_s));
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);
        h.prompts.setNextPath(QDir(root).filePath(u"books/english/Diary.str"_s));
        h.click("SvBook");
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/english/Diary.str"_s)),
                 QByteArray(Diary).replace("locked", "open"));
    }

    // Find in every file: the results name file and key; one chosen opens its
    // file with the entry shown.
    void findsInTheMission()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QTest::keySequence(&h.window(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
        QCOMPARE(QApplication::focusWidget(), panel->findText);
        QTest::keyClicks(panel->findText, u"door"_s);
        QTest::keyClick(panel->findText, Qt::Key_Return);
        QTRY_VERIFY(!panel->isSearching());
        QAbstractItemModel *results = panel->findResults->model();
        QStringList found;
        for (int row = 0; row < results->rowCount(); ++row)
            found.append(results->index(row, 0).data().toString() + u' ' + results->index(row, 1).data().toString());
        QCOMPARE(found.join(u'|'), u"english › Diary.str:3 Page_1|miss01 › english › GOALS.STR:1 fiction_0|"
                                   "objnames.str:1 obj_door"_s);
        choose(panel->findResults, results->index(0, 0));
        QCOMPARE(h.window().Tab1->currentWidget()->objectName(), u"BooksTab"_s);
        QCOMPARE(h.find<QPlainTextEdit>("Bptxt")->textCursor().selectedText(), u"Page_1:\"The door was locked.\""_s);
    }

    // A Polish mission in an `english` folder opens readable (Find finds
    // "łakoci"); the folder's code page chosen in the panel, or the mission's
    // in the Encoding menu, is kept in the mission's settings file and the
    // folder is read again in it.
    void readsAMissionInItsCodePage()
    {
        Harness h;
        const QString root = polishMission(h);
        QVERIFY(!root.isEmpty());
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        const auto find = [panel](const QString &text) { return findInMission(panel, text); };
        QCOMPARE(find(u"łakoci"_s), u"1 match."_s);
        QCOMPARE(panel->codePageLanguage->currentText(), u"english"_s);
        QCOMPARE(panel->languageCodePage->currentText(), u"Automatic: Windows-1250"_s);
        QCOMPARE(panel->languageCodePage->itemText(panel->languageCodePage->findData(1250)),
                 u"Central European (Windows-1250) \u2013 detected"_s);
        QSignalSpy changed(panel, &MissionPanel::codePageChanged);
        panel->languageCodePage->setFocus();
        QTest::keyClick(panel->languageCodePage, Qt::Key_W);   // Western (Windows-1252)
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toString(), panel->folder());
        QVERIFY(QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000));
        QCOMPARE(MissionSettings::read(root).languageCodePages, (QMap<QString, int>{{u"english"_s, 1252}}));
        QCOMPARE(panel->scan().files.at(0).codePage, 1252);
        QCOMPARE(panel->languageCodePage->currentText(), u"Western (Windows-1252)"_s);
        QCOMPARE(find(u"łakoci"_s), u"0 matches."_s);
        const QList<QAction *> items = h.window().encodingMenu->actions();
        const auto cyrillic = std::find_if(items.cbegin(), items.cend(), [](QAction *a) { return a->data() == 1251; });
        QVERIFY(cyrillic != items.cend());
        (*cyrillic)->trigger();
        QCOMPARE(changed.count(), 2);
        QVERIFY(QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000));
        QCOMPARE(MissionSettings::read(root).missionCodePage, 1251);
        QCOMPARE(panel->missionCodePage->currentText(), u"Cyrillic (Windows-1251)"_s);
    }

    // The tree as the author left it (a folder expanded, another collapsed,
    // a file chosen) stays so when a save reads the folder again, and when
    // it is read again; a file that was not read says why.
    void keepsTheTreeAcrossASave()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        Testing::writeAll(QDir(root).filePath(u"books/english/Notes.str"_s), "Nothing but words\r\n");
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        QTreeView *view = panel->missionTree;
        const QAbstractItemModel *model = view->model();
        QCOMPARE(model->index(1, 2, findRow(model, u"english"_s)).data().toString(), u"no entry"_s);
        view->expand(findRow(model, u"miss01 › english › GOALS.STR"_s).parent());
        view->collapse(findRow(model, u"russian"_s));
        choose(view, findRow(model, u"english › Diary.str"_s));
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);
        const auto shown = [view, model] {
            return QStringList{view->currentIndex().data().toString(),
                               QString::number(view->isExpanded(findRow(model, u"miss01 › english › GOALS.STR"_s).parent())),
                               QString::number(view->isExpanded(findRow(model, u"russian"_s))),
                               QString::number(view->selectionModel()->selectedRows().size())}.join(u'|');
        };
        QCOMPARE(shown(), u"english › Diary.str *|1|0|1"_s);
        QSignalSpy read(panel, &MissionPanel::folderRead);
        h.window().Tab1->tabBar()->setFocus();
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/english/Diary.str"_s)),
                 QByteArray(Diary).replace("locked", "open"));
        QVERIFY(read.wait(10000));   // the save read the folder again
        QCOMPARE(shown(), u"english › Diary.str|1|0|1"_s);
        panel->openFolder(root);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isReading(), 30000);
        QCOMPARE(shown(), u"english › Diary.str|1|0|1"_s);
    }

    // After Replace All the hits found before are gone, and finding again
    // searches the texts as the workspace holds them, not yet saved.
    void findsAgainAfterAReplacement()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        const auto find = [panel](const QString &text) {   // the summary and the rows listed
            const QString said = findInMission(panel, text);
            return said + u' ' + QString::number(panel->findResults->model()->rowCount());
        };
        QCOMPARE(find(u"door"_s), u"3 matches. 3"_s);
        panel->replaceText->setText(u"gate"_s);
        h.prompts.setNextAnswer(Prompts::Button::Yes);
        panel->replaceButton->click();
        QTRY_VERIFY_WITH_TIMEOUT(!h.window().isReplacing(), 30000);
        QCOMPARE(panel->findResults->model()->rowCount(), 0);
        QCOMPARE(panel->resultsLabel->text(), u"3 matches replaced in 3 files, not saved yet. The results listed "
                                              "before were cleared; find again to see the texts as they are now."_s);
        QCOMPARE(find(u"door"_s), u"0 matches. 0"_s);
        QCOMPARE(find(u"gate"_s), u"4 matches. 4"_s);   // the objnames' own "Gate" too
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"objnames.str"_s)), QByteArray("obj_door:\"Door\"\r\nobj_door:\"Gate\"\r\n"));
    }

    // The window's code page agrees with the panel's: named for a file of a
    // 1250 mission, not named with none of its files open; the lists of code
    // pages are labelled and shown whole.
    void theEncodingAgreesWithThePanel()
    {
        Harness h;
        QVERIFY(QTest::qWaitForWindowExposed(&h.window()));
        const QString root = polishMission(h);
        QVERIFY(!root.isEmpty());
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        QCOMPARE(panel->missionCodePage->currentText(), u"Automatic: Windows-1250"_s);
        QTRY_VERIFY(!h.window().codePageLabel->isVisible());
        choose(panel->missionTree, findRow(panel->missionTree->model(), u"english › diary.str"_s));
        QVERIFY(h.window().codePageLabel->isVisible());
        QCOMPARE(h.window().codePageLabel->text(), u"Encoding: Central European (Windows-1250)"_s);
        for (QComboBox *box : {panel->missionCodePage, panel->codePageLanguage, panel->languageCodePage}) {
            auto *label = panel->findChild<QLabel *>(box->objectName() + u"Label"_s);
            QVERIFY(label && label->buddy() == box && !box->toolTip().isEmpty());
            int widest = 0;
            for (int item = 0; item < box->count(); ++item)
                widest = std::max(widest, box->fontMetrics().horizontalAdvance(box->itemText(item)));
            QTRY_VERIFY2(box->width() > widest, qPrintable(box->objectName()));   // laid out after a moment
        }
    }

    // A second folder opened while the first is read: the first reading is
    // abandoned, the second's files are shown, through the window and the panel.
    void opensASecondFolderWhileTheFirstIsRead()
    {
        Harness h;
        const QString first = h.path(u"first"_s), second = h.path(u"second"_s);
        QVERIFY(QDir().mkpath(first));
        Testing::writeAll(first + u"/a.str"_s, "obj_a:\"A\"\r\n");
        QVERIFY(QDir().mkpath(second + u"/books"_s));
        Testing::writeAll(second + u"/books/b.str"_s, "Page_0:\"B\"\r\n");
        const QString secondTree = u"Books\n  b.str 1\n"_s;
        h.window().openFolder(first);
        h.window().openFolder(second);
        MissionPanel *panel = h.window().missionPanel;
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isReading(), 30000);
        QTest::qWait(100);   // the first reading's end, if it came, would come now
        QCOMPARE(tree(panel->missionTree->model()), secondTree);
        QCOMPARE(panel->resultsLabel->text(), u"1 files."_s);

        panel->openFolder(first);
        panel->openFolder(second);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isReading(), 30000);
        QTest::qWait(100);
        QCOMPARE(tree(panel->missionTree->model()), secondTree);
        QCOMPARE(QDir(panel->folder()), QDir(second));
    }

    // Results found before the folder is read again are dropped: none is
    // left to open a file that moved in the list.
    void dropsResultsWhenTheFolderIsReadAgain()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QTest::keyClicks(panel->findText, u"door"_s);
        QTest::keyClick(panel->findText, Qt::Key_Return);
        QTRY_COMPARE(panel->findResults->model()->rowCount(), 3);
        QVERIFY(QFile::remove(QDir(root).filePath(u"books/english/Diary.str"_s)));
        panel->openFolder(root);
        QCOMPARE(panel->findResults->model()->rowCount(), 0);
        QCOMPARE(panel->resultsLabel->text(), u"The folder is being read; the results listed were cleared."_s);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isReading(), 30000);
        QCOMPARE(panel->findResults->model()->rowCount(), 0);
        QVERIFY2(panel->resultsLabel->text().startsWith(u"3 files."_s), qPrintable(panel->resultsLabel->text()));
        const int tab = h.window().Tab1->currentIndex();
        choose(panel->findResults, panel->findResults->model()->index(0, 0));
        QCOMPARE(h.window().Tab1->currentIndex(), tab);
    }

    // An expression that backtracks without end is searched on a thread of
    // its own: the window goes on, Esc stops the search, so does the time
    // limit, and so does a newer find; a stopped search's results never come.
    // Only the first 10,000 matches are listed.
    void stopsASearchThatTakesTooLong()
    {
        Harness h;
        MissionPanel *panel = openMission(h, slowMission(h, "obj_door:\"door\"\r\n"));
        QVERIFY(panel);
        panel->findRegex->setChecked(true);
        QTest::keyClicks(panel->findText, u"(a+)+$"_s);
        QTest::keyClick(panel->findText, Qt::Key_Return);
        QVERIFY(panel->isSearching());
        QVERIFY(panel->searchProgress->isVisible());
        QTest::keyClick(panel->findText, Qt::Key_Escape);
        QVERIFY(!panel->isSearching());
        QCOMPARE(panel->resultsLabel->text(), u"The search was stopped."_s);

        panel->setSearchTimeLimit(std::chrono::milliseconds(300));
        QTest::keyClick(panel->findText, Qt::Key_Return);
        QTRY_VERIFY(!panel->isSearching());
        QCOMPARE(panel->resultsLabel->text(),
                 u"The search was stopped after 0.3 s: the expression takes too long on these texts."_s);

        panel->setSearchTimeLimit(std::chrono::seconds(60));   // what follows is quick, however slow the build
        QTest::keyClick(panel->findText, Qt::Key_Return);
        panel->findText->setText(u"do+r"_s);
        QTest::keyClick(panel->findText, Qt::Key_Return);
        QTRY_VERIFY(!panel->isSearching());
        QTest::qWait(500);
        QCOMPARE(panel->resultsLabel->text(), u"1 match."_s);
        QCOMPARE(panel->findResults->model()->rowCount(), 1);

        panel->findText->setText(u"a"_s);   // 60,000 matches: the first 10,000 are listed
        QTest::keyClick(panel->findText, Qt::Key_Return);
        QTRY_COMPARE(panel->resultsLabel->text(), u"60000 matches; the first 10000 are listed."_s);
        QCOMPARE(panel->findResults->model()->rowCount(), 10000);
    }

    // Replace All with an expression that backtracks without end is stopped
    // by its time limit, says so, and replaces nothing.
    void stopsAReplacementThatTakesTooLong()
    {
        Harness h;
        const QString root = slowMission(h);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        h.window().missionReplace()->setTimeLimit(std::chrono::milliseconds(300));
        panel->findRegex->setChecked(true);
        panel->findText->setText(u"(a+)+$"_s);
        panel->replaceText->setText(u"b"_s);
        panel->replaceButton->click();
        QVERIFY(h.window().isReplacing());
        QTRY_VERIFY(!h.window().isReplacing());
        QCOMPARE(panel->resultsLabel->text(), u"Replace All was stopped after 0.3 s: the expression takes too long "
                                              "on these texts. Nothing was replaced."_s);
        QCOMPARE(h.prompts.messages.size(), 0);
        QVERIFY(!h.window().isWindowModified());
    }

    // An open file swapped for a named pipe: reading the folder again never
    // waits on it (nor does telling its language's code page), and the pipe
    // is named as a file that cannot be read.
    void readsAgainPastAPipe()
    {
#ifdef Q_OS_UNIX
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        const QString diary = QDir(root).filePath(u"books/english/Diary.str"_s);
        QVERIFY(h.window().openFile(diary));
        QVERIFY(QFile::remove(diary));
        QCOMPARE(mkfifo(QFile::encodeName(diary).constData(), 0600), 0);
        panel->openFolder(root);
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isReading(), 10000);
        QVERIFY2(tree(panel->missionTree->model()).contains(u"Diary.str"_s), qPrintable(tree(panel->missionTree->model())));
        QVERIFY(h.text("Bptxt").contains(u"It was dark."_s));
        QVERIFY(QFile::remove(diary));
#else
        QSKIP("Named pipes are a thing of Unix systems");
#endif
    }

    // The real folder dialog, answered as the author answers it.
    void opensThroughTheRealFolderDialog()
    {
        Harness h(Harness::RealDialogs);
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        onNextModal([root](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog && dialog->fileMode() == QFileDialog::Directory);
            auto *edit = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QVERIFY(edit);
            edit->setText(root);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        h.window().openFolderAction->trigger();
        QVERIFY(h.window().missionPanel);
        QCOMPARE(QDir(h.window().missionPanel->folder()), QDir(root));
    }
};

QTEST_MAIN(TestMissionPanel)
#include "tst_missionpanel.moc"
