#pragma once

#include <string>

#include "framework/EditText.h"

namespace orlit {

// An edit's state written as its text with "|" at the caret and "^" at the anchor when they
// differ: "ab^cd|" has "cd" selected with the caret after it.
struct MarkedText {
  std::u32string text;
  int anchor = 0;
  int caret = 0;
};

inline MarkedText ParseMarkedText(const std::string& marked) {
  MarkedText state;
  int anchor = -1;
  for (char32_t c : ToCodePoints(marked)) {
    const int at = static_cast<int>(state.text.size());
    if (c == U'|') {
      state.caret = at;
    } else if (c == U'^') {
      anchor = at;
    } else {
      state.text += c;
    }
  }
  state.anchor = anchor < 0 ? state.caret : anchor;
  return state;
}

}  // namespace orlit
