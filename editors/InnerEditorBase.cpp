#include "editors/InnerEditorBase.h"

#include "editors/TextEdit.h"
#include "platform/VirtualKeys.h"

namespace orlit {

template <class Native>
void TcxInnerEditorBase<Native>::Change() {
  Native::Change();
  container_->InnerTextChanged(this->ChangingByUser());
}

template <class Native>
void TcxInnerEditorBase<Native>::KeyDown(int& key, TShiftState shift) {
  container_->KeyDown(key, shift);
  if (key == 0) return;
  this->NativeKeyDown(key, shift);
  if (key == 0) container_->InnerCaretPlaced();
}

template <class Native>
void TcxInnerEditorBase<Native>::KeyPress(char32_t& key) {
  if (key == kCharTab && !TakesTab()) {
    key = 0;
    return;
  }
  container_->KeyPress(key);
  if (key == 0) return;
  if ((key == kCharEnter || key == kCharEscape) && container_->IsInplace()) return;
  if (key == kCharEnter && !container_->BeepOnEnter()) return;
  this->NativeKeyPress(key);
}

template <class Native>
void TcxInnerEditorBase<Native>::KeyUp(int& key, TShiftState shift) {
  container_->KeyUp(key, shift);
}

template <class Native>
void TcxInnerEditorBase<Native>::MouseEnter() {
  Native::MouseEnter();
  container_->InnerMouseEnter();
}

template <class Native>
void TcxInnerEditorBase<Native>::MouseLeave() {
  Native::MouseLeave();
  container_->InnerMouseLeave();
}

template <class Native>
void TcxInnerEditorBase<Native>::MouseMove(TShiftState shift, int x, int y) {
  Native::MouseMove(shift, x, y);
  if (shift & ssLeft) container_->InnerCaretPlaced();
  container_->InnerMouseMove(shift, x + this->Left(), y + this->Top());
}

template <class Native>
void TcxInnerEditorBase<Native>::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  Native::MouseDown(button, shift, x, y);
  if (button == mbLeft && (shift & ssDouble) == 0) container_->InnerCaretPlaced();
  container_->InnerMouseDown(button, shift, x + this->Left(), y + this->Top());
}

template <class Native>
void TcxInnerEditorBase<Native>::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  Native::MouseUp(button, shift, x, y);
  container_->InnerMouseUp(button, shift, x + this->Left(), y + this->Top());
}

template <class Native>
void TcxInnerEditorBase<Native>::Click() {
  Native::Click();
  container_->InnerClick();
}

template <class Native>
void TcxInnerEditorBase<Native>::DblClick() {
  Native::DblClick();
  container_->InnerDblClick();
}

template <class Native>
void TcxInnerEditorBase<Native>::FocusChanged() {
  Native::FocusChanged();
  container_->InnerFocusChanged();
}

template class TcxInnerEditorBase<TCustomEdit>;
template class TcxInnerEditorBase<TMemo>;

}  // namespace orlit
