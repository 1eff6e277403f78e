#pragma once

#include <cstddef>
#include <vector>

#include "platform/Geometry.h"

namespace orlit {

// The parts of a surface that must be painted again, kept as a few rectangles: a rectangle
// inside another one is dropped, and beyond kMaxRects the rectangles merge into their union.
class DirtyRegion {
 public:
  static constexpr std::size_t kMaxRects = 8;

  void Add(const TRect& rect);
  void Clear() { rects_.clear(); }
  bool Empty() const { return rects_.empty(); }
  const std::vector<TRect>& Rects() const { return rects_; }
  TRect Bounds() const;

 private:
  std::vector<TRect> rects_;
};

}  // namespace orlit
