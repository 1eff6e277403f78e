#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/VirtualKeys.h"
#include "platform/WindowSystem.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

namespace orlit {

struct XkbUnref {
  void operator()(xkb_context* context) const;
  void operator()(xkb_keymap* keymap) const;
  void operator()(xkb_state* state) const;
  void operator()(xkb_compose_table* table) const;
  void operator()(xkb_compose_state* state) const;
};

// The keyboard as the desktop's key events see it: key codes, shift state and typed text
// (including dead keys and Multi_key sequences) from XKB key codes (evdev codes plus 8), by the
// keyboard's layout. Both display backends use it; each gives it the keymap its server sends.
//
// Where the server reports the modifier state (SetModifiers), keys pressed while another window
// had the focus count too. Without one (FromNames) Press and Release update the state
// themselves.
class XkbKeyboard {
 public:
  // A keyboard that takes its keymap and modifiers from a server. It has no keymap until one is
  // given; keys then translate to nothing.
  XkbKeyboard();
  // A keymap built from layout names alone, with no server. Throws EWindowSystemError when the
  // layout cannot be compiled (unknown name, no keyboard configuration data installed).
  static std::unique_ptr<XkbKeyboard> FromNames(const char* layout, const char* variant = "");
  ~XkbKeyboard();
  XkbKeyboard(const XkbKeyboard&) = delete;
  XkbKeyboard& operator=(const XkbKeyboard&) = delete;

  xkb_context* Context() const { return context_.get(); }
  // Replaces the keymap and its state; keys down under the old one are forgotten, since their
  // codes may mean other keys now.
  void SetKeymap(std::unique_ptr<xkb_keymap, XkbUnref> keymap,
                 std::unique_ptr<xkb_state, XkbUnref> state);
  // A keymap in the text format; false (the old keymap stays) when it does not compile.
  bool SetKeymapText(std::string_view text);
  bool HasKeymap() const { return state_ != nullptr; }
  // The modifier and group state as the server reports it.
  void SetModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                    std::uint32_t depressed_group, std::uint32_t latched_group,
                    std::uint32_t locked_group);

  struct KeyResult {
    int key = 0;           // a VK_ code; 0 for keys the desktop has no code for. A release
                           // gives the code of the press.
    ShiftState shift = 0;  // as held once the key went down or up
    bool repeat = false;   // a press of a key already down
    std::u32string text;   // printable characters typed (after composing); never controls
  };
  KeyResult Press(std::uint32_t keycode);
  KeyResult Release(std::uint32_t keycode);
  // Shift, Ctrl and Alt now; AltGr counts as Ctrl+Alt, as on the desktop.
  ShiftState Shift() const;
  // Whether holding the key repeats it, as the keymap says.
  bool Repeats(std::uint32_t keycode) const;

  // The window lost the keyboard focus: keys down now will go up unseen, so the next press of
  // one is no repeat; a dead key waiting for its letter is dropped.
  void ForgetKeysDown();

 private:
  XkbKeyboard(std::unique_ptr<xkb_context, XkbUnref> context, bool own_state);
  std::uint32_t BaseSymbol(std::uint32_t keycode) const;
  int VirtualKey(std::uint32_t keycode) const;
  ShiftState ShiftOfOtherKeysDown() const;
  std::u32string TypedText(std::uint32_t keycode);
  void LoadCompose();

  bool own_state_;  // no server: Press and Release update the state
  std::unique_ptr<xkb_context, XkbUnref> context_;
  std::unique_ptr<xkb_keymap, XkbUnref> keymap_;
  std::unique_ptr<xkb_state, XkbUnref> state_;
  // Made on the first dead key or Multi_key: reading the compose table takes milliseconds.
  std::unique_ptr<xkb_compose_state, XkbUnref> compose_;
  bool compose_missing_ = false;
  // The code each key went down with, so its release names the same key even if Num Lock or the
  // layout changed meanwhile; kUp for keys not down. Key codes beyond the table are not
  // followed.
  static constexpr int kUp = -1;
  std::array<int, 1024> down_;
};

// The events of a key going down or up, for the window's queue (the window left unset): the
// key-down or key-up when the key has a code, then after a press its control character
// (ControlCharacterForKey) and the text it typed, one event per code point, unless Ctrl without
// Alt holds the text back. `buttons` are the mouse buttons held.
std::vector<Event> KeyEvents(const XkbKeyboard::KeyResult& result, bool pressed,
                             ShiftState buttons);

}  // namespace orlit
