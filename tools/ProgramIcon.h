// The program icon, a calendar leaf, as rectangles on a 32 x 32 grid painted in order. The
// window's icon (make_pictures), the launcher's icons in every size and the scalable icon
// (make_icons) are all drawn from this one description, in the 16 colours of the classic palette.
#pragma once

#include <cstdint>
#include <vector>

namespace orlit {

struct IconRect {
  int left, top, right, bottom;
  std::uint32_t rgb;
};

inline constexpr int kProgramIconGrid = 32;

inline std::vector<IconRect> ProgramIconRects() {
  constexpr std::uint32_t kBlack = 0x000000, kMaroon = 0x800000, kGray = 0x808080,
                          kSilver = 0xC0C0C0, kRed = 0xFF0000, kWhite = 0xFFFFFF, kNavy = 0x000080;
  std::vector<IconRect> rects = {
      {4, 6, 29, 30, kGray},     // shadow
      {3, 5, 28, 29, kBlack},    // outline
      {4, 6, 27, 28, kWhite},    // leaf
      {4, 6, 27, 11, kRed},      // header band
      {4, 10, 27, 11, kMaroon},  // its lower edge
  };
  for (const int ring : {9, 22}) {  // binder rings above the band
    rects.push_back({ring - 1, 2, ring + 1, 8, kSilver});
    rects.push_back({ring - 1, 2, ring, 8, kGray});
  }
  // Seven columns by four rows of day cells; one day is marked.
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 7; ++col) {
      const int x = 5 + col * 3, y = 13 + row * 4;
      rects.push_back({x, y, x + 2, y + 2, (row == 2 && col == 4) ? kRed : kNavy});
    }
  }
  return rects;
}

}  // namespace orlit
