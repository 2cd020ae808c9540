// The small rules the editors rely on, without a window: how typed numbers
// are read, where a window is centred, and which file names Windows refuses.
#include "core/book.h"
#include "core/centring.h"
#include "core/missflagfile.h"
#include "core/textcheck.h"

#include <QTest>

using namespace Qt::StringLiterals;
using MissflagFile::Reading;

class TestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheMissionNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("reading");      // MissflagFile::Reading
        QTest::addColumn<int>("skipLines");
        const QLocale c = QLocale::c();
        const auto accepted = [&c](const char *typed, int skipLines, const QLocale &locale) {
            QTest::newRow(typed) << QString::fromUtf8(typed) << locale << int(Reading::Accepted) << skipLines;
        };
        for (const auto &[typed, skipLines] : {std::pair{"20", 19}, {"1", 0}, {"0", 0}, {"-2", 0}, {"-5000", 0},
                                               {"2.5", 1}, {" 7", 6}, {"07", 6}, {"+4 ", 3}, {"999", 998},
                                               {"999.0", 998}, {"998.9", 997}})
            accepted(typed, skipLines, c);
        QTest::newRow("2,5 in German") << u"2,5"_s << QLocale(QLocale::German) << int(Reading::Accepted) << 1;
        for (const char *typed : {"", "ab", "-", "+", "  ", "2.", ".5", "2,5", "1 0", "1e3", "- 3", "\u0663"})
            QTest::newRow(typed) << QString::fromUtf8(typed) << c << int(Reading::NotANumber) << 0;
        QTest::newRow("2.5 in German") << u"2.5"_s << QLocale(QLocale::German) << int(Reading::NotANumber) << 0;
        for (const char *typed : {"1000", "999.5", "999.01", "0001000", "1234567890", "99999999999999999999"})
            QTest::newRow(typed) << QString::fromUtf8(typed) << c << int(Reading::AboveHighest) << 0;
    }
    void readsTheMissionNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QLocale, locale);
        QFETCH(int, reading);
        QFETCH(int, skipLines);
        const MissflagFile::MissionNumber number = MissflagFile::readMissionNumber(typed, locale);
        QCOMPARE(int(number.reading), reading);
        QCOMPARE(number.skipLines, skipLines);
    }

    void readsThePageNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("slot");   // -1: refused
        for (const auto &[typed, slot] : {std::pair{"0", 0}, {" 49 ", 49}, {"0049", 49}, {"7", 7}, {"", -1},
                                          {"two", -1}, {"-1", -1}, {"+1", -1}, {"50", -1}, {"1.5", -1},
                                          {"99999999999", -1}, {"1 2", -1}})
            QTest::newRow(typed) << QString::fromLatin1(typed) << slot;
    }
    void readsThePageNumber()
    {
        QFETCH(QString, typed);
        QFETCH(int, slot);
        QCOMPARE(BookFile::slotFromText(typed).value_or(-1), slot);
    }

    void centresInTheAvailableArea_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("whole screen") << QRect(0, 0, 1024, 768) << QSize(742, 516) << QPoint(141, 126);
        QTest::newRow("taskbar below") << QRect(0, 0, 1920, 1040) << QSize(742, 516) << QPoint(589, 262);
        QTest::newRow("panel above") << QRect(0, 40, 1920, 1040) << QSize(742, 516) << QPoint(589, 302);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(742, 516) << QPoint(2189, 254);
        QTest::newRow("odd difference, truncated") << QRect(0, 0, 4231, 0) << QSize(0, 0) << QPoint(2115, 0);
        QTest::newRow("larger than the screen") << QRect(0, 0, 0, 0) << QSize(101, 3) << QPoint(-50, -1);
    }
    void centresInTheAvailableArea()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, outer);
        QFETCH(QPoint, topLeft);
        QCOMPARE(Centring::centredTopLeft(available, outer), topLeft);
    }

    void refusesFileNamesWindowsCannotUse_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");   // empty: allowed
        for (const char *allowed : {"Diary.str", "  .str", "Diary.str.str", "con1.str", "Console.str", "a b.str",
                                    "\u00C9t\u00E9.str"})
            QTest::newRow(allowed) << QString::fromUtf8(allowed) << QString();
        QTest::newRow("colon") << u"a:b.str"_s << u"it holds \u201C:\u201D, which Windows does not allow in file names"_s;
        QTest::newRow("slash") << u"1/2.str"_s << u"it holds \u201C/\u201D, which Windows does not allow in file names"_s;
        QTest::newRow("NUL") << u"a\u0000.str"_s << u"it holds the control character U+0000"_s;
        for (const char *name : {"Diary.", "Diary "})
            QTest::newRow(name) << QString::fromLatin1(name)
                                << u"Windows does not allow a file name to end with a dot or a blank"_s;
        for (const auto &[name, device] : {std::pair{"CON", "CON"}, {"aux.str", "aux"}, {"Lpt1.txt.str", "Lpt1"},
                                           {"nul .str", "nul"}})
            QTest::newRow(name) << QString::fromLatin1(name)
                                << u"Windows keeps the name \u201C%1\u201D for a device"_s.arg(QLatin1String(device));
    }
    void refusesFileNamesWindowsCannotUse()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QCOMPARE(TextCheck::fileNameProblem(name).value_or(QString()), reason);
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
