#pragma once

#include <xcb/xcb.h>

#include <cstdint>

#include "platform/Geometry.h"
#include "platform/WindowSystem.h"
#include "platform/xcb/XcbConnection.h"

namespace orlit {

// What one window shows, kept by the server: a pixmap of the window's size that
// is also its background, so the server itself redraws whatever gets uncovered.
// The pixels go over the connection (no shared memory), so the program keeps no
// second copy of its frame. Needs a 24- or 32-bit true-colour screen, which
// every current desktop has.
class XcbSurface {
 public:
  // `size` in screen pixels. Throws EWindowSystemError on a screen of another
  // depth.
  XcbSurface(XcbConnection& connection, xcb_window_t window, TSize size);
  ~XcbSurface();
  XcbSurface(const XcbSurface&) = delete;
  XcbSurface& operator=(const XcbSurface&) = delete;

  TSize Size() const { return size_; }
  // Shows `area` of `frame` (screen pixels of the window, inside the frame).
  void Show(const FrameView& frame, const TRect& area);

 private:
  XcbConnection& connection_;
  xcb_window_t window_;
  TSize size_;
  std::uint8_t depth_;
  xcb_pixmap_t pixmap_ = 0;
  xcb_gcontext_t gc_ = 0;
};

}  // namespace orlit
