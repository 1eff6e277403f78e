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

std::vector<char32_t> DecodeUtf8(std::string_view text) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::vector<char32_t> out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, value = lead & 0x1Fu, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, value = lead & 0x0Fu, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, value = lead & 0x07u, minimum = 0x10000;
    } else {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    int taken = 1;
    while (taken < length && i + static_cast<std::size_t>(taken) < text.size()) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(taken)]);
      if ((next & 0xC0u) != 0x80u) break;
      value = (value << 6) | (next & 0x3Fu);
      ++taken;
    }
    const bool complete = taken == length;
    if (!complete || value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      out.push_back(kReplacement);
    } else {
      out.push_back(value);
    }
    // A broken sequence gives up at the first byte that does not continue it, so that byte is
    // read again as the start of the next character.
    i += static_cast<std::size_t>(taken);
  }
  return out;
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
