#include "platform/FontFace.h"

#include <cairo-ft.h>

#include FT_TRUETYPE_TABLES_H

#include "convert/Exceptions.h"
#include "platform/FontFileStream.h"

namespace orlit {
namespace {

// Keeps the FT_Face, and the library it came from, alive until cairo lets go of the face.
struct FaceHolder {
  FtFacePtr face;
  std::shared_ptr<FT_LibraryRec_> library;
};

const cairo_user_data_key_t kFaceHolderKey{};

void DestroyFaceHolder(void* data) {
  auto* holder = static_cast<FaceHolder*>(data);
  holder->face.reset();  // before the library it belongs to
  delete holder;
}

FaceMetrics ReadMetrics(FT_Face face) {
  FaceMetrics m;
  m.units_per_em = face->units_per_EM > 0 ? face->units_per_EM : 2048;
  m.hhea_ascender = face->ascender;
  m.hhea_descender = face->descender;
  m.hhea_line_gap = face->height - (face->ascender - face->descender);
  m.max_advance = face->max_advance_width;
  m.underline_position = face->underline_position;
  m.underline_thickness = face->underline_thickness;
  m.italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  m.fixed_pitch = FT_IS_FIXED_WIDTH(face);
  m.weight_class = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ? 700 : 400;
  m.win_ascent = face->ascender;
  m.win_descent = -face->descender;
  if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
    m.hhea_line_gap = hhea->Line_Gap;
  }
  if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      os2 != nullptr && os2->version != 0xFFFF) {
    m.win_ascent = os2->usWinAscent;
    m.win_descent = os2->usWinDescent;
    m.avg_char_width = os2->xAvgCharWidth;
    m.weight_class = os2->usWeightClass;
    m.strikeout_position = os2->yStrikeoutPosition;
    m.strikeout_size = os2->yStrikeoutSize;
    // PANOSE serif styles 11 to 13 are the sans-serif ones.
    m.sans_serif = os2->panose[1] >= 11 && os2->panose[1] <= 13;
  }
  if (m.win_ascent + m.win_descent <= 0) {
    m.win_ascent = m.units_per_em * 4 / 5;
    m.win_descent = m.units_per_em / 5;
  }
  if (m.avg_char_width <= 0) m.avg_char_width = m.units_per_em / 2;
  if (m.strikeout_size <= 0) {
    m.strikeout_size = m.units_per_em / 20;
    m.strikeout_position = m.units_per_em / 4;
  }
  return m;
}

}  // namespace

FontFace::FontFace(std::shared_ptr<FT_LibraryRec_> library, const std::string& path, int index,
                   bool synthesize_bold, bool synthesize_oblique)
    : path_(path) {
  FT_Face raw = nullptr;
  if (OpenFontFileFace(library.get(), path, index, &raw) != 0 || raw == nullptr) {
    throw Exception("Cannot load the font file " + path);
  }
  auto holder = std::make_unique<FaceHolder>(FaceHolder{FtFacePtr(raw), std::move(library)});
  face_ = raw;
  metrics_ = ReadMetrics(raw);
  family_ = raw->family_name != nullptr ? raw->family_name : "";

  cairo_face_.reset(cairo_ft_font_face_create_for_ft_face(raw, 0));
  if (cairo_font_face_status(cairo_face_.get()) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(cairo_face_.get(), &kFaceHolderKey, holder.get(),
                                    DestroyFaceHolder) != CAIRO_STATUS_SUCCESS) {
    cairo_face_.reset();  // while the FT_Face still exists
    throw Exception("Cannot use the font file " + path);
  }
  holder.release();  // cairo owns it now
  unsigned synth = 0;
  if (synthesize_bold) synth |= CAIRO_FT_SYNTHESIZE_BOLD;
  if (synthesize_oblique) synth |= CAIRO_FT_SYNTHESIZE_OBLIQUE;
  if (synth != 0) cairo_ft_font_face_set_synthesize(cairo_face_.get(), synth);
}

unsigned FontFace::GlyphIndex(char32_t code_point) const {
  return FT_Get_Char_Index(face_, code_point);
}

}  // namespace orlit
