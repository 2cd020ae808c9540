#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// The Windows single-byte ("ANSI") code pages a translation can be written in.
// Qt reaches these only through ICU, which Qt builds for Windows usually lack,
// so the conversion is done here with the code pages' own tables.
//
// Text is taken in canonical composition (NFC) first: "e" followed by a
// combining acute accent is written as the one byte of "é". A character the
// table lacks is written decomposed when the code page holds its parts: a
// precomposed base followed by combining marks, which is how Windows-1258
// holds most Vietnamese letters ("ế" is "ê" and a combining acute).
//
// A code page that isSupported() rejects holds no character at all.
namespace CodePages {

// 874, 1250, 1251, ..., 1258, in this order.
QList<int> all();
bool isSupported(int codePage);
int defaultCodePage(); // 1252, the Western code page

// The code page of the Windows the program runs on (its ANSI code page, the
// one the game reads its files in there); 0 on other systems.
int systemCodePage();

// The code page to start with when none was chosen: the system's when it is
// one of all(), else the default (also for a multi-byte system code page).
int startCodePage(int systemCodePage);

QString name(int codePage);        // "Central European (Windows-1250)"
QString shortName(int codePage);   // "Windows-1250"
QString description(int codePage); // "the Central European code page (Windows-1250)"

struct Unencodable {
    qsizetype index = 0;    // position in the text as given, in UTF-16 units
    char32_t codePoint = 0; // the whole character there, also outside the BMP
};

// The first character of `text` that the code page cannot hold, if any. When a
// combining mark cannot join the character before it, the mark is reported.
// A lone surrogate half is a character no code page holds.
std::optional<Unencodable> firstUnencodable(QStringView text, int codePage);

// The text as the code page's bytes, or nothing when it holds a character the
// code page cannot represent. Nothing is ever replaced or dropped, and a byte
// the code page leaves undefined is never produced.
std::optional<QByteArray> encode(QStringView text, int codePage);

struct Decoded {
    QString text;                    // as the bytes say it, not composed
    QList<qsizetype> undefinedBytes; // offsets of the bytes read as U+FFFD
};

// Reads bytes written in the code page. A byte the code page leaves undefined
// becomes U+FFFD and its offset is listed.
Decoded decode(QByteArrayView bytes, int codePage);

// The code pages of all() that can write the character (Windows-1258 with its
// decomposed letters), for suggesting another code page.
QList<int> codePagesHolding(char32_t codePoint);

namespace detail {

using ByteTable = std::array<char16_t, 256>;
inline constexpr char16_t kUndefinedByte = 0xFFFF;

// The generated tables (codepagetables.cpp): the character of each byte, or
// kUndefinedByte; nullptr for a code page that is not supported.
const ByteTable *byteTable(int codePage);

} // namespace detail

} // namespace CodePages
