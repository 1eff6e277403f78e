#include "framework/GraphicClasses.h"

#include "framework/Bitmap.h"
#include "framework/Icon.h"
#include "framework/JpegImage.h"
#include "framework/Metafile.h"

namespace orlit {
namespace {

template <typename T>
std::unique_ptr<TGraphic> Make() {
  return std::make_unique<T>();
}

constexpr TGraphicClass kGraphicClasses[] = {
    {"TBitmap", "bmp", "Bitmaps", Make<TBitmap>},
    {"TIcon", "ico", "Icons", Make<TIcon>},
    {"TMetafile", "svg", "Vector drawings", Make<TMetafile>},
    {"TJPEGImage", "jpg;jpeg", "JPEG images", Make<TJPEGImage>},
};

}  // namespace

std::span<const TGraphicClass> GraphicClasses() { return kGraphicClasses; }

const TGraphicClass* FindGraphicClass(std::string_view class_name) {
  for (const TGraphicClass& kind : kGraphicClasses) {
    if (kind.class_name == class_name) return &kind;
  }
  return nullptr;
}

}  // namespace orlit
