#pragma once

#include "framework/Alignment.h"

namespace orlit {

// Vertical placement of an editor's text.
enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };

}  // namespace orlit
