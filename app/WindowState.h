#pragma once

#include <string>

namespace orlit {

class TForm1;

// The window's state as JSON, for tools and end-to-end tests: the focused control, the window's
// place and state, the title-bar caption, the texts of the fields, the lines of the memos, the
// captions of the labels, and every named control with its place, tab order and visibility.
std::string WindowStateJson(const TForm1& form);

}  // namespace orlit
