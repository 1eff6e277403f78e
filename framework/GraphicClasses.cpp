#include "framework/GraphicClasses.h"

#include <algorithm>
#include <string_view>

#include "convert/Translation.h"
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
    {"TBitmap", "bmp", N_("Bitmaps"), Make<TBitmap>},
    {"TIcon", "ico", N_("Icons"), Make<TIcon>},
    {"TMetafile", "svg", N_("Vector drawings"), Make<TMetafile>},
    {"TJPEGImage", "jpg;jpeg", N_("JPEG images"), Make<TJPEGImage>},
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

namespace orlit {
namespace {

bool StartsWith(std::span<const std::uint8_t> data, std::string_view prefix) {
  return data.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), data.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// An XML document whose first element is <svg, past any declaration, comments and white space
// within the first few kilobytes.
bool LooksLikeSvg(std::span<const std::uint8_t> data) {
  const std::string_view text(reinterpret_cast<const char*>(data.data()),
                              std::min<std::size_t>(data.size(), 4096));
  std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  while (true) {
    at = text.find_first_not_of(" \t\r\n", at);
    if (at == std::string_view::npos || text[at] != '<') return false;
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("<svg")) return true;
    const std::string_view close = rest.starts_with("<!--") ? "-->" : ">";
    if (!rest.starts_with("<?") && !rest.starts_with("<!")) return false;
    const std::size_t end = text.find(close, at);
    if (end == std::string_view::npos) return false;
    at = end + close.size();
  }
}

}  // namespace

const TGraphicClass* GraphicClassOfData(std::span<const std::uint8_t> data) {
  std::string_view class_name;
  if (StartsWith(data, "BM")) {
    class_name = "TBitmap";
  } else if (StartsWith(data, "\xFF\xD8\xFF")) {
    class_name = "TJPEGImage";
  } else if (StartsWith(data, std::string_view("\0\0\1\0", 4))) {
    class_name = "TIcon";
  } else if (LooksLikeSvg(data)) {
    class_name = "TMetafile";
  }
  return class_name.empty() ? nullptr : FindGraphicClass(class_name);
}

}  // namespace orlit
