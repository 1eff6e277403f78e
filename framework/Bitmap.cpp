#include "framework/Bitmap.h"

#include "platform/BmpCodec.h"
#include "platform/StoredPicture.h"

namespace orlit {

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> data) { SetImage(DecodeBmp(data), data); }

std::vector<std::uint8_t> TBitmap::SaveToBytes() const {
  if (!Source().empty() || Empty()) return Source();
  return EncodeBmp(Image());
}

std::string_view TBitmap::StoredClassName() const { return kBitmapClassName; }

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(*this);
  return copy;
}

}  // namespace orlit
