#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/Persistent.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"

namespace orlit {

class TCanvas;

// A picture of one stored format, decoded into pixels once when loaded.
class TGraphic : public TPersistent {
 public:
  bool Empty() const { return image_.IsEmpty(); }
  int Width() const { return image_.Width(); }
  int Height() const { return image_.Height(); }
  // Whether drawing leaves the transparent colour's pixels alone (formats that know it).
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  const PixelImage& Image() const { return image_; }
  // The pixels to draw with on a device of `scale` device pixels to a unit: the picture's own,
  // unless the format can make sharper ones for that scale.
  virtual const PixelImage& ImageAt(double /*scale*/) const { return image_; }

  // Scaled into `rect` (at its own size when the sizes agree).
  virtual void Draw(TCanvas& canvas, const TRect& rect) const;

  // Decodes a whole file of this format; throws EInvalidGraphic for what the codec refuses, and
  // then keeps the previous picture.
  virtual void LoadFromBytes(std::span<const std::uint8_t> data) = 0;
  // Takes `data` with its pixels decoded beforehand (the build decodes the embedded JPEG
  // pictures), as LoadFromBytes would have decoded them.
  void LoadDecoded(std::span<const std::uint8_t> data, PixelImage image) {
    SetImage(std::move(image), data);
  }
  // Reads the stream to its end and decodes it.
  void LoadFromStream(std::istream& stream);
  // The graphic as a file of its format: the bytes it was read from, else (for pixels made in
  // memory) an encoding of them; empty when the format has no encoder.
  virtual std::vector<std::uint8_t> SaveToBytes() const;
  // The class name the stored picture format records for this format.
  virtual std::string_view StoredClassName() const = 0;
  virtual std::unique_ptr<TGraphic> Clone() const = 0;

  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

 protected:
  // `source`: the file the pixels were decoded from, kept for SaveToBytes.
  void SetImage(PixelImage image, std::span<const std::uint8_t> source = {});
  void Changed();
  const std::vector<std::uint8_t>& Source() const { return source_; }

 private:
  PixelImage image_;
  std::vector<std::uint8_t> source_;
  bool transparent_ = false;
};

}  // namespace orlit
