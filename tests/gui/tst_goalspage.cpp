// The Goals tab driven as an author drives it, goals.str compared byte for byte.
#include "support/harness.h"
#include "support/testing.h"

using namespace Qt::StringLiterals;

namespace {

const QByteArray Goal0 = "fiction_0:\"Find the old map.\"\r\ntext_0:\"Find the map\"\r\n";
const QByteArray Goal1 = "fiction_1:\"Leave the way you came in.\"\r\ntext_1:\"Return to the start\"\r\n";
const QStringList WorkedExample = {u"Find the old map."_s, u"Find the map"_s,
                                   u"Leave the way you came in."_s, u"Return to the start"_s};
QString question(const QString &work)
{
    return u"This work has not been saved:\n\n"_s + work + u"\n\nClose Quillwright and discard it?"_s;
}

// Adds a goal for each fiction and text in `texts`.
void addGoals(Harness &h, const QStringList &texts)
{
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2) {
        h.type("Gfict", texts[i]);
        h.type("Gtxt", texts[i + 1]);
        h.click("Agoal");
    }
}

void click(Harness &h, std::initializer_list<const char *> names, int times = 1)
{
    for (int i = 0; i < times; ++i)
        for (const char *name : names)
            h.click(name);
}

QString buttons(const Harness &h)
{
    QString states;
    for (const char *name : {"Agoal", "Rgoals", "Sgoals", "Edit", "Minus", "Plus", "EGoal"})
        states += h.enabled(name) ? u'1' : u'0';
    return states;
}

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
        addGoals(h, WorkedExample);
        const QString list = QString::fromLatin1(Goal0 + Goal1).remove(u'\r');   // the file's lines
        QCOMPARE(h.text("Glbl") + h.text("Gfict") + h.text("Gtxt") + u'|' + h.text("Goaltxt"), u"Goals = 2|"_s + list);
        QVERIFY(!h.window().close());   // answered No, the default
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::Warning, u"Qwr"_s, question(u"- the goals"_s),
            {Prompts::Button::Yes, Prompts::Button::No}, Prompts::Button::No}));
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), Goal0 + Goal1);   // 124 bytes

        click(h, {"Edit", "Minus"});   // Minus stays on slot 0
        QCOMPARE(buttons(h) + h.text("Goaltxt"), u"0000111" "fiction_0:\"Find the old map.\"\ntext_0:\"Find the map\""_s);
        h.click("EGoal");   // nothing changed
        QCOMPARE(buttons(h) + h.text("Goaltxt"), u"1111000"_s + list);
        h.click("Edit");
        h.type("Goaltxt", u"lost"_s);   // lost by stepping away
        click(h, {"Plus"}, 15);
        click(h, {"Minus"}, 10);   // Plus stopped at slot 11: back on slot 1
        h.type("Goaltxt", u"text_1:\"Go home\""_s);
        h.click("EGoal");
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), Goal0 + "text_1:\"Go home\"\r\n");   // 72 bytes
        h.click("Edit");
        h.type("Goaltxt", QString());
        h.click("EGoal");
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), "\r\ntext_1:\"Go home\"\r\n");

        h.click("Rgoals");   // answered Yes, the default
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::None, u"Reset Goals"_s,
            u"Are you sure you want to reset the goals?"_s, {Prompts::Button::Yes, Prompts::Button::No},
            Prompts::Button::Yes}));
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), QByteArray());
        addGoals(h, {u"new"_s, u"one"_s});
        click(h, {"Edit", "Plus"});   // the old goal 2, no longer in the list
        QCOMPARE(h.text("Goaltxt"), u"text_1:\"Go home\""_s);
        h.click("EGoal");
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), QByteArray("fiction_0:\"new\"\r\ntext_0:\"one\"\r\n"));
        QVERIFY(h.window().close());   // saved: nothing to ask
        QCOMPARE(h.prompts.messages.size(), 2);   // the close and the reset questions above
    }

    void acceptsTwelveGoalsAndRefusesTheThirteenth()
    {
        Harness h;
        QByteArray expected;
        for (int k = 0; k < 12; ++k) {
            addGoals(h, {u"He said \"f%1\"\nnow"_s.arg(k), u"t%1"_s.arg(k)});
            const QByteArray n = QByteArray::number(k);
            expected += "fiction_" + n + ":\"He said \"f" + n + "\"\r\nnow\"\r\ntext_" + n + ":\"t" + n + "\"\r\n";
        }
        const QString list = h.text("Goaltxt");
        addGoals(h, {u"one too\nmany"_s, u"kept"_s});
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::Information, u"Page Limit."_s,
            u" Sorry 12 goals only!\nSave these goals and press Reset\nto create another."_s}));
        QCOMPARE(h.text("Glbl") + u'|' + h.text("Gfict") + u'|' + h.text("Gtxt") + u'|' + h.text("Goaltxt"),
                 u"Goals = 12|one too\nmany|kept|"_s + list);
        h.type("Page", u"page"_s);
        h.click("Apage");
        QCOMPARE(h.closeQuestion(), question(u"- the book\n- the goals\n"
                                             u"- the goal typed but not yet added with \"Create/Add new Goal\""_s));
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), expected);
    }

    void refusesACharacterInAnEditedGoal()
    {
        Harness h;
        addGoals(h, {u"fine"_s, u"fine"_s, u"fine"_s, u"fine"_s});
        click(h, {"Edit", "Plus"});
        h.paste("Goaltxt", u"Run \U0001F600"_s);
        click(h, {"EGoal", "Sgoals"});
        QVERIFY(h.prompts.suggestedNames.isEmpty());   // refused before the save dialog
        QCOMPARE(h.lastMessage().text,
                 u"In goal 2, line 1, column 5, there is the character \u201C\u2068\U0001F600\u2069\u201D (U+1F600). "
                 "It cannot be written: the Western code page (Windows-1252) has no such character.\n\n"
                 "Replace or remove it, then save again. Nothing was written."_s);
    }
};

QTEST_MAIN(TestGoalsPage)
#include "tst_goalspage.moc"
