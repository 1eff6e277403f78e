#include <gtest/gtest.h>

#include <string>

#include "platform/PictureError.h"
#include "platform/SvgRenderer.h"

namespace orlit {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(SvgRendererTest, RendersAtItsOwnSizeAndRefusesWhatItCannot) {
  if (!IsSvgRendererAvailable()) GTEST_SKIP() << "no SVG renderer installed";
  const std::string drawing = R"(<svg xmlns="http://www.w3.org/2000/svg" width="6" height="4">)"
                              R"(<rect width="3" height="4" fill="#ff0000"/></svg>)";
  const PixelImage image = RenderSvg(Bytes(drawing));
  ASSERT_EQ(image.Width(), 6);
  ASSERT_EQ(image.Height(), 4);
  EXPECT_EQ(image.Pixel(1, 1), 0xFF0000u);
  EXPECT_EQ(image.Pixel(4, 1), image.TransparentColor()) << "the clear half";

  const std::string refused[] = {
      "",
      "<svg",
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="3000" height="3000"/>)",
  };
  for (const std::string& data : refused) {
    EXPECT_THROW(RenderSvg(Bytes(data)), EInvalidGraphic) << data;
  }
}

}  // namespace
}  // namespace orlit
