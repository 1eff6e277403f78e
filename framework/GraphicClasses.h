#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "framework/Graphic.h"

namespace orlit {

// A kind of graphic a picture can hold.
struct TGraphicClass {
  // As the stored picture format records it: "TBitmap".
  std::string_view class_name;
  // File name extensions, the default first, separated by ';'.
  std::string_view extensions;
  std::string_view description;
  std::unique_ptr<TGraphic> (*create)();
};

// In registered order: bitmap, icon, metafile (SVG), JPEG.
std::span<const TGraphicClass> GraphicClasses();
// Null for a name that is not registered.
const TGraphicClass* FindGraphicClass(std::string_view class_name);
// The kind whose files begin the way `data` does; null when none does.
const TGraphicClass* GraphicClassOfData(std::span<const std::uint8_t> data);

}  // namespace orlit
