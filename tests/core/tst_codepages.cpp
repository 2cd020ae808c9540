// The code page tables and how text is written in them.
//
// The tables come from glibc's iconv (tools/gencodepages.cpp) and are compared
// here with glibc and with ICU, byte by byte. Where the two differ, the tables
// follow Windows, as Microsoft's own tables of these code pages
// (WindowsBestFit, bestfit874.txt to bestfit1258.txt) show it:
// - Windows reads a byte the code page leaves undefined as a placeholder that
//   is no character of the code page: the C1 control of the byte's value in
//   0x80-0x9F (1252: 0x81 -> U+0081), a private-use character elsewhere (874:
//   0xDB -> U+F8C1). ICU 72 gives the same placeholders for the undefined
//   bytes in 0x80-0x9F of every code page and for 874's 0xDB-0xDE and
//   0xFC-0xFF; glibc 2.36 refuses them all. ICU's Windows-1253 table (IBM's)
//   also reads 0xAA as U+00AA, where Windows has a placeholder. Our tables
//   leave all of these undefined, as glibc does: they are never written, and
//   read back as U+FFFD.
// - Windows-1255 byte 0xCA is U+05BA HEBREW POINT HOLAM HASER FOR VAV in
//   Windows. glibc and ICU both keep the 1998 table, made before Unicode had
//   that point, and leave the byte undefined; ours follows Windows.
#include "core/codepages.h"

#include <QTest>

#if defined(Q_OS_LINUX)
#include <iconv.h>
#endif
#if defined(QW_TEST_WITH_ICU)
#include <unicode/ucnv.h>
#endif

using namespace CodePages;
using namespace Qt::StringLiterals;

namespace {

constexpr int kUndefined = -1;
constexpr int kNotOneCharacter = -2;

// The character our table gives the byte, or kUndefined.
int ourCharacter(int codePage, int byte)
{
    const Decoded decoded = decode(QByteArray(1, static_cast<char>(byte)), codePage);
    return decoded.undefinedBytes.isEmpty() ? decoded.text.at(0).unicode() : kUndefined;
}

#if defined(Q_OS_LINUX)
int iconvCharacter(int codePage, int byte)
{
    const QByteArray name = "WINDOWS-" + QByteArray::number(codePage);
    iconv_t converter = iconv_open("UTF-32LE", name.constData());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return kNotOneCharacter;
    char in = static_cast<char>(byte);
    char32_t out[4] = {};
    char *inPos = &in;
    char *outPos = reinterpret_cast<char *>(out);
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const bool converted = iconv(converter, &inPos, &inLeft, &outPos, &outLeft) != static_cast<size_t>(-1)
        && iconv(converter, nullptr, nullptr, &outPos, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!converted)
        return kUndefined;
    return outLeft == sizeof out - sizeof(char32_t) ? static_cast<int>(out[0]) : kNotOneCharacter;
}

// The entry in which our table follows Windows rather than both libraries.
int windowsCorrection(int codePage, int byte)
{
    return codePage == 1255 && byte == 0xCA ? 0x05BA : 0;
}

QString describe(int codePage, int byte, int ours, int theirs)
{
    return QStringLiteral("%1 byte %2: ours %3, theirs %4")
        .arg(codePage).arg(byte, 2, 16, QLatin1Char('0')).arg(ours, 0, 16).arg(theirs, 0, 16);
}
#endif

#if defined(QW_TEST_WITH_ICU)
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

QString text(char32_t codePoint)
{
    return QString::fromUcs4(&codePoint, 1);
}

} // namespace

