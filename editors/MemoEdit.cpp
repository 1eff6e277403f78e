#include "editors/MemoEdit.h"

#include <algorithm>

#include "editors/InnerMemo.h"
#include "framework/Canvas.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/PainterCanvas.h"
#include "platform/DeviceContext.h"
#include "platform/VirtualKeys.h"

namespace orlit {

namespace {

constexpr int kDefaultWidth = 185;
constexpr int kDefaultHeight = 89;

std::unique_ptr<InnerEditAccess> MakeInnerMemo(TcxCustomTextEdit& editor) {
  auto* memo = editor.Create<TcxCustomInnerMemo>(&editor);
  return std::make_unique<TcxCustomInnerMemoHelper>(*memo);
}

}  // namespace

TcxCustomMemo::TcxCustomMemo() : TcxCustomMemo(std::make_unique<TcxMemoProperties>()) {}

TcxCustomMemo::TcxCustomMemo(std::unique_ptr<TcxCustomMemoProperties> properties)
    : TcxCustomTextEdit(std::move(properties), MakeInnerMemo) {
  inner_memo_ = static_cast<TcxCustomInnerMemo*>(&Inner().Control());
  inner_memo_->OnScroll = [this](TObject*) { InvalidateScrollBars(); };
  SetAutoSize(false);
  SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
}

TcxCustomMemo::~TcxCustomMemo() { inner_memo_->OnScroll = nullptr; }

TStrings& TcxCustomMemo::Lines() const { return inner_memo_->Lines(); }

void TcxCustomMemo::SetLines(const TStrings& lines) {
  TStrings& own = Lines();
  own.BeginUpdate();
  try {
    own.Clear();
    for (int i = 0; i < lines.Count(); ++i) own.Add(lines.Strings(i));
  } catch (...) {
    own.EndUpdate();
    throw;
  }
  own.EndUpdate();
}

void TcxCustomMemo::EditorKeyDown(int& key, TShiftState shift) {
  const bool ctrl = (shift & ssCtrl) != 0;
  const TcxCustomMemoProperties& properties = Properties();
  // Enter and Tab that the memo takes go on to the inner memo as they are.
  if (key == VK_RETURN && (properties.WantReturns() || ctrl)) return;
  if (key == VK_TAB && properties.WantTabs() && !ctrl) return;
  // Read-only: cutting only copies.
  if (key == VK_DELETE && (shift & (ssCtrl | ssShift | ssAlt)) == ssShift &&
      properties.ReadOnly()) {
    CopyToClipboard();
    key = 0;
    return;
  }
  if (key == 'A' && (shift & (ssCtrl | ssShift | ssAlt)) == ssCtrl) {
    if (Lines().Count() > 0) {
      SelectAll();
      key = 0;
    }
    return;
  }
  TcxCustomTextEdit::EditorKeyDown(key, shift);
}

void TcxCustomMemo::EditorKeyPress(char32_t& key) {
  if (key == kCharCtrlX && Properties().ReadOnly()) {
    CopyToClipboard();
    key = 0;
    return;
  }
  TcxCustomTextEdit::EditorKeyPress(key);
}

TRect TcxCustomMemo::ScrollBarArea() {
  const TRect content = TcxContainer::GetInnerControlBounds();
  TRect area = content;
  const TScrollStyle bars = Properties().ScrollBars();
  if (bars == ssVertical || bars == ssBoth)
    area.Right = std::max(area.Left, area.Right - kScrollBarSize);
  if (bars == ssHorizontal || bars == ssBoth) {
    area.Bottom = std::max(area.Top, area.Bottom - kScrollBarSize);
  }
  return area;
}

TRect TcxCustomMemo::VertScrollBarRect() {
  const TScrollStyle bars = Properties().ScrollBars();
  if (bars != ssVertical && bars != ssBoth) return {};
  const TRect area = ScrollBarArea();
  return {area.Right, area.Top, TcxContainer::GetInnerControlBounds().Right, area.Bottom};
}

TRect TcxCustomMemo::HorzScrollBarRect() {
  const TScrollStyle bars = Properties().ScrollBars();
  if (bars != ssHorizontal && bars != ssBoth) return {};
  const TRect area = ScrollBarArea();
  return {area.Left, area.Bottom, area.Right, TcxContainer::GetInnerControlBounds().Bottom};
}

TRect TcxCustomMemo::GetInnerControlBounds() {
  const TRect area = ScrollBarArea();
  return {area.Left + 1, area.Top + 1, std::max(area.Left + 1, area.Right - 1),
          std::max(area.Top + 1, area.Bottom - 1)};
}

std::unique_ptr<TcxContainerViewInfo> TcxCustomMemo::CreateViewInfo() {
  return std::make_unique<TcxCustomMemoViewInfo>();
}

void TcxCustomMemo::CalculateViewInfo(TcxContainerViewInfo& view_info) {
  TcxCustomTextEdit::CalculateViewInfo(view_info);
  // A view info made while a base constructor ran is the text editor's; it is made again once
  // the memo is whole.
  auto* info = dynamic_cast<TcxCustomMemoViewInfo*>(&view_info);
  if (info == nullptr) return;
  const TScrollStyle bars = Properties().ScrollBars();
  info->word_break = Properties().WordWrap() && bars != ssHorizontal && bars != ssBoth;
}

void TcxCustomMemo::PaintContent(TCanvas& canvas) {
  PaintScrollBars(canvas);
  if (inner_memo_->Visible()) return;
  // Without its inner window (disabled) the memo draws its text itself.
  const auto* info = dynamic_cast<const TcxCustomMemoViewInfo*>(&ViewInfo());
  if (info == nullptr) return;
  TFont font;
  ActiveStyle().GetVisibleFont(font);
  canvas.Font().Assign(font);
  TRect rect = inner_memo_->BoundsRect();
  unsigned format = DT_NOPREFIX | DT_EXPANDTABS;
  if (info->word_break) format |= DT_WORDBREAK | DT_EDITCONTROL;
  if (Properties().Alignment().Horz() == taRightJustify) format |= DT_RIGHT;
  if (Properties().Alignment().Horz() == taCenter) format |= DT_CENTER;
  canvas.DrawText(info->text, rect, format);
}

void TcxCustomMemo::InvalidateScrollBars() {
  if (Properties().ScrollBars() == ssNone) return;
  InvalidateRect(VertScrollBarRect());
  InvalidateRect(HorzScrollBarRect());
}

void TcxCustomMemo::PaintScrollBars(TCanvas& canvas) {
  if (Properties().ScrollBars() == ssNone) return;
  TcxCanvas cx(canvas);
  scroll_bars_.Paint(cx, Style().LookAndFeel().Painter(), *inner_memo_, VertScrollBarRect(),
                     HorzScrollBarRect());
}

void TcxCustomMemo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft &&
      scroll_bars_.MouseDown(*inner_memo_, VertScrollBarRect(), HorzScrollBarRect(), {x, y})) {
    // A grabbed thumb is drawn pressed.
    InvalidateScrollBars();
    return;
  }
  TcxCustomTextEdit::MouseDown(button, shift, x, y);
}

