#pragma once

#include "framework/CustomControl.h"

namespace orlit {

// The windowed control every control of the editor library derives from. The scroll bars and
// drag support it carries for the data-aware grids are not part of this system; what the editors
// share starts with TcxContainer.
class TcxControl : public TCustomControl {};

}  // namespace orlit
