// The main window as the author meets it: the tabs, the menu, the About
// message, and the question before unsaved work on any tab is lost.
#include "core/version.h"
#include "support/harness.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationVersion(Version::buildVersion()); }

    void opensOnTheBooksTab()
    {
        Harness h;
        auto *tabs = h.find<QTabWidget>("Tab1");
        QCOMPARE(tabs->currentIndex(), 0);
        for (const char *button : {"ApPage", "EGoal", "Minus", "Plus"})
            QVERIFY(!h.enabled(button));
        for (QWidget *widget : tabs->widget(5)->findChildren<QWidget *>())   // the About tab is to read only
            QVERIFY2(widget->focusPolicy() == Qt::NoFocus, qPrintable(widget->objectName()));
        h.type("Bname", u"Diary"_s);   // pages keep their contents while hidden
        tabs->setCurrentIndex(5);
        tabs->setCurrentIndex(0);
        QCOMPARE(h.text("Bname"), u"Diary"_s);
        QStringList items;
        for (const QAction *item : h.window().findChild<QMenu *>(u"MyMNU"_s)->actions())
            items << item->text() + item->shortcut().toString(QKeySequence::PortableText);
        QCOMPARE(items, (QStringList{u"Open\u2026Ctrl+O"_s, u"Recent files"_s, QString(), u"About"_s, u"Quit"_s}));
        QCOMPARE(h.text("Abtlbl"), u"Quillwright for Mirkhold mission authors. - Version 2.2"_s);
        h.window().findChild<QAction *>(u"abtme"_s)->trigger();
        QCOMPARE(h.lastMessage().title + u'|' + h.lastMessage().text,
                 u"About Quillwright.| Quillwright for Mirkhold mission authors\n\nVersion  2.2\n"
                 "Create Books, Goals, Newgame, Titles and Missflag.\n\n This is a just a tool to help do these tasks!"_s);
    }

    // What the close question lists after the author's steps ("" when it is not
    // asked); a step ">Button" saves with that button.
    void closingNamesTheUnsavedWork_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("work");
        const auto row = [](const char *name, const QString &steps, const char *work) {
            QTest::newRow(name) << steps << QString::fromUtf8(work);
        };
        const QString saved = u"Bname=Diary|Page=It was dark.|!Apage|Page=The door was locked.|!Apage|>SvBook"_s;
        const QString missions = u"diff2=Insane|Mn2=20|Mt2=The Ring|Mnum=3"_s;
        row("nothing typed", {}, "");
        row("a book name alone", u"Bname=Diary"_s, "");
        row("a page typed, not added", u"Page=It was dark."_s, "the page typed but not yet added with \"Add new Page\"");
        row("a place, no pages", u"ComOpt=Attic"_s, "the book");
        row("saved", saved, "");
        row("a page corrected after the save", saved + u"|!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s,
            "the book");
        row("a correction not stored", saved + u"|!Command2|Page=Page_1:\"open\""_s,
            "the page being edited, not yet stored with \"Append/Cancel\"");
        row("stepping through, nothing changed", saved + u"|!Command2|!Command3"_s, "");
        row("a goal typed, not added", u"Gtxt=Find the map"_s,
            "the goal typed but not yet added with \"Create/Add new Goal\"");
        row("a goal being rewritten", u"Gfict=f|Gtxt=t|!Agoal|!Edit|Goaltxt=changed"_s,
            "the goals\n- the goal being edited, not yet stored with \"Edit Goal / Cancel\"");
        row("goals saved", u"Gfict=f|Gtxt=t|!Agoal|>Sgoals"_s, "");
        row("book and goals", u"Page=p|!Apage|Gfict=f|!Agoal|Gfict=next"_s,
            "the book\n- the goals\n- the goal typed but not yet added with \"Create/Add new Goal\"");
        row("all reset", saved + u"|Gfict=f|!Agoal|?Yes|!Rsetme|?Yes|!Rgoals"_s, "");
        row("mission boxes, one back to its start text", u"diff2=Insane|Mn2=20|Bno=no_briefing"_s,
            "the mission title and difficulty names on the Newgame tab\n- the mission number and title on the Titles tab");
        row("mission tabs, two saved", missions + u"|>Cngame|>Titles"_s,
            "the mission number and briefing flag on the Missflag tab");
        row("mission tabs saved", missions + u"|>Cngame|>Titles|>Cmf"_s, "");
    }
    void closingNamesTheUnsavedWork()
    {
        QFETCH(QString, steps);
        QFETCH(QString, work);
        Harness h;
        for (const QString &step : steps.split(u'|')) {
            if (step.startsWith(u'>'))
                h.save(qPrintable(step.mid(1)), step.mid(1) + u".str"_s);
            else
                h.run(step);
        }
        QCOMPARE(h.closeQuestion(), work.isEmpty() ? QString()
                                                  : u"This work has not been saved:\n\n- "_s + work
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
        QCOMPARE(question.title + QString::number(int(question.icon)), u"Qwr2"_s);   // a warning
        QCOMPARE(question.buttons, (QList{Prompts::Button::Yes, Prompts::Button::No}));
        QCOMPARE(question.defaultButton, Prompts::Button::No);
        h.prompts.setNextAnswer(Prompts::Button::Yes);
        QVERIFY(closeIt());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
