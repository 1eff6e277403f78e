#include "editors/GroupBox.h"

#include <algorithm>

#include "framework/Accelerator.h"
#include "framework/Canvas.h"
#include "lookandfeel/EditFrame.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/Office11Scheme.h"
#include "lookandfeel/VisualStyles.h"
#include "platform/DeviceContext.h"
#include "platform/TextLayout.h"

namespace orlit {
namespace {

// From the caption's top or left edge to the frame's: the caption keeps 8 pixels from the ends.
constexpr int kCaptionIndent = 8;
// The caption side's room is the caption height and this much more.
constexpr int kCaptionSpacing = 3;
constexpr int kShadowSize = TcxContainer::kShadowSize;
constexpr int kLeftSideEscapement = 900;
constexpr int kRightSideEscapement = 2700;
constexpr std::uint8_t kOutPrecisionTrueType = 7;

// One ring of the frame: the sides among `edges` in `color`, the others in the background.
void Ring(TcxCanvas& canvas, const TRect& rect, TColor color, TColor background, TcxBorders edges,
          int width = 1) {
  canvas.FrameRect(rect, color, width, edges);
  const TcxBorders others = cxBordersAll & ~edges;
  if (others != 0) canvas.FrameRect(rect, background, width, others);
}

}  // namespace

CaptionSide SideOf(TcxCaptionAlignment alignment) {
  if (alignment <= alTopRight) return CaptionSide::kTop;
  if (alignment <= alBottomRight) return CaptionSide::kBottom;
  if (alignment <= alLeftBottom) return CaptionSide::kLeft;
  if (alignment <= alRightBottom) return CaptionSide::kRight;
  return CaptionSide::kCenter;
}

// --- measuring -------------------------------------------------------------------------------

TRect TcxGroupBoxViewData::CaptionRect(TcxCaptionAlignment alignment, int th, int tw, bool shadow,
                                       int width, int height) {
  const int c = shadow ? kShadowSize : 0;
  const int w = width;
  const int h = height;
  switch (alignment) {
    case alLeftTop:
      return {-1, kCaptionIndent, th - 1, kCaptionIndent + tw};
    case alLeftCenter: {
      const int e = (h - c) - (h - c - tw) / 2;
      return {-1, e - tw, th - 1, e};
    }
    case alLeftBottom: {
      const int e = h - c - kCaptionIndent;
      return {-1, e - tw, th - 1, e};
    }
    case alRightTop:
      return {w - th + 1, kCaptionIndent, w + 1, kCaptionIndent + tw};
    case alRightCenter:
      return {w - th + 1, (h - tw) / 2, w + 1, (h - tw) / 2 + tw};
    case alRightBottom:
      return {w - th + 1, h - kCaptionIndent - tw, w + 1, h - kCaptionIndent};
    default:
      break;
  }
  TRect rect{kCaptionIndent, 0, kCaptionIndent + tw, th};
  if (alignment == alTopCenter || alignment == alBottomCenter || alignment == alCenterCenter) {
    rect = rect.Offset((w - c - tw) / 2 - rect.Left, 0);
  } else if (alignment == alTopRight || alignment == alBottomRight) {
    rect = rect.Offset((w - kCaptionIndent - c) - rect.Right, 0);
  }
  if (SideOf(alignment) == CaptionSide::kBottom) rect = {rect.Left, h - th - 2, rect.Right, h - 2};
  if (alignment == alCenterCenter) rect = rect.Offset(0, (h - c - th) / 2);
  return rect;
}

TRect TcxGroupBoxViewData::ChildArea(const TRect& bounds, const TRect& border_rect,
                                     TcxCaptionAlignment alignment, int caption_height) {
  TRect area = border_rect.Inflate(-1, -1);
  const int room = caption_height + kCaptionSpacing;
  switch (SideOf(alignment)) {
    case CaptionSide::kTop:
      area.Top = bounds.Top + room;
      break;
    case CaptionSide::kBottom:
      area.Bottom = bounds.Bottom - room;
      break;
    case CaptionSide::kLeft:
      area.Left = bounds.Left + room;
      break;
    case CaptionSide::kRight:
      area.Right = bounds.Right - room;
      break;
    case CaptionSide::kCenter:
      break;
  }
  area.Right = std::max(area.Right, area.Left);
  area.Bottom = std::max(area.Bottom, area.Top);
  return area;
}

// --- painting --------------------------------------------------------------------------------

void TcxGroupBoxViewInfo::Paint(TcxCanvas& canvas) const {
  if (caption_text.empty()) {
    native ? PaintNativeFrame(canvas) : PaintFrame(canvas);
    return;
  }
  canvas.SaveClipRegion();
  // The native frame shows under the caption as well; the others leave the caption's place to
  // it.
  if (!native) canvas.ExcludeClipRect(caption_rect);
  native ? PaintNativeFrame(canvas) : PaintFrame(canvas);
  canvas.RestoreClipRegion();
  PaintCaption(canvas);
}

void TcxGroupBoxViewInfo::PaintFrame(TcxCanvas& canvas) const {
  TcxEditBorderStyle style = border_style;
  if (style == ebsUltraFlat || style == ebsOffice11) style = ebsSingle;
  const int w = EditBorderWidth(style);
  const CaptionSide side = SideOf(alignment);
  const int left_inset = border_rect.Left - bounds.Left;
  const int top_inset = border_rect.Top - bounds.Top;
  const int right_inset = bounds.Right - border_rect.Right;
  const int bottom_inset = bounds.Bottom - border_rect.Bottom;
  TRect f = border_rect;
  switch (side) {
    case CaptionSide::kTop:
      f.Top = bounds.Top + left_inset;
      break;
    case CaptionSide::kBottom:
      f.Bottom = bounds.Bottom - right_inset;
      break;
    case CaptionSide::kLeft:
      f.Left = bounds.Left + top_inset;
      break;
    case CaptionSide::kRight:
      f.Right = bounds.Right - bottom_inset;
      break;
    case CaptionSide::kCenter:
      break;
  }
  f = f.Inflate(w, w);

  // The frame line runs through the caption's middle.
  const int b = side == CaptionSide::kCenter ? w : caption_height / 2 - w + 1;
  const int width = bounds.Right;
  const int height = bounds.Bottom;
  switch (side) {
    case CaptionSide::kTop:
      f.Top = b;
      canvas.FillRect({f.Left, 0, f.Right, b}, background_color);
      break;
    case CaptionSide::kBottom:
      f.Bottom = height - b;
      canvas.FillRect({f.Left, height - b, f.Right, bounds.Bottom}, background_color);
      break;
    case CaptionSide::kLeft:
      f.Left = b - 1;
      canvas.FillRect({0, f.Top, b - 1, f.Bottom}, background_color);
      break;
    case CaptionSide::kRight:
      f.Right = width - b + 1;
      canvas.FillRect({width - b + 1, f.Top, bounds.Right, f.Bottom}, background_color);
      break;
    case CaptionSide::kCenter:
      break;
  }
  const TRect outer = f;

  switch (style) {
    case ebsNone:
      if (shadow) {
        const TRect patch = side != CaptionSide::kTop
                                ? TRect{3, bounds.Bottom - 5, 5, bounds.Bottom - 2}
                                : TRect{f.Right, 3, f.Right + 3, 5};
        canvas.FillRect(patch, parent_color);
      }
      break;
    case ebsSingle:
    case ebsThick:
      Ring(canvas, f, border_color, background_color, edges, w);
      f = f.Inflate(-w, -w);
      break;
    case ebsFlat:
      Ring(canvas, f, clBtnShadow, background_color, edges);
      Ring(canvas, f.Inflate(-1, -1), clBtnHighlight, background_color, edges);
      f = f.Inflate(-2, -2);
      break;
    case ebs3D:
      if (ctl3d) {
        Ring(canvas, {f.Left + 1, f.Top + 1, f.Right, f.Bottom}, clBtnHighlight, background_color,
             edges);
        Ring(canvas, {f.Left, f.Top, f.Right - 1, f.Bottom - 1}, clBtnShadow, background_color,
             edges);
        canvas.FillRect({f.Left, f.Bottom - 1, f.Left + 1, f.Bottom}, background_color);
        canvas.FillRect({f.Right - 1, f.Top, f.Right, f.Top + 1}, background_color);
      } else {
        Ring(canvas, f, clWindowFrame, background_color, edges);
        Ring(canvas, f.Inflate(-1, -1), background_color, background_color, edges);
      }
      f = f.Inflate(-2, -2);
      break;
    default:  // ultra-flat and Office 11 are drawn as single lines above
      break;
  }
  if (shadow) PaintShadow(canvas, outer, b, w);
  canvas.FillRect(f, background_color);
}

void TcxGroupBoxViewInfo::PaintShadow(TcxCanvas& canvas, TRect rect, int line_offset, int w) const {
  // Sides that draw no frame line keep their place for the shadow.
  if (!HasBorder(edges, bLeft)) rect.Left += w;
  if (!HasBorder(edges, bTop)) rect.Top += w;
  if (!HasBorder(edges, bRight)) rect.Right -= w;
  if (!HasBorder(edges, bBottom)) rect.Bottom -= w;
  const int b = line_offset;
  canvas.SaveClipRegion();
  canvas.IntersectClipRect(bounds);
  if (border_style != ebsNone) {
    const CaptionSide side = SideOf(alignment);
    if (side == CaptionSide::kTop) {
      canvas.FillRect({rect.Right, bounds.Top, rect.Right + kShadowSize, b + kShadowSize},
                      parent_color);
      rect.Top = b;
    } else if (side == CaptionSide::kLeft) {
      canvas.FillRect({bounds.Left, rect.Bottom, b + 2, rect.Bottom + kShadowSize}, parent_color);
      rect.Left = b - 1;
    }
  }
  DrawContainerShadow(canvas, rect);
  canvas.RestoreClipRegion();
}

void TcxGroupBoxViewInfo::PaintNativeFrame(TcxCanvas& canvas) const {
  ThemeService* service = CurrentThemeService();
  const HTHEME theme = service != nullptr ? OpenTheme(ThemedObject::kButton) : 0;
  const int state = enabled ? GBS_NORMAL : GBS_DISABLED;
  canvas.SaveClipRegion();
  const bool see_through =
      parent_background && theme != 0 &&
      service->IsThemeBackgroundPartiallyTransparent(theme, BP_GROUPBOX, state);
  canvas.FillRect(bounds, see_through ? parent_color : background_color);
  if (border_style != ebsNone && theme != 0) {
    if (alignment != alCenterCenter) canvas.ExcludeClipRect(caption_rect);
    TRect frame = bounds;
    const int half = caption_height / 2;
    switch (SideOf(alignment)) {
      case CaptionSide::kTop:
        frame.Top += half;
        break;
      case CaptionSide::kBottom:
        frame.Bottom -= half;
        break;
      case CaptionSide::kLeft:
        frame.Left += half;
        break;
      case CaptionSide::kRight:
        frame.Right -= half;
        break;
      case CaptionSide::kCenter:
        break;
    }
    service->DrawThemeBackground(theme, canvas.Handle(), BP_GROUPBOX, state, frame);
  }
  canvas.RestoreClipRegion();
}

void TcxGroupBoxViewInfo::PaintCaption(TcxCanvas& canvas) const {
  DeviceContext& dc = canvas.Handle();
  const SavedDc saved(dc);
  TColor color = text_color;
  if (native) {
    ThemeService* service = CurrentThemeService();
    const HTHEME theme = service != nullptr ? OpenTheme(ThemedObject::kButton) : 0;
    TColor themed = 0;
    if (theme != 0 &&
        service->GetThemeColor(theme, BP_GROUPBOX, enabled ? GBS_NORMAL : GBS_DISABLED,
                               TMT_TEXTCOLOR, themed)) {
      color = themed;
    }
  }
  dc.SelectFont(caption_font);
  dc.SetTextColor(ColorToRGB(color));
  dc.SetBkColor(ColorToRGB(background_color));
  dc.SetBkMode(native ? TRANSPARENT : OPAQUE);
  if (IsVerticalCaption(alignment)) {
    const bool left = SideOf(alignment) == CaptionSide::kLeft;
    const int x = left ? caption_rect.Left : caption_rect.Right;
    const int y = left ? caption_rect.Bottom - 1 : caption_rect.Top + 1;
    dc.ExtTextOut(x, y, ETO_CLIPPED | (native ? 0u : ETO_OPAQUE), &caption_rect, caption_text);
  } else {
    if (!native) canvas.FillRect(caption_rect, background_color);
    TRect rect = caption_rect;
    dc.DrawText(caption_text, rect, DT_SINGLELINE | DT_LEFT);
  }
}

// --- the control -----------------------------------------------------------------------------

TcxCustomGroupBox::TcxCustomGroupBox()
    : TcxCustomEdit(std::make_unique<TcxCustomGroupBoxProperties>()) {
  SetParentColor(true);
  SetTabStop(false);
  SetBounds(Left(), Top(), kDefaultWidth, kDefaultHeight);
}

void TcxCustomGroupBox::SetAlignment(TcxCaptionAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  CaptionChanged();
}

void TcxCustomGroupBox::SetCtl3D(bool ctl3d) {
  if (ctl3d == ctl3d_) return;
  ctl3d_ = ctl3d;
  StyleChanged();
}

void TcxCustomGroupBox::SetParentBackground(bool parent_background) {
  if (parent_background == parent_background_) return;
  parent_background_ = parent_background;
  StyleChanged();
}

std::string TcxCustomGroupBox::CaptionText() const {
  if (!IsVerticalCaption(alignment_)) return Caption();
  // A vertical caption is written as a plain string, without accelerator processing.
  std::string text;
  const std::string& caption = Caption();
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      text += caption[i];
    } else if (i + 1 == caption.size()) {
      text += '_';
    } else {
      text += caption[++i];
    }
  }
  return text;
}

