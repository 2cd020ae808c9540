#pragma once

#include <QRect>

// Positions and sizes of the window layout are given in twips, 15 to a pixel.
namespace Twips {

inline constexpr int PerPixel = 15;

// Widgets on a tab page are positioned from the top of the tab control, tab
// strip included; the page itself starts below a strip of this height.
inline constexpr int TabStrip = 360;

constexpr int toPixels(int twips)
{
    return twips / PerPixel;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

// A rectangle given relative to the tab control, as a position on its page.
constexpr QRect onPage(int left, int top, int width, int height)
{
    return rect(left, top - TabStrip, width, height);
}

} // namespace Twips
