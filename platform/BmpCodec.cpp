#include "platform/BmpCodec.h"

#include <bit>
#include <string>

#include "platform/BmpRle.h"
#include "platform/DecodeLimits.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kOs2InfoHeaderSize = 64;
constexpr std::size_t kMaskOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr std::uint32_t kCompressionRgb = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
// OS/2's headers give 3 another meaning (Huffman coding), which is not read.
constexpr std::uint32_t kCompressionBitfields = 3;

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic(SourceText(N_("Invalid bitmap: %s"), {reason}));
}

std::uint16_t U16(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint16_t>(d[at] | (d[at + 1] << 8));
}

std::uint32_t U32(std::span<const std::uint8_t> d, std::size_t at) {
  return static_cast<std::uint32_t>(d[at]) | (static_cast<std::uint32_t>(d[at + 1]) << 8) |
         (static_cast<std::uint32_t>(d[at + 2]) << 16) |
         (static_cast<std::uint32_t>(d[at + 3]) << 24);
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFFu);
  PutU16(out, v >> 16);
}

// One colour channel of a 16- or 32-bit pixel, scaled to 8 bits whatever the mask's width.
class Channel {
 public:
  explicit Channel(std::uint32_t mask)
      : mask_(mask),
        shift_(mask == 0 ? 0 : std::countr_zero(mask)),
        max_(mask == 0 ? 0 : mask >> shift_) {}

