#include "framework/Metafile.h"

#include "framework/Application.h"
#include "platform/SvgRenderer.h"

namespace orlit {

TMetafile::TMetafile() { SetTransparent(true); }

void TMetafile::LoadFromBytes(std::span<const std::uint8_t> data) {
  // The window keeps answering while the drawing is made, and a quit stops it.
  const auto wait = [](int fd, int timeout_ms) {
    return Application != nullptr ? Application->Desktop().WaitForPeer(fd, timeout_ms)
                                  : PollForPeer(fd, timeout_ms);
  };
  SetImage(RenderSvg(data, wait), data);
}

std::string_view TMetafile::StoredClassName() const { return "TMetafile"; }

std::unique_ptr<TGraphic> TMetafile::Clone() const {
  auto copy = std::make_unique<TMetafile>();
  copy->Assign(*this);
  return copy;
}

}  // namespace orlit
