#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/DecodeLimits.h"
#include "platform/PixelImage.h"

namespace orlit {

// Reads a complete bitmap file (beginning "BM"): 1, 4 and 8 bits per pixel with a palette, 16
// and 32 bits with or without colour masks, 24 bits; bottom-up or top-down rows; run-length
// encoded 4 and 8 bits; the info headers of every version and both of OS/2. Throws
// EInvalidGraphic for anything it cannot read whole, and for more than `max_pixels` pixels.
PixelImage DecodeBmp(std::span<const std::uint8_t> data,
                     std::uint64_t max_pixels = kMaxPicturePixels);

// Writes a bottom-up 24-bit bitmap file. Throws EInvalidGraphic for an empty image.
std::vector<std::uint8_t> EncodeBmp(const PixelImage& image);

}  // namespace orlit
