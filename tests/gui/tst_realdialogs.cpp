// The program's own dialogs, answered as the author answers them: the shared
// save dialog "cd1" and real message boxes.
#include "support/harness.h"
#include "support/modal.h"
#include "support/testing.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

using namespace Qt::StringLiterals;
using Testing::readAll;

namespace {

const QByteArray TwoPages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QString WriteTwoPages = u"Bname=Diary|Page=It was dark.|!Apage|Page=The door was locked.|!Apage"_s;

// Types `name` into the next save dialog and presses Enter; `then` runs on
// the modal window that opens next (the question before replacing a file).
void typeIntoSaveDialog(const QString &name, QString *proposed = nullptr,
                        std::function<void(QWidget *)> then = {})
{
    onNextModal([=](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        auto *edit = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        if (proposed)
            *proposed = edit->text();
        edit->setText(name);
        if (then)
            onNextModal(then);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// Presses `button` in the next message box; its text goes to `text`.
void answerMessageBox(QMessageBox::StandardButton button, QString *text = nullptr,
                      std::function<void(QWidget *)> then = {})
{
    onNextModal([=](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        if (text)
            *text = box->windowTitle() + u'|' + box->text();
        if (then)
            onNextModal(then);
        box->button(button)->click();
    });
}

} // namespace

class TestRealDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program uses the platform's own save dialog; these tests drive Qt's,
    // which is the one Linux desktops without a portal get.
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void savesThroughTheSharedDialog()
    {
        Harness h(Harness::RealDialogs);
        QVERIFY(!h.window().findChild<QFileDialog *>());   // made when first needed
        h.run(WriteTwoPages);
        QString proposed;
        typeIntoSaveDialog(h.path(u"Diary.str"_s), &proposed);
        h.click("SvBook");
        QCOMPARE(proposed, u"Diary.str"_s);
        auto *cd1 = h.window().findChild<QFileDialog *>(u"cd1"_s);
        QCOMPARE(cd1->nameFilters().constFirst(), u"Mission texts (*.str)"_s);
        QCOMPARE(readAll(h.path(u"Diary.str"_s)), TwoPages);
        // The next dialog opens in the folder of the last save, and a name
        // typed without an ending gets ".str".
        typeIntoSaveDialog(u"Second"_s);
        h.click("SvBook");
        QCOMPARE(readAll(h.path(u"Second.str"_s)), TwoPages);
        QVERIFY(h.window().close());   // nothing unsaved: no question
    }

    void asksBeforeReplacingAFileEvenTheFirstTime()
    {
        Harness h(Harness::RealDialogs);
        h.run(WriteTwoPages);
        const QString path = h.path(u"Diary.str"_s);
        Testing::writeAll(path, "the author's other book\r\n");
        QString question;
        typeIntoSaveDialog(path, nullptr, [&question](QWidget *) {
            answerMessageBox(QMessageBox::No, &question, [](QWidget *dialog) {   // back in the dialog: cancel it
                qobject_cast<QDialog *>(dialog)->reject();
            });
        });
        h.click("SvBook");
        QVERIFY2(question.contains(u"Diary.str"_s), qPrintable(question));
        QCOMPARE(readAll(path), QByteArray("the author's other book\r\n"));
        typeIntoSaveDialog(path, nullptr, [](QWidget *) { answerMessageBox(QMessageBox::Yes); });
        h.click("SvBook");
        QCOMPARE(readAll(path), TwoPages);
    }

    void reportsInRealMessageBoxes()
    {
        Harness h(Harness::RealDialogs);
        QString text;
        answerMessageBox(QMessageBox::Ok, &text);
        h.click("SvBook");
        QCOMPARE(text, u"Qwr|You forgot to name your book!"_s);
        h.run(WriteTwoPages);
        const QString path = h.path(u"missing/Diary.str"_s);
        typeIntoSaveDialog(path, nullptr, [&text](QWidget *) { answerMessageBox(QMessageBox::Ok, &text); });
        h.click("SvBook");
        QVERIFY2(text.contains(QDir::toNativeSeparators(path)), qPrintable(text));
        answerMessageBox(QMessageBox::No, &text);   // still unsaved: No keeps the window
        QVERIFY(!h.window().close());
        QVERIFY2(text.contains(u"- the book"_s), qPrintable(text));
    }
};

QTEST_MAIN(TestRealDialogs)
#include "tst_realdialogs.moc"
