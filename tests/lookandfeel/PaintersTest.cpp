#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeThemeService.h"
#include "PixelMap.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "lookandfeel/Office11Scheme.h"
#include "lookandfeel/Painters.h"

namespace orlit {
namespace {

using testing::FakeThemeService;
using testing::FakeThemeState;
using testing::PaperContext;
using testing::PixelMap;
using Rows = std::vector<std::string>;

struct PainterRow {
  const char* name;
  TcxLookAndFeelPainterClass painter;
  TcxLookAndFeelStyle style;
  int border_size;
  Rows border;  // DrawBorder on (1, 1, 7, 6) of an 8 x 7 surface
};

std::vector<PainterRow> PainterRows() {
  return {
      {"custom",
       TcxCustomLookAndFeelPainter::Class(),
       lfsStandard,
       0,
       {"........", "........", "........", "........", "........", "........", "........"}},
      {"standard",
       TcxStandardLookAndFeelPainter::Class(),
       lfsStandard,
       2,
       {"........", ".SSSSSH.", ".SDDDLH.", ".SD..LH.", ".SLLLLH.", ".HHHHHH.", "........"}},
      {"flat",
       TcxFlatLookAndFeelPainter::Class(),
       lfsFlat,
       1,
       {"........", ".SSSSSH.", ".S....H.", ".S....H.", ".S....H.", ".HHHHHH.", "........"}},
      {"ultra-flat",
       TcxUltraFlatLookAndFeelPainter::Class(),
       lfsUltraFlat,
       1,
       {"........", ".SSSSSS.", ".S....S.", ".S....S.", ".S....S.", ".SSSSSS.", "........"}},
      {"office 11",
       TcxOffice11LookAndFeelPainter::Class(),
       lfsOffice11,
       1,
       {"........", ".SSSSSS.", ".S....S.", ".S....S.", ".S....S.", ".SSSSSS.", "........"}},
      // Without a usable theme the native painter is the standard one.
      {"native, no theme",
       TcxWinXPLookAndFeelPainter::Class(),
       lfsNative,
       2,
       {"........", ".SSSSSH.", ".SDDDLH.", ".SD..LH.", ".SLLLLH.", ".HHHHHH.", "........"}},
  };
}

TEST(Painters, StyleCodeBorderSizeAndBorderOfEveryPainter) {
  testing::TestPalette palette;
  for (const PainterRow& row : PainterRows()) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.painter->LookAndFeelStyle(), row.style);
    EXPECT_EQ(row.painter->BorderSize(), row.border_size);
    EXPECT_EQ(row.painter->ButtonColor(cxbsHot), clBtnFace);
    const TRect bounds{10, 10, 30, 20};
    const int b = row.border_size;
    EXPECT_EQ(row.painter->GetContentRect(bounds), (TRect{10 + b, 10 + b, 30 - b, 20 - b}));
    EXPECT_EQ(row.painter->GetInnerContentRect(bounds), (TRect{12 + b, 12 + b, 28 - b, 18 - b}));
    DeviceContext dc = PaperContext(8, 7);
    TCanvas canvas(dc);
    TcxCanvas cx(canvas);
    row.painter->DrawBorder(cx, {1, 1, 7, 6});
    EXPECT_EQ(PixelMap(dc, {0, 0, 8, 7}), row.border);
    row.painter->DrawBorder(cx, {5, 5, 5, 9});  // empty: nothing
    EXPECT_EQ(PixelMap(dc, {0, 0, 8, 7}), row.border);
  }
}

TEST(Painters, Office11BorderTakesTheSchemesBorderColour) {
  auto state = std::make_shared<FakeThemeState>();
  LookAndFeelModule module(std::make_unique<FakeThemeService>(state));
  ASSERT_EQ(CurrentOffice11Scheme().number, 1);
  DeviceContext dc = PaperContext(4, 4);
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  TcxOffice11LookAndFeelPainter::Class()->DrawBorder(cx, {0, 0, 4, 4});
  EXPECT_EQ(dc.GetPixel(0, 0), CurrentOffice11Scheme().border);
  EXPECT_EQ(dc.GetPixel(3, 3), CurrentOffice11Scheme().border);
  EXPECT_EQ(dc.GetPixel(1, 1), testing::kPaper);
}

TEST(Painters, NativeBorderDrawsTheListViewThemeOnlyOnItsRing) {
  auto state = std::make_shared<FakeThemeState>();
  LookAndFeelModule module(std::make_unique<FakeThemeService>(state));
  TcxLookAndFeelPainterClass native = TcxWinXPLookAndFeelPainter::Class();
  EXPECT_EQ(native->BorderSize(), 1);
  DeviceContext dc = PaperContext(6, 5);
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  native->DrawBorder(cx, {0, 0, 6, 5});
  const TColor theme = testing::FakeThemeColor(0, 0);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool ring = x == 0 || y == 0 || x == 5 || y == 4;
      EXPECT_EQ(dc.GetPixel(x, y), ring ? theme : testing::kPaper) << x << "," << y;
    }
  }
  // The clip is back: the whole surface can be drawn on again.
  cx.FillRect({0, 0, 6, 5}, clRed);
  EXPECT_EQ(dc.GetPixel(2, 2), clRed);
  state->known_classes.erase("LISTVIEW");
  CloseAllThemes();
  CloseTheme(ThemedObject::kListView);
  EXPECT_EQ(native->BorderSize(), 2);
}

}  // namespace
}  // namespace orlit
