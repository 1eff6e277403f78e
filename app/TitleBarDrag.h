#pragma once

#include "framework/Control.h"

namespace orlit {

// Moves a frameless form while the left button drags one of its title-bar controls. The form
// follows the pointer's screen position, so the move stays exact however fast the mouse goes.
class TitleBarDrag {
 public:
  // Takes over the control's mouse-down, mouse-move and mouse-up events.
  void Attach(TControl* handle);
  bool Dragging() const { return dragging_; }

 private:
  void Begin(TControl* handle, TMouseButton button, TPoint at);
  void Follow(TControl* handle);

  bool dragging_ = false;
  TPoint grab_cursor_;
  TPoint grab_form_;
};

}  // namespace orlit
