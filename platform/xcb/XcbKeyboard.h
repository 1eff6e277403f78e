#pragma once

#include <xcb/xcb.h>

#include <cstdint>

#include "platform/XkbKeyboard.h"

namespace orlit {

class XcbConnection;

// The X server's core keyboard: its keymap and modifier state, followed through the server's XKB
// events, feed the shared key translation.
class XcbKeyboard {
 public:
  // Asks for detectable auto-repeat, so a held key gives repeated presses without releases in
  // between. Throws EWindowSystemError when the server has no usable XKB extension.
  explicit XcbKeyboard(XcbConnection& connection);
  XcbKeyboard(const XcbKeyboard&) = delete;
  XcbKeyboard& operator=(const XcbKeyboard&) = delete;

  using KeyResult = XkbKeyboard::KeyResult;
  KeyResult Press(xcb_keycode_t keycode) { return keys_.Press(keycode); }
  KeyResult Release(xcb_keycode_t keycode) { return keys_.Release(keycode); }
  void ForgetKeysDown() { keys_.ForgetKeysDown(); }

  // Takes the XKB events of this keyboard (keymap and state changes); false for all others.
  bool HandleEvent(const xcb_generic_event_t& event);

 private:
  bool LoadServerKeymap();  // false when the server's keymap cannot be read
  void SelectServerEvents();

  XcbConnection& connection_;
  std::int32_t device_ = -1;
  std::uint8_t first_event_ = 0;
  XkbKeyboard keys_;
};

}  // namespace orlit
