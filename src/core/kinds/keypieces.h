#pragma once

#include <QLatin1String>

// The fixed pieces from which the editors build the entry lines of the game's
// text files. A page entry of a new book reads Page_0:"text", a goal line
// fiction_0:"text": no blank after the colon. Inside the quotes the text is
// escaped as the document escapes every text (a quote \", a backslash \\).
namespace KeyPieces {

inline constexpr QLatin1String PageKeyPrefix{"Page_"};
inline constexpr QLatin1String PageValueOpen{":\""};

inline constexpr QLatin1String GoalFictionPrefix{"fiction_"};
inline constexpr QLatin1String GoalTextPrefix{"text_"};
inline constexpr QLatin1String GoalValueOpen{":\""};

// The second and third flag of the author's mission line in missflag.str.
// The first ends with a comma and a blank, so together they read "no_loadout, end".
inline constexpr QLatin1String LoadoutFlagWord{"no_loadout, "};
inline constexpr QLatin1String EndFlagWord{"end"};

} // namespace KeyPieces
