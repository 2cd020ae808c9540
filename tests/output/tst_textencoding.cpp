// Windows-1252 as the game reads it, checked against the system's ICU tables.
#include "output/fileoutput.h"
#include "output/textencoding.h"

#include <QStringDecoder>
#include <QTest>

class TestTextEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyDefinedByteRoundTripsThroughIcu()
    {
        QStringDecoder icu("windows-1252");
        if (!icu.isValid())
            QSKIP("This Qt has no ICU codec for windows-1252 to compare with.");
        const QList<int> undefined = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
        int checked = 0;
        for (int byte = 0; byte < 256; ++byte) {
            if (undefined.contains(byte))
                continue;
            const QByteArray original(1, static_cast<char>(byte));
            const QString character = icu.decode(original);
            QCOMPARE(character.size(), 1);
            const std::optional<QByteArray> encoded = Windows1252::encode(character);
            QVERIFY2(encoded.has_value(), qPrintable(QStringLiteral("byte %1").arg(byte, 2, 16)));
            QCOMPARE(*encoded, original);
            ++checked;
        }
        QCOMPARE(checked, 251);
    }

    void refusesWhatTheCodePageLacks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<uint>("codePoint");
        QTest::newRow("emoji after text") << QStringLiteral("ab\U0001F600") << qsizetype(2) << 0x1F600u;
        QTest::newRow("Chinese") << QStringLiteral("\u4E66") << qsizetype(0) << 0x4E66u;
        QTest::newRow("C1 control 0x81") << QStringLiteral("x\u0081") << qsizetype(1) << 0x81u;
        QTest::newRow("C1 control 0x9D") << QStringLiteral("\u009D") << qsizetype(0) << 0x9Du;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << qsizetype(0) << 0xD800u;
        QTest::newRow("Cyrillic after euro") << QStringLiteral("\u20AC\u0416") << qsizetype(1) << 0x416u;
    }
    void refusesWhatTheCodePageLacks()
    {
        QFETCH(QString, text);
        QFETCH(qsizetype, index);
        QFETCH(uint, codePoint);
        const auto bad = Windows1252::firstUnencodable(text);
        QVERIFY(bad.has_value());
        QCOMPARE(bad->index, index);
        QCOMPARE(static_cast<uint>(bad->codePoint), codePoint);
        QVERIFY(!Windows1252::encode(text).has_value());
        QVERIFY(!FileOutput::fileBytes({QStringLiteral("fine"), text}).has_value());
    }

    void endsEveryLineWithCrLf()
    {
        QCOMPARE(*FileOutput::fileBytes({}), QByteArray());
        QCOMPARE(*FileOutput::fileBytes({QString()}), QByteArray("\r\n"));
        QCOMPARE(*FileOutput::fileBytes({QStringLiteral("a\r\nb"), QStringLiteral("\u00E9")}),
                 QByteArray("a\r\nb\r\n\xE9\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestTextEncoding)
#include "tst_textencoding.moc"
