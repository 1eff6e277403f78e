#include "framework/CustomEdit.h"

#include <algorithm>
#include <utility>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/ClipboardShortcuts.h"
#include "platform/DeviceContext.h"
#include "platform/VirtualKeys.h"

namespace orlit {

TCustomEdit::TCustomEdit() { SetBounds(Left(), Top(), 121, 21); }

TCustomEdit::~TCustomEdit() = default;

template <typename Edit>
void TCustomEdit::UserEdit(Edit&& edit) {
  const std::uint64_t revision = text_.Revision();
  std::forward<Edit>(edit)();
  AfterChange(revision, true);
}

void TCustomEdit::AfterChange(std::uint64_t old_revision, bool by_user) {
  UpdateView();
  if (text_.Revision() != old_revision) NotifyChange(by_user);
}

void TCustomEdit::SetText(std::string_view text) {
  const std::uint64_t revision = text_.Revision();
  if (!text_.SetText(text)) return;
  SetModified(false);
  scroll_ = 0;
  AfterChange(revision, false);
}

void TCustomEdit::SetSelStart(int start) {
  text_.SetSelStart(start);
  UpdateView();
}

void TCustomEdit::SetSelLength(int length) {
  text_.SetSelLength(length);
  UpdateView();
}

void TCustomEdit::SetSelection(int anchor, int caret) {
  text_.SetSelection(anchor, caret);
  UpdateView();
}

void TCustomEdit::SelectAll() {
  text_.SelectAll();
  UpdateView();
}

void TCustomEdit::SetSelText(std::string_view text) {
  const std::uint64_t revision = text_.Revision();
  text_.SetSelText(text);
  AfterChange(revision, false);
}

void TCustomEdit::ClearSelection() {
  UserEdit([this] { text_.DeleteSelection(); });
}

void TCustomEdit::OverwriteByUser(std::u32string_view text) {
  UserEdit([&] { text_.Overwrite(text); });
}

void TCustomEdit::CopyToClipboard() {
  // A hidden text must not leave the field by the clipboard.
  if (password_char_ != 0 || !text_.HasSelection()) return;
  if (WindowSystem* desktop = Desktop()) desktop->SetClipboardText(text_.SelText());
}

void TCustomEdit::CutToClipboard() {
  if (text_.ReadOnly() || password_char_ != 0 || !text_.HasSelection()) return;
  WindowSystem* desktop = Desktop();
  if (desktop == nullptr) return;
  // Copied first: a clipboard that refuses the text leaves the text where it was.
  desktop->SetClipboardText(text_.SelText());
  UserEdit([this] { text_.DeleteSelection(); });
}

void TCustomEdit::PasteFromClipboard() {
  if (text_.ReadOnly()) return;
  WindowSystem* desktop = Desktop();
  if (desktop == nullptr) return;
  const std::string clipboard = desktop->ClipboardText();
  if (clipboard.empty()) return;
  UserEdit([&] { text_.Paste(ToCodePoints(clipboard, kMaxPastedChars)); });
}

void TCustomEdit::Undo() {
  UserEdit([this] { text_.Undo(); });
}

void TCustomEdit::SetCharCase(TEditCharCase char_case) {
  const std::uint64_t revision = text_.Revision();
  text_.SetCharCase(char_case);
  AfterChange(revision, false);
}

void TCustomEdit::SetPasswordChar(char32_t password_char) {
  if (password_char == password_char_) return;
  password_char_ = password_char;
  text_.SetMasked(password_char != 0);
  RedrawAll();
}

void TCustomEdit::SetHideSelection(bool hide_selection) {
  if (hide_selection == hide_selection_) return;
  hide_selection_ = hide_selection;
  UpdateView();
}

void TCustomEdit::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  UpdateView();
}

