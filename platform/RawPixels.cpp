#include "platform/RawPixels.h"

#include <bit>
#include <cstdint>
#include <utility>

#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kBytesPerPixel = 4;

void AppendLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t LittleEndianAt(std::span<const std::uint8_t> data, std::size_t at) {
  return static_cast<std::uint32_t>(data[at]) | (static_cast<std::uint32_t>(data[at + 1]) << 8) |
         (static_cast<std::uint32_t>(data[at + 2]) << 16) |
         (static_cast<std::uint32_t>(data[at + 3]) << 24);
}

}  // namespace

std::vector<std::uint8_t> WriteRawPixels(const PixelImage& image) {
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderSize + image.Pixels().size() * kBytesPerPixel);
  AppendLittleEndian(out, static_cast<std::uint32_t>(image.Width()));
  AppendLittleEndian(out, static_cast<std::uint32_t>(image.Height()));
  for (const std::uint32_t pixel : image.Pixels()) AppendLittleEndian(out, pixel);
  return out;
}

namespace {

// The size the header gives, checked against the bytes that follow it.
std::pair<int, int> RawSize(std::span<const std::uint8_t> data) {
  if (data.size() < kHeaderSize) throw EInvalidGraphic("Raw pixels without their size");
  const std::uint32_t width = LittleEndianAt(data, 0);
  const std::uint32_t height = LittleEndianAt(data, 4);
  if (width > PixelImage::kMaxDimension || height > PixelImage::kMaxDimension ||
      !PixelImage::IsValidSize(static_cast<int>(width), static_cast<int>(height)) ||
      data.size() - kHeaderSize != std::size_t{width} * height * kBytesPerPixel) {
    throw EInvalidGraphic("Raw pixels of a size their bytes do not match");
  }
  return {static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace

PixelImage ReadRawPixels(std::span<const std::uint8_t> data) {
  const auto [width, height] = RawSize(data);
  PixelImage image(width, height);
  std::size_t at = kHeaderSize;
  for (int y = 0; y < height; ++y) {
    for (std::uint32_t& pixel : image.Row(y)) {
      pixel = LittleEndianAt(data, at) & 0xFFFFFFu;
      at += kBytesPerPixel;
    }
  }
  return image;
}

PixelImage ViewRawPixels(std::span<const std::uint8_t> lasting) {
  const auto [width, height] = RawSize(lasting);
  const std::uint8_t* pixels = lasting.data() + kHeaderSize;
  if (std::endian::native != std::endian::little ||
      reinterpret_cast<std::uintptr_t>(pixels) % alignof(std::uint32_t) != 0) {
    return ReadRawPixels(lasting);
  }
  return PixelImage::OverLastingPixels(
      width, height,
      {reinterpret_cast<const std::uint32_t*>(pixels),
       static_cast<std::size_t>(width) * static_cast<std::size_t>(height)});
}

}  // namespace orlit
