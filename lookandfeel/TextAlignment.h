#pragma once

namespace orlit {

// Horizontal placement of an editor's text.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Vertical placement of an editor's text.
enum TcxEditVertAlignment { taTopJustify, taBottomJustify, taVCenter };

}  // namespace orlit
