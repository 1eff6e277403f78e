#include "lookandfeel/Painters.h"

#include <algorithm>

#include "lookandfeel/Office11Scheme.h"
#include "lookandfeel/VisualStyles.h"

namespace orlit {
namespace {

// The one object of each painter class.
template <typename Painter>
TcxLookAndFeelPainterClass PainterClass() {
  struct Instance final : Painter {};
  static const Instance& instance = *new Instance;
  return &instance;
}

}  // namespace

TcxLookAndFeelPainterClass TcxCustomLookAndFeelPainter::Class() {
  return PainterClass<TcxCustomLookAndFeelPainter>();
}

void TcxCustomLookAndFeelPainter::DrawBorder(TcxCanvas&, const TRect&) const {}

TRect TcxCustomLookAndFeelPainter::GetContentRect(const TRect& rect) const {
  const int size = BorderSize();
  return rect.Inflate(-size, -size);
}

TRect TcxCustomLookAndFeelPainter::GetInnerContentRect(const TRect& rect) const {
  return GetContentRect(rect).Inflate(-2, -2);
}

TColor TcxCustomLookAndFeelPainter::ButtonColor(TcxButtonState) const { return clBtnFace; }

void TcxCustomLookAndFeelPainter::DrawScrollBarPart(TcxCanvas& canvas, const TRect& rect,
                                                    TcxScrollBarPart part, TcxButtonState state,
                                                    bool horizontal) const {
  if (rect.IsEmpty() || part == sbpNone) return;
  if (part == sbpPageUp || part == sbpPageDown) {
    canvas.FillRect(rect, clBtnHighlight);
    return;
  }
  canvas.FillRect(rect, ButtonColor(state));
  const bool pressed = state == cxbsPressed;
  switch (LookAndFeelStyle()) {
    case lfsStandard:
    case lfsNative:
    case lfsFlat:
      // Pressed, the raised edges give way to a flat shadow line.
      if (pressed) {
        canvas.FrameRect(rect, clBtnShadow);
      } else {
        canvas.DrawEdge(rect, false, true);
        if (LookAndFeelStyle() != lfsFlat) canvas.DrawEdge(rect.Inflate(-1, -1), false, false);
      }
      break;
    case lfsUltraFlat:
    case lfsOffice11:
      canvas.FrameRect(rect, pressed ? clHighlight : clBtnShadow);
      break;
  }
  if (part == sbpThumbnail) return;
  // A solid triangle, one row (or column) of pixels at a time, pointing away from the centre.
  const int size = std::max(1, std::min(rect.Width(), rect.Height()) / 4);
  const int cx = (rect.Left + rect.Right) / 2;
  const int cy = (rect.Top + rect.Bottom) / 2;
  const bool towards_start = part == sbpLineUp;
  for (int i = 0; i < size; ++i) {
    const int depth = (towards_start ? i : size - 1 - i) - size / 2;
    const TRect band = horizontal ? TRect{cx + depth, cy - i, cx + depth + 1, cy + i + 1}
                                  : TRect{cx - i, cy + depth, cx + i + 1, cy + depth + 1};
    canvas.FillRect(band, clBtnText);
  }
}

TcxLookAndFeelPainterClass TcxStandardLookAndFeelPainter::Class() {
  return PainterClass<TcxStandardLookAndFeelPainter>();
}

void TcxStandardLookAndFeelPainter::DrawBorder(TcxCanvas& canvas, const TRect& rect) const {
  canvas.DrawEdge(rect, true, true);
  canvas.DrawEdge(rect.Inflate(-1, -1), true, false);
}

TcxLookAndFeelPainterClass TcxFlatLookAndFeelPainter::Class() {
  return PainterClass<TcxFlatLookAndFeelPainter>();
}

void TcxFlatLookAndFeelPainter::DrawBorder(TcxCanvas& canvas, const TRect& rect) const {
  canvas.DrawEdge(rect, true, true);
}

TcxLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::Class() {
  return PainterClass<TcxUltraFlatLookAndFeelPainter>();
}

void TcxUltraFlatLookAndFeelPainter::DrawBorder(TcxCanvas& canvas, const TRect& rect) const {
  canvas.FrameRect(rect, clBtnShadow);
}

TcxLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::Class() {
  return PainterClass<TcxOffice11LookAndFeelPainter>();
}

void TcxOffice11LookAndFeelPainter::DrawBorder(TcxCanvas& canvas, const TRect& rect) const {
  canvas.FrameRect(rect, CurrentOffice11Scheme().border);
}

TcxLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::Class() {
  return PainterClass<TcxWinXPLookAndFeelPainter>();
}

int TcxWinXPLookAndFeelPainter::BorderSize() const {
  return OpenTheme(ThemedObject::kListView) != 0 ? 1 : TcxStandardLookAndFeelPainter::BorderSize();
}

void TcxWinXPLookAndFeelPainter::DrawBorder(TcxCanvas& canvas, const TRect& rect) const {
  const HTHEME theme = OpenTheme(ThemedObject::kListView);
  ThemeService* service = CurrentThemeService();
  if (theme == 0 || service == nullptr) {
    TcxStandardLookAndFeelPainter::DrawBorder(canvas, rect);
    return;
  }
  if (rect.IsEmpty()) return;
  canvas.SaveClipRegion();
  canvas.ExcludeClipRect(rect.Inflate(-1, -1));
  service->DrawThemeBackground(theme, canvas.Handle(), 0, 0, rect);
  canvas.RestoreClipRegion();
}

}  // namespace orlit
