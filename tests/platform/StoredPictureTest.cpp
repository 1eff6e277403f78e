#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/BmpCodec.h"
#include "platform/PictureError.h"
#include "platform/StoredPicture.h"

namespace orlit {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Text(std::string_view s) { return Bytes(s.begin(), s.end()); }

PixelImage Checker(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.SetPixel(x, y, (x + y) % 2 ? 0xC0C0C0 : 0x800000);
  }
  return image;
}

TEST(StoredPictureTest, WritesLengthNameLittleEndianLengthAndData) {
  const struct {
    StoredPicture picture;
    Bytes expected;
  } cases[] = {
      {{"TBitmap", {1, 2, 3}}, Concat({{7}, Text("TBitmap"), {3, 0, 0, 0}, {1, 2, 3}})},
      {{"TJPEGImage", Bytes(300, 0xAB)},
       Concat({{10}, Text("TJPEGImage"), {0x2C, 0x01, 0, 0}, Bytes(300, 0xAB)})},
      {{"X", {}}, Concat({{1}, Text("X"), {0, 0, 0, 0}})},
      {{}, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picture.class_name);
    EXPECT_EQ(WriteStoredPicture(c.picture), c.expected);
    EXPECT_EQ(ReadStoredPicture(c.expected), c.picture);
  }
}

TEST(StoredPictureTest, IgnoresBytesAfterTheData) {
  const Bytes bytes = Concat({{7}, Text("TBitmap"), {2, 0, 0, 0}, {9, 8}, {7, 6, 5}});
  EXPECT_EQ(ReadStoredPicture(bytes), (StoredPicture{"TBitmap", {9, 8}}));
  EXPECT_TRUE(ReadStoredPicture(Bytes{0, 1, 2}).IsEmpty());
}

TEST(StoredPictureTest, RefusesTruncatedStructure) {
  const struct {
    std::string name;
    Bytes bytes;
    std::string message;
  } cases[] = {
      {"nothing", {}, "Invalid stored picture: no data"},
      {"name_cut", Concat({{7}, Text("TBit")}), "Invalid stored picture: class name truncated"},
      {"length_cut", Concat({{7}, Text("TBitmap"), {1, 0, 0}}),
       "Invalid stored picture: data length truncated"},
      {"data_cut", Concat({{7}, Text("TBitmap"), {10, 0, 0, 0}, Bytes(9, 0)}),
       "Invalid stored picture: data length 10 exceeds the 9 bytes present"},
      {"length_absurd", Concat({{7}, Text("TBitmap"), {0xFF, 0xFF, 0xFF, 0xFF}, {1}}),
       "Invalid stored picture: data length 4294967295 exceeds the 1 bytes present"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ReadStoredPicture(c.bytes);
      ADD_FAILURE() << "read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(StoredPictureTest, RefusesToWriteWhatCannotBeStored) {
  EXPECT_THROW(WriteStoredPicture({std::string(256, 'T'), {1}}), EInvalidGraphic);
  EXPECT_THROW(WriteStoredPicture({"", {1}}), EInvalidGraphic);
  EXPECT_EQ(WriteStoredPicture({std::string(255, 'T'), {}}).size(), 1u + 255 + 4);
}

TEST(StoredPictureTest, DecodesByClassName) {
  const PixelImage image = Checker(90, 30);
  {
    const Bytes stored = WriteStoredPicture(EncodeGraphic(image, kBitmapClassName));
    // The window's banner: 8214 bytes of bitmap behind a 12-byte prefix.
    EXPECT_EQ(stored.size(), 1u + 7 + 4 + 8214);
    EXPECT_EQ(DecodeStoredPicture(stored), image);
  }
  {
    const StoredPicture jpeg = EncodeGraphic(image, kJpegClassName, 95);
    EXPECT_EQ(jpeg.class_name, "TJPEGImage");
    ASSERT_GE(jpeg.data.size(), 2u);
    EXPECT_EQ(jpeg.data[0], 0xFF);
    EXPECT_EQ(jpeg.data[1], 0xD8);
    const PixelImage decoded = DecodeStoredPicture(WriteStoredPicture(jpeg));
    EXPECT_EQ(decoded.Width(), 90);
    EXPECT_EQ(decoded.Height(), 30);
  }
  EXPECT_TRUE(DecodeStoredPicture(Bytes{0}).IsEmpty());
}

TEST(StoredPictureTest, RefusesUnknownClassesAndMismatchedData) {
  const Bytes bmp = EncodeBmp(Checker(4, 4));
  const struct {
    std::string name;
    StoredPicture picture;
    std::string message;
  } cases[] = {
      {"icon", {"TIcon", bmp}, "Unsupported picture class \"TIcon\""},
      {"metafile", {"TMetafile", bmp}, "Unsupported picture class \"TMetafile\""},
      {"case_differs", {"tbitmap", bmp}, "Unsupported picture class \"tbitmap\""},
      {"control_characters",
       {std::string("T\x01\nX", 4), bmp},
       "Unsupported picture class \"T??X\""},
      {"bitmap_named_jpeg",
       {"TJPEGImage", bmp},
       "Invalid JPEG: Not a JPEG file: starts with 0x42 0x4d"},
      {"jpeg_named_bitmap",
       {"TBitmap", EncodeJpeg(Checker(4, 4))},
       "Invalid bitmap: missing \"BM\" signature"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      DecodeStoredPicture(WriteStoredPicture(c.picture));
      ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_THROW(EncodeGraphic(Checker(2, 2), "TIcon"), EInvalidGraphic);
}

}  // namespace
}  // namespace orlit
