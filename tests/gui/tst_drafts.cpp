// Typed work survives a crash: drafts written a moment after each change,
// offered on the next start, restored exactly; damaged drafts set aside; a
// clean exit leaves nothing behind.
#include "core/save/drafts.h"
#include "gui/startup.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A morning's work on every tab, left in the middle of things: a page being
// corrected, a goal typed but not added, the Polish code page.
const QString Work = u"Bname=Dziennik|ComOpt=Strych|Page+=Zażółć|!Apage|Page=two\nlines|!Apage|Page=three|!Apage"
                     u"|!Command2|Page=Page_1:\"rewritten, not stored|Gfict=f|Gtxt=t|!Agoal|Gfict=typed only"
                     u"|diff2=Insane|Mnum=7|Bno=|Mn2=20|Mt2+=Pierścień"_s;

void doTheWork(Harness &h)
{
    for (QAction *item : h.window().encodingMenu->actions()) {
        if (item->data().toInt() == 1250)
            item->trigger();
    }
    h.run(Work);
    h.window().Tab1->setCurrentIndex(1);
}

// What the author sees: every box, label, caption and button state.
QStringList everything(const QWidget &window)
{
    QStringList seen;
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(widget->parentWidget()))
            continue;   // kept aside, out of sight
        seen.append(widget->objectName() + u'=' + shownText(widget) + (widget->isEnabled() ? u"+"_s : u"-"_s));
    }
    return seen;
}

QByteArray saveBook(Qwr &window, ScriptedPrompts &prompts, const QString &path)
{
    prompts.setNextPath(path);
    window.findChild<QAbstractButton *>(u"SvBook"_s)->click();
    return Testing::readAll(path);
}

// A start of the program with drafts in `folder`, once its windows are up.
std::unique_ptr<Startup> started(ScriptedPrompts &prompts, const QString &folder, size_t windows = 1)
{
    auto startup = std::make_unique<Startup>(QStringList(), &prompts, folder);
    startup->start();
    if (!QTest::qWaitFor([&] { return startup->windows.size() == windows; }, 3000))
        qWarning("%zu windows, not %zu", startup->windows.size(), windows);
    return startup;
}

// A draft left by a window that crashed with `steps` done.
void leaveDraft(const QString &path, const QString &steps)
{
    Harness h;
    h.run(steps);
    Testing::writeAll(path, QJsonDocument(h.window().draftState()).toJson());
}

} // namespace

