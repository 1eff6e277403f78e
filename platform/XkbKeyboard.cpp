#include "platform/XkbKeyboard.h"

#include <linux/input-event-codes.h>

#include <cstdlib>
#include <cstring>
#include <span>

#include "convert/Utf8.h"
#include "platform/WindowSystem.h"
#include "platform/XkbLibrary.h"

namespace orlit {

void XkbUnref::operator()(xkb_context* context) const { xkb_context_unref(context); }
void XkbUnref::operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
void XkbUnref::operator()(xkb_state* state) const { xkb_state_unref(state); }
void XkbUnref::operator()(xkb_compose_table* table) const { xkb_compose_table_unref(table); }
void XkbUnref::operator()(xkb_compose_state* state) const { xkb_compose_state_unref(state); }

namespace {

struct SymbolKey {
  xkb_keysym_t symbol;
  int key;
};

// clang-format off
constexpr SymbolKey kSymbolKeys[] = {
    {XKB_KEY_Return, VK_RETURN}, {XKB_KEY_KP_Enter, VK_RETURN}, {XKB_KEY_BackSpace, VK_BACK},
    {XKB_KEY_Tab, VK_TAB}, {XKB_KEY_ISO_Left_Tab, VK_TAB}, {XKB_KEY_Escape, VK_ESCAPE},
    {XKB_KEY_space, VK_SPACE}, {XKB_KEY_Prior, VK_PRIOR}, {XKB_KEY_Next, VK_NEXT},
    {XKB_KEY_End, VK_END}, {XKB_KEY_Home, VK_HOME}, {XKB_KEY_Left, VK_LEFT}, {XKB_KEY_Up, VK_UP},
    {XKB_KEY_Right, VK_RIGHT}, {XKB_KEY_Down, VK_DOWN}, {XKB_KEY_Insert, VK_INSERT},
    {XKB_KEY_Delete, VK_DELETE}, {XKB_KEY_Clear, VK_CLEAR}, {XKB_KEY_Help, VK_HELP},
    {XKB_KEY_Pause, VK_PAUSE}, {XKB_KEY_Print, VK_SNAPSHOT}, {XKB_KEY_Caps_Lock, VK_CAPITAL},
    {XKB_KEY_Num_Lock, VK_NUMLOCK}, {XKB_KEY_Scroll_Lock, VK_SCROLL}, {XKB_KEY_Shift_L, VK_SHIFT},
    {XKB_KEY_Shift_R, VK_SHIFT}, {XKB_KEY_Control_L, VK_CONTROL}, {XKB_KEY_Control_R, VK_CONTROL},
    {XKB_KEY_Alt_L, VK_MENU}, {XKB_KEY_Alt_R, VK_MENU}, {XKB_KEY_Meta_L, VK_MENU},
    {XKB_KEY_Meta_R, VK_MENU}, {XKB_KEY_ISO_Level3_Shift, VK_MENU}, {XKB_KEY_Super_L, VK_LWIN},
    {XKB_KEY_Super_R, VK_RWIN}, {XKB_KEY_Menu, VK_APPS}, {XKB_KEY_KP_Home, VK_HOME},
    {XKB_KEY_KP_Left, VK_LEFT}, {XKB_KEY_KP_Up, VK_UP}, {XKB_KEY_KP_Right, VK_RIGHT},
    {XKB_KEY_KP_Down, VK_DOWN}, {XKB_KEY_KP_Prior, VK_PRIOR}, {XKB_KEY_KP_Next, VK_NEXT},
    {XKB_KEY_KP_End, VK_END}, {XKB_KEY_KP_Begin, VK_CLEAR}, {XKB_KEY_KP_Insert, VK_INSERT},
    {XKB_KEY_KP_Delete, VK_DELETE}, {XKB_KEY_KP_Decimal, VK_DECIMAL},
    {XKB_KEY_KP_Separator, VK_DECIMAL}, {XKB_KEY_KP_Divide, VK_DIVIDE},
    {XKB_KEY_KP_Multiply, VK_MULTIPLY}, {XKB_KEY_KP_Subtract, VK_SUBTRACT},
    {XKB_KEY_KP_Add, VK_ADD}, {XKB_KEY_semicolon, VK_OEM_1}, {XKB_KEY_equal, VK_OEM_PLUS},
    {XKB_KEY_comma, VK_OEM_COMMA}, {XKB_KEY_minus, VK_OEM_MINUS}, {XKB_KEY_period, VK_OEM_PERIOD},
    {XKB_KEY_slash, VK_OEM_2}, {XKB_KEY_grave, VK_OEM_3}, {XKB_KEY_bracketleft, VK_OEM_4},
    {XKB_KEY_backslash, VK_OEM_5}, {XKB_KEY_bracketright, VK_OEM_6}, {XKB_KEY_apostrophe, VK_OEM_7},
};
// clang-format on

int KeyFromSymbol(xkb_keysym_t symbol) {
  if (symbol >= XKB_KEY_a && symbol <= XKB_KEY_z) return 'A' + static_cast<int>(symbol - XKB_KEY_a);
  if (symbol >= XKB_KEY_A && symbol <= XKB_KEY_Z) return 'A' + static_cast<int>(symbol - XKB_KEY_A);
  if (symbol >= XKB_KEY_0 && symbol <= XKB_KEY_9) return '0' + static_cast<int>(symbol - XKB_KEY_0);
  if (symbol >= XKB_KEY_F1 && symbol <= XKB_KEY_F24) {
    return VK_F1 + static_cast<int>(symbol - XKB_KEY_F1);
  }
  if (symbol >= XKB_KEY_KP_0 && symbol <= XKB_KEY_KP_9) {
    return VK_NUMPAD0 + static_cast<int>(symbol - XKB_KEY_KP_0);
  }
  for (const SymbolKey& entry : kSymbolKeys) {
    if (entry.symbol == symbol) return entry.key;
  }
  return 0;
}

// The four rows of a US keyboard from their first key (evdev codes: X key codes less 8).
struct KeyRow {
  int first_code;
  std::span<const int> keys;
};
// clang-format off
constexpr int kDigitRow[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0', VK_OEM_MINUS,
                             VK_OEM_PLUS};
constexpr int kTopRow[] = {'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I', 'O', 'P', VK_OEM_4, VK_OEM_6};
constexpr int kHomeRow[] = {'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', VK_OEM_1, VK_OEM_7,
                            VK_OEM_3};
constexpr int kBottomRow[] = {VK_OEM_5, 'Z', 'X', 'C', 'V', 'B', 'N', 'M', VK_OEM_COMMA,
                              VK_OEM_PERIOD, VK_OEM_2};
// clang-format on
constexpr KeyRow kUsRows[] = {
    {KEY_1, kDigitRow}, {KEY_Q, kTopRow}, {KEY_A, kHomeRow}, {KEY_BACKSLASH, kBottomRow}};

// Keys whose symbol is a character without a code ("ă", "ș", "ü") keep the code of the key at
// that place on a US keyboard, as the desktop gives them.
int KeyAtUsPlace(std::uint32_t keycode) {
  const int code = static_cast<int>(keycode) - 8;
  if (code == KEY_102ND) return VK_OEM_102;
  for (const KeyRow& row : kUsRows) {
    const int column = code - row.first_code;
    if (column >= 0 && column < static_cast<int>(row.keys.size())) return row.keys[column];
  }
  return 0;
}

bool IsKeypadSymbol(xkb_keysym_t symbol) {
  return symbol >= XKB_KEY_KP_Space && symbol <= XKB_KEY_KP_Equal;
}

// What a modifier key adds to the shift state while it is down.
ShiftState ShiftOfSymbol(xkb_keysym_t symbol) {
  if (symbol == XKB_KEY_ISO_Level3_Shift) return kShiftStateCtrl | kShiftStateAlt;  // AltGr
  return ShiftStateOfModifierKey(KeyFromSymbol(symbol));
}

bool StartsComposing(xkb_keysym_t symbol) {
  return symbol == XKB_KEY_Multi_key ||
         (symbol >= XKB_KEY_dead_grave && symbol <= XKB_KEY_dead_longsolidusoverlay);
}

std::u32string PrintableText(const char* utf8) {
  std::u32string text;
  for (char32_t c : ToCodePoints(utf8)) {
    if (c >= 0x20 && (c < 0x7F || c >= 0xA0)) text.push_back(c);
  }
  return text;
}

// The locale whose compose sequences apply, as the C library would choose it.
const char* ComposeLocale() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

std::unique_ptr<xkb_context, XkbUnref> NewContext(xkb_context_flags flags) {
  if (XkbLibrary::Get() == nullptr) {
    throw EWindowSystemError("Cannot set up the keyboard: libxkbcommon.so.0 is missing");
  }
  std::unique_ptr<xkb_context, XkbUnref> context(xkb_context_new(flags));
  if (!context) throw EWindowSystemError("Cannot set up the keyboard");
  return context;
}

}  // namespace

XkbKeyboard::XkbKeyboard(std::unique_ptr<xkb_context, XkbUnref> context, bool own_state)
    : own_state_(own_state), context_(std::move(context)) {
  down_.fill(kUp);
}

XkbKeyboard::XkbKeyboard() : XkbKeyboard(NewContext(XKB_CONTEXT_NO_FLAGS), false) {}

std::unique_ptr<XkbKeyboard> XkbKeyboard::FromNames(const char* layout, const char* variant) {
  std::unique_ptr<XkbKeyboard> keyboard(
      new XkbKeyboard(NewContext(XKB_CONTEXT_NO_ENVIRONMENT_NAMES), true));
  const xkb_rule_names names{"evdev", "pc105", layout, variant, ""};
  keyboard->keymap_.reset(
      xkb_keymap_new_from_names(keyboard->context_.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (keyboard->keymap_) keyboard->state_.reset(xkb_state_new(keyboard->keymap_.get()));
  if (!keyboard->state_) {
    throw EWindowSystemError("Cannot build the keyboard layout \"" + std::string(layout) + "\"");
  }
  return keyboard;
}

XkbKeyboard::~XkbKeyboard() = default;

void XkbKeyboard::SetKeymap(std::unique_ptr<xkb_keymap, XkbUnref> keymap,
                            std::unique_ptr<xkb_state, XkbUnref> state) {
  keymap_ = std::move(keymap);
  state_ = std::move(state);
  ForgetKeysDown();
}

bool XkbKeyboard::SetKeymapText(std::string_view text) {
  std::unique_ptr<xkb_keymap, XkbUnref> keymap(
      xkb_keymap_new_from_buffer(context_.get(), text.data(), text.size(),
                                 XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
  if (!keymap) return false;
  std::unique_ptr<xkb_state, XkbUnref> state(xkb_state_new(keymap.get()));
  if (!state) return false;
  SetKeymap(std::move(keymap), std::move(state));
  return true;
}

void XkbKeyboard::SetModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked,
                               std::uint32_t depressed_group, std::uint32_t latched_group,
                               std::uint32_t locked_group) {
  if (!state_) return;
  xkb_state_update_mask(state_.get(), depressed, latched, locked, depressed_group, latched_group,
                        locked_group);
}

bool XkbKeyboard::Repeats(std::uint32_t keycode) const {
  return keymap_ && xkb_keymap_key_repeats(keymap_.get(), keycode) != 0;
}

XkbKeyboard::KeyResult XkbKeyboard::Press(std::uint32_t keycode) {
  KeyResult result;
  if (!state_ || keycode >= down_.size()) return result;
  result.repeat = down_[keycode] != kUp;
  // A repeated press must not apply the key's action again (Caps Lock would toggle back).
  if (own_state_ && !result.repeat) xkb_state_update_key(state_.get(), keycode, XKB_KEY_DOWN);
  result.key = VirtualKey(keycode);
  down_[keycode] = result.key;
  // The server reports the state a modifier key makes only after its own event.
  result.shift = Shift() | ShiftOfSymbol(BaseSymbol(keycode));
  result.text = TypedText(keycode);
  return result;
}

XkbKeyboard::KeyResult XkbKeyboard::Release(std::uint32_t keycode) {
  KeyResult result;
  if (!state_ || keycode >= down_.size()) return result;
  result.key = down_[keycode] != kUp ? down_[keycode] : VirtualKey(keycode);
  down_[keycode] = kUp;
  if (own_state_) xkb_state_update_key(state_.get(), keycode, XKB_KEY_UP);
  result.shift = Shift();
  if (const ShiftState own = ShiftOfSymbol(BaseSymbol(keycode)); own != 0) {
    result.shift = static_cast<ShiftState>(result.shift & ~own) | ShiftOfOtherKeysDown();
  }
  return result;
}

void XkbKeyboard::ForgetKeysDown() {
  down_.fill(kUp);
  // A dead key pressed before the focus went elsewhere must not change a letter typed later.
  if (compose_) xkb_compose_state_reset(compose_.get());
}

ShiftState XkbKeyboard::Shift() const {
  if (!state_) return 0;
  const auto active = [this](const char* name) {
    return xkb_state_mod_name_is_active(state_.get(), name, XKB_STATE_MODS_EFFECTIVE) > 0;
  };
  ShiftState shift = 0;
  if (active(XKB_MOD_NAME_SHIFT)) shift |= kShiftStateShift;
  if (active(XKB_MOD_NAME_CTRL)) shift |= kShiftStateCtrl;
  if (active(XKB_MOD_NAME_ALT)) shift |= kShiftStateAlt;
  // AltGr: the keyboard configuration data puts the third-level shift on Mod5.
  if (active("Mod5")) shift |= kShiftStateCtrl | kShiftStateAlt;
  return shift;
}

ShiftState XkbKeyboard::ShiftOfOtherKeysDown() const {
  ShiftState shift = 0;
  for (std::size_t keycode = 0; keycode < down_.size(); ++keycode) {
    if (down_[keycode] != kUp)
      shift |= ShiftOfSymbol(BaseSymbol(static_cast<std::uint32_t>(keycode)));
  }
  return shift;
}

std::uint32_t XkbKeyboard::BaseSymbol(std::uint32_t keycode) const {
  const xkb_layout_index_t layout = xkb_state_key_get_layout(state_.get(), keycode);
  const xkb_keysym_t* symbols = nullptr;
  if (layout == XKB_LAYOUT_INVALID ||
      xkb_keymap_key_get_syms_by_level(keymap_.get(), keycode, layout, 0, &symbols) != 1) {
    return XKB_KEY_NoSymbol;
  }
  return symbols[0];
}

// The code follows the key's unshifted symbol, so Shift+7 is still '7' where it types "/".
// Keypad keys are the exception: Num Lock (and Shift) decide between digit and navigation.
int XkbKeyboard::VirtualKey(std::uint32_t keycode) const {
  const xkb_keysym_t base = BaseSymbol(keycode);
  int key = 0;
  if (IsKeypadSymbol(base)) key = KeyFromSymbol(xkb_state_key_get_one_sym(state_.get(), keycode));
  if (key == 0) key = KeyFromSymbol(base);
  return key != 0 ? key : KeyAtUsPlace(keycode);
}

std::u32string XkbKeyboard::TypedText(std::uint32_t keycode) {
  const xkb_keysym_t symbol = xkb_state_key_get_one_sym(state_.get(), keycode);
  if (!compose_ && !compose_missing_ && StartsComposing(symbol)) LoadCompose();
  char utf8[64] = {};
  if (compose_ && xkb_compose_state_feed(compose_.get(), symbol) == XKB_COMPOSE_FEED_ACCEPTED) {
    switch (xkb_compose_state_get_status(compose_.get())) {
      case XKB_COMPOSE_COMPOSING:
        return {};
      case XKB_COMPOSE_CANCELLED:  // a key that ends no sequence is swallowed with it
        xkb_compose_state_reset(compose_.get());
        return {};
      case XKB_COMPOSE_COMPOSED:
        xkb_compose_state_get_utf8(compose_.get(), utf8, sizeof utf8);
        xkb_compose_state_reset(compose_.get());
        return PrintableText(utf8);
      case XKB_COMPOSE_NOTHING:
        break;
    }
  }
  xkb_state_key_get_utf8(state_.get(), keycode, utf8, sizeof utf8);
  return PrintableText(utf8);
}

void XkbKeyboard::LoadCompose() {
  const char* locale = ComposeLocale();
  std::unique_ptr<xkb_compose_table, XkbUnref> table(
      xkb_compose_table_new_from_locale(context_.get(), locale, XKB_COMPOSE_COMPILE_NO_FLAGS));
  if (!table && std::strcmp(locale, "C") != 0) {
    table.reset(
        xkb_compose_table_new_from_locale(context_.get(), "C", XKB_COMPOSE_COMPILE_NO_FLAGS));
  }
  // The compose state keeps its own reference to the table.
  if (table) compose_.reset(xkb_compose_state_new(table.get(), XKB_COMPOSE_STATE_NO_FLAGS));
  compose_missing_ = !compose_;
}

std::vector<Event> KeyEvents(const XkbKeyboard::KeyResult& result, bool pressed,
                             ShiftState buttons) {
  std::vector<Event> events;
  Event event;
  event.shift = result.shift | buttons;
  if (result.key != 0) {
    event.type = pressed ? EventType::kKeyDown : EventType::kKeyUp;
    event.key = result.key;
    event.repeat = result.repeat;
    events.push_back(event);
  }
  if (!pressed) return events;
  event.key = 0;
  event.repeat = false;
  event.type = EventType::kCharacter;
  if (result.key != 0) {
    if (const char32_t control = ControlCharacterForKey(result.key, event.shift)) {
      event.character = control;
      events.push_back(event);
    }
  }
  if (!TextInputAllowed(event.shift)) return events;
  for (char32_t c : result.text) {
    event.character = c;
    events.push_back(event);
  }
  return events;
}

}  // namespace orlit
