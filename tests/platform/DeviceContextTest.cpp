#include <cairo.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "convert/Exceptions.h"
#include "platform/DeviceContext.h"
#include "platform/TestFonts.h"

namespace orlit {
namespace {

constexpr int kMin = std::numeric_limits<int>::min();
constexpr int kMax = std::numeric_limits<int>::max();

void Clear(DeviceContext& dc, TColor color) {
  dc.SelectClipRgn(nullptr);
  dc.FillRect({kMin, kMin, kMax, kMax}, Brush::Solid(color));
}

// Bounding box, in device pixels, of everything that differs from `background`; empty if none.
TRect InkBox(const DeviceContext& dc, TColor background) {
  const PixelImage image = dc.ToPixelImage();
  const uint32_t skip = ColorToPixel(background);
  TRect box{kMax, kMax, kMin, kMin};
  bool any = false;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      if (image.Pixel(x, y) == skip) continue;
      any = true;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
             std::max(box.Bottom, y + 1)};
    }
  }
  return any ? box : TRect{};
}

int CountPixels(const DeviceContext& dc, TColor color) {
  const PixelImage image = dc.ToPixelImage();
  return static_cast<int>(
      std::count(image.Pixels().begin(), image.Pixels().end(), ColorToPixel(color)));
}

// A 10 x 10 surface, white, with a logical fill of (2, 3)-(5, 7) in red.
TEST(DeviceContextTest, FillRectIsExactWithExclusiveRightAndBottom) {
  DeviceContext dc(10, 10);
  Clear(dc, clWhite);
  dc.FillRect({2, 3, 5, 7}, Brush::Solid(clRed));
  const struct {
    int x, y;
    TColor color;
  } probes[] = {{2, 3, clRed},   {4, 6, clRed},   {5, 6, clWhite}, {4, 7, clWhite},
                {1, 3, clWhite}, {2, 2, clWhite}, {4, 3, clRed},   {2, 6, clRed}};
  for (const auto& p : probes) EXPECT_EQ(dc.GetPixel(p.x, p.y), p.color) << p.x << "," << p.y;
  EXPECT_EQ(CountPixels(dc, clRed), 12);
}

TEST(DeviceContextTest, NewSurfaceIsBlackAndOutsideIsInvalid) {
  DeviceContext dc(4, 3);
  EXPECT_EQ(dc.GetPixel(0, 0), clBlack);
  EXPECT_EQ(dc.GetPixel(3, 2), clBlack);
  EXPECT_EQ(dc.GetPixel(4, 0), DeviceContext::CLR_INVALID);
  EXPECT_EQ(dc.GetPixel(-1, 0), DeviceContext::CLR_INVALID);
  EXPECT_EQ(dc.GetPixel(kMax, kMax), DeviceContext::CLR_INVALID);
}

TEST(DeviceContextTest, FillsThatDrawNothing) {
  DeviceContext dc(8, 8);
  Clear(dc, clWhite);
  dc.FillRect({5, 5, 2, 2}, Brush::Solid(clRed));   // inverted
  dc.FillRect({3, 3, 3, 8}, Brush::Solid(clRed));   // zero width
  dc.FillRect({8, 0, 20, 8}, Brush::Solid(clRed));  // right of the surface
  dc.FillRect({0, 0, 8, 8}, Brush::Hollow());
  dc.SelectBrush(Brush::Hollow());
  dc.FillRect({0, 0, 8, 8});
  dc.FrameRect({6, 6, 6, 9}, Brush::Solid(clRed));
  EXPECT_EQ(CountPixels(dc, clWhite), 64);
}

TEST(DeviceContextTest, SystemColoursResolveWhenDrawn) {
  DeviceContext dc(2, 1);
  dc.FillRect({0, 0, 1, 1}, Brush::Solid(clBtnFace));
  const std::pair<int, TColor> change[] = {{COLOR_BTNFACE, RGB(1, 2, 3)}};
  SetSysColors(change);
  dc.FillRect({1, 0, 2, 1}, Brush::Solid(clBtnFace));
  ResetSysColors();
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(212, 208, 200));
  EXPECT_EQ(dc.GetPixel(1, 0), RGB(1, 2, 3));
}

TEST(DeviceContextTest, FrameRectDrawsTheOutermostRing) {
  DeviceContext dc(8, 8);
  Clear(dc, clWhite);
  dc.FrameRect({1, 1, 6, 5}, Brush::Solid(clNavy));
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool inside = x >= 1 && x < 6 && y >= 1 && y < 5;
      bool ring = inside && (x == 1 || x == 5 || y == 1 || y == 4);
      EXPECT_EQ(dc.GetPixel(x, y), ring ? clNavy : clWhite) << x << "," << y;
    }
  }
  Clear(dc, clWhite);
  dc.FrameRect({3, 3, 4, 4}, Brush::Solid(clNavy));
  EXPECT_EQ(CountPixels(dc, clNavy), 1);
  EXPECT_EQ(dc.GetPixel(3, 3), clNavy);
}

TEST(DeviceContextTest, ViewportOriginShiftsLogicalCoordinates) {
  DeviceContext dc(10, 10);
  Clear(dc, clWhite);
  EXPECT_EQ(dc.SetViewportOrgEx(3, 4), (TPoint{0, 0}));
  dc.FillRect({0, 0, 1, 1}, Brush::Solid(clRed));
  EXPECT_EQ(dc.GetPixel(0, 0), clRed);  // logical
  EXPECT_EQ(dc.OffsetViewportOrgEx(-3, -4), (TPoint{3, 4}));
  EXPECT_EQ(dc.GetPixel(3, 4), clRed);  // device, now that the origin is back
  EXPECT_EQ(CountPixels(dc, clRed), 1);
}

