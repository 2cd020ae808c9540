// The code page the files are written in: chosen under "Encoding", shown
// beside the menus, remembered between runs, and used for every file.
#include "core/codepages.h"
#include "support/harness.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

void choose(Harness &h, int codePage)
{
    for (QAction *item : h.window().encodingMenu->actions()) {
        if (item->data().toInt() == codePage)
            item->trigger();
    }
}

// The code page checked in the menu; -1 when more than one is.
int checkedCodePage(Harness &h)
{
    int checked = 0;
    for (const QAction *item : h.window().encodingMenu->actions()) {
        if (item->isChecked())
            checked = checked ? -1 : item->data().toInt();
    }
    return checked;
}

} // namespace

class TestEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Harness h;   // settles where settings go
        QSettings().clear();
    }

    // A text in the code page's language, written byte for byte; the same
    // steps with a character the code page lacks are refused, naming it.
    void writesEachLanguage_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("steps");   // %1: the text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("expected");
        const QString page = u"Bname=B|Page+=%1|!Apage"_s;
        const QString goal = u"Gfict+=%1|Gtxt+=%1|!Agoal"_s;
        const QByteArray thai = "\xC0\xD2\xC3\xA1\xD4\xA8";
        QTest::newRow("Thai title") << 874 << u"Mn2=20|Mt2=|Mt2+=%1"_s << u"ภารกิจ"_s << QByteArray("Titles")
                                    << "// Objectives screen text.\r\ntitle_20: \"" + thai
                                           + "\"\r\n// Save game dialog text.\r\nshort_20: \"" + thai + "\"\r\n";
        QTest::newRow("Russian goal") << 1251 << goal << u"Карта"_s << QByteArray("Sgoals")
                                      << QByteArray("fiction_0:\"\xCA\xE0\xF0\xF2\xE0\"\r\n"
                                                    "text_0:\"\xCA\xE0\xF0\xF2\xE0\"\r\n");
        QTest::newRow("Vietnamese page") << 1258 << page << u"Tiếng Việt"_s << QByteArray("SvBook")
                                         << QByteArray("Page_0:\"Ti\xEA\xECng Vi\xEA\xF2t\"\r\n");
    }
    void writesEachLanguage()
    {
        QFETCH(int, codePage);
        QFETCH(QString, steps);
        QFETCH(QString, text);
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, expected);
        Harness h;
        choose(h, codePage);
        QCOMPARE(h.find<QLabel>("codePageLabel")->text(), u"Encoding: "_s + CodePages::name(codePage));
        h.run(steps.arg(text));
        QCOMPARE(h.save(button.constData(), u"out.str"_s), expected);
        h.run(steps.arg(codePage == 1251 ? u"\u0142"_s : u"\u0436"_s));   // ł, or ж
        QCOMPARE(h.save(button.constData(), u"refused.str"_s), QByteArray("<missing>"));
        QVERIFY2(h.lastMessage().text.contains(CodePages::description(codePage) + u" has no such character"_s),
                 qPrintable(h.lastMessage().text));
    }

    void theChoiceOutlivesTheWindowAndKeepsTypedText()
    {
        {
            Harness h;
#ifdef Q_OS_WIN
            // The game reads its files in the code page of the Windows it runs on.
            const int system = int(GetACP());
            QCOMPARE(checkedCodePage(h), CodePages::isSupported(system) ? system : 1252);
#else
            QCOMPARE(checkedCodePage(h), 1252);
#endif
            h.run(u"Mt2+=Zażółć"_s);
            choose(h, 1250);
            choose(h, 1251);
            QCOMPARE(h.text("Mt2"), u"Zażółć"_s);
        }
        Harness restarted;
        QCOMPARE(checkedCodePage(restarted), 1251);
    }

    void aDamagedSettingFallsBackQuietly()
    {
        for (const QVariant &stored : {QVariant(1234), QVariant(u"Cyrillic"_s), QVariant(QStringList{u"1250"_s})}) {
            QSettings().setValue(u"codePage"_s, stored);
            Harness h;
            QCOMPARE(checkedCodePage(h), CodePages::startCodePage(CodePages::systemCodePage()));
            QVERIFY(h.prompts.messages.isEmpty());
            QCOMPARE(QSettings().value(u"codePage"_s).toInt(), checkedCodePage(h));   // replaced
        }
    }
};

QTEST_MAIN(TestEncoding)
#include "tst_encoding.moc"
