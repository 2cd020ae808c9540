// The Newgame, Missflag and Titles tabs driven as an author drives them:
// typing into the boxes, pressing the tab's button and comparing the written
// file byte for byte.
#include "app/mainwindow.h"
#include "support/modalanswerer.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray newgame(const QByteArray &title, const QByteArray &easy, const QByteArray &middle, const QByteArray &hard)
{
    return "difficulty: \"Difficulty:\"\r\n// This mission's title.\r\nskip_training: \"" + title
        + "\"\r\n\r\noptions: \"Options\"\r\ncancel: \"Cancel\"\r\n\r\ndiff_0:  \"" + easy + "\"\r\ndiff_1:  \""
        + middle + "\"\r\ndiff_2:  \"" + hard + "\"\r\n";
}

// The header, miss_1 to miss_<skipped> as skip lines, then `lastLine`.
QByteArray missflag(int skipped, const QByteArray &lastLine)
{
    QByteArray file = "// Valid mission flags\r\n//\r\n"
                      "// skip         This mission doesn't exist; it should be skipped.\r\n"
                      "// no_briefing  Skip the briefing movie\r\n"
                      "// no_loadout   Skip the loadout\r\n"
                      "// cutscene     Play a cutscene immediately afterward\r\n"
                      "// end          End the game when this mission is completed\r\n//\r\n";
    for (int i = 1; i <= skipped; ++i)
        file += "miss_" + QByteArray::number(i) + ":\"skip\"\r\n";
    return file + lastLine + "\r\n";
}

QByteArray titles(const QByteArray &number, const QByteArray &title)
{
    return "// Objectives screen text.\r\ntitle_" + number + ": \"" + title + "\"\r\n"
           "// Save game dialog text.\r\nshort_" + number + ": \"" + title + "\"\r\n";
}

const QString NotANumber = QStringLiteral("The mission number must be a number, such as 20.");

// One row: the button, what to type (box, text, box, text, ...), and the rest.
template <typename T>
void row(const char *button, const QStringList &typed, const T &expected)
{
    QTest::addRow("%s %s", button, typed.isEmpty() ? "(start texts)" : qPrintable(typed.join(QLatin1Char('|'))))
        << QString::fromLatin1(button) << typed << expected;
}

} // namespace

class TestMissionFiles : public QObject
{
    Q_OBJECT

private:
    QLineEdit *box(const QString &name) const { return m_window->findChild<QLineEdit *>(name); }
    void type(const QStringList &typed)
    {
        for (qsizetype i = 0; i + 1 < typed.size(); i += 2)
            Testing::type(box(typed.at(i)), typed.at(i + 1));
    }
    // Shows the button's tab and presses the button.
    void click(const QString &button)
    {
        auto *pushButton = m_window->findChild<QPushButton *>(button);
        m_window->Tab1->setCurrentWidget(pushButton->parentWidget());
        QTest::mouseClick(pushButton, Qt::LeftButton);
    }
    // Presses `button`, accepting out.str in the save dialog; returns what it holds.
    QByteArray press(const QString &button)
    {
        const QString path = m_dir->filePath(QStringLiteral("out.str"));
        QFile::remove(path);
        m_prompts->paths = QStringList{path};
        click(button);
        return Testing::readAll(path);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Qwr> m_window;

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<Qwr>(m_prompts.get());
        m_window->Form_Load();
    }
    void cleanup() { m_window.reset(); }

