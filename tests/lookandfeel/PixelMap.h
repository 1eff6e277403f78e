#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/SystemColors.h"

namespace orlit::testing {

// The background every drawing test starts from.
inline constexpr TColor kPaper = RGB(0, 128, 128);

// Distinct system colours for the tests (the classic palette shares some), put back afterwards.
class TestPalette {
 public:
  TestPalette() {
    const std::pair<int, TColor> colors[] = {
        {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
        {COLOR_3DDKSHADOW, RGB(64, 64, 64)},   {COLOR_3DLIGHT, RGB(224, 224, 224)},
        {COLOR_BTNFACE, RGB(212, 208, 200)},   {COLOR_WINDOW, RGB(250, 250, 240)},
        {COLOR_HIGHLIGHT, RGB(10, 36, 106)},   {COLOR_WINDOWFRAME, RGB(0, 0, 0)},
    };
    SetSysColors(colors);
  }
  ~TestPalette() { ResetSysColors(); }
  TestPalette(const TestPalette&) = delete;
  TestPalette& operator=(const TestPalette&) = delete;
};

// One character per pixel of `area`: '.' paper, 'S' clBtnShadow, 'H' clBtnHighlight,
// 'D' cl3DDkShadow, 'L' cl3DLight, 'F' clBtnFace, 'W' clWindow, 'h' clHighlight,
// 'K' black, 'Y' yellow, 'G' lime, 'R' red, 'B' blue, '?' anything else.
inline std::vector<std::string> PixelMap(const DeviceContext& dc, const TRect& area) {
  const std::pair<char, TColor> legend[] = {
      {'.', kPaper},    {'S', clBtnShadow}, {'H', clBtnHighlight}, {'D', cl3DDkShadow},
      {'L', cl3DLight}, {'F', clBtnFace},   {'W', clWindow},       {'h', clHighlight},
      {'K', clBlack},   {'Y', clYellow},    {'G', clLime},         {'R', clRed},
      {'B', clBlue},
  };
  std::vector<std::string> rows;
  for (int y = area.Top; y < area.Bottom; ++y) {
    std::string row;
    for (int x = area.Left; x < area.Right; ++x) {
      const TColor pixel = dc.GetPixel(x, y);
      char c = '?';
      for (const auto& [symbol, color] : legend) {
        if (ColorToRGB(color) == pixel) {
          c = symbol;
          break;
        }
      }
      row += c;
    }
    rows.push_back(row);
  }
  return rows;
}

// A surface filled with the paper colour.
inline DeviceContext PaperContext(int width, int height) {
  DeviceContext dc(width, height);
  dc.FillRect({0, 0, width, height}, Brush::Solid(kPaper));
  return dc;
}

}  // namespace orlit::testing
