#include "platform/IcoCodec.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/AlphaKey.h"
#include "platform/BmpCodec.h"
#include "platform/CairoPtr.h"
#include "platform/DecodeLimits.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kIconType = 1;
constexpr std::size_t kBmpFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCompressionBitfields = 3;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Signature, then the IHDR chunk's length and type, then its width and height.
constexpr std::size_t kPngSizeAt = 16;

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic(SourceText(N_("Invalid icon: %s"), {reason}));
}

std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(U16(d, at)) |
         (static_cast<std::uint32_t>(U16(d, at + 2)) << 16);
}

std::uint32_t BigU32(std::span<const std::uint8_t> d, std::size_t at) {
  return (static_cast<std::uint32_t>(d[at]) << 24) | (static_cast<std::uint32_t>(d[at + 1]) << 16) |
         (static_cast<std::uint32_t>(d[at + 2]) << 8) | d[at + 3];
}

void PutU32(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct Entry {
  std::uint32_t width = 0;  // 0 in the directory stands for 256
  std::uint32_t height = 0;
  std::uint16_t bit_count = 0;
  std::span<const std::uint8_t> data;
};

bool IsPng(std::span<const std::uint8_t> data) {
  return data.size() >= sizeof kPngSignature &&
         std::memcmp(data.data(), kPngSignature, sizeof kPngSignature) == 0;
}

void CheckSize(std::uint32_t width, std::uint32_t height, std::size_t data_size) {
  if (!IsPlausiblePictureSize(width, height, data_size, kMaxIconPixels)) {
    Fail("size " + std::to_string(width) + " x " + std::to_string(height) + " too large for " +
         std::to_string(data_size) + " bytes");
  }
}

std::vector<Entry> ReadDirectory(std::span<const std::uint8_t> data) {
  if (data.size() < kDirectorySize) Fail("truncated directory");
  if (U16(data, 0) != 0 || U16(data, 2) != kIconType) Fail("not an icon file");
  const std::size_t count = U16(data, 4);
  if (count == 0) Fail("no images");
  if (data.size() < kDirectorySize + count * kEntrySize) Fail("truncated directory");
  std::vector<Entry> entries(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kDirectorySize + i * kEntrySize;
    Entry& e = entries[i];
    e.width = data[at] == 0 ? 256 : data[at];
    e.height = data[at + 1] == 0 ? 256 : data[at + 1];
    e.bit_count = U16(data, at + 6);
    const std::uint32_t size = U32(data, at + 8);
    const std::uint32_t offset = U32(data, at + 12);
    if (offset > data.size() || size > data.size() - offset) Fail("image data past end of file");
    e.data = data.subspan(offset, size);
  }
  return entries;
}

const Entry& BestEntry(const std::vector<Entry>& entries) {
  return *std::max_element(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    const std::uint64_t area_a = std::uint64_t{a.width} * a.height;
    const std::uint64_t area_b = std::uint64_t{b.width} * b.height;
    return area_a != area_b ? area_a < area_b : a.bit_count < b.bit_count;
  });
}

struct PngReader {
  std::span<const std::uint8_t> data;
  std::size_t at = 0;
};

cairo_status_t ReadPngBytes(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (reader->data.size() - reader->at < length) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data.data() + reader->at, length);
  reader->at += length;
  return CAIRO_STATUS_SUCCESS;
}

PixelImage DecodePng(std::span<const std::uint8_t> data) {
  if (data.size() < kPngSizeAt + 8) Fail("truncated PNG header");
  // Checked before the PNG reader allocates for the size the header claims.
  CheckSize(BigU32(data, kPngSizeAt), BigU32(data, kPngSizeAt + 4), data.size());
  PngReader reader{data};
  const CairoSurfacePtr surface(cairo_image_surface_create_from_png_stream(ReadPngBytes, &reader));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) Fail("unreadable PNG image");
  return ImageFromCairoSurface(surface.get());
}