TEST(DeviceContextTest, ExcludeAndIntersectClip) {
  DeviceContext dc(8, 8);
  Clear(dc, clWhite);
  EXPECT_EQ(dc.ExcludeClipRect({2, 2, 4, 4}), COMPLEXREGION);
  dc.FillRect({0, 0, 8, 8}, Brush::Solid(clRed));
  EXPECT_EQ(dc.GetPixel(2, 2), clWhite);
  EXPECT_EQ(dc.GetPixel(3, 3), clWhite);
  EXPECT_EQ(dc.GetPixel(4, 4), clRed);
  EXPECT_EQ(dc.GetPixel(1, 2), clRed);
  EXPECT_EQ(CountPixels(dc, clWhite), 4);

  Clear(dc, clWhite);
  EXPECT_EQ(dc.IntersectClipRect({1, 1, 7, 7}), SIMPLEREGION);
  EXPECT_EQ(dc.ExcludeClipRect({0, 0, 8, 2}), SIMPLEREGION);
  dc.FillRect({0, 0, 8, 8}, Brush::Solid(clRed));
  EXPECT_EQ(InkBox(dc, clWhite), (TRect{1, 2, 7, 7}));
  EXPECT_EQ(dc.IntersectClipRect({7, 7, 9, 9}), NULLREGION);
  Clear(dc, clWhite);
  dc.IntersectClipRect({0, 0, 0, 0});
  dc.FillRect({0, 0, 8, 8}, Brush::Solid(clRed));
  EXPECT_EQ(CountPixels(dc, clRed), 0);
}

TEST(DeviceContextTest, ClipRectanglesAreLogical) {
  DeviceContext dc(8, 8);
  Clear(dc, clWhite);
  dc.SetViewportOrgEx(2, 2);
  dc.IntersectClipRect({0, 0, 2, 2});
  dc.SetViewportOrgEx(0, 0);
  dc.FillRect({0, 0, 8, 8}, Brush::Solid(clRed));
  EXPECT_EQ(InkBox(dc, clWhite), (TRect{2, 2, 4, 4}));
}

TEST(DeviceContextTest, GetClipBoxReportsLogicalExtents) {
  DeviceContext dc(20, 10);
  TRect box;
  EXPECT_EQ(dc.GetClipBox(box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{0, 0, 20, 10}));
  dc.SetViewportOrgEx(5, 1);
  dc.GetClipBox(box);
  EXPECT_EQ(box, (TRect{-5, -1, 15, 9}));
  dc.IntersectClipRect({0, 0, 3, 4});
  dc.ExcludeClipRect({1, 1, 2, 2});
  EXPECT_EQ(dc.GetClipBox(box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{0, 0, 3, 4}));
  dc.ExcludeClipRect({-100, -100, 100, 100});
  EXPECT_EQ(dc.GetClipBox(box), NULLREGION);
  EXPECT_EQ(box, (TRect{}));
  EXPECT_EQ(dc.SelectClipRgn(nullptr), SIMPLEREGION);
  dc.GetClipBox(box);
  EXPECT_EQ(box, (TRect{-5, -1, 15, 9}));
}

TEST(DeviceContextTest, SaveAndRestoreTheWholeState) {
  DeviceContext dc(8, 8);
  Clear(dc, clWhite);
  auto font = MakeFont("Arial", -20);
  EXPECT_EQ(dc.SaveDC(), 1);
  dc.ExcludeClipRect({0, 0, 4, 8});
  dc.SetTextColor(clRed);
  dc.SetBkMode(TRANSPARENT);
  dc.SetViewportOrgEx(1, 1);
  dc.SelectFont(font);
  EXPECT_EQ(dc.SaveDC(), 2);
  dc.IntersectClipRect({0, 0, 5, 8});
  EXPECT_EQ(dc.SaveDC(), 3);
  EXPECT_TRUE(dc.RestoreDC(2));  // drops level 3 as well
  EXPECT_FALSE(dc.RestoreDC(2));
  dc.FillRect({-1, -1, 7, 7}, Brush::Solid(clRed));
  EXPECT_EQ(InkBox(dc, clWhite), (TRect{4, 0, 8, 8}));
  EXPECT_EQ(dc.SelectedFont(), font);
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetTextColor(), clBlack);
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetViewportOrgEx(), (TPoint{0, 0}));
  EXPECT_NE(dc.SelectedFont(), font);
  dc.FillRect({0, 0, 8, 8}, Brush::Solid(clRed));
  EXPECT_EQ(CountPixels(dc, clRed), 64);
  EXPECT_FALSE(dc.RestoreDC(-1));
  EXPECT_FALSE(dc.RestoreDC(0));
  EXPECT_FALSE(dc.RestoreDC(1));
}

TEST(DeviceContextTest, RestoreByNegativeLevelCountsBack) {
  DeviceContext dc(4, 4);
  dc.SetTextColor(1);
  dc.SaveDC();
  dc.SetTextColor(2);
  dc.SaveDC();
  dc.SetTextColor(3);
  dc.SaveDC();
  EXPECT_FALSE(dc.RestoreDC(-4));
  EXPECT_TRUE(dc.RestoreDC(-2));
  EXPECT_EQ(dc.GetTextColor(), 2u);
  EXPECT_TRUE(dc.RestoreDC(-1));
  EXPECT_EQ(dc.GetTextColor(), 1u);
}

