#pragma once

// The keyboard library's X part and xcb's XKB extension, opened with the first key instead of
// linked, like the keyboard library itself (platform/XkbLibrary.h). XcbKeyboard.cpp includes this
// header, never theirs.
// xcb's XKB header names a structure field "explicit", a keyword in C++.
#define explicit explicit_components
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>

namespace orlit {

#define ORLIT_XKB_X11_FUNCTIONS(X)   \
  X(x11_get_core_keyboard_device_id) \
  X(x11_keymap_new_from_device)      \
  X(x11_setup_xkb_extension)         \
  X(x11_state_new_from_device)

#define ORLIT_XCB_XKB_FUNCTIONS(X) \
  X(per_client_flags)              \
  X(select_events_aux)

struct XkbX11Library {
#define ORLIT_XKB_X11_MEMBER(name) decltype(&::xkb_##name) name = nullptr;
#define ORLIT_XCB_XKB_MEMBER(name) decltype(&::xcb_xkb_##name) name = nullptr;
  ORLIT_XKB_X11_FUNCTIONS(ORLIT_XKB_X11_MEMBER)
  ORLIT_XCB_XKB_FUNCTIONS(ORLIT_XCB_XKB_MEMBER)
#undef ORLIT_XCB_XKB_MEMBER
#undef ORLIT_XKB_X11_MEMBER

  // Kept for the life of the process once opened; null when a library or one of its functions
  // is missing.
  static const XkbX11Library* Get();
};

}  // namespace orlit

#define xkb_x11_get_core_keyboard_device_id \
  (::orlit::XkbX11Library::Get()->x11_get_core_keyboard_device_id)
#define xkb_x11_keymap_new_from_device (::orlit::XkbX11Library::Get()->x11_keymap_new_from_device)
#define xkb_x11_setup_xkb_extension (::orlit::XkbX11Library::Get()->x11_setup_xkb_extension)
#define xkb_x11_state_new_from_device (::orlit::XkbX11Library::Get()->x11_state_new_from_device)
#define xcb_xkb_per_client_flags (::orlit::XkbX11Library::Get()->per_client_flags)
#define xcb_xkb_select_events_aux (::orlit::XkbX11Library::Get()->select_events_aux)
