#include "core/document/codepagedetect.h"

#include "core/document/codepages.h"
#include "core/document/strsyntax.h"

#include <QHash>
#include <QList>
#include <QStringDecoder>

#include <uchardet.h>

#include <algorithm>
#include <array>
#include <limits>
#include <memory>

namespace CodePageDetect {

namespace {

// The upper halves of the DOS code pages (their lower halves are ASCII), as
// Debian's iconv has them.
using DosTable = std::array<char16_t, 128>;

const DosTable Cp850 = {{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0
}};

const DosTable Cp852 = {{
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x016F, 0x0107, 0x00E7, 0x0142, 0x00EB, 0x0150, 0x0151, 0x00EE, 0x0179, 0x00C4, 0x0106,
    0x00C9, 0x0139, 0x013A, 0x00F4, 0x00F6, 0x013D, 0x013E, 0x015A, 0x015B, 0x00D6, 0x00DC, 0x0164, 0x0165, 0x0141, 0x00D7, 0x010D,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x0104, 0x0105, 0x017D, 0x017E, 0x0118, 0x0119, 0x00AC, 0x017A, 0x010C, 0x015F, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x011A, 0x015E, 0x2563, 0x2551, 0x2557, 0x255D, 0x017B, 0x017C, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x0102, 0x0103, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x0111, 0x0110, 0x010E, 0x00CB, 0x010F, 0x0147, 0x00CD, 0x00CE, 0x011B, 0x2518, 0x250C, 0x2588, 0x2584, 0x0162, 0x016E, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x0143, 0x0144, 0x0148, 0x0160, 0x0161, 0x0154, 0x00DA, 0x0155, 0x0170, 0x00FD, 0x00DD, 0x0163, 0x00B4,
    0x00AD, 0x02DD, 0x02DB, 0x02C7, 0x02D8, 0x00A7, 0x00F7, 0x00B8, 0x00B0, 0x00A8, 0x02D9, 0x0171, 0x0158, 0x0159, 0x25A0, 0x00A0
}};

const DosTable Cp866 = {{
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0
}};

const DosTable *dosTable(int codePage)
{
    switch (codePage) {
    case 850:
        return &Cp850;
    case 852:
        return &Cp852;
    case 866:
        return &Cp866;
    default:
        return nullptr;
    }
}

// The character of a byte of 0x80 and above in the code page; 0xFFFF when
// the code page leaves it undefined.
char16_t characterOf(int codePage, unsigned char byte)
{
    if (const DosTable *dos = dosTable(codePage))
        return (*dos)[byte - 0x80u];
    const CodePages::detail::ByteTable *table = CodePages::detail::byteTable(codePage);
    return table ? (*table)[byte] : CodePages::detail::kUndefinedByte;
}

// The letters each language writes beyond ASCII (lower case), by the code
// pages it is written in. A code page's text is scored as each of its
// languages in turn; the best language counts.
struct Alphabet {
    const char16_t *letters;          // empty: every letter of a script (from..to)
    const char16_t *alone = nullptr;  // letters that are words of their own
    bool openingMarks = false;        // ¿ and ¡ open sentences
    const char16_t *onlyBefore = nullptr;   // a letter, then those that alone may follow it
    char16_t from = 0, to = 0;
};

const Alphabet Western[] = {
    {u"äöüß"},                        // German
    {u"àâæçéèêëîïôœùûüÿ", u"à"},     // French
    {u"àèéìíîòóùú", u"èà"},          // Italian
    {u"áéíñóúü", nullptr, true},      // Spanish
    {u"áâãàçéêíóôõú", u"àé", false, u"õei"},   // Portuguese: õe, õi
    {u"éèëïö"},                       // Dutch
    {u"æøåéó"},                       // Danish, Norwegian
    {u"åäöé"},                        // Swedish
    {u"äöå"},                         // Finnish
};
const Alphabet CentralEuropean[] = {
    {u"ąćęłńóśźż"},                   // Polish
    {u"áčďéěíňóřšťúůýž"},             // Czech
    {u"áäčďéíĺľňóôŕšťúýž"},           // Slovak
    {u"áéíóöőúüű", u"ő"},            // Hungarian
    {u"čšž"},                         // Slovenian
    {u"čćđšž"},                       // Croatian
    {u"ăâîşţ"},                       // Romanian
};
const Alphabet Cyrillic[] = {
    {u"абвгдеёжзийклмнопрстуфхцчшщъыьэюя"},   // Russian
    {u"абвгґдеєжзиіїйклмнопрстуфхцчшщьюя"},   // Ukrainian
    {u"абвгдежзийклмнопрстуфхцчшщъьюя"},      // Bulgarian
    {u"абвгдђежзијклљмнњопрстћуфхцчџш"},      // Serbian
};
const Alphabet Greek[] = {{u"", nullptr, false, nullptr, 0x0386, 0x03CE}};
const Alphabet Turkish[] = {{u"çğıöşüâîû"}};
const Alphabet Hebrew[] = {{u"", nullptr, false, nullptr, 0x05D0, 0x05EA}};
const Alphabet Arabic[] = {{u"", nullptr, false, nullptr, 0x0621, 0x06D2}};
const Alphabet Baltic[] = {
    {u"ąčęėįšųūž"},                   // Lithuanian
    {u"āčēģīķļņšūž"},                 // Latvian
    {u"äöõüšž"},                      // Estonian
};
const Alphabet Vietnamese[] = {{u"àáâãèéêìíòóôõùúýăđơư"}};
const Alphabet Thai[] = {{u"", nullptr, false, nullptr, 0x0E01, 0x0E5B}};

// The alphabet of each language folder's name, by the Windows code page it is read in.
struct Named {
    const char *language;
    int codePage;
    const Alphabet *alphabet;
};
const Named NamedAlphabets[] = {
    {"german", 1252, &Western[0]},       {"french", 1252, &Western[1]},    {"italian", 1252, &Western[2]},
    {"spanish", 1252, &Western[3]},      {"portuguese", 1252, &Western[4]}, {"dutch", 1252, &Western[5]},
    {"danish", 1252, &Western[6]},       {"norwegian", 1252, &Western[6]}, {"swedish", 1252, &Western[7]},
    {"finnish", 1252, &Western[8]},      {"polish", 1250, &CentralEuropean[0]}, {"czech", 1250, &CentralEuropean[1]},
    {"slovak", 1250, &CentralEuropean[2]}, {"hungarian", 1250, &CentralEuropean[3]},
    {"slovenian", 1250, &CentralEuropean[4]}, {"croatian", 1250, &CentralEuropean[5]},
    {"romanian", 1250, &CentralEuropean[6]}, {"russian", 1251, &Cyrillic[0]}, {"ukrainian", 1251, &Cyrillic[1]},
    {"bulgarian", 1251, &Cyrillic[2]},
};

struct Candidate {
    int codePage;
    const Alphabet *alphabets;
    std::size_t count;
};

template<std::size_t N>
constexpr Candidate candidate(int codePage, const Alphabet (&alphabets)[N])
{
    return {codePage, alphabets, N};
}

// In the order a tie between them is settled.
const Candidate Candidates[] = {
    candidate(1252, Western),  candidate(1250, CentralEuropean), candidate(1251, Cyrillic),
    candidate(1253, Greek),    candidate(1254, Turkish),         candidate(1257, Baltic),
    candidate(1255, Hebrew),   candidate(1256, Arabic),          candidate(1258, Vietnamese),
    candidate(874, Thai),      candidate(850, Western),          candidate(852, CentralEuropean),
    candidate(866, Cyrillic),
};

bool inAlphabet(const Alphabet &alphabet, char16_t letter)
{
    if (alphabet.from != 0)
        return letter >= alphabet.from && letter <= alphabet.to;
    for (const char16_t *c = alphabet.letters; *c; ++c) {
        if (*c == letter)
            return true;
    }
    return false;
}

// Marks texts use whatever their language.
bool isCommonMark(char16_t c)
{
    return QStringView(u"«»„“”‘’‚–—…·°€§© ").contains(QChar(c));
}

// Each byte of 0x80 and above with the byte before it and the two after it:
// how often.
using Triples = QHash<quint32, int>;   // before << 24 | byte << 16 | after << 8 | the next

Triples triplesOf(QByteArrayView text)
{
    Triples triples;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80)
            continue;
        const auto before = static_cast<unsigned char>(i > 0 ? text[i - 1] : ' ');
        const auto after = static_cast<unsigned char>(i + 1 < text.size() ? text[i + 1] : ' ');
        const auto next = static_cast<unsigned char>(i + 2 < text.size() ? text[i + 2] : ' ');
        ++triples[static_cast<quint32>(before) << 24 | static_cast<quint32>(byte << 16 | after << 8 | next)];
    }
    return triples;
}

