#pragma once

#include <QLatin1String>

// Texts of the program's own that stand in its captions and About texts.
namespace Credits {

// Follows the program's name in the window captions and the About texts.
inline constexpr QLatin1String CreditText{"for Mirkhold mission authors"};

inline constexpr QLatin1String DistributionNotice{
    "Quillwright is free to use and to pass on. You may share it with your missions, "
    "but not sell it. It comes with no warranty: keep copies of your mission files."};

inline constexpr QLatin1String ContactLine{"quillwright.example.org  -  quillwright@example.org"};

} // namespace Credits
