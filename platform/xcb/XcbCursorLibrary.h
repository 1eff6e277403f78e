#pragma once

// xcb's cursor library, opened when the first cursor is asked for instead of linked: it brings
// three more libraries, and a window the pointer never enters needs none of them. XcbCursors.cpp
// includes this header, never the library's: it declares the library's functions, then names
// each one used for its opened counterpart.
#include <xcb/xcb_cursor.h>

namespace orlit {

#define ORLIT_XCB_CURSOR_FUNCTIONS(X) \
  X(context_free)                     \
  X(context_new)                      \
  X(load_cursor)

struct XcbCursorLibrary {
#define ORLIT_XCB_CURSOR_MEMBER(name) decltype(&::xcb_cursor_##name) name = nullptr;
  ORLIT_XCB_CURSOR_FUNCTIONS(ORLIT_XCB_CURSOR_MEMBER)
#undef ORLIT_XCB_CURSOR_MEMBER

  // Kept for the life of the process once opened; null when the library or one of its functions
  // is missing, which leaves the server's default cursor.
  static const XcbCursorLibrary* Get();
};

}  // namespace orlit

#define xcb_cursor_context_free (::orlit::XcbCursorLibrary::Get()->context_free)
#define xcb_cursor_context_new (::orlit::XcbCursorLibrary::Get()->context_new)
#define xcb_cursor_load_cursor (::orlit::XcbCursorLibrary::Get()->load_cursor)
