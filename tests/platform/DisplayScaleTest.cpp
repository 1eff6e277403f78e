#include <gtest/gtest.h>

#include "platform/DisplayScale.h"

namespace orlit {
namespace {

TEST(DisplayScaleTest, FactorFromSettingThenXftDpiElseOne) {
  const struct {
    const char* setting;
    const char* resources;
    double factor;
  } cases[] = {
      {"3", "Xft.dpi:\t96\n", 3},
      {"1", "Xft.dpi:\t192\n", 1},
      {"4", "", 4},
      {"1.5", "", 1.5},
      {"5", "", 1},
      {"0.5", "", 1},
      {"0", "Xft.dpi:\t192\n", 2},
      {"2x", "", 1},
      {nullptr, "Xft.antialias:\t1\nXft.dpi:\t144\n", 1.5},
      {nullptr, "Xft.dpi: 120\n", 1.25},
      {nullptr, "Xft.dpi: 168\n", 1.75},
      {nullptr, "Xft.dpi: 72\n", 1},
      {nullptr, "Xft.dpi: 960\n", 4},
      {nullptr, "Xcursor.size: 192\n", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseScaleFactor(c.setting, c.resources), c.factor)
        << (c.setting ? c.setting : "(unset)") << " / " << c.resources;
  }
}

// A screen pixel belongs to the 96-dpi pixel whose drawn square holds it, also at the edges of
// a control at fractional scales (where squares are one or two pixels wide).
TEST(DisplayScaleTest, ScreenPixelsMapBackToTheSquareThatHoldsThem) {
  const struct {
    TPoint physical;
    double factor;
    TPoint logical;
  } cases[] = {{{7, 9}, 1, {7, 9}},           {{1133, 1001}, 2, {566, 500}},
               {{-1, -2}, 2, {-1, -1}},       {{-3, 11}, 2, {-2, 5}},
               {{11, -5}, 4, {2, -2}},        {{14, 15}, 1.5, {9, 10}},
               {{16, 17}, 1.5, {10, 11}},     {{-1, 0}, 1.5, {-1, 0}},
               {{849, 750}, 1.5, {566, 500}}, {{6, 5}, 1.25, {5, 4}}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToLogical(c.physical, c.factor), c.logical) << c.physical.X << "," << c.physical.Y;
    const TPoint back = ToPhysical(c.logical, c.factor);
    EXPECT_LE(back.X, c.physical.X);
    EXPECT_GT(ToPhysical({c.logical.X + 1, 0}, c.factor).X, c.physical.X);
  }
}

}  // namespace
}  // namespace orlit
