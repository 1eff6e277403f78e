#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/BmpCodec.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// Describes a bitmap file to build by hand. Rows are listed top to bottom as raw pixel values
// (palette indices, 16-bit words, 0xRRGGBB for 24 bits, 32-bit words), whatever the storage order.
struct BmpLayout {
  std::uint32_t header_size = 40;
  std::uint32_t bit_count = 24;
  std::uint32_t compression = 0;
  bool top_down = false;
  std::vector<std::uint32_t> palette = {};  // 0xRRGGBB
  std::uint32_t colors_used = 0;
  std::vector<std::uint32_t> masks = {};  // red, green, blue
  std::vector<std::vector<std::uint32_t>> rows = {};
};

Bytes PackRow(const BmpLayout& s, const std::vector<std::uint32_t>& raw) {
  Bytes row;
  if (s.bit_count < 8) {
    const std::uint32_t per_byte = 8 / s.bit_count;
    row.assign((raw.size() + per_byte - 1) / per_byte, 0);
    for (std::size_t x = 0; x < raw.size(); ++x) {
      const std::uint32_t shift = 8 - s.bit_count * static_cast<std::uint32_t>(x % per_byte + 1);
      row[x / per_byte] |= static_cast<std::uint8_t>(raw[x] << shift);
    }
  } else {
    for (const std::uint32_t v : raw) {
      for (std::uint32_t i = 0; i < s.bit_count / 8; ++i) {
        row.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
      }
    }
  }
  row.resize((row.size() + 3) / 4 * 4, 0);
  return row;
}

Bytes BuildBmp(const BmpLayout& s) {
  Bytes header;
  const std::int32_t width = s.rows.empty() ? 0 : static_cast<std::int32_t>(s.rows[0].size());
  const std::int32_t height = static_cast<std::int32_t>(s.rows.size());
  Put32(header, s.header_size);
  if (s.header_size == 12) {
    Put16(header, static_cast<std::uint32_t>(width));
    Put16(header, static_cast<std::uint32_t>(height));
    Put16(header, 1);
    Put16(header, s.bit_count);
  } else {
    Put32(header, static_cast<std::uint32_t>(width));
    Put32(header, static_cast<std::uint32_t>(s.top_down ? -height : height));
    Put16(header, 1);
    Put16(header, s.bit_count);
    Put32(header, s.compression);
    Put32(header, 0);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, s.colors_used);
    Put32(header, 0);
    if (s.header_size == 40) {
      for (const std::uint32_t m : s.masks) Put32(header, m);
    } else {
      for (std::size_t i = 0; i < 3; ++i) Put32(header, i < s.masks.size() ? s.masks[i] : 0);
      header.resize(s.header_size, 0);
    }
  }
  for (const std::uint32_t c : s.palette) {
    header.push_back(static_cast<std::uint8_t>(c));
    header.push_back(static_cast<std::uint8_t>(c >> 8));
    header.push_back(static_cast<std::uint8_t>(c >> 16));
    if (s.header_size != 12) header.push_back(0);
  }
  Bytes pixels;
  for (std::size_t i = 0; i < s.rows.size(); ++i) {
    const bool stored_top_down = s.top_down;
    const auto& raw = s.rows[stored_top_down ? i : s.rows.size() - 1 - i];
    const Bytes row = PackRow(s, raw);
    pixels.insert(pixels.end(), row.begin(), row.end());
  }
  Bytes file = {'B', 'M'};
  const std::uint32_t offset = static_cast<std::uint32_t>(14 + header.size());
  Put32(file, static_cast<std::uint32_t>(offset + pixels.size()));
  Put32(file, 0);
  Put32(file, offset);
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), pixels.begin(), pixels.end());
  return file;
}

std::vector<std::vector<std::uint32_t>> Pixels(const PixelImage& image) {
  std::vector<std::vector<std::uint32_t>> rows = {};
  for (int y = 0; y < image.Height(); ++y) {
    const auto row = image.Row(y);
    rows.emplace_back(row.begin(), row.end());
  }
  return rows;
}

const std::vector<std::uint32_t> kFourColours = {0x000000, 0xFF0000, 0x00FF00, 0x123456};

struct DepthCase {
  std::string name;
  BmpLayout layout;
  std::vector<std::vector<std::uint32_t>> expected;
};