LOGFONT TcxCustomGroupBox::CaptionLogFont() const {
  TFont font;
  Style().GetVisibleFont(font);
  LOGFONT logical = font.LogFont();
  if (!IsVerticalCaption(alignment_)) return logical;
  if (!font.Handle()->IsTrueType()) logical.lfFaceName = "Arial";
  const int escapement =
      SideOf(alignment_) == CaptionSide::kLeft ? kLeftSideEscapement : kRightSideEscapement;
  if (logical.lfEscapement != escapement) {
    logical.lfEscapement = escapement;
    logical.lfOrientation = escapement;
    logical.lfOutPrecision = kOutPrecisionTrueType;
  }
  return logical;
}

bool TcxCustomGroupBox::IsTransparent() const {
  return parent_background_ && !IsInplace() && IsNativeStyle();
}

bool TcxCustomGroupBox::DialogChar(char32_t key) {
  if (IsAccel(key, Caption()) && CanFocus()) {
    std::vector<TWinControl*> children;
    GetTabOrderList(children);
    for (TWinControl* child : children) {
      if (child->CanFocus()) {
        child->SetFocus();
        return true;
      }
    }
  }
  return TcxCustomEdit::DialogChar(key);
}

bool TcxCustomGroupBox::IsNativeGroupBox() const {
  const bool wanted = IsNativeStyle() || Style().LookAndFeel().Kind() == lfOffice11;
  return wanted && AreVisualStylesUsable() && OpenTheme(ThemedObject::kEdit) != 0;
}

