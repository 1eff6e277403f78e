#pragma once

#include <cstdint>
#include <memory>

#include "editors/EditProperties.h"
#include "framework/Bitmap.h"
#include "platform/SystemColors.h"

namespace orlit {

enum TcxLabelEffect { cxleNormal, cxleFun, cxleExtrude, cxleCool };
enum TcxLabelStyle { cxlsNormal, cxlsRaised, cxlsLowered, cxlsOutLine };
enum TcxLabelOrientation {
  cxoLeft,
  cxoRight,
  cxoTop,
  cxoBottom,
  cxoLeftTop,
  cxoLeftBottom,
  cxoRightTop,
  cxoRightBottom,
};

// The settings of a label: the angle of its text, the effect copies drawn behind it, how the
// letters are drawn, the picture tiled inside them, and the usual text settings. Every setter
// announces a change only when the value changes.
class TcxCustomLabelProperties : public TcxCustomEditProperties {
 public:
  explicit TcxCustomLabelProperties(TPersistent* owner = nullptr);
  ~TcxCustomLabelProperties() override;

  // Degrees, counter-clockwise.
  int Angle() const { return angle_; }
  void SetAngle(int angle) { SetDisplaySetting(angle_, angle); }
  // Length of the effect in pixels.
  std::uint16_t Depth() const { return depth_; }
  void SetDepth(std::uint16_t depth) { SetDisplaySetting(depth_, depth); }
  // Made empty on the first read; a change of its pixels is a change of the properties.
  TBitmap& Glyph();
  // Null frees the glyph, a picture is copied into it.
  void SetGlyph(const TBitmap* glyph);
  // The glyph when there is one with pixels, else null; never creates it.
  const TBitmap* GlyphOrNull() const;
  TcxLabelEffect LabelEffect() const { return label_effect_; }
  void SetLabelEffect(TcxLabelEffect effect) { SetDisplaySetting(label_effect_, effect); }
  TcxLabelStyle LabelStyle() const { return label_style_; }
  void SetLabelStyle(TcxLabelStyle style) { SetDisplaySetting(label_style_, style); }
  TcxLabelOrientation Orientation() const { return orientation_; }
  void SetOrientation(TcxLabelOrientation orientation) {
    SetDisplaySetting(orientation_, orientation);
  }
  int PenWidth() const { return pen_width_; }
  void SetPenWidth(int pen_width) { SetDisplaySetting(pen_width_, pen_width); }
  TColor ShadowedColor() const { return shadowed_color_; }
  void SetShadowedColor(TColor color) { SetDisplaySetting(shadowed_color_, color); }
  bool ShowAccelChar() const { return show_accel_char_; }
  void SetShowAccelChar(bool show) { SetDisplaySetting(show_accel_char_, show); }
  // Kept, not drawn.
  bool ShowEndEllipsis() const { return show_end_ellipsis_; }
  void SetShowEndEllipsis(bool show) { SetDisplaySetting(show_end_ellipsis_, show); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { SetDisplaySetting(transparent_, transparent); }
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool word_wrap) { SetDisplaySetting(word_wrap_, word_wrap); }

  void Assign(const TPersistent& source) override;

 private:
  int angle_ = 0;
  std::uint16_t depth_ = 0;
  std::unique_ptr<TBitmap> glyph_;
  TcxLabelEffect label_effect_ = cxleNormal;
  TcxLabelStyle label_style_ = cxlsNormal;
  TcxLabelOrientation orientation_ = cxoRightBottom;
  int pen_width_ = 1;
  TColor shadowed_color_ = clGrayText;
  bool show_accel_char_ = true;
  bool show_end_ellipsis_ = false;
  bool transparent_ = false;
  bool word_wrap_ = false;
};

// The properties class TcxLabel publishes.
class TcxLabelProperties : public TcxCustomLabelProperties {
 public:
  using TcxCustomLabelProperties::TcxCustomLabelProperties;
};

}  // namespace orlit
