// Hostile bitmap files must decode or raise EInvalidGraphic; anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/BmpCodec.h"
#include "platform/PictureError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const orlit::PixelImage image = orlit::DecodeBmp(std::span(data, size));
    // What was read must survive being written and read back unchanged.
    if (!(orlit::DecodeBmp(orlit::EncodeBmp(image)) == image)) __builtin_trap();
  } catch (const orlit::EInvalidGraphic&) {
  }
  return 0;
}
