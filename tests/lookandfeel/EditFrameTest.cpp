#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeThemeService.h"
#include "PixelMap.h"
#include "lookandfeel/EditFrame.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "lookandfeel/Office11Scheme.h"

namespace orlit {
namespace {

using testing::FakeThemeColor;
using testing::FakeThemeService;
using testing::FakeThemeState;
using testing::kPaper;
using testing::PaperContext;
using testing::PixelMap;
using Rows = std::vector<std::string>;

TEST(EditBorderStyle, HotTrackMapping) {
  const TcxContainerBorderStyle normal[] = {cbsNone, cbsSingle,    cbsThick,   cbsFlat,
                                            cbs3D,   cbsUltraFlat, cbsOffice11};
  const TcxContainerBorderStyle mapped[] = {cbsFlat, cbsThick,     cbsThick,   cbs3D,
                                            cbs3D,   cbsUltraFlat, cbsOffice11};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(HotTrackBorderStyle(normal[i]), mapped[i]) << i;
}

TEST(EditBorderStyle, EffectiveStyleOfEachState) {
  using S = EditStyleState;
  struct Case {
    const char* name;
    EditBorderStyleSettings settings;
    TcxContainerBorderStyle expected;
  };
  const Case cases[] = {
      {"normal, kind default", {lfStandard, {}, {}, S::kNormal, true}, cbs3D},
      {"normal, assigned", {lfStandard, cbsSingle, cbsNone, S::kNormal, true}, cbsSingle},
      {"focused maps the normal one", {lfFlat, {}, {}, S::kFocused, true}, cbs3D},
      {"hot maps the normal one", {lfUltraFlat, cbsSingle, {}, S::kHot, true}, cbsThick},
      {"hot without hot tracking", {lfUltraFlat, cbsSingle, {}, S::kHot, false}, cbsSingle},
      {"disabled never maps", {lfUltraFlat, cbsNone, {}, S::kDisabled, true}, cbsNone},
      {"state style assigned", {lfUltraFlat, cbsSingle, cbsNone, S::kFocused, true}, cbsNone},
      {"ultra-flat stays", {lfUltraFlat, {}, {}, S::kFocused, true}, cbsUltraFlat},
  };
  for (const Case& c : cases) EXPECT_EQ(EffectiveBorderStyle(c.settings), c.expected) << c.name;
}

TEST(EditBorderStyle, BorderAsDrawn) {
  struct Case {
    const char* name;
    EditBorderState state;
    TcxEditBorderStyle style;
    TColor color;
    int width;
  };
  // border style, border colour, in place, focused, hot, hot track, design time, enabled
  const Case cases[] = {
      {"in place", {cbs3D, clRed, true, false, false, true, false, true}, ebsNone, clRed, 0},
      {"ultra-flat",
       {cbsUltraFlat, clRed, false, false, false, true, false, true},
       ebsSingle,
       clBtnShadow,
       1},
      {"ultra-flat focused",
       {cbsUltraFlat, clRed, false, true, false, true, false, true},
       ebsSingle,
       clHighlight,
       1},
      {"ultra-flat hot",
       {cbsUltraFlat, clRed, false, false, true, true, false, true},
       ebsSingle,
       clHighlight,
       1},
      {"ultra-flat hot, no tracking",
       {cbsUltraFlat, clRed, false, false, true, false, false, true},
       ebsSingle,
       clBtnShadow,
       1},
      {"ultra-flat designed",
       {cbsUltraFlat, clRed, false, false, false, true, true, true},
       ebsSingle,
       clHighlight,
       1},
      {"ultra-flat designed, disabled",
       {cbsUltraFlat, clRed, false, false, false, true, true, false},
       ebsSingle,
       clBtnShadow,
       1},
      {"3D keeps its colour",
       {cbs3D, clGray, false, true, false, true, false, true},
       ebs3D,
       clGray,
       2},
      {"thick", {cbsThick, clRed, false, false, false, true, false, true}, ebsThick, clRed, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const EditBorder border = ResolveEditBorder(c.state);
    EXPECT_EQ(border.style, c.style);
    EXPECT_EQ(border.color, c.color);
    EXPECT_EQ(border.width, c.width);
  }
  const EditBorder office = ResolveEditBorder({cbsOffice11, clRed, false, true});
  EXPECT_EQ(office.style, ebsSingle);
  EXPECT_EQ(office.color, CurrentOffice11Scheme().selected_border);
}

TEST(EditBorderStyle, ContentAreaInsideShadowAndBorder) {
  EXPECT_EQ(EditBorderRect({0, 0, 100, 27}, ebsUltraFlat, true), (TRect{1, 1, 96, 23}));
  EXPECT_EQ(EditBorderRect({0, 0, 100, 27}, ebs3D, false), (TRect{2, 2, 98, 25}));
  EXPECT_EQ(EditBorderRect({5, 5, 20, 20}, ebsNone, false), (TRect{5, 5, 20, 20}));
}

class EditFrameTest : public ::testing::Test {
 protected:
  Rows Draw(const EditFrame& frame, int width, int height, bool container = false) {
    DeviceContext dc = PaperContext(width, height);
    TCanvas canvas(dc);
    TcxCanvas cx(canvas);
    if (container) {
      DrawContainerFrame(cx, frame);
    } else {
      DrawEditFrame(cx, frame);
    }
    return PixelMap(dc, {0, 0, width, height});
  }

  static EditFrame UltraFlat(bool focused, bool shadow) {
    const EditBorder border = ResolveEditBorder({cbsUltraFlat, clWindowFrame, false, focused});
    EditFrame frame;
    frame.bounds = {0, 0, 12, 9};
    frame.border_rect = EditBorderRect(frame.bounds, border.style, shadow);
    frame.border_style = border.style;
    frame.border_color = border.color;
    frame.shadow = shadow;
    frame.background = focused ? clYellow : clWindow;
    return frame;
  }

  testing::TestPalette palette_;
};

TEST_F(EditFrameTest, UltraFlatWithShadowAndItsTwoNotches) {
  EXPECT_EQ(Draw(UltraFlat(false, true), 12, 9),
            (Rows{"SSSSSSSSS...", "SWWWWWWWS...", "SWWWWWWWS...", "SWWWWWWWSSSS", "SWWWWWWWSSSS",
                  "SSSSSSSSSSSS", "...SSSSSSSSS", "...SSSSSSSSS", "...SSSSSSSSS"}));
  EXPECT_EQ(Draw(UltraFlat(true, true), 12, 9),
            (Rows{"hhhhhhhhh...", "hYYYYYYYh...", "hYYYYYYYh...", "hYYYYYYYhSSS", "hYYYYYYYhSSS",
                  "hhhhhhhhhSSS", "...SSSSSSSSS", "...SSSSSSSSS", "...SSSSSSSSS"}));
  EXPECT_EQ(Draw(UltraFlat(false, false), 12, 9)[8], "SSSSSSSSSSSS");
}

TEST_F(EditFrameTest, ShadowStaysOutOfReachOfLaterPainting) {
  DeviceContext dc = PaperContext(12, 9);
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  cx.SaveClipRegion();
  DrawEditFrame(cx, UltraFlat(false, true));
  cx.FillRect({0, 0, 12, 9}, clRed);
  const Rows after = PixelMap(dc, {0, 0, 12, 9});
  EXPECT_EQ(after[0], "RRRRRRRRR...");
  EXPECT_EQ(after[5], "RRRRRRRRRSSS");
  EXPECT_EQ(after[6], "...SSSSSSSSS");
  cx.RestoreClipRegion();
  cx.FillRect({0, 0, 12, 9}, clRed);
  EXPECT_EQ(PixelMap(dc, {0, 0, 12, 9})[8], "RRRRRRRRRRRR");
}

TEST_F(EditFrameTest, ThreeDAndFlatFramesUseSystemColoursOnly) {
  EditFrame frame;
  frame.bounds = {0, 0, 8, 7};
  frame.border_rect = EditBorderRect(frame.bounds, ebs3D, false);
  frame.border_style = ebs3D;
  frame.border_color = clGray;
  const Rows three_d = {"SSSSSSSH", "SDDDDDLH", "SDWWWWLH", "SDWWWWLH",
                        "SDWWWWLH", "SLLLLLLH", "HHHHHHHH"};
  EXPECT_EQ(Draw(frame, 8, 7), three_d);
  frame.border_color = clRed;
  EXPECT_EQ(Draw(frame, 8, 7), three_d);
  frame.border_style = ebsFlat;
  EXPECT_EQ(Draw(frame, 8, 7), (Rows{"SSSSSSSH", "SFFFFFFH", "SFWWWWFH", "SFWWWWFH", "SFWWWWFH",
                                     "SFFFFFFH", "HHHHHHHH"}));
}

TEST_F(EditFrameTest, SingleAndThickFramesInTheBorderColour) {
  EditFrame frame;
  frame.bounds = {0, 0, 6, 6};
  frame.border_style = ebsThick;
  frame.border_rect = EditBorderRect(frame.bounds, ebsThick, false);
  frame.border_color = clRed;
  frame.fill = false;
  EXPECT_EQ(Draw(frame, 6, 6), (Rows{"RRRRRR", "RRRRRR", "RR..RR", "RR..RR", "RRRRRR", "RRRRRR"}));
  frame.border_style = ebsSingle;
  frame.border_rect = EditBorderRect(frame.bounds, ebsSingle, false);
  frame.fill = true;
  frame.transparent = true;
  EXPECT_EQ(Draw(frame, 6, 6), (Rows{"RRRRRR", "R....R", "R....R", "R....R", "R....R", "RRRRRR"}));
  // A container fills whatever the transparency.
  EXPECT_EQ(Draw(frame, 6, 6, true)[2], "RWWWWR");
}

TEST_F(EditFrameTest, EdgesLimitTheSunkenRingsAndTheShadowFollowsTheDrawnSides) {
  EditFrame frame;
  frame.bounds = {0, 0, 8, 7};
  frame.border_rect = EditBorderRect(frame.bounds, ebs3D, false);
  frame.border_style = ebs3D;
  frame.edges = BorderBit(bLeft) | BorderBit(bTop);
  EXPECT_EQ(Draw(frame, 8, 7), (Rows{"SSSSSSSS", "SDDDDDD.", "SDWWWW..", "SDWWWW..", "SDWWWW..",
                                     "SD......", "S......."}));
  EditFrame shadowed = UltraFlat(false, true);
  shadowed.edges = BorderBit(bLeft) | BorderBit(bTop);
  EXPECT_EQ(Draw(shadowed, 12, 9),
            (Rows{"SSSSSSSS....", "SWWWWWWW....", "SWWWWWWW....", "SWWWWWWWSSS.", "SWWWWWWWSSS.",
                  "...SSSSSSSS.", "...SSSSSSSS.", "...SSSSSSSS.", "............"}));
}

TEST_F(EditFrameTest, NoBorderAndAnEmptyContentAreaDrawNothing) {
  EditFrame frame;
  frame.bounds = {0, 0, 4, 4};
  frame.border_rect = {2, 2, 2, 2};
  frame.border_style = ebsNone;
  EXPECT_EQ(Draw(frame, 4, 4), (Rows{"....", "....", "....", "...."}));
}

TEST_F(EditFrameTest, NativeFrameFallsBackWhereThereIsNoTheme) {
  LookAndFeelModule module;  // this desktop: no visual-style service
  EditFrame frame = UltraFlat(false, false);
  frame.native = true;
  EXPECT_EQ(Draw(frame, 12, 9), Draw(UltraFlat(false, false), 12, 9));
}

class NativeEditFrameTest : public EditFrameTest {
 protected:
  Rows Expected(char content, char text) const {
    Rows rows(8, std::string(10, '?'));
    for (int y = 2; y < 6; ++y) {
      for (int x = 2; x < 8; ++x)
        rows[y][x] = (x >= 3 && x < 7 && y >= 3 && y < 5) ? text : content;
    }
    return rows;
  }

  std::shared_ptr<FakeThemeState> theme_ = std::make_shared<FakeThemeState>();
  LookAndFeelModule module_{std::make_unique<FakeThemeService>(theme_)};
};

TEST_F(NativeEditFrameTest, ThemeAroundTheContentAndNoShadowEvenWhenAskedFor) {
  EditFrame frame;
  frame.bounds = {0, 0, 10, 8};
  frame.border_style = ebsSingle;
  frame.native = true;
  frame.native_state = ETS_FOCUSED;
  frame.shadow = true;
  frame.text_rect = {3, 3, 7, 5};
  DeviceContext dc = PaperContext(10, 8);
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  DrawEditFrame(cx, frame);
  EXPECT_EQ(dc.GetPixel(0, 0), FakeThemeColor(EP_EDITTEXT, ETS_FOCUSED));
  EXPECT_EQ(dc.GetPixel(9, 7), FakeThemeColor(EP_EDITTEXT, ETS_FOCUSED));
  EXPECT_EQ(PixelMap(dc, {0, 0, 10, 8}), Expected('W', 'W'));
  frame.fill = false;
  EXPECT_EQ(Draw(frame, 10, 8), Expected('W', '.'));
  frame.transparent = true;
  EXPECT_EQ(Draw(frame, 10, 8), Expected('.', '.'));
}

TEST_F(NativeEditFrameTest, InPlaceOrWithoutBorderOnlyTheBackground) {
  EditFrame frame;
  frame.bounds = {0, 0, 3, 2};
  frame.border_style = ebsSingle;
  frame.native = true;
  frame.in_place = true;
  EXPECT_EQ(Draw(frame, 4, 2), (Rows{"WWW.", "WWW."}));
  frame.in_place = false;
  frame.border_style = ebsNone;
  frame.transparent = true;
  EXPECT_EQ(Draw(frame, 4, 2), (Rows{"....", "...."}));
}

TEST_F(NativeEditFrameTest, EditThemeThatDoesNotOpenDrawsTheOwnFrame) {
  theme_->known_classes.erase("EDIT");
  EditFrame frame = UltraFlat(false, false);
  frame.native = true;
  EXPECT_EQ(Draw(frame, 12, 9), Draw(UltraFlat(false, false), 12, 9));
}

}  // namespace
}  // namespace orlit
