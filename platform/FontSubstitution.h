#pragma once

#include <string>
#include <string_view>

namespace orlit {

// How a face name of a logical font is served.
struct FontSubstitute {
  std::string family;   // the fontconfig family asked for
  bool raster = false;  // behaves as a raster font: fixed sizes, monochrome, no rotation
  friend bool operator==(const FontSubstitute&, const FontSubstitute&) = default;
};

// "MS Sans Serif" becomes a raster stand-in drawn from Liberation Sans, "Arial" becomes Liberation
// Sans (metric-compatible); any other name goes to fontconfig as it is, an empty one as
// "sans-serif". Names compare without regard to case.
FontSubstitute SubstituteFace(std::string_view face_name);

// One size of the raster stand-in.
struct RasterSize {
  int char_height;  // what a negative lfHeight asks for (cell height less internal leading)
  int cell_height;  // tmHeight
  int em_pixels;    // Liberation Sans em that yields exactly cell_height
};

// The raster size a logical height selects: the largest size whose character height (for a
// negative height) or cell height (for a positive one) does not exceed the request, else the
// smallest. Zero asks for the smallest.
RasterSize PickRasterSize(int lf_height);

}  // namespace orlit
