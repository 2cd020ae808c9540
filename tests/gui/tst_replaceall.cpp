// Replace All in the mission panel: asked first, made file by file with
// progress and Cancel, undone truthfully, saved without losing a change
// made outside meanwhile.
#include "core/mission/workspace.h"
#include "gui/mission/missionpanel.h"
#include "gui/mission/missionreplace.h"
#include "gui/mission/workprogress.h"
#include "gui/source/reviewchanges.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Names = "obj_door:\"Door\"\r\nobj_door:\"Gate\"\r\n";

void makeMission(const QString &root)
{
    const QList<std::pair<QString, QByteArray>> files = {
        {u"books/english/Diary.str"_s, Diary},
        {u"intrface/miss01/english/GOALS.STR"_s, "fiction_0:\"Open the door\"\r\ntext_0:\"Quietly\"\r\n"},
        {u"objnames.str"_s, Names},
    };
    for (const auto &[name, bytes] : files) {
        QVERIFY(QDir(root).mkpath(QFileInfo(name).path()));
        Testing::writeAll(QDir(root).filePath(name), bytes);
    }
}

MissionPanel *openMission(Harness &h, const QString &root)
{
    h.window().openFolder(root);
    auto *panel = h.window().missionPanel;
    const bool read = panel && QTest::qWaitFor([panel] { return !panel->isReading(); }, 60000);
    return read ? panel : nullptr;
}

// Replace All of `what` with `with`, Yes to the question.
void replaceAll(Harness &h, MissionPanel *panel, const QString &what, const QString &with)
{
    panel->findText->setText(what);
    panel->replaceText->setText(with);
    h.prompts.setNextAnswer(Prompts::Button::Yes);
    panel->replaceButton->click();
    QVERIFY(QTest::qWaitFor([&h] { return !h.window().isReplacing(); }, 60000));
}

// A save file that takes a while, as a slow disk does.
class SlowSaveFile : public QSaveFile
{
public:
    using QSaveFile::QSaveFile;

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        QThread::msleep(3);
        return QSaveFile::writeData(data, length);
    }
};

// Presses Cancel in the progress dialog once it shows more than half done,
// noting the count of steps it showed.
// Clicks the progress dialog's Cancel once its bar is past half way, as an
// author would: told by the bar itself, whatever the platform's timers do.
class Canceller : public QObject
{
public:
    explicit Canceller(WorkProgress *progress)
        : m_progress(progress)
    {
        qApp->installEventFilter(this);
    }
    ~Canceller() override { qApp->removeEventFilter(this); }
    int total = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        QDialog *dialog = m_progress->dialog();
        if (event->type() != QEvent::Show || !dialog || watched != dialog || m_bar)
            return false;
        m_bar = dialog->findChild<QProgressBar *>(u"workProgressBar"_s);
        QPushButton *cancel = dialog->findChild<QPushButton *>(u"workProgressCancel"_s);
        connect(m_bar, &QProgressBar::valueChanged, this, [this, cancel](int value) {
            total = m_bar->maximum();
            if (m_clicked || value <= total / 2)
                return;
            m_clicked = true;
            QMetaObject::invokeMethod(cancel, &QPushButton::click, Qt::QueuedConnection);
        });
        return false;
    }

private:
    WorkProgress *m_progress;
    QPointer<QProgressBar> m_bar;
    bool m_clicked = false;
};

int filesHolding(const QString &root, const QByteArray &text, int files)
{
    int holding = 0;
    for (int i = 0; i < files; ++i)
        holding += Testing::readAll(root + u"/strings/names%1.str"_s.arg(i)).contains(text) ? 1 : 0;
    return holding;
}

} // namespace

