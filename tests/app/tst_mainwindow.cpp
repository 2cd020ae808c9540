// The main window as the author meets it: captions, tabs, menu, the About
// message, and closing it with and without unsaved work.
#include "app/centring.h"
#include "app/mainwindow.h"
#include "app/version.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Qwr> m_window;

    template <typename T>
    T *w(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void addPage(const QString &text)
    {
        Testing::type(w<QPlainTextEdit>("Page"), text);
        QTest::mouseClick(w<QPushButton>("Apage"), Qt::LeftButton);
    }
    // Closes the window the given way; true when it closed.
    bool closeBy(const QString &way)
    {
        if (way == QLatin1String("Close button"))
            QTest::mouseClick(w<QPushButton>("Command1"), Qt::LeftButton);
        else if (way == QLatin1String("File/Quit"))
            w<QAction>("qtnow")->trigger();
        else
            m_window->close();   // the window's close box
        return !m_window->isVisible();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(Version::buildVersion());
    }
    void init()
    {
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<Qwr>(m_prompts.get());
        m_window->Form_Load();
    }
    void cleanup()
    {
        m_window.reset();
    }

    void opensOnTheBooksTab()
    {
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Quillwright  for Mirkhold mission authors"));
        auto *tabs = w<QTabWidget>("Tab1");
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        QCOMPARE(captions, (QStringList{QStringLiteral("Books"), QStringLiteral("Goals"), QStringLiteral("Newgame"),
                                        QStringLiteral("Missflag"), QStringLiteral("Titles"), QStringLiteral("About")}));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(w<QPushButton>("Command1")->text(), QStringLiteral("Close"));
        QCOMPARE(w<QMenu>("MyMNU")->title(), QStringLiteral("File"));
        const QList<QAction *> items = w<QMenu>("MyMNU")->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0)->objectName(), QStringLiteral("abtme"));
        QCOMPARE(items.at(0)->text(), QStringLiteral("About"));
        QCOMPARE(items.at(1)->objectName(), QStringLiteral("qtnow"));
        QCOMPARE(items.at(1)->text(), QStringLiteral("Quit"));
        QCOMPARE(w<QLabel>("Abtlbl")->text(), QStringLiteral("Quillwright for Mirkhold mission authors. - Version 2.2"));
        QCOMPARE(m_window->state().VersionText, QStringLiteral("2.2"));
        // Pages keep their contents while hidden.
        Testing::type(w<QLineEdit>("Bname"), QStringLiteral("Diary"));
        tabs->setCurrentIndex(5);
        tabs->setCurrentIndex(0);
        QCOMPARE(w<QLineEdit>("Bname")->text(), QStringLiteral("Diary"));
    }

    void showsTheAboutMessage()
    {
        w<QAction>("abtme")->trigger();
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &about = m_prompts->messages.constFirst();
        QCOMPARE(about.title, QStringLiteral("About Quillwright."));
        QCOMPARE(about.icon, QMessageBox::Information);
        QCOMPARE(about.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(about.text, QStringLiteral(" Quillwright for Mirkhold mission authors\n\nVersion  2.2\n"
                                            "Create Books, Goals, Newgame, Titles and Missflag.\n\n"
                                            " This is a just a tool to help do these tasks!"));
        QVERIFY(m_window->isVisible());
    }

    void closingAsksOnlyWhenTheBookIsUnsaved_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Close button") << QStringLiteral("Close button");
        QTest::newRow("File/Quit") << QStringLiteral("File/Quit");
        QTest::newRow("close box") << QStringLiteral("close box");
    }
    void closingAsksOnlyWhenTheBookIsUnsaved()
    {
        QFETCH(QString, way);
        // Nothing typed yet: closes at once.
        QVERIFY(closeBy(way));
        QVERIFY(m_prompts->messages.isEmpty());

        m_window->show();
        addPage(QStringLiteral("unsaved"));
        m_prompts->answers = {QMessageBox::No};
        QVERIFY(!closeBy(way));
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &question = m_prompts->messages.constFirst();
        QCOMPARE(question.title, QStringLiteral("Qwr"));
        QCOMPARE(question.text,
                 QStringLiteral("The book has changes that have not been saved.\n\nClose Quillwright and discard them?"));
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::No);
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 1"));

        m_prompts->answers = {QMessageBox::Yes};
        QVERIFY(closeBy(way));
        QCOMPARE(m_prompts->messages.size(), 2);
    }

    void savedOrResetWorkClosesWithoutAsking()
    {
        QTemporaryDir dir;
        Testing::type(w<QLineEdit>("Bname"), QStringLiteral("Saved"));
        addPage(QStringLiteral("kept"));
        m_prompts->paths = {dir.filePath(QStringLiteral("Saved.str"))};
        QTest::mouseClick(w<QPushButton>("SvBook"), Qt::LeftButton);
        QVERIFY(m_prompts->messages.isEmpty());
        QVERIFY(m_window->close());

        // A changed place of the book is unsaved work again...
        m_window->show();
        Testing::type(w<QLineEdit>("ComOpt"), QStringLiteral("Hall"));
        m_prompts->answers = {QMessageBox::No};
        QVERIFY(!m_window->close());
        // ...and a confirmed reset leaves nothing to lose.
        m_prompts->answers = {QMessageBox::Yes};
        QTest::mouseClick(w<QPushButton>("Rsetme"), Qt::LeftButton);
        QVERIFY(m_window->close());
        QCOMPARE(m_prompts->messages.size(), 2);
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
        QTest::newRow("major only") << QStringLiteral("3") << QStringLiteral("3.0");
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
