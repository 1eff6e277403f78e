#pragma once

#include "framework/Graphic.h"

namespace orlit {

// A bitmap picture. When transparent, its bottom-left pixel names the colour left undrawn.
class TBitmap : public TGraphic {
 public:
  void LoadFromBytes(std::span<const std::uint8_t> data) override;
  std::vector<std::uint8_t> SaveToBytes() const override;
  std::string_view StoredClassName() const override;
  std::unique_ptr<TGraphic> Clone() const override;
  // Takes pixels made in memory, e.g. drawn by the program.
  void SetPixels(PixelImage image) { SetImage(std::move(image)); }
};

}  // namespace orlit