class TestReplaceAll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Replace across files: asked first with each file's count, undoable,
    // and only what matched is written when the author saves.
    void replacesInTheMission()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        replaceAll(h, panel, u"door"_s, u"gate"_s);
        QVERIFY2(h.lastMessage().text.contains(u"Replace 3 matches of \u201Cdoor\u201D with \u201Cgate\u201D in 3 files?"_s),
                 qPrintable(h.lastMessage().text));
        QVERIFY(h.lastMessage().text.contains(QDir::toNativeSeparators(u"books/english/Diary.str: 1 match"_s)));
        QCOMPARE(panel->resultsLabel->text(), u"3 matches replaced in 3 files, not saved yet."_s);
        QVERIFY2(h.closeQuestion().startsWith(QDir::toNativeSeparators(
                     u"This work has not been saved:\n\n- books/english/Diary.str\n- intrface/miss01/english/GOALS.STR\n"
                     "- objnames.str\n\n"_s)),
                 qPrintable(h.closeQuestion()));
        panel->undoReplace->click();
        QCOMPARE(panel->resultsLabel->text(), u"3 matches undone in 3 files; no file was changed."_s);
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"objnames.str"_s)), Names);
        QCOMPARE(h.closeQuestion(), QString());

        replaceAll(h, panel, u"door"_s, u"gate"_s);
        panel->saveReplaced->click();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/english/Diary.str"_s)), QByteArray(Diary).replace("door", "gate"));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"intrface/miss01/english/GOALS.STR"_s)),
                 QByteArray("fiction_0:\"Open the gate\"\r\ntext_0:\"Quietly\"\r\n"));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"objnames.str"_s)), QByteArray("obj_door:\"gate\"\r\nobj_door:\"Gate\"\r\n"));
        QVERIFY(!panel->saveReplaced->isVisible());
    }

    // Undo Replace after a correction typed into a replaced file keeps the
    // correction; Ctrl+Z in one file's tab takes back that file's
    // replacement alone, and the panel's count follows.
    void undoKeepsWhatWasTypedSince()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel && h.window().openFile(book));
        replaceAll(h, panel, u"door"_s, u"gate"_s);
        h.run(u"!Command2|!Command3|Page=Page_0:\"It was late.\"|!ApPage"_s);   // page 1, corrected and stored
        QVERIFY2(h.text("Bptxt").contains(u"It was late."_s), qPrintable(h.text("Bptxt")));
        panel->undoReplace->click();
        QCOMPARE(panel->resultsLabel->text(), u"3 matches undone in 3 files; no file was changed."_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(book), QByteArray(Diary).replace("dark", "late"));

        replaceAll(h, panel, u"door"_s, u"gate"_s);
        QCOMPARE(panel->resultsLabel->text(), u"3 matches replaced in 3 files, not saved yet."_s);
        h.window().undoAction->trigger();   // the book's own replacement
        QVERIFY(h.text("Bptxt").contains(u"The door was locked."_s));
        QTRY_COMPARE(panel->resultsLabel->text(), u"2 matches replaced in 2 files, not saved yet."_s);
        panel->undoReplace->click();
        QCOMPARE(panel->resultsLabel->text(),
                 u"2 matches undone in 2 files; 1 match had been undone in 1 file already; no file was changed."_s);
        QCOMPARE(h.closeQuestion(), QString());
    }

    // Edit › Undo and Redo name what they take back or bring again: the
    // replacement, the panel's Undo Replace (never "Undo Undo …"), a revert.
    void editMenuNamesEachStep()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel && h.window().openFile(book));
        QAction *undo = h.window().undoAction;
        QAction *redo = h.window().redoAction;
        replaceAll(h, panel, u"door"_s, u"gate"_s);
        QCOMPARE(undo->text(), u"Undo Replace \u201Cdoor\u201D with \u201Cgate\u201D"_s);
        panel->undoReplace->click();
        QCOMPARE(undo->text(), u"Undo Restore the texts before Replace \u201Cdoor\u201D with \u201Cgate\u201D"_s);
        QVERIFY(!redo->isEnabled());
        undo->trigger();   // the replacement stands in the book again
        QVERIFY(h.text("Bptxt").contains(u"The gate was locked."_s));
        QCOMPARE(undo->text(), u"Undo Replace \u201Cdoor\u201D with \u201Cgate\u201D"_s);
        QCOMPARE(redo->text(), u"Redo Restore the texts before Replace \u201Cdoor\u201D with \u201Cgate\u201D"_s);

        ReviewChanges::revert(h.window().workspace->find(book));
        QVERIFY(h.text("Bptxt").contains(u"The door was locked."_s));
        QCOMPARE(undo->text(), u"Undo Revert Diary.str to the file on the disk"_s);
        undo->trigger();
        QCOMPARE(redo->text(), u"Redo Revert Diary.str to the file on the disk"_s);
        QVERIFY(h.text("Bptxt").contains(u"The gate was locked."_s));
    }

    // A line appended to a file while the question is open is kept: the
    // save finds the file changed, merges, and writes both.
    void keepsALineAppendedWhileAsked()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        makeMission(root);
        const QString names = QDir(root).filePath(u"objnames.str"_s);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        h.prompts.whileOpen = [names](const Prompts::Message &) {
            Testing::writeAll(names, Names + "obj_key:\"Key\"\r\n");
        };
        replaceAll(h, panel, u"door"_s, u"gate"_s);
        panel->saveReplaced->click();
        QCOMPARE(Testing::readAll(names), QByteArray("obj_door:\"gate\"\r\nobj_door:\"Gate\"\r\nobj_key:\"Key\"\r\n"));
        QVERIFY2(h.lastMessage().text.contains(u"objnames.str was changed outside Quillwright"_s),
                 qPrintable(h.lastMessage().text));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/english/Diary.str"_s)), QByteArray(Diary).replace("door", "gate"));
    }

    // Over many files Replace All and Save Replaced Files show their
    // progress, and Cancel stops each between files, saying what was done.
    void manyFilesWithProgressAndCancel()
    {
        Harness h;
        const QString root = h.path(u"mission"_s);
        constexpr int Files = 600;
        QVERIFY(QDir(root).mkpath(u"strings"_s));
        for (int i = 0; i < Files; ++i)
            Testing::writeAll(root + u"/strings/names%1.str"_s.arg(i), "obj_a:\"A door\"\r\nobj_b:\"No door\"\r\n");
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        auto *progress = h.window().findChild<WorkProgress *>();
        progress->setDelay(std::chrono::milliseconds(0));
        progress->setSlice(std::chrono::milliseconds(0));
        h.window().workspace->setProgressDelay(std::chrono::milliseconds(0));
        // Wine is slow: under it, even a plain expression over 600 files may
        // take longer than the limit a runaway one gets.
        h.window().missionReplace()->setTimeLimit(std::chrono::minutes(2));
        {
            Canceller cancel(progress);
            replaceAll(h, panel, u"door"_s, u"gate"_s);
            QCOMPARE(cancel.total, Files);
        }
        const QString replaced = panel->resultsLabel->text();
        const int made = static_cast<int>(h.window().workspace->modified().size());
        QVERIFY2(made > 0 && made < Files, qPrintable(replaced));
        QCOMPARE(replaced, u"Replace All was stopped: %1 matches replaced in %2 files, not saved yet; the other %3 files "
                           "were left as they were."_s.arg(2 * made).arg(made).arg(Files - made));
        QCOMPARE(filesHolding(root, "gate", Files), 0);
        panel->undoReplace->click();
        QCOMPARE(panel->resultsLabel->text(),
                 u"%1 matches undone in %2 files; no file was changed."_s.arg(2 * made).arg(made));
        QCOMPARE(h.window().workspace->modified().size(), 0);

        // Saved slowly, file by file: Cancel stops it between two files.
        progress->setDelay(std::chrono::seconds(60));
        replaceAll(h, panel, u"door"_s, u"gate"_s);
        QCOMPARE(h.window().workspace->modified().size(), Files);
        h.window().workspace->saveFileFor = [](const QString &path) { return std::make_unique<SlowSaveFile>(path); };
        {
            Canceller cancel(progress);
            panel->saveReplaced->click();
            QCOMPARE(cancel.total, 2 * Files);
        }
        QVERIFY2(h.lastMessage().text.startsWith(u"Saving was stopped.\n\nSaved: "_s), qPrintable(h.lastMessage().text));
        QVERIFY(h.lastMessage().text.contains(u"Not saved, their changes kept: "_s));
        const int saved = filesHolding(root, "gate", Files);
        QVERIFY2(saved > 0 && saved < Files, qPrintable(QString::number(saved)));
        QCOMPARE(panel->resultsLabel->text(),
                 u"%1 of %2 replaced files saved; the others keep their changes, not saved yet."_s.arg(saved).arg(Files));
        QCOMPARE(h.window().workspace->modified().size(), Files - saved);
        h.window().workspace->saveFileFor = nullptr;

        // Undone, the label tells which files keep the replacement on the disk.
        panel->undoReplace->click();
        QCOMPARE(panel->resultsLabel->text(),
                 u"%1 matches undone in %2 files. %3 files had been saved with the replacement: save again to take "
                 "it out of the files on the disk."_s.arg(2 * Files).arg(Files).arg(saved));
        QCOMPARE(h.window().workspace->modified().size(), saved);
    }
};

QTEST_MAIN(TestReplaceAll)
#include "tst_replaceall.moc"
