#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/IcoCodec.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// One icon file around the given entries, each given as its directory size and its data.
struct IconEntry {
  int width, height, bit_count;
  Bytes data;
};

Bytes IconFile(const std::vector<IconEntry>& entries) {
  Bytes file;
  Put(file, 0, 2);
  Put(file, 1, 2);
  Put(file, static_cast<std::uint32_t>(entries.size()), 2);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IconEntry& e : entries) {
    Put(file, static_cast<std::uint32_t>(e.width & 0xFF), 1);
    Put(file, static_cast<std::uint32_t>(e.height & 0xFF), 1);
    Put(file, 0, 2);
    Put(file, 1, 2);
    Put(file, static_cast<std::uint32_t>(e.bit_count), 2);
    Put(file, static_cast<std::uint32_t>(e.data.size()), 4);
    Put(file, offset, 4);
    offset += static_cast<std::uint32_t>(e.data.size());
  }
  for (const IconEntry& e : entries) file.insert(file.end(), e.data.begin(), e.data.end());
  return file;
}

// A DIB of `width` x `height` in 24 or 32 bits, every pixel `bgra`, with an AND mask that
// leaves out the top-left pixel.
Bytes Dib(int width, int height, int bit_count, std::uint32_t bgra) {
  Bytes b;
  Put(b, 40, 4);
  Put(b, static_cast<std::uint32_t>(width), 4);
  Put(b, static_cast<std::uint32_t>(2 * height), 4);
  Put(b, 1, 2);
  Put(b, static_cast<std::uint32_t>(bit_count), 2);
  for (int i = 0; i < 6; ++i) Put(b, 0, 4);
  const int stride = (width * bit_count + 31) / 32 * 4;
  for (int row = 0; row < height; ++row) {
    Bytes line;
    for (int x = 0; x < width; ++x) Put(line, bgra, bit_count / 8);
    line.resize(static_cast<std::size_t>(stride), 0);
    b.insert(b.end(), line.begin(), line.end());
  }
  const int mask_stride = (width + 31) / 32 * 4;
  for (int row = 0; row < height; ++row) {
    Bytes line(static_cast<std::size_t>(mask_stride), 0);
    if (row == height - 1) line[0] = 0x80;  // rows are stored bottom-up
    b.insert(b.end(), line.begin(), line.end());
  }
  return b;
}

// A PNG of `width` x `height`, opaque red but for a clear top-left pixel.
Bytes Png(int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
  const int stride = cairo_image_surface_get_stride(surface) / 4;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) data[y * stride + x] = (x == 0 && y == 0) ? 0 : 0xFFFF0000;
  }
  cairo_surface_mark_dirty(surface);
  Bytes out;
  cairo_surface_write_to_png_stream(
      surface,
      [](void* closure, const unsigned char* bytes, unsigned int length) {
        static_cast<Bytes*>(closure)->insert(static_cast<Bytes*>(closure)->end(), bytes,
                                             bytes + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &out);
  cairo_surface_destroy(surface);
  return out;
}

struct DecodeCase {
  std::string name;
  Bytes file;
  int width, height;
  std::uint32_t color;  // of the pixel at 1, 1
};

TEST(IcoCodecTest, DecodesTheLargestEntryWithItsMaskOrAlpha) {
  const DecodeCase cases[] = {
      {"24_bit_with_mask", IconFile({{4, 3, 24, Dib(4, 3, 24, 0x00336699)}}), 4, 3, 0x336699},
      {"32_bit_without_alpha_uses_mask", IconFile({{2, 2, 32, Dib(2, 2, 32, 0x00112233)}}), 2, 2,
       0x112233},
      {"png_entry", IconFile({{0, 0, 32, Png(3, 2)}}), 3, 2, 0xFF0000},
      {"largest_then_deepest",
       IconFile({{2, 2, 24, Dib(2, 2, 24, 0x000000FF)},
                 {5, 5, 24, Dib(5, 5, 24, 0x0000FF00)},
                 {5, 5, 32, Dib(5, 5, 32, 0x000000FF)}}),
       5, 5, 0x0000FF},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PixelImage image = DecodeIco(c.file);
    ASSERT_EQ(image.Width(), c.width);
    ASSERT_EQ(image.Height(), c.height);
    EXPECT_EQ(image.Pixel(1, 1), c.color);
    // The left-out top-left pixel takes a transparent colour the icon does not use.
    EXPECT_EQ(image.Pixel(0, 0), image.TransparentColor());
    EXPECT_NE(image.TransparentColor(), c.color);
  }
}

TEST(IcoCodecTest, AlphaOfA32BitEntryDecidesOverTheMask) {
  Bytes dib = Dib(2, 1, 32, 0xFF0000FF);
  dib[40 + 4 + 3] = 0x10;  // the second pixel nearly clear; the mask says the first
  const PixelImage image = DecodeIco(IconFile({{2, 1, 32, dib}}));
  EXPECT_EQ(image.Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(image.Pixel(1, 0), image.TransparentColor());
}

TEST(IcoCodecTest, RefusesWhatItCannotReadWhole) {
  Bytes huge_png = Png(2, 2);
  huge_png[16 + 2] = 0x10;  // width 0x1002 x 2: 8196 pixels for a hundred bytes is fine...
  Bytes disproportionate_png = Png(2, 2);
  disproportionate_png[16 + 1] = 0x10;  // ...but 1 M x 2 is not
  const Bytes dib = Dib(4, 3, 24, 0);
  const Bytes png = Png(2, 2);
  Bytes cut = IconFile({{4, 3, 24, Dib(4, 3, 24, 0)}});
  cut.resize(cut.size() - 4);
  const struct {
    std::string name;
    Bytes file;
    std::string message;
  } cases[] = {
      {"empty", {}, "Invalid icon: truncated directory"},
      {"cursor", {0, 0, 2, 0, 1, 0}, "Invalid icon: not an icon file"},
      {"no_images", {0, 0, 1, 0, 0, 0}, "Invalid icon: no images"},
      {"directory_cut", {0, 0, 1, 0, 1, 0, 4}, "Invalid icon: truncated directory"},
      {"data_past_end", cut, "Invalid icon: image data past end of file"},
      {"mask_missing", IconFile({{4, 3, 24, Bytes(dib.begin(), dib.end() - 4)}}),
       "Invalid icon: mask truncated"},
      {"png_size_beyond_data", IconFile({{0, 0, 32, disproportionate_png}}),
       "Invalid icon: size 1048578 x 2 too large for " +
           std::to_string(disproportionate_png.size()) + " bytes"},
      {"png_cut", IconFile({{0, 0, 32, Bytes(png.begin(), png.begin() + 40)}}),
       "Invalid icon: unreadable PNG image"},
      {"png_size_differs_from_its_data", IconFile({{0, 0, 32, huge_png}}),
       "Invalid icon: unreadable PNG image"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      DecodeIco(c.file);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

}  // namespace
}  // namespace orlit