PixelImage Checker2x2() {
  PixelImage tile(2, 2);
  tile.SetPixel(0, 0, 0x000001);
  tile.SetPixel(1, 0, 0x000002);
  tile.SetPixel(0, 1, 0x000003);
  tile.SetPixel(1, 1, 0x000004);
  return tile;
}

TColor PixelColor(uint32_t rgb) { return RGB(rgb >> 16, rgb >> 8, rgb); }

TEST(DeviceContextTest, PatternTilesFromTheLogicalOrigin) {
  DeviceContext dc(6, 6);
  Clear(dc, clWhite);
  auto tile = std::make_shared<const PixelImage>(Checker2x2());
  dc.FillRect({1, 1, 4, 4}, Brush::Pattern(tile));
  EXPECT_EQ(dc.GetPixel(1, 1), PixelColor(4));
  EXPECT_EQ(dc.GetPixel(2, 1), PixelColor(3));
  EXPECT_EQ(dc.GetPixel(2, 2), PixelColor(1));
  EXPECT_EQ(dc.GetPixel(3, 2), PixelColor(2));
  EXPECT_EQ(dc.GetPixel(0, 0), clWhite);
  EXPECT_EQ(dc.GetPixel(4, 4), clWhite);

  // With the origin moved by one, logical (0, 0) is device (1, 1) and starts a tile.
  Clear(dc, clWhite);
  dc.SetViewportOrgEx(1, 1);
  dc.FillRect({-1, -1, 3, 3}, Brush::Pattern(tile));
  EXPECT_EQ(dc.GetPixel(0, 0), PixelColor(1));
  EXPECT_EQ(dc.GetPixel(-1, -1), PixelColor(4));
  EXPECT_EQ(dc.GetPixel(1, 0), PixelColor(2));
}

TEST(DeviceContextTest, PatternRespectsTransparencyAndFallsBackWhenEmpty) {
  DeviceContext dc(4, 4);
  Clear(dc, clWhite);
  PixelImage tile = Checker2x2();
  tile.SetTransparent(true);  // bottom-left pixel, 3, is the transparent one
  dc.FillRect({0, 0, 4, 4}, Brush::Pattern(std::make_shared<const PixelImage>(tile)));
  EXPECT_EQ(dc.GetPixel(0, 1), clWhite);
  EXPECT_EQ(dc.GetPixel(1, 1), PixelColor(4));
  Brush empty = Brush::Pattern(std::make_shared<const PixelImage>());
  empty.color = clRed;
  dc.FillRect({0, 0, 4, 4}, empty);
  EXPECT_EQ(CountPixels(dc, clRed), 16);
}

DeviceContext Numbered(int w, int h) {
  DeviceContext dc(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      dc.SetPixel(x, y, PixelColor(static_cast<uint32_t>(y * 16 + x + 1)));
  }
  return dc;
}

TEST(DeviceContextTest, BitBltCopiesBlocksAndLeavesWhatHasNoSource) {
  DeviceContext source = Numbered(4, 4);
  DeviceContext dc(8, 8);
  Clear(dc, clWhite);
  EXPECT_TRUE(dc.BitBlt(5, 5, 2, 2, source, 1, 1));
  EXPECT_EQ(dc.GetPixel(5, 5), PixelColor(0x11 + 1));
  EXPECT_EQ(dc.GetPixel(6, 6), PixelColor(0x22 + 1));
  EXPECT_EQ(CountPixels(dc, clWhite), 60);

  Clear(dc, clWhite);
  dc.BitBlt(0, 0, 4, 4, source, 2, -1);  // only source columns 2-3, rows 0-2 exist
  EXPECT_EQ(InkBox(dc, clWhite), (TRect{0, 1, 2, 4}));
  EXPECT_EQ(dc.GetPixel(0, 1), PixelColor(0x02 + 1));

  EXPECT_FALSE(dc.BitBlt(0, 0, 1, 1, source, 0, 0, 0x00EE0086));
  EXPECT_TRUE(dc.BitBlt(0, 0, kMax, kMax, source, kMin, kMin));
  EXPECT_TRUE(dc.BitBlt(kMin, kMin, kMax, kMax, source, 0, 0));
}

TEST(DeviceContextTest, BitBltHonoursClipAndBothOrigins) {
  DeviceContext source = Numbered(4, 4);
  source.SetViewportOrgEx(1, 0);
  DeviceContext dc(4, 4);
  Clear(dc, clWhite);
  dc.ExcludeClipRect({0, 0, 1, 4});
  dc.BitBlt(0, 0, 4, 4, source, 0, 0);
  EXPECT_EQ(dc.GetPixel(0, 0), clWhite);
  EXPECT_EQ(dc.GetPixel(1, 0), PixelColor(0x02 + 1));
  EXPECT_EQ(dc.GetPixel(3, 0), clWhite);  // past the source's right edge
}

TEST(DeviceContextTest, BitBltWithinOneSurfaceOverlapping) {
  DeviceContext dc = Numbered(6, 1);
  dc.BitBlt(1, 0, 5, 1, dc, 0, 0);
  EXPECT_EQ(dc.GetPixel(0, 0), PixelColor(1));
  for (int x = 1; x < 6; ++x) EXPECT_EQ(dc.GetPixel(x, 0), PixelColor(static_cast<uint32_t>(x)));
  dc.BitBlt(0, 0, 5, 1, dc, 1, 0);
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(dc.GetPixel(x, 0), PixelColor(static_cast<uint32_t>(x + 1)));
}

