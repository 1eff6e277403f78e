#include <gtest/gtest.h>

#include "platform/JpegCodec.h"

// clang-format off
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/PictureError.h"

namespace orlit {
namespace {

using Bytes = std::vector<std::uint8_t>;

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }

// Largest difference of any channel of any pixel.
int MaxError(const PixelImage& a, const PixelImage& b) {
  int worst = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      for (int shift : {0, 8, 16}) {
        worst = std::max(worst,
                         std::abs(Channel(a.Pixel(x, y), shift) - Channel(b.Pixel(x, y), shift)));
      }
    }
  }
  return worst;
}

PixelImage Gradient(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t r = static_cast<std::uint32_t>(x * 255 / (width - 1));
      const std::uint32_t g = static_cast<std::uint32_t>(y * 255 / (height - 1));
      image.SetPixel(x, y, (r << 16) | (g << 8) | 0x80);
    }
  }
  return image;
}

// Writes a JPEG straight through libjpeg, for colour spaces and modes our encoder does not make.
Bytes WriteWithLibjpeg(int width, int height, int components, J_COLOR_SPACE space, bool progressive,
                       const std::vector<std::uint8_t>& samples) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 100, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row =
        const_cast<JSAMPLE*>(samples.data()) + static_cast<std::size_t>(cinfo.next_scanline) *
                                                   static_cast<std::size_t>(width * components);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

TEST(JpegCodecTest, RoundTripKeepsSizeExactAndColoursClose) {
  const struct {
    int width, height, quality, tolerance;
  } cases[] = {{37, 23, 95, 8}, {1, 1, 90, 4}, {16, 16, 75, 20}, {150, 112, 90, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    const PixelImage original =
        c.width == 1 ? PixelImage(1, 1, 0x336699) : Gradient(c.width, c.height);
    const PixelImage decoded = DecodeJpeg(EncodeJpeg(original, c.quality));
    ASSERT_EQ(decoded.Width(), c.width);
    ASSERT_EQ(decoded.Height(), c.height);
    EXPECT_LE(MaxError(original, decoded), c.tolerance);
  }
}

TEST(JpegCodecTest, WritesACompleteJfifFile) {
  const Bytes file = EncodeJpeg(Gradient(20, 10));
  ASSERT_GT(file.size(), 20u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0xFF, 0xD8, 0xFF, 0xE0}));
  EXPECT_EQ(std::string(file.begin() + 6, file.begin() + 11), std::string("JFIF\0", 5));
  EXPECT_EQ(Bytes(file.end() - 2, file.end()), (Bytes{0xFF, 0xD9}));
}

TEST(JpegCodecTest, QualityIsClampedAndMatters) {
  const PixelImage image = Gradient(64, 48);
  EXPECT_EQ(EncodeJpeg(image, -5), EncodeJpeg(image, 1));
  EXPECT_EQ(EncodeJpeg(image, 1000), EncodeJpeg(image, 100));
  EXPECT_LT(EncodeJpeg(image, 10).size(), EncodeJpeg(image, 95).size());
}

TEST(JpegCodecTest, OutputLargerThanOneChunkIsKeptWhole) {
  PixelImage noise(300, 200);
  std::uint32_t state = 12345;
  for (int y = 0; y < noise.Height(); ++y) {
    for (std::uint32_t& p : noise.Row(y)) {
      state = state * 1664525u + 1013904223u;
      p = state >> 8;
    }
  }
  const Bytes file = EncodeJpeg(noise, 100);
  EXPECT_GT(file.size(), 64u * 1024);
  const PixelImage decoded = DecodeJpeg(file);
  EXPECT_EQ(decoded.Width(), 300);
  EXPECT_EQ(decoded.Height(), 200);
}

TEST(JpegCodecTest, DecodesGreyProgressiveAndCmykFiles) {
  const int w = 8, h = 8;
  {
    SCOPED_TRACE("grey");
    const PixelImage image =
        DecodeJpeg(WriteWithLibjpeg(w, h, 1, JCS_GRAYSCALE, false, Bytes(w * h, 0x40)));
    EXPECT_EQ(image.Width(), w);
    EXPECT_LE(MaxError(image, PixelImage(w, h, 0x404040)), 1);
  }
  {
    SCOPED_TRACE("progressive");
    Bytes samples;
    for (int i = 0; i < w * h; ++i) samples.insert(samples.end(), {0x20, 0xC0, 0x60});
    const Bytes file = WriteWithLibjpeg(w, h, 3, JCS_RGB, true, samples);
    const PixelImage image = DecodeJpeg(file);
    EXPECT_LE(MaxError(image, PixelImage(w, h, 0x20C060)), 3);
  }
  {
    SCOPED_TRACE("cmyk");
    // Stored inverted, as Adobe writes it: this is pure red ink-wise, no black.
    Bytes samples;
    for (int i = 0; i < w * h; ++i) samples.insert(samples.end(), {0xFF, 0x00, 0x00, 0xFF});
    const PixelImage image = DecodeJpeg(WriteWithLibjpeg(w, h, 4, JCS_CMYK, false, samples));
    EXPECT_LE(MaxError(image, PixelImage(w, h, 0xFF0000)), 3);
  }
}

