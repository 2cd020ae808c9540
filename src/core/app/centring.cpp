#include "core/app/centring.h"

#include <cmath>

namespace Centring {

int centredEdge(float screenExtent, float windowExtent)
{
    const float difference = screenExtent - windowExtent;
    // The default rounding mode rounds halfway cases to the even neighbour.
    const long rounded = std::lrint(difference);
    return static_cast<int>(rounded / 2);
}

QPoint centredTopLeft(const QRect &available, const QSize &outer)
{
    return available.topLeft()
        + QPoint(centredEdge(static_cast<float>(available.width()), static_cast<float>(outer.width())),
                 centredEdge(static_cast<float>(available.height()), static_cast<float>(outer.height())));
}

} // namespace Centring
