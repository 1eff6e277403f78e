#pragma once

#include "framework/Graphic.h"

namespace orlit {

// A JPEG picture. JPEG has no transparent colour: it always draws every pixel, whatever its
// Transparent flag says.
class TJPEGImage : public TGraphic {
 public:
  void SetTransparent(bool transparent) override;
  void LoadFromBytes(std::span<const std::uint8_t> data) override;
  std::vector<std::uint8_t> SaveToBytes() const override;
  std::string_view StoredClassName() const override;
  std::unique_ptr<TGraphic> Clone() const override;
};

}  // namespace orlit