  std::uint32_t Extract(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t v = (pixel & mask_) >> shift_;
    return static_cast<std::uint32_t>((v * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_;
  std::uint64_t max_;
};

struct Header {
  std::uint32_t header_size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: rows stored top-down
  std::uint32_t bit_count = 0;
  std::uint32_t compression = kCompressionRgb;
  std::uint32_t colors_used = 0;
  std::size_t palette_entry_size = 4;
};

Header ReadHeader(std::span<const std::uint8_t> data) {
  if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') Fail("missing \"BM\" signature");
  if (data.size() < kFileHeaderSize + 4) Fail("truncated header");
  Header h;
  h.header_size = U32(data, kFileHeaderSize);
  switch (h.header_size) {
    case kCoreHeaderSize:
    case kInfoHeaderSize:
    case 52:  // with colour masks
    case 56:  // with colour and alpha masks
    case kOs2InfoHeaderSize:
    case 108:  // with colour space
    case 124:  // with colour profile
      break;
    default:
      Fail("unsupported header size " + std::to_string(h.header_size));
  }
  if (data.size() < kFileHeaderSize + h.header_size) Fail("truncated header");
  if (h.header_size == kCoreHeaderSize) {
    h.width = U16(data, 18);
    h.height = U16(data, 20);
    h.bit_count = U16(data, 24);
    h.palette_entry_size = 3;
  } else {
    h.width = static_cast<std::int32_t>(U32(data, 18));
    h.height = static_cast<std::int32_t>(U32(data, 22));
    h.bit_count = U16(data, 28);
    h.compression = U32(data, 30);
    h.colors_used = U32(data, 46);
  }
  return h;
}

std::vector<std::uint32_t> ReadPalette(std::span<const std::uint8_t> data, const Header& h,
                                       std::size_t offset) {
  const std::uint32_t capacity = 1u << h.bit_count;
  const std::uint32_t count = h.colors_used == 0 ? capacity : h.colors_used;
  if (count > capacity) {
    Fail("palette of " + std::to_string(count) + " colours out of range for " +
         std::to_string(h.bit_count) + " bits per pixel");
  }
  if (offset + std::size_t{count} * h.palette_entry_size > data.size()) {
    Fail("palette past end of data");
  }
  std::vector<std::uint32_t> palette(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = offset + i * h.palette_entry_size;
    palette[i] =
        (std::uint32_t{data[at + 2]} << 16) | (std::uint32_t{data[at + 1]} << 8) | data[at];
  }
  return palette;
}

void DecodeIndexedRow(const std::uint8_t* src, std::span<std::uint32_t> row,
                      std::uint32_t bit_count, const std::vector<std::uint32_t>& palette) {
  const std::uint32_t per_byte = 8 / bit_count;
  const std::uint32_t index_mask = (1u << bit_count) - 1;
  for (std::size_t x = 0; x < row.size(); ++x) {
    const std::uint8_t byte = src[x / per_byte];
    // The leftmost pixel sits in the byte's high bits.
    const std::uint32_t shift = 8 - bit_count * static_cast<std::uint32_t>(x % per_byte + 1);
    const std::uint32_t index = (byte >> shift) & index_mask;
    if (index >= palette.size()) {
      Fail("colour index " + std::to_string(index) + " outside palette of " +
           std::to_string(palette.size()) + " colours");
    }
    row[x] = palette[index];
  }
}

}  // namespace

PixelImage DecodeBmp(std::span<const std::uint8_t> data, std::uint64_t max_pixels) {
  const Header h = ReadHeader(data);
  if (h.width <= 0 || h.height == 0) {
    Fail("invalid size " + std::to_string(h.width) + " x " + std::to_string(h.height));
  }
  const std::int64_t abs_height = h.height < 0 ? -h.height : h.height;
  if (h.width > PixelImage::kMaxDimension || abs_height > PixelImage::kMaxDimension ||
      !PixelImage::IsValidSize(static_cast<int>(h.width), static_cast<int>(abs_height)) ||
      static_cast<std::uint64_t>(h.width) * static_cast<std::uint64_t>(abs_height) > max_pixels) {
    Fail("size " + std::to_string(h.width) + " x " + std::to_string(abs_height) + " too large");
  }
  const int width = static_cast<int>(h.width);
  const int height = static_cast<int>(abs_height);

  switch (h.bit_count) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      Fail("unsupported bit count " + std::to_string(h.bit_count));
  }
  const bool bitfields = h.compression == kCompressionBitfields &&
                         h.header_size != kOs2InfoHeaderSize &&
                         (h.bit_count == 16 || h.bit_count == 32);
  const bool rle = (h.compression == kCompressionRle8 && h.bit_count == 8) ||
                   (h.compression == kCompressionRle4 && h.bit_count == 4);
  if (h.compression != kCompressionRgb && !bitfields && !rle) {
    Fail("unsupported compression " + std::to_string(h.compression) + " at " +
         std::to_string(h.bit_count) + " bits per pixel");
  }
  // Run-length codes move up the picture from its bottom row; there is no top-down form.
  if (rle && h.height < 0) Fail("run-length picture stored top-down");

  // The plain info header is followed by its three masks; later headers hold them inside.
  std::size_t palette_offset = kFileHeaderSize + h.header_size;
  std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
  if (h.bit_count == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  if (bitfields) {
    if (h.header_size == kInfoHeaderSize) palette_offset += 12;
    if (palette_offset > data.size()) Fail("colour masks past end of data");
    for (int i = 0; i < 3; ++i) masks[i] = U32(data, kMaskOffset + 4 * static_cast<std::size_t>(i));
  }
  std::vector<std::uint32_t> palette;
  if (h.bit_count <= 8) palette = ReadPalette(data, h, palette_offset);

  const std::uint32_t pixel_offset = U32(data, 10);
  if (pixel_offset < palette_offset) Fail("pixel data offset inside the header");
  if (rle) {
    if (pixel_offset > data.size()) Fail("pixel data truncated");
    PixelImage image(width, height);
    DecodeBmpRle(data.subspan(pixel_offset), static_cast<int>(h.bit_count), palette, image);
    return image;
  }
  const std::uint64_t row_bits = static_cast<std::uint64_t>(width) * h.bit_count;
  const std::uint64_t stride = (row_bits + 31) / 32 * 4;
  // The last row's padding may be missing; writers have always disagreed about it.
  const std::uint64_t needed = stride * static_cast<std::uint64_t>(height - 1) + (row_bits + 7) / 8;
  if (pixel_offset > data.size() || needed > data.size() - pixel_offset) {
    Fail("pixel data truncated");
  }

  PixelImage image(width, height);
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
  for (int r = 0; r < height; ++r) {
    const std::uint8_t* src = data.data() + pixel_offset + stride * static_cast<std::uint64_t>(r);
    std::span<std::uint32_t> row = image.Row(h.height < 0 ? r : height - 1 - r);
    switch (h.bit_count) {
      case 1:
      case 4:
      case 8:
        DecodeIndexedRow(src, row, h.bit_count, palette);
        break;
      case 16:
        for (std::size_t x = 0; x < row.size(); ++x) {
          const std::uint32_t p = static_cast<std::uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
          row[x] = (red.Extract(p) << 16) | (green.Extract(p) << 8) | blue.Extract(p);
        }
        break;
      case 24:
        for (std::size_t x = 0; x < row.size(); ++x) {
          const std::uint8_t* p = src + 3 * x;
          row[x] = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
        }
        break;
      case 32:
        for (std::size_t x = 0; x < row.size(); ++x) {
          const std::uint8_t* q = src + 4 * x;
          const std::uint32_t p =
              static_cast<std::uint32_t>(q[0]) | (static_cast<std::uint32_t>(q[1]) << 8) |
              (static_cast<std::uint32_t>(q[2]) << 16) | (static_cast<std::uint32_t>(q[3]) << 24);
          row[x] = (red.Extract(p) << 16) | (green.Extract(p) << 8) | blue.Extract(p);
        }
        break;
    }
  }
  return image;
}

std::vector<std::uint8_t> EncodeBmp(const PixelImage& image) {
  if (image.IsEmpty()) throw EInvalidGraphic("Cannot write an empty bitmap");
  const std::uint32_t width = static_cast<std::uint32_t>(image.Width());
  const std::uint32_t height = static_cast<std::uint32_t>(image.Height());
  const std::uint32_t stride = (width * 3 + 3) & ~3u;
  const std::uint32_t image_size = stride * height;
  const std::uint32_t data_offset = kFileHeaderSize + kInfoHeaderSize;

  std::vector<std::uint8_t> out;
  out.reserve(data_offset + image_size);
  out.push_back('B');
  out.push_back('M');
  PutU32(out, data_offset + image_size);
  PutU32(out, 0);
  PutU32(out, data_offset);
  PutU32(out, kInfoHeaderSize);
  PutU32(out, width);
  PutU32(out, height);  // positive: bottom-up, which every reader accepts
  PutU16(out, 1);
  PutU16(out, 24);
  PutU32(out, kCompressionRgb);
  PutU32(out, image_size);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  PutU32(out, 0);
  for (int y = image.Height() - 1; y >= 0; --y) {
    for (const std::uint32_t p : image.Row(y)) {
      out.push_back(static_cast<std::uint8_t>(p));
      out.push_back(static_cast<std::uint8_t>(p >> 8));
      out.push_back(static_cast<std::uint8_t>(p >> 16));
    }
    out.resize(out.size() + (stride - width * 3), 0);
  }
  return out;
}

}  // namespace orlit