PixelImage Row(std::initializer_list<uint32_t> pixels) {
  PixelImage image(static_cast<int>(pixels.size()), 1);
  int x = 0;
  for (uint32_t p : pixels) image.SetPixel(x++, 0, p);
  return image;
}

TEST(DeviceContextTest, StretchDrawNearestNeighbour) {
  struct Case {
    PixelImage image;
    int width;
    std::vector<uint32_t> row;
  };
  const Case cases[] = {
      {Row({1, 2}), 4, {1, 1, 2, 2}}, {Row({1, 2, 3}), 3, {1, 2, 3}}, {Row({1, 2, 3}), 2, {1, 3}},
      {Row({1, 2, 3, 4}), 1, {3}},    {Row({1, 2}), 3, {1, 2, 2}},
  };
  for (const Case& c : cases) {
    DeviceContext dc(c.width + 2, 3);
    Clear(dc, clWhite);
    dc.StretchDraw({1, 0, 1 + c.width, 2}, c.image);
    for (int y = 0; y < 2; ++y) {
      EXPECT_EQ(dc.GetPixel(0, y), clWhite);
      EXPECT_EQ(dc.GetPixel(c.width + 1, y), clWhite);
      for (int x = 0; x < c.width; ++x) {
        EXPECT_EQ(dc.GetPixel(1 + x, y), PixelColor(c.row[static_cast<std::size_t>(x)]))
            << c.image.Width() << "->" << c.width << " at " << x;
      }
    }
    EXPECT_EQ(dc.GetPixel(1, 2), clWhite);
  }
}

TEST(DeviceContextTest, DrawKeepsSizeSkipsTransparentPixelsAndClips) {
  PixelImage image = Row({5, 6, 7});
  image.SetTransparentColor(6);
  image.SetTransparent(true);
  DeviceContext dc(5, 2);
  Clear(dc, clWhite);
  dc.IntersectClipRect({0, 0, 3, 2});
  dc.Draw(1, 1, image);
  EXPECT_EQ(dc.GetPixel(1, 1), PixelColor(5));
  EXPECT_EQ(dc.GetPixel(2, 1), clWhite);
  EXPECT_EQ(dc.GetPixel(3, 1), clWhite);
  dc.StretchDraw({kMin, kMin, kMax, kMax}, image);
  dc.StretchDraw({0, 0, 5, 2}, PixelImage());
}

TEST(DeviceContextTest, InvalidSurfacesAreRefusedOrEmpty) {
  DeviceContext empty(-5, 10);
  EXPECT_EQ(empty.Width(), 0);
  empty.FillRect({0, 0, 10, 10}, Brush::Solid(clRed));
  empty.ExtTextOut(0, 0, 0, nullptr, "text");
  EXPECT_THROW(DeviceContext(40000, 1), Exception);
  uint32_t pixels[8] = {};
  EXPECT_THROW(DeviceContext(pixels, 3, 2, 8), Exception);
  EXPECT_THROW(DeviceContext(pixels, 2, 2, 10), Exception);
  EXPECT_THROW(DeviceContext(nullptr, 2, 2, 8), Exception);
}

TEST(DeviceContextTest, DrawsIntoCallerMemoryWithItsStride) {
  std::vector<uint32_t> pixels(3 * 4, 0x123456);
  DeviceContext dc(pixels.data(), 2, 3, 16);
  EXPECT_EQ(dc.Stride(), 4);
  dc.FillRect({1, 1, 2, 2}, Brush::Solid(clRed));
  EXPECT_EQ(pixels[1 * 4 + 1] & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(pixels[1 * 4 + 2], 0x123456u);  // padding untouched
  EXPECT_EQ(dc.GetPixel(0, 0), PixelColor(0x123456));
}

TEST(DeviceContextTest, ToPixelImageAndPngRoundTrip) {
  DeviceContext dc = Numbered(3, 2);
  PixelImage image = dc.ToPixelImage();
  EXPECT_EQ(image.Pixel(2, 1), 0x000013u);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("orlit_dc_" + std::to_string(::getpid()) + ".png"))
          .string();
  dc.WritePng(path);
  cairo_surface_t* read = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(read), 3);
  const uint32_t* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(read));
  EXPECT_EQ(data[cairo_image_surface_get_stride(read) / 4 + 2] & 0xFFFFFF, 0x000013u);
  cairo_surface_destroy(read);
  std::filesystem::remove(path);
  EXPECT_THROW(dc.WritePng("/nonexistent-dir/x.png"), Exception);
}

// --- text ----------------------------------------------------------------------------------

TEST(DeviceContextTest, TextStaysInItsCellAndRasterGlyphsAreMonochrome) {
  DeviceContext dc(120, 40);
  for (int height : {-11, -13, -19}) {
    Clear(dc, clWhite);
    dc.SelectFont(MakeFont("MS Sans Serif", height, FW_BOLD));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(clNavy);
    const std::string text = "Wg\xC8\x99|";
    TSize extent = dc.GetTextExtentPoint32(text);
    dc.ExtTextOut(10, 5, 0, nullptr, text);
    TRect ink = InkBox(dc, clWhite);
    ASSERT_FALSE(ink.IsEmpty());
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Right, 10 + extent.cx);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Bottom, 5 + extent.cy);
    EXPECT_EQ(CountPixels(dc, clWhite) + CountPixels(dc, clNavy), 120 * 40) << height;
  }
}

