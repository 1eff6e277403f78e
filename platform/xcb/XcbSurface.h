#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <vector>

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
  // Copies `area` of `frame` (screen pixels of the window, inside the frame) into the pixmap;
  // nothing of `frame` is referred to afterwards. The window shows it at the next Reveal, so
  // that the program can give back its frame's pages before the picture appears.
  void Show(const FrameView& frame, const TRect& area);
  // Has the window show every area copied since the last call (sent with the next flush).
  void Reveal();

 private:
  XcbConnection& connection_;
  xcb_window_t window_;
  TSize size_;
  std::uint8_t depth_;
  xcb_pixmap_t pixmap_ = 0;
  xcb_gcontext_t gc_ = 0;
  std::vector<TRect> unrevealed_;
};

}  // namespace orlit
