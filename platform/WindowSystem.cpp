#include "platform/WindowSystem.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

namespace orlit {

TSize CheckedWindowSize(TSize size) {
  if (size.cx > kMaxWindowDimension || size.cy > kMaxWindowDimension) {
    throw EWindowSystemError("Window size " + std::to_string(size.cx) + " x " +
                             std::to_string(size.cy) + " is too large");
  }
  return {std::max(size.cx, 1), std::max(size.cy, 1)};
}

bool IsInputEvent(EventType type) {
  switch (type) {
    case EventType::kKeyDown:
    case EventType::kKeyUp:
    case EventType::kCharacter:
    case EventType::kMouseMove:
    case EventType::kMouseDown:
    case EventType::kMouseUp:
    case EventType::kMouseDoubleClick:
    case EventType::kMouseWheel:
    case EventType::kCloseRequest:
      return true;
    default:
      return false;
  }
}

ShiftState ShiftStateOfButton(MouseButton button) {
  switch (button) {
    case MouseButton::kLeft:
      return kShiftStateLeft;
    case MouseButton::kRight:
      return kShiftStateRight;
    case MouseButton::kMiddle:
      return kShiftStateMiddle;
  }
  return 0;
}

ShiftState ShiftStateOfModifierKey(int key) {
  switch (key) {
    case VK_SHIFT:
      return kShiftStateShift;
    case VK_CONTROL:
      return kShiftStateCtrl;
    case VK_MENU:
      return kShiftStateAlt;
    default:
      return 0;
  }
}

char32_t ControlCharacterForKey(int key, ShiftState shift) {
  if (shift & kShiftStateAlt) return 0;
  const bool ctrl = (shift & kShiftStateCtrl) != 0;
  switch (key) {
    case VK_BACK:
      return ctrl ? 127 : 8;
    case VK_TAB:
      return ctrl ? 0 : 9;
    case VK_RETURN:
      return ctrl ? 10 : 13;
    case VK_ESCAPE:
      return 27;
    default:
      break;
  }
  if (ctrl && key >= 'A' && key <= 'Z') return static_cast<char32_t>(key - 'A' + 1);
  return 0;
}

bool TextInputAllowed(ShiftState shift) {
  return (shift & kShiftStateCtrl) == 0 || (shift & kShiftStateAlt) != 0;
}

FrameView FrameView::Of(const PixelImage& image) {
  return {image.Pixels().data(), image.Width(), image.Height(), image.Width() * 4};
}

bool FrameView::IsValid() const {
  if (pixels == nullptr || width < 0 || height < 0) return false;
  if (width > std::numeric_limits<int>::max() / 4) return false;
  return height <= 1 || stride_bytes >= width * 4;
}

}  // namespace orlit
