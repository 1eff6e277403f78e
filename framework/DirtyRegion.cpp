#include "framework/DirtyRegion.h"

#include <algorithm>

namespace orlit {

namespace {

bool Covers(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

}  // namespace

void DirtyRegion::Add(const TRect& rect) {
  if (rect.IsEmpty()) return;
  for (const TRect& r : rects_) {
    if (Covers(r, rect)) return;
  }
  rects_.erase(std::remove_if(rects_.begin(), rects_.end(),
                              [&rect](const TRect& r) { return Covers(rect, r); }),
               rects_.end());
  rects_.push_back(rect);
  if (rects_.size() > kMaxRects) {
    const TRect all = Bounds();
    rects_.assign(1, all);
  }
}

TRect DirtyRegion::Bounds() const {
  TRect bounds;
  for (const TRect& r : rects_) bounds = bounds.Union(r);
  return bounds;
}

}  // namespace orlit
