#pragma once

#include <cairo.h>

#include <memory>
#include <string>

#include "platform/CairoPtr.h"
#include "platform/FontHandles.h"

namespace orlit {

// Face-wide design metrics, in font units.
struct FaceMetrics {
  int units_per_em = 2048;
  int win_ascent = 0;
  int win_descent = 0;
  int hhea_ascender = 0;
  int hhea_descender = 0;  // negative below the baseline
  int hhea_line_gap = 0;
  int avg_char_width = 0;
  int max_advance = 0;
  int weight_class = 400;
  bool italic = false;
  bool fixed_pitch = false;
  bool sans_serif = false;
  int underline_position = 0;  // negative below the baseline
  int underline_thickness = 0;
  int strikeout_position = 0;
  int strikeout_size = 0;
};

// One font file loaded once: the FreeType face and the cairo face drawn from it. cairo owns the
// FT_Face through the cairo face, so the face stays valid for as long as any scaled font uses it.
class FontFace {
 public:
  // Throws Exception when the file cannot be loaded.
  FontFace(std::shared_ptr<FT_LibraryRec_> library, const std::string& path, int index,
           bool synthesize_bold, bool synthesize_oblique);
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  cairo_font_face_t* CairoFace() const { return cairo_face_.get(); }
  // Glyph index of a code point, 0 (the missing glyph) when the face has none.
  unsigned GlyphIndex(char32_t code_point) const;
  const FaceMetrics& Metrics() const { return metrics_; }
  const std::string& FamilyName() const { return family_; }
  const std::string& Path() const { return path_; }

 private:
  FT_Face face_ = nullptr;  // owned by cairo_face_
  CairoFontFacePtr cairo_face_;
  FaceMetrics metrics_;
  std::string family_;
  std::string path_;
};

}  // namespace orlit
