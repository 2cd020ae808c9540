// The five tabs that write a mission's .str files, driven as an author drives
// them: boxes typed into, buttons pressed, the file compared byte for byte.
#include "support/harness.h"
#include "support/testing.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString &BookSteps = Testing::TwoPageSteps;
using Testing::TwoPages;
const QByteArray Old = "an older file, emptied first\r\n";

// The tab's mode as the author sees it: both frame captions and which of
// "Add new Page" and "Append/Cancel" can be clicked.
QString mode(const Harness &h)
{
    return h.text("Frame2") + u'|' + h.text("Frame7") + QLatin1String(h.enabled("Apage") ? "|add" : "")
        + QLatin1String(h.enabled("ApPage") ? "|append" : "");
}

QByteArray newgame(const QByteArray &title, const QByteArray &easy, const QByteArray &middle, const QByteArray &hard)
{
    return "difficulty: \"Difficulty:\"\r\n// This mission's title.\r\nskip_training: \"" + title
        + "\"\r\n\r\noptions: \"Options\"\r\ncancel: \"Cancel\"\r\n\r\ndiff_0:  \"" + easy + "\"\r\ndiff_1:  \""
        + middle + "\"\r\ndiff_2:  \"" + hard + "\"\r\n";
}

// The flag comments, miss_1 to miss_<skipped> as skip lines, then the line of mission `number`.
QByteArray missflag(int skipped, const QByteArray &number, const QByteArray &briefing = "no_briefing")
{
    QByteArray file = Testing::MissflagHeader;
    for (int i = 1; i <= skipped; ++i)
        file += "miss_" + QByteArray::number(i) + ":\"skip\"\r\n";
    return file + "miss_" + number + ":\"" + briefing + " ,no_loadout, end\"\r\n";
}

QByteArray titles(const QByteArray &number, const QByteArray &title)
{
    return "// Objectives screen text.\r\ntitle_" + number + ": \"" + title + "\"\r\n"
           "// Save game dialog text.\r\nshort_" + number + ": \"" + title + "\"\r\n";
}

const QByteArray Missing = "<missing>";
const QHash<QByteArray, QString> Suggested{{"Sgoals", u"goals.str"_s}, {"Cngame", u"newgame.str"_s},
                                           {"Cmf", u"missflag.str"_s}, {"Titles", u"Titles.str"_s}};

// `steps` as Harness::run takes them. Without `message` ("icon|text") the file is written.
void row(const char *name, const char *button, const QString &steps, const QByteArray &expected,
         const QString &message = {}, const QLocale &locale = QLocale::c())
{
    QTest::newRow(name) << QByteArray(button) << steps << expected << message << locale;
}

const QByteArray Goal0 = "fiction_0:\"Find the old map.\"\r\ntext_0:\"Find the map\"\r\n";
const QByteArray Goal1 = "fiction_1:\"Leave the way you came in.\"\r\ntext_1:\"Return to the start\"\r\n";
const QString GoalSteps = u"Gfict=Find the old map.|Gtxt=Find the map|!Agoal|"
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

class TestMissionFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The file, the name the save dialog proposes (the book name and ".str", as
    // typed; "" when no dialog opens) and the start of the last message shown
    // ("icon|title|text"). Whatever would break the file is refused before the dialog.
    void writesTheBookFile_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QString &steps, const QByteArray &expected, const char *suggested,
                            const QString &message = {}) {
            QTest::newRow(name) << steps << expected << QString::fromUtf8(suggested) << message;
        };
        const QString refused = u"2|Qwr|"_s;
        row("with place", u"ComOpt=Library, top shelf|"_s + BookSteps,
            "// Book Location - Library, top shelf\r\n" + TwoPages, "Diary.str");
        row("without place", BookSteps, TwoPages, "Diary.str");
        row("place of one blank", u"ComOpt= |"_s + BookSteps, "// Book Location -  \r\n" + TwoPages, "Diary.str");
        row("place typed, then deleted", u"ComOpt=Attic|ComOpt=|"_s + BookSteps, TwoPages, "Diary.str");
        row("place, no pages", u"Bname=B|ComOpt=Attic"_s, "// Book Location - Attic\r\n", "B.str");
        row("nothing: empty file", u"Bname=  "_s, "", "  .str");
        row("two lines, quotes, empty page", u"Bname=Diary.str|Page=First line,\nsecond \"line\".|!Apage|!Apage"
                                             u"|!Command3|!ApPage"_s,
            "Page_0:\"First line,\r\nsecond \\\"line\\\".\"\r\nPage_1:\"\"\r\n", "Diary.str.str");
        // Slot 1 corrected, slot 2 given another key by hand, slot 4 (beyond the
        // book) stored but not saved, and the text being edited not yet stored.
        row("edited entries", BookSteps + u"|Page=c|!Apage|!Command2|Page=Page_1:\"ONE\"|!ApPage|!Command2*2|Page="
                                          u"page_2 : \"x \\\"y\\\"\"|!ApPage|!Command2*4|Page=out|!ApPage|!Command3|Page=not"_s,
            "Page_0:\"It was dark.\"\r\nPage_1:\"ONE\"\r\npage_2 : \"x \\\"y\\\"\"\r\n", "Diary.str");
        // An entry edited by hand is refused where the game would read it otherwise.
        const QString malformed = refused + u"In page 2 (Page_1), line 1, column "_s;
        row("hand edit, no closing quote", BookSteps + u"|!Command2|Page=Page_1:\"x |!ApPage"_s, Old, "",
            malformed + u"11: the text has no closing quote, so in the game it would swallow every entry after it"_s);
        row("hand edit, bare quote", BookSteps + u"|!Command2|Page=Page_1:\"a \"b\" c\"|!ApPage"_s, Old, "",
            malformed + u"11: the game ends the text at this quote; a quote inside a text is written \\\""_s);
        row("hand edit, another slot's key", BookSteps + u"|!Command2|Page=Page_7:\"x\"|!ApPage"_s, Old, "",
            malformed + u"1: the key Page_7 does not belong to this slot, which holds Page_1"_s);
        row("reset, new page", BookSteps + u"|ComOpt=Hall|?Yes|!Rsetme|Bname=New|Page=new|!Apage"_s,
            "Page_0:\"new\"\r\n", "New.str", u"0|Reset Book|Are you sure you want to reset the book?"_s);
        row("no name", u"Page=p|!Apage"_s, Old, "", u"0|Qwr|You forgot to name your book!"_s);
        row("emoji", BookSteps + u"|Page+=Run \U0001F600|!Apage"_s, Old, "",
            refused + u"In page 3 (Page_2), line 1, column 13, there is the character"_s);
        row("line break pasted into the place", BookSteps + u"|ComOpt+=Hall\nPage_9:\"x"_s, Old, "",
            refused + u"The \"Place of Book\" box holds a line break (U+000A) at line 1, column 5"_s);
        row("name Windows cannot use", u"Bname=Diary: Part/2|Page=p|!Apage"_s, Old, "",
            refused + u"The book name cannot be used as a file name: it holds \u201C:\u201D"_s);
    }
    void writesTheBookFile()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        QFETCH(QString, suggested);
        QFETCH(QString, message);
        Harness h;
        Testing::writeAll(h.path(u"book.str"_s), Old);
        h.run(steps);
        QCOMPARE(h.save("SvBook", u"book.str"_s), expected);
        QCOMPARE(h.prompts.suggestedNames.value(0), suggested);
        const QString shown = h.prompts.messages.isEmpty() ? QString() : describe(h.lastMessage());
        QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.startsWith(message), qPrintable(shown));
    }

    void acceptsFiftyPagesAndRefusesTheNext()
    {
        Harness h;
        QByteArray expected;
        for (int i = 0; i < 50; ++i) {
            h.run(u"Page=p%1|!Apage"_s.arg(i));
            expected += "Page_" + QByteArray::number(i) + ":\"p" + QByteArray::number(i) + "\"\r\n";
        }
        h.run(u"Page=one too many|!Apage"_s);
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::Information, u"Page Limit."_s,
            u" Sorry 50 pages only!\nSave this Book and press Reset\nto create another."_s}));
        QCOMPARE(h.text("Label11") + h.text("Page"), u"Pages = 50one too many"_s);
        h.run(u"Bname=Full"_s);
        QCOMPARE(h.save("SvBook", u"Full.str"_s), expected);
        h.run(u"!Command2|!ApPage"_s);
        QCOMPARE(h.text("Bptxt").count(u'\n'), 50);
    }

    void editModeStepsThroughTheSlots()
    {
        Harness h;
        const QString entryMode = u"Enter Page Text Here|Page(s) List|add"_s;
        h.run(u"!Command2|!Command3"_s);   // no page yet: nothing happens
        QCOMPARE(mode(h) + h.text("Pn"), entryMode);
        h.run(u"Page=zero|!Apage|Page=one|!Apage|Page=two|!Apage"_s);
        QCOMPARE(h.text("Label11") + u'|' + h.text("Page") + u'|' + h.text("Bptxt"),
                 u"Pages = 3||Page_0:\"zero\"\nPage_1:\"one\"\nPage_2:\"two\"\n"_s);
        h.run(u"!Command2"_s);
        QCOMPARE(mode(h), u"Edit this Page|Page being Edited|append"_s);
        QCOMPARE(h.text("Pn") + h.text("Page") + h.text("Bptxt"), u"1Page_1:\"one\"Page_1:\"one\""_s);
        h.run(u"!Command2*60"_s);
        QCOMPARE(h.text("Pn") + h.text("Page"), u"49"_s);
        h.run(u"!Command3*60"_s);
        QCOMPARE(h.text("Pn") + mode(h), u"0Editing Page|Page being Edited|append"_s);
        h.run(u"Page=lost|!Command2|!Command3"_s);   // stepping away loses the change
        QCOMPARE(h.text("Page"), u"Page_0:\"zero\""_s);
        h.run(u"!ApPage"_s);
        QCOMPARE(h.text("Pn") + h.text("Label11") + mode(h), u"0Pages = 3"_s + entryMode);
    }

    // The list box is changed entry by entry: a page of several lines edited
    // into more lines, then the page after it, each lands in its own place.
    void theListFollowsEditedPagesOfSeveralLines()
    {
        Harness h;
        h.run(u"Page=a\nb|!Apage|Page=c\nd\ne|!Apage|Page=f|!Apage"_s);
        h.run(u"!Command2|Page=Page_0:\"g\nh\ni\"|Pn=0|!ApPage|!Command2|Page=Page_1:\"j\"|Pn=1|!ApPage"_s);
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"g\nh\ni\"\nPage_1:\"j\"\nPage_2:\"f\"\n"_s);
        h.run(u"!Command2|Page=Page_2:\"k\nl\"|Pn=2|!ApPage"_s);
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"g\nh\ni\"\nPage_1:\"j\"\nPage_2:\"k\nl\"\n"_s);
    }

    void resetAsksFirstAndKeepsTheMode()
    {
        Harness h;
        h.run(BookSteps + u"|ComOpt=Cellar|!Command3|Page=typed|?No|!Rsetme"_s);
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::None, u"Reset Book"_s,
            u"Are you sure you want to reset the book?"_s, {Prompts::Button::Yes, Prompts::Button::No},
            Prompts::Button::Yes}));
        QCOMPARE(h.text("Label11") + h.text("Page"), u"Pages = 2typed"_s);
        h.run(u"?Yes|!Rsetme"_s);
        QCOMPARE(h.text("Label11") + h.text("Bname") + h.text("ComOpt") + h.text("Page") + h.text("Bptxt"),
                 u"Pages = 0"_s);
        QCOMPARE(mode(h), u"Editing Page|Page being Edited|append"_s);
        h.run(u"!ApPage|Page=new|!Apage|!Command2"_s);   // the old slot 1 is still there, outside the book
        QCOMPARE(h.text("Page"), u"Page_1:\"The door was locked.\""_s);
    }

    // The page number box is read by BookFile::slotFromText (tst_rules); here only what the tab does with it.
    void refusesAPageNumberOutsideTheBook()
    {
        Harness h;
        h.run(BookSteps + u"|!Command2|Page=Page_1:\"changed\"|Pn=50|!ApPage"_s);
        QCOMPARE(h.lastMessage().title, u"Qwr"_s);
        QVERIFY(h.lastMessage().text.contains(u"0 to 49"_s));
        QCOMPARE(mode(h), u"Edit this Page|Page being Edited|append"_s);   // still editing
        h.run(u"Pn= 1 |!ApPage"_s);
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"It was dark.\"\nPage_1:\"changed\"\n"_s);
    }

    void pressesTheButton_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QLocale>("locale");
        const QString notANumber = u"0|The mission number must be a number, such as 20."_s;
        const QString longTitle(40000, u'x');
        row("newgame as it starts", "Cngame", {}, newgame("The Ring", "Easy", "Hard", "Expert"));
        row("newgame emptied", "Cngame", u"Mt=|diff0=|diff1=|diff2="_s, newgame("", "", "", ""));
        row("newgame, quotes and blanks", "Cngame", u"Mt= The \"Ring\" |diff1=Hard "_s,
            newgame(" The \\\"Ring\\\" ", "Easy", "Hard ", "Expert"));
        row("missflag 3", "Cmf", u"Mnum=3"_s, missflag(2, "3"));
        row("missflag 1", "Cmf", u"Mnum=1"_s, missflag(0, "1"));
        row("missflag \" 7\", no flag", "Cmf", u"Mnum= 7|Bno="_s, missflag(6, " 7", ""));   // the number as typed
        row("missflag 2.", "Cmf", u"Mnum=2."_s, Missing, notANumber);
        row("missflag of 10 digits", "Cmf", u"Mnum=1234567890"_s, Missing,
            u"0|The mission number can be at most 999: missflag.str gets a skip line for every mission number "
            "below yours."_s);
        row("missflag 2,5 in German", "Cmf", u"Mnum=2,5"_s, missflag(1, "2,5"), {}, QLocale(QLocale::German));
        row("titles", "Titles", u"Mn2=20|Mt2=The Ring"_s, titles("20", "The Ring"));
        row("titles, blanks", "Titles", u"Mn2=20 |Mt2= "_s, titles("20 ", " "));
        row("titles, 40000 characters", "Titles", u"Mn2=20|Mt2+="_s + longTitle, titles("20", longTitle.toLatin1()));
        row("titles, no number", "Titles", u"Mt2=The Ring"_s, Missing, u"0|You forgot the Mission No.!"_s);
        row("titles, no title", "Titles", u"Mn2=20"_s, Missing, u"0|You forgot the Mission Title!"_s);
        row("an edited goal with a character the code page lacks", "Sgoals",
            u"Gfict=a|Gtxt=b|!Agoal|Gfict=c|Gtxt=d|!Agoal|!Edit|!Plus|Goaltxt+=Run \U0001F600|!EGoal"_s, Missing,
            u"2|In goal 2, line 1, column 5, there is the character \u201C\u2068\U0001F600\u2069\u201D (U+1F600). "
            "It cannot be written: the Western code page (Windows-1252) has no such character.\n\n"
            "Replace or remove it, then save again. Nothing was written."_s);
        row("titles, a pasted line break", "Titles", u"Mn2=20|Mt2+=First line\nSecond line"_s, Missing,
            u"2|The \"Mission Title\" box holds a line break (U+000A) at line 1, column 11. A one-line box cannot "
            "hold line breaks: in the file the break would split the entry.\n\nRemove it, then save again. Nothing "
            "was written."_s);
    }
    void pressesTheButton()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        QFETCH(QString, message);
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        Harness h;
        h.run(steps);
        QCOMPARE(h.save(button.constData(), u"out.str"_s), expected);
        // A refusal comes before the save dialog; a written file needs no message.
        QCOMPARE(h.prompts.suggestedNames, message.isEmpty() ? QStringList{Suggested.value(button)} : QStringList{});
        QCOMPARE(h.prompts.messages.size(), message.isEmpty() ? 0 : 1);
        for (const Prompts::Message &shown : std::as_const(h.prompts.messages))
            QCOMPARE(QString::number(int(shown.icon)) + u'|' + shown.text + shown.title, message + u"Qwr"_s);
    }

    void writesEditsAndResetsTheGoalSteps()
    {
        Harness h;
        h.click("Rgoals");   // nothing to lose: no question
        QCOMPARE(h.text("Glbl"), u"Goals = "_s);
        h.run(GoalSteps);
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
            expected += "fiction_" + n + ":\"He said \\\"f" + n + "\\\"\r\nnow\"\r\ntext_" + n + ":\"t" + n + "\"\r\n";
        }
        const QString list = h.text("Goaltxt");
        h.run(u"Gfict=one too\nmany|Gtxt=kept|!Agoal"_s);
        QCOMPARE(describe(h.lastMessage()), describe({Prompts::Icon::Information, u"Page Limit."_s,
            u" Sorry 12 goals only!\nSave these goals and press Reset\nto create another."_s}));
        QCOMPARE(h.text("Glbl") + u'|' + h.text("Gfict") + u'|' + h.text("Gtxt") + u'|' + h.text("Goaltxt"),
                 u"Goals = 12|one too\nmany|kept|"_s + list);
        QCOMPARE(h.save("Sgoals", u"goals.str"_s), expected);
    }
};

QTEST_MAIN(TestMissionFiles)
#include "tst_missionfiles.moc"