std::vector<DepthCase> DepthCases() {
  std::vector<DepthCase> cases;
  // 11 pixels at 1 bit cross a byte boundary and leave a padded row.
  cases.push_back({"1bpp_bottom_up",
                   {.bit_count = 1,
                    .palette = {0x0000FF, 0xFFFF00},
                    .rows = {{1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1}, {0, 1, 1, 1, 1, 1, 1, 1, 0, 1, 0}}},
                   {{0xFFFF00, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF,
                     0xFFFF00, 0x0000FF, 0xFFFF00},
                    {0x0000FF, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00, 0xFFFF00,
                     0x0000FF, 0xFFFF00, 0x0000FF}}});
  cases.push_back({"4bpp_top_down",
                   {.bit_count = 4,
                    .top_down = true,
                    .palette = kFourColours,
                    .colors_used = 4,
                    .rows = {{3, 2, 1}, {0, 1, 3}}},
                   {{0x123456, 0x00FF00, 0xFF0000}, {0x000000, 0xFF0000, 0x123456}}});
  std::vector<std::uint32_t> grey(256);
  for (std::uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101;
  cases.push_back({"8bpp_full_palette",
                   {.bit_count = 8, .palette = grey, .rows = {{0, 255, 128}, {1, 2, 3}}},
                   {{0x000000, 0xFFFFFF, 0x808080}, {0x010101, 0x020202, 0x030303}}});
  cases.push_back({"8bpp_core_header",
                   {.header_size = 12, .bit_count = 8, .palette = grey, .rows = {{7, 200}}},
                   {{0x070707, 0xC8C8C8}}});
  cases.push_back({"16bpp_555",
                   {.bit_count = 16, .rows = {{0x7FFF, 0x7C00, 0x03E0}, {0x001F, 0x4210, 0x0000}}},
                   {{0xFFFFFF, 0xFF0000, 0x00FF00}, {0x0000FF, 0x848484, 0x000000}}});
  cases.push_back({"16bpp_565_bitfields",
                   {.bit_count = 16,
                    .compression = 3,
                    .masks = {0xF800, 0x07E0, 0x001F},
                    .rows = {{0xF800, 0x07E0, 0x001F, 0x0400}}},
                   {{0xFF0000, 0x00FF00, 0x0000FF, 0x008200}}});
  cases.push_back({"24bpp_bottom_up",
                   {.rows = {{0x010203, 0xA0B0C0, 0xFFFFFF, 0x000000, 0x800000},
                             {0x00FF00, 0x0000FF, 0xFF0000, 0x123456, 0x654321}}},
                   {{0x010203, 0xA0B0C0, 0xFFFFFF, 0x000000, 0x800000},
                    {0x00FF00, 0x0000FF, 0xFF0000, 0x123456, 0x654321}}});
  cases.push_back({"24bpp_top_down",
                   {.top_down = true, .rows = {{0x111111}, {0x222222}, {0x333333}}},
                   {{0x111111}, {0x222222}, {0x333333}}});
  cases.push_back({"24bpp_core_header",
                   {.header_size = 12, .rows = {{0xABCDEF, 0x010101}}},
                   {{0xABCDEF, 0x010101}}});
  // The top byte of a plain 32-bit pixel is unused; writers put alpha or junk there.
  cases.push_back(
      {"32bpp_rgb", {.bit_count = 32, .rows = {{0xFF102030, 0x00FEDCBA}}}, {{0x102030, 0xFEDCBA}}});
  cases.push_back({"32bpp_bitfields_swapped",
                   {.bit_count = 32,
                    .compression = 3,
                    .masks = {0x000000FF, 0x0000FF00, 0x00FF0000},
                    .rows = {{0x00332211, 0xFF0000FF}}},
                   {{0x112233, 0xFF0000}}});
  cases.push_back({"32bpp_v4_header_masks_inside",
                   {.header_size = 108,
                    .bit_count = 32,
                    .compression = 3,
                    .masks = {0xFF000000, 0x00FF0000, 0x0000FF00},
                    .rows = {{0x11223344}}},
                   {{0x112233}}});
  cases.push_back({"24bpp_v5_header",
                   {.header_size = 124, .top_down = true, .rows = {{0x0A0B0C}, {0x0D0E0F}}},
                   {{0x0A0B0C}, {0x0D0E0F}}});
  return cases;
}

TEST(BmpCodecTest, DecodesEachDepthAndSurvivesA24BitRoundTrip) {
  for (const DepthCase& c : DepthCases()) {
    SCOPED_TRACE(c.name);
    const PixelImage image = DecodeBmp(BuildBmp(c.layout));
    ASSERT_EQ(image.Width(), static_cast<int>(c.expected[0].size()));
    ASSERT_EQ(image.Height(), static_cast<int>(c.expected.size()));
    EXPECT_EQ(Pixels(image), c.expected);
    EXPECT_EQ(Pixels(DecodeBmp(EncodeBmp(image))), c.expected);
  }
}

TEST(BmpCodecTest, WritesBottomUp24BitFileByteExactly) {
  PixelImage image(2, 2);
  image.SetPixel(0, 0, 0x112233);
  image.SetPixel(1, 0, 0x445566);
  image.SetPixel(0, 1, 0x778899);
  image.SetPixel(1, 1, 0xAABBCC);
  const Bytes file = EncodeBmp(image);
  const Bytes expected = {
      'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24,
      0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      // bottom row first, blue-green-red, padded to 8 bytes
      0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0, 0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0};
  EXPECT_EQ(file, expected);
}

TEST(BmpCodecTest, AcceptsMissingPaddingAfterTheLastRow) {
  Bytes file = BuildBmp({.rows = {{0x010203}, {0x040506}}});
  file.resize(file.size() - 1);
  const PixelImage image = DecodeBmp(file);
  EXPECT_EQ(image.Pixel(0, 0), 0x010203u);
  EXPECT_EQ(image.Pixel(0, 1), 0x040506u);
}

TEST(BmpCodecTest, RefusesToWriteAnEmptyImage) {
  EXPECT_THROW(EncodeBmp(PixelImage()), EInvalidGraphic);
  EXPECT_THROW(EncodeBmp(PixelImage(5, 0)), EInvalidGraphic);
}

void Set32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Set16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

struct CorruptCase {
  std::string name;
  Bytes data;
  std::string message;
};

std::vector<CorruptCase> CorruptCases() {
  const Bytes good = BuildBmp({.rows = {{0x010203, 0x040506}, {0x070809, 0x0A0B0C}}});
  const Bytes indexed = BuildBmp(
      {.bit_count = 8, .palette = {0x000000, 0xFFFFFF}, .colors_used = 2, .rows = {{0, 1, 1, 0}}});
  auto with = [](Bytes b, auto edit) {
    edit(b);
    return b;
  };
  std::vector<CorruptCase> cases;
  cases.push_back({"empty", {}, "Invalid bitmap: missing \"BM\" signature"});
  cases.push_back({"wrong_signature", with(good, [](Bytes& b) { b[1] = 'A'; }),
                   "Invalid bitmap: missing \"BM\" signature"});
  cases.push_back({"signature_only", {'B', 'M'}, "Invalid bitmap: truncated header"});
  cases.push_back({"info_header_cut", with(good, [](Bytes& b) { b.resize(40); }),
                   "Invalid bitmap: truncated header"});
  cases.push_back({"header_size_20", with(good, [](Bytes& b) { Set32(b, 14, 20); }),
                   "Invalid bitmap: unsupported header size 20"});
  cases.push_back({"header_size_huge", with(good, [](Bytes& b) { Set32(b, 14, 0xFFFFFFF0); }),
                   "Invalid bitmap: unsupported header size 4294967280"});
  cases.push_back({"width_zero", with(good, [](Bytes& b) { Set32(b, 18, 0); }),
                   "Invalid bitmap: invalid size 0 x 2"});
  cases.push_back({"width_negative", with(good, [](Bytes& b) { Set32(b, 18, 0xFFFFFFFE); }),
                   "Invalid bitmap: invalid size -2 x 2"});
  cases.push_back({"height_zero", with(good, [](Bytes& b) { Set32(b, 22, 0); }),
                   "Invalid bitmap: invalid size 2 x 0"});
  cases.push_back({"height_int_min", with(good, [](Bytes& b) { Set32(b, 22, 0x80000000u); }),
                   "Invalid bitmap: size 2 x 2147483648 too large"});
  cases.push_back({"width_beyond_limit", with(good, [](Bytes& b) { Set32(b, 18, 70000); }),
                   "Invalid bitmap: size 70000 x 2 too large"});
  cases.push_back({"pixels_beyond_budget",
                   with(good,
                        [](Bytes& b) {
                          Set32(b, 18, 4097);
                          Set32(b, 22, 4096);
                        }),
                   "Invalid bitmap: size 4097 x 4096 too large"});
  cases.push_back({"pixels_beyond_limit",
                   with(good,
                        [](Bytes& b) {
                          Set32(b, 18, 40000);
                          Set32(b, 22, 40000);
                        }),
                   "Invalid bitmap: size 40000 x 40000 too large"});
  cases.push_back({"width_beyond_data", with(good, [](Bytes& b) { Set32(b, 18, 3); }),
                   "Invalid bitmap: pixel data truncated"});
  cases.push_back({"bit_count_2", with(good, [](Bytes& b) { Set16(b, 28, 2); }),
                   "Invalid bitmap: unsupported bit count 2"});
  cases.push_back({"bit_count_0", with(good, [](Bytes& b) { Set16(b, 28, 0); }),
                   "Invalid bitmap: unsupported bit count 0"});
  cases.push_back({"run_length_8_at_24", with(good, [](Bytes& b) { Set32(b, 30, 1); }),
                   "Invalid bitmap: unsupported compression 1 at 24 bits per pixel"});
  cases.push_back({"bitfields_at_24", with(good, [](Bytes& b) { Set32(b, 30, 3); }),
                   "Invalid bitmap: unsupported compression 3 at 24 bits per pixel"});
  cases.push_back({"bitfields_masks_cut",
                   with(BuildBmp({.bit_count = 16,
                                  .compression = 3,
                                  .masks = {0xF800, 0x07E0, 0x001F},
                                  .rows = {{1}}}),
                        [](Bytes& b) { b.resize(60); }),
                   "Invalid bitmap: colour masks past end of data"});
  cases.push_back({"palette_larger_than_depth", with(indexed, [](Bytes& b) { Set32(b, 46, 257); }),
                   "Invalid bitmap: palette of 257 colours out of range for 8 bits per pixel"});
  cases.push_back(
      {"palette_count_overflowing", with(indexed, [](Bytes& b) { Set32(b, 46, 0xFFFFFFFF); }),
       "Invalid bitmap: palette of 4294967295 colours out of range for 8 bits per pixel"});
  cases.push_back({"palette_past_end", with(indexed, [](Bytes& b) { Set32(b, 46, 200); }),
                   "Invalid bitmap: palette past end of data"});
  cases.push_back({"index_outside_palette", with(indexed, [](Bytes& b) { b[b.size() - 1] = 2; }),
                   "Invalid bitmap: colour index 2 outside palette of 2 colours"});
  cases.push_back({"offset_past_end", with(good, [](Bytes& b) { Set32(b, 10, 0xFFFFFFFF); }),
                   "Invalid bitmap: pixel data truncated"});
  cases.push_back({"offset_inside_header", with(good, [](Bytes& b) { Set32(b, 10, 20); }),
                   "Invalid bitmap: pixel data offset inside the header"});
  cases.push_back({"pixels_cut_short", with(good, [](Bytes& b) { b.resize(b.size() - 3); }),
                   "Invalid bitmap: pixel data truncated"});
  return cases;
}

TEST(BmpCodecTest, RefusesCorruptFilesWithAClearMessage) {
  for (const CorruptCase& c : CorruptCases()) {
    SCOPED_TRACE(c.name);
    try {
      DecodeBmp(c.data);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_STREQ(e.ClassName(), "EInvalidGraphic");
    }
  }
}

// A run-length encoded bitmap of `width` x `height` over a four-colour palette.
Bytes BuildRleBmp(std::uint32_t bits, int width, int height, const Bytes& encoded,
                  std::uint32_t header_size = 40) {
  Bytes file = {'B', 'M'};
  const std::uint32_t offset = 14 + header_size + 4 * 4;
  Put32(file, static_cast<std::uint32_t>(offset + encoded.size()));
  Put32(file, 0);
  Put32(file, offset);
  Put32(file, header_size);
  Put32(file, static_cast<std::uint32_t>(width));
  Put32(file, static_cast<std::uint32_t>(height));
  Put16(file, 1);
  Put16(file, bits);
  Put32(file, bits == 8 ? 1 : 2);
  Put32(file, static_cast<std::uint32_t>(encoded.size()));
  Put32(file, 2835);
  Put32(file, 2835);
  Put32(file, 4);
  Put32(file, 0);
  file.resize(14 + header_size, 0);
  for (const std::uint32_t c : kFourColours) Put32(file, c);
  file.insert(file.end(), encoded.begin(), encoded.end());
  return file;
}

constexpr std::uint32_t K = 0x000000, R = 0xFF0000, G = 0x00FF00, B = 0x123456;

TEST(BmpCodecTest, DecodesRunLengthCodesAndOs2Headers) {
  const struct {
    const char* name;
    Bytes file;
    std::vector<std::vector<std::uint32_t>> expected;  // top row first
  } cases[] = {
      // Bottom row: three literals padded to a word, then a run of one.
      {"rle8_runs_literals_end_of_line",
       BuildRleBmp(8, 4, 2, {0, 3, 1, 1, 3, 0, 1, 2, 0, 0, 4, 3, 0, 1}),
       {{B, B, B, B}, {R, R, B, G}}},
      // The delta skips to (2, 1); what it passes keeps the first colour.
      {"rle8_delta", BuildRleBmp(8, 3, 2, {1, 1, 0, 2, 1, 1, 1, 2, 0, 1}), {{K, K, G}, {R, K, K}}},
      {"rle4_alternating_run_and_odd_literal",
       BuildRleBmp(4, 5, 1, {5, 0x12, 0, 1}),
       {{R, G, R, G, R}}},
      {"rle4_literal_padded_to_a_word",
       BuildRleBmp(4, 3, 1, {0, 3, 0x31, 0x20, 0, 1}),
       {{B, R, G}}},
      {"os2_64_byte_header_rle8", BuildRleBmp(8, 2, 1, {2, 3, 0, 1}, 64), {{B, B}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Pixels(DecodeBmp(c.file)), c.expected);
  }
  // The OS/2 header's plain form, beside the run-length one above.
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp({.header_size = 64, .rows = {{0x010203}}}))),
            (std::vector<std::vector<std::uint32_t>>{{0x010203}}));
}

