#pragma once

namespace orlit {

// Horizontal placement of a control's text.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

}  // namespace orlit
