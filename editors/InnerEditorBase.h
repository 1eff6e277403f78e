#pragma once

#include "framework/CustomEdit.h"
#include "framework/Memo.h"

namespace orlit {

class TcxCustomTextEdit;

// What the native single- and multi-line edits inside an editor have in common: their keys go to
// the editor first (the editor's key path, then the native processing), and their text changes,
// key-ups, mouse, click and focus notifications reach the editor (mouse positions in the
// editor's client coordinates), so that the editor's events fire and its visual state follows.
// `Native` is TCustomEdit or TMemo.
template <class Native>
class TcxInnerEditorBase : public Native {
 public:
  explicit TcxInnerEditorBase(TcxCustomTextEdit* container) : container_(container) {}

 protected:
  // A tab the edit does not take moves the focus instead.
  virtual bool TakesTab() const { return false; }

  void Change() override;
  void KeyDown(int& key, TShiftState shift) override;
  void KeyPress(char32_t& key) override;
  void KeyUp(int& key, TShiftState shift) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Click() override;
  void DblClick() override;
  void FocusChanged() override;

  TcxCustomTextEdit* container_;
};

extern template class TcxInnerEditorBase<TCustomEdit>;
extern template class TcxInnerEditorBase<TMemo>;

}  // namespace orlit
