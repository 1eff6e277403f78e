#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/DecodeLimits.h"
#include "platform/PixelImage.h"

namespace orlit {

inline constexpr int kDefaultJpegQuality = 90;

// Decodes a complete JPEG file (baseline or progressive; grey, colour or CMYK). Missing or
// damaged pixel data is refused with EInvalidGraphic rather than shown half decoded; damage
// outside the pixels (junk before a marker, a broken APPn block) is passed over. A picture of
// more than `max_pixels` pixels is decoded at 1/2, 1/4 or 1/8 of its size, whichever is the
// first to fit, and refused when none does.
PixelImage DecodeJpeg(std::span<const std::uint8_t> data,
                      std::uint64_t max_pixels = kMaxPicturePixels);

// Compresses to a JFIF file; quality is clamped to 1..100. Throws EInvalidGraphic for an empty
// image or one beyond the format's limits.
std::vector<std::uint8_t> EncodeJpeg(const PixelImage& image, int quality = kDefaultJpegQuality);

}  // namespace orlit
