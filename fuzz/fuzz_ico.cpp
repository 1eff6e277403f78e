// Hostile icon files must decode or raise EInvalidGraphic, never crash, leak or allocate for a
// size their data cannot carry.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/IcoCodec.h"
#include "platform/PictureError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const orlit::PixelImage image = orlit::DecodeIco(std::span(data, size));
    if (image.Pixels().size() > orlit::kMaxIconPixels) __builtin_trap();
  } catch (const orlit::EInvalidGraphic&) {
  }
  return 0;
}
