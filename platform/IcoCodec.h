#pragma once

#include <cstdint>
#include <span>

#include "platform/PixelImage.h"

namespace orlit {

// The largest icon decoded: 1024 x 1024 pixels (the directory itself cannot describe more than
// 256 x 256, but a PNG entry can).
inline constexpr std::uint64_t kMaxIconPixels = std::uint64_t{1} << 20;

// Reads an icon file: of the entries in its directory the largest, then the one with the most
// colours; an entry is a device-independent bitmap followed by its AND mask, or a PNG file.
// Where the mask or the alpha channel leaves a pixel out, the picture gets a transparent colour
// of its own (PixelImage::TransparentColor). Throws EInvalidGraphic for anything it cannot
// read whole and for sizes out of proportion to the data (DecodeLimits.h).
PixelImage DecodeIco(std::span<const std::uint8_t> data);

}  // namespace orlit
