#include "core/textencoding.h"

#include <array>

namespace Windows1252 {

namespace {

// The characters of bytes 0x80 to 0x9F; 0 marks the five undefined bytes.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98-9F
};

// The character starting at `index`, and advances `index` past it. A lone
// surrogate half stands for itself, which no code page can hold.
char32_t nextCodePoint(QStringView text, qsizetype &index)
{
    const QChar first = text[index++];
    if (first.isHighSurrogate() && index < text.size() && text[index].isLowSurrogate())
        return QChar::surrogateToUcs4(first, text[index++]);
    return first.unicode();
}

} // namespace

std::optional<char> byteFor(char32_t codePoint)
{
    // ASCII and Latin-1 above the C1 controls are the same in both.
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(codePoint));
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == codePoint)
            return static_cast<char>(static_cast<unsigned char>(0x80 + i));
    }
    return std::nullopt;
}

std::optional<Unencodable> firstUnencodable(QStringView text)
{
    qsizetype index = 0;
    while (index < text.size()) {
        const qsizetype start = index;
        const char32_t codePoint = nextCodePoint(text, index);
        if (!byteFor(codePoint))
            return Unencodable{start, codePoint};
    }
    return std::nullopt;
}

std::optional<QByteArray> encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype index = 0;
    while (index < text.size()) {
        const std::optional<char> byte = byteFor(nextCodePoint(text, index));
        if (!byte)
            return std::nullopt;
        bytes.append(*byte);
    }
    return bytes;
}

} // namespace Windows1252
