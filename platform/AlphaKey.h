#pragma once

#include <cairo.h>

#include <cstdint>
#include <span>

#include "platform/PixelImage.h"

namespace orlit {

// Pictures draw with a transparent colour rather than an alpha channel. Gives `image` a
// transparent colour it does not otherwise use and paints it where `alpha` (one byte per pixel,
// rows top-down) is below half; the other pixels stay as they are.
void ApplyAlphaAsTransparentColor(PixelImage& image, std::span<const std::uint8_t> alpha);

// Pixels in cairo's 32-bit layout (premultiplied ARGB, or RGB with an unused top byte when
// `has_alpha` is false), the alpha applied as above.
PixelImage ImageFromCairoPixels(const unsigned char* data, int width, int height, int stride,
                                bool has_alpha);

// The same for an image surface of the cairo linked into the program (ARGB32 or RGB24). Throws
// EInvalidGraphic for other formats.
PixelImage ImageFromCairoSurface(cairo_surface_t* surface);

}  // namespace orlit
