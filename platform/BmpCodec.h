#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/PixelImage.h"

namespace orlit {

// Reads a complete bitmap file (beginning "BM"): 1, 4 and 8 bits per pixel with a palette, 16
// and 32 bits with or without colour masks, 24 bits; bottom-up or top-down rows. Throws
// EInvalidGraphic for anything it cannot read whole.
PixelImage DecodeBmp(std::span<const std::uint8_t> data);

// Writes a bottom-up 24-bit bitmap file. Throws EInvalidGraphic for an empty image.
std::vector<std::uint8_t> EncodeBmp(const PixelImage& image);

}  // namespace orlit