// Junk before `count` markers of a good file, each warned about once: empty comment segments
// with a stray byte in front, or one APP1 block whose length falls short of its contents.
Bytes WithWarnings(const Bytes& good, int count, bool broken_app1) {
  Bytes b = good;
  Bytes insert;
  for (int i = 0; i < count; ++i) insert.insert(insert.end(), {0x55, 0xFF, 0xFE, 0x00, 0x02});
  if (broken_app1) {
    insert = {0xFF, 0xE1, 0x00, 0x08, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 0x2A, 0, 0, 0, 8};
  }
  b.insert(b.begin() + 2, insert.begin(), insert.end());
  return b;
}

TEST(JpegCodecTest, DamageOutsideThePixelsIsPassedOverUpToAThousandWarnings) {
  const PixelImage original = Gradient(64, 32);
  const Bytes good = EncodeJpeg(original, 90);
  const struct {
    const char* name;
    Bytes data;
    const char* refusal;  // null: decodes as the good file does
  } cases[] = {
      {"junk_before_marker", WithWarnings(good, 1, false), nullptr},
      {"broken_exif_block", WithWarnings(good, 0, true), nullptr},
      {"thousand_warnings", WithWarnings(good, 1000, false), nullptr},
      {"thousand_and_one_warnings", WithWarnings(good, 1001, false),
       "Invalid JPEG: more than 1000 warnings"},
  };
  const PixelImage expected = DecodeJpeg(good);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.refusal == nullptr) {
      EXPECT_EQ(DecodeJpeg(c.data), expected);
      continue;
    }
    try {
      DecodeJpeg(c.data);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.refusal);
    }
  }
}

TEST(JpegCodecTest, APictureBeyondTheBudgetIsDecodedAtTheFirstScaleThatFits) {
  const Bytes file = EncodeJpeg(PixelImage(64, 32, 0x336699), 95);
  const struct {
    std::uint64_t budget;
    int width, height;  // 0: refused
  } cases[] = {{2048, 64, 32}, {2047, 32, 16}, {512, 32, 16}, {511, 16, 8}, {32, 8, 4}, {31, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.budget);
    if (c.width == 0) {
      EXPECT_THROW(DecodeJpeg(file, c.budget), EInvalidGraphic);
      continue;
    }
    const PixelImage image = DecodeJpeg(file, c.budget);
    EXPECT_EQ(image.Width(), c.width);
    EXPECT_EQ(image.Height(), c.height);
    EXPECT_LE(MaxError(image, PixelImage(c.width, c.height, 0x336699)), 3);
  }
}

TEST(JpegCodecTest, RefusesToWriteWhatItCannot) {
  EXPECT_THROW(EncodeJpeg(PixelImage()), EInvalidGraphic);
  try {
    EncodeJpeg(PixelImage(65535, 1));
    ADD_FAILURE() << "encoded";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Cannot write JPEG: Maximum supported image dimension is 65500 pixels");
  }
}

std::size_t FindMarker(const Bytes& file, std::uint8_t marker) {
  for (std::size_t i = 0; i + 1 < file.size(); ++i) {
    if (file[i] == 0xFF && file[i + 1] == marker) return i;
  }
  ADD_FAILURE() << "no marker " << int{marker};
  return 0;
}

struct CorruptCase {
  std::string name;
  Bytes data;
  std::string message;
};

