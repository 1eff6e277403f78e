#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/PixelImage.h"

namespace orlit {

inline constexpr int kDefaultJpegQuality = 90;

// Decodes a complete JPEG file (baseline or progressive; grey, colour or CMYK). Corrupt or
// truncated data is refused with EInvalidGraphic rather than shown half decoded.
PixelImage DecodeJpeg(std::span<const std::uint8_t> data);

// Compresses to a JFIF file; quality is clamped to 1..100. Throws EInvalidGraphic for an empty
// image or one beyond the format's limits.
std::vector<std::uint8_t> EncodeJpeg(const PixelImage& image, int quality = kDefaultJpegQuality);

}  // namespace orlit
