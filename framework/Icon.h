#pragma once

#include "framework/Graphic.h"

namespace orlit {

// An icon file's picture (its largest image). Icons are transparent: what their mask or alpha
// leaves out is not drawn.
class TIcon : public TGraphic {
 public:
  TIcon();
  void LoadFromBytes(std::span<const std::uint8_t> data) override;
  std::string_view StoredClassName() const override;
  std::unique_ptr<TGraphic> Clone() const override;
};

}  // namespace orlit
