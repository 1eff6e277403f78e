#include "framework/Metafile.h"

#include "platform/SvgRenderer.h"

namespace orlit {

TMetafile::TMetafile() { SetTransparent(true); }

void TMetafile::LoadFromBytes(std::span<const std::uint8_t> data) {
  SetImage(RenderSvg(data), data);
}

std::string_view TMetafile::StoredClassName() const { return "TMetafile"; }

std::unique_ptr<TGraphic> TMetafile::Clone() const {
  auto copy = std::make_unique<TMetafile>();
  copy->Assign(*this);
  return copy;
}

}  // namespace orlit
