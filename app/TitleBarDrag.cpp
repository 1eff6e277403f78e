#include "app/TitleBarDrag.h"

#include "framework/Application.h"
#include "framework/Form.h"

namespace orlit {

void TitleBarDrag::Attach(TControl* handle) {
  handle->OnMouseDown = [this, handle](TObject*, TMouseButton button, TShiftState, int x, int y) {
    Begin(handle, button, {x, y});
  };
  handle->OnMouseMove = [this, handle](TObject*, TShiftState shift, int, int) {
    if (dragging_ && (shift & ssLeft) != 0) Follow(handle);
  };
  handle->OnMouseUp = [this, handle](TObject*, TMouseButton button, TShiftState, int, int) {
    if (button != mbLeft || !dragging_) return;
    // Once the button is up the desktop reports the pointer exactly; the last moves of a drag
    // may have been reported against a window position that was still changing.
    Follow(handle);
    dragging_ = false;
  };
}

void TitleBarDrag::Begin(TControl* handle, TMouseButton button, TPoint at) {
  TCustomForm* form = GetParentForm(handle);
  if (button != mbLeft || form == nullptr) return;
  // Where the desktop moves windows itself, following the pointer here would fight it.
  if (form->Window() != nullptr && form->Window()->BeginUserMove()) return;
  dragging_ = true;
  // Where the button went down, not where the pointer is by the time the press is handled: a
  // busy program would otherwise lose the first moves of a quick drag.
  grab_cursor_ = handle->ClientToScreen(at);
  grab_form_ = {form->Left(), form->Top()};
}

void TitleBarDrag::Follow(TControl* handle) {
  TCustomForm* form = GetParentForm(handle);
  if (form == nullptr) return;
  const TPoint cursor = Application->CursorPos();
  form->SetBounds(grab_form_.X + cursor.X - grab_cursor_.X,
                  grab_form_.Y + cursor.Y - grab_cursor_.Y, form->Width(), form->Height());
}

}  // namespace orlit
