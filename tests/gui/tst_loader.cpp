// The splash window opens the main window after one second, or never when it
// is closed first.
#include "gui/loader.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

class TestLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensTheMainWindowAfterOneSecond()
    {
        int opened = 0;
        Loader loader([&opened] { ++opened; });
        loader.Form_Load();
        QVERIFY(loader.isVisible());
        QCOMPARE(loader.windowTitle(), QStringLiteral("Q.W.R. for Mirkhold mission authors"));
        QCOMPARE(loader.Timer1->interval(), 1000);
        QVERIFY(loader.Timer1->isActive());
        QCOMPARE(loader.Image1->pixmap().deviceIndependentSize().toSize(), QSize(250, 273));
        QTest::qWait(500);
        QCOMPARE(opened, 0);
        QTRY_COMPARE_WITH_TIMEOUT(opened, 1, 2000);
        QVERIFY(!loader.isVisible());
        QTest::qWait(1200);
        QCOMPARE(opened, 1);   // one tick only
    }

    void closedEarlyItNeverOpensTheMainWindow()
    {
        int opened = 0;
        Loader loader([&opened] { ++opened; });
        loader.Form_Load();
        loader.close();
        QVERIFY(!loader.Timer1->isActive());
        QTest::qWait(1300);
        QCOMPARE(opened, 0);
    }
};

QTEST_MAIN(TestLoader)
#include "tst_loader.moc"