TEST(DeviceContextTest, TrueTypeGlyphsAreAntialiased) {
  DeviceContext dc(80, 30);
  Clear(dc, clWhite);
  dc.SelectFont(MakeFont("Arial", -16));
  dc.SetBkMode(TRANSPARENT);
  dc.ExtTextOut(2, 2, 0, nullptr, "Orlit");
  EXPECT_LT(CountPixels(dc, clWhite) + CountPixels(dc, clBlack), 80 * 30);
}

TEST(DeviceContextTest, OpaqueModeFillsTheTextCell) {
  DeviceContext dc(60, 30);
  Clear(dc, clWhite);
  dc.SelectFont(MakeFont("MS Sans Serif", -11));
  dc.SetBkColor(clYellow);
  TSize extent = dc.GetTextExtentPoint32("Hi there");
  dc.ExtTextOut(3, 4, 0, nullptr, "Hi there");
  EXPECT_EQ(InkBox(dc, clWhite), (TRect{3, 4, 3 + extent.cx, 4 + 13}));
  EXPECT_EQ(CountPixels(dc, clYellow) + CountPixels(dc, clBlack), extent.cx * 13);
}

TEST(DeviceContextTest, ExtTextOutOpaqueAndClippedOptions) {
  DeviceContext dc(60, 30);
  dc.SelectFont(MakeFont("MS Sans Serif", -13, FW_BOLD));
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(clLime);
  const TRect rect{5, 5, 20, 12};

  Clear(dc, clWhite);
  dc.ExtTextOut(5, 5, ETO_OPAQUE | ETO_CLIPPED, &rect, "WWWW");
  EXPECT_EQ(InkBox(dc, clWhite), rect);
  EXPECT_GT(CountPixels(dc, clBlack), 0);

  Clear(dc, clWhite);
  dc.ExtTextOut(5, 5, 0, &rect, "WWWW");  // neither: the rectangle is ignored
  EXPECT_GT(InkBox(dc, clWhite).Right, rect.Right);
  EXPECT_EQ(CountPixels(dc, clLime), 0);

  Clear(dc, clWhite);
  const TRect empty{5, 5, 5, 12};
  dc.ExtTextOut(5, 5, ETO_CLIPPED, &empty, "WWWW");
  EXPECT_EQ(CountPixels(dc, clWhite), 60 * 30);
}

TEST(DeviceContextTest, DrawTextCalcRectMatchesExtentsAndLines) {
  DeviceContext dc(10, 10);
  dc.SelectFont(MakeFont("MS Sans Serif", -13, FW_BOLD));
  const std::string text = "Concediu Fara Salar";
  TRect rect{0, 0, 0, 0};
  EXPECT_EQ(dc.DrawText(text, rect, DT_CALCRECT | DT_SINGLELINE), 16);
  EXPECT_EQ(rect, (TRect{0, 0, dc.GetTextExtentPoint32(text).cx, 16}));
  // "Concediu Fara" is wider than 90, "Fara Salar" is not.
  ASSERT_GT(dc.GetTextExtentPoint32("Concediu Fara").cx, 90);
  ASSERT_LE(dc.GetTextExtentPoint32("Fara Salar").cx, 90);
  TRect wrapped{0, 0, 90, 0};
  EXPECT_EQ(dc.DrawText(text, wrapped, DT_CALCRECT | DT_WORDBREAK), 32);
  EXPECT_EQ(wrapped, (TRect{0, 0, dc.GetTextExtentPoint32("Fara Salar").cx, 32}));
  EXPECT_EQ(dc.GetPixel(0, 0), clBlack);  // nothing drawn
}

