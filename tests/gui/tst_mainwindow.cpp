// The main window as the author meets it: captions, tabs, menu, the About
// message, and the question before unsaved work is lost.
#include "core/version.h"
#include "support/harness.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString TwoPages = u"Bname=Diary|Page=It was dark.|!Apage|Page=The door was locked.|!Apage"_s;

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationVersion(Version::buildVersion()); }

    void opensOnTheBooksTab()
    {
        Harness h;
        QCOMPARE(h.window().windowTitle(), u"Quillwright  for Mirkhold mission authors"_s);
        auto *tabs = h.find<QTabWidget>("Tab1");
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions.join(u','), u"Books,Goals,Newgame,Missflag,Titles,About"_s);
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(h.text("Command1"), u"Close"_s);
        QStringList items;
        for (const QAction *item : h.window().findChild<QMenu *>(u"MyMNU"_s)->actions())
            items << item->text() + item->shortcut().toString(QKeySequence::PortableText);
        QCOMPARE(items, (QStringList{u"Open\u2026Ctrl+O"_s, u"Recent files"_s, QString(), u"About"_s, u"Quit"_s}));
        QCOMPARE(h.text("Abtlbl"), u"Quillwright for Mirkhold mission authors. - Version 2.2"_s);
        QCOMPARE(h.text("Label11"), u"Pages = 0"_s);
        QCOMPARE(h.text("Bno"), u"no_briefing"_s);
        for (const char *button : {"ApPage", "EGoal", "Minus", "Plus"})
            QVERIFY(!h.enabled(button));
        for (QWidget *widget : tabs->widget(5)->findChildren<QWidget *>())   // the About tab is to read only
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
        h.type("Bname", u"Diary"_s);   // pages keep their contents while hidden
        tabs->setCurrentIndex(5);
        tabs->setCurrentIndex(0);
        QCOMPARE(h.text("Bname"), u"Diary"_s);

        h.window().findChild<QAction *>(u"abtme"_s)->trigger();
        QCOMPARE(h.lastMessage().title, u"About Quillwright."_s);
        QCOMPARE(h.lastMessage().icon, Prompts::Icon::Information);
        QCOMPARE(h.lastMessage().text, u" Quillwright for Mirkhold mission authors\n\nVersion  2.2\n"
                                       "Create Books, Goals, Newgame, Titles and Missflag.\n\n"
                                       " This is a just a tool to help do these tasks!"_s);
    }

    // What the close question lists after the author's steps ("" when it is not asked).
    void closingNamesTheUnsavedWork_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("work");
        const QString book = u"- the book"_s;
        const QString typedPage = u"- the page typed but not yet added with \"Add new Page\""_s;
        const QString editedPage = u"- the page being edited, not yet stored with \"Append/Cancel\""_s;
        QTest::newRow("nothing typed") << QString() << QString();
        QTest::newRow("a book name alone") << u"Bname=Diary"_s << QString();
        QTest::newRow("a page typed, not added") << u"Page=It was dark."_s << typedPage;
        QTest::newRow("a place, no pages") << u"ComOpt=Attic"_s << book;
        QTest::newRow("saved") << TwoPages + u"|save"_s << QString();
        QTest::newRow("a page corrected after the save")
            << TwoPages + u"|save|!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s << book;
        QTest::newRow("a correction not stored") << TwoPages + u"|save|!Command2|Page=Page_1:\"open\""_s << editedPage;
        QTest::newRow("stepping through, nothing changed") << TwoPages + u"|save|!Command2|!Command3"_s << QString();
        QTest::newRow("a goal typed, not added")
            << u"Gtxt=Find the map"_s << u"- the goal typed but not yet added with \"Create/Add new Goal\""_s;
        QTest::newRow("a goal being rewritten")
            << u"Gfict=f|Gtxt=t|!Agoal|!Edit|Goaltxt=changed"_s
            << u"- the goals\n- the goal being edited, not yet stored with \"Edit Goal / Cancel\""_s;
        QTest::newRow("all reset") << TwoPages + u"|Gfict=f|!Agoal|?Yes|!Rsetme|?Yes|!Rgoals"_s << QString();
    }
    void closingNamesTheUnsavedWork()
    {
        QFETCH(QString, steps);
        QFETCH(QString, work);
        Harness h;
        for (const QString &part : steps.split(u"|save"_s)) {
            h.run(part);
            if (part != steps.section(u"|save"_s, -1))
                h.save("SvBook", u"Diary.str"_s);
        }
        QCOMPARE(h.closeQuestion(), work.isEmpty() ? QString()
                                                  : u"This work has not been saved:\n\n"_s + work
                                                        + u"\n\nClose Quillwright and discard it?"_s);
    }

    void everyWayOfClosingAsks_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Close button") << 0;
        QTest::newRow("File/Quit") << 1;
        QTest::newRow("close box") << 2;
    }
    void everyWayOfClosingAsks()
    {
        QFETCH(int, way);
        Harness h;
        h.run(u"Page=unsaved|!Apage"_s);
        const auto closeIt = [&h, way] {
            if (way == 0)
                h.click("Command1");
            else if (way == 1)
                h.window().findChild<QAction *>(u"qtnow"_s)->trigger();
            else
                h.window().close();
            return !h.window().isVisible();
        };
        h.prompts.setNextAnswer(Prompts::Button::No);
        QVERIFY(!closeIt());
        const Prompts::Message question = h.lastMessage();
        QCOMPARE(question.title, u"Qwr"_s);
        QCOMPARE(question.icon, Prompts::Icon::Warning);
        QCOMPARE(question.buttons, (QList{Prompts::Button::Yes, Prompts::Button::No}));
        QCOMPARE(question.defaultButton, Prompts::Button::No);
        h.prompts.setNextAnswer(Prompts::Button::Yes);
        QVERIFY(closeIt());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
