#pragma once

#include "framework/Graphic.h"

namespace orlit {

// The vector drawing kind. This desktop's vector format is SVG: the drawing is rendered once,
// at its own size, when loaded, and is transparent where it leaves the canvas clear.
class TMetafile : public TGraphic {
 public:
  TMetafile();
  void LoadFromBytes(std::span<const std::uint8_t> data) override;
  std::string_view StoredClassName() const override;
  std::unique_ptr<TGraphic> Clone() const override;
};

}  // namespace orlit
