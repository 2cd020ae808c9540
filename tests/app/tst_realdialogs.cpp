// The program's own dialogs, answered as the author answers them: the shared
// save dialog "cd1" and real message boxes.
#include "support/harness.h"
#include "support/modalanswerer.h"
#include "support/testing.h"

#include <QDir>
#include <QFileDialog>
#include <QTest>

using ModalAnswerer::acceptFileDialog;
using ModalAnswerer::answerMessageBox;
using Testing::readAll;

namespace {

const QByteArray TwoPages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";

void writeTwoPageBook(Harness &h)
{
    h.type("Bname", QStringLiteral("Diary"));
    for (const QString &text : {QStringLiteral("It was dark."), QStringLiteral("The door was locked.")}) {
        h.type("Page", text);
        h.click("Apage");
    }
}

} // namespace

class TestRealDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savesThroughTheSharedDialog()
    {
        Harness h(Harness::RealDialogs);
        writeTwoPageBook(h);
        QString proposed;
        acceptFileDialog(h.path(QStringLiteral("Diary.str")), &proposed);
        h.click("SvBook");
        QCOMPARE(proposed, QStringLiteral("Diary.str"));
        auto *cd1 = h.window().findChild<QFileDialog *>(QStringLiteral("cd1"));
        QCOMPARE(cd1->nameFilters(), QStringList{QStringLiteral("*.str")});
        QCOMPARE(readAll(h.path(QStringLiteral("Diary.str"))), TwoPages);
        // The next dialog opens in the folder of the last save: a bare name lands there.
        acceptFileDialog(QStringLiteral("Second.str"));
        h.click("SvBook");
        QCOMPARE(readAll(h.path(QStringLiteral("Second.str"))), TwoPages);
        QVERIFY(h.window().close());   // nothing unsaved: no question
    }

    void asksBeforeReplacingAFileEvenTheFirstTime()
    {
        Harness h(Harness::RealDialogs);
        writeTwoPageBook(h);
        const QString path = h.path(QStringLiteral("Diary.str"));
        Testing::writeAll(path, "the author's other book\r\n");
        QString question;
        acceptFileDialog(path);
        answerMessageBox(QMessageBox::No, &question, nullptr, [] { ModalAnswerer::cancelFileDialog(); });
        h.click("SvBook");
        QVERIFY2(question.contains(QStringLiteral("Diary.str")), qPrintable(question));
        QCOMPARE(readAll(path), QByteArray("the author's other book\r\n"));
        acceptFileDialog(path);
        answerMessageBox(QMessageBox::Yes);
        h.click("SvBook");
        QCOMPARE(readAll(path), TwoPages);
    }

    void reportsFailuresAndMissingNamesInMessageBoxes()
    {
        Harness h(Harness::RealDialogs);
        QString text;
        QString title;
        answerMessageBox(QMessageBox::Ok, &text, &title);
        h.click("SvBook");
        QCOMPARE(title + QLatin1Char('|') + text, QStringLiteral("Qwr|You forgot to name your book!"));
        writeTwoPageBook(h);
        const QString path = h.path(QStringLiteral("missing/Diary.str"));
        acceptFileDialog(path);
        answerMessageBox(QMessageBox::Ok, &text, &title);
        h.click("SvBook");
        QCOMPARE(title, QStringLiteral("Qwr"));
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        answerMessageBox(QMessageBox::No, &text);   // still unsaved: No keeps the window
        QVERIFY(!h.window().close());
        QVERIFY(text.contains(QStringLiteral("not been saved")));
    }
};

QTEST_MAIN(TestRealDialogs)
#include "tst_realdialogs.moc"
