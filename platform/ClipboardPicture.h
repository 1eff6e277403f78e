#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/DecodeLimits.h"
#include "platform/PixelImage.h"

namespace orlit {

// Picture data bigger than this is refused before it is decoded, whether it comes from a file or
// from the clipboard: room for the largest picture we hold as an uncompressed 32-bit bitmap.
inline constexpr std::size_t kMaxPictureDataBytes = kMaxPicturePixels * 4 + 4096;

inline constexpr std::string_view kPngMimeType = "image/png";
inline constexpr std::string_view kBmpMimeType = "image/bmp";

// The picture formats the program puts on the clipboard and reads from it, preferred first.
std::span<const std::string_view> ClipboardPictureTypes();
bool IsClipboardPictureType(std::string_view mime_type);

// The picture as data of one of those formats. Throws EInvalidGraphic for an empty picture or an
// unknown format.
std::vector<std::uint8_t> EncodeClipboardPicture(std::string_view mime_type,
                                                 const PixelImage& picture);
// Reads clipboard data of one of those formats, with the size checks of picture files. Throws
// EInvalidGraphic for anything else.
PixelImage DecodeClipboardPicture(std::string_view mime_type, std::span<const std::uint8_t> data);

}  // namespace orlit
