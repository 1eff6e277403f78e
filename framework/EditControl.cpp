#include "framework/EditControl.h"

#include "framework/Application.h"

namespace orlit {

TEditControl::TEditControl() {
  SetParentColor(false);
  SetColor(clWindow);
  SetCursor(crIBeam);
  SetTabStop(true);
  SetFocusOnClick(true);
}

int TEditControl::CountClick(TShiftState shift, int x, int y) {
  return clicks_.Press(Desktop(), shift, x, y);
}

void TEditControl::Change() {
  if (OnChange) OnChange(this);
}

void TEditControl::NotifyChange(bool by_user) {
  if (by_user) modified_ = true;
  const bool outer = changing_by_user_;
  changing_by_user_ = by_user;
  try {
    Change();
  } catch (...) {
    changing_by_user_ = outer;
    throw;
  }
  changing_by_user_ = outer;
}

void TEditControl::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (key != 0) NativeKeyDown(key, shift);
}

void TEditControl::KeyPress(char32_t& key) {
  TWinControl::KeyPress(key);
  if (key != 0) NativeKeyPress(key);
}

void TEditControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) selecting_ = false;
  TWinControl::MouseUp(button, shift, x, y);
}

void TEditControl::FocusChanged() {
  TWinControl::FocusChanged();
  if (Focused()) {
    blink_.Start();
  } else {
    blink_.Stop();
    selecting_ = false;
  }
  UpdateView();
}

void TEditControl::FontChanged() {
  TWinControl::FontChanged();
  RedrawAll();
}

void TEditControl::ColorChanged() {
  TWinControl::ColorChanged();
  RedrawAll();
}

void TEditControl::EnabledChanged() {
  TWinControl::EnabledChanged();
  RedrawAll();
}

}  // namespace orlit
