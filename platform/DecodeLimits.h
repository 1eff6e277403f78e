#pragma once

#include <cstddef>
#include <cstdint>

namespace orlit {

// The most pixels a decoded picture may hold (64 MiB of them), checked before anything is
// allocated: a larger JPEG is decoded at a reduced scale, any other kind refused.
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{16} << 20;

// A picture header alone decides how much a decoder allocates, so a few hundred hostile bytes
// could ask for hundreds of megabytes. Decoders refuse a size out of proportion to the data
// that carries it: no entropy coder of these formats packs more than about 512 pixels into a
// byte (one-bit codes per 8 x 8 block), and deflate no more than about 1032 bytes.
inline constexpr std::uint64_t kMaxPixelsPerDataByte = 1024;
// Below this any data may carry the picture: 4 MiB of pixels harms nobody.
inline constexpr std::uint64_t kPixelsAllowedForAnyData = std::uint64_t{1} << 20;

// Whether a width x height picture is plausible for `data_size` bytes and holds at most
// `max_pixels` pixels. Each dimension must fit 32 bits.
constexpr bool IsPlausiblePictureSize(std::uint32_t width, std::uint32_t height,
                                      std::size_t data_size, std::uint64_t max_pixels) {
  if (width == 0 || height == 0) return false;
  const std::uint64_t pixels = std::uint64_t{width} * height;
  if (pixels > max_pixels) return false;
  return pixels <= kPixelsAllowedForAnyData || pixels / kMaxPixelsPerDataByte <= data_size;
}

}  // namespace orlit