constexpr long long Impossible = std::numeric_limits<long long>::min();

// How plausible a character is where it stands, read as a language of the
// alphabet: see score().
int points(QChar c, QChar before, QChar after, QChar next, const Alphabet &alphabet)
{
    const bool letterBefore = before.isLetter();
    const bool letterAfter = after.isLetter();
    if (c.isLetter()) {
        int points = inAlphabet(alphabet, c.toLower().unicode()) ? 2 : -3;
        if (points > 0 && alphabet.onlyBefore && c.toLower() == QChar(alphabet.onlyBefore[0])
            && !QStringView(alphabet.onlyBefore).sliced(1).contains(after.toLower()))
            points = -3;   // a letter the language writes only before certain others
        if (points > 0 && !letterBefore && !letterAfter && !(alphabet.alone && QStringView(alphabet.alone).contains(c.toLower())))
            points = -1;   // a letter of its own that is no word of the language
        if (c.isUpper() && before.isLower())
            points -= 3;   // a capital inside a word
        const bool latin = c.unicode() < 0x0250;
        if (!latin && ((before.unicode() < 0x80 && letterBefore) || (after.unicode() < 0x80 && letterAfter)))
            points -= 3;   // another script run into a Latin word
        return points;
    }
    if (c == u'¿' || c == u'¡')   // Spanish opening marks: before a word
        return !letterBefore && letterAfter && alphabet.openingMarks ? 2 : -2;
    if (c.category() == QChar::Other_Control)
        return -4;
    if (isCommonMark(c.unicode())) {
        if (c == u'\u201A')   // a single low quote: rare, an opening one at most
            return letterBefore ? -2 : 0;
        if (QStringView(u"\u201E\u00AB").contains(c))   // opening quotes: not after a letter
            return letterBefore ? -2 : 2;
        if (QStringView(u"\u201D\u00BB").contains(c))   // closing quotes: not before a letter
            return letterAfter ? -2 : 2;
        if (c == u'\u2019' && letterBefore && letterAfter)
            return 2;   // an apostrophe
        if (c == u'\u2026' && after == u' ' && next.isLower())
            return 0;   // an ellipsis inside a sentence: now and then
        return letterBefore && letterAfter ? -2 : 2;
    }
    return -2;
}

