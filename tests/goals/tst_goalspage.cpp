// The Goals tab driven as an author drives it: typing into the boxes, clicking
// the buttons, and comparing the written goals.str byte for byte.
#include "app/mainwindow.h"
#include "support/modalanswerer.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Testing::type;

namespace {

const QByteArray Goal0 = "fiction_0:\"Find the old map.\"\r\ntext_0:\"Find the map\"\r\n";
const QByteArray Goal1 = "fiction_1:\"Leave the way you came in.\"\r\ntext_1:\"Return to the start\"\r\n";

// A message box in one line: icon, title, text, buttons, default button.
QString describe(const Prompts::Message &m)
{
    return QStringLiteral("%1|%2|%3|%4|%5").arg(m.icon).arg(m.title, m.text).arg(m.buttons.toInt()).arg(m.defaultButton);
}

} // namespace

class TestGoalsPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Qwr> m_window;

    template <typename T = QPlainTextEdit>
    T *w(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    void click(const char *name, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(w<QPushButton>(name), Qt::LeftButton);
    }
    void addGoal(const QString &fiction, const QString &text)
    {
        type(w("Gfict"), fiction);
        type(w("Gtxt"), text);
        click("Agoal");
    }
    void addWorkedExample()
    {
        addGoal(QStringLiteral("Find the old map."), QStringLiteral("Find the map"));
        addGoal(QStringLiteral("Leave the way you came in."), QStringLiteral("Return to the start"));
    }
    QByteArray save(const QString &fileName = QStringLiteral("goals.str"))
    {
        const QString path = m_dir->filePath(fileName);
        m_prompts->paths.append(path);
        click("Sgoals");
        return Testing::readAll(path);
    }
    QString shown() const { return w("Goaltxt")->toPlainText(); }
    QString counter() const { return w<QLabel>("Glbl")->text(); }
    const GoalsState &goals() const { return m_window->state().goals; }
    // 1 or 0 for Agoal, Rgoals, Sgoals, Edit, Minus, Plus, EGoal.
    QString enabledButtons() const
    {
        QString states;
        for (const char *name : {"Agoal", "Rgoals", "Sgoals", "Edit", "Minus", "Plus", "EGoal"})
            states += w<QPushButton>(name)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<Qwr>(m_prompts.get());
        m_window->Form_Load();
        m_window->Tab1->setCurrentIndex(1);
    }
    void cleanup()
    {
        m_prompts->answers = {QMessageBox::Yes};   // let the window close
        m_window.reset();
    }

    void writesTheWorkedExample()
    {
        QCOMPARE(counter(), QStringLiteral("Goals = "));
        addWorkedExample();
        QCOMPARE(counter(), QStringLiteral("Goals = 2"));
        QCOMPARE(shown(), QString::fromLatin1(Goal0 + Goal1).remove(QLatin1Char('\r')));
        QVERIFY(w("Gfict")->toPlainText().isEmpty() && w("Gtxt")->toPlainText().isEmpty());
        QCOMPARE(save().size(), 124);
        QCOMPARE(save(), Goal0 + Goal1);
        QCOMPARE(m_prompts->suggestedNames.constFirst(), QStringLiteral("goals.str"));

        click("Edit");
        click("Plus");
        type(w("Goaltxt"), QStringLiteral("text_1:\"Go home\""));
        click("EGoal");
        QCOMPARE(save(), Goal0 + "text_1:\"Go home\"\r\n");
        QCOMPARE(save().size(), 72);
        QCOMPARE(goals().Fict[3], QStringLiteral("text_1:\"Return to the start\""));   // as added
        QVERIFY(m_prompts->messages.isEmpty());
    }

    void acceptsTwelveGoalsAndRefusesTheThirteenth()
    {
        QByteArray expected;
        for (int k = 0; k < 12; ++k) {
            addGoal(QStringLiteral("f%1").arg(k), QStringLiteral("t%1").arg(k));
            const QByteArray n = QByteArray::number(k);
            expected += "fiction_" + n + ":\"f" + n + "\"\r\ntext_" + n + ":\"t" + n + "\"\r\n";
        }
        QCOMPARE(counter(), QStringLiteral("Goals = 12"));
        const QString full = shown();
        type(w("Gfict"), QStringLiteral("one too\nmany"));
        type(w("Gtxt"), QStringLiteral("kept"));
        click("Agoal");
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(describe(m_prompts->messages.constFirst()),
                 describe({QMessageBox::Information, QStringLiteral("Page Limit."),
                           QStringLiteral(" Sorry 12 goals only!\nSave these goals and press Reset\nto create another.")}));
        QCOMPARE(w("Gfict")->toPlainText(), QStringLiteral("one too\nmany"));
        QCOMPARE(w("Gtxt")->toPlainText(), QStringLiteral("kept"));
        QCOMPARE(shown(), full);
        QCOMPARE(counter(), QStringLiteral("Goals = 12"));
        QCOMPARE(save(), expected);
    }

    void editModeStepsThroughSlotsZeroToEleven()
    {
        QCOMPARE(enabledButtons(), QStringLiteral("1111000"));
        addGoal(QStringLiteral("a"), QStringLiteral("b"));
        addGoal(QStringLiteral("c"), QStringLiteral("d"));
        const QString listAfterAdd = shown();
        const auto slotsAfterAdd = goals().GoalList;
        click("Edit");
        QCOMPARE(enabledButtons(), QStringLiteral("0000111"));
        QCOMPARE(shown(), QStringLiteral("fiction_0:\"a\"\ntext_0:\"b\""));
        click("Minus");
        QCOMPARE(shown(), QStringLiteral("fiction_0:\"a\"\ntext_0:\"b\""));
        click("Plus", 15);
        QCOMPARE(goals().GoalEditPos, 11);
        QVERIFY(shown().isEmpty());
        click("Minus", 10);
        type(w("Goaltxt"), QStringLiteral("lost"));   // stepping away drops the change
        click("Plus");
        click("Minus");
        QCOMPARE(shown(), QStringLiteral("fiction_1:\"c\"\ntext_1:\"d\""));
        click("EGoal");   // unchanged: serves as Cancel
        QCOMPARE(enabledButtons(), QStringLiteral("1111000"));
        QCOMPARE(goals().GoalEditPos, 0);
        QCOMPARE(goals().GoalList, slotsAfterAdd);
        QCOMPARE(shown(), listAfterAdd);
    }

    void handEditedEntriesAreWrittenAsLeft()
    {
        addGoal(QStringLiteral("a"), QStringLiteral("b"));
        addGoal(QStringLiteral("He said \"run\"\nnow"), QStringLiteral("two\nlines"));
        const QByteArray second = "fiction_1:\"He said \"run\"\r\nnow\"\r\ntext_1:\"two\r\nlines\"\r\n";
        QCOMPARE(save(), "fiction_0:\"a\"\r\ntext_0:\"b\"\r\n" + second);
        click("Edit");   // emptied
        type(w("Goaltxt"), QString());
        click("EGoal");
        click("Edit");   // beyond the list: stored, neither listed nor saved
        click("Plus", 3);
        type(w("Goaltxt"), QStringLiteral("outside"));
        click("EGoal");
        click("Edit");   // through edit mode unchanged, line breaks included
        click("Plus");
        click("EGoal");
        QCOMPARE(save(), "\r\n" + second);
        QCOMPARE(goals().GoalList[3], QStringLiteral("outside"));
    }

    void resetAsksWhileTheListHoldsGoals()
    {
        click("Rgoals");   // nothing to lose: no question
        QVERIFY(m_prompts->messages.isEmpty());
        for (const char *text : {"a", "b", "c"})
            addGoal(QLatin1String(text), QLatin1String(text));
        const QString oldList = shown();
        type(w("Gfict"), QStringLiteral("typed"));
        m_prompts->answers = {QMessageBox::No};
        click("Rgoals");
        QCOMPARE(describe(m_prompts->messages.constFirst()),
                 describe({QMessageBox::NoIcon, QStringLiteral("Reset Goals"),
                           QStringLiteral("Are you sure you want to reset the goals?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes}));
        QCOMPARE(w("Gfict")->toPlainText(), QStringLiteral("typed"));
        QCOMPARE(goals().GoalCount, 3);

        m_prompts->answers = {QMessageBox::Yes};
        click("Rgoals");
        QVERIFY(w("Gfict")->toPlainText().isEmpty());
        QCOMPARE(counter(), QStringLiteral("Goals = 3"));   // until the next add
        QCOMPARE(shown(), oldList);
        Testing::writeAll(m_dir->filePath(QStringLiteral("goals.str")), "old\r\n");
        QCOMPARE(save(), QByteArray());
        addGoal(QStringLiteral("new"), QStringLiteral("one"));
        QCOMPARE(counter(), QStringLiteral("Goals = 1"));
        addGoal(QStringLiteral("x"), QStringLiteral("y"));
        click("Edit");
        click("Plus", 2);
        QCOMPARE(shown(), QStringLiteral("fiction_2:\"c\"\ntext_2:\"c\""));
        click("EGoal");
        QCOMPARE(save(), QByteArray("fiction_0:\"new\"\r\ntext_0:\"one\"\r\nfiction_1:\"x\"\r\ntext_1:\"y\"\r\n"));
    }

    void refusesCharactersTheGameCannotRead_data()
    {
        QTest::addColumn<QString>("fiction");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("place");
        const QString emoji = QStringLiteral("Run \U0001F600");
        QTest::newRow("fiction") << emoji << QString() << QStringLiteral("in goal 2 (fiction)");
        QTest::newRow("text") << QString() << emoji << QStringLiteral("in goal 2 (text)");
        QTest::newRow("edited") << QString() << QString() << QStringLiteral("in goal 2 cannot");
    }
    void refusesCharactersTheGameCannotRead()
    {
        QFETCH(QString, fiction);
        QFETCH(QString, text);
        QFETCH(QString, place);
        addGoal(QStringLiteral("fine"), QStringLiteral("fine"));
        w("Gfict")->insertPlainText(fiction);
        w("Gtxt")->insertPlainText(text);
        click("Agoal");
        if (fiction.isEmpty() && text.isEmpty()) {
            click("Edit");
            click("Plus");
            w("Goaltxt")->insertPlainText(QStringLiteral("\U0001F600"));
            click("EGoal");
        }
        QCOMPARE(save(), QByteArray("<missing>"));
        QVERIFY(m_prompts->suggestedNames.isEmpty());   // refused before the dialog
        const QString message = m_prompts->messages.constFirst().text;
        QVERIFY2(message.contains(QStringLiteral("U+1F600")) && message.contains(place), qPrintable(message));
    }

    void closingAsksAboutUnsavedWork_data()
    {
        QTest::addColumn<bool>("page");
        QTest::addColumn<bool>("goal");
        QTest::addColumn<bool>("saveGoals");
        QTest::addColumn<QString>("what");
        QTest::newRow("nothing") << false << false << false << QString();
        QTest::newRow("saved goals") << false << true << true << QString();
        QTest::newRow("book") << true << false << false << QStringLiteral("The book has");
        QTest::newRow("goals") << false << true << false << QStringLiteral("The goals have");
        QTest::newRow("both") << true << true << false << QStringLiteral("The book and the goals have");
        QTest::newRow("book, goals saved") << true << true << true << QStringLiteral("The book has");
    }
    void closingAsksAboutUnsavedWork()
    {
        QFETCH(bool, page);
        QFETCH(bool, goal);
        QFETCH(bool, saveGoals);
        QFETCH(QString, what);
        if (page) {
            type(w("Page"), QStringLiteral("page"));
            click("Apage");
        }
        if (goal)
            addGoal(QStringLiteral("f"), QStringLiteral("t"));
        if (saveGoals)
            save();
        m_prompts->answers = {QMessageBox::No};
        QCOMPARE(m_window->close(), what.isEmpty());
        QCOMPARE(m_prompts->messages.size(), what.isEmpty() ? 0 : 1);
        if (!what.isEmpty()) {
            QCOMPARE(describe(m_prompts->messages.constFirst()),
                     describe({QMessageBox::Warning, QStringLiteral("Qwr"),
                               what + QStringLiteral(" changes that have not been saved.\n\nClose Quillwright and discard them?"),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No}));
        }
    }

    void answersTheRealDialogs()
    {
        m_window = std::make_unique<Qwr>();
        m_window->Form_Load();
        m_window->Tab1->setCurrentIndex(1);
        addWorkedExample();
        QString seenText;
        QString seenTitle;
        ModalAnswerer::answerMessageBox(QMessageBox::No, &seenText, &seenTitle);
        click("Rgoals");
        QCOMPARE(seenTitle, QStringLiteral("Reset Goals"));
        QCOMPARE(seenText, QStringLiteral("Are you sure you want to reset the goals?"));
        const QString path = m_dir->filePath(QStringLiteral("mission goals.str"));
        QString proposed;
        ModalAnswerer::acceptFileDialog(path, &proposed);
        click("Sgoals");
        QCOMPARE(proposed, QStringLiteral("goals.str"));
        QCOMPARE(Testing::readAll(path), Goal0 + Goal1);
        QVERIFY(m_window->close());   // saved: nothing to ask
    }
};

QTEST_MAIN(TestGoalsPage)
#include "tst_goalspage.moc"
