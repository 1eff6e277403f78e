#include "framework/JpegImage.h"

#include "platform/JpegCodec.h"
#include "platform/StoredPicture.h"

namespace orlit {

void TJPEGImage::SetTransparent(bool /*transparent*/) {}

void TJPEGImage::LoadFromBytes(std::span<const std::uint8_t> data) {
  SetImage(DecodeJpeg(data), data);
}

std::vector<std::uint8_t> TJPEGImage::SaveToBytes() const {
  if (!Source().empty() || Empty()) return Source();
  return EncodeJpeg(Image());
}

std::string_view TJPEGImage::StoredClassName() const { return kJpegClassName; }

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
  auto copy = std::make_unique<TJPEGImage>();
  copy->Assign(*this);
  return copy;
}

}  // namespace orlit