// How well `codePage` reads the text as its best language: a letter of the
// language +2 (a letter of its own that is no word of the language -1),
// another letter -3, a capital inside a word or a letter of another script
// run into a Latin word -3 more, a common mark beside a space or a word +2
// (inside a word -2), another symbol -2, a control character -4. A byte the
// code page leaves undefined rules it out. Measured with
// scripts/bench-codepages.sh.
long long score(const Triples &triples, const Candidate &candidate)
{
    const auto character = [&](unsigned char byte) {
        return QChar(byte < 0x80 ? char16_t(byte) : characterOf(candidate.codePage, byte));
    };
    long long best = Impossible;
    for (std::size_t a = 0; a < candidate.count; ++a) {
        long long total = 0;
        for (auto it = triples.cbegin(); it != triples.cend(); ++it) {
            const QChar c = character(static_cast<unsigned char>(it.key() >> 16));
            if (c.unicode() == CodePages::detail::kUndefinedByte)
                return Impossible;
            total += static_cast<long long>(points(c, character(static_cast<unsigned char>(it.key() >> 24)),
                                                   character(static_cast<unsigned char>(it.key() >> 8)),
                                                   character(static_cast<unsigned char>(it.key())),
                                                   candidate.alphabets[a]))
                * it.value();
        }
        best = std::max(best, total);
    }
    return best;
}

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isUtf8(QByteArrayView text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(text);
    return !decoder.hasError();
}

} // namespace

bool isDosCodePage(int codePage)
{
    return dosTable(codePage) != nullptr;
}

QString shortName(int codePage)
{
    if (codePage == Utf8)
        return QStringLiteral("UTF-8");
    if (isDosCodePage(codePage))
        return QStringLiteral("CP%1").arg(codePage);
    return CodePages::shortName(codePage);
}

QByteArray entryTexts(QByteArrayView fileBytes)
{
    QByteArray texts;
    StrSyntax::Tokenizer tokenizer(fileBytes);
    StrSyntax::Item item;
    while (tokenizer.next(item)) {
        if (item.kind != StrSyntax::ItemKind::Entry)
            continue;
        texts.append(fileBytes.sliced(item.textStart, item.textEnd - item.textStart));
        texts.append('\n');
    }
    return texts;
}

