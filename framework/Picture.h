#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "framework/Graphic.h"
#include "framework/Persistent.h"

namespace orlit {

// Holds at most one graphic of any format; what an image control shows.
class TPicture : public TPersistent {
 public:
  TPicture() = default;
  ~TPicture() override;

  // Null when the picture is empty.
  TGraphic* Graphic() const { return graphic_.get(); }
  // A copy of `graphic` (null empties the picture).
  void SetGraphic(const TGraphic* graphic);
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }
  bool Empty() const { return !graphic_ || graphic_->Empty(); }

  // A picture as a window layout stores it (class name, length, data). The class name picks the
  // format; an empty one empties the picture. Throws EInvalidGraphic for an unknown class or
  // data its codec refuses, and keeps the previous picture then. `decoded`: the data's pixels
  // when decoded beforehand, which spares decoding.
  void LoadFromStoredData(std::span<const std::uint8_t> bytes,
                          std::optional<PixelImage> decoded = std::nullopt);

  void Assign(const TPersistent& source) override;

  // Fired when the graphic is replaced or changes.
  TNotifyEvent OnChange;

 private:
  void Changed();

  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace orlit
