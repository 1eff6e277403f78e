#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/PixelImage.h"

namespace orlit {

// Expands run-length encoded bitmap pixels (RLE8 at 8 bits per pixel, RLE4 at 4) into `image`,
// whose size the bitmap's header gave; the encoded rows run bottom-up. Pixels the data skips
// with end-of-line or delta codes get the palette's first colour. Throws EInvalidGraphic for a
// run or delta that would leave the picture, an index outside the palette, or data that ends
// before its end-of-bitmap code.
void DecodeBmpRle(std::span<const std::uint8_t> encoded, int bits_per_pixel,
                  const std::vector<std::uint32_t>& palette, PixelImage& image);

}  // namespace orlit
