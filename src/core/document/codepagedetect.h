#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Which code page a file's texts were written in, told from their bytes.
//
// The answer is one of the program's code pages (CodePages::all()), a DOS
// code page (850, 852, 866: recognised, so that the author can be told, but
// never read or written), UTF-8, or Ascii when the bytes are plain ASCII and
// tell nothing. Each candidate code page is scored reading the text as each
// language of its alphabets (letters of the language count for it; other
// letters, symbols where no text has them and capitals inside words against
// it); the best decides. Between code pages that score the same (they read
// the text alike, or nearly), the folder's code page wins, then its DOS or
// Windows sibling, then the one uchardet names. uchardet alone tells the
// short texts of a mission too often wrong (Italian and German in their
// Windows code page, and the DOS Western code page nearly always):
// scripts/bench-codepages.sh measures both.
namespace CodePageDetect {

inline constexpr int Ascii = 0;
inline constexpr int Utf8 = 65001;

// 850 (DOS Western), 852 (DOS Central European), 866 (DOS Cyrillic).
bool isDosCodePage(int codePage);

// "Windows-1250", "CP852", "UTF-8"; empty for Ascii or a code page unknown.
QString shortName(int codePage);

// The texts of a .str file's entries as they stand between the quotes (keys,
// comments and the rest of the syntax left out), each followed by a line
// break: what detect() is best fed, several files of a language together.
QByteArray entryTexts(QByteArrayView fileBytes);

// The code page `text` was most likely written in. `preferred` (the code
// page the folder's name gives) wins when it reads the text as well as any
// other; 0 for no preference.
int detect(QByteArrayView text, int preferred = 0);

// The DOS sibling of a Windows code page (1252: 850, 1250: 852, 1251: 866),
// and back; 0 for one without.
int sibling(int codePage);

// The character of a byte of 0x80 and above in one of detect()'s code pages
// (DOS ones too); nothing for one the code page leaves undefined.
std::optional<QChar> character(int codePage, unsigned char byte);

// Whether `text`, read in the Windows code page `codePage`, is rather in its
// DOS sibling, by the letters of `language` (a language folder's name,
// "french"): some byte reads as a letter of the language in the DOS code
// page and as none in the Windows one (`Difficult‚` for `Difficulté`, `SšD`
// for `SÜD`), and no byte the other way round. One byte can tell. 0 when it
// is not, or the language is not known; else the DOS code page.
int dosByLetters(QByteArrayView text, int codePage, QStringView language);

// The name uchardet gives the text ("WINDOWS-1250", "IBM852", ... or empty),
// and that name as one of detect()'s answers (0 for one it cannot be).
QByteArray detectorName(QByteArrayView text);
int codePageOfDetectorName(QByteArrayView name);

// What uchardet alone answers, mapped as codePageOfDetectorName() maps it,
// Ascii and Utf8 as detect() tells them (for the benchmark).
int detectWithUchardetOnly(QByteArrayView text);

} // namespace CodePageDetect
