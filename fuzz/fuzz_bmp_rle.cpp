// Run-length codes of a bitmap: the first three bytes choose the picture's size (1..64 each way),
// the depth (RLE4 or RLE8) and how many palette entries there are; the rest are the codes. They
// must expand or raise EInvalidGraphic, never write outside the picture.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/BmpRle.h"
#include "platform/PictureError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int width = data[0] % 64 + 1;
  const int height = data[1] % 64 + 1;
  const int bits = (data[2] & 1) != 0 ? 4 : 8;
  std::vector<std::uint32_t> palette((data[2] >> 1) % (1u << bits) + 1);
  for (std::size_t i = 0; i < palette.size(); ++i)
    palette[i] = static_cast<std::uint32_t>(i * 0x010203);
  orlit::PixelImage image(width, height);
  try {
    orlit::DecodeBmpRle(std::span(data + 3, size - 3), bits, palette, image);
  } catch (const orlit::EInvalidGraphic&) {
  }
  // Every pixel is a palette colour, whatever the codes did.
  for (const std::uint32_t pixel : image.Pixels()) {
    if (pixel % 0x010203 != 0 || pixel / 0x010203 >= palette.size()) __builtin_trap();
  }
  return 0;
}
