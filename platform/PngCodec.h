#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/PixelImage.h"

namespace orlit {

// Decodes a complete PNG file. The size in its header is checked against the picture limits, and
// for being in proportion to the data (DecodeLimits.h), before any pixel is decoded; see-through
// pixels are laid over white, since a picture here has no alpha. Throws EInvalidGraphic for
// anything it cannot read whole.
PixelImage DecodePng(std::span<const std::uint8_t> data);

// Writes an opaque 24-bit PNG file. Throws EInvalidGraphic for an empty image.
std::vector<std::uint8_t> EncodePng(const PixelImage& image);

}  // namespace orlit
