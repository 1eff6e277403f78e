#include "platform/PngCodec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "platform/CairoPtr.h"
#include "platform/DecodeLimits.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Signature, then the first chunk's length and type, then the header's width and height.
constexpr std::size_t kHeaderEnd = 24;
// cairo's image surfaces go no further in either direction.
constexpr int kMaxCairoDimension = 32767;

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic(SourceText(N_("Invalid PNG picture: %s"), {reason}));
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> d, std::size_t at) {
  return (static_cast<std::uint32_t>(d[at]) << 24) | (static_cast<std::uint32_t>(d[at + 1]) << 16) |
         (static_cast<std::uint32_t>(d[at + 2]) << 8) | d[at + 3];
}

void CheckHeader(std::span<const std::uint8_t> data) {
  if (data.size() < kHeaderEnd || !std::equal(kSignature.begin(), kSignature.end(), data.begin())) {
    Fail("no PNG signature");
  }
  if (std::memcmp(data.data() + 12, "IHDR", 4) != 0) Fail("no header chunk");
  const std::uint32_t width = BigEndian32(data, 16);
  const std::uint32_t height = BigEndian32(data, 20);
  if (width > kMaxCairoDimension || height > kMaxCairoDimension ||
      !IsPlausiblePictureSize(width, height, data.size(), kMaxPicturePixels)) {
    Fail("size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
  }
}

struct ReadCursor {
  std::span<const std::uint8_t> data;
  std::size_t at = 0;
};

cairo_status_t ReadChunk(void* closure, unsigned char* out, unsigned int length) {
  auto* cursor = static_cast<ReadCursor*>(closure);
  if (cursor->data.size() - cursor->at < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, cursor->data.data() + cursor->at, length);
  cursor->at += length;
  return CAIRO_STATUS_SUCCESS;
}

cairo_status_t WriteChunk(void* closure, const unsigned char* in, unsigned int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
  out->insert(out->end(), in, in + length);
  return CAIRO_STATUS_SUCCESS;
}

// A premultiplied channel laid over white.
std::uint32_t OverWhite(std::uint32_t channel, std::uint32_t alpha) {
  return std::min<std::uint32_t>(255, channel + 255 - alpha);
}

}  // namespace

PixelImage DecodePng(std::span<const std::uint8_t> data) {
  CheckHeader(data);
  ReadCursor cursor{data};
  CairoSurfacePtr surface(cairo_image_surface_create_from_png_stream(ReadChunk, &cursor));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) Fail("corrupt or truncated");
  cairo_surface_flush(surface.get());
  const int width = cairo_image_surface_get_width(surface.get());
  const int height = cairo_image_surface_get_height(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  const bool alpha = cairo_image_surface_get_format(surface.get()) == CAIRO_FORMAT_ARGB32;
  const unsigned char* pixels = cairo_image_surface_get_data(surface.get());
  if (pixels == nullptr || !PixelImage::IsValidSize(width, height)) Fail("cannot be held");
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    const auto* source =
        reinterpret_cast<const std::uint32_t*>(pixels + std::ptrdiff_t{y} * stride);
    auto row = image.Row(y);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t argb = source[x];
      if (!alpha) {
        row[static_cast<std::size_t>(x)] = argb & 0xFFFFFFu;
        continue;
      }
      const std::uint32_t a = argb >> 24;
      row[static_cast<std::size_t>(x)] = (OverWhite((argb >> 16) & 0xFF, a) << 16) |
                                         (OverWhite((argb >> 8) & 0xFF, a) << 8) |
                                         OverWhite(argb & 0xFF, a);
    }
  }
  return image;
}

std::vector<std::uint8_t> EncodePng(const PixelImage& image) {
  if (image.IsEmpty()) throw EInvalidGraphic("Cannot write an empty picture as PNG");
  if (image.Width() > kMaxCairoDimension || image.Height() > kMaxCairoDimension) {
    throw EInvalidGraphic("The picture is too large for PNG");
  }
  CairoSurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.Width(), image.Height()));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
    throw EInvalidGraphic("Out of memory for the PNG picture");
  }
  cairo_surface_flush(surface.get());
  unsigned char* pixels = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < image.Height(); ++y) {
    const auto row = image.Row(y);
    std::memcpy(pixels + std::ptrdiff_t{y} * stride, row.data(), row.size_bytes());
  }
  cairo_surface_mark_dirty(surface.get());
  std::vector<std::uint8_t> out;
  if (cairo_surface_write_to_png_stream(surface.get(), WriteChunk, &out) != CAIRO_STATUS_SUCCESS) {
    throw EInvalidGraphic("Cannot write the PNG picture");
  }
  return out;
}

}  // namespace orlit
