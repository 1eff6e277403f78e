#include "platform/ClipboardPicture.h"

#include <algorithm>
#include <array>
#include <string>

#include "platform/BmpCodec.h"
#include "platform/PictureError.h"
#include "platform/PngCodec.h"

namespace orlit {

namespace {

constexpr std::array<std::string_view, 2> kTypes = {kPngMimeType, kBmpMimeType};

[[noreturn]] void UnknownType(std::string_view mime_type) {
  throw EInvalidGraphic("Unknown clipboard picture format " + std::string(mime_type));
}

}  // namespace

std::span<const std::string_view> ClipboardPictureTypes() { return kTypes; }

bool IsClipboardPictureType(std::string_view mime_type) {
  return std::find(kTypes.begin(), kTypes.end(), mime_type) != kTypes.end();
}

std::vector<std::uint8_t> EncodeClipboardPicture(std::string_view mime_type,
                                                 const PixelImage& picture) {
  if (mime_type == kPngMimeType) return EncodePng(picture);
  if (mime_type == kBmpMimeType) return EncodeBmp(picture);
  UnknownType(mime_type);
}

PixelImage DecodeClipboardPicture(std::string_view mime_type, std::span<const std::uint8_t> data) {
  if (data.size() > kMaxPictureDataBytes) {
    throw EInvalidGraphic("The clipboard picture is too large");
  }
  if (mime_type == kPngMimeType) return DecodePng(data);
  if (mime_type == kBmpMimeType) return DecodeBmp(data);
  UnknownType(mime_type);
}

}  // namespace orlit
