#include "editors/LabelView.h"

#include <cmath>
#include <cstdlib>

#include "lookandfeel/PainterCanvas.h"

namespace orlit {

namespace label_rules {

TPoint EffectOffsets(TcxLabelEffect effect, TcxLabelOrientation orientation, int depth) {
  if (effect == cxleNormal) return {0, 0};
  switch (orientation) {
    case cxoLeft:
    case cxoRight:
      return {depth, 0};
    case cxoTop:
    case cxoBottom:
      return {0, depth};
    default:
      return {depth, depth};
  }
}

int StyleMargin(TcxLabelStyle style, int font_points) {
  if (style != cxlsRaised && style != cxlsLowered) return 0;
  return font_points < 12 ? 1 : 2;
}

int EffectiveAngle(const ResolvedFont& font, int angle) {
  if ((font.TextMetrics().tmPitchAndFamily & TMPF_TRUETYPE) == 0) return 0;
  return ((angle % 360) + 360) % 360;
}

std::string StripAccelerators(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.push_back(text[i]);
    } else if (i + 1 == text.size()) {
      out.push_back('_');
    } else {
      out.push_back(text[++i]);
    }
  }
  return out;
}

}  // namespace label_rules

namespace {

using label_rules::EffectiveAngle;
using label_rules::StripAccelerators;
using label_rules::StyleMargin;

constexpr double kPi = 3.14159265358979323846;

int Sign(int value) { return (value > 0) - (value < 0); }

// Step `i` of `n` from the background towards the shadow colour.
TColor Blend(TColor background, TColor shadow, int i, int n) {
  const TColor b = ColorToRGB(background);
  const TColor s = ColorToRGB(shadow);
  auto channel = [&](int from, int to) {
    return static_cast<int>(std::trunc(static_cast<double>(i * (to - from)) / n + from));
  };
  return RGB(channel(GetRValue(b), GetRValue(s)), channel(GetGValue(b), GetGValue(s)),
             channel(GetBValue(b), GetBValue(s)));
}

// The size of one line of `text`, measured as the label measures rotated text.
TSize OneLineExtent(DeviceContext& dc, const std::shared_ptr<const ResolvedFont>& font,
                    const std::string& text) {
  dc.SelectFont(font);
  TRect rect{0, 0, 0, 0};
  dc.DrawText(text, rect, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  return {rect.Width(), rect.Height()};
}

bool OrientedRight(TcxLabelOrientation o) {
  return o == cxoRight || o == cxoRightTop || o == cxoRightBottom;
}

bool OrientedBottom(TcxLabelOrientation o) {
  return o == cxoBottom || o == cxoLeftBottom || o == cxoRightBottom;
}

}  // namespace

void TcxCustomLabelViewData::CalculateLabel(TcxCustomLabelViewInfo& info) const {
  const TcxCustomLabelProperties& p = LabelProperties();
  info.effect = p.LabelEffect();
  info.label_style = p.LabelStyle();
  info.orientation = p.Orientation();
  info.depth = p.Depth();
  info.shadowed_color = p.ShadowedColor();
  info.show_accel_char = p.ShowAccelChar();
  info.angle = p.Angle();
  info.pen_width = p.PenWidth();
  info.word_wrap = p.WordWrap();
  info.horz = p.Alignment().Horz();
  info.vert = p.Alignment().Vert();
  info.glyph = p.GlyphOrNull();
  info.effect_offset = label_rules::EffectOffsets(p.LabelEffect(), p.Orientation(), p.Depth());
  info.transparent_label = p.Transparent();
  info.repaint = true;
}

TSize TcxCustomLabelViewData::GetContentSize(const TFont& font, const std::string& caption,
                                             int width_limit) const {
  const TcxCustomLabelProperties& p = LabelProperties();
  const std::string text = caption.empty() ? std::string(" ") : caption;
  const std::shared_ptr<const ResolvedFont> handle = font.Handle();
  const int angle = EffectiveAngle(*handle, p.Angle());
  const TPoint d = label_rules::EffectOffsets(p.LabelEffect(), p.Orientation(), p.Depth());
  const int e = StyleMargin(p.LabelStyle(), font.Size());
  if (width_limit >= 0) width_limit = std::max(0, width_limit - e - d.X);
  unsigned flags = DT_CALCRECT | DT_LEFT | DT_TOP;
  if (!p.ShowAccelChar() || angle != 0) flags |= DT_NOPREFIX;
  if (p.WordWrap() && angle == 0 && width_limit >= 0) flags |= DT_WORDBREAK;
  const std::string measured = angle != 0 && p.ShowAccelChar() ? StripAccelerators(text) : text;
  DeviceContext& dc = MeasuringContext();
  dc.SelectFont(handle);
  TRect rect{0, 0, std::max(width_limit, 0), 0};
  dc.DrawText(measured, rect, flags);
  int w = rect.Width();
  int h = rect.Height();
  if (angle != 0) {
    const double theta = angle * kPi / 180;
    const double c = std::abs(std::cos(theta));
    const double s = std::abs(std::sin(theta));
    const int rotated_w = static_cast<int>(std::trunc(c * w + s * h + 0.5));
    const int rotated_h = static_cast<int>(std::trunc(s * w + c * h + 0.5));
    w = rotated_w;
    h = rotated_h;
  }
  return {w + e + d.X, h + e + d.Y};
}

void TcxCustomLabelViewInfo::Paint(TCanvas& canvas) const {
  const TRect r = text_rect;
  if (r.IsEmpty()) return;
  const double scale = canvas.Handle().Scale();
  // A window moved to a screen of another scale draws its labels anew at that scale.
  if (position != rendered_at || repaint || transparent_label || bitmap == nullptr ||
      bitmap->Scale() != scale) {
    rendered_at = position;
    if (bitmap == nullptr || bitmap->Width() != r.Width() || bitmap->Height() != r.Height() ||
        bitmap->Scale() != scale) {
      bitmap = std::make_unique<DeviceContext>(r.Width(), r.Height(), scale);
    }
    repaint = false;
    TCanvas target(*bitmap);
    Render(target, {0, 0, r.Width(), r.Height()});
  }
  canvas.Handle().BitBlt(r.Left, r.Top, r.Width(), r.Height(), *bitmap, 0, 0);
}

void TcxCustomLabelViewInfo::Render(TCanvas& canvas, const TRect& r) const {
  DeviceContext& dc = canvas.Handle();
  TcxCanvas cx(canvas);
  cx.FillRect(r, transparent_label ? parent_color : background_color);

  const std::shared_ptr<const ResolvedFont> base = font.Handle();
  const int a = EffectiveAngle(*base, angle);
  const bool true_type = (base->TextMetrics().tmPitchAndFamily & TMPF_TRUETYPE) != 0;
  std::shared_ptr<const ResolvedFont> drawing = base;
  if (a != 0) {
    LOGFONT logical = base->LogFont();
    logical.lfEscapement = a * 10;
    drawing = ResolvedFont::Create(logical);
  }
  const int points = font.Size();
  const int e = StyleMargin(label_style, points);
  const int dx = effect_offset.X;
  const int dy = effect_offset.Y;
  const std::string rotated_text = show_accel_char ? StripAccelerators(caption) : caption;

  TPoint p{0, 0};
  if (a != 0) {
    const TSize extent = OneLineExtent(dc, base, rotated_text);
    const double theta = a * kPi / 180;
    const double right = r.Right - dx;
    const double bottom = r.Bottom - dy;
    p.X = static_cast<int>(std::nearbyint((r.Left + right) / 2 - std::cos(theta) * extent.cx / 2 -
                                          std::sin(theta) * extent.cy / 2));
    p.Y = static_cast<int>(std::nearbyint((r.Top + bottom) / 2 + std::sin(theta) * extent.cx / 2 -
                                          std::cos(theta) * extent.cy / 2));
  }
  TPoint s{0, 0};
  if (effect != cxleNormal && depth != 0) s = {dx, dy};
  if (OrientedRight(orientation)) {
    p.X += e + dx;
    s.X = -s.X;
  }
  if (OrientedBottom(orientation)) {
    p.Y += e + dy;
    s.Y = -s.Y;
  }
  if (effect == cxleFun || effect == cxleExtrude) s = {Sign(s.X), Sign(s.Y)};

  canvas.Brush().SetStyle(bsClear);
  dc.SetBkMode(TRANSPARENT);
  const int flags = cxEditTextFlags(horz, vert, show_accel_char, word_wrap, false);
  auto plain = [&](TPoint q, TColor color) {
    if (a != 0) {
      dc.SelectFont(drawing);
      dc.SetTextColor(color);
      dc.ExtTextOut(q.X, q.Y, 0, nullptr, rotated_text);
      return;
    }
    TRect rect = TRect{r.Left, r.Top, r.Right - dx, r.Bottom - dy}.Offset(q.X, q.Y);
    canvas.Font().Assign(font);
    canvas.Font().SetColor(color);
    cx.DrawText(caption, rect, flags);
  };
  auto face = [&](TPoint q, TColor color, bool outline) {
    if (glyph != nullptr && true_type) {
      dc.BeginPath();
      plain(q, color);
      dc.EndPath();
      dc.SelectClipPath(RGN_COPY);
      cx.FillRect(r, &glyph->Image());
      dc.SelectClipRgn(nullptr);
    } else if (!outline) {
      plain(q, color);
    }
  };

  if (effect != cxleNormal && depth != 0) {
    const int step = s.X != 0 ? std::abs(s.X) : std::abs(s.Y);
    const int copies = step != 0 ? depth / step : 0;
    for (int i = 1; i <= copies; ++i) {
      plain(p, effect == cxleFun ? Blend(background_color, shadowed_color, i, copies)
                                 : shadowed_color);
      p = {p.X + s.X, p.Y + s.Y};
    }
  }
  if (s.X < 0) p.X -= e;
  if (s.Y < 0) p.Y -= e;

  const TColor color = text_color;
  switch (label_style) {
    case cxlsNormal:
      face(p, color, false);
      break;
    case cxlsRaised:
      plain(p, clBtnHighlight);
      if (points >= 12) plain({p.X + 2, p.Y + 2}, clBtnShadow);
      face({p.X + 1, p.Y + 1}, color, false);
      break;
    case cxlsLowered:
      if (points >= 12) plain(p, clBtnShadow);
      plain({p.X + 2, p.Y + 2}, clBtnHighlight);
      face({p.X + 1, p.Y + 1}, color, false);
      break;
    case cxlsOutLine:
      // Without outlines to stroke, the letters are drawn as they are.
      if (!true_type) {
        face(p, color, false);
        break;
      }
      face(p, color, true);
      dc.BeginPath();
      plain(p, color);
      dc.EndPath();
      dc.SelectPen({color, pen_width});
      dc.StrokePath();
      dc.SelectPen({color, 1});
      break;
  }
  canvas.Brush().SetStyle(bsSolid);
}

}  // namespace orlit
