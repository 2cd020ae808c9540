// The Newgame, Missflag and Titles tabs: boxes typed into, the button pressed, the file compared byte for byte.
#include "support/harness.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray newgame(const QByteArray &title, const QByteArray &easy, const QByteArray &middle, const QByteArray &hard)
{
    return "difficulty: \"Difficulty:\"\r\n// This mission's title.\r\nskip_training: \"" + title
        + "\"\r\n\r\noptions: \"Options\"\r\ncancel: \"Cancel\"\r\n\r\ndiff_0:  \"" + easy + "\"\r\ndiff_1:  \""
        + middle + "\"\r\ndiff_2:  \"" + hard + "\"\r\n";
}

const QByteArray Flags = "// Valid mission flags\r\n//\r\n"
                         "// skip         This mission doesn't exist; it should be skipped.\r\n"
                         "// no_briefing  Skip the briefing movie\r\n// no_loadout   Skip the loadout\r\n"
                         "// cutscene     Play a cutscene immediately afterward\r\n"
                         "// end          End the game when this mission is completed\r\n//\r\n";

// The flag comments, miss_1 to miss_<skipped> as skip lines, then the line of mission `number`.
QByteArray missflag(int skipped, const QByteArray &number, const QByteArray &briefing = "no_briefing")
{
    QByteArray file = Flags;
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
const QString NotANumber = u"The mission number must be a number, such as 20."_s;
const QHash<QByteArray, QString> Suggested{{"Cngame", u"newgame.str"_s}, {"Cmf", u"missflag.str"_s},
                                           {"Titles", u"Titles.str"_s}};

// `typed` is "Box=text|Box=text", typed into each box in turn. Without `message` the file is written.
void row(const char *button, const QByteArray &typed, const QByteArray &expected, const QString &message = {},
         const QLocale &locale = QLocale::c())
{
    QTest::addRow("%s %s %s", button, typed.constData(), qPrintable(locale.name()))
        << QByteArray(button) << QString::fromLatin1(typed) << expected << message << locale;
}

} // namespace

class TestMissionFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pressesTheButton_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QLocale>("locale");
        row("Cngame", "", "difficulty: \"Difficulty:\"\r\n// This mission's title.\r\nskip_training: \"The Ring\"\r\n"
                          "\r\noptions: \"Options\"\r\ncancel: \"Cancel\"\r\n\r\n"
                          "diff_0:  \"Easy\"\r\ndiff_1:  \"Hard\"\r\ndiff_2:  \"Expert\"\r\n");
        row("Cngame", "Mt=|diff0=|diff1=|diff2=", newgame("", "", "", ""));
        row("Cngame", "Mt= The \"Ring\" |diff1=Hard ", newgame(" The \"Ring\" ", "Easy", "Hard ", "Expert"));
        row("Cmf", "Mnum=3", Flags + "miss_1:\"skip\"\r\nmiss_2:\"skip\"\r\n"
                                     "miss_3:\"no_briefing ,no_loadout, end\"\r\n");
        row("Cmf", "Mnum=1", Flags + "miss_1:\"no_briefing ,no_loadout, end\"\r\n");
        QCOMPARE(missflag(19, "20").size(), 625);
        row("Cmf", "", missflag(19, "20"));
        row("Cmf", "Mnum= 7|Bno=", missflag(6, " 7", ""));   // the number as typed
        row("Cmf", "Mnum=2.", Missing, NotANumber);
        row("Cmf", "Mnum=1234567890", Missing,
            u"The mission number can be at most 999: missflag.str gets a skip line "
            "for every mission number below yours."_s);
        row("Cmf", "Mnum=2,5", missflag(1, "2,5"), {}, QLocale(QLocale::German));
        row("Titles", "Mn2=20|Mt2=The Ring", "// Objectives screen text.\r\ntitle_20: \"The Ring\"\r\n"
                                             "// Save game dialog text.\r\nshort_20: \"The Ring\"\r\n");
        row("Titles", "Mn2=20 |Mt2= ", titles("20 ", " "));
        row("Titles", "", Missing, u"You forgot the Mission No.!"_s);
        row("Titles", "Mt2=The Ring", Missing, u"You forgot the Mission No.!"_s);
        row("Titles", "Mn2=20", Missing, u"You forgot the Mission Title!"_s);
    }
    void pressesTheButton()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, typed);
        QFETCH(QByteArray, expected);
        QFETCH(QString, message);
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        Harness h;
        for (const QString &entry : typed.split(u'|', Qt::SkipEmptyParts))
            h.type(qPrintable(entry.section(u'=', 0, 0)), entry.section(u'=', 1));
        QCOMPARE(h.save(button.constData(), u"out.str"_s), expected);
        // A refusal comes before the save dialog; a written file needs no message.
        QCOMPARE(h.prompts.suggestedNames, message.isEmpty() ? QStringList{Suggested.value(button)} : QStringList{});
        QCOMPARE(h.prompts.messages.size(), message.isEmpty() ? 0 : 1);
        for (const Prompts::Message &shown : std::as_const(h.prompts.messages)) {
            QCOMPARE(shown.text, message);
            QCOMPARE(shown.title, u"Qwr"_s);
            QCOMPARE(shown.icon, Prompts::Icon::None);
        }
    }

    void writesLongTitlesWholeAndRefusesPastedLineBreaks()
    {
        Harness h;
        const QString longTitle(40000, u'x');
        h.run(u"Mn2=20|Mt2+="_s + longTitle);
        QCOMPARE(h.save("Titles", u"long.str"_s), titles("20", longTitle.toLatin1()));
        h.run(u"Mt2=|Mt2+=First line\nSecond line"_s);
        QCOMPARE(h.save("Titles", u"broken.str"_s), Missing);
        QCOMPARE(h.lastMessage().text, u"The \"Mission Title\" box holds a line break (U+000A) at line 1, column 11. "
                                       "A one-line box cannot hold line breaks: in the file the break would split "
                                       "the entry.\n\nRemove it, then save again. Nothing was written."_s);
    }

    // Each of these tabs answers for its own boxes when the window closes.
    void closingAsksAboutChangedBoxes()
    {
        Harness h;
        QCOMPARE(h.closeQuestion(), QString());   // the start texts are no work
        h.run(u"diff2=Insane|Mn2=20|Bno=no_briefing"_s);
        QCOMPARE(h.closeQuestion(), u"This work has not been saved:\n\n"
                                    "- the mission title and difficulty names on the Newgame tab\n"
                                    "- the mission number and title on the Titles tab\n\n"
                                    "Close Quillwright and discard it?"_s);
        h.run(u"Mt2=The Ring|Mnum=3"_s);
        h.save("Cngame", u"newgame.str"_s);
        h.save("Titles", u"Titles.str"_s);
        QVERIFY2(h.closeQuestion().contains(u"- the mission number and briefing flag on the Missflag tab\n\n"_s),
                 qPrintable(h.lastMessage().text));
        h.save("Cmf", u"missflag.str"_s);
        QCOMPARE(h.closeQuestion(), QString());
    }
};

QTEST_MAIN(TestMissionFiles)
#include "tst_missionfiles.moc"
