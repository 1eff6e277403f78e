#pragma once

#include "framework/WinControl.h"

namespace orlit {

// A windowed control that paints itself: its background, then Paint, then its children.
class TCustomControl : public TWinControl {};

}  // namespace orlit
