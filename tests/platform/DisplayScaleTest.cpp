#include <gtest/gtest.h>

#include "platform/DisplayScale.h"

namespace orlit {
namespace {

TEST(DisplayScaleTest, FactorFromSettingThenXftDpiElseOne) {
  const struct {
    const char* setting;
    const char* resources;
    int factor;
  } cases[] = {
      {"3", "Xft.dpi:\t96\n", 3},
      {"1", "Xft.dpi:\t192\n", 1},
      {"4", "", 4},
      {"5", "", 1},
      {"0", "Xft.dpi:\t192\n", 2},
      {"2x", "", 1},
      {nullptr, "Xft.antialias:\t1\nXft.dpi:\t144\n", 2},
      {nullptr, "Xft.dpi: 143.9\n", 1},
      {nullptr, "Xcursor.size: 192\n", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseScaleFactor(c.setting, c.resources), c.factor)
        << (c.setting ? c.setting : "(unset)") << " / " << c.resources;
  }
}

TEST(DisplayScaleTest, ScreenPixelsToWindowPixelsRoundDown) {
  const struct {
    TPoint physical;
    int factor;
    TPoint logical;
  } cases[] = {{{7, 9}, 1, {7, 9}},
               {{1133, 1001}, 2, {566, 500}},
               {{-1, -2}, 2, {-1, -1}},
               {{-3, 11}, 2, {-2, 5}},
               {{11, -5}, 4, {2, -2}}};
  for (const auto& c : cases) {
    EXPECT_EQ(ToLogical(c.physical, c.factor), c.logical) << c.physical.X << "," << c.physical.Y;
  }
}

}  // namespace
}  // namespace orlit
