// The code page tables and how text is written in them. The tables come from
// glibc's iconv (tools/gencodepages.cpp, which also says why Windows-1255 0xCA
// is U+05BA) and are compared here with glibc and ICU, byte by byte. For a byte
// a code page leaves undefined, Windows and ICU 72 give a placeholder (the C1
// control of the byte in 0x80-0x9F, a private-use character elsewhere; IBM's
// 1253 table reads 0xAA as U+00AA); glibc refuses it, and our tables leave it
// undefined: never written, read back as U+FFFD.
#include "core/document/codepages.h"

#include <QTest>

#if defined(QW_TEST_WITH_ICU)   // the Linux build
#include <iconv.h>
#include <unicode/ucnv.h>
#endif

using namespace CodePages;
using namespace Qt::StringLiterals;

namespace {

#if defined(QW_TEST_WITH_ICU)
constexpr int kUndefined = -1;
constexpr int kNotOneCharacter = -2;

// The character our table gives the byte, or kUndefined.
int ourCharacter(int codePage, int byte)
{
    const Decoded decoded = decode(QByteArray(1, static_cast<char>(byte)), codePage);
    return decoded.undefinedBytes.isEmpty() ? decoded.text.at(0).unicode() : kUndefined;
}

int iconvCharacter(int codePage, int byte)
{
    const QByteArray name = "WINDOWS-" + QByteArray::number(codePage);
    iconv_t converter = iconv_open("UTF-32LE", name.constData());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return kNotOneCharacter;
    char in = static_cast<char>(byte), *inPos = &in;
    char32_t out[4] = {};
    char *outPos = reinterpret_cast<char *>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const bool converted = iconv(converter, &inPos, &inLeft, &outPos, &outLeft) != static_cast<size_t>(-1)
        && iconv(converter, nullptr, nullptr, &outPos, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!converted)
        return kUndefined;
    return outLeft == sizeof out - sizeof(char32_t) ? static_cast<int>(out[0]) : kNotOneCharacter;
}

int icuCharacter(int codePage, int byte)
{
    UErrorCode error = U_ZERO_ERROR;
    const QByteArray name = "windows-" + QByteArray::number(codePage);
    UConverter *converter = ucnv_open(name.constData(), &error);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    const char in = static_cast<char>(byte);
    UChar out[4] = {};
    const int32_t length = ucnv_toUChars(converter, out, 4, &in, 1, &error);
    ucnv_close(converter);
    if (error == U_INVALID_CHAR_FOUND || error == U_ILLEGAL_CHAR_FOUND)
        return kUndefined;
    return U_SUCCESS(error) && length == 1 ? out[0] : kNotOneCharacter;
}
#endif

} // namespace

