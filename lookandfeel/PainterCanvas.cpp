#include "lookandfeel/PainterCanvas.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace orlit {
namespace {

struct FlagMapping {
  int canvas;
  unsigned platform;
};

constexpr FlagMapping kFlagMappings[] = {
    {cxAlignRight, DT_RIGHT},
    {cxAlignHCenter, DT_CENTER},
    {cxAlignBottom, DT_BOTTOM},
    {cxAlignVCenter, DT_VCENTER},
    {cxSingleLine, DT_SINGLELINE},
    {cxDontClip, DT_NOCLIP},
    {cxExpandTabs, DT_EXPANDTABS},
    {cxWordBreak, DT_WORDBREAK | DT_EDITCONTROL},
    {cxShowEndEllipsis, DT_END_ELLIPSIS},
    {cxDontPrint, DT_CALCRECT},
    {cxShowPathEllipsis, DT_PATH_ELLIPSIS},
};

// The device context's drawing state apart from its clip.
struct NonClipState {
  std::shared_ptr<const ResolvedFont> font;
  orlit::Brush brush;
  Pen pen;
  TColor text_color;
  TColor bk_color;
  int bk_mode;
  TPoint origin;

  explicit NonClipState(const DeviceContext& dc)
      : font(dc.SelectedFont()),
        brush(dc.SelectedBrush()),
        pen(dc.SelectedPen()),
        text_color(dc.GetTextColor()),
        bk_color(dc.GetBkColor()),
        bk_mode(dc.GetBkMode()),
        origin(dc.GetViewportOrgEx()) {}

