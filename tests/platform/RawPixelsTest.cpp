#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/PictureError.h"
#include "platform/RawPixels.h"

namespace orlit {
namespace {

TEST(RawPixelsTest, RoundTripsAndRefusesBytesThatDoNotMatchTheSize) {
  PixelImage image(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) image.SetPixel(x, y, 0x102030u * static_cast<unsigned>(x + 3 * y));
  }
  const std::vector<std::uint8_t> raw = WriteRawPixels(image);
  ASSERT_EQ(raw.size(), 8u + 3 * 2 * 4);
  EXPECT_EQ(ReadRawPixels(raw), image);
  EXPECT_EQ(ReadRawPixels(WriteRawPixels(PixelImage())), PixelImage());
  // A view shows the bytes where they lie until it is written to, which leaves them as they were.
  PixelImage view = ViewRawPixels(raw);
  EXPECT_EQ(view, image);
  view.SetPixel(1, 1, 0xABCDEF);
  view.Row(0)[0] = 0x123456;
  EXPECT_EQ(ReadRawPixels(raw), image);
  EXPECT_EQ(view.Pixel(1, 1), 0xABCDEFu);
  EXPECT_EQ(view.Pixel(0, 0), 0x123456u);

  std::vector<std::uint8_t> short_by_one(raw.begin(), raw.end() - 1);
  std::vector<std::uint8_t> long_by_one = raw;
  long_by_one.push_back(0);
  std::vector<std::uint8_t> huge = raw;
  huge[3] = 0x7F;  // a width of two thousand million
  for (const auto& bad : {std::vector<std::uint8_t>{1, 0, 0}, short_by_one, long_by_one, huge}) {
    EXPECT_THROW(ReadRawPixels(bad), EInvalidGraphic) << bad.size();
    EXPECT_THROW(ViewRawPixels(bad), EInvalidGraphic) << bad.size();
  }
}

}  // namespace
}  // namespace orlit