void TcxCustomMemo::MouseMove(TShiftState shift, int x, int y) {
  // Without the button the capture was taken away (a box came up, the window hid).
  if ((shift & ssLeft) == 0) EndThumbDrag();
  scroll_bars_.MouseMove(*inner_memo_, VertScrollBarRect(), HorzScrollBarRect(), {x, y});
  TcxCustomTextEdit::MouseMove(shift, x, y);
}

void TcxCustomMemo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) EndThumbDrag();
  TcxCustomTextEdit::MouseUp(button, shift, x, y);
}

void TcxCustomMemo::EndThumbDrag() {
  if (scroll_bars_.EndDrag()) InvalidateScrollBars();
}

bool TcxCustomMemo::CanAutoSize(int& /*new_width*/, int& /*new_height*/) { return false; }

void TcxCustomMemo::ApplyProperties() {
  TcxCustomTextEdit::ApplyProperties();
  if (inner_memo_ == nullptr) return;
  AdjustInnerControl();
  Invalidate();
}

void TcxCustomMemo::Loaded() {
  // Lines stored with the form are the memo's value.
  if (Lines().Count() > 0) SetEditValue(Properties().MakeEditValue(DisplayText(), false));
  TcxCustomTextEdit::Loaded();
}

}  // namespace orlit