class TestCodePages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithTheSystemsCodePageIfItIsOneOfOurs()
    {
        QVERIFY(!isSupported(1259) && !encode(u"a"_s, 1259));
        // A Japanese Windows (932), or a system without code pages (0), starts with the Western one.
        QCOMPARE(QList<int>({startCodePage(1251), startCodePage(932), startCodePage(0)}),
                 QList<int>({1251, 1252, 1252}));
    }

    void agreesWithIconvAndIcu_data() { codePageRows(); }
    void agreesWithIconvAndIcu()
    {
#if !defined(QW_TEST_WITH_ICU)
        QSKIP("iconv and ICU are there to compare with only in the Linux build; matchesWindows checks 0x80-0x9F here");
#else
        QFETCH(int, codePage);
        QStringList differences;
        for (int byte = 0; byte < 256; ++byte) {
            const int ours = ourCharacter(codePage, byte);
            const bool followsWindows = codePage == 1255 && byte == 0xCA && ours == 0x05BA;
            // ICU's placeholders for bytes Windows leaves undefined (see the top of this file).
            const int icu = icuCharacter(codePage, byte);
            const bool placeholder = ours == kUndefined
                && ((byte >= 0x80 && byte <= 0x9F && icu == byte) || (icu >= 0xE000 && icu <= 0xF8FF)
                    || (codePage == 1253 && byte == 0xAA && icu == 0xAA));
            const auto check = [&](const char *library, int theirs, bool tolerated) {
                if (ours != theirs && !(theirs == kUndefined && followsWindows) && !tolerated)
                    differences << u"byte %1: ours %2, %3 %4"_s.arg(byte, 2, 16).arg(ours, 0, 16)
                                       .arg(QLatin1String(library)).arg(theirs, 0, 16);
            };
            check("iconv", iconvCharacter(codePage, byte), false);
            check("ICU", icu, placeholder);
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u"; ")));
#endif
    }

    // Bytes 0x80-0x9F as Windows reads them, '_' where it leaves the byte
    // undefined: written out so that the tables are checked on every platform.
    void matchesWindows_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("characters");
        QTest::newRow("874") << 874 << u"€____…___________‘’“”•–—________"_s;
        QTest::newRow("1250") << 1250 << u"€_‚_„…†‡_‰Š‹ŚŤŽŹ_‘’“”•–—_™š›śťžź"_s;
        QTest::newRow("1251") << 1251 << u"ЂЃ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—_™љ›њќћџ"_s;
        QTest::newRow("1252") << 1252 << u"€_‚ƒ„…†‡ˆ‰Š‹Œ_Ž__‘’“”•–—˜™š›œ_žŸ"_s;
        QTest::newRow("1253") << 1253 << u"€_‚ƒ„…†‡_‰_‹_____‘’“”•–—_™_›____"_s;
        QTest::newRow("1254") << 1254 << u"€_‚ƒ„…†‡ˆ‰Š‹Œ____‘’“”•–—˜™š›œ__Ÿ"_s;
        QTest::newRow("1255") << 1255 << u"€_‚ƒ„…†‡ˆ‰_‹_____‘’“”•–—˜™_›____"_s;
        QTest::newRow("1256") << 1256 << u"€پ‚ƒ„…†‡ˆ‰ٹ‹Œچژڈگ‘’“”•–—ک™ڑ›œ\u200C\u200Dں"_s;
        QTest::newRow("1257") << 1257 << u"€_‚_„…†‡_‰_‹_¨ˇ¸_‘’“”•–—_™_›_¯˛_"_s;
        QTest::newRow("1258") << 1258 << u"€_‚ƒ„…†‡ˆ‰_‹Œ____‘’“”•–—˜™_›œ__Ÿ"_s;
    }
    void matchesWindows()
    {
        QFETCH(int, codePage);
        QFETCH(QString, characters);
        QByteArray bytes;
        for (int byte = 0x80; byte < 0xA0; ++byte)
            bytes.append(static_cast<char>(byte));
        QCOMPARE(decode(bytes, codePage).text.replace(QChar::ReplacementCharacter, u'_'), characters);
        // Not even the C1 control Windows reads an undefined byte as is written there.
        for (qsizetype i = 0; i < characters.size(); ++i)
            QVERIFY(characters[i] != u'_' || !encode(QString(QChar(static_cast<char16_t>(0x80 + i))), codePage));
    }

    // Every byte a code page defines is a composed character, written back as
    // that byte; every other byte reads as U+FFFD, which is never written.
    void everyDefinedByteRoundTrips_data() { codePageRows(); }
    void everyDefinedByteRoundTrips()
    {
        QFETCH(int, codePage);
        const QList<int> defined = {225, 251, 255, 251, 239, 249, 234, 256, 244, 247};   // in the order of all()
        QByteArray bytes;
        for (int byte = 0; byte < 256; ++byte)
            bytes.append(static_cast<char>(byte));
        const Decoded decoded = decode(bytes, codePage);
        QCOMPARE(256 - decoded.undefinedBytes.size(), defined[all().indexOf(codePage)]);
        for (int byte = 0; byte < 256; ++byte) {
            const QString character = decoded.text.mid(byte, 1);
            const bool undefined = decoded.undefinedBytes.contains(byte);
            QVERIFY(undefined ? character == QChar::ReplacementCharacter
                              : character.normalized(QString::NormalizationForm_C) == character);
            QCOMPARE(encode(character, codePage).value_or("<refused>"), undefined ? "<refused>" : bytes.mid(byte, 1));
        }
    }

    // The bytes written, or "@index U+code" of the first character the code page cannot hold.
    void writesOrRefuses_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("result");
        QTest::newRow("e and acute") << 1252 << u"e\u0301"_s << QByteArray("\xE9");
        QTest::newRow("angstrom sign") << 1252 << u"\u212B"_s << QByteArray("\xC5");
        QTest::newRow("Polish") << 1250 << u"\u0141\u00F3d\u017A"_s << QByteArray("\xA3\xF3" "d" "\x9F");
        QTest::newRow("Tieng Viet") << 1258 << u"Ti\u1EBFng Vi\u1EC7t"_s << QByteArray("Ti\xEA\xECng Vi\xEA\xF2t");
        QTest::newRow("Tieng Viet decomposed") << 1258 << u"Tie\u0302\u0301ng Vie\u0323\u0302t"_s
                                               << QByteArray("Ti\xEA\xECng Vi\xEA\xF2t");
        QTest::newRow("Duong") << 1258 << u"\u0110\u01B0\u1EDDng"_s << QByteArray("\xD0\xFD\xF5\xCCng");
        QTest::newRow("1258 mark without base") << 1258 << u"\u0301"_s << QByteArray("\xEC");
        QTest::newRow("shin with shin dot") << 1255 << u"\uFB2A"_s << QByteArray("\xF9\xD1");
        QTest::newRow("holam haser for vav") << 1255 << u"\u05D5\u05BA"_s << QByteArray("\xE5\xCA");
        QTest::newRow("q and acute") << 1252 << u"q\u0301"_s << QByteArray("@1 U+301");
        QTest::newRow("mark without base") << 1252 << u"\u0301a"_s << QByteArray("@0 U+301");
        // Composing one run of 6000 marks, over and over, would take hours.
        QTest::newRow("mark after 6000 marks") << 1258 << u"a"_s + u"\u0301\u0323"_s.repeated(3000) + u"\u0302"_s
                                               << QByteArray("@6001 U+302");
        QTest::newRow("emoji after Vietnamese") << 1258 << u"Vi\u1EC7t \U0001F600"_s << QByteArray("@5 U+1F600");
        QTest::newRow("lone high surrogate") << 1252 << QString(u'x') + QChar(0xD800) + u'y' << QByteArray("@1 U+D800");
        QTest::newRow("Chinese") << 1251 << u"\u0416\u4E66"_s << QByteArray("@1 U+4E66");
        QTest::newRow("u with tilde and acute") << 1258 << u"\u1E79"_s << QByteArray("u\xDE\xEC");
        QTest::newRow("the same, decomposed") << 1258 << u"u\u0303\u0301"_s << QByteArray("u\xDE\xEC");
        QTest::newRow("o with tilde and diaeresis") << 1258 << u"\u1E4F"_s << QByteArray("@0 U+1E4F");
    }

    // Every character below U+30000 that a code page writes reads back as
    // itself: nothing is ever written as another letter.
    void everyCharacterWrittenReadsBack()
    {
        const auto nfc = QString::NormalizationForm_C;
        int written = 0;
        QStringList wrong;
        for (const int codePage : all()) {
            for (char32_t c = 1; c < 0x30000; ++c) {
                if (c >= 0xD800 && c < 0xE000)
                    continue;
                const QString text = QString::fromUcs4(&c, 1);
                const std::optional<QByteArray> bytes = encode(text, codePage);
                if (!bytes)
                    continue;
                ++written;
                if (decode(*bytes, codePage).text.normalized(nfc) != text.normalized(nfc))
                    wrong.append(QStringLiteral("%1 U+%2").arg(codePage).arg(uint(c), 4, 16, QLatin1Char('0')));
            }
        }
        QCOMPARE(wrong.join(u", "_s), QString());
        QVERIFY2(written > 2000 && written < 3500, qPrintable(QString::number(written)));
    }
    void writesOrRefuses()
    {
        QFETCH(int, codePage);
        QFETCH(QString, text);
        QFETCH(QByteArray, result);
        const std::optional<Unencodable> bad = firstUnencodable(text, codePage);
        const std::optional<QByteArray> bytes = encode(text, codePage);
        QCOMPARE(bool(bytes), !bad);   // nothing is written when a character is refused
        QCOMPARE(bad ? "@" + QByteArray::number(bad->index) + " U+"
                           + QByteArray::number(static_cast<uint>(bad->codePoint), 16).toUpper()
                     : bytes.value_or(""),
                 result);
        const auto nfc = QString::NormalizationForm_C;   // what is written reads back as the text
        QCOMPARE(decode(bytes.value_or(""), codePage).text.normalized(nfc), bytes ? text.normalized(nfc) : QString());
    }

    void findsTheCodePagesHoldingACharacter()
    {
        QCOMPARE(codePagesHolding(0xDF), QList<int>({1250, 1252, 1254, 1257, 1258}));   // ß
        QCOMPARE(codePagesHolding(0x20AC), all());   // €
        QCOMPARE(codePagesHolding(0x1EBF), QList<int>{1258});   // ế, as ê and an acute
        QCOMPARE(codePagesHolding(0x1F600), QList<int>());
    }

private:
    static void codePageRows()
    {
        QTest::addColumn<int>("codePage");
        for (const int codePage : all())
            QTest::addRow("%d", codePage) << codePage;
    }
};

QTEST_GUILESS_MAIN(TestCodePages)
#include "tst_codepages.moc"