class TestDrafts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QVERIFY(m_dir.isValid()); QDir(folder()).removeRecursively(); }

    // The real program state, killed without warning, comes back whole.
    void restoresEverythingAfterTheProcessIsKilled()
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {u"--work-then-wait"_s, folder()});
        QVERIFY(child.waitForStarted());
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT((said += child.readAllStandardOutput() + child.readAllStandardError()).contains("drafted"),
                                  said.constData(), 30000);
        child.kill();   // SIGKILL; TerminateProcess on Windows
        QVERIFY(child.waitForFinished());

        ScriptedPrompts prompts;
        prompts.setNextAnswer(Prompts::Button::Restore);
        const auto startup = started(prompts, folder());
        Qwr &restored = *startup->windows.at(0);
        QVERIFY2(prompts.lastMessage().text.contains(u"Book \u201CDziennik\u201D, 3 pages; 1 goal; "
                                                     "New game \u201CThe Ring\u201D; Flags for mission 7; "
                                                     "Titles for mission 20"_s),
                 qPrintable(prompts.lastMessage().text));

        Harness uninterrupted;
        doTheWork(uninterrupted);
        QCOMPARE(everything(restored), everything(uninterrupted.window()));
        QCOMPARE(restored.Tab1->currentIndex(), 1);
        QCOMPARE(saveBook(restored, prompts, m_dir.filePath(u"restored.str"_s)),
                 saveBook(uninterrupted.window(), uninterrupted.prompts, m_dir.filePath(u"uninterrupted.str"_s)));
        QVERIFY(Testing::readAll(m_dir.filePath(u"restored.str"_s)).contains("Za\xBF\xF3\xB3\xE6"));   // in 1250
        restored.hide();
    }

    // A page list box that shows just the pages is made again from them; one
    // typed into comes back as typed.
    void restoresThePageListBox()
    {
        Harness h;
        h.run(u"Page=one|!Apage|Page=two\nlines|!Apage"_s);
        Harness again;
        again.window().restoreDraft(h.window().draftState());
        QCOMPARE(again.text("Bptxt"), u"Page_0:\"one\"\nPage_1:\"two\nlines\"\n"_s);
        h.run(u"Bptxt+=typed"_s);
        Harness typed;
        typed.window().restoreDraft(h.window().draftState());
        QCOMPARE(typed.text("Bptxt"), h.text("Bptxt"));
        QVERIFY(typed.text("Bptxt").contains(u"typed"_s));
    }

    void setsDamagedDraftsAside_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << u"The draft is empty."_s;
        QTest::newRow("cut short") << QByteArray("{\"format\":1,\"pages\":{\"BooksTab\":{\"Bname\":\"Di")
                                   << u"The draft is damaged"_s;
        QTest::newRow("a later format") << QByteArray("{\"format\":2,\"pages\":{}}")
                                        << u"written by a later version"_s;
        QTest::newRow("not a draft") << QByteArray("{\"format\":1}") << u"not a draft of Quillwright"_s;
    }
    void setsDamagedDraftsAside()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QVERIFY(QDir().mkpath(folder()));
        Testing::writeAll(folder() + u"/draft-left.json"_s, bytes);
        ScriptedPrompts prompts;
        const auto startup = started(prompts, folder());
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.lastMessage().text.contains(reason), qPrintable(prompts.lastMessage().text));
        const QStringList kept = QDir(folder()).entryList({u"draft-left.damaged-*.json"_s});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(Testing::readAll(folder() + u'/' + kept.constFirst()), bytes);
        QVERIFY(startup->windows.at(0)->isDrafting());   // and works on with a new draft
        startup->windows.at(0)->hide();
    }

    // A live window's draft is never offered; after a crash of two windows,
    // both drafts are offered, one after the other, each in a window of its own.
    void keepsTheDraftsOfLiveWindowsApart()
    {
        ScriptedPrompts prompts;
        const auto live = started(prompts, folder());
        live->windows.at(0)->writeDraftNow();
        QTRY_COMPARE(QDir(folder()).entryList({u"draft-*.json"_s}).size(), 1);
        for (const QString &number : {u"1"_s, u"2"_s})   // left by two windows that crashed
            leaveDraft(folder() + u"/draft-crashed-"_s + number + u".json"_s, u"Mn2="_s + number);
        prompts.setNextAnswer(Prompts::Button::Restore);
        prompts.setNextAnswer(Prompts::Button::Restore);
        const auto after = started(prompts, folder(), 2);
        QCOMPARE(prompts.messages.size(), 2);   // not the live window's
        QStringList numbers;
        for (const auto &window : after->windows) {
            numbers.append(window->findChild<QLineEdit *>(u"Mn2"_s)->text());
            window->hide();
        }
        numbers.sort();
        QCOMPARE(numbers, (QStringList{u"1"_s, u"2"_s}));
        live->windows.at(0)->hide();
    }

    void aCleanExitLeavesNoDraft_data()
    {
        QTest::addColumn<Prompts::Button>("answer");
        QTest::newRow("discarded") << Prompts::Button::Discard;
        QTest::newRow("kept for later") << Prompts::Button::Cancel;
    }
    void aCleanExitLeavesNoDraft()
    {
        QFETCH(Prompts::Button, answer);
        ScriptedPrompts prompts;
        QVERIFY(QDir().mkpath(folder()));
        leaveDraft(folder() + u"/draft-crashed.json"_s, u"Mt2=kept"_s);
        prompts.setNextAnswer(answer);
        const auto next = started(prompts, folder());
        Qwr &window = *next->windows.at(0);
        QCOMPARE(window.findChild<QLineEdit *>(u"Mt2"_s)->text(), QString());   // starts empty
        QCOMPARE(QDir(folder()).entryList({u"draft-*.json"_s}).size(), answer == Prompts::Button::Cancel ? 1 : 0);
        window.findChild<QLineEdit *>(u"Mt2"_s)->setText(u"typed"_s);
        window.writeDraftNow();
        QTRY_COMPARE(QDir(folder()).entryList({u"draft-*.json"_s}).size(), answer == Prompts::Button::Cancel ? 2 : 1);
        prompts.setNextAnswer(Prompts::Button::Yes);   // close and discard
        QVERIFY(window.close());
        QCOMPARE(QDir(folder()).entryList({u"draft-*"_s}).size(), answer == Prompts::Button::Cancel ? 1 : 0);
    }

    // A window that goes without its close keeps what waited for the pause in
    // typing; of many states queued at once, the newest is the one kept.
    void aWindowGoneWithoutItsCloseKeepsItsDraft()
    {
        Error error;
        {
            Harness h;
            h.window().enableDrafts(DraftFile::create(folder(), &error));
            h.run(u"Mt2=waiting"_s);
        }   // no close event, as at the end of a session
        const QStringList drafts = QDir(folder()).entryList({u"draft-*.json"_s});
        QCOMPARE(drafts.size(), 1);
        QVERIFY(Testing::readAll(folder() + u'/' + drafts.constFirst()).contains("\"Mt2\":\"waiting\""));

        std::unique_ptr<DraftFile> file = DraftFile::create(folder(), &error);
        const QString path = file->path();
        {
            DraftWriter writer(std::move(file));
            for (int i = 0; i < 100; ++i)
                writer.write({{u"format"_s, 1}, {u"n"_s, i}});
        }
        QCOMPARE(Testing::readAll(path), QByteArray("{\"format\":1,\"n\":99}"));
    }