void TCustomEdit::NativeKeyDown(int& key, TShiftState shift) {
  if (shift & ssAlt) return;
  if (RunClipboardCommand(*this, ClipboardCommandOfKey(key, shift))) {
    key = 0;
    return;
  }
  const bool ctrl = (shift & ssCtrl) != 0;
  const bool extend = (shift & ssShift) != 0;
  using Move = EditText::Move;
  auto move = [&](Move plain, Move with_ctrl) {
    text_.MoveCaret(ctrl ? with_ctrl : plain, extend);
    UpdateView();
  };
  switch (key) {
    case VK_LEFT:
      move(Move::kLeft, Move::kWordLeft);
      break;
    case VK_RIGHT:
      move(Move::kRight, Move::kWordRight);
      break;
    case VK_HOME:
      move(Move::kHome, Move::kHome);
      break;
    case VK_END:
      move(Move::kEnd, Move::kEnd);
      break;
    case VK_DELETE:
      UserEdit([&] { text_.DeleteForward(ctrl); });
      break;
    default:
      return;
  }
  key = 0;
}

void TCustomEdit::NativeKeyPress(char32_t& key) {
  if (RunClipboardCommand(*this, ClipboardCommandOfChar(key))) return;
  switch (key) {
    case kCharCtrlA:
      SelectAll();
      return;
    case kCharBackspace:
      UserEdit([this] { text_.DeleteBackward(false); });
      return;
    case kCharCtrlBackspace:
      UserEdit([this] { text_.DeleteBackward(true); });
      return;
    case kCharEnter:
      // A single line has no use for a line break: the desktop's warning sound says so.
      if (WindowSystem* desktop = Desktop()) desktop->Beep();
      return;
    default:
      break;
  }
  if (key < 0x20) return;
  const char32_t typed = key;
  UserEdit([&] { text_.Type(typed); });
}

std::u32string TCustomEdit::DisplayChars() const {
  if (password_char_ == 0) return text_.Chars();
  return std::u32string(static_cast<std::size_t>(text_.Length()), password_char_);
}

void TCustomEdit::EnsureLayout() {
  std::shared_ptr<const ResolvedFont> font = Font().Handle();
  if (layout_revision_ == text_.Revision() && layout_font_ == font &&
      layout_password_ == password_char_) {
    return;
  }
  const std::u32string display = DisplayChars();
  offsets_.resize(display.size() + 1);
  offsets_[0] = 0;
  int x = 0;
  const int password_width =
      password_char_ != 0 ? font->TextWidth(ToUtf8(std::u32string_view(&password_char_, 1))) : 0;
  for (std::size_t i = 0; i < display.size(); ++i) {
    x += password_char_ != 0 ? password_width
                             : font->TextWidth(ToUtf8(std::u32string_view(&display[i], 1)));
    offsets_[i + 1] = x;
  }
  layout_revision_ = text_.Revision();
  layout_font_ = std::move(font);
  layout_password_ = password_char_;
}

int TCustomEdit::LineHeight() const { return Font().Handle()->TextMetrics().tmHeight; }

int TCustomEdit::Origin() {
  EnsureLayout();
  const int view = std::max(0, ClientWidth() - kCaretWidth);
  const int width = TextWidth();
  if (width > view) return -scroll_;
  switch (alignment_) {
    case taRightJustify:
      return view - width;
    case taCenter:
      return (view - width) / 2;
    case taLeftJustify:
      break;
  }
  return 0;
}

void TCustomEdit::ScrollCaretIntoView() {
  EnsureLayout();
  const int view = std::max(0, ClientWidth() - kCaretWidth);
  const int width = TextWidth();
  if (width <= view) {
    scroll_ = 0;
    return;
  }
  // Scrolled a third of the view at a time, so that typing on at the edge does not move the
  // whole line with every character.
  const int jump = view / 3;
  const int caret_x = offsets_[static_cast<std::size_t>(text_.Caret())];
  if (caret_x < scroll_) {
    scroll_ = caret_x - jump;
  } else if (caret_x > scroll_ + view) {
    scroll_ = caret_x - view + jump;
  }
  scroll_ = std::clamp(scroll_, 0, std::max(0, width - view + jump));
}

bool TCustomEdit::CaretShown() const {
  return blink_.On() && !text_.HasSelection() && blink_.Running() && Focused();
}

