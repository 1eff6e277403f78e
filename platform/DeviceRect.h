#pragma once

#include "platform/Geometry.h"
#include "platform/PixelGrid.h"

namespace orlit {

// The device pixels a 96-dpi rectangle covers at `scale`: each edge by the one edge rule.
inline TRect DeviceRect(const TRect& logical, double scale) {
  return TRect{static_cast<int>(DeviceEdge(logical.Left, scale)),
               static_cast<int>(DeviceEdge(logical.Top, scale)),
               static_cast<int>(DeviceEdge(logical.Right, scale)),
               static_cast<int>(DeviceEdge(logical.Bottom, scale))};
}

}  // namespace orlit
