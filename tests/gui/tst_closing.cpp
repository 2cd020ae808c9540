// Closing with files open asks once about all unsaved work (Save All,
// Discard, Cancel by default); a restore after a crash brings the mission
// panel and the translation window back, and its offer names only work.
#include "gui/mission/missionpanel.h"
#include "gui/startup.h"
#include "support/testing.h"
#include "translationsteps.h"

#include <QComboBox>
#include <QDir>
#include <QJsonDocument>
#include <QTabWidget>

namespace {

const QByteArray Diary = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Goals = "fiction_0:\"Find the map\"\r\ntext_0:\"Search the attic.\"\r\n";

} // namespace

class TestClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A book and goals changed, a page typed and not added. Cancel, the
    // default, keeps it all; Save All writes both files and stays at the
    // page typed; stored, Save All writes it and closes.
    void asksAboutEveryFileWithCancelFirst()
    {
        Harness h;
        Testing::writeAll(h.path(u"Diary.str"_s), Diary);
        Testing::writeAll(h.path(u"goals.str"_s), Goals);
        QVERIFY(h.window().openFile(h.path(u"Diary.str"_s)));
        h.run(u"Page=Open it.|!Apage|Page=Typed, not added."_s);
        QVERIFY(h.window().openFile(h.path(u"goals.str"_s)));
        h.run(u"Gfict=Leave|Gtxt=Go home.|!Agoal"_s);
        QVERIFY(!h.window().close());
        const Prompts::Message question = h.lastMessage();
        QCOMPARE(question.buttons, (QList{Prompts::Button::SaveAll, Prompts::Button::Discard, Prompts::Button::Cancel}));
        QCOMPARE(question.defaultButton, Prompts::Button::Cancel);
        QVERIFY(question.guarded);
        QCOMPARE(question.text, u"This work has not been saved:\n\n- %1\n- %2\n\nTyped into a box and not yet stored, "
                                "so no file holds it yet:\n\n- the page typed but not yet added with \"Add new Page\"\n\n"
                                "Save All saves every file and keeps Quillwright open at the box typed into, so that "
                                "you can store the text; Discard closes without saving; Cancel goes back to the work."_s
                                    .arg(QDir::toNativeSeparators(h.path(u"Diary.str"_s)),
                                         QDir::toNativeSeparators(h.path(u"goals.str"_s))));
        QVERIFY(h.window().isVisible());
        QCOMPARE(Testing::readAll(h.path(u"Diary.str"_s)) + Testing::readAll(h.path(u"goals.str"_s)), Diary + Goals);

        h.prompts.setNextAnswer(Prompts::Button::SaveAll);
        QVERIFY(!h.window().close());
        const QByteArray threePages = Diary + "Page_2:\"Open it.\"\r\n";
        QCOMPARE(Testing::readAll(h.path(u"Diary.str"_s)), threePages);
        QCOMPARE(Testing::readAll(h.path(u"goals.str"_s)), Goals + "fiction_1:\"Leave\"\r\ntext_1:\"Go home.\"\r\n");
        QCOMPARE(h.window().Tab1->currentWidget(), h.find("BooksTab"));
        QCOMPARE(h.window().focusWidget(), h.find("Page"));
        QCOMPARE(h.text("Page"), u"Typed, not added."_s);

        h.click("Apage");
        h.prompts.setNextAnswer(Prompts::Button::SaveAll);
        QVERIFY(h.window().close());
        QCOMPARE(Testing::readAll(h.path(u"Diary.str"_s)), threePages + "Page_3:\"Typed, not added.\"\r\n");
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

        prompts.setNextAnswer(Prompts::Button::Discard);   // closes unsaved, the draft gone as on a clean end
        QVERIFY(restored.close());
        QCOMPARE(Testing::readAll(root + u"/books/polish/Diary.str"_s), QByteArray("Page_0:\"By\xB3o ciemno.\"\r\n"));
        QCOMPARE(QDir(drafts).entryList({u"draft-*"_s}).size(), 0);
        restored.translation->hide();
    }
};

QTEST_MAIN(TestClosing)
#include "tst_closing.moc"
