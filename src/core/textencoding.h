#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The game reads its text files in Windows-1252, the Western single-byte code
// page. Qt only reaches that code page through ICU, which Qt builds for Windows
// usually lack, so the conversion is done here with the code page's own table.
namespace Windows1252 {

struct Unencodable {
    qsizetype index = 0;      // position in the text, in UTF-16 units
    char32_t codePoint = 0;   // the whole character, also outside the BMP
};

// The first character of `text` that Windows-1252 cannot hold, if any.
std::optional<Unencodable> firstUnencodable(QStringView text);

// The text as Windows-1252 bytes, or nothing when it holds a character the
// code page cannot represent. Nothing is ever replaced or dropped.
std::optional<QByteArray> encode(QStringView text);

// The byte for one character, or nothing. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) are never produced.
std::optional<char> byteFor(char32_t codePoint);

} // namespace Windows1252