TEST(BmpCodecTest, RefusesRunLengthDataThatLeavesThePicture) {
  const struct {
    const char* name;
    Bytes file;
    const char* message;
  } cases[] = {
      {"run_past_row_end", BuildRleBmp(8, 2, 1, {3, 1, 0, 1}), "run-length run leaves the picture"},
      {"literal_past_row_end", BuildRleBmp(8, 2, 2, {1, 1, 0, 3, 1, 1, 1, 0, 0, 1}),
       "run-length run leaves the picture"},
      {"run_above_top_row", BuildRleBmp(8, 2, 1, {0, 0, 1, 1, 0, 1}),
       "run-length run leaves the picture"},
      {"delta_right_of_picture", BuildRleBmp(8, 2, 2, {0, 2, 3, 0, 0, 1}),
       "run-length delta leaves the picture"},
      {"delta_above_picture", BuildRleBmp(8, 2, 2, {0, 2, 0, 3, 0, 1}),
       "run-length delta leaves the picture"},
      {"index_outside_palette", BuildRleBmp(8, 2, 1, {2, 4, 0, 1}),
       "colour index 4 outside palette of 4 colours"},
      {"no_end_of_bitmap", BuildRleBmp(8, 2, 1, {2, 1}),
       "run-length data ends before its end-of-bitmap code"},
      {"literal_cut", BuildRleBmp(8, 4, 1, {0, 4, 1, 1}),
       "run-length data ends before its end-of-bitmap code"},
      {"top_down", BuildRleBmp(8, 2, -1, {2, 1, 0, 1}), "run-length picture stored top-down"},
      {"os2_huffman",
       [] {
         Bytes b =
             BuildBmp({.header_size = 64, .bit_count = 1, .palette = {0, 0xFFFFFF}, .rows = {{1}}});
         Set32(b, 30, 3);
         return b;
       }(),
       "unsupported compression 3 at 1 bits per pixel"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      DecodeBmp(c.file);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), std::string("Invalid bitmap: ") + c.message);
    }
  }
}

TEST(BmpCodecTest, EveryTruncationOfAValidFileIsRefused) {
  const Bytes file = BuildBmp({.bit_count = 4,
                               .palette = kFourColours,
                               .colors_used = 4,
                               .rows = {{1, 2, 3, 0, 1}, {3, 3, 2, 2, 1}}});
  // Only the last byte, the final row's padding, may be missing.
  for (std::size_t size = 0; size + 1 < file.size(); ++size) {
    EXPECT_THROW(DecodeBmp(Bytes(file.begin(), file.begin() + static_cast<long>(size))),
                 EInvalidGraphic)
        << size;
  }
}

}  // namespace
}  // namespace orlit
