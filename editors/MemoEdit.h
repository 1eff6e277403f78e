#pragma once

#include <memory>

#include "editors/MemoProperties.h"
#include "editors/MemoScrollBars.h"
#include "editors/TextEdit.h"
#include "editors/ViewData.h"

namespace orlit {

class TcxCustomInnerMemo;

// What the memo adds to a text editor's paint: its text is drawn with word break when word
// wrap is on and no horizontal scroll bar is asked for.
struct TcxCustomMemoViewInfo : TcxCustomTextEditViewInfo {
  bool word_break = true;
};

// The multi-line text editor: a text editor whose inner control is a native multi-line edit.
// Its edit value always equals its text; Lines is a live view of that text.
class TcxCustomMemo : public TcxCustomTextEdit {
 public:
  // The width of a scroll bar, and of the square its arrow buttons take.
  static constexpr int kScrollBarSize = 16;

  TcxCustomMemo();
  ~TcxCustomMemo() override;

  TcxCustomMemoProperties& Properties() const {
    return static_cast<TcxCustomMemoProperties&>(TcxCustomTextEdit::Properties());
  }
  TcxCustomInnerMemo& InnerMemo() const { return *inner_memo_; }
  // The inner memo's lines; setting copies another list into them (cleared, then added to,
  // inside an update).
  TStrings& Lines() const;
  void SetLines(const TStrings& lines);

  // Where the scroll bars the properties ask for lie, in client coordinates; empty when none.
  TRect VertScrollBarRect();
  TRect HorzScrollBarRect();

 protected:
  explicit TcxCustomMemo(std::unique_ptr<TcxCustomMemoProperties> properties);

  void EditorKeyDown(int& key, TShiftState shift) override;
  void EditorKeyPress(char32_t& key) override;
  TRect GetInnerControlBounds() override;
  std::unique_ptr<TcxContainerViewInfo> CreateViewInfo() override;
  void CalculateViewInfo(TcxContainerViewInfo& view_info) override;
  void PaintContent(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool CanAutoSize(int& new_width, int& new_height) override;
  void ApplyProperties() override;
  void Loaded() override;
  // The log grows to megabytes: its value is not copied at every appended line.
  bool DefersEditValue() const override { return true; }

 private:
  friend class TcxCustomInnerMemo;

  // The part of the content area the scroll bars leave to the inner memo.
  TRect ScrollBarArea();
  void PaintScrollBars(TCanvas& canvas);
  void InvalidateScrollBars();
  void EndThumbDrag();

  TcxCustomInnerMemo* inner_memo_ = nullptr;
  TcxCustomMemoScrollBars scroll_bars_;
};

// The memo as forms place it: 185 x 89, no automatic size, WantReturns and WordWrap on.
class TcxMemo : public TcxCustomMemo {
 public:
  TcxMemo() = default;

  TcxMemoProperties& Properties() const {
    return static_cast<TcxMemoProperties&>(TcxCustomMemo::Properties());
  }
  void SetProperties(const TcxMemoProperties& properties) { Properties().Assign(properties); }
};

}  // namespace orlit
