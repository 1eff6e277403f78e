#pragma once

#include "framework/Graphic.h"

namespace orlit {

// The vector drawing kind. This desktop's vector format is SVG: the drawing is rendered when
// loaded, at its own size and again at the screen's scale where that is not 1, and is
// transparent where it leaves the canvas clear.
class TMetafile : public TGraphic {
 public:
  TMetafile();
  void LoadFromBytes(std::span<const std::uint8_t> data) override;
  std::string_view StoredClassName() const override;
  std::unique_ptr<TGraphic> Clone() const override;
  void Assign(const TPersistent& source) override;
  const PixelImage& ImageAt(double scale) const override;

 private:
  PixelImage sharp_image_;  // rendered at sharp_scale_; empty at scale 1 or when too large
  double sharp_scale_ = 1;
};

}  // namespace orlit
