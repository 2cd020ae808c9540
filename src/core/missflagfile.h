#pragma once

#include "core/strdocument.h"

#include <QLocale>

// missflag.str: a header of comment lines listing the flags, a "skip" line for
// every mission number below the author's, and the author's mission line. An
// opened file keeps every line but the one of the mission the tab edits.
namespace MissflagFile {

inline constexpr QLatin1String FileName{"missflag.str"};
inline constexpr QLatin1String MissionPrefix{"miss_"};

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

// A new file: the header (the kind's new file text), `skipLines` skip lines, then the mission line
// miss_<number>:"<briefing> ,no_loadout, end" with the number as typed.
StrDocument content(const QString &number, int skipLines, const QString &briefing);

// Whether `key` is a mission's: miss_ and a number (as written: "miss_2",
// "miss_2.5"), not one of the other lines the game reads there, miss_<n>_<word>
// ("miss_7_next", "miss_10_endmovie").
bool isMissionKey(QLatin1String key);

// The mission lines of a file: its mission entries that are not "skip".
QList<int> missions(const StrDocument &document);
// Its mission entries, "skip" or not.
QList<int> missionKeys(const StrDocument &document);

// A mission line as the tab shows it: the number as written after "miss_",
// the briefing, and the flags after it that the tab does not show (" ,no_loadout,
// end" as the program writes them, with any spacing; nothing when the line
// does not end so, and the whole text is the briefing).
struct Mission {
    QString number;
    QString briefing;
    QString flags;
};
Mission mission(const StrDocument &document, int entry);

// `document` with the mission line `entry` holding `now` where it differs
// from `opened` (-1: a new mission line after the others).
StrDocument document(const StrDocument &document, int entry, const Mission &opened, const Mission &now);

} // namespace MissflagFile
