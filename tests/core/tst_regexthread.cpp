// Threads that match a regular expression end, and the program goes on and
// ends. The Windows build runs Qt's regular expressions without PCRE2's JIT
// (src/core/mission/regexjit.cpp): with it, a window that had read a mission folder
// on its thread kept the program from ending under Wine (tst_missionpanel and
// tst_translationview then hang; this program alone ended even so).
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <memory>

using namespace std::chrono_literals;

class TestRegexThread : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void threadsThatMatchEnd()
    {
        for (int round = 0; round < 3; ++round) {
            bool matched = false;
            const std::unique_ptr<QThread> thread(QThread::create([&matched] {
                const QRegularExpression mission(QStringLiteral("^miss[0-9]+$"),
                                                 QRegularExpression::CaseInsensitiveOption);
                matched = mission.match(QStringLiteral("MISS01")).hasMatch();
            }));
            thread->start();
            QVERIFY2(thread->wait(QDeadlineTimer(20s)), qPrintable(QStringLiteral("round %1").arg(round)));
            QVERIFY(matched);
        }
#ifdef Q_OS_WIN
        QCOMPARE(qgetenv("QT_ENABLE_REGEXP_JIT"), QByteArray("0"));
#endif
    }
};

QTEST_GUILESS_MAIN(TestRegexThread)
#include "tst_regexthread.moc"
