#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/ClipboardPicture.h"
#include "platform/PictureError.h"
#include "platform/PngCodec.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

using Bytes = std::vector<std::uint8_t>;

PixelImage Gradient(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      image.SetPixel(x, y, static_cast<std::uint32_t>(x * 0x10203 + y));
  }
  return image;
}

// A PNG signature and header chunk claiming the given size, nothing after it.
Bytes PngHeaderOnly(std::uint32_t width, std::uint32_t height) {
  Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (const std::uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  b.insert(b.end(), {8, 2, 0, 0, 0, 0, 0, 0, 0});
  return b;
}

TEST(ClipboardPictureTest, EachFormatCarriesThePictureThroughTheHeadlessClipboard) {
  const PixelImage picture = Gradient(90, 30);
  for (const std::string_view type : ClipboardPictureTypes()) {
    HeadlessWindowSystem desktop;
    desktop.SetClipboardText("words");
    EXPECT_FALSE(desktop.ClipboardHasPicture());
    desktop.SetClipboardPicture(picture);
    EXPECT_EQ(desktop.ClipboardText(), "");
    // Another program that offers only this one format.
    const Bytes data = desktop.ClipboardData().at(std::string(type));
    desktop.SetClipboardData({{std::string(type), data}});
    ASSERT_TRUE(desktop.ClipboardHasPicture()) << type;
    EXPECT_EQ(*desktop.ClipboardPicture(), picture) << type;
  }
}

TEST(ClipboardPictureTest, UnreadableDataIsRefused) {
  const Bytes png = EncodePng(Gradient(4, 4));
  struct Case {
    std::string type;
    Bytes data;
  } cases[] = {
      {"image/png", {}},
      {"image/png", {'B', 'M', 0, 0}},
      {"image/png", Bytes(png.begin(), png.end() - 20)},
      {"image/png", PngHeaderOnly(70000, 1)},
      {"image/png", PngHeaderOnly(20000, 20000)},
      {"image/png", PngHeaderOnly(0, 5)},
      {"image/bmp", Bytes(png)},
      {"image/bmp", Bytes(kMaxPictureDataBytes + 1, 'B')},
      {"image/gif", Bytes(png)},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(DecodeClipboardPicture(c.type, c.data), EInvalidGraphic)
        << c.type << " " << c.data.size();
  }
}

TEST(ClipboardPictureTest, SeeThroughPngPixelsLieOverWhite) {
  // 1 x 1, 8-bit grey with alpha: grey 0 at alpha 0x80.
  const Bytes png = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D,
                     0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01,
                     0x08, 0x04, 0x00, 0x00, 0x00, 0xB5, 0x1C, 0x0C, 0x02, 0x00, 0x00, 0x00,
                     0x0B, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x60, 0x68, 0x00, 0x00,
                     0x00, 0x83, 0x00, 0x81, 0x87, 0xCF, 0xEC, 0xA4, 0x00, 0x00, 0x00, 0x00,
                     0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
  EXPECT_EQ(DecodePng(png).Pixel(0, 0), 0x7F7F7Fu);
}

}  // namespace
}  // namespace orlit