std::size_t PaletteSize(std::span<const std::uint8_t> dib, std::uint32_t header_size,
                        std::uint16_t bit_count) {
  if (bit_count > 8) {
    const bool masks = header_size == kInfoHeaderSize && U32(dib, 16) == kCompressionBitfields;
    return masks ? 12 : 0;
  }
  const std::uint32_t used = U32(dib, 32);
  return 4 * std::size_t{used == 0 || used > (1u << bit_count) ? 1u << bit_count : used};
}

// The colour part goes through the bitmap reader with a file header put in front and half the
// height (a DIB in an icon counts the mask's rows too); the mask and alpha are read here.
PixelImage DecodeDib(std::span<const std::uint8_t> dib) {
  if (dib.size() < kInfoHeaderSize) Fail("truncated bitmap header");
  const std::uint32_t header_size = U32(dib, 0);
  if (header_size < kInfoHeaderSize || header_size > dib.size()) Fail("unsupported bitmap header");
  const auto width = static_cast<std::int32_t>(U32(dib, 4));
  const auto doubled_height = static_cast<std::int32_t>(U32(dib, 8));
  const std::uint16_t bit_count = U16(dib, 14);
  if (width <= 0 || doubled_height <= 0 || doubled_height % 2 != 0) Fail("invalid bitmap size");
  const std::uint32_t height = static_cast<std::uint32_t>(doubled_height) / 2;
  CheckSize(static_cast<std::uint32_t>(width), height, dib.size());
  if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 && bit_count != 24 &&
      bit_count != 32) {
    Fail("unsupported bit count " + std::to_string(bit_count));
  }

  const std::size_t colors_at = header_size + PaletteSize(dib, header_size, bit_count);
  std::vector<std::uint8_t> file(kBmpFileHeaderSize + dib.size());
  file[0] = 'B';
  file[1] = 'M';
  PutU32(&file[2], static_cast<std::uint32_t>(file.size()));
  PutU32(&file[10], static_cast<std::uint32_t>(kBmpFileHeaderSize + colors_at));
  std::memcpy(file.data() + kBmpFileHeaderSize, dib.data(), dib.size());
  PutU32(&file[kBmpFileHeaderSize + 8], height);
  PixelImage image = DecodeBmp(file);

  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t color_stride = (w * bit_count + 31) / 32 * 4;
  const std::size_t mask_stride = (w + 31) / 32 * 4;
  const std::size_t mask_at = colors_at + color_stride * height;
  std::vector<std::uint8_t> alpha(w * height, 0xFF);
  bool has_alpha = false;
  if (bit_count == 32) {
    for (std::size_t r = 0; r < height; ++r) {
      const std::uint8_t* src = dib.data() + colors_at + r * color_stride;
      for (std::size_t x = 0; x < w; ++x) {
        const std::uint8_t a = src[4 * x + 3];
        alpha[(height - 1 - r) * w + x] = a;
        has_alpha = has_alpha || a != 0;
      }
    }
  }
  if (!has_alpha) {
    // Writers of 32-bit icons with alpha sometimes leave the mask out; the others need it.
    if (mask_at > dib.size() || mask_stride * height > dib.size() - mask_at) {
      Fail("mask truncated");
    }
    for (std::size_t r = 0; r < height; ++r) {
      const std::uint8_t* src = dib.data() + mask_at + r * mask_stride;
      for (std::size_t x = 0; x < w; ++x) {
        const bool masked_out = (src[x / 8] >> (7 - x % 8)) & 1;
        alpha[(height - 1 - r) * w + x] = masked_out ? 0 : 0xFF;
      }
    }
  }
  ApplyAlphaAsTransparentColor(image, alpha);
  return image;
}

}  // namespace

PixelImage DecodeIco(std::span<const std::uint8_t> data) {
  const std::vector<Entry> entries = ReadDirectory(data);
  const Entry& best = BestEntry(entries);
  return IsPng(best.data) ? DecodePng(best.data) : DecodeDib(best.data);
}

}  // namespace orlit
