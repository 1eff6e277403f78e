#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/VirtualKeys.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

namespace orlit {

class XcbConnection;

struct XkbUnref {
  void operator()(xkb_context* context) const;
  void operator()(xkb_keymap* keymap) const;
  void operator()(xkb_state* state) const;
  void operator()(xkb_compose_table* table) const;
  void operator()(xkb_compose_state* state) const;
};

// The keyboard as the desktop's key events see it: key codes, shift state and typed text
// (including dead keys and Multi_key sequences) from X key codes, by the keyboard's layout.
//
// With a server the modifier state follows the server's XKB state events, so keys pressed
// while another window had the focus count too. Without one (FromNames) Press and Release
// update the state themselves.
class XcbKeyboard {
 public:
  // The server's core keyboard, followed through its XKB events from now on; asks for
  // detectable auto-repeat, so a held key gives repeated presses without releases in between.
  // Throws EWindowSystemError when the server has no usable XKB extension.
  explicit XcbKeyboard(XcbConnection& connection);
  // A keymap built from layout names alone, with no server. Throws EWindowSystemError when the
  // layout cannot be compiled (unknown name, no keyboard configuration data installed).
  static std::unique_ptr<XcbKeyboard> FromNames(const char* layout, const char* variant = "");
  ~XcbKeyboard();
  XcbKeyboard(const XcbKeyboard&) = delete;
  XcbKeyboard& operator=(const XcbKeyboard&) = delete;

  struct KeyResult {
    int key = 0;           // a VK_ code; 0 for keys the desktop has no code for. A release
                           // gives the code of the press.
    ShiftState shift = 0;  // as held once the key went down or up
    bool repeat = false;   // a press of a key already down
    std::u32string text;   // printable characters typed (after composing); never controls
  };
  KeyResult Press(xcb_keycode_t keycode);
  KeyResult Release(xcb_keycode_t keycode);
  // Shift, Ctrl and Alt now; AltGr counts as Ctrl+Alt, as on the desktop.
  ShiftState Shift() const;

  // The window lost the keyboard focus: keys down now will go up unseen, so the next press of
  // one is no repeat; a dead key waiting for its letter is dropped.
  void ForgetKeysDown();

  // Takes the XKB events of this keyboard (keymap and state changes); false for all others.
  bool HandleEvent(const xcb_generic_event_t& event);

 private:
  XcbKeyboard(XcbConnection* connection, std::unique_ptr<xkb_context, XkbUnref> context);
  bool LoadServerKeymap();  // false when the server's keymap cannot be read
  void SelectServerEvents();
  std::uint32_t BaseSymbol(xcb_keycode_t keycode) const;
  int VirtualKey(xcb_keycode_t keycode) const;
  ShiftState ShiftOfOtherKeysDown() const;
  std::u32string TypedText(xcb_keycode_t keycode);
  void LoadCompose();

  XcbConnection* connection_;  // null without a server
  std::int32_t device_ = -1;
  std::uint8_t first_event_ = 0;
  std::unique_ptr<xkb_context, XkbUnref> context_;
  std::unique_ptr<xkb_keymap, XkbUnref> keymap_;
  std::unique_ptr<xkb_state, XkbUnref> state_;
  // Made on the first dead key or Multi_key: reading the compose table takes milliseconds.
  std::unique_ptr<xkb_compose_state, XkbUnref> compose_;
  bool compose_missing_ = false;
  // The code each key went down with, so its release names the same key even if Num Lock or the
  // layout changed meanwhile; kUp for keys not down.
  static constexpr int kUp = -1;
  std::array<int, 256> down_;
};

}  // namespace orlit
