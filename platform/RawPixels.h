#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/PixelImage.h"

namespace orlit {

// Decoded pixels as the build stores them for the embedded JPEG pictures, so the window shows
// those without loading the JPEG library: width and height as four little-endian bytes each,
// then red, green and blue of every pixel, rows top-down.
std::vector<std::uint8_t> WriteRawPixels(const PixelImage& image);

// Throws EInvalidGraphic when the size is beyond PixelImage's limits or the pixels are not
// exactly as many bytes as it says.
PixelImage ReadRawPixels(std::span<const std::uint8_t> data);

}  // namespace orlit
