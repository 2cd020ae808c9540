#include "app/centring.h"

#include <cmath>

namespace Centring {

int centredEdge(float screenExtent, float windowExtent)
{
    const float difference = screenExtent - windowExtent;
    // The default rounding mode rounds halfway cases to the even neighbour.
    const long rounded = std::lrint(difference);
    return static_cast<int>(rounded / 2);
}

} // namespace Centring
