#include "platform/xcb/XcbCursors.h"

#include "platform/xcb/XcbCursorLibrary.h"

namespace orlit {

XcbCursors::~XcbCursors() {
  for (std::size_t i = 0; i < cursors_.size(); ++i) {
    if (cursors_[i] != XCB_NONE) xcb_free_cursor(connection_.Get(), cursors_[i]);
  }
  if (context_ != nullptr) xcb_cursor_context_free(context_);
}

xcb_cursor_t XcbCursors::Get(CursorShape shape) {
  const auto index = static_cast<std::size_t>(shape);
  if (loaded_[index]) return cursors_[index];
  loaded_[index] = true;
  if (context_ == nullptr) {
    if (XcbCursorLibrary::Get() == nullptr) return XCB_NONE;
    if (xcb_cursor_context_new(connection_.Get(), connection_.ScreenPointer(), &context_) < 0) {
      context_ = nullptr;
      return XCB_NONE;
    }
  }
  // Names every theme has, with the core cursor font behind them.
  static constexpr const char* kNames[] = {"left_ptr", "hand2", "xterm"};
  cursors_[index] = xcb_cursor_load_cursor(context_, kNames[index]);
  return cursors_[index];
}

}  // namespace orlit
