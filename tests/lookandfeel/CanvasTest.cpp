#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelMap.h"
#include "lookandfeel/PainterCanvas.h"

namespace orlit {
namespace {

using testing::kPaper;
using testing::PaperContext;
using testing::PixelMap;
using Rows = std::vector<std::string>;

class CanvasTest : public ::testing::Test {
 protected:
  testing::TestPalette palette_;
  DeviceContext dc_ = PaperContext(8, 6);
  TCanvas canvas_{dc_};
  TcxCanvas cx_{canvas_};

  Rows Map() const { return PixelMap(dc_, {0, 0, dc_.Width(), dc_.Height()}); }
};

TEST_F(CanvasTest, FrameRectBandsPerSideAndWidth) {
  struct Case {
    const char* name;
    TRect rect;
    int width;
    TcxBorders borders;
    Rows expected;
  };
  const Case cases[] = {
      {"ring",
       {1, 1, 7, 5},
       1,
       cxBordersAll,
       {"........", ".RRRRRR.", ".R....R.", ".R....R.", ".RRRRRR.", "........"}},
      {"left and top, two wide",
       {1, 1, 7, 5},
       2,
       BorderBit(bLeft) | BorderBit(bTop),
       {"........", ".RRRRRR.", ".RRRRRR.", ".RR.....", ".RR.....", "........"}},
      {"right and bottom",
       {1, 1, 7, 5},
       1,
       BorderBit(bRight) | BorderBit(bBottom),
       {"........", "......R.", "......R.", "......R.", ".RRRRRR.", "........"}},
      {"wider than the rectangle",
       {2, 2, 5, 4},
       10,
       cxBordersAll,
       {"........", "........", "..RRR...", "..RRR...", "........", "........"}},
      {"empty",
       {5, 2, 5, 4},
       1,
       cxBordersAll,
       {"........", "........", "........", "........", "........", "........"}},
      {"inverted",
       {6, 4, 2, 1},
       1,
       cxBordersAll,
       {"........", "........", "........", "........", "........", "........"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dc_.FillRect({0, 0, 8, 6}, Brush::Solid(kPaper));
    cx_.FrameRect(c.rect, clRed, c.width, c.borders);
    EXPECT_EQ(Map(), c.expected);
  }
}

TEST_F(CanvasTest, FrameRectKeepsTheBrushForTheSentinelAndForEmptyRectangles) {
  cx_.Brush().SetColor(clBlue);
  cx_.FrameRect({0, 0, 0, 0}, clRed);
  EXPECT_EQ(cx_.Brush().Color(), clBlue);
  cx_.FrameRect({0, 0, 3, 2}, clKeepBrushColor);
  EXPECT_EQ(Map()[0], "BBB.....");
  EXPECT_EQ(Map()[1], "BBB.....");
  cx_.Brush().SetStyle(bsClear);
  cx_.FrameRect({4, 0, 7, 2}, clKeepBrushColor);
  EXPECT_EQ(Map()[0], "BBB.....");
}

TEST_F(CanvasTest, ComplexFrameGivesTheCornersToTheSecondColour) {
  cx_.DrawComplexFrame({1, 1, 6, 5}, clRed, clBlue);
  EXPECT_EQ(Map(), (Rows{"........", ".RRRRB..", ".R...B..", ".R...B..", ".BBBBB..", "........"}));
  dc_.FillRect({0, 0, 8, 6}, Brush::Solid(kPaper));
  cx_.DrawComplexFrame({0, 0, 8, 6}, clRed, clBlue, BorderBit(bTop) | BorderBit(bRight), 2);
  EXPECT_EQ(Map(), (Rows{"RRRRRRBB", "RRRRRRBB", "......BB", "......BB", "......BB", "......BB"}));
}

TEST_F(CanvasTest, ThreeDimensionalEdgeColours) {
  struct Case {
    bool sunken;
    bool outer;
    char light;
    char dark;
  };
  for (const Case& c : {Case{true, true, 'S', 'H'}, Case{false, true, 'L', 'D'},
                        Case{true, false, 'D', 'L'}, Case{false, false, 'H', 'S'}}) {
    SCOPED_TRACE(std::string(c.sunken ? "sunken" : "raised") + (c.outer ? " outer" : " inner"));
    cx_.DrawEdge({0, 0, 3, 3}, c.sunken, c.outer);
    const Rows map = Map();
    EXPECT_EQ(map[0].substr(0, 3), std::string({c.light, c.light, c.dark}));
    EXPECT_EQ(map[1].substr(0, 3), std::string({c.light, '.', c.dark}));
    EXPECT_EQ(map[2].substr(0, 3), std::string(3, c.dark));
  }
}

TEST_F(CanvasTest, TileFillRepeatsFromTheOriginInsideTheRectangleOnly) {
  DeviceContext dc = PaperContext(10, 8);
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  PixelImage tile(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x)
      tile.SetPixel(x, y, static_cast<uint32_t>(0x101010 * (1 + x + 3 * y)));
  }
  const TRect rect{2, 1, 8, 6};
  cx.FillRect(rect, &tile);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      const uint32_t expected =
          rect.Contains({x, y}) ? tile.Pixel(x % 3, y % 2) : ColorToPixel(kPaper);
      EXPECT_EQ(ColorToPixel(dc.GetPixel(x, y)), expected) << x << "," << y;
    }
  }
}

TEST_F(CanvasTest, TileFillWithoutPictureUsesTheBrushAndEmptyRectanglesDrawNothing) {
  PixelImage empty;
  cx_.Brush().SetColor(clRed);
  cx_.FillRect({0, 0, 2, 1});
  cx_.FillRect({2, 0, 4, 1}, &empty);
  PixelImage tile(1, 1, 0x0000FF);
  cx_.FillRect({5, 5, 5, 6}, &tile);
  EXPECT_EQ(Map()[0], "RRRR....");
  EXPECT_EQ(Map()[5], "........");
}

TEST(CanvasTextFlags, CanvasFlagsToPlatformFlags) {
  struct Case {
    int flags;
    unsigned expected;
  };
  const Case cases[] = {
      {0, DT_NOPREFIX},
      {cxAlignLeft | cxAlignTop, DT_NOPREFIX},
      {cxShowPrefix, 0},
      {cxAlignRight, DT_NOPREFIX | DT_RIGHT},
      {cxAlignHCenter, DT_NOPREFIX | DT_CENTER},
      {cxAlignBottom, DT_NOPREFIX | DT_BOTTOM},
      {cxAlignVCenter, DT_NOPREFIX | DT_VCENTER},
      {cxSingleLine, DT_NOPREFIX | DT_SINGLELINE},
      {cxDontClip, DT_NOPREFIX | DT_NOCLIP},
      {cxExpandTabs, DT_NOPREFIX | DT_EXPANDTABS},
      {cxWordBreak, DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL},
      {cxShowEndEllipsis, DT_NOPREFIX | DT_END_ELLIPSIS},
      {cxDontPrint, DT_NOPREFIX | DT_CALCRECT},
      {cxShowPathEllipsis, DT_NOPREFIX | DT_PATH_ELLIPSIS},
  };
  for (const Case& c : cases) EXPECT_EQ(cxFlagsToDTFlags(c.flags), c.expected) << c.flags;
  EXPECT_EQ(cxFlagsToDTFlags(0x3FFF), 0xE57Fu);
}

TEST(CanvasTextFlags, EditorSettingsToFlags) {
  struct Case {
    TAlignment horz;
    TcxEditVertAlignment vert;
    bool prefix, wrap, ellipsis;
    int canvas;
    unsigned platform;
  };
  const Case cases[] = {
      {taLeftJustify, taTopJustify, false, false, false, cxAlignLeft | cxAlignTop,
       DT_LEFT | DT_TOP | DT_NOPREFIX},
      {taRightJustify, taBottomJustify, true, false, false,
       cxAlignRight | cxAlignBottom | cxShowPrefix, DT_RIGHT | DT_BOTTOM},
      {taCenter, taVCenter, false, true, true,
       cxAlignHCenter | cxAlignVCenter | cxWordBreak | cxShowEndEllipsis,
       DT_CENTER | DT_VCENTER | DT_NOPREFIX | DT_WORDBREAK | DT_END_ELLIPSIS},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cxEditTextFlags(c.horz, c.vert, c.prefix, c.wrap, c.ellipsis), c.canvas);
    EXPECT_EQ(cxEditDrawTextFlags(c.horz, c.vert, c.prefix, c.wrap, c.ellipsis), c.platform);
  }
}

