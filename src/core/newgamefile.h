#pragma once

#include "core/filecontent.h"

// newgame.str: the texts of the new-game screen. Ten lines: the fixed
// "difficulty" entry, the mission title under "skip_training", two empty lines
// around "options" and "cancel", and the names of the three difficulty levels.
namespace NewgameFile {

inline constexpr QLatin1String FileName{"newgame.str"};

struct Texts {
    QString title;     // the mission title
    QString easy;      // diff_0
    QString middle;    // diff_1
    QString hardest;   // diff_2

    bool operator==(const Texts &) const = default;
};

// The ten lines, each value between double quotes exactly as typed.
FileContent content(const Texts &texts);

} // namespace NewgameFile
