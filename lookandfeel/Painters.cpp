#include "lookandfeel/Painters.h"

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
