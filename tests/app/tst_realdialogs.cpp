// The program's own dialogs, answered as the author answers them: the shared
// save dialog "cd1" and real message boxes.
#include "app/mainwindow.h"
#include "support/modalanswerer.h"
#include "support/testing.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Testing::readAll;

class TestRealDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Qwr> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;

    template <typename T>
    T *w(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void click(const char *name) { QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton); }
    void writeTwoPageBook()
    {
        Testing::type(w<QLineEdit>("Bname"), QStringLiteral("Diary"));
        for (const QString &text : {QStringLiteral("It was dark."), QStringLiteral("The door was locked.")}) {
            Testing::type(w<QPlainTextEdit>("Page"), text);
            click("Apage");
        }
    }
    const QByteArray twoPages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_window = std::make_unique<Qwr>();
        m_window->Form_Load();
    }
    void cleanup()
    {
        m_window->hide();   // no close question between tests
        m_window.reset();
    }

    void savesThroughTheSharedDialog()
    {
        writeTwoPageBook();
        auto *cd1 = m_window->findChild<QFileDialog *>(QStringLiteral("cd1"));
        QVERIFY(cd1);
        QString proposed;
        const QString path = m_dir->filePath(QStringLiteral("Diary.str"));
        ModalAnswerer::acceptFileDialog(path, &proposed);
        click("SvBook");
        QCOMPARE(proposed, QStringLiteral("Diary.str"));
        QCOMPARE(cd1->nameFilters(), QStringList{QStringLiteral("*.str")});
        QCOMPARE(cd1->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(readAll(path), twoPages);

        // The dialog opens again in the folder it was last used in: a bare
        // name lands there.
        Testing::type(w<QPlainTextEdit>("Page"), QStringLiteral("Third."));
        click("Apage");
        ModalAnswerer::acceptFileDialog(QStringLiteral("Second.str"), &proposed);
        click("SvBook");
        QCOMPARE(readAll(m_dir->filePath(QStringLiteral("Second.str"))),
                 twoPages + QByteArray("Page_2:\"Third.\"\r\n"));
        // Nothing unsaved now: the window closes without a question.
        QVERIFY(m_window->close());
    }

    void asksBeforeReplacingAFileEvenTheFirstTime()
    {
        writeTwoPageBook();
        const QString path = m_dir->filePath(QStringLiteral("Diary.str"));
        Testing::writeAll(path, "the author's other book\r\n");

        QString question;
        ModalAnswerer::acceptFileDialog(path);
        ModalAnswerer::answerMessageBox(QMessageBox::No, &question, nullptr, [] { ModalAnswerer::cancelFileDialog(); });
        click("SvBook");
        QVERIFY2(question.contains(QStringLiteral("Diary.str")), qPrintable(question));
        QCOMPARE(readAll(path), QByteArray("the author's other book\r\n"));

        ModalAnswerer::acceptFileDialog(path);
        ModalAnswerer::answerMessageBox(QMessageBox::Yes);
        click("SvBook");
        QCOMPARE(readAll(path), twoPages);
    }

    void reportsFailuresAndMissingNamesInMessageBoxes()
    {
        QString text;
        QString title;
        ModalAnswerer::answerMessageBox(QMessageBox::Ok, &text, &title);
        click("SvBook");
        QCOMPARE(title, QStringLiteral("Qwr"));
        QCOMPARE(text, QStringLiteral("You forgot to name your book!"));

        writeTwoPageBook();
        const QString path = m_dir->filePath(QStringLiteral("missing/Diary.str"));
        ModalAnswerer::acceptFileDialog(path);
        ModalAnswerer::answerMessageBox(QMessageBox::Ok, &text, &title);
        click("SvBook");
        QCOMPARE(title, QStringLiteral("Qwr"));
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        QVERIFY(!QFileInfo::exists(path));

        // The work is still unsaved: closing asks, and No keeps the window.
        ModalAnswerer::answerMessageBox(QMessageBox::No, &text);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QVERIFY(text.contains(QStringLiteral("not been saved")));
    }
};

QTEST_MAIN(TestRealDialogs)
#include "tst_realdialogs.moc"
