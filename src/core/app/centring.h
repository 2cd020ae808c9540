#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where a window goes so that it stands in the middle of the screen.
namespace Centring {

// The left (or top) edge of a window of outer size `windowExtent` centred on a
// screen of size `screenExtent`: the difference rounded to the nearest whole
// number (halves to even), then halved with the remainder dropped (toward zero).
// A window larger than the screen gets a negative edge.
int centredEdge(float screenExtent, float windowExtent);

// The top left corner of a window of outer size `outer` centred in `available`,
// the part of the screen that no taskbar or panel covers.
QPoint centredTopLeft(const QRect &available, const QSize &outer);

} // namespace Centring