int sibling(int codePage)
{
    switch (codePage) {
    case 1252:
        return 850;
    case 1250:
        return 852;
    case 1251:
        return 866;
    case 850:
        return 1252;
    case 852:
        return 1250;
    case 866:
        return 1251;
    default:
        return 0;
    }
}

std::optional<QChar> character(int codePage, unsigned char byte)
{
    const char16_t c = byte < 0x80 ? char16_t(byte) : characterOf(codePage, byte);
    if (c == CodePages::detail::kUndefinedByte)
        return std::nullopt;
    return QChar(c);
}

int dosByLetters(QByteArrayView text, int codePage, QStringView language)
{
    const int dos = isDosCodePage(codePage) ? 0 : sibling(codePage);
    const auto named = std::find_if(std::begin(NamedAlphabets), std::end(NamedAlphabets), [&](const Named &each) {
        return each.codePage == codePage && language.compare(QLatin1String(each.language), Qt::CaseInsensitive) == 0;
    });
    if (dos == 0 || named == std::end(NamedAlphabets))
        return 0;
    const auto in = [&](int page, qsizetype i) {
        const auto byte = static_cast<unsigned char>(i < 0 || i >= text.size() ? ' ' : text[i]);
        return QChar(byte < 0x80 ? char16_t(byte) : characterOf(page, byte));
    };
    int dosOnly = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x80)
            continue;
        const auto fits = [&](int page) {
            const QChar c = in(page, i);
            return c.unicode() != CodePages::detail::kUndefinedByte
                && points(c, in(page, i - 1), in(page, i + 1), in(page, i + 2), *named->alphabet) > 0;
        };
        const bool windows = fits(codePage);
        const bool dosReading = fits(dos);
        if (windows && !dosReading)
            return 0;
        if (dosReading && !windows)
            ++dosOnly;
    }
    return dosOnly > 0 ? dos : 0;
}

QByteArray detectorName(QByteArrayView text)
{
    const std::unique_ptr<uchardet, decltype(&uchardet_delete)> detector(uchardet_new(), &uchardet_delete);
    if (!detector)
        return {};
    if (uchardet_handle_data(detector.get(), text.data(), static_cast<size_t>(text.size())) != 0)
        return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get()));
}

int codePageOfDetectorName(QByteArrayView name)
{
    const QByteArray upper = name.toByteArray().toUpper();
    if (upper.startsWith("WINDOWS-") || upper.startsWith("CP125")) {
        const int codePage = upper.sliced(upper.indexOf(upper.startsWith("CP") ? 'P' : '-') + 1).toInt();
        return CodePages::isSupported(codePage) ? codePage : -1;
    }
    struct Name {
        const char *name;
        int codePage;
    };
    static const Name Names[] = {
        {"ASCII", Ascii},        {"UTF-8", Utf8},         {"ISO-8859-1", 1252},  {"ISO-8859-15", 1252},
        {"ISO-8859-2", 1250},    {"ISO-8859-7", 1253},    {"ISO-8859-9", 1254},  {"ISO-8859-8", 1255},
        {"ISO-8859-13", 1257},   {"TIS-620", 874},        {"IBM850", 850},       {"CP850", 850},
        {"IBM852", 852},         {"CP852", 852},          {"IBM866", 866},       {"CP866", 866},
    };
    for (const Name &known : Names) {
        if (upper == known.name)
            return known.codePage;
    }
    return -1;
}

int detectWithUchardetOnly(QByteArrayView text)
{
    if (isAscii(text))
        return Ascii;
    if (isUtf8(text))
        return Utf8;
    return codePageOfDetectorName(detectorName(text));
}

int detect(QByteArrayView text, int preferred)
{
    if (isAscii(text))
        return Ascii;
    if (isUtf8(text))
        return Utf8;
    const int named = codePageOfDetectorName(detectorName(text));
    const Triples triples = triplesOf(text);
    long long best = Impossible;
    int answer = -1;
    for (const Candidate &candidate : Candidates) {
        const long long points = score(triples, candidate);
        if (points > best) {
            best = points;
            answer = candidate.codePage;
        }
    }
    // Of the code pages that read it best: the preferred one, else its DOS
    // or Windows sibling, else uchardet's, else the first.
    for (const int first : {preferred, sibling(preferred), named}) {
        const auto found = std::find_if(std::begin(Candidates), std::end(Candidates),
                                        [&](const Candidate &c) { return c.codePage == first; });
        if (found != std::end(Candidates) && score(triples, *found) == best && best != Impossible)
            return first;
    }
    return answer == -1 ? CodePages::defaultCodePage() : answer;
}

} // namespace CodePageDetect
