#include "platform/RawPixels.h"

#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kBytesPerPixel = 3;

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
  for (const std::uint32_t pixel : image.Pixels()) {
    out.push_back(static_cast<std::uint8_t>(pixel >> 16));
    out.push_back(static_cast<std::uint8_t>(pixel >> 8));
    out.push_back(static_cast<std::uint8_t>(pixel));
  }
  return out;
}

PixelImage ReadRawPixels(std::span<const std::uint8_t> data) {
  if (data.size() < kHeaderSize) throw EInvalidGraphic("Raw pixels without their size");
  const std::uint32_t width = LittleEndianAt(data, 0);
  const std::uint32_t height = LittleEndianAt(data, 4);
  if (width > PixelImage::kMaxDimension || height > PixelImage::kMaxDimension ||
      !PixelImage::IsValidSize(static_cast<int>(width), static_cast<int>(height)) ||
      data.size() - kHeaderSize != std::size_t{width} * height * kBytesPerPixel) {
    throw EInvalidGraphic("Raw pixels of a size their bytes do not match");
  }
  PixelImage image(static_cast<int>(width), static_cast<int>(height));
  const std::uint8_t* in = data.data() + kHeaderSize;
  for (int y = 0; y < image.Height(); ++y) {
    for (std::uint32_t& pixel : image.Row(y)) {
      pixel = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
      in += kBytesPerPixel;
    }
  }
  return image;
}

}  // namespace orlit
