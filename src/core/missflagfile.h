#pragma once

#include "core/filecontent.h"

#include <QLocale>

// missflag.str: a header of comment lines listing the flags, a "skip" line for
// every mission number below the author's, and the author's mission line.
namespace MissflagFile {

inline constexpr QLatin1String FileName{"missflag.str"};

// The highest mission number accepted: the file gets one skip line for every
// whole number from 1 up to the mission number minus 1.
inline constexpr int HighestMissionNumber = 999;

enum class Reading {
    Accepted,
    NotANumber,    // empty, letters, a lone sign, ...
    AboveHighest,  // a number above HighestMissionNumber (999.5 included)
};

struct MissionNumber {
    Reading reading = Reading::NotANumber;
    int skipLines = 0;   // skip lines miss_1 .. miss_<skipLines>; 0 below 2
};

// Reads the typed mission number: optional blanks, an optional sign, digits,
// optionally the locale's decimal separator and more digits, optional blanks.
MissionNumber readMissionNumber(const QString &typed, const QLocale &locale = QLocale());

// The whole file: the header, `skipLines` skip lines, then the mission line
// miss_<number>:"<briefing> ,no_loadout, end" with the number as typed.
FileContent content(const QString &number, int skipLines, const QString &briefing);

} // namespace MissflagFile
