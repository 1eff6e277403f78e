#pragma once

#include <xcb/xcb.h>

#include <array>

#include "platform/WindowSystem.h"
#include "platform/xcb/XcbConnection.h"

struct xcb_cursor_context_t;

namespace orlit {

// The desktop's cursor theme, loaded when a shape is first needed: reading the theme takes a
// few milliseconds that the first frame need not wait for.
class XcbCursors {
 public:
  explicit XcbCursors(XcbConnection& connection) : connection_(connection) {}
  ~XcbCursors();
  XcbCursors(const XcbCursors&) = delete;
  XcbCursors& operator=(const XcbCursors&) = delete;

  // The cursor of `shape`; XCB_NONE (the parent's cursor) where the theme has none.
  xcb_cursor_t Get(CursorShape shape);

 private:
  XcbConnection& connection_;
  xcb_cursor_context_t* context_ = nullptr;
  std::array<xcb_cursor_t, 3> cursors_{};
  std::array<bool, 3> loaded_{};
};

}  // namespace orlit