std::unique_ptr<TcxContainerViewInfo> TcxCustomGroupBox::CreateViewInfo() {
  return std::make_unique<TcxGroupBoxViewInfo>();
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomGroupBox::CreateViewData() const {
  return std::make_unique<TcxGroupBoxViewData>(Properties());
}

void TcxCustomGroupBox::CalculateViewInfo(TcxContainerViewInfo& view_info) {
  TcxCustomEdit::CalculateViewInfo(view_info);
  auto& info = static_cast<TcxGroupBoxViewInfo&>(view_info);
  const bool disabled = info.state.Contains(EditVisualState::kDisabled);
  // Only the normal and the disabled style draw a group box.
  const TcxCustomContainerStyle& style =
      disabled ? static_cast<const TcxCustomContainerStyle&>(StyleDisabled()) : Style();
  info.native = IsNativeGroupBox();
  info.background_color = style.Color();
  info.text_color = style.TextColor();
  const TcxEditBorderStyle border = ToEditBorderStyle(style.BorderStyle());
  info.border_style = border;
  info.border_width =
      EditBorderWidth(border == ebsUltraFlat || border == ebsOffice11 ? ebsSingle : border);
  if (border == ebsUltraFlat) {
    info.border_color = disabled ? clBtnShadow : clHighlight;
  } else if (border == ebsOffice11) {
    info.border_color = disabled ? clBtnShadow : CurrentOffice11Scheme().selected_border;
  } else {
    info.border_color = style.BorderColor();
  }
  const CaptionSide side = SideOf(alignment_);
  info.shadow =
      Style().Shadow() && !info.native &&
      (side == CaptionSide::kTop || side == CaptionSide::kLeft || side == CaptionSide::kCenter);
  info.border_rect = EditBorderRect(info.bounds, info.border_style, info.shadow);
  info.alignment = alignment_;
  info.caption_text = CaptionText();
  info.caption_font = ResolvedFont::Create(CaptionLogFont());
  info.caption_height = info.caption_font->TextMetrics().tmHeight;
  info.caption_rect =
      info.caption_text.empty()
          ? TRect{}
          : TcxGroupBoxViewData::CaptionRect(alignment_, info.caption_height,
                                             info.caption_font->TextWidth(info.caption_text),
                                             Style().Shadow(), Width(), Height());
  info.parent_color = Parent() != nullptr ? Parent()->Color() : clBtnFace;
  info.ctl3d = ctl3d_;
  info.parent_background = parent_background_;
}

void TcxCustomGroupBox::AdjustClientRect(TRect& rect) const {
  const int caption_height = ResolvedFont::Create(CaptionLogFont())->TextMetrics().tmHeight;
  const CaptionSide side = SideOf(alignment_);
  const bool shadow =
      Style().Shadow() && !IsNativeStyle() &&
      (side == CaptionSide::kTop || side == CaptionSide::kLeft || side == CaptionSide::kCenter);
  const TcxEditBorderStyle border = ToEditBorderStyle(Style().BorderStyle());
  const TRect bounds = ClientRect();
  rect = TcxGroupBoxViewData::ChildArea(bounds, EditBorderRect(bounds, border, shadow), alignment_,
                                        caption_height);
}

void TcxCustomGroupBox::Paint(TCanvas& canvas) {
  const auto& info = static_cast<const TcxGroupBoxViewInfo&>(ViewInfo());
  TcxCanvas cx_canvas(canvas);
  if (IsInplace()) {
    cx_canvas.FillRect(info.bounds, info.background_color);
    return;
  }
  info.Paint(cx_canvas);
}

void TcxCustomGroupBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // A click on the frame leaves the focus where it is.
  TcxControl::MouseDown(button, shift, x, y);
}

bool TcxCustomGroupBox::CanAutoSize(int& /*new_width*/, int& /*new_height*/) { return false; }

void TcxCustomGroupBox::TextChanged() {
  TcxCustomEdit::TextChanged();
  CaptionChanged();
}

void TcxCustomGroupBox::FontChanged() {
  TcxCustomEdit::FontChanged();
  if (!Loading()) Realign();
}

void TcxCustomGroupBox::VisualStateChanged() {
  TcxCustomEdit::VisualStateChanged();
  // A style's font or border moves the children's area.
  TRect area;
  AdjustClientRect(area);
  if (area == child_area_) return;
  child_area_ = area;
  if (!Loading()) Realign();
}

void TcxCustomGroupBox::CaptionChanged() {
  StyleChanged();
  if (!Loading()) Realign();
  Invalidate();
}

}  // namespace orlit
