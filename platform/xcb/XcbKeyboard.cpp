#include "platform/xcb/XcbKeyboard.h"

#include <cstring>

#include "platform/WindowSystem.h"
#include "platform/xcb/XcbConnection.h"
#include "platform/xcb/XkbX11Library.h"

namespace orlit {

namespace {

// The fields every XKB event starts with.
struct XkbEventHead {
  std::uint8_t response_type;
  std::uint8_t xkb_type;
  std::uint16_t sequence;
  xcb_timestamp_t time;
  std::uint8_t device;
};

template <class Event>
Event EventAs(const xcb_generic_event_t& event) {
  static_assert(sizeof(Event) <= sizeof(xcb_generic_event_t));
  Event typed;
  std::memcpy(&typed, &event, sizeof typed);
  return typed;
}

}  // namespace

XcbKeyboard::XcbKeyboard(XcbConnection& connection) : connection_(connection) {
  if (XkbX11Library::Get() == nullptr) {
    throw EWindowSystemError(
        "Cannot read the keyboard from the display: libxkbcommon-x11.so.0 or libxcb-xkb.so.1 is "
        "missing");
  }
  if (xkb_x11_setup_xkb_extension(
          connection.Get(), XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
          XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &first_event_, nullptr) == 0) {
    throw EWindowSystemError("The display has no keyboard extension (XKB)");
  }
  device_ = xkb_x11_get_core_keyboard_device_id(connection.Get());
  if (device_ < 0 || !LoadServerKeymap()) {
    throw EWindowSystemError("Cannot read the keyboard layout from the display");
  }
  SelectServerEvents();
}

bool XcbKeyboard::LoadServerKeymap() {
  std::unique_ptr<xkb_keymap, XkbUnref> keymap(xkb_x11_keymap_new_from_device(
      keys_.Context(), connection_.Get(), device_, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return false;
  std::unique_ptr<xkb_state, XkbUnref> state(
      xkb_x11_state_new_from_device(keymap.get(), connection_.Get(), device_));
  if (!state) return false;
  keys_.SetKeymap(std::move(keymap), std::move(state));
  return true;
}

void XcbKeyboard::SelectServerEvents() {
  constexpr std::uint16_t kMapParts =
      XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP |
      XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS | XCB_XKB_MAP_PART_KEY_ACTIONS |
      XCB_XKB_MAP_PART_VIRTUAL_MODS | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
  constexpr std::uint16_t kStateParts =
      XCB_XKB_STATE_PART_MODIFIER_BASE | XCB_XKB_STATE_PART_MODIFIER_LATCH |
      XCB_XKB_STATE_PART_MODIFIER_LOCK | XCB_XKB_STATE_PART_GROUP_BASE |
      XCB_XKB_STATE_PART_GROUP_LATCH | XCB_XKB_STATE_PART_GROUP_LOCK;
  xcb_xkb_select_events_details_t details{};
  details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
  details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
  details.affectState = kStateParts;
  details.stateDetails = kStateParts;
  const auto device = static_cast<xcb_xkb_device_spec_t>(device_);
  xcb_xkb_select_events_aux(connection_.Get(), device,
                            XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY |
                                XCB_XKB_EVENT_TYPE_STATE_NOTIFY,
                            0, 0, kMapParts, kMapParts, &details);
  // Without detectable auto-repeat a held key would look like presses and releases in turn.
  const std::uint32_t flag = XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT;
  const xcb_xkb_per_client_flags_cookie_t cookie =
      xcb_xkb_per_client_flags(connection_.Get(), device, flag, flag, 0, 0, 0);
  xcb_discard_reply(connection_.Get(), cookie.sequence);
}

bool XcbKeyboard::HandleEvent(const xcb_generic_event_t& event) {
  if (XcbEventType(event) != first_event_) return false;
  const auto head = EventAs<XkbEventHead>(event);
  if (head.device != device_) return true;
  switch (head.xkb_type) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
      if (EventAs<xcb_xkb_new_keyboard_notify_event_t>(event).changed &
          XCB_XKB_NKN_DETAIL_KEYCODES) {
        LoadServerKeymap();
      }
      break;
    case XCB_XKB_MAP_NOTIFY:
      LoadServerKeymap();  // on failure the old keymap stays: better than none
      break;
    case XCB_XKB_STATE_NOTIFY: {
      const auto state = EventAs<xcb_xkb_state_notify_event_t>(event);
      keys_.SetModifiers(state.baseMods, state.latchedMods, state.lockedMods,
                         static_cast<std::uint32_t>(state.baseGroup),
                         static_cast<std::uint32_t>(state.latchedGroup), state.lockedGroup);
      break;
    }
    default:
      break;
  }
  return true;
}

}  // namespace orlit
