#include "platform/FontSubstitution.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace orlit {
namespace {

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The raster font's sizes are 8, 10, 12, 14, 18 and 24 points at 96 pixels per inch, that is
// character heights 11, 13, 16, 19, 24 and 32. Cell heights 13, 16 and 24 are the ones the
// window's stored geometry was laid out with: 13 for the window font (Label1 is 13 high), 16 for
// the bold −13 font (text fields 27 high, group-box children 16 from the top), 24 for the −19
// font of the result field (35 high). 20, 29 and 37 continue the series for −16 (the title
// caption), −24 and −32. Each em is the largest Liberation Sans em whose
// ceil(ascent) + ceil(descent) from its win metrics (1854 + 434 of 2048 units) gives that cell.
constexpr std::array<RasterSize, 6> kRasterSizes = {{
    {11, 13, 11},
    {13, 16, 14},
    {16, 20, 17},
    {19, 24, 20},
    {24, 29, 25},
    {32, 37, 33},
}};

}  // namespace

FontSubstitute SubstituteFace(std::string_view face_name) {
  if (EqualsIgnoreCase(face_name, "MS Sans Serif")) return {"Liberation Sans", true};
  if (EqualsIgnoreCase(face_name, "Arial")) return {"Liberation Sans", false};
  if (face_name.empty()) return {"sans-serif", false};
  return {std::string(face_name), false};
}

RasterSize PickRasterSize(int lf_height) {
  const int64_t wanted = std::llabs(static_cast<int64_t>(lf_height));
  RasterSize picked = kRasterSizes.front();
  for (const RasterSize& size : kRasterSizes) {
    int64_t height = lf_height < 0 ? size.char_height : size.cell_height;
    if (height <= wanted) picked = size;
  }
  return picked;
}

}  // namespace orlit
