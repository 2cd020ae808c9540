// Writing a file replaces the target only when every byte is on the disk.
#include "output/fileoutput.h"
#include "support/testing.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using Testing::readAll;

class TestFileOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void replacesAnExistingFileWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("goals.str"));
        Testing::writeAll(path, QByteArray(5000, 'x'));
        const FileOutput::WriteResult result = FileOutput::writeFile(path, "short\r\n");
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(readAll(path), QByteArray("short\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("goals.str")});
        QVERIFY(FileOutput::writeFile(path, QByteArray()).ok);
        QCOMPARE(readAll(path), QByteArray());
    }

    // A disk that fills up part-way: the write comes back short, and the
    // existing file must stay exactly as it was.
    void aShortWriteLeavesTheOldFileIntact()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missflag.str"));
        const QByteArray old = "old contents\r\n";
        Testing::writeAll(path, old);

        struct rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 1000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const FileOutput::WriteResult result = FileOutput::writeFile(path, QByteArray(4000, 'm'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("missflag.str")});
#else
        QSKIP("Needs a file size limit to simulate a full disk.");
#endif
    }
};

QTEST_GUILESS_MAIN(TestFileOutput)
#include "tst_fileoutput.moc"