std::vector<CorruptCase> CorruptCases() {
  const Bytes good = EncodeJpeg(Gradient(64, 32), 90);
  const std::size_t sof = FindMarker(good, 0xC0);
  const std::size_t sos = FindMarker(good, 0xDA);
  auto with = [](Bytes b, auto edit) {
    edit(b);
    return b;
  };
  std::vector<CorruptCase> cases;
  cases.push_back({"empty", {}, "Invalid JPEG: Empty input file"});
  cases.push_back({"garbage",
                   {'G', 'I', 'F', '8', '9', 'a', 0, 0},
                   "Invalid JPEG: Not a JPEG file: starts with 0x47 0x49"});
  cases.push_back({"start_marker_only", {0xFF, 0xD8}, "Invalid JPEG: Premature end of JPEG file"});
  cases.push_back({"cut_in_header", Bytes(good.begin(), good.begin() + static_cast<long>(sof) + 5),
                   "Invalid JPEG: Premature end of JPEG file"});
  cases.push_back({"cut_in_half",
                   Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)),
                   "Invalid JPEG: Premature end of JPEG file"});
  cases.push_back({"end_marker_missing", Bytes(good.begin(), good.end() - 2),
                   "Invalid JPEG: Premature end of JPEG file"});
  cases.push_back({"restart_marker_in_scan",
                   with(good,
                        [sos](Bytes& b) {
                          b.insert(b.begin() + static_cast<long>(sos) + 40, {0xFF, 0xD3});
                        }),
                   "Invalid JPEG: Corrupt JPEG data: premature end of data segment"});
  cases.push_back({"width_zero",
                   with(good,
                        [sof](Bytes& b) {
                          b[sof + 7] = 0;
                          b[sof + 8] = 0;
                        }),
                   "Invalid JPEG: Empty JPEG image (DNL not supported)"});
  // The frame header's height and width, big-endian, and comment segments of `padding` bytes in
  // all before it to give a large size the data it would need.
  auto sized = [&](int width, int height, std::size_t padding) {
    Bytes b = good;
    b[sof + 5] = static_cast<std::uint8_t>(height >> 8);
    b[sof + 6] = static_cast<std::uint8_t>(height);
    b[sof + 7] = static_cast<std::uint8_t>(width >> 8);
    b[sof + 8] = static_cast<std::uint8_t>(width);
    for (std::size_t left = padding; left > 0;) {
      const std::size_t size = std::min<std::size_t>(left, 60000);
      Bytes comment{0xFF, 0xFE, static_cast<std::uint8_t>((size + 2) >> 8),
                    static_cast<std::uint8_t>(size + 2)};
      comment.resize(comment.size() + size, 'x');
      b.insert(b.begin() + 2, comment.begin(), comment.end());
      left -= size;
    }
    return b;
  };
  auto too_large = [](int width, int height, const Bytes& b) {
    return "Invalid JPEG: size " + std::to_string(width) + " x " + std::to_string(height) +
           " too large for " + std::to_string(b.size()) + " bytes";
  };
  const Bytes huge = sized(65500, 65500, 0);
  cases.push_back({"size_beyond_limit", huge, too_large(65500, 65500, huge)});
  const Bytes disproportionate = sized(2048, 2048, 0);
  cases.push_back({"size_out_of_proportion_to_data", disproportionate,
                   too_large(2048, 2048, disproportionate)});
  const Bytes above_ceiling = sized(16384, 16385, 300000);
  cases.push_back({"size_above_ceiling_whatever_the_data", above_ceiling,
                   too_large(16384, 16385, above_ceiling)});
  // Enough data for its size: the header passes and the missing scan data is what fails.
  cases.push_back({"large_size_with_proportionate_data", sized(4096, 1024, 8000),
                   "Invalid JPEG: Corrupt JPEG data: premature end of data segment"});
  cases.push_back({"premature_end_after_junk",
                   with(Bytes(good.begin(), good.end() - 40),
                        [](Bytes& b) {
                          b.insert(b.begin() + 2, {0x00, 0x01});
                        }),
                   "Invalid JPEG: Premature end of JPEG file"});
  cases.push_back({"unknown_marker_in_header", with(good, [sof](Bytes& b) { b[sof + 1] = 0xC3; }),
                   "Invalid JPEG: Unsupported JPEG process: SOF type 0xc3"});
  return cases;
}

TEST(JpegCodecTest, RefusesCorruptAndTruncatedData) {
  for (const CorruptCase& c : CorruptCases()) {
    SCOPED_TRACE(c.name);
    try {
      DecodeJpeg(c.data);
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(JpegCodecTest, EveryTruncationIsRefused) {
  const Bytes file = EncodeJpeg(Gradient(24, 16), 80);
  for (std::size_t size = 0; size < file.size(); ++size) {
    EXPECT_THROW(DecodeJpeg(Bytes(file.begin(), file.begin() + static_cast<long>(size))),
                 EInvalidGraphic)
        << size;
  }
}

}  // namespace
}  // namespace orlit
