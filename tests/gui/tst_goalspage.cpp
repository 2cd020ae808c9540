// The Goals tab driven as an author drives it, goals.str compared byte for byte.
#include "support/harness.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray Goal0 = "fiction_0:\"Find the old map.\"\r\ntext_0:\"Find the map\"\r\n";
const QByteArray Goal1 = "fiction_1:\"Leave the way you came in.\"\r\ntext_1:\"Return to the start\"\r\n";
const QString WorkedExample = u"Gfict=Find the old map.|Gtxt=Find the map|!Agoal|"
                              u"Gfict=Leave the way you came in.|Gtxt=Return to the start|!Agoal"_s;

// Which of the tab's buttons can be clicked, a digit each.
QString buttons(const Harness &h)
{
    QString states;
    for (const char *name : {"Agoal", "Rgoals", "Sgoals", "Edit", "Minus", "Plus", "EGoal"})
        states += h.enabled(name) ? u'1' : u'0';
    return states;
}

// A message box as one line: icon, title, text, buttons, default button.
QString describe(const Prompts::Message &m)
{
    QString buttons;
    for (const Prompts::Button button : m.buttons)
        buttons += QString::number(int(button));
    return u"%1|%2|%3|%4|%5"_s.arg(int(m.icon)).arg(m.title, m.text, buttons).arg(int(m.defaultButton));
}

} // namespace

class TestGoalsPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesEditsAndResetsTheWorkedExample()
    {
        Harness h;
        h.click("Rgoals");   // nothing to lose: no question
        QCOMPARE(h.text("Glbl"), u"Goals = "_s);
        h.run(WorkedExample);
        const QString list = QString::fromLatin1(Goal0 + Goal1).remove(u'\r');   // the file's lines
        QCOMPARE(h.text("Glbl") + h.text("Gfict") + h.text("Gtxt") + u'|' + h.text("Goaltxt"), u"Goals = 2|"_s + list);
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), Goal0 + Goal1);   // 124 bytes

        h.run(u"!Edit|!Minus"_s);   // Minus stays on slot 0
        QCOMPARE(buttons(h) + h.text("Goaltxt"), u"0000111" "fiction_0:\"Find the old map.\"\ntext_0:\"Find the map\""_s);
        h.click("EGoal");   // nothing changed
        QCOMPARE(buttons(h) + h.text("Goaltxt"), u"1111000"_s + list);
        // Typed, then lost by stepping away; Plus stops at slot 11, so ten Minus come back to slot 1.
        h.run(u"!Edit|Goaltxt=lost|!Plus*15|!Minus*10|Goaltxt=text_1:\"Go home\"|!EGoal"_s);
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), Goal0 + "text_1:\"Go home\"\r\n");   // 72 bytes
        h.run(u"!Edit|Goaltxt=|!EGoal"_s);
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), "\r\ntext_1:\"Go home\"\r\n");

        h.click("Rgoals");   // answered Yes, the default
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::None, u"Reset Goals"_s,
            u"Are you sure you want to reset the goals?"_s, {Prompts::Button::Yes, Prompts::Button::No},
            Prompts::Button::Yes}));
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), QByteArray());
        h.run(u"Gfict=new|Gtxt=one|!Agoal|!Edit|!Plus"_s);   // the old goal 2, no longer in the list
        QCOMPARE(h.text("Goaltxt"), u"text_1:\"Go home\""_s);
        h.click("EGoal");
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), QByteArray("fiction_0:\"new\"\r\ntext_0:\"one\"\r\n"));
        QCOMPARE(h.prompts.messages.size(), 1);   // the reset question alone
    }

    void acceptsTwelveGoalsAndRefusesTheThirteenth()
    {
        Harness h;
        QByteArray expected;
        for (int k = 0; k < 12; ++k) {
            h.run(u"Gfict=He said \"f%1\"\nnow|Gtxt=t%1|!Agoal"_s.arg(k));
            const QByteArray n = QByteArray::number(k);
            expected += "fiction_" + n + ":\"He said \"f" + n + "\"\r\nnow\"\r\ntext_" + n + ":\"t" + n + "\"\r\n";
        }
        const QString list = h.text("Goaltxt");
        h.run(u"Gfict=one too\nmany|Gtxt=kept|!Agoal"_s);
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::Information, u"Page Limit."_s,
            u" Sorry 12 goals only!\nSave these goals and press Reset\nto create another."_s}));
        QCOMPARE(h.text("Glbl") + u'|' + h.text("Gfict") + u'|' + h.text("Gtxt") + u'|' + h.text("Goaltxt"),
                 u"Goals = 12|one too\nmany|kept|"_s + list);
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), expected);
    }

    void refusesACharacterInAnEditedGoal()
    {
        Harness h;
        h.run(u"Gfict=fine|Gtxt=fine|!Agoal|Gfict=fine|Gtxt=fine|!Agoal|!Edit|!Plus|Goaltxt+=Run \U0001F600|!EGoal"_s);
        h.click("Sgoals");
        QVERIFY(h.prompts.suggestedNames.isEmpty());   // refused before the save dialog
        QCOMPARE(h.lastMessage().text,
                 u"In goal 2, line 1, column 5, there is the character \u201C\u2068\U0001F600\u2069\u201D (U+1F600). "
                 "It cannot be written: the Western code page (Windows-1252) has no such character.\n\n"
                 "Replace or remove it, then save again. Nothing was written."_s);
    }
};

QTEST_MAIN(TestGoalsPage)
#include "tst_goalspage.moc"
