// Closing with files open asks once about all unsaved work (Save All,
// Discard, Cancel by default); a restore after a crash brings the mission
// panel and the translation window back, and its offer names only work.
#include "core/save/drafts.h"
#include "gui/mission/missionpanel.h"
#include "gui/startup.h"
#include "support/testing.h"
#include "translationsteps.h"

#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

const QByteArray Diary = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Goals = "fiction_0:\"Find the map\"\r\ntext_0:\"Search the attic.\"\r\n";

// A book and goals opened alone, a page and a goal added to them.
void changeTwoFiles(Harness &h)
{
    Testing::writeAll(h.path(u"Diary.str"_s), Diary);
    Testing::writeAll(h.path(u"goals.str"_s), Goals);
    QVERIFY(h.window().openFile(h.path(u"Diary.str"_s)));
    h.run(u"Page=Open it.|!Apage"_s);
    QVERIFY(h.window().openFile(h.path(u"goals.str"_s)));
    h.run(u"Gfict=Leave|Gtxt=Go home.|!Agoal"_s);
}

} // namespace

class TestClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Cancel, the default, keeps the window and the work; Save All writes
    // both files and closes.
    void asksAboutEveryFileWithCancelFirst()
    {
        Harness h;
        changeTwoFiles(h);
        QVERIFY(!h.window().close());
        const Prompts::Message question = h.lastMessage();
        QCOMPARE(question.buttons, (QList{Prompts::Button::SaveAll, Prompts::Button::Discard, Prompts::Button::Cancel}));
        QCOMPARE(question.defaultButton, Prompts::Button::Cancel);
        QVERIFY(question.guarded);
        QCOMPARE(question.text, u"This work has not been saved:\n\n- %1\n- %2\n\nSave All saves every file and closes "
                                "Quillwright; Discard closes without saving; Cancel goes back to the work."_s
                                    .arg(QDir::toNativeSeparators(h.path(u"Diary.str"_s)),
                                         QDir::toNativeSeparators(h.path(u"goals.str"_s))));
        QVERIFY(h.window().isVisible());
        QCOMPARE(Testing::readAll(h.path(u"Diary.str"_s)), Diary);
        QCOMPARE(h.text("Label11"), u"Pages = 3"_s);

        h.prompts.setNextAnswer(Prompts::Button::SaveAll);
        QVERIFY(h.window().close());
        QCOMPARE(Testing::readAll(h.path(u"Diary.str"_s)), Diary + "Page_2:\"Open it.\"\r\n");
        QCOMPARE(Testing::readAll(h.path(u"goals.str"_s)), Goals + "fiction_1:\"Leave\"\r\ntext_1:\"Go home.\"\r\n");
    }

    // A page typed and not added: named, and Save All saves the files and
    // stays at its box; Discard then closes, and the draft goes with it.
    void saveAllStaysAtTextTypedNotStored()
    {
        Harness h;
        Error error;
        h.window().enableDrafts(DraftFile::create(h.path(u"drafts"_s), &error));
        changeTwoFiles(h);
        h.run(u"Page=Typed, not added."_s);
        h.window().Tab1->setCurrentWidget(h.find("GoalsTab"));
        h.prompts.setNextAnswer(Prompts::Button::SaveAll);
        QVERIFY(!h.window().close());
        QVERIFY(h.lastMessage().text.contains(u"Typed into a box and not yet stored, so no file holds it yet:\n\n"
                                              "- the page typed but not yet added with \"Add new Page\"\n\n"_s));
        QCOMPARE(Testing::readAll(h.path(u"Diary.str"_s)), Diary + "Page_2:\"Open it.\"\r\n");
        QCOMPARE(h.window().Tab1->currentWidget(), h.find("BooksTab"));
        QCOMPARE(h.window().focusWidget(), h.find("Page"));
        QCOMPARE(h.text("Page"), u"Typed, not added."_s);

        h.window().writeDraftNow();
        h.prompts.setNextAnswer(Prompts::Button::Discard);
        QVERIFY(h.window().close());
        QVERIFY(h.lastMessage().text.startsWith(u"Typed into a box"_s));   // no file is unsaved now
        QCOMPARE(QDir(h.path(u"drafts"_s)).entryList({u"draft-*"_s}).size(), 0);
    }

    // A crash with a translation typed: the restore reads the mission again
    // and opens its translation window in the same languages; the offer
    // leaves out the forms nothing was typed in.
    void restoreReopensTheMissionAndItsTranslation()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        QVERIFY(QDir(root).mkpath(u"books/english"_s) && QDir(root).mkpath(u"books/polish"_s));
        Testing::writeAll(root + u"/books/english/Diary.str"_s, Diary);
        Testing::writeAll(root + u"/books/polish/Diary.str"_s, "Page_0:\"By\xB3o ciemno.\"\r\n");
        TranslationWindow *view = openTranslation(h, root, u"english"_s, u"polish"_s);
        QVERIFY(view);
        translate(view, u"Page_1"_s, u"Drzwi"_s);
        const QString drafts = h.path(u"drafts"_s);
        QVERIFY(QDir().mkpath(drafts));
        Testing::writeAll(drafts + u"/draft-crashed.json"_s, QJsonDocument(h.window().draftState()).toJson());
        view->hide();
        h.window().hide();

        ScriptedPrompts prompts;
        prompts.setNextAnswer(Prompts::Button::Restore);
        Startup startup(QStringList(), &prompts, drafts);
        startup.start();
        QTRY_COMPARE(startup.windows.size(), size_t(1));
        QVERIFY2(prompts.messages.value(0).text.contains(u"this work was kept:\n\nchanges to Diary.str\n\n"_s),
                 qPrintable(prompts.messages.value(0).text));
        Qwr &restored = *startup.windows.at(0);
        QVERIFY(restored.missionPanel && restored.missionPanel->isVisible());
        QCOMPARE(restored.missionPanel->folder(), root);
        QTRY_VERIFY(restored.translation && restored.translation->isVisible());
        QCOMPARE(restored.translation->sourceLanguage->currentText() + u'>'
                     + restored.translation->targetLanguage->currentText(),
                 u"english>polish"_s);
        QCOMPARE(shownTranslation(restored.translation, u"Page_1"_s), u"Drzwi"_s);

        prompts.setNextAnswer(Prompts::Button::Discard);
        QVERIFY(restored.close());
        QCOMPARE(Testing::readAll(root + u"/books/polish/Diary.str"_s), QByteArray("Page_0:\"By\xB3o ciemno.\"\r\n"));
        restored.translation->hide();
    }
};

QTEST_MAIN(TestClosing)
#include "tst_closing.moc"
