#pragma once

#include "core/document/strdocument.h"

#include <array>

// newgame.str: the texts of the new-game screen. A new file has ten lines: the
// fixed "difficulty" entry, the mission title under "skip_training", two empty
// lines around "options" and "cancel", and the names of the three difficulty
// levels. An opened file keeps its own words for everything the tab does not show.
namespace NewgameFile {

inline constexpr QLatin1String FileName{"newgame.str"};

// The entries of the four boxes, in their order.
inline constexpr std::array<QLatin1String, 4> Keys{QLatin1String("skip_training"), QLatin1String("diff_0"),
                                                   QLatin1String("diff_1"), QLatin1String("diff_2")};

struct Texts {
    QString title;     // the mission title
    QString easy;      // diff_0
    QString middle;    // diff_1
    QString hardest;   // diff_2

    bool operator==(const Texts &) const = default;
};

// The file a new newgame.str starts from: the ten lines with empty texts.
StrDocument newDocument();

// The texts of the four boxes in `document` (empty for an entry it lacks).
Texts texts(const StrDocument &document);

// `document` with each text that differs from `opened` written anew, each
// value escaped; an entry the file lacks is added after its other entries.
StrDocument document(const StrDocument &document, const Texts &opened, const Texts &texts);

} // namespace NewgameFile
