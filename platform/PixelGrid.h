#pragma once

#include <cmath>
#include <cstdint>

namespace orlit {

// The one rule between 96-dpi coordinates and device pixels at a device scale (1 to 4, whole or
// fractional): an edge e lies on the device edge floor(e * scale + 0.5), so neighbouring
// rectangles tile without gaps or overlaps at any scale. At scale 1 both are the same.
inline int64_t DeviceEdge(int64_t edge, double scale) {
  if (scale == 1) return edge;
  return static_cast<int64_t>(std::floor(static_cast<double>(edge) * scale + 0.5));
}

// The 96-dpi pixel whose device square holds device pixel `pixel`: the last one whose left edge
// lies at or before it, the exact inverse of DeviceEdge.
inline int64_t LogicalPixel(int64_t pixel, double scale) {
  if (scale == 1) return pixel;
  return static_cast<int64_t>(std::ceil((static_cast<double>(pixel) + 0.5) / scale)) - 1;
}

}  // namespace orlit
