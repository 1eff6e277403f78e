#pragma once

#include "framework/Control.h"

namespace orlit {

// A control without a window of its own: it paints on its parent's surface, lies behind its
// windowed siblings and never has the focus (pictures, labels).
class TGraphicControl : public TControl {};

}  // namespace orlit