class TestCodePages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void describesEachCodePage()
    {
        QCOMPARE(all(), (QList<int>{874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}));
        QCOMPARE(defaultCodePage(), 1252);
        QVERIFY(isSupported(874));
        QVERIFY(!isSupported(1259));
        QCOMPARE(shortName(1250), QStringLiteral("Windows-1250"));
        QCOMPARE(description(1250), QStringLiteral("the Central European code page (Windows-1250)"));
        const QStringList scripts = {u"Thai"_s, u"Central European"_s, u"Cyrillic"_s, u"Western"_s,
                                     u"Greek"_s, u"Turkish"_s, u"Hebrew"_s, u"Arabic"_s,
                                     u"Baltic"_s, u"Vietnamese"_s};
        for (qsizetype i = 0; i < scripts.size(); ++i)
            QCOMPARE(name(all()[i]), scripts[i] + QStringLiteral(" (Windows-%1)").arg(all()[i]));
        QCOMPARE(name(999), QString());
    }

    void agreesWithIconv_data() { codePageRows(); }
    void agreesWithIconv()
    {
#if !defined(Q_OS_LINUX)
        QSKIP("no ICU and no iconv in the Windows build");
#else
        QFETCH(int, codePage);
        QStringList differences;
        for (int byte = 0; byte < 256; ++byte) {
            const int ours = ourCharacter(codePage, byte);
            const int theirs = iconvCharacter(codePage, byte);
            const bool corrected = theirs == kUndefined && ours == windowsCorrection(codePage, byte);
            if (ours != theirs && !corrected)
                differences.append(describe(codePage, byte, ours, theirs));
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u"; ")));
#endif
    }

    void agreesWithIcu_data() { codePageRows(); }
    void agreesWithIcu()
    {
#if !defined(Q_OS_LINUX)
        QSKIP("no ICU and no iconv in the Windows build");
#elif !defined(QW_TEST_WITH_ICU)
        QSKIP("built without ICU: install libicu-dev and configure again");
#else
        QFETCH(int, codePage);
        QStringList differences;
        for (int byte = 0; byte < 256; ++byte) {
            const int ours = ourCharacter(codePage, byte);
            const int theirs = icuCharacter(codePage, byte);
            const bool corrected = theirs == kUndefined && ours == windowsCorrection(codePage, byte);
            const bool placeholder = ours == kUndefined
                && ((byte >= 0x80 && byte <= 0x9F && theirs == byte) || (theirs >= 0xE000 && theirs <= 0xF8FF)
                    || (codePage == 1253 && byte == 0xAA && theirs == 0xAA));
            if (ours != theirs && !corrected && !placeholder)
                differences.append(describe(codePage, byte, ours, theirs));
        }
        QVERIFY2(differences.isEmpty(), qPrintable(differences.join(u"; ")));
#endif
    }

    // Written out here so that the tables are checked on every platform too;
    // -1 is a byte the code page leaves undefined.
    void matchesExcerpt_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<int>("firstByte");
        QTest::addColumn<QList<int>>("characters");
        QTest::newRow("874 80") << 874 << 0x80 << QList<int>{
            0x20AC, -1, -1, -1, -1, 0x2026, -1, -1,
            -1, -1, -1, -1, -1, -1, -1, -1,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            -1, -1, -1, -1, -1, -1, -1, -1};
        QTest::newRow("874 D8") << 874 << 0xD8 << QList<int>{
            0x0E38, 0x0E39, 0x0E3A, -1, -1, -1, -1, 0x0E3F};
        QTest::newRow("1250 80") << 1250 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, -1, 0x201E, 0x2026, 0x2020, 0x2021,
            -1, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            -1, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A};
        QTest::newRow("1250 B8") << 1250 << 0xB8 << QList<int>{
            0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C};
        QTest::newRow("1251 80") << 1251 << 0x80 << QList<int>{
            0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
            0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
            0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            -1, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F};
        QTest::newRow("1251 A8") << 1251 << 0xA8 << QList<int>{
            0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407};
        QTest::newRow("1252 80") << 1252 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, -1, 0x017D, -1,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, -1, 0x017E, 0x0178};
        QTest::newRow("1252 D8") << 1252 << 0xD8 << QList<int>{
            0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF};
        QTest::newRow("1253 80") << 1253 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            -1, 0x2030, -1, 0x2039, -1, -1, -1, -1,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            -1, 0x2122, -1, 0x203A, -1, -1, -1, -1};
        QTest::newRow("1253 A8") << 1253 << 0xA8 << QList<int>{
            0x00A8, 0x00A9, -1, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015};
        QTest::newRow("1254 80") << 1254 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, -1, -1, -1,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, -1, -1, 0x0178};
        QTest::newRow("1254 D8") << 1254 << 0xD8 << QList<int>{
            0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x0130, 0x015E, 0x00DF};
        QTest::newRow("1255 80") << 1255 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x02C6, 0x2030, -1, 0x2039, -1, -1, -1, -1,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x02DC, 0x2122, -1, 0x203A, -1, -1, -1, -1};
        QTest::newRow("1255 C8") << 1255 << 0xC8 << QList<int>{
            0x05B8, 0x05B9, 0x05BA, 0x05BB, 0x05BC, 0x05BD, 0x05BE, 0x05BF};
        QTest::newRow("1256 80") << 1256 << 0x80 << QList<int>{
            0x20AC, 0x067E, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x02C6, 0x2030, 0x0679, 0x2039, 0x0152, 0x0686, 0x0698, 0x0688,
            0x06AF, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x06A9, 0x2122, 0x0691, 0x203A, 0x0153, 0x200C, 0x200D, 0x06BA};
        QTest::newRow("1256 E0") << 1256 << 0xE0 << QList<int>{
            0x00E0, 0x0644, 0x00E2, 0x0645, 0x0646, 0x0647, 0x0648, 0x00E7};
        QTest::newRow("1257 80") << 1257 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, -1, 0x201E, 0x2026, 0x2020, 0x2021,
            -1, 0x2030, -1, 0x2039, -1, 0x00A8, 0x02C7, 0x00B8,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            -1, 0x2122, -1, 0x203A, -1, 0x00AF, 0x02DB, -1};
        QTest::newRow("1257 A0") << 1257 << 0xA0 << QList<int>{
            0x00A0, -1, 0x00A2, 0x00A3, 0x00A4, -1, 0x00A6, 0x00A7};
        QTest::newRow("1258 80") << 1258 << 0x80 << QList<int>{
            0x20AC, -1, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
            0x02C6, 0x2030, -1, 0x2039, 0x0152, -1, -1, -1,
            -1, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
            0x02DC, 0x2122, -1, 0x203A, 0x0153, -1, -1, 0x0178};
        QTest::newRow("1258 C8") << 1258 << 0xC8 << QList<int>{
            0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x0300, 0x00CD, 0x00CE, 0x00CF};
        QTest::newRow("1258 D8") << 1258 << 0xD8 << QList<int>{
            0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x01AF, 0x0303, 0x00DF};
        QTest::newRow("1258 E8") << 1258 << 0xE8 << QList<int>{
            0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x0301, 0x00ED, 0x00EE, 0x00EF};
        QTest::newRow("1258 F0") << 1258 << 0xF0 << QList<int>{
            0x0111, 0x00F1, 0x0323, 0x00F3, 0x00F4, 0x01A1, 0x00F6, 0x00F7};
    }
    void matchesExcerpt()
    {
        QFETCH(int, codePage);
        QFETCH(int, firstByte);
        QFETCH(QList<int>, characters);
        for (int i = 0; i < characters.size(); ++i) {
            const int byte = firstByte + i;
            QCOMPARE(ourCharacter(codePage, byte), characters[i]);
            // Not even the C1 control Windows reads an undefined byte as is written there.
            if (characters[i] == kUndefined && byte < 0xA0)
                QVERIFY(!encode(text(static_cast<char32_t>(byte)), codePage));
        }
    }

    void everyDefinedByteRoundTrips_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<int>("definedBytes");
        const QList<int> defined = {225, 251, 255, 251, 239, 249, 234, 256, 244, 247};
        for (qsizetype i = 0; i < all().size(); ++i)
            QTest::addRow("%d", all()[i]) << all()[i] << defined[i];
    }
    void everyDefinedByteRoundTrips()
    {
        QFETCH(int, codePage);
        QFETCH(int, definedBytes);
        QByteArray bytes;
        for (int byte = 0; byte < 256; ++byte)
            bytes.append(static_cast<char>(byte));
        const Decoded decoded = decode(bytes, codePage);
        QCOMPARE(decoded.text.size(), 256);
        QCOMPARE(256 - decoded.undefinedBytes.size(), definedBytes);
        for (int byte = 0; byte < 256; ++byte) {
            const QString character = decoded.text.mid(byte, 1);
            if (decoded.undefinedBytes.contains(byte)) {
                QCOMPARE(character, QString(QChar::ReplacementCharacter));
                continue;
            }
            // Writing relies on every character of a table being composed already.
            QCOMPARE(character.normalized(QString::NormalizationForm_C), character);
            QCOMPARE(encode(character, codePage).value_or("<refused>"), bytes.mid(byte, 1));
        }
    }

    void writes_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("e and acute") << 1252 << u"e\u0301"_s << QByteArray("\xE9");
        QTest::newRow("angstrom sign") << 1252 << u"\u212B"_s << QByteArray("\xC5");
        QTest::newRow("Polish") << 1250 << u"\u0141\u00F3d\u017A"_s << QByteArray("\xA3\xF3" "d" "\x9F");
        QTest::newRow("Tieng Viet") << 1258 << u"Ti\u1EBFng Vi\u1EC7t"_s
                                    << QByteArray("Ti\xEA\xECng Vi\xEA\xF2t");
        QTest::newRow("Tieng Viet decomposed") << 1258 << u"Tie\u0302\u0301ng Vie\u0323\u0302t"_s
                                               << QByteArray("Ti\xEA\xECng Vi\xEA\xF2t");
        QTest::newRow("Ha Noi") << 1258 << u"H\u00E0 N\u1ED9i"_s << QByteArray("H\xE0 N\xF4\xF2i");
        QTest::newRow("Duong") << 1258 << u"\u0110\u01B0\u1EDDng"_s << QByteArray("\xD0\xFD\xF5\xCCng");
        QTest::newRow("1258 mark without base") << 1258 << u"\u0301"_s << QByteArray("\xEC");
        QTest::newRow("shin with shin dot") << 1255 << u"\uFB2A"_s << QByteArray("\xF9\xD1");
        QTest::newRow("holam haser for vav") << 1255 << u"\u05D5\u05BA"_s << QByteArray("\xE5\xCA");
    }
    void writes()
    {
        QFETCH(int, codePage);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QVERIFY(!firstUnencodable(text, codePage));
        QCOMPARE(encode(text, codePage).value_or("<refused>"), bytes);
        const Decoded decoded = decode(bytes, codePage);
        QVERIFY(decoded.undefinedBytes.isEmpty());
        QCOMPARE(decoded.text.normalized(QString::NormalizationForm_C),
                 text.normalized(QString::NormalizationForm_C));
    }

    void refuses_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<qsizetype>("index");
        QTest::addColumn<uint>("codePoint");
        QTest::newRow("q and acute") << 1252 << u"q\u0301"_s << qsizetype(1) << 0x301u;
        QTest::newRow("mark without base") << 1252 << u"\u0301a"_s << qsizetype(0) << 0x301u;
        QTest::newRow("Vietnamese in 1252") << 1252 << u"Vi\u1EC7t"_s << qsizetype(2) << 0x1EC7u;
        QTest::newRow("decomposed Vietnamese in 1252") << 1252 << u"Vie\u0323\u0302t"_s << qsizetype(3)
                                                       << 0x323u;
        // Composing one run of 6000 marks, over and over, would take hours.
        QTest::newRow("mark after 6000 marks") << 1258 << u"a"_s + u"\u0301\u0323"_s.repeated(3000) + u"\u0302"_s
                                               << qsizetype(6001) << 0x302u;
        QTest::newRow("emoji after text") << 1252 << u"ab\U0001F600c"_s << qsizetype(2) << 0x1F600u;
        QTest::newRow("emoji after Vietnamese") << 1258 << u"Vi\u1EC7t \U0001F600"_s << qsizetype(5)
                                                << 0x1F600u;
        QTest::newRow("lone high surrogate") << 1252 << QString(u'x') + QChar(0xD800) + u'y' << qsizetype(1)
                                             << 0xD800u;
        QTest::newRow("lone low surrogate") << 1257 << QString(QChar(0xDC00)) << qsizetype(0) << 0xDC00u;
        QTest::newRow("Chinese") << 1251 << u"\u0416\u4E66"_s << qsizetype(1) << 0x4E66u;
        QTest::newRow("right-to-left override") << 1255 << u"\u05D0\u202E"_s << qsizetype(1) << 0x202Eu;
        QTest::newRow("unsupported code page") << 1259 << u"a"_s << qsizetype(0) << 0x61u;
    }
    void refuses()
    {
        QFETCH(int, codePage);
        QFETCH(QString, text);
        QFETCH(qsizetype, index);
        QFETCH(uint, codePoint);
        const std::optional<Unencodable> bad = firstUnencodable(text, codePage);
        QVERIFY(bad);
        QCOMPARE(bad->index, index);
        QCOMPARE(static_cast<uint>(bad->codePoint), codePoint);
        QVERIFY(!encode(text, codePage));
    }

    void findsTheCodePagesHoldingACharacter_data()
    {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<QList<int>>("codePages");
        QTest::newRow("l with stroke") << 0x142u << QList<int>{1250, 1257};
        QTest::newRow("zhe") << 0x436u << QList<int>{1251};
        QTest::newRow("sharp s") << 0xDFu << QList<int>{1250, 1252, 1254, 1257, 1258};
        QTest::newRow("euro") << 0x20ACu << all();
        QTest::newRow("e with circumflex and acute") << 0x1EBFu << QList<int>{1258};
        QTest::newRow("emoji") << 0x1F600u << QList<int>();
    }
    void findsTheCodePagesHoldingACharacter()
    {
        QFETCH(uint, codePoint);
        QFETCH(QList<int>, codePages);
        QCOMPARE(codePagesHolding(codePoint), codePages);
    }

    void encodesFiveMegabytes()
    {
        const QString line = u"Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105 ja\u017A\u0144 \u2014 "
                             u"pchn\u0105\u0107 w t\u0119 \u0142\u00F3d\u017A je\u017Ca.\r\n"_s;
        QString text;
        while (text.size() < 5'000'000)
            text += line;
        std::optional<QByteArray> bytes;
        QBENCHMARK {
            bytes = encode(text, 1250);
        }
        QVERIFY(bytes);
        QCOMPARE(bytes->size(), text.size());
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