TEST(DeviceContextTest, DrawTextAlignsClipsAndUnderlinesPrefixes) {
  DeviceContext dc(100, 40);
  dc.SelectFont(MakeFont("MS Sans Serif", -11));
  dc.SetBkMode(TRANSPARENT);
  const int width = dc.GetTextExtentPoint32("File").cx;
  const TEXTMETRIC tm = dc.GetTextMetrics();

  Clear(dc, clWhite);
  TRect rect{0, 0, 100, 40};
  dc.DrawText("&File", rect, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  TRect ink = InkBox(dc, clWhite);
  EXPECT_LE(ink.Right, 100);
  EXPECT_GE(ink.Left, 100 - width);
  EXPECT_GE(ink.Top, 40 - tm.tmHeight);
  // The underline under "F" runs across the letter's advance, right below the baseline.
  const int underline_y = 40 - tm.tmHeight + tm.tmAscent + 1;
  const int f_width = dc.GetTextExtentPoint32("F").cx;
  for (int x = 100 - width; x < 100 - width + f_width; ++x) {
    EXPECT_EQ(dc.GetPixel(x, underline_y), clBlack) << x;
  }
  EXPECT_EQ(dc.GetPixel(100 - width + f_width, underline_y), clWhite);

  Clear(dc, clWhite);
  TRect clip{10, 10, 20, 20};
  dc.DrawText("WWWWWWWW", clip, DT_SINGLELINE);
  EXPECT_TRUE(InkBox(dc, clWhite).Right <= 20 && InkBox(dc, clWhite).Bottom <= 20);
  Clear(dc, clWhite);
  dc.DrawText("WWWWWWWW", clip, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkBox(dc, clWhite).Right, 20);
}

TEST(DeviceContextTest, DoubledPrefixDrawsLikeOneAmpersand) {
  DeviceContext a(60, 20), b(60, 20);
  for (DeviceContext* dc : {&a, &b}) {
    Clear(*dc, clWhite);
    dc->SelectFont(MakeFont("MS Sans Serif", -11));
  }
  TRect ra{0, 0, 60, 20}, rb{0, 0, 60, 20};
  a.DrawText("a&&b", ra, DT_SINGLELINE);
  b.DrawText("a&b", rb, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(a.ToPixelImage(), b.ToPixelImage());
}

TEST(DeviceContextTest, UnderlineAndStrikeOutFonts) {
  DeviceContext dc(80, 30);
  LOGFONT lf;
  lf.lfFaceName = "MS Sans Serif";
  lf.lfHeight = -11;
  lf.lfUnderline = true;
  Clear(dc, clWhite);
  dc.SelectFont(ResolvedFont::Create(lf));
  dc.SetBkMode(TRANSPARENT);
  dc.ExtTextOut(0, 0, 0, nullptr, "a b");
  const int width = dc.GetTextExtentPoint32("a b").cx;
  const int y = dc.GetTextMetrics().tmAscent + dc.SelectedFont()->UnderlineOffset();
  for (int x = 0; x < width; ++x) EXPECT_EQ(dc.GetPixel(x, y), clBlack) << x;
  EXPECT_EQ(dc.GetPixel(width, y), clWhite);
}

// Ink of `text` drawn with `font` at (x, y) on a 240 x 240 white surface.
TRect RotatedInk(const std::shared_ptr<const ResolvedFont>& font, int x, int y,
                 const std::string& text) {
  DeviceContext dc(240, 240);
  Clear(dc, clWhite);
  dc.SelectFont(font);
  dc.SetBkMode(TRANSPARENT);
  dc.ExtTextOut(x, y, 0, nullptr, text);
  return InkBox(dc, clWhite);
}

TEST(DeviceContextTest, RotatedTextTurnsCounterClockwiseAboutTheReferencePoint) {
  const std::string text = "Rotated text";
  auto upright = MakeFont("Arial", -20, FW_BOLD);
  const int w = upright->TextWidth(text);
  const int h = upright->TextMetrics().tmHeight;
  const TRect flat = RotatedInk(upright, 120, 120, text);

  // 90: reads upwards, the cell to the right of the reference point.
  TRect up = RotatedInk(MakeFont("Arial", -20, FW_BOLD, 900), 120, 120, text);
  EXPECT_GE(up.Left, 119);
  EXPECT_LE(up.Right, 121 + h);
  EXPECT_LE(up.Bottom, 121);
  EXPECT_GE(up.Top, 119 - w);
  EXPECT_NEAR(up.Height(), flat.Width(), 2);
  EXPECT_NEAR(up.Width(), flat.Height(), 2);

  // 270: reads downwards, the cell to the left.
  TRect down = RotatedInk(MakeFont("Arial", -20, FW_BOLD, 2700), 120, 120, text);
  EXPECT_LE(down.Right, 121);
  EXPECT_GE(down.Left, 119 - h);
  EXPECT_GE(down.Top, 119);
  EXPECT_LE(down.Bottom, 121 + w);
  EXPECT_NEAR(down.Height(), flat.Width(), 2);

  // 45: up and to the right; the box spans about (w + h) / sqrt(2) each way.
  TRect slant = RotatedInk(MakeFont("Arial", -20, FW_BOLD, 450), 40, 200, text);
  const double span = (w + h) / std::sqrt(2.0);
  EXPECT_LE(slant.Width(), span + 2);
  EXPECT_GE(slant.Width(), w / std::sqrt(2.0));
  EXPECT_LE(slant.Bottom, 200 + h);
  EXPECT_GE(slant.Left, 39);

  // The raster stand-in ignores the escapement.
  auto raster = MakeFont("MS Sans Serif", -13, FW_BOLD);
  EXPECT_EQ(RotatedInk(MakeFont("MS Sans Serif", -13, FW_BOLD, 900), 20, 20, text),
            RotatedInk(raster, 20, 20, text));
}

TEST(DeviceContextTest, VerticalCaptionOpaqueAndClippedToItsStrip) {
  DeviceContext dc(60, 120);
  Clear(dc, clWhite);
  dc.SelectFont(MakeFont("Arial", -11, FW_NORMAL, 900));
  dc.SetBkColor(clBtnFace);
  dc.SetTextColor(clBlack);
  const TRect strip{10, 10, 23, 60};  // shorter than "Promovare" is long
  dc.ExtTextOut(strip.Left, strip.Bottom - 1, ETO_CLIPPED | ETO_OPAQUE, &strip, "Promovare");
  EXPECT_EQ(InkBox(dc, clWhite), strip);
  EXPECT_GT(CountPixels(dc, clBtnFace), 0);
}

TEST(DeviceContextTest, PathRecordsTextInsteadOfDrawingIt) {
  DeviceContext dc(200, 80);
  Clear(dc, clWhite);
  dc.SelectFont(MakeFont("Arial", -40, FW_BOLD));
  dc.BeginPath();
  dc.ExtTextOut(20, 10, 0, nullptr, "IH");
  TRect rect{20, 10, 170, 80};
  dc.DrawText("x", rect, DT_SINGLELINE | DT_RIGHT);
  dc.EndPath();
  EXPECT_EQ(CountPixels(dc, clWhite), 200 * 80);
  dc.SelectPen({clRed, 1});
  EXPECT_TRUE(dc.StrokePath());
  TRect thin = InkBox(dc, clWhite);
  EXPECT_FALSE(thin.IsEmpty());
  EXPECT_FALSE(dc.StrokePath());  // used up

  Clear(dc, clWhite);
  dc.BeginPath();
  dc.ExtTextOut(20, 10, 0, nullptr, "IH");
  dc.DrawText("x", rect, DT_SINGLELINE | DT_RIGHT);
  dc.EndPath();
  dc.SelectPen({clRed, 5});
  dc.StrokePath();
  TRect wide = InkBox(dc, clWhite);
  EXPECT_EQ(CountPixels(dc, clWhite) + CountPixels(dc, clRed), 200 * 80);  // aliased stroke
  EXPECT_LE(wide.Left, thin.Left - 2);
  EXPECT_LE(wide.Top, thin.Top - 2);
  EXPECT_GE(wide.Right, thin.Right + 2);
  EXPECT_GE(wide.Bottom, thin.Bottom + 2);
}

TEST(DeviceContextTest, PathCallsOutOfOrderFail) {
  DeviceContext dc(20, 20);
  EXPECT_FALSE(dc.StrokePath());
  EXPECT_EQ(dc.SelectClipPath(RGN_COPY), RGN_ERROR);
  dc.BeginPath();
  dc.ExtTextOut(0, 0, 0, nullptr, "a");
  EXPECT_FALSE(dc.StrokePath());  // still open
  dc.EndPath();
  EXPECT_EQ(dc.SelectClipPath(RGN_OR), RGN_ERROR);
  dc.AbortPath();
  EXPECT_EQ(dc.SelectClipPath(RGN_COPY), RGN_ERROR);
}

TEST(DeviceContextTest, ClipToTextPathThenTileFill) {
  DeviceContext dc(120, 60);
  Clear(dc, clWhite);
  auto font = MakeFont("Arial", -48, FW_BOLD);
  dc.SelectFont(font);
  dc.BeginPath();
  dc.ExtTextOut(10, 0, 0, nullptr, "I");
  dc.EndPath();
  EXPECT_EQ(dc.SelectClipPath(RGN_COPY), COMPLEXREGION);
  auto tile = std::make_shared<const PixelImage>(Checker2x2());
  dc.FillRect({0, 0, 120, 60}, Brush::Pattern(tile));
  TRect ink = InkBox(dc, clWhite);
  const int stem_x = (ink.Left + ink.Right) / 2;
  const int stem_y = (ink.Top + ink.Bottom) / 2;
  EXPECT_LT(ink.Width(), font->TextWidth("I"));
  EXPECT_NE(dc.GetPixel(stem_x, stem_y), clWhite);
  const TColor expected = PixelColor(static_cast<uint32_t>(1 + (stem_x % 2) + 2 * (stem_y % 2)));
  EXPECT_EQ(dc.GetPixel(stem_x, stem_y), expected);
  EXPECT_EQ(dc.GetPixel(100, 30), clWhite);

  // A rectangle excluded afterwards narrows the path clip further.
  dc.ExcludeClipRect({0, 0, 120, stem_y});
  dc.FillRect({0, 0, 120, 60}, Brush::Solid(clRed));
  EXPECT_NE(dc.GetPixel(stem_x, stem_y - 1), clRed);
  EXPECT_EQ(dc.GetPixel(stem_x, stem_y), clRed);

  dc.SelectClipRgn(nullptr);
  dc.FillRect({0, 0, 120, 60}, Brush::Solid(clRed));
  EXPECT_EQ(CountPixels(dc, clRed), 120 * 60);
}

TEST(DeviceContextTest, ClipPathsIntersectWithRgnAnd) {
  DeviceContext dc(80, 60);
  Clear(dc, clWhite);
  dc.SelectFont(MakeFont("Arial", -48, FW_BOLD));
  auto stem = [&](int x) {
    dc.BeginPath();
    dc.ExtTextOut(x, 0, 0, nullptr, "I");
    dc.EndPath();
  };
  stem(10);
  dc.SelectClipPath(RGN_COPY);
  dc.FillRect({0, 0, 80, 60}, Brush::Solid(clRed));
  const TRect first = InkBox(dc, clWhite);
  Clear(dc, clWhite);
  stem(10);
  dc.SelectClipPath(RGN_COPY);
  stem(14);
  dc.SelectClipPath(RGN_AND);
  dc.FillRect({0, 0, 80, 60}, Brush::Solid(clRed));
  const TRect both = InkBox(dc, clWhite);
  EXPECT_EQ(both.Left, first.Left + 4);
  EXPECT_EQ(both.Right, first.Right);
  EXPECT_EQ(both.Top, first.Top);
}

TEST(DeviceContextTest, TextUnderAPathClipIsMasked) {
  DeviceContext dc(80, 40);
  Clear(dc, clWhite);
  dc.SelectFont(MakeFont("Arial", -30, FW_BOLD));
  dc.BeginPath();
  dc.ExtTextOut(0, 0, 0, nullptr, "I");
  dc.EndPath();
  dc.SelectClipPath(RGN_COPY);
  const TRect inside = InkBox(dc, clWhite);  // nothing yet
  EXPECT_TRUE(inside.IsEmpty());
  dc.SetBkColor(clRed);
  TRect all{0, 0, 80, 40};
  dc.ExtTextOut(0, 0, ETO_OPAQUE, &all, "");
  TRect red = InkBox(dc, clWhite);
  EXPECT_GT(red.Width(), 0);
  EXPECT_LT(red.Width(), 20);
}

TEST(DeviceContextTest, HostileTextAndRectanglesDrawSafely) {
  DeviceContext dc(50, 20);
  dc.SelectFont(MakeFont("Arial", -13, FW_NORMAL, 450));
  const std::string garbage = "\xFF\xC3\xE2\x82\xF0\x9F\x98";
  TRect huge{kMin, kMin, kMax, kMax};
  dc.ExtTextOut(kMax, kMin, ETO_OPAQUE | ETO_CLIPPED, &huge, garbage);
  dc.ExtTextOut(0, 0, 0, nullptr, "");
  dc.DrawText(garbage, huge, DT_WORDBREAK | DT_EDITCONTROL | DT_CENTER | DT_END_ELLIPSIS);
  TRect empty{};
  EXPECT_EQ(dc.DrawText("", empty, DT_CALCRECT), 0);
  dc.SetViewportOrgEx(kMax, kMin);
  dc.FillRect(huge, Brush::Solid(clRed));
  dc.FrameRect(huge, Brush::Solid(clRed));
  dc.OffsetViewportOrgEx(kMax, kMax);
  TRect box;
  dc.GetClipBox(box);
  dc.SetPixel(kMax, kMax, clRed);
  dc.SetBkMode(12345);
  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  SUCCEED();
}

// At a device scale every rectangle edge lands on floor(edge * scale + 0.5): fills and frames
// tile without gaps or overlaps, and a whole-factor enlargement of a picture stays sharp.
TEST(DeviceContextTest, DeviceScaleMapsEdgesAndKeepsNeighboursTogether) {
  struct Case {
    double scale;
    TRect rect;        // 96-dpi
    TRect device_ink;  // where it lands
  };
  const Case cases[] = {
      {2, {3, 4, 10, 9}, {6, 8, 20, 18}},  {3, {1, 1, 2, 2}, {3, 3, 6, 6}},
      {1.5, {1, 1, 2, 2}, {2, 2, 3, 3}},  // a one-pixel square is one device pixel here...
      {1.5, {2, 2, 3, 3}, {3, 3, 5, 5}},  // ...and two there
      {1.25, {4, 0, 8, 4}, {5, 0, 10, 5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.scale << " " << c.rect.Left << "," << c.rect.Top);
    DeviceContext dc(20, 20, c.scale);
    Clear(dc, clWhite);
    dc.FillRect(c.rect, Brush::Solid(clBlack));
    EXPECT_EQ(InkBox(dc, clWhite), c.device_ink);
  }
  // Neighbouring fills at fractional scales leave no background between them.
  for (const double scale : {1.25, 1.5, 1.75}) {
    DeviceContext dc(31, 7, scale);
    Clear(dc, clWhite);
    for (int x = 0; x < 31; ++x) dc.FillRect({x, 0, x + 1, 7}, Brush::Solid(clNavy));
    EXPECT_EQ(InkBox(dc, clNavy), TRect({}));
  }
  // Pixel art enlarged by a whole factor keeps hard edges; reduced, it is averaged.
  PixelImage checker(2, 2);
  checker.Row(0)[0] = checker.Row(1)[1] = 0xFFFFFF;
  DeviceContext enlarged(4, 4, 2);
  enlarged.StretchDraw({0, 0, 4, 4}, checker);
  const PixelImage big = enlarged.ToPixelImage();
  EXPECT_EQ(big.Row(3)[3], 0xFFFFFFu);
  EXPECT_EQ(big.Row(3)[4], 0u);
  // Three columns onto two device pixels: the middle column is shared, so both come out grey.
  PixelImage stripes(3, 1);
  stripes.Row(0)[1] = 0xFFFFFF;
  DeviceContext reduced(1, 1, 1.5);
  reduced.StretchDraw({0, 0, 1, 1}, stripes);
  EXPECT_EQ(reduced.ToPixelImage().Row(0)[0], 0x555555u);
  EXPECT_EQ(reduced.ToPixelImage().Row(0)[1], 0x555555u);
}

// Text is rasterised at the device size, not enlarged: at scale 2 its ink is not made of 2 x 2
// blocks, while it keeps its 96-dpi place.
TEST(DeviceContextTest, TextAtADeviceScaleIsDrawnAtTheDeviceSize) {
  for (const char* face : {"MS Sans Serif", "Arial"}) {
    SCOPED_TRACE(face);
    DeviceContext small(80, 20);
    DeviceContext big(80, 20, 2);
    for (DeviceContext* dc : {&small, &big}) {
      Clear(*dc, clWhite);
      dc->SelectFont(MakeFont(face, -11));
      dc->SetBkMode(TRANSPARENT);
      dc->ExtTextOut(4, 2, 0, nullptr, "Zile ăîșț");
    }
    const TRect a = InkBox(small, clWhite);
    const TRect b = InkBox(big, clWhite);
    EXPECT_NEAR(b.Left, 2 * a.Left, 2);
    EXPECT_NEAR(b.Right, 2 * a.Right, 3);
    const PixelImage image = big.ToPixelImage();
    int mixed_blocks = 0;
    for (int y = 0; y + 1 < image.Height(); y += 2) {
      for (int x = 0; x + 1 < image.Width(); x += 2) {
        const uint32_t p = image.Row(y)[x];
        if (image.Row(y)[x + 1] != p || image.Row(y + 1)[x] != p || image.Row(y + 1)[x + 1] != p) {
          ++mixed_blocks;
        }
      }
    }
    EXPECT_GT(mixed_blocks, 10);
  }
}

}  // namespace
}  // namespace orlit
