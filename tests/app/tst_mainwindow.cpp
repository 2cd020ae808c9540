// The main window as the author meets it: captions, tabs, menu, the About
// message, and closing it with and without unsaved work.
#include "app/centring.h"
#include "app/version.h"
#include "support/harness.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QCoreApplication::setApplicationVersion(Version::buildVersion()); }

    void opensOnTheBooksTab()
    {
        Harness h;
        QCOMPARE(h.window().windowTitle(), QStringLiteral("Quillwright  for Mirkhold mission authors"));
        auto *tabs = h.find<QTabWidget>("Tab1");
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions.join(QLatin1Char(',')), QStringLiteral("Books,Goals,Newgame,Missflag,Titles,About"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(h.text("Command1"), QStringLiteral("Close"));
        const QList<QAction *> items = h.window().findChild<QMenu *>(QStringLiteral("MyMNU"))->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0)->objectName() + items.at(0)->text(), QStringLiteral("abtmeAbout"));
        QCOMPARE(items.at(1)->objectName() + items.at(1)->text(), QStringLiteral("qtnowQuit"));
        QCOMPARE(h.text("Abtlbl"), QStringLiteral("Quillwright for Mirkhold mission authors. - Version 2.2"));
        QCOMPARE(h.text("Label11"), QStringLiteral("Pages = 0"));
        QCOMPARE(h.text("Bno"), QStringLiteral("no_briefing"));
        for (const char *button : {"ApPage", "EGoal", "Minus", "Plus"})
            QVERIFY(!h.enabled(button));
        h.type("Bname", QStringLiteral("Diary"));   // pages keep their contents while hidden
        tabs->setCurrentIndex(5);
        tabs->setCurrentIndex(0);
        QCOMPARE(h.text("Bname"), QStringLiteral("Diary"));

        h.window().findChild<QAction *>(QStringLiteral("abtme"))->trigger();
        QCOMPARE(h.lastMessage().title, QStringLiteral("About Quillwright."));
        QCOMPARE(h.lastMessage().icon, QMessageBox::Information);
        QCOMPARE(h.lastMessage().text, QStringLiteral(" Quillwright for Mirkhold mission authors\n\nVersion  2.2\n"
                                                      "Create Books, Goals, Newgame, Titles and Missflag.\n\n"
                                                      " This is a just a tool to help do these tasks!"));
    }

    void closingAsksOnlyAboutUnsavedWork_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Close button") << 0;
        QTest::newRow("File/Quit") << 1;
        QTest::newRow("close box") << 2;
    }
    void closingAsksOnlyAboutUnsavedWork()
    {
        QFETCH(int, way);
        Harness h;
        const auto closeIt = [&h, way] {
            if (way == 0)
                h.click("Command1");
            else if (way == 1)
                h.window().findChild<QAction *>(QStringLiteral("qtnow"))->trigger();
            else
                h.window().close();
            const bool closed = !h.window().isVisible();
            h.window().show();
            return closed;
        };
        QVERIFY(closeIt());   // nothing typed yet
        h.type("Page", QStringLiteral("unsaved"));
        h.click("Apage");
        h.prompts.answers = {QMessageBox::No};
        QVERIFY(!closeIt());
        QCOMPARE(h.lastMessage().title, QStringLiteral("Qwr"));
        QCOMPARE(h.lastMessage().text,
                 QStringLiteral("The book has changes that have not been saved.\n\nClose Quillwright and discard them?"));
        QCOMPARE(h.lastMessage().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(h.lastMessage().defaultButton, QMessageBox::No);
        h.prompts.answers = {QMessageBox::Yes};
        QVERIFY(closeIt());

        h.type("Bname", QStringLiteral("Saved"));   // saved: no question
        h.save("SvBook", QStringLiteral("Saved.str"));
        QVERIFY(closeIt());
        h.type("ComOpt", QStringLiteral("Hall"));   // a new place is unsaved work again...
        h.prompts.answers = {QMessageBox::No};
        QVERIFY(!closeIt());
        h.click("Rsetme");   // ...and a confirmed reset leaves nothing to lose
        QVERIFY(closeIt());
        QCOMPARE(h.prompts.messages.size(), 4);   // three close questions and the reset
    }

    void centresByTheOuterSize_data()
    {
        QTest::addColumn<float>("screen");
        QTest::addColumn<float>("window");
        QTest::addColumn<int>("edge");
        QTest::newRow("width") << 15360.0f << 11130.0f << 2115;
        QTest::newRow("height") << 11520.0f << 7740.0f << 1890;
        QTest::newRow("odd difference") << 4231.0f << 0.0f << 2115;
        QTest::newRow("larger than the screen") << 0.0f << 101.0f << -50;
        QTest::newRow("half rounds to even, down") << 5.0f << 2.5f << 1;
        QTest::newRow("half rounds to even, up") << 7.0f << 3.5f << 2;
    }
    void centresByTheOuterSize()
    {
        QFETCH(float, screen);
        QFETCH(float, window);
        QFETCH(int, edge);
        QCOMPARE(Centring::centredEdge(screen, window), edge);
    }

    void versionTextIsMajorDotMinor_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("this program") << Version::buildVersion() << QStringLiteral("2.2");
        QTest::newRow("leading zeros") << QStringLiteral("10.03.0007") << QStringLiteral("10.3");
        QTest::newRow("unreadable") << QStringLiteral("beta") << QString();
    }
    void versionTextIsMajorDotMinor()
    {
        QFETCH(QString, version);
        QFETCH(QString, text);
        QCOMPARE(Version::versionText(version), text);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