  void Apply(DeviceContext& dc) const {
    dc.SelectFont(font);
    dc.SelectBrush(brush);
    dc.SelectPen(pen);
    dc.SetTextColor(text_color);
    dc.SetBkColor(bk_color);
    dc.SetBkMode(bk_mode);
    dc.SetViewportOrgEx(origin.X, origin.Y);
  }
};

struct BorderSide {
  TcxBorder border;
  TColor color;
};

// Sizes of rectangles that may span more than an int.
int64_t Width64(const TRect& r) { return static_cast<int64_t>(r.Right) - r.Left; }
int64_t Height64(const TRect& r) { return static_cast<int64_t>(r.Bottom) - r.Top; }

int ClampToInt(int64_t v) {
  return static_cast<int>(
      std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

}  // namespace

unsigned cxFlagsToDTFlags(int flags) {
  unsigned result = (flags & cxShowPrefix) != 0 ? 0u : DT_NOPREFIX;
  for (const FlagMapping& mapping : kFlagMappings) {
    if ((flags & mapping.canvas) != 0) result |= mapping.platform;
  }
  return result;
}

int cxEditTextFlags(TAlignment horz, TcxEditVertAlignment vert, bool show_prefix, bool word_break,
                    bool end_ellipsis) {
  int flags = 0;
  switch (horz) {
    case taLeftJustify:
      flags |= cxAlignLeft;
      break;
    case taRightJustify:
      flags |= cxAlignRight;
      break;
    case taCenter:
      flags |= cxAlignHCenter;
      break;
  }
  switch (vert) {
    case taTopJustify:
      flags |= cxAlignTop;
      break;
    case taBottomJustify:
      flags |= cxAlignBottom;
      break;
    case taVCenter:
      flags |= cxAlignVCenter;
      break;
  }
  if (show_prefix) flags |= cxShowPrefix;
  if (word_break) flags |= cxWordBreak;
  if (end_ellipsis) flags |= cxShowEndEllipsis;
  return flags;
}

unsigned cxEditDrawTextFlags(TAlignment horz, TcxEditVertAlignment vert, bool show_prefix,
                             bool word_break, bool end_ellipsis) {
  unsigned flags = 0;
  switch (horz) {
    case taLeftJustify:
      flags |= DT_LEFT;
      break;
    case taRightJustify:
      flags |= DT_RIGHT;
      break;
    case taCenter:
      flags |= DT_CENTER;
      break;
  }
  switch (vert) {
    case taTopJustify:
      flags |= DT_TOP;
      break;
    case taBottomJustify:
      flags |= DT_BOTTOM;
      break;
    case taVCenter:
      flags |= DT_VCENTER;
      break;
  }
  if (!show_prefix) flags |= DT_NOPREFIX;
  if (word_break) flags |= DT_WORDBREAK;
  if (end_ellipsis) flags |= DT_END_ELLIPSIS;
  return flags;
}

TcxCanvas::~TcxCanvas() {
  // A save without its restore must not leak a clip into whoever paints next.
  if (!saved_clips_.empty()) {
    saved_clips_.erase(saved_clips_.begin() + 1, saved_clips_.end());
    RestoreClipRegion();
  }
}

void TcxCanvas::FrameRect(const TRect& rect, TColor color, int line_width, TcxBorders borders) {
  if (rect.IsEmpty()) return;
  if (color != clKeepBrushColor) Brush().SetColor(color);
  const int w = std::max(line_width, 0);
  const auto l = static_cast<int64_t>(rect.Left);
  const auto t = static_cast<int64_t>(rect.Top);
  const auto r = static_cast<int64_t>(rect.Right);
  const auto b = static_cast<int64_t>(rect.Bottom);
  auto band = [&](int64_t left, int64_t top, int64_t right, int64_t bottom) {
    canvas_.FillRect({static_cast<int>(left), static_cast<int>(top), static_cast<int>(right),
                      static_cast<int>(bottom)});
  };
  if (HasBorder(borders, bLeft)) band(l, t, std::min(l + w, r), b);
  if (HasBorder(borders, bRight)) band(std::max(r - w, l), t, r, b);
  if (HasBorder(borders, bTop)) band(l, t, r, std::min(t + w, b));
  if (HasBorder(borders, bBottom)) band(l, std::max(b - w, t), r, b);
}

void TcxCanvas::DrawComplexFrame(const TRect& rect, TColor left_top_color,
                                 TColor right_bottom_color, TcxBorders borders, int line_width) {
  if (rect.IsEmpty()) return;
  const BorderSide sides[] = {{bLeft, left_top_color},
                              {bTop, left_top_color},
                              {bRight, right_bottom_color},
                              {bBottom, right_bottom_color}};
  for (const BorderSide& side : sides) {
    if (HasBorder(borders, side.border)) {
      FrameRect(rect, side.color, line_width, BorderBit(side.border));
    }
  }
}

void TcxCanvas::DrawEdge(const TRect& rect, bool sunken, bool outer, TcxBorders borders) {
  if (outer) {
    if (sunken) {
      DrawComplexFrame(rect, clBtnShadow, clBtnHighlight, borders);
    } else {
      DrawComplexFrame(rect, cl3DLight, cl3DDkShadow, borders);
    }
  } else if (sunken) {
    DrawComplexFrame(rect, cl3DDkShadow, cl3DLight, borders);
  } else {
    DrawComplexFrame(rect, clBtnHighlight, clBtnShadow, borders);
  }
}

void TcxCanvas::FillRect(const TRect& rect, TColor color) {
  Brush().SetColor(color);
  canvas_.FillRect(rect);
}

void TcxCanvas::FillRect(const TRect& rect, const PixelImage* bitmap) {
  if (rect.IsEmpty()) return;
  if (bitmap == nullptr || bitmap->IsEmpty()) {
    canvas_.FillRect(rect);
    return;
  }
  DeviceContext& dc = Handle();
  TRect clip_box;
  dc.GetClipBox(clip_box);
  const TRect area = rect.Intersect(clip_box);
  if (area.IsEmpty()) return;
  const SavedDc saved(dc);
  dc.IntersectClipRect(rect);
  const int64_t w = bitmap->Width();
  const int64_t h = bitmap->Height();
  const int64_t first_x = FloorDiv(area.Left, w) * w;
  const int64_t first_y = FloorDiv(area.Top, h) * h;
  for (int64_t y = first_y; y < area.Bottom; y += h) {
    for (int64_t x = first_x; x < area.Right; x += w) {
      dc.Draw(static_cast<int>(x), static_cast<int>(y), *bitmap);
    }
  }
}

void TcxCanvas::SelectFontAndBackground() {
  DeviceContext& dc = Handle();
  dc.SelectFont(Font().Handle());
  dc.SetTextColor(Font().Color());
  if (Brush().Style() == bsClear) {
    dc.SetBkMode(TRANSPARENT);
  } else {
    dc.SetBkMode(OPAQUE);
    dc.SetBkColor(Brush().Color());
  }
}

void TcxCanvas::DrawText(std::string_view text, TRect& rect, int flags, bool enabled) {
  if (text.empty()) return;
  if ((flags & cxDontPrint) != 0) {
    SelectFontAndBackground();
    Handle().DrawText(text, rect, cxFlagsToDTFlags(flags));
    return;
  }
  if (enabled) {
    DrawTextOnce(text, rect, flags, 0);
    return;
  }
  const TBrushStyle brush_style = Brush().Style();
  const TColor font_color = Font().Color();
  Brush().SetStyle(bsClear);
  Font().SetColor(clBtnHighlight);
  DrawTextOnce(text, rect.Offset(1, 1), flags, 1);
  Font().SetColor(clBtnShadow);
  DrawTextOnce(text, rect, flags, 1);
  Brush().SetStyle(brush_style);
  Font().SetColor(font_color);
}

// `d` is 1 for the two passes of disabled text: the lighter copy one pixel right and down must
// still fit where the text is aligned to the right or the bottom.
void TcxCanvas::DrawTextOnce(std::string_view text, const TRect& rect, int flags, int d) {
  SelectFontAndBackground();
  DeviceContext& dc = Handle();
  const bool fast = (flags & cxSingleLine) != 0 &&
                    (flags & (cxShowPrefix | cxShowEndEllipsis | cxShowPathEllipsis)) == 0;
  if (fast) {
    const TSize extent = dc.GetTextExtentPoint32(text);
    const bool fits = extent.cx < Width64(rect) && extent.cy < Height64(rect);
    int64_t x = rect.Left;
    if ((flags & cxAlignRight) != 0) {
      x = int64_t{rect.Right} - extent.cx - d;
    } else if ((flags & cxAlignHCenter) != 0) {
      x = (int64_t{rect.Left} + rect.Right - extent.cx) / 2;
    }
    int64_t y = rect.Top;
    if ((flags & cxAlignBottom) != 0) {
      y = int64_t{rect.Bottom} - extent.cy - d;
    } else if ((flags & cxAlignVCenter) != 0) {
      y = (int64_t{rect.Top} + rect.Bottom - extent.cy) / 2;
    }
    dc.ExtTextOut(ClampToInt(x), ClampToInt(y), fits ? 0u : ETO_CLIPPED, &rect, text);
    return;
  }
  const unsigned format = cxFlagsToDTFlags(flags);
  TRect target = rect;
  if ((flags & cxSingleLine) == 0 && (flags & (cxAlignBottom | cxAlignVCenter)) != 0) {
    TRect measured{rect.Left, rect.Top, ClampToInt(int64_t{rect.Right} - d), rect.Top};
    const int height = dc.DrawText(text, measured, format | DT_CALCRECT);
    if ((flags & cxAlignBottom) != 0) {
      target.Top = ClampToInt(int64_t{rect.Bottom} - height - d);
    } else {
      target.Top = ClampToInt((int64_t{rect.Top} + rect.Bottom - height) / 2);
    }
  }
  dc.DrawText(text, target, format);
}

int TcxCanvas::TextWidth(std::string_view text) const { return canvas_.TextWidth(text); }

int TcxCanvas::TextHeight(std::string_view text) const { return canvas_.TextHeight(text); }

void TcxCanvas::SaveClipRegion() { saved_clips_.push_back(Handle().SaveDC()); }

void TcxCanvas::RestoreClipRegion() {
  if (saved_clips_.empty()) return;
  DeviceContext& dc = Handle();
  const NonClipState state(dc);
  dc.RestoreDC(saved_clips_.back());
  saved_clips_.pop_back();
  state.Apply(dc);
}

void TcxCanvas::ExcludeClipRect(const TRect& rect) { Handle().ExcludeClipRect(rect); }

void TcxCanvas::IntersectClipRect(const TRect& rect) { Handle().IntersectClipRect(rect); }

void TcxCanvas::CopyRect(const TRect& dest, const TcxCanvas& source, const TRect& source_rect) {
  if (dest.IsEmpty() || source_rect.IsEmpty()) return;
  DeviceContext& dc = Handle();
  const DeviceContext& from = source.Handle();
  if (Width64(dest) == Width64(source_rect) && Height64(dest) == Height64(source_rect)) {
    dc.BitBlt(dest.Left, dest.Top, ClampToInt(Width64(dest)), ClampToInt(Height64(dest)), from,
              source_rect.Left, source_rect.Top);
    return;
  }
  // Only the part of the source that exists is copied, to the matching part of `dest`.
  const TPoint origin = from.GetViewportOrgEx();
  const TRect device =
      source_rect.Offset(origin.X, origin.Y).Intersect(TRect{0, 0, from.Width(), from.Height()});
  if (device.IsEmpty()) return;
  const TRect part_rect = device.Offset(-origin.X, -origin.Y);
  auto scale = [](int64_t value, int64_t from_origin, int64_t from_size, int64_t to_origin,
                  int64_t to_size) {
    const double scaled = static_cast<double>(value - from_origin) * static_cast<double>(to_size) /
                          static_cast<double>(from_size);
    return ClampToInt(to_origin + static_cast<int64_t>(std::clamp(scaled, -1e15, 1e15)));
  };
  const TRect target{
      scale(part_rect.Left, source_rect.Left, Width64(source_rect), dest.Left, Width64(dest)),
      scale(part_rect.Top, source_rect.Top, Height64(source_rect), dest.Top, Height64(dest)),
      scale(part_rect.Right, source_rect.Left, Width64(source_rect), dest.Left, Width64(dest)),
      scale(part_rect.Bottom, source_rect.Top, Height64(source_rect), dest.Top, Height64(dest))};
  PixelImage part(device.Width(), device.Height());
  for (int y = 0; y < device.Height(); ++y) {
    for (int x = 0; x < device.Width(); ++x) {
      part.SetPixel(x, y, ColorToPixel(from.GetPixel(part_rect.Left + x, part_rect.Top + y)));
    }
  }
  dc.StretchDraw(target, part);
}

}  // namespace orlit
