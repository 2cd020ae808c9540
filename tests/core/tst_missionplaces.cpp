// Why the mission panel says a file was not read.
#include "core/kinds/strreader.h"
#include "core/mission/folder.h"
#include "support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMissionPlaces : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each file of a folder that cannot be read says why, in a few words.
    void saysWhyAFileWasNotRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size");   // grown to this, when more
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << QByteArray() << qint64(0) << u"no entry"_s;
        QTest::newRow("text of no entry") << QByteArray("Hello there\r\n") << qint64(0) << u"no entry"_s;
        QTest::newRow("not text") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << qint64(0)
                                  << u"not a .str file"_s;
        QTest::newRow("too large") << QByteArray("Page_0:\"x\"\r\n") << StrReader::MaxFileSize + 4 * 1024 * 1024
                                   << u"too large (20 MB; the limit is 16 MB)"_s;
    }
    void saysWhyAFileWasNotRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        Testing::writeAll(folder.filePath(u"a.str"_s), bytes);
        if (size > 0) {
            QFile grown(folder.filePath(u"a.str"_s));
            QVERIFY(grown.resize(size));
        }
        Testing::writeAll(folder.filePath(u"b.str"_s), "obj_b:\"B\"\r\n");
        const MissionFolder::Scan scan = MissionFolder::scan(folder.path());
        QCOMPARE(scan.files.size(), 2);
        QCOMPARE(scan.files.at(0).unread, reason);
        QVERIFY(scan.files.at(1).unread.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMissionPlaces)
#include "tst_missionplaces.moc"
