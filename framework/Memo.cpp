#include "framework/Memo.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/ClipboardShortcuts.h"
#include "platform/DeviceContext.h"
#include "platform/VirtualKeys.h"

namespace orlit {

namespace {

constexpr char32_t kCharCtrlEnter = 10;
constexpr int kWheelRows = 3;

// Other programs on this desktop show a CR before each LF as a stray character.
std::string WithLfBreaks(std::string text) {
  std::erase(text, '\r');  // the text holds CR only as part of its CR LF breaks
  return text;
}

}  // namespace

TMemo::TMemo() { SetBounds(Left(), Top(), 185, 89); }

TMemo::~TMemo() = default;

int TMemo::LineHeight() const { return std::max(1, Font().Handle()->TextMetrics().tmHeight); }

bool TMemo::SetText(std::string_view text) {
  if (!Apply(text_.Replace(0, text_.Length(), text), false)) return false;
  text_.ClearUndo();
  SetModified(false);
  text_.SetSelection(0, 0);
  top_row_ = 0;
  scroll_x_ = 0;
  UpdateView();
  return true;
}

void TMemo::SetSelLength(int length) { SetSelection(SelStart(), SelStart() + length); }

void TMemo::SetSelection(int anchor, int caret) {
  text_.SetSelection(anchor, caret);
  goal_x_ = -1;
  UpdateView();
}

bool TMemo::SetSelText(std::string_view text) {
  text_.ClearUndo();
  return Apply(text_.Replace(SelStart(), SelLength(), text), false);
}

void TMemo::SetHideSelection(bool hide_selection) {
  if (hide_selection == hide_selection_) return;
  hide_selection_ = hide_selection;
  Invalidate();
}

void TMemo::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TMemo::SetWordWrap(bool word_wrap) {
  if (word_wrap == word_wrap_) return;
  word_wrap_ = word_wrap;
  scroll_x_ = 0;
  UpdateView();
  Invalidate();
}

void TMemo::SetRedraw(bool redraw) {
  redraw_ = redraw;
  if (redraw) {
    UpdateView();
    Invalidate();
  }
}

// ---- Changes -------------------------------------------------------------------------------

bool TMemo::Apply(const MemoEditText::Outcome& outcome, bool by_user) {
  if (!outcome.done) return false;
  goal_x_ = -1;
  if (!outcome.changed) {
    UpdateView();
    return true;
  }
  layout_.LinesReplaced(outcome.lines);
  InvalidateRows(Layout().FirstRowOfLine(outcome.lines.first));
  UpdateView();
  NotifyChange(by_user);
  return true;
}

void TMemo::CopyToClipboard() {
  if (SelLength() == 0) return;
  if (WindowSystem* desktop = Desktop()) desktop->SetClipboardText(WithLfBreaks(SelText()));
}

void TMemo::CutToClipboard() {
  // Read-only: cutting only copies.
  CopyToClipboard();
  if (SelLength() > 0 && Desktop() != nullptr) Apply(text_.DeleteSelection(), true);
}

void TMemo::PasteFromClipboard() {
  if (ReadOnly()) return;
  WindowSystem* desktop = Desktop();
  if (desktop == nullptr) return;
  const std::string clipboard = desktop->ClipboardText();
  if (!clipboard.empty()) Apply(text_.Insert(ToCodePoints(clipboard)), true);
}

void TMemo::Undo() { Apply(text_.Undo(), true); }

// ---- Layout --------------------------------------------------------------------------------

int TMemo::WrapWidth() const { return std::max(1, ClientWidth() - kCaretWidth); }

MemoLayout& TMemo::Layout() {
  layout_.SetFormat(Font().Handle(), WrapWidth(), word_wrap_, alignment_);
  return layout_;
}

int TMemo::RowCount() { return Layout().RowCount(); }

int TMemo::RowStart(int row) { return Layout().RowStart(row); }

int TMemo::RowLength(int row) { return Layout().RowLength(row); }

int TMemo::RowOfPosition(int position) { return Layout().RowOfPosition(position); }

int TMemo::ContentWidth() { return Layout().ContentWidth(); }

int TMemo::RowOrigin(const MemoLayout::Line& line, const MemoLayout::Row& row) const {
  return layout_.RowIndent(line, row) - scroll_x_;
}

int TMemo::VisibleRows() { return std::max(1, ClientHeight() / LineHeight()); }

int TMemo::ClampTopRow(int row) {
  return std::clamp(row, 0, std::max(0, RowCount() - VisibleRows()));
}

void TMemo::SetTopRow(int row) { ScrollView(ClampTopRow(row), scroll_x_); }

void TMemo::SetScrollX(int x) {
  ScrollView(top_row_,
             word_wrap_ ? 0 : std::clamp(x, 0, std::max(0, ContentWidth() - WrapWidth())));
}

void TMemo::ScrollView(int top_row, int scroll_x) {
  if (top_row == top_row_ && scroll_x == scroll_x_) return;
  top_row_ = top_row;
  scroll_x_ = scroll_x;
  painted_top_row_ = -1;
  if (redraw_) Invalidate();
  if (OnScroll) OnScroll(this);
}

TPoint TMemo::PosFromChar(int position) {
  MemoLayout& layout = Layout();
  position = Model().Snap(position);
  const int line = Model().LineOfPosition(position);
  const int column = position - Model().LineStart(line);
  MemoLayout::Line laid;
  layout.LayOut(line, laid);
  const int k = laid.RowOf(column);
  const MemoLayout::Row& row = laid.rows[static_cast<std::size_t>(k)];
  const int x = RowOrigin(laid, row) + laid.x[static_cast<std::size_t>(column)] -
                laid.x[static_cast<std::size_t>(row.start)];
  return {x, (layout.FirstRowOfLine(line) + k - top_row_) * LineHeight()};
}

int TMemo::CharFromPos(TPoint point) {
  MemoLayout& layout = Layout();
  const int y = point.Y < 0 ? point.Y - LineHeight() + 1 : point.Y;
  const int row = std::clamp(top_row_ + y / LineHeight(), 0, layout.RowCount() - 1);
  const MemoLayout::RowPlace place = layout.LineOfRow(row);
  MemoLayout::Line laid;
  layout.LayOut(place.line, laid);
  const MemoLayout::Row& r = laid.rows[static_cast<std::size_t>(place.row_in_line)];
  // The end of a wrapped row is the start of the next one: a click there stays on this row.
  const bool last = place.row_in_line + 1 == static_cast<int>(laid.rows.size());
  const int end = last || r.end == r.start ? r.end : r.end - 1;
  const int local = point.X - RowOrigin(laid, r) + laid.x[static_cast<std::size_t>(r.start)];
  int best = r.start;
  for (int i = r.start; i < end; ++i) {
    const int middle =
        (laid.x[static_cast<std::size_t>(i)] + laid.x[static_cast<std::size_t>(i) + 1]) / 2;
    if (local >= middle) best = i + 1;
  }
  return Model().LineStart(place.line) + best;
}

// ---- Caret and view ------------------------------------------------------------------------

void TMemo::MoveCaret(int position, bool extend) {
  text_.MoveCaretTo(position, extend);
  UpdateView();
}

void TMemo::MoveVertically(int rows, bool extend) {
  const TPoint at = PosFromChar(text_.Caret());
  if (goal_x_ < 0) goal_x_ = at.X;
  const int goal = goal_x_;
  const int row = std::clamp(RowOfPosition(text_.Caret()) + rows, 0, RowCount() - 1);
  text_.MoveCaretTo(CharFromPos({goal, (row - top_row_) * LineHeight()}), extend);
  UpdateView();
  goal_x_ = goal;
}

void TMemo::ScrollCaretIntoView() {
  const int row = RowOfPosition(text_.Caret());
  const int visible = VisibleRows();
  if (row < top_row_) {
    top_row_ = row;
  } else if (row >= top_row_ + visible) {
    top_row_ = row - visible + 1;
  }
  top_row_ = ClampTopRow(top_row_);
  if (word_wrap_) return;
  const int line = Model().LineOfPosition(text_.Caret());
  MemoLayout::Line laid;
  Layout().LayOut(line, laid);
  const int caret_x = laid.x[static_cast<std::size_t>(text_.Caret() - Model().LineStart(line))];
  const int view = WrapWidth();
  const int jump = view / 3;
  if (caret_x < scroll_x_) {
    scroll_x_ = std::max(0, caret_x - jump);
  } else if (caret_x > scroll_x_ + view) {
    scroll_x_ = caret_x - view + jump;
  }
}

void TMemo::InvalidateRows(int first_row) {
  if (!redraw_) return;
  const int top = std::max(0, (first_row - top_row_) * LineHeight());
  if (top < ClientHeight()) InvalidateRect({0, top, ClientWidth(), ClientHeight()});
}

void TMemo::InvalidateRowSpan(int from, int to) {
  if (!redraw_) return;
  const int line = LineHeight();
  const int top = std::max(0, (std::min(from, to) - top_row_) * line);
  const int bottom = std::min(ClientHeight(), (std::max(from, to) - top_row_ + 1) * line);
  if (bottom > top) InvalidateRect({0, top, ClientWidth(), bottom});
}

void TMemo::UpdateView() {
  const int old_top = top_row_;
  const int old_x = scroll_x_;
  ScrollCaretIntoView();
  const bool focused = Focused();
  const bool selection_shown = focused || !hide_selection_;
  const int sel_start = selection_shown ? SelStart() : 0;
  const int sel_end = selection_shown ? SelStart() + SelLength() : 0;
  const int caret = focused && SelLength() == 0 ? text_.Caret() : -1;
  if (caret >= 0 && (caret != painted_caret_ || !blink_.Running())) blink_.Start();
  const bool scrolled = top_row_ != old_top || scroll_x_ != old_x;
  if (scrolled || painted_top_row_ != top_row_) {
    if (redraw_) Invalidate();
  } else if (sel_start != painted_sel_start_ || sel_end != painted_sel_end_ ||
             caret != painted_caret_) {
    // The rows between the old and the new selection and caret.
    auto row_of = [&](int position) { return position < 0 ? -1 : RowOfPosition(position); };
    if (painted_sel_end_ > painted_sel_start_) {
      InvalidateRowSpan(row_of(painted_sel_start_), row_of(painted_sel_end_));
    }
    if (sel_end > sel_start) InvalidateRowSpan(row_of(sel_start), row_of(sel_end));
    if (painted_caret_ >= 0) InvalidateRowSpan(row_of(painted_caret_), row_of(painted_caret_));
    if (caret >= 0) InvalidateRowSpan(row_of(caret), row_of(caret));
  }
  painted_top_row_ = top_row_;
  painted_sel_start_ = sel_start;
  painted_sel_end_ = sel_end;
  painted_caret_ = caret;
  if (scrolled && OnScroll) OnScroll(this);
}

bool TMemo::CaretShown() const {
  return blink_.On() && SelLength() == 0 && blink_.Running() && Focused();
}

TRect TMemo::CaretRect() {
  const TPoint at = PosFromChar(text_.Caret());
  return {at.X, at.Y, at.X + kCaretWidth, at.Y + LineHeight()};
}

// ---- Painting ------------------------------------------------------------------------------

void TMemo::Paint(TCanvas& canvas) {
  DeviceContext& dc = canvas.Handle();
  dc.SelectFont(Font().Handle());
  dc.SetBkMode(TRANSPARENT);
  TRect clip;
  dc.GetClipBox(clip);
  const int height = LineHeight();
  const int row_count = RowCount();
  const int first_row = top_row_ + std::max(0, clip.Top) / height;
  const int last_row = std::min(row_count - 1, top_row_ + std::max(0, clip.Bottom - 1) / height);
  if (first_row > last_row) return;
  const TColor text_color = EffectivelyEnabled() ? Font().Color() : clGrayText;
  const bool selection_shown = Focused() || !hide_selection_;
  const int sel_start = selection_shown ? SelStart() : 0;
  const int sel_end = selection_shown ? SelStart() + SelLength() : 0;

  const MemoLayout::RowPlace place = layout_.LineOfRow(first_row);
  int line = place.line;
  int k = place.row_in_line;
  MemoLayout::Line laid;
  int row = first_row;
  while (row <= last_row && line < Model().LineCount()) {
    layout_.LayOut(line, laid);
    const std::string_view text = Model().Line(line);
    const int line_start = Model().LineStart(line);
    for (; k < static_cast<int>(laid.rows.size()) && row <= last_row; ++k, ++row) {
      const MemoLayout::Row& r = laid.rows[static_cast<std::size_t>(k)];
      const int origin = RowOrigin(laid, r) - laid.x[static_cast<std::size_t>(r.start)];
      const int y = (row - top_row_) * height;
      auto x_of = [&](int i) { return origin + laid.x[static_cast<std::size_t>(i)]; };
      // Runs between tabs, each where its first character stands.
      auto draw = [&](int from, int to, const TRect* band) {
        int run = from;
        for (int i = from; i <= to; ++i) {
          if (i < to && laid.chars[static_cast<std::size_t>(i)] != U'\t') continue;
          if (i > run) {
            const std::uint32_t b0 = laid.bytes[static_cast<std::size_t>(run)];
            const std::uint32_t b1 = laid.bytes[static_cast<std::size_t>(i)];
            dc.ExtTextOut(x_of(run), y, band != nullptr ? ETO_CLIPPED : 0, band,
                          text.substr(b0, b1 - b0));
          }
          run = i + 1;
        }
      };
      dc.SetTextColor(text_color);
      draw(r.start, r.end, nullptr);
      const int from = std::clamp(sel_start - line_start, r.start, r.end);
      // A selected line break shows as a little room after the row.
      int to = std::clamp(sel_end - line_start, r.start, r.end);
      const bool break_selected = k + 1 == static_cast<int>(laid.rows.size()) &&
                                  sel_end > line_start + r.end && sel_start <= line_start + r.end;
      if (to > from || break_selected) {
        const int right = x_of(to) + (break_selected ? std::max(2, height / 4) : 0);
        const TRect band{x_of(from), y, right, y + height};
        dc.FillRect(band, Brush::Solid(clHighlight));
        dc.SetTextColor(clHighlightText);
        draw(from, to, &band);
      }
    }
    ++line;
    k = 0;
  }
  if (CaretShown()) {
    const TRect caret = CaretRect();
    dc.FillRect(caret, Brush::Solid(text_color));
  }
}

// ---- Keys ----------------------------------------------------------------------------------

void TMemo::NativeKeyDown(int& key, TShiftState shift) {
  if (shift & ssAlt) return;
  const bool ctrl = (shift & ssCtrl) != 0;
  const bool extend = (shift & ssShift) != 0;
  goal_x_ = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT ? goal_x_ : -1;
  if (RunClipboardCommand(*this, ClipboardCommandOfKey(key, shift))) {
    key = 0;
    return;
  }
  using Move = MemoEditText::Move;
  switch (key) {
    case VK_LEFT:
      text_.MoveCaret(ctrl ? Move::kWordLeft : Move::kLeft, extend);
      UpdateView();
      break;
    case VK_RIGHT:
      text_.MoveCaret(ctrl ? Move::kWordRight : Move::kRight, extend);
      UpdateView();
      break;
    case VK_UP:
      MoveVertically(-1, extend);
      break;
    case VK_DOWN:
      MoveVertically(1, extend);
      break;
    case VK_PRIOR:
    case VK_NEXT: {
      const int page = key == VK_PRIOR ? -VisibleRows() : VisibleRows();
      top_row_ = ClampTopRow(top_row_ + page);
      MoveVertically(page, extend);
      break;
    }
    case VK_HOME:
    case VK_END: {
      if (ctrl) {
        MoveCaret(key == VK_HOME ? 0 : text_.Length(), extend);
        break;
      }
      const int row = RowOfPosition(text_.Caret());
      const int start = RowStart(row);
      int end = start + RowLength(row);
      // A wrapped row ends where the next begins; End stays before its hanging space.
      if (end != Model().LineStart(Model().LineOfPosition(start)) +
                     Model().LineLength(Model().LineOfPosition(start)) &&
          end > start) {
        --end;
      }
      MoveCaret(key == VK_HOME ? start : end, extend);
      break;
    }
    case VK_DELETE:
      Apply(text_.DeleteForward(ctrl), true);
      break;
    default:
      return;
  }
  key = 0;
}

void TMemo::NativeKeyPress(char32_t& key) {
  if (RunClipboardCommand(*this, ClipboardCommandOfChar(key))) return;
  switch (key) {
    case kCharBackspace:
    case kCharCtrlBackspace:
      Apply(text_.DeleteBackward(key == kCharCtrlBackspace), true);
      return;
    case kCharEnter:
      if (want_returns_) Apply(text_.Insert(U"\r\n"), true);
      return;
    case kCharCtrlEnter:
      Apply(text_.Insert(U"\r\n"), true);
      return;
    case kCharTab:
      if (want_tabs_) Apply(text_.Type(U'\t'), true);
      return;
    default:
      break;
  }
  if (key < 0x20) return;
  Apply(text_.Type(key), true);
}

// ---- Mouse and focus -----------------------------------------------------------------------

void TMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    const int clicks = CountClick(shift, x, y);
    selecting_ = false;
    const int position = CharFromPos({x, y});
    goal_x_ = -1;
    if (clicks == 2) {
      text_.SelectWordAt(position);
    } else if (clicks == 3) {
      text_.SelectLineAt(position);
    } else {
      text_.MoveCaretTo(position, (shift & ssShift) != 0);
      selecting_ = true;
    }
    UpdateView();
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TMemo::MouseMove(TShiftState shift, int x, int y) {
  if (selecting_ && (shift & ssLeft)) {
    const int position = CharFromPos({x, y});
    if (position != text_.Caret()) MoveCaret(position, true);
  }
  TWinControl::MouseMove(shift, x, y);
}

bool TMemo::DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos) {
  if (TWinControl::DoMouseWheel(shift, wheel_delta, mouse_pos)) return true;
  SetTopRow(top_row_ + (wheel_delta > 0 ? -kWheelRows : kWheelRows));
  return true;
}

void TMemo::CaretToggled() {
  if (redraw_) InvalidateRowSpan(RowOfPosition(CaretIndex()), RowOfPosition(CaretIndex()));
}

void TMemo::BoundsChanged() {
  TWinControl::BoundsChanged();
  top_row_ = ClampTopRow(top_row_);
  UpdateView();
  Invalidate();
}

}  // namespace orlit
