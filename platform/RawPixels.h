#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/PixelImage.h"

namespace orlit {

// Decoded pixels as the build stores them for the embedded JPEG pictures, so the window shows
// those without loading the JPEG library: width and height as four little-endian bytes each,
// then every pixel as PixelImage holds it (0x00RRGGBB) in four little-endian bytes, rows
// top-down.
std::vector<std::uint8_t> WriteRawPixels(const PixelImage& image);

// Throws EInvalidGraphic when the size is beyond PixelImage's limits or the pixels are not
// exactly as many bytes as it says.
PixelImage ReadRawPixels(std::span<const std::uint8_t> data);

// The same over `lasting` bytes that stay for the life of the process, written by
// WriteRawPixels into the program at build time: where their pixels lie in the machine's own
// order and alignment, the picture shows them where they are instead of a copy.
PixelImage ViewRawPixels(std::span<const std::uint8_t> lasting);

}  // namespace orlit