TRect TCustomEdit::CaretRect() {
  const int x = Origin() + offsets_[static_cast<std::size_t>(text_.Caret())];
  return {x, 0, x + kCaretWidth, LineHeight()};
}

TPoint TCustomEdit::PosFromChar(int index) {
  const int origin = Origin();
  index = std::clamp(index, 0, text_.Length());
  return {origin + offsets_[static_cast<std::size_t>(index)], 0};
}

int TCustomEdit::CharFromPos(TPoint point) {
  const int x = point.X - Origin();
  // The nearest boundary: the first character whose middle lies right of the point.
  int low = 0;
  int high = text_.Length();
  while (low < high) {
    const int mid = (low + high) / 2;
    const int middle =
        (offsets_[static_cast<std::size_t>(mid)] + offsets_[static_cast<std::size_t>(mid) + 1]) / 2;
    if (x < middle) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low;
}

int TCustomEdit::CharIndexAt(int x) {
  const int local = x - Origin();
  const auto after = std::upper_bound(offsets_.begin(), offsets_.end(), local);
  const int index = static_cast<int>(after - offsets_.begin()) - 1;
  return std::clamp(index, 0, std::max(0, text_.Length() - 1));
}

void TCustomEdit::RedrawAll() {
  painted_.valid = false;
  UpdateView();
}

void TCustomEdit::InvalidateSpan(int origin, int from_x, int to_x) {
  if (to_x <= from_x) return;
  InvalidateRect({origin + from_x, 0, origin + to_x, ClientHeight()});
}

void TCustomEdit::UpdateView() {
  ScrollCaretIntoView();
  const bool focused = Focused();
  View now;
  now.valid = true;
  now.origin = Origin();
  now.revision = text_.Revision();
  now.password_char = password_char_;
  // A blink or a caret move keeps the text: its copy is handed on, not made and compared anew.
  const bool display_kept = painted_.valid && painted_.revision == now.revision &&
                            painted_.password_char == now.password_char;
  now.display = display_kept ? std::move(painted_.display) : DisplayChars();
  const bool text_changed = !display_kept && now.display != painted_.display;
  if (text_.HasSelection() && (focused || !hide_selection_)) {
    now.sel_start = text_.SelStart();
    now.sel_end = text_.SelEnd();
  }
  const int caret = focused && !text_.HasSelection() ? text_.Caret() : -1;
  // A caret that moves, or whose text changes, shows at once and blinks from there.
  if (caret >= 0 && (caret != painted_.caret || text_changed || !blink_.Running())) {
    blink_.Start();
  }
  now.caret = caret;
  now.caret_drawn = caret >= 0 && blink_.On();

  if (!painted_.valid || now.origin != painted_.origin) {
    painted_ = std::move(now);
    Invalidate();
    return;
  }
  // Everything right of the first character that differs is drawn again; positions beyond it
  // are measured up to it only, since what lies past it is covered already.
  const int changed =
      text_changed
          ? static_cast<int>(std::mismatch(now.display.begin(), now.display.end(),
                                           painted_.display.begin(), painted_.display.end())
                                 .first -
                             now.display.begin())
          : static_cast<int>(now.display.size());
  auto x_at = [&](int index) {
    return offsets_[static_cast<std::size_t>(std::clamp(index, 0, changed))];
  };
  if (text_changed) InvalidateSpan(now.origin, x_at(changed), ClientWidth() - now.origin);

  const bool old_selected = painted_.sel_end > painted_.sel_start;
  const bool new_selected = now.sel_end > now.sel_start;
  if (painted_.sel_start != now.sel_start || painted_.sel_end != now.sel_end) {
    const bool overlap = old_selected && new_selected && painted_.sel_start < now.sel_end &&
                         now.sel_start < painted_.sel_end;
    if (overlap) {
      InvalidateSpan(now.origin, x_at(std::min(painted_.sel_start, now.sel_start)),
                     x_at(std::max(painted_.sel_start, now.sel_start)));
      InvalidateSpan(now.origin, x_at(std::min(painted_.sel_end, now.sel_end)),
                     x_at(std::max(painted_.sel_end, now.sel_end)));
    } else {
      InvalidateSpan(now.origin, x_at(painted_.sel_start), x_at(painted_.sel_end));
      InvalidateSpan(now.origin, x_at(now.sel_start), x_at(now.sel_end));
    }
  }
  if (painted_.caret_drawn != now.caret_drawn || painted_.caret != now.caret) {
    if (painted_.caret_drawn) {
      InvalidateSpan(now.origin, x_at(painted_.caret), x_at(painted_.caret) + kCaretWidth);
    }
    if (now.caret_drawn) {
      InvalidateSpan(now.origin, x_at(now.caret), x_at(now.caret) + kCaretWidth);
    }
  }
  painted_ = std::move(now);
}

void TCustomEdit::Paint(TCanvas& canvas) {
  EnsureLayout();
  DeviceContext& dc = canvas.Handle();
  dc.SelectFont(Font().Handle());
  dc.SetBkMode(TRANSPARENT);
  TRect clip;
  dc.GetClipBox(clip);
  const int origin = Origin();
  const int line = LineHeight();
  const int length = text_.Length();
  // Only the characters under the clip, with one more on each side for overhanging glyphs.
  auto index_at = [&](int x) {
    const auto it = std::upper_bound(offsets_.begin(), offsets_.end(), x - origin);
    return static_cast<int>(it - offsets_.begin()) - 1;
  };
  const int first = std::clamp(index_at(clip.Left) - 1, 0, length);
  const int last = std::clamp(index_at(clip.Right) + 2, first, length);
  auto run = [&](int from, int to) {
    const auto count = static_cast<std::size_t>(to - from);
    if (password_char_ != 0) return ToUtf8(std::u32string(count, password_char_));
    return ToUtf8(std::u32string_view(text_.Chars()).substr(static_cast<std::size_t>(from), count));
  };
  auto x_of = [&](int index) { return origin + offsets_[static_cast<std::size_t>(index)]; };

  const TColor text_color = EffectivelyEnabled() ? Font().Color() : clGrayText;
  if (last > first) {
    dc.SetTextColor(text_color);
    dc.ExtTextOut(x_of(first), 0, 0, nullptr, run(first, last));
  }
  if (painted_.sel_end > painted_.sel_start) {
    const int from = std::clamp(painted_.sel_start, 0, length);
    const int to = std::clamp(painted_.sel_end, from, length);
    const TRect band{x_of(from), 0, x_of(to), line};
    dc.FillRect(band, Brush::Solid(clHighlight));
    const int run_from = std::max(from, first);
    const int run_to = std::min(to, last);
    if (run_to > run_from) {
      dc.SetTextColor(clHighlightText);
      dc.ExtTextOut(x_of(run_from), 0, ETO_CLIPPED, &band, run(run_from, run_to));
    }
  }
  if (painted_.caret_drawn) {
    const int caret = std::clamp(painted_.caret, 0, length);
    dc.FillRect({x_of(caret), 0, x_of(caret) + kCaretWidth, line}, Brush::Solid(text_color));
  }
}

void TCustomEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    const int clicks = CountClick(shift, x, y);
    selecting_ = false;
    if (clicks == 2) {
      text_.SelectWordAt(CharIndexAt(x));
    } else if (clicks == 3) {
      text_.SelectAll();
    } else {
      text_.MoveCaretTo(CharFromPos({x, y}), (shift & ssShift) != 0);
      selecting_ = true;
    }
    UpdateView();
  }
  TWinControl::MouseDown(button, shift, x, y);
}

void TCustomEdit::MouseMove(TShiftState shift, int x, int y) {
  if (selecting_ && (shift & ssLeft)) {
    const int position = CharFromPos({x, y});
    if (position != text_.Caret()) {
      text_.MoveCaretTo(position, true);
      UpdateView();
    }
  }
  TWinControl::MouseMove(shift, x, y);
}

void TCustomEdit::DoEnter() {
  if (auto_select_) {
    text_.SelectAll();
    UpdateView();
  }
  TWinControl::DoEnter();
}

void TCustomEdit::BoundsChanged() {
  TWinControl::BoundsChanged();
  UpdateView();
}

}  // namespace orlit
