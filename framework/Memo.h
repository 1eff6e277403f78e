#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/Alignment.h"
#include "framework/EditControl.h"
#include "framework/EditText.h"
#include "framework/MemoEditText.h"
#include "framework/MemoLayout.h"
#include "framework/MemoStrings.h"
#include "framework/MemoText.h"

namespace orlit {

class WindowSystem;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The desktop's multi-line edit control. Its text, caret, selection and undo live in a
// MemoEditText and its rows in a MemoLayout; this class adds the keys, the mouse, the
// clipboard, scrolling that keeps the caret in view, and painting of the rows in view only.
//
// A "row" is a line as the control lays it out: with WordWrap a long line is several rows.
// The row queries (RowCount, RowStart, RowLength, RowOfPosition) are what line counts and line
// indexes of a multi-line edit mean; positions count characters, a line break two.
class TMemo : public TEditControl {
 public:
  TMemo();
  ~TMemo() override;

  const MemoText& Model() const { return text_.Model(); }
  // The text as a live list of lines.
  TMemoStrings& Lines() { return lines_; }
  std::string Text() const { return text_.Text(); }
  // Whole-text assignment from code: the caret goes to the start, undo and Modified are
  // cleared. False when the text does not fit (MemoText::kCapacity).
  bool SetText(std::string_view text);
  int GetTextLen() const { return text_.Length(); }

  int RowCount();
  // First character of row `row`, -1 when there is no such row.
  int RowStart(int row);
  // Characters of the row without a line break, -1 when there is no such row.
  int RowLength(int row);
  int RowOfPosition(int position);

  int SelStart() const { return text_.SelStart(); }
  int SelLength() const { return text_.SelLength(); }
  int CaretIndex() const { return text_.Caret(); }
  void SetSelStart(int start) { SetSelection(start, start); }
  void SetSelLength(int length);
  void SetSelection(int anchor, int caret);
  void SelectAll() { SetSelection(0, text_.Length()); }
  std::string SelText() const { return text_.SelText(); }
  // Replaces the selection from code: read-only does not apply, nothing is undoable; the caret
  // ends after the inserted text and is scrolled into view. False when it does not fit.
  bool SetSelText(std::string_view text);

  virtual void CopyToClipboard();
  virtual void CutToClipboard();
  virtual void PasteFromClipboard();
  virtual void Undo();
  bool CanUndo() const { return text_.CanUndo(); }
  void ClearUndo() { text_.ClearUndo(); }

  bool ReadOnly() const { return text_.ReadOnly(); }
  void SetReadOnly(bool read_only) { text_.SetReadOnly(read_only); }
  int MaxLength() const { return text_.MaxLength(); }
  void SetMaxLength(int max_length) { text_.SetMaxLength(max_length); }
  TEditCharCase CharCase() const { return text_.CharCase(); }
  void SetCharCase(TEditCharCase char_case) { text_.SetCharCase(char_case); }
  bool HideSelection() const { return hide_selection_; }
  void SetHideSelection(bool hide_selection);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool word_wrap);
  bool WantReturns() const { return want_returns_; }
  void SetWantReturns(bool want_returns) { want_returns_ = want_returns; }
  bool WantTabs() const { return want_tabs_; }
  void SetWantTabs(bool want_tabs) { want_tabs_ = want_tabs; }
  // Which scroll bars the control's owner shows; the memo itself only scrolls.
  TScrollStyle ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle scroll_bars) { scroll_bars_ = scroll_bars; }

  // While off, changes do not repaint; switching it on repaints the whole control.
  void SetRedraw(bool redraw);

  // The first row in view, the rows that fit, and the horizontal scroll in pixels. Scrolling
  // leaves the caret where it is, in view or not.
  int TopRow() const { return top_row_; }
  void SetTopRow(int row);
  int VisibleRows();
  int ScrollX() const { return scroll_x_; }
  void SetScrollX(int x);
  // The widest line, for a horizontal scroll bar (without word wrap).
  int ContentWidth();
  int LineHeight() const;
  // Client coordinates of the boundary before character `position` (top of its row).
  TPoint PosFromChar(int position);
  int CharFromPos(TPoint point);
  bool CaretShown() const;
  TRect CaretRect();

  // After the view scrolled.
  TNotifyEvent OnScroll;

 protected:
  void NativeKeyDown(int& key, TShiftState shift) override;
  void NativeKeyPress(char32_t& key) override;

  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  bool DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos) override;
  void BoundsChanged() override;
  // Scrolls as needed and invalidates what the selection, caret or scrolling changed.
  void UpdateView() override;
  // Repaints the caret's row.
  void CaretToggled() override;

 private:
  // Brings the layout and the view up to date after an edit of the text and tells of a change;
  // false when the edit was refused.
  bool Apply(const MemoEditText::Outcome& outcome, bool by_user);

  int WrapWidth() const;
  // The layout for the current font, width and settings.
  MemoLayout& Layout();
  // Where the row's first character is drawn.
  int RowOrigin(const MemoLayout::Line& line, const MemoLayout::Row& row) const;

  void MoveCaret(int position, bool extend);
  void MoveVertically(int rows, bool extend);
  void ScrollCaretIntoView();
  // Moves the view alone, to a place already in range.
  void ScrollView(int top_row, int scroll_x);
  void InvalidateRows(int first_row);
  void InvalidateRowSpan(int from, int to);
  int ClampTopRow(int row);

  MemoEditText text_;
  TMemoStrings lines_{*this};
  // The x the caret keeps over Up and Down, -1 when it follows the caret.
  int goal_x_ = -1;
  bool hide_selection_ = true;
  TAlignment alignment_ = taLeftJustify;
  bool word_wrap_ = true;
  bool want_returns_ = true;
  bool want_tabs_ = false;
  TScrollStyle scroll_bars_ = ssNone;
  bool redraw_ = true;

  MemoLayout layout_{text_.Model()};
  int top_row_ = 0;
  int scroll_x_ = 0;
  // What the last paint showed, so that a change repaints from the first row it touched.
  int painted_top_row_ = -1;
  int painted_caret_ = -1;
  int painted_sel_start_ = 0;
  int painted_sel_end_ = 0;
};

}  // namespace orlit
