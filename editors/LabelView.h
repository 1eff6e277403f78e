#pragma once

#include <climits>
#include <memory>
#include <string>

#include "editors/LabelProperties.h"
#include "editors/ViewData.h"
#include "editors/ViewInfo.h"
#include "framework/Alignment.h"
#include "framework/Canvas.h"
#include "framework/Font.h"
#include "platform/DeviceContext.h"

namespace orlit {

// The values one paint of a label needs, copied from its properties, and the rendered content
// kept in a bitmap that is drawn again only when the label moved, was recalculated, or is
// transparent.
struct TcxCustomLabelViewInfo : TcxCustomEditViewInfo {
  TcxLabelEffect effect = cxleNormal;
  TcxLabelStyle label_style = cxlsNormal;
  TcxLabelOrientation orientation = cxoRightBottom;
  int depth = 0;
  TColor shadowed_color = clGrayText;
  bool show_accel_char = true;
  int angle = 0;
  int pen_width = 1;
  bool word_wrap = false;
  TAlignment horz = taLeftJustify;
  TcxEditVertAlignment vert = taTopJustify;
  const TBitmap* glyph = nullptr;
  // The effect offsets (dx, dy).
  TPoint effect_offset;
  bool transparent_label = false;
  // The control's place in its parent, and the colour behind a transparent label.
  TPoint position;
  TColor parent_color = clBtnFace;
  TFont font;
  std::string caption;

  // The cache: what painting keeps between paints, not part of the values above.
  mutable std::unique_ptr<DeviceContext> bitmap;
  mutable bool repaint = true;
  mutable TPoint rendered_at{INT_MAX, INT_MAX};

  // Draws the content into `canvas`, whose origin is the control's: from the bitmap, rendered
  // again first when the conditions ask for it.
  void Paint(TCanvas& canvas) const;
  // Draws the content with the text area at `r` on `canvas`.
  void Render(TCanvas& canvas, const TRect& r) const;
};

// Copies a label's properties into its view info and measures its content.
class TcxCustomLabelViewData : public TcxCustomEditViewData {
 public:
  explicit TcxCustomLabelViewData(const TcxCustomLabelProperties& properties)
      : TcxCustomEditViewData(properties) {}

  const TcxCustomLabelProperties& LabelProperties() const {
    return static_cast<const TcxCustomLabelProperties&>(Properties());
  }
  void CalculateLabel(TcxCustomLabelViewInfo& info) const;
  // The content's size for `caption` in `font`; `width_limit` below 0 is no limit.
  TSize GetContentSize(const TFont& font, const std::string& caption, int width_limit) const;
};

// Helpers of measuring and painting, shared with the tests of the label's rules.
namespace label_rules {
// (dx, dy) by effect, orientation and depth.
TPoint EffectOffsets(TcxLabelEffect effect, TcxLabelOrientation orientation, int depth);
// 1 or 2 for raised and lowered letters below and from 12 points, else 0.
int StyleMargin(TcxLabelStyle style, int font_points);
// The angle the text is drawn at: Angle within [0, 360) for a TrueType font, else 0.
int EffectiveAngle(const ResolvedFont& font, int angle);
// "&x" shows "x", "&&" shows "&", a final "&" shows "_".
std::string StripAccelerators(const std::string& text);
}  // namespace label_rules

}  // namespace orlit