#ifdef Q_OS_LINUX
    // A drafts folder that cannot be written (made immutable, which stops root
    // too): its drafts are still offered and restored, and never removed.
    // Linux only: chattr is how such a folder is made here; on Windows it is a
    // read-only share, which a test cannot set up.
    void aDraftInAFolderThatCannotBeWrittenIsOfferedAndKept_data()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("restored") << false;
        QTest::newRow("damaged, cannot be set aside") << true;
    }
    void aDraftInAFolderThatCannotBeWrittenIsOfferedAndKept()
    {
        QFETCH(bool, damaged);
        QVERIFY(QDir().mkpath(folder()));
        const QString draft = folder() + u"/draft-left.json"_s;
        if (damaged)
            Testing::writeAll(draft, "{\"format\":1,\"pa");
        else
            leaveDraft(draft, u"Mt2=kept safe"_s);
        Testing::writeAll(folder() + u"/draft-left.lock"_s, "999999\nquillwright\nnowhere\n");   // a stale lock
        if (QProcess::execute(u"chattr"_s, {u"+i"_s, folder()}) != 0)
            QSKIP("chattr cannot make the folder immutable here");
        ScriptedPrompts prompts;
        prompts.setNextAnswer(Prompts::Button::Restore);
        const auto startup = started(prompts, folder());
        QProcess::execute(u"chattr"_s, {u"-i"_s, folder()});
        Qwr &window = *startup->windows.at(0);
        QCOMPARE(window.findChild<QLineEdit *>(u"Mt2"_s)->text(), damaged ? QString() : u"kept safe"_s);
        const QString said = prompts.messages.value(1).text;   // after the offer or the damaged draft's message
        QVERIFY2(prompts.messages.value(damaged ? 0 : 1).text.contains(
                     damaged ? u"could not be set aside either, so it stays"_s : u"the draft stays where it is"_s),
                 qPrintable(said));
        QVERIFY(QFileInfo::exists(draft));
        QVERIFY(!window.isDrafting());
        window.hide();
    }
#endif

    // The offer says what restoring gives: counts as it takes them, and no
    // time where the draft has none.
    void offersWhatRestoringGives()
    {
        QVERIFY(QDir().mkpath(folder()));
        Testing::writeAll(folder() + u"/draft-odd.json"_s,
                          "{\"format\":1,\"pages\":{\"BooksTab\":{\"count\":2000000000}}}");
        ScriptedPrompts prompts;
        prompts.setNextAnswer(Prompts::Button::Cancel);
        const auto startup = started(prompts, folder());
        QVERIFY2(prompts.messages.value(0).text.contains(u"Book, 50 pages\n\nWhen it was kept is not known."_s),
                 qPrintable(prompts.messages.value(0).text));
        startup->windows.at(0)->hide();
    }

    void worksOnWhenDraftsCannotBeWritten()
    {
        Testing::writeAll(m_dir.filePath(u"a file"_s), "not a folder");
        ScriptedPrompts prompts;
        const auto startup = started(prompts, m_dir.filePath(u"a file/drafts"_s));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().text.startsWith(u"Unsaved work cannot be kept safe against a crash"_s));
        QVERIFY(!startup->windows.at(0)->isDrafting());
        startup->windows.at(0)->hide();
    }

private:
    QString folder() const { return m_dir.filePath(u"drafts"_s); }

    QTemporaryDir m_dir;
};

// Started as "--work-then-wait FOLDER", the test is the program that crashes:
// it does the work in a window with drafts on, says so once the draft is
// written, and waits to be killed.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--work-then-wait") == 0) {
        Harness h;
        Error error;
        h.window().enableDrafts(DraftFile::create(QString::fromLocal8Bit(argv[2]), &error));
        doTheWork(h);
        const QDir drafts(QString::fromLocal8Bit(argv[2]));
        if (!QTest::qWaitFor([&drafts] { return !drafts.entryList({u"draft-*.json"_s}).isEmpty(); }, 10000))
            return 2;
        QTest::qWait(200);   // past the write's commit
        printf("drafted\n");
        fflush(stdout);
        QTest::qWait(120000);
        return 1;
    }
    TestDrafts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_drafts.moc"
