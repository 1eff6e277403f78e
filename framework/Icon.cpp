#include "framework/Icon.h"

#include "platform/IcoCodec.h"

namespace orlit {

TIcon::TIcon() { SetTransparent(true); }

void TIcon::LoadFromBytes(std::span<const std::uint8_t> data) { SetImage(DecodeIco(data), data); }

std::string_view TIcon::StoredClassName() const { return "TIcon"; }

std::unique_ptr<TGraphic> TIcon::Clone() const {
  auto copy = std::make_unique<TIcon>();
  copy->Assign(*this);
  return copy;
}

}  // namespace orlit
