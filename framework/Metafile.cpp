#include "framework/Metafile.h"

#include "framework/Application.h"
#include "platform/PictureError.h"
#include "platform/SvgRenderer.h"

namespace orlit {

TMetafile::TMetafile() { SetTransparent(true); }

void TMetafile::LoadFromBytes(std::span<const std::uint8_t> data) {
  // The window keeps answering while the drawing is made, and a quit stops it.
  const auto wait = [](int fd, int timeout_ms) {
    return Application != nullptr ? Application->Desktop().WaitForPeer(fd, timeout_ms)
                                  : PollForPeer(fd, timeout_ms);
  };
  PixelImage image = RenderSvg(data, wait);
  const double scale = Application != nullptr ? Application->Desktop().Scale() : 1;
  PixelImage sharp;
  if (scale != 1) {
    try {
      sharp = RenderSvg(data, wait, scale);
    } catch (const EInvalidGraphic&) {
      // Too large at that scale: drawn from its own pixels, enlarged.
    }
  }
  sharp_image_ = std::move(sharp);
  sharp_scale_ = scale;
  SetImage(std::move(image), data);
}

const PixelImage& TMetafile::ImageAt(double scale) const {
  return scale == sharp_scale_ && !sharp_image_.IsEmpty() ? sharp_image_ : Image();
}

void TMetafile::Assign(const TPersistent& source) {
  if (const auto* drawing = dynamic_cast<const TMetafile*>(&source); drawing != nullptr) {
    sharp_image_ = drawing->sharp_image_;
    sharp_scale_ = drawing->sharp_scale_;
  }
  TGraphic::Assign(source);
}

std::string_view TMetafile::StoredClassName() const { return "TMetafile"; }

std::unique_ptr<TGraphic> TMetafile::Clone() const {
  auto copy = std::make_unique<TMetafile>();
  copy->Assign(*this);
  return copy;
}

}  // namespace orlit
