#pragma once

// The keyboard library, opened when the first keyboard is set up instead of linked: on X that is
// at the first key, so a start does not load it. XkbKeyboard.cpp includes this header, never
// xkbcommon's own: it declares the library's functions, then names each one used for its opened
// counterpart.
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace orlit {

#define ORLIT_XKB_FUNCTIONS(X)     \
  X(compose_state_feed)            \
  X(compose_state_get_status)      \
  X(compose_state_get_utf8)        \
  X(compose_state_new)             \
  X(compose_state_reset)           \
  X(compose_state_unref)           \
  X(compose_table_new_from_locale) \
  X(compose_table_unref)           \
  X(context_new)                   \
  X(context_unref)                 \
  X(keymap_key_get_syms_by_level)  \
  X(keymap_key_repeats)            \
  X(keymap_new_from_buffer)        \
  X(keymap_new_from_names)         \
  X(keymap_unref)                  \
  X(state_key_get_layout)          \
  X(state_key_get_one_sym)         \
  X(state_key_get_utf8)            \
  X(state_mod_name_is_active)      \
  X(state_new)                     \
  X(state_unref)                   \
  X(state_update_key)              \
  X(state_update_mask)

struct XkbLibrary {
#define ORLIT_XKB_MEMBER(name) decltype(&::xkb_##name) name = nullptr;
  ORLIT_XKB_FUNCTIONS(ORLIT_XKB_MEMBER)
#undef ORLIT_XKB_MEMBER

  // Kept for the life of the process once opened; null when the library or one of its functions
  // is missing.
  static const XkbLibrary* Get();
};

}  // namespace orlit

#define xkb_compose_state_feed (::orlit::XkbLibrary::Get()->compose_state_feed)
#define xkb_compose_state_get_status (::orlit::XkbLibrary::Get()->compose_state_get_status)
#define xkb_compose_state_get_utf8 (::orlit::XkbLibrary::Get()->compose_state_get_utf8)
#define xkb_compose_state_new (::orlit::XkbLibrary::Get()->compose_state_new)
#define xkb_compose_state_reset (::orlit::XkbLibrary::Get()->compose_state_reset)
#define xkb_compose_state_unref (::orlit::XkbLibrary::Get()->compose_state_unref)
#define xkb_compose_table_new_from_locale \
  (::orlit::XkbLibrary::Get()->compose_table_new_from_locale)
#define xkb_compose_table_unref (::orlit::XkbLibrary::Get()->compose_table_unref)
#define xkb_context_new (::orlit::XkbLibrary::Get()->context_new)
#define xkb_context_unref (::orlit::XkbLibrary::Get()->context_unref)
#define xkb_keymap_key_get_syms_by_level (::orlit::XkbLibrary::Get()->keymap_key_get_syms_by_level)
#define xkb_keymap_key_repeats (::orlit::XkbLibrary::Get()->keymap_key_repeats)
#define xkb_keymap_new_from_buffer (::orlit::XkbLibrary::Get()->keymap_new_from_buffer)
#define xkb_keymap_new_from_names (::orlit::XkbLibrary::Get()->keymap_new_from_names)
#define xkb_keymap_unref (::orlit::XkbLibrary::Get()->keymap_unref)
#define xkb_state_key_get_layout (::orlit::XkbLibrary::Get()->state_key_get_layout)
#define xkb_state_key_get_one_sym (::orlit::XkbLibrary::Get()->state_key_get_one_sym)
#define xkb_state_key_get_utf8 (::orlit::XkbLibrary::Get()->state_key_get_utf8)
#define xkb_state_mod_name_is_active (::orlit::XkbLibrary::Get()->state_mod_name_is_active)
#define xkb_state_new (::orlit::XkbLibrary::Get()->state_new)
#define xkb_state_unref (::orlit::XkbLibrary::Get()->state_unref)
#define xkb_state_update_key (::orlit::XkbLibrary::Get()->state_update_key)
#define xkb_state_update_mask (::orlit::XkbLibrary::Get()->state_update_mask)
