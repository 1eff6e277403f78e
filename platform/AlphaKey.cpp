#include "platform/AlphaKey.h"

#include <algorithm>
#include <vector>

#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::uint8_t kOpaqueFrom = 128;
// Tried first: magenta is rare in pictures, which keeps the search short.
constexpr std::uint32_t kPreferredKey = 0xFF00FF;

bool IsOpaque(std::uint8_t alpha) { return alpha >= kOpaqueFrom; }

// A picture has fewer pixels than there are colours, so an unused one always exists.
std::uint32_t UnusedColor(const PixelImage& image, std::span<const std::uint8_t> alpha) {
  std::vector<std::uint32_t> used;
  used.reserve(alpha.size());
  const std::span<const std::uint32_t> pixels = image.Pixels();
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    if (IsOpaque(alpha[i])) used.push_back(pixels[i]);
  }
  std::sort(used.begin(), used.end());
  for (std::uint32_t step = 0; step <= 0xFFFFFF; ++step) {
    const std::uint32_t candidate = (kPreferredKey + step) & 0xFFFFFF;
    if (!std::binary_search(used.begin(), used.end(), candidate)) return candidate;
  }
  return kPreferredKey;
}

}  // namespace

void ApplyAlphaAsTransparentColor(PixelImage& image, std::span<const std::uint8_t> alpha) {
  if (alpha.size() != image.Pixels().size()) return;
  if (std::all_of(alpha.begin(), alpha.end(), IsOpaque)) return;
  const std::uint32_t key = UnusedColor(image, alpha);
  for (int y = 0; y < image.Height(); ++y) {
    std::span<std::uint32_t> row = image.Row(y);
    const std::size_t start = static_cast<std::size_t>(y) * row.size();
    for (std::size_t x = 0; x < row.size(); ++x) {
      if (!IsOpaque(alpha[start + x])) row[x] = key;
    }
  }
  image.SetTransparentColor(key);
}

PixelImage ImageFromCairoPixels(const unsigned char* data, int width, int height, int stride,
                                bool has_alpha) {
  PixelImage image(width, height);
  std::vector<std::uint8_t> alpha(image.Pixels().size(), 0xFF);
  for (int y = 0; y < height; ++y) {
    const auto* src = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
    std::span<std::uint32_t> row = image.Row(y);
    for (std::size_t x = 0; x < row.size(); ++x) {
      std::uint32_t p = src[x];
      const std::uint32_t a = has_alpha ? p >> 24 : 0xFF;
      if (a != 0 && a != 0xFF) {
        const auto channel = [p, a](int shift) {
          return std::min((((p >> shift) & 0xFF) * 255 + a / 2) / a, 255u);
        };
        p = (channel(16) << 16) | (channel(8) << 8) | channel(0);
      }
      row[x] = p & 0xFFFFFF;
      alpha[std::size_t(y) * row.size() + x] = static_cast<std::uint8_t>(a);
    }
  }
  ApplyAlphaAsTransparentColor(image, alpha);
  return image;
}

PixelImage ImageFromCairoSurface(cairo_surface_t* surface) {
  const cairo_format_t format = cairo_image_surface_get_format(surface);
  if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) {
    throw EInvalidGraphic("Unsupported pixel format");
  }
  cairo_surface_flush(surface);
  return ImageFromCairoPixels(
      cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
      cairo_image_surface_get_height(surface), cairo_image_surface_get_stride(surface),
      format == CAIRO_FORMAT_ARGB32);
}

}  // namespace orlit
