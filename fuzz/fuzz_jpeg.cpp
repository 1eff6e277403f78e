// Hostile JPEG data must decode or raise EInvalidGraphic, never exit, crash or leak.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/JpegCodec.h"
#include "platform/PictureError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const orlit::PixelImage image = orlit::DecodeJpeg(std::span(data, size));
    // Re-encoding small results also drives the encoder with odd sizes.
    if (image.Pixels().size() <= 64 * 64) {
      const orlit::PixelImage again = orlit::DecodeJpeg(orlit::EncodeJpeg(image, 50));
      if (again.Width() != image.Width() || again.Height() != image.Height()) __builtin_trap();
    }
  } catch (const orlit::EInvalidGraphic&) {
  }
  return 0;
}