// Text is checked against the platform calls the canvas is meant to make, drawn on a second
// surface.
class CanvasTextTest : public ::testing::Test {
 protected:
  CanvasTextTest() {
    cx_.Font().SetName("Arial");
    cx_.Font().SetHeight(-13);
    cx_.Font().SetColor(clBlack);
    cx_.Brush().SetColor(clWhite);
    reference_.SelectFont(cx_.Font().Handle());
    reference_.SetTextColor(clBlack);
    reference_.SetBkColor(clWhite);
    reference_.SetBkMode(OPAQUE);
  }

  void ExpectSame() const {
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 100; ++x) {
        ASSERT_EQ(dc_.GetPixel(x, y), reference_.GetPixel(x, y)) << x << "," << y;
      }
    }
  }

  bool InkOutside(const TRect& rect) const {
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 100; ++x) {
        if (!rect.Contains({x, y}) && dc_.GetPixel(x, y) != kPaper) return true;
      }
    }
    return false;
  }

  testing::TestPalette palette_;
  DeviceContext dc_ = PaperContext(100, 40);
  DeviceContext reference_ = PaperContext(100, 40);
  TCanvas canvas_{dc_};
  TcxCanvas cx_{canvas_};
};

TEST_F(CanvasTextTest, SingleLinePlacedByAlignment) {
  const std::string text = "Ab";
  const TSize size = reference_.GetTextExtentPoint32(text);
  const TRect rect{10, 5, 90, 35};
  struct Case {
    int flags;
    int x;
    int y;
  };
  const Case cases[] = {
      {cxSingleLine, 10, 5},
      {cxSingleLine | cxAlignRight | cxAlignBottom, 90 - size.cx, 35 - size.cy},
      {cxSingleLine | cxAlignHCenter | cxAlignVCenter, (100 - size.cx) / 2, (40 - size.cy) / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    dc_.FillRect({0, 0, 100, 40}, Brush::Solid(kPaper));
    reference_.FillRect({0, 0, 100, 40}, Brush::Solid(kPaper));
    TRect r = rect;
    cx_.DrawText(text, r, c.flags);
    reference_.ExtTextOut(c.x, c.y, 0, &rect, text);
    ExpectSame();
  }
}

TEST_F(CanvasTextTest, SingleLineTooLargeIsClipped) {
  TRect rect{4, 4, 30, 12};
  cx_.DrawText("Much wider than the box", rect, cxSingleLine);
  EXPECT_FALSE(InkOutside(rect));
  reference_.ExtTextOut(4, 4, ETO_CLIPPED, &rect, "Much wider than the box");
  ExpectSame();
}

TEST_F(CanvasTextTest, DisabledTextIsEngravedAndRestoresBrushAndFont) {
  const std::string text = "Ab";
  const TSize size = reference_.GetTextExtentPoint32(text);
  TRect rect{10, 5, 90, 35};
  cx_.DrawText(text, rect, cxSingleLine | cxAlignRight, false);
  reference_.SetBkMode(TRANSPARENT);
  reference_.SetTextColor(clBtnHighlight);
  const TRect lighter = rect.Offset(1, 1);
  reference_.ExtTextOut(91 - size.cx - 1, 6, 0, &lighter, text);
  reference_.SetTextColor(clBtnShadow);
  reference_.ExtTextOut(90 - size.cx - 1, 5, 0, &rect, text);
  ExpectSame();
  EXPECT_EQ(cx_.Brush().Style(), bsSolid);
  EXPECT_EQ(cx_.Font().Color(), clBlack);
}

TEST_F(CanvasTextTest, PrefixAndWrappedTextGoThroughDrawText) {
  TRect rect{2, 2, 98, 38};
  cx_.DrawText("&Prefix", rect, cxSingleLine | cxShowPrefix);
  TRect expected = rect;
  reference_.DrawText("&Prefix", expected, DT_SINGLELINE);
  ExpectSame();
}

TEST_F(CanvasTextTest, WrappedTextAtTheBottomIsMeasuredFirst) {
  const std::string text = "one two three four";
  TRect rect{2, 2, 40, 38};
  cx_.DrawText(text, rect, cxWordBreak | cxAlignBottom);
  const unsigned format = DT_NOPREFIX | DT_BOTTOM | DT_WORDBREAK | DT_EDITCONTROL;
  TRect measured{2, 2, 40, 2};
  const int height = reference_.DrawText(text, measured, format | DT_CALCRECT);
  ASSERT_GT(height, reference_.GetTextMetrics().tmHeight);  // really wrapped
  TRect target{2, 38 - height, 40, 38};
  reference_.DrawText(text, target, format);
  ExpectSame();
}

TEST_F(CanvasTextTest, EmptyTextAndCalculatingDrawNothing) {
  TRect rect{2, 2, 98, 38};
  cx_.DrawText("", rect, cxSingleLine);
  cx_.DrawText("Ab", rect, cxSingleLine | cxDontPrint);
  EXPECT_FALSE(InkOutside({0, 0, 0, 0}));
  EXPECT_EQ(rect.Width(), reference_.GetTextExtentPoint32("Ab").cx);
  EXPECT_EQ(rect.Height(), reference_.GetTextExtentPoint32("Ab").cy);
  EXPECT_EQ(cx_.TextWidth("Ab"), rect.Width());
  EXPECT_EQ(cx_.TextHeight("Ab"), rect.Height());
}

TEST_F(CanvasTest, ClipSaveExcludeIntersectRestore) {
  cx_.SaveClipRegion();
  cx_.ExcludeClipRect({1, 1, 3, 3});
  cx_.SaveClipRegion();
  cx_.IntersectClipRect({0, 0, 4, 4});
  dc_.SetTextColor(clRed);
  cx_.FillRect({0, 0, 8, 6}, clBlue);
  EXPECT_EQ(Map(), (Rows{"BBBB....", "B..B....", "B..B....", "BBBB....", "........", "........"}));
  cx_.RestoreClipRegion();
  EXPECT_EQ(dc_.GetTextColor(), clRed);  // only the clip comes back
  cx_.FillRect({0, 0, 8, 6}, clRed);
  EXPECT_EQ(Map()[1], "R..RRRRR");
  cx_.RestoreClipRegion();
  cx_.RestoreClipRegion();  // unbalanced: ignored
  cx_.FillRect({0, 0, 8, 6}, clRed);
  EXPECT_EQ(Map()[1], "RRRRRRRR");
}

TEST_F(CanvasTest, UnbalancedSaveIsUndoneWhenTheCanvasEnds) {
  {
    TcxCanvas scoped(canvas_);
    scoped.SaveClipRegion();
    scoped.ExcludeClipRect({0, 0, 8, 6});
  }
  cx_.FillRect({0, 0, 8, 6}, clRed);
  EXPECT_EQ(Map()[0], "RRRRRRRR");
}

TEST_F(CanvasTest, CopyRectAsIsAndScaled) {
  DeviceContext source_dc = PaperContext(4, 4);
  source_dc.FillRect({0, 0, 2, 1}, Brush::Solid(clRed));
  source_dc.FillRect({0, 1, 2, 2}, Brush::Solid(clBlue));
  TCanvas source_canvas(source_dc);
  TcxCanvas source(source_canvas);
  cx_.CopyRect({0, 0, 2, 2}, source, {0, 0, 2, 2});
  cx_.CopyRect({4, 0, 8, 4}, source, {0, 0, 2, 2});
  EXPECT_EQ(Map(), (Rows{"RR..RRRR", "BB..RRRR", "....BBBB", "....BBBB", "........", "........"}));
  cx_.CopyRect({0, 4, 8, 6}, source, {-100, -100, 2, 2});  // mostly outside the source
}

}  // namespace
}  // namespace orlit