    void writesTheFile_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QByteArray>("expected");
        const QString Mt = QStringLiteral("Mt"), Mnum = QStringLiteral("Mnum"), Bno = QStringLiteral("Bno");
        row("Cngame", {}, newgame("The Ring", "Easy", "Hard", "Expert"));   // the start texts
        row("Cngame", {Mt, {}, QStringLiteral("diff0"), {}, QStringLiteral("diff1"), {}, QStringLiteral("diff2"), {}},
            newgame("", "", "", ""));
        row("Cngame", {Mt, QStringLiteral(" The \"Ring\" "), QStringLiteral("diff1"), QStringLiteral("Hard ")},
            newgame(" The \"Ring\" ", "Easy", "Hard ", "Expert"));
        row("Cmf", {}, missflag(19, "miss_20:\"no_briefing ,no_loadout, end\""));   // the start texts
        const auto mission = [&](const char *typed, int skipped, const char *lastLine) {
            row("Cmf", {Mnum, QString::fromLatin1(typed)}, missflag(skipped, lastLine));
        };
        mission("3", 2, "miss_3:\"no_briefing ,no_loadout, end\"");
        mission("1", 0, "miss_1:\"no_briefing ,no_loadout, end\"");
        mission("0", 0, "miss_0:\"no_briefing ,no_loadout, end\"");
        mission("-2", 0, "miss_-2:\"no_briefing ,no_loadout, end\"");
        mission("-5000", 0, "miss_-5000:\"no_briefing ,no_loadout, end\"");
        mission("2.5", 1, "miss_2.5:\"no_briefing ,no_loadout, end\"");
        mission(" 7", 6, "miss_ 7:\"no_briefing ,no_loadout, end\"");
        mission("07", 6, "miss_07:\"no_briefing ,no_loadout, end\"");
        mission("+4 ", 3, "miss_+4 :\"no_briefing ,no_loadout, end\"");
        mission("999", 998, "miss_999:\"no_briefing ,no_loadout, end\"");
        row("Cmf", {Mnum, QStringLiteral("3"), Bno, {}}, missflag(2, "miss_3:\" ,no_loadout, end\""));
        row("Cmf", {Bno, QStringLiteral("cutscene")}, missflag(19, "miss_20:\"cutscene ,no_loadout, end\""));
        const auto titled = [&](const char *n, const char *t) {
            row("Titles", {QStringLiteral("Mn2"), QString::fromLatin1(n), QStringLiteral("Mt2"), QString::fromLatin1(t)},
                titles(n, t));
        };
        titled("20", "The Ring");
        titled("20 ", "The Ring");
        titled("ab", "x");
        titled(" ", " ");
    }
    void writesTheFile()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, typed);
        QFETCH(QByteArray, expected);
        type(typed);
        QCOMPARE(press(button), expected);
        QVERIFY(m_prompts->messages.isEmpty());
        const QString suggested = button == QLatin1String("Cngame") ? QStringLiteral("newgame.str")
            : button == QLatin1String("Cmf")                        ? QStringLiteral("missflag.str")
                                                                    : QStringLiteral("Titles.str");
        QCOMPARE(m_prompts->suggestedNames, QStringList{suggested});
        for (qsizetype i = 0; i + 1 < typed.size(); i += 2)   // the boxes keep their text
            QCOMPARE(box(typed.at(i))->text(), typed.at(i + 1));
    }

    void workedExamplesHaveTheirSizes()
    {
        QCOMPARE(newgame("The Ring", "Easy", "Hard", "Expert").size(), 175);
        QCOMPARE(missflag(2, "miss_3:\"no_briefing ,no_loadout, end\"").size(), 359);
        QCOMPARE(missflag(19, "miss_20:\"no_briefing ,no_loadout, end\"").size(), 625);
        QCOMPARE(missflag(0, "miss_1:\"no_briefing ,no_loadout, end\"").size(), 329);
        QCOMPARE(titles("20", "The Ring"),
                 QByteArray("// Objectives screen text.\r\ntitle_20: \"The Ring\"\r\n"
                            "// Save game dialog text.\r\nshort_20: \"The Ring\"\r\n"));
        QCOMPARE(titles("20", "The Ring").size(), 99);
    }

    void refusesBeforeTheDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("message");
        const QString Mnum = QStringLiteral("Mnum"), Mn2 = QStringLiteral("Mn2"), Mt2 = QStringLiteral("Mt2");
        for (const char *typed : {"", "ab", "-", "  ", "2.", "2,5", "1 0", "1e3"})
            row("Cmf", {Mnum, QString::fromLatin1(typed)}, NotANumber);
        for (const char *typed : {"1000", "999.5", "0001000", "99999999999999999999"})
            row("Cmf", {Mnum, QString::fromLatin1(typed)}, QStringLiteral("at most 999"));
        const QString noNumber = QStringLiteral("You forgot the Mission No.!");
        row("Titles", {Mn2, {}, Mt2, {}}, noNumber);
        row("Titles", {Mn2, {}, Mt2, QStringLiteral("The Ring")}, noNumber);
        row("Titles", {Mn2, QStringLiteral("20"), Mt2, {}}, QStringLiteral("You forgot the Mission Title!"));
    }
    void refusesBeforeTheDialog()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        type(typed);
        press(button);
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &shown = m_prompts->messages.constFirst();
        QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
        if (button == QLatin1String("Titles"))
            QCOMPARE(shown.text, message);
        QCOMPARE(shown.title, QStringLiteral("Qwr"));
        QCOMPARE(shown.icon, QMessageBox::NoIcon);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(m_prompts->suggestedNames.isEmpty());
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }

    void readsTheLocalesDecimalSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        type({QStringLiteral("Mnum"), QStringLiteral("2,5")});
        QCOMPARE(press(QStringLiteral("Cmf")), missflag(1, "miss_2,5:\"no_briefing ,no_loadout, end\""));
        type({QStringLiteral("Mnum"), QStringLiteral("2.5")});   // the point is no decimal separator there
        QCOMPARE(press(QStringLiteral("Cmf")), QByteArray("<missing>"));
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages.constFirst().text, NotANumber);
    }

    void namesTheBoxOfACharacterTheGameCannotRead()
    {
        const char *const cases[][3] = {{"Cngame", "diff1", "(diff_1)"},
                                        {"Cmf", "Bno", "the \"Briefing No.\" box"},
                                        {"Titles", "Mt2", "the \"Mission Title\" box"}};
        type({QStringLiteral("Mn2"), QStringLiteral("20")});
        for (const auto &[button, name, place] : cases) {
            box(QLatin1String(name))->setText(QStringLiteral("Ring \u4E66"));
            m_prompts->messages.clear();
            QCOMPARE(press(QLatin1String(button)), QByteArray("<missing>"));
            QCOMPARE(m_prompts->messages.size(), 1);
            QVERIFY2(m_prompts->messages.constFirst().text.contains(QLatin1String(place)), place);
        }
        QVERIFY(m_prompts->suggestedNames.isEmpty());
    }

    void answersTheRealDialogs()
    {
        m_window = std::make_unique<Qwr>();
        m_window->Form_Load();
        const QString path = m_dir->filePath(QStringLiteral("chosen.str"));
        QString proposed;
        ModalAnswerer::acceptFileDialog(path, &proposed);
        type({QStringLiteral("Mn2"), QStringLiteral("20"), QStringLiteral("Mt2"), QStringLiteral("The Ring")});
        click(QStringLiteral("Titles"));
        QCOMPARE(proposed, QStringLiteral("Titles.str"));
        QCOMPARE(Testing::readAll(path), titles("20", "The Ring"));

        QString text;
        QString title;
        ModalAnswerer::answerMessageBox(QMessageBox::Ok, &text, &title);
        type({QStringLiteral("Mnum"), QStringLiteral("x")});
        click(QStringLiteral("Cmf"));
        QCOMPARE(text, NotANumber);
        QCOMPARE(title, QStringLiteral("Qwr"));
    }
};

QTEST_MAIN(TestMissionFiles)
#include "tst_missionfiles.moc"
