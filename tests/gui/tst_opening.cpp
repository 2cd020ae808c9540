// Files read back into their tabs: from "File" / "Open…", a drop, the command
// line and the recent files; what cannot be kept is said before anything is
// filled, and unsaved work is asked about first.
#include "core/document/lineendings.h"
#include "gui/startup.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Book = "// Book Location - Library, top shelf\r\nPage_0:\"It was dark.\"\r\n"
                        "Page_1:\"The door was locked.\r\nHe said \\\"no\\\".\"\r\n";

// Writes `bytes` to `name` in the test's folder, opens it through the menu and
// returns the tab shown then.
QString openFile(Harness &h, const QString &name, const QByteArray &bytes = Book)
{
    Testing::writeAll(h.path(name), bytes);
    h.prompts.setNextPath(h.path(name));
    h.window().openAction->trigger();
    return h.find<QTabWidget>("Tab1")->currentWidget()->objectName();
}

} // namespace

class TestOpening : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each kind, saved from its tab, opens in that tab of a new window and
    // saves again to the same bytes.
    void opensAndSavesEveryKindUnchanged_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("saveButton");
        QTest::newRow("book") << u"Bname=B|ComOpt=H|Page=a|!Apage|Page=Say \"no\".\nOK|!Apage"_s << QByteArray("SvBook");
        QTest::newRow("goals") << u"Gfict=Go.|Gtxt=Go|!Agoal|Gfict=Go\n\"now\"|Gtxt= |!Agoal"_s << QByteArray("Sgoals");
        QTest::newRow("newgame") << u"diff1=Hard |diff2="_s << QByteArray("Cngame");
        QTest::newRow("missflag") << u"Mnum= 2|Bno=cutscene"_s << QByteArray("Cmf");
        QTest::newRow("titles") << u"Mn2=ab|Mt2=The \"Ring\""_s << QByteArray("Titles");
    }
    void opensAndSavesEveryKindUnchanged()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, saveButton);
        Harness h;
        h.run(steps);
        const QByteArray file = h.save(saveButton.constData(), u"in.str"_s);
        Harness again;
        const QString tab = openFile(again, u"in.str"_s, file);
        QVERIFY(again.find(tab.toLatin1().constData())->isAncestorOf(again.find(saveButton.constData())));
        QVERIFY2(again.prompts.messages.isEmpty(), qPrintable(again.prompts.messages.value(0).text));
        QCOMPARE(again.closeQuestion(), QString());   // an opened file counts as saved
        QCOMPARE(again.save(saveButton.constData(), u"out.str"_s), file);
    }

    // A file that is no mission text is refused; what cannot be kept of one
    // that is is said before anything is filled.
    void saysWhatCannotBeKeptFirst()
    {
        Harness h;
        openFile(h, u"photo.str"_s, QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11));
        QCOMPARE(h.lastMessage().text.section(u'\n', 0, 1) + QString::number(int(h.lastMessage().icon)),
                 u"The file could not be opened:\n"_s + QDir::toNativeSeparators(h.path(u"photo.str"_s)) + u'2');
        // What the tab does not show is kept, and said without a question.
        const QByteArray odd = "Page_0:\"one\"\nnot an entry\nPage_60:\"too far\"\nPage_2:\"two\"\n";
        openFile(h, u"odd.str"_s, odd);
        const Prompts::Message told = h.lastMessage();
        QCOMPARE(told.buttons, QList{Prompts::Button::Ok});
        for (const QString &part : {u"Line 2: "_s, u"Line 3: Page_60"_s, u"The book has no Page_1, although later pages follow."_s})
            QVERIFY2(told.text.contains(part), qPrintable(told.text));
        QCOMPARE(h.text("Bptxt") + h.text("Label11"), u"Page_0:\"one\"\nPage_2:\"two\"\nPages = 2"_s);
        QCOMPARE(h.save("SvBook", u"odd.str"_s), odd);
        h.run(u"Page=three|!Apage"_s);   // after the last page, in the file's own style
        QCOMPARE(h.save("SvBook", u"odd.str"_s), odd + "Page_3:\"three\"\n");

        // A bare quote, as earlier versions wrote it: the game shows less.
        const QByteArray bare = "Page_0:\"He said \"go\" and left\"\r\n";
        h.prompts.setNextAnswer(Prompts::Button::Cancel);
        openFile(h, u"bare.str"_s, bare);
        QCOMPARE(h.lastMessage().buttons,
                 (QList{Prompts::Button::Open, Prompts::Button::Repair, Prompts::Button::Cancel}));
        QVERIFY2(h.lastMessage().text.contains(u"the game shows only \u201CHe said \u201D"_s),
                 qPrintable(h.lastMessage().text));
        QCOMPARE(h.text("Bname"), u"odd"_s);   // cancelled: nothing filled
        h.prompts.setNextAnswer(Prompts::Button::Repair);
        openFile(h, u"bare.str"_s, bare);
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"He said \\\"go\\\" and left\"\n"_s);
        QVERIFY(!h.closeQuestion().isEmpty());   // repaired, not yet saved
        QCOMPARE(h.save("SvBook", u"bare.str"_s), "Page_0:\"He said \\\"go\\\" and left\"\r\n");
    }

    // A large book shows at once, and its list box fills in a moment after;
    // a page edited before the list is whole still lands in its place.
    void aLargeBookListsWholeAfterAnEditWhileItFills()
    {
        Harness h;
        const QString text = u"The key was gone.\n"_s.repeated(6000);
        QByteArray file;
        QString listed;
        for (int i = 0; i < 8; ++i) {
            const QString entry = u"Page_%1:\"%2\""_s.arg(i).arg(i == 6 ? u"short"_s : text);
            file += LineEndings::toCrLf(entry).toLatin1() + "\r\n";
            listed += (i == 6 ? u"Page_6:\"changed\""_s : entry) + u'\n';
        }
        openFile(h, u"Large.str"_s, file);
        QCOMPARE(h.text("Label11"), u"Pages = 8"_s);
        QVERIFY(h.text("Bptxt").size() < listed.size());   // not yet whole
        h.run(u"!Command2|Page=Page_6:\"changed\"|Pn=6|!ApPage"_s);
        QTRY_COMPARE(h.text("Bptxt").size(), listed.size());
        QCOMPARE(h.text("Bptxt"), listed);
        QCOMPARE(h.save("SvBook", u"Large.str"_s), file.replace("\"short\"", "\"changed\""));
    }

    void asksAboutTheTabsUnsavedWorkFirst()
    {
        Harness h;
        h.run(u"Page=typed, not added|?No"_s);
        openFile(h, u"Diary.str"_s);
        QCOMPARE(h.lastMessage().text, u"This work has not been saved:\n\n- the page typed but not yet added with "
                                       "\"Add new Page\"\n\nOpen Diary.str and discard it?"_s);
        QCOMPARE(h.text("Page") + h.text("Label11"), u"typed, not addedPages = 0"_s);
    }

    void opensADroppedBookAndCorrectsAPage()
    {
        Harness h;
        Testing::writeAll(h.path(u"Diary.str"_s), Book);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(h.path(u"Diary.str"_s))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&h.window(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&h.window(), &drop);
        QCOMPARE(h.text("Bname") + u'|' + h.text("ComOpt") + u'|' + h.text("Label11"),
                 u"Diary|Library, top shelf|Pages = 2"_s);
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);   // a page corrected
        QCOMPARE(h.save("SvBook", u"Diary.str"_s), QByteArray(Book).replace("locked.\r\nHe said \\\"no\\\".", "open."));
        // Proposed under its own name in its own folder.
        QCOMPARE(h.prompts.suggestedNames, QStringList{h.path(u"Diary.str"_s)});
    }

    // Goals beyond twelve are shown, stepped through and saved; the limit
    // stays for adding.
    void opensTwentyTwoGoals()
    {
        QByteArray file = "// Goals of the last mission\n";
        for (int k = 0; k < 22; ++k)
            file += QStringLiteral("fiction_%1: \"F%1\"\ntext_%1: \"T%1\"\n").arg(k).toLatin1();
        Harness h;
        openFile(h, u"goals.str"_s, file);
        QCOMPARE(h.text("Glbl"), u"Goals = 22"_s);
        h.run(u"!Edit|!Plus*30"_s);
        QCOMPARE(h.text("Goaltxt"), u"fiction_21: \"F21\"\ntext_21: \"T21\""_s);
        h.run(u"!Minus*6|Goaltxt=fiction_15: \"Now \\\"this\\\"\"\ntext_15: \"T15\"|!EGoal|Gfict=x|!Agoal"_s);
        QCOMPARE(h.lastMessage().title, u"Page Limit."_s);
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), QByteArray(file).replace("\"F15\"", "\"Now \\\"this\\\"\""));
    }

    // A translated newgame.str keeps its own words; only the box changed is written anew.
    void keepsATranslatedNewgame()
    {
        const QByteArray file = "difficulty: \"Schwierigkeit:\"\r\nskip_training: \"Der Ring\"\r\n"
                                "start_training: \"\xDC" "bung\"\r\noptions: \"Optionen\"\r\ncancel: \"Abbrechen\"\r\n"
                                "diff_0: \"Leicht\"\r\ndiff_1: \"Schwer\"\r\ndiff_2: \"Meister\"\r\n";
        Harness h;
        openFile(h, u"newgame.str"_s, file);
        QVERIFY2(h.lastMessage().text.contains(u"start_training"_s), qPrintable(h.lastMessage().text));
        QCOMPARE(h.text("Mt") + u'|' + h.text("diff2"), u"Der Ring|Meister"_s);
        h.run(u"Mt=Der \"Ring\""_s);
        QCOMPARE(h.save("Cngame", u"newgame.str"_s), QByteArray(file).replace("\"Der Ring\"", "\"Der \\\"Ring\\\"\""));
    }

    // A campaign's missflag.str: the mission chosen is edited, every other line kept.
    void editsTheChosenMissionOfACampaign()
    {
        const QByteArray file = "// flags\nmiss_1: \"skip\"\nmiss_19: \"no_loadout\"\n"
                                "miss_23: \"no_briefing,no_loadout\"\nmiss_25: \"no_briefing ,no_loadout, end\"\n"
                                "miss_26: \"skip\"\n";
        Harness h;
        openFile(h, u"missflag.str"_s, file);
        QVERIFY(h.find<QWidget>("missionTable")->isVisible());   // a campaign opens in its table
        h.click("flagsCampaign");   // and back to the boxes, one mission at a time
        auto *choice = h.find<QComboBox>("missionChoice");
        QVERIFY(choice->isVisible());
        QCOMPARE(choice->currentText() + u'|' + h.text("Mnum") + u'|' + h.text("Bno"), u"miss_25|25|no_briefing"_s);
        h.run(u"Bno=cutscene"_s);
        choice->setFocus();
        QTest::keyClick(choice, Qt::Key_Up);   // to miss_23; the edit of miss_25 is kept
        QCOMPARE(h.text("Mnum") + u'|' + h.text("Bno"), u"23|no_briefing,no_loadout"_s);
        h.run(u"Bno=no_loadout"_s);
        QCOMPARE(h.save("Cmf", u"missflag.str"_s),
                 QByteArray(file)
                     .replace("\"no_briefing,no_loadout\"", "\"no_loadout\"")
                     .replace("\"no_briefing ,no_loadout, end\"", "\"cutscene ,no_loadout, end\""));
    }

    // A draft of an opened file keeps the file: restored after a crash, it
    // still saves back only what the author changed.
    void aDraftKeepsTheOpenedFile()
    {
        const QByteArray file = "// drawn by hand\nno_trim: \"1\"\npage_0: \"One\"\npage_0_decal_0: \"map\"\npage_1: \"Two\"\n";
        Harness h;
        openFile(h, u"Map.str"_s, file);
        h.run(u"!Command2|Page=page_1: \"Three\"|!ApPage"_s);
        Harness again;
        again.window().restoreDraft(h.window().draftState());
        QCOMPARE(again.save("SvBook", u"Map.str"_s), QByteArray(file).replace("Two", "Three"));
    }

    // A string table of no kind of its own opens in a table on a tab of its
    // own, for the time it is open; its texts are edited in place.
    void editsAStringTableInPlace()
    {
        const QByteArray file = "// Object names\r\nsword_1: \"Old sword\"\r\nlamp : \"Lamp\" // lit\r\n";
        Harness h;
        const int tabs = h.find<QTabWidget>("Tab1")->count();
        QCOMPARE(openFile(h, u"objnames.str"_s, file), u"stringsTab"_s);
        auto *table = h.find<QTableView>("stringsTable");
        table->setFocus();
        QTest::keyClick(table, Qt::Key_F2);   // the first text
        QTest::keySequence(QApplication::focusWidget(), QKeySequence::SelectAll);
        QTest::keyClicks(QApplication::focusWidget(), u"Sword \"Dawn\""_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(h.save("stringsSave", u"objnames.str"_s), QByteArray(file).replace("Old sword", "Sword \\\"Dawn\\\""));
        QCOMPARE(h.prompts.suggestedNames.constLast(), h.path(u"objnames.str"_s));
        h.click("stringsClose");
        QCOMPARE(h.find<QTabWidget>("Tab1")->count(), tabs);
    }

    void remembersRecentFilesAndDropsMissingOnes()
    {
        Harness h;
        QSettings().clear();
        openFile(h, u"a.str"_s);
        openFile(h, u"b.str"_s);
        Harness again;   // the list outlives the window
        Q_EMIT again.window().recentMenu->aboutToShow();
        QList<QAction *> items = again.window().recentMenu->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0)->text(), QDir::toNativeSeparators(h.path(u"b.str"_s)));
        QVERIFY(QFile::remove(h.path(u"b.str"_s)));
        items.at(0)->trigger();
        QVERIFY2(again.lastMessage().text.contains(u"no longer there"_s), qPrintable(again.lastMessage().text));
        Q_EMIT again.window().recentMenu->aboutToShow();
        QCOMPARE(again.window().recentMenu->actions().size(), 1);
    }

    void opensFilesNamedOnTheCommandLine()
    {
        QTemporaryDir dir;
        Testing::writeAll(dir.filePath(u"Diary.str"_s), Book);
        ScriptedPrompts prompts;
        Startup startup({dir.filePath(u"Diary.str"_s)}, &prompts, dir.filePath(u"drafts"_s));
        startup.start();
        QTRY_VERIFY_WITH_TIMEOUT(!startup.windows.empty(), 3000);
        QCOMPARE(startup.windows.front()->findChild<QLineEdit *>(u"Bname"_s)->text(), u"Diary"_s);
        startup.windows.front()->hide();
    }
};

QTEST_MAIN(TestOpening)
#include "tst_opening.moc"
