// The Newgame, Missflag and Titles tabs: boxes typed into, the button pressed, the file compared byte for byte.
#include "support/harness.h"
#include "support/modalanswerer.h"

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
        for (const auto &[typed, skipped] :
             {std::pair{"0", 0}, {"-2", 0}, {"-5000", 0}, {"2.5", 1}, {" 7", 6}, {"07", 6}, {"+4 ", 3}, {"999", 998}})
            row("Cmf", "Mnum=" + QByteArray(typed), missflag(skipped, typed));
        row("Cmf", "Mnum=3|Bno=", missflag(2, "3", ""));
        for (const char *typed : {"", "ab", "-", "+", "  ", "2.", "2,5", "1 0", "1e3"})
            row("Cmf", "Mnum=" + QByteArray(typed), Missing, NotANumber);
        for (const char *typed : {"1000", "999.5", "0001000", "99999999999999999999"})
            row("Cmf", "Mnum=" + QByteArray(typed), Missing,
                u"The mission number can be at most 999: missflag.str gets a skip line "
                "for every mission number below yours."_s);
        row("Cmf", "Mnum=2,5", missflag(1, "2,5"), {}, QLocale(QLocale::German));
        row("Cmf", "Mnum=2.5", Missing, NotANumber, QLocale(QLocale::German));
        row("Titles", "Mn2=20|Mt2=The Ring", "// Objectives screen text.\r\ntitle_20: \"The Ring\"\r\n"
                                             "// Save game dialog text.\r\nshort_20: \"The Ring\"\r\n");
        for (const auto &[number, title] : {std::pair{"20 ", "The Ring"}, {"ab", "x"}, {" ", " "}})
            row("Titles", "Mn2=" + QByteArray(number) + "|Mt2=" + title, titles(number, title));
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
            QCOMPARE(shown.icon, QMessageBox::NoIcon);
        }
    }

    void namesTheBoxOfACharacterTheGameCannotRead()
    {
        const char *const cases[][3] = {{"Cngame", "diff1", "the second \"Difficulty\" box (diff_1)"},
                                        {"Cmf", "Bno", "the \"Briefing No.\" box"},
                                        {"Titles", "Mt2", "the \"Mission Title\" box"}};
        Harness h;
        h.type("Mn2", u"20"_s);
        for (const auto &[button, name, place] : cases) {
            h.paste(name, u"\u4E66"_s);
            QCOMPARE(h.save(button, u"out.str"_s), Missing);
            QVERIFY2(h.lastMessage().text.contains(u"(U+4E66) in "_s + QLatin1String(place) + u" cannot"_s), place);
        }
    }

    void answersTheRealDialogs()
    {
        Harness h(Harness::RealDialogs);
        QString proposed;
        ModalAnswerer::acceptFileDialog(h.path(u"chosen.str"_s), &proposed);
        h.type("Mn2", u"20"_s);
        h.type("Mt2", u"The Ring"_s);
        QCOMPARE(h.save("Titles", u"chosen.str"_s), titles("20", "The Ring"));
        QCOMPARE(proposed, u"Titles.str"_s);
    }
};

QTEST_MAIN(TestMissionFiles)
#include "tst_missionfiles.moc"
