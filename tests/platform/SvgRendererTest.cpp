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
  // At a screen's scale the drawing is made again at that many pixels, not enlarged.
  const PixelImage sharp = RenderSvg(Bytes(drawing), PollForPeer, 2);
  ASSERT_EQ(sharp.Width(), 12);
  ASSERT_EQ(sharp.Height(), 8);
  EXPECT_EQ(sharp.Pixel(5, 7), 0xFF0000u);
  EXPECT_EQ(sharp.Pixel(6, 0), sharp.TransparentColor());

  const std::string refused[] = {
      "",
      "<svg",
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="3000" height="3000"/>)",
  };
  for (const std::string& data : refused) {
    EXPECT_THROW(RenderSvg(Bytes(data)), EInvalidGraphic) << data;
  }
}

TEST(SvgRendererTest, ADrawingThatTakesTooLongOrIsStoppedIsRefused) {
  if (!IsSvgRendererAvailable()) GTEST_SKIP() << "no SVG renderer installed";
  // A few hundred bytes that would keep the processor busy for minutes.
  const std::string slow = R"(<svg xmlns="http://www.w3.org/2000/svg" width="2000" height="2000">)"
                           R"(<filter id="f" x="0" y="0" width="1" height="1">)"
                           R"(<feTurbulence baseFrequency="0.05" numOctaves="400"/></filter>)"
                           R"svg(<rect width="2000" height="2000" filter="url(#f)"/></svg>)svg";
  try {
    RenderSvg(Bytes(slow));
    ADD_FAILURE() << "drawn";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Picture too complex to draw");
  }
  const std::string quick = R"(<svg xmlns="http://www.w3.org/2000/svg" width="6" height="4"/>)";
  const auto quit = [](int, int) { return PeerWaitResult::kInterrupted; };
  EXPECT_THROW(RenderSvg(Bytes(quick), quit), EAbort);
}

}  // namespace
}  // namespace orlit
