#pragma once

// Where a window goes so that it stands in the middle of the screen.
namespace Centring {

// The left (or top) edge of a window of outer size `windowExtent` centred on a
// screen of size `screenExtent`: the difference rounded to the nearest whole
// number (halves to even), then halved with the remainder dropped (toward zero).
// A window larger than the screen gets a negative edge.
int centredEdge(float screenExtent, float windowExtent);

} // namespace Centring
