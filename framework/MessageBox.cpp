#include "framework/MessageBox.h"

#include <algorithm>
#include <cmath>

#include "convert/Translation.h"
#include "framework/Canvas.h"
#include "framework/DialogParts.h"

namespace orlit {

namespace {

constexpr int kButtonGap = 6;
constexpr int kMinWidth = 160;
constexpr unsigned kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;
constexpr TColor kIconRed = RGB(204, 0, 0);
constexpr TColor kIconEdge = RGB(128, 0, 0);

struct ButtonChoice {
  const char* caption;
  int result;
};

std::vector<ButtonChoice> ButtonsFor(unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{N_("OK"), IDOK}, {N_("Cancel"), IDCANCEL}};
    case MB_YESNOCANCEL:
      return {{N_("Yes"), IDYES}, {N_("No"), IDNO}, {N_("Cancel"), IDCANCEL}};
    case MB_YESNO:
      return {{N_("Yes"), IDYES}, {N_("No"), IDNO}};
    default:
      return {{N_("OK"), IDOK}};
  }
}

void FillDisc(TCanvas& canvas, int centre_x, int centre_y, double radius, TColor color) {
  const Brush brush = Brush::Solid(color);
  for (int y = static_cast<int>(-radius); y <= static_cast<int>(radius); ++y) {
    const double dy = y + 0.5;
    if (std::abs(dy) > radius) continue;
    const int half = static_cast<int>(std::lround(std::sqrt(radius * radius - dy * dy)));
    canvas.Handle().FillRect({centre_x - half, centre_y + y, centre_x + half, centre_y + y + 1},
                             brush);
  }
}

}  // namespace

TMessageBoxForm::TMessageBoxForm(std::string text, std::string caption, unsigned flags,
                                 int area_width)
    : text_(std::move(text)), flags_(flags) {
  SetCaption(caption);
  SetBorderStyle(bsDialog);
  SetPosition(poDesigned);

  const bool icon = (flags_ & MB_ICONMASK) == MB_ICONERROR;
  const int body_top = kTitleHeight + kMargin;
  const int text_left = kMargin + (icon ? kIconSize + kMargin : 0);
  const int text_limit = area_width > 0
                             ? std::clamp(area_width - text_left - kMargin, 1, kMaxTextWidth)
                             : kMaxTextWidth;

  DeviceContext& measure = MeasuringContext();
  measure.SelectFont(Font().Handle());
  TRect text_size{0, 0, text_limit, 0};
  measure.DrawText(text_.empty() ? std::string_view(" ") : std::string_view(text_), text_size,
                   DT_CALCRECT | kTextFormat);
  const int text_width = text_.empty() ? 0 : std::min(text_size.Width(), text_limit);
  const int text_height = text_size.Height();

  const int content_height = std::max(icon ? kIconSize : 0, text_height);
  icon_rect_ = icon ? TRect::FromBounds(kMargin, body_top, kIconSize, kIconSize) : TRect{};
  text_rect_ = TRect::FromBounds(text_left, body_top + (content_height - text_height) / 2,
                                 text_width, text_height);

  const std::vector<ButtonChoice> choices = ButtonsFor(flags_);
  const int count = static_cast<int>(choices.size());
  const int row_width = count * kButtonWidth + (count - 1) * kButtonGap;
  measure.SelectFont(Font().Handle());
  const int caption_width = measure.GetTextExtentPoint32(Caption()).cx + 2 * kMargin;
  int width = std::max(
      {kMinWidth, text_left + text_width + kMargin, row_width + 2 * kMargin, caption_width});
  // A long caption is cut rather than widen the box past the screen.
  if (area_width > 0) width = std::min(width, std::max(area_width, row_width + 2 * kMargin));
  const int buttons_top = body_top + content_height + kMargin;
  SetBounds(Left(), Top(), width, buttons_top + kButtonHeight + kMargin);

  int x = (width - row_width) / 2;
  for (const ButtonChoice& choice : choices) {
    auto* button = Create<TDialogButton>(choice.result);
    button->OnClick = [this, result = choice.result](TObject*) { SetModalResult(result); };
    button->SetParent(this);
    button->SetCaption(Translate(choice.caption));
    button->SetBounds(x, buttons_top, kButtonWidth, kButtonHeight);
    button->SetTabOrder(static_cast<int>(buttons_.size()));
    buttons_.push_back(button);
    x += kButtonWidth + kButtonGap;
  }
}

std::vector<int> TMessageBoxForm::ButtonResults() const {
  std::vector<int> results;
  for (const TDialogButton* button : buttons_) results.push_back(button->Result());
  return results;
}

int TMessageBoxForm::CancelResult() const {
  const std::vector<int> results = ButtonResults();
  if (std::find(results.begin(), results.end(), IDCANCEL) != results.end()) return IDCANCEL;
  if (results.size() == 1) return results.front();
  return 0;
}

void TMessageBoxForm::Close() {
  if (const int result = CancelResult(); result != 0) SetModalResult(result);
}

void TMessageBoxForm::DialogKey(int& key, TShiftState shift) {
  auto* focused = dynamic_cast<TDialogButton*>(ActiveControl());
  switch (key) {
    case VK_RETURN:
    case VK_SPACE:
      if (focused != nullptr) {
        SetModalResult(focused->Result());
      } else if (key == VK_RETURN && !buttons_.empty()) {
        SetModalResult(buttons_.front()->Result());
      }
      key = 0;
      return;
    case VK_ESCAPE:
      Close();
      key = 0;
      return;
    default:
      TCustomForm::DialogKey(key, shift);
  }
}

void TMessageBoxForm::Paint(TCanvas& canvas) {
  PaintDialogChrome(canvas, ClientRect(), Font(), Caption());
  if (!icon_rect_.IsEmpty()) DrawErrorIcon(canvas, icon_rect_.Left, icon_rect_.Top);
  TRect text = text_rect_;
  canvas.DrawText(text_, text, kTextFormat);
}

void DrawErrorIcon(TCanvas& canvas, int x, int y) {
  const int half = TMessageBoxForm::kIconSize / 2;
  FillDisc(canvas, x + half, y + half, half, kIconEdge);
  FillDisc(canvas, x + half, y + half, half - 1, kIconRed);
  const Brush white = Brush::Solid(clWhite);
  for (int i = 0; i < 13; ++i) {
    canvas.Handle().FillRect(TRect::FromBounds(x + 9 + i, y + 9 + i, 3, 3), white);
    canvas.Handle().FillRect(TRect::FromBounds(x + 21 - i, y + 9 + i, 3, 3), white);
  }
}

}  // namespace orlit
