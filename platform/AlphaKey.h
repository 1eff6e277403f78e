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

// The pixels of a cairo image surface (ARGB32 or RGB24; premultiplied colours are divided out),
// its alpha applied as above. Throws EInvalidGraphic for other formats.
PixelImage ImageFromCairoSurface(cairo_surface_t* surface);

}  // namespace orlit
