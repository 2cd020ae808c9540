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

int checkedCodePage(Harness &h)
{
    int checked = 0;
    for (const QAction *item : h.window().encodingMenu->actions()) {
        if (item->isChecked())
            checked = checked ? -1 : item->data().toInt();
    }
    return checked;
}

QByteArray titles(const QByteArray &title)
{
    return "// Objectives screen text.\r\ntitle_20: \"" + title + "\"\r\n// Save game dialog text.\r\nshort_20: \"" + title
        + "\"\r\n";
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

    // A text in each code page's language, written byte for byte; a character
    // the code page lacks is refused, naming the code page.
    void writesEachLanguage_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("box");   // where a foreign character is then pasted
        const QString page = u"Bname=B|Page+=%1|!Apage"_s;
        const QString title = u"Mn2=20|Mt2+=%1"_s;
        QTest::newRow("Thai title") << 874 << title.arg(u"ภารกิจ"_s) << QByteArray("Titles")
                                    << titles("\xC0\xD2\xC3\xA1\xD4\xA8") << u"Mt2"_s;
        QTest::newRow("Polish page") << 1250 << page.arg(u"Zażółć gęślą jaźń"_s) << QByteArray("SvBook")
                                     << QByteArray("Page_0:\"Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1\"\r\n")
                                     << u"ComOpt"_s;
        QTest::newRow("Russian goal") << 1251 << u"Gfict+=Найди карту|Gtxt+=Вернись|!Agoal"_s << QByteArray("Sgoals")
                                      << QByteArray("fiction_0:\"\xCD\xE0\xE9\xE4\xE8 \xEA\xE0\xF0\xF2\xF3\"\r\n"
                                                    "text_0:\"\xC2\xE5\xF0\xED\xE8\xF1\xFC\"\r\n")
                                      << u"Gfict"_s;
        QTest::newRow("French title") << 1252 << title.arg(u"Café ænigma"_s) << QByteArray("Titles")
                                      << titles("Caf\xE9 \xE6nigma") << u"Mt2"_s;
        QTest::newRow("Greek title") << 1253 << title.arg(u"Η αποστολή"_s) << QByteArray("Titles")
                                     << titles("\xC7 \xE1\xF0\xEF\xF3\xF4\xEF\xEB\xDE") << u"Mt2"_s;
        QTest::newRow("Turkish page") << 1254 << page.arg(u"Işık ğüşöç"_s) << QByteArray("SvBook")
                                      << QByteArray("Page_0:\"I\xFE\xFDk \xF0\xFC\xFE\xF6\xE7\"\r\n") << u"ComOpt"_s;
        QTest::newRow("Hebrew page") << 1255 << page.arg(u"שלום"_s) << QByteArray("SvBook")
                                     << QByteArray("Page_0:\"\xF9\xEC\xE5\xED\"\r\n") << u"ComOpt"_s;
        QTest::newRow("Arabic goal") << 1256 << u"Gfict+=المهمة|Gtxt+=خريطة|!Agoal"_s << QByteArray("Sgoals")
                                     << QByteArray("fiction_0:\"\xC7\xE1\xE3\xE5\xE3\xC9\"\r\n"
                                                   "text_0:\"\xCE\xD1\xED\xD8\xC9\"\r\n")
                                     << u"Gtxt"_s;
        QTest::newRow("Lithuanian page") << 1257 << page.arg(u"Ąžuolas ėjo"_s) << QByteArray("SvBook")
                                         << QByteArray("Page_0:\"\xC0\xFEuolas \xEBjo\"\r\n") << u"ComOpt"_s;
        QTest::newRow("Vietnamese page") << 1258 << page.arg(u"Tiếng Việt"_s) << QByteArray("SvBook")
                                         << QByteArray("Page_0:\"Ti\xEA\xECng Vi\xEA\xF2t\"\r\n") << u"ComOpt"_s;
    }
    void writesEachLanguage()
    {
        QFETCH(int, codePage);
        QFETCH(QString, steps);
        QFETCH(QByteArray, button);
        QFETCH(QByteArray, expected);
        QFETCH(QString, box);
        Harness h;
        choose(h, codePage);
        QCOMPARE(h.find<QLabel>("codePageLabel")->text(), u"Encoding: "_s + CodePages::name(codePage));
        h.run(steps);
        QCOMPARE(h.save(button.constData(), u"out.str"_s), expected);
        const QString foreign = codePage == 1251 ? u"\u0142"_s : u"\u0436"_s;   // ł, or ж
        h.run(box + u"+="_s + foreign + (box.startsWith(u'G') ? u"|!Agoal"_s : QString()));
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

    void aDamagedSettingFallsBackQuietly_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("no code page of ours") << QVariant(1234);
        QTest::newRow("a word") << QVariant(u"Cyrillic"_s);
        QTest::newRow("a list") << QVariant(QStringList{u"1250"_s, u"1251"_s});
    }
    void aDamagedSettingFallsBackQuietly()
    {
        QFETCH(QVariant, stored);
        QSettings().setValue(u"codePage"_s, stored);
        Harness h;
        QCOMPARE(checkedCodePage(h), CodePages::startCodePage(CodePages::systemCodePage()));
        QVERIFY(h.prompts.messages.isEmpty());
        QCOMPARE(QSettings().value(u"codePage"_s).toInt(), checkedCodePage(h));   // replaced
    }
};

QTEST_MAIN(TestEncoding)
#include "tst_encoding.moc"
