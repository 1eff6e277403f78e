#include "platform/ResolvedFont.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "convert/Exceptions.h"
#include "platform/FontCache.h"
#include "platform/FontSubstitution.h"
#include "platform/TextLayout.h"

namespace orlit {
namespace {

// Past this, glyphs outgrow any surface the program draws on; cairo and FreeType stay happy.
constexpr double kMaxEmPixels = 2048;
// The window font's character height, taken when a logical font asks for the default size.
constexpr int kDefaultCharHeight = 11;

int CeilPixels(double v) { return static_cast<int>(std::ceil(v - 1e-9)); }

CairoScaledFontPtr MakeScaledFont(cairo_font_face_t* face, const cairo_matrix_t& font_matrix,
                                  bool raster) {
  cairo_matrix_t identity;
  cairo_matrix_init_identity(&identity);
  CairoFontOptionsPtr options(cairo_font_options_create());
  // The raster stand-in is drawn monochrome with full hinting, so its glyphs are as crisp as a
  // bitmap font's; TrueType glyphs are antialiased. Hinted metrics keep every advance a whole
  // pixel, which makes measuring and drawing agree.
  cairo_font_options_set_antialias(options.get(),
                                   raster ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options.get(),
                                    raster ? CAIRO_HINT_STYLE_FULL : CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
  CairoScaledFontPtr font(cairo_scaled_font_create(face, &font_matrix, &identity, options.get()));
  if (cairo_scaled_font_status(font.get()) != CAIRO_STATUS_SUCCESS) {
    throw Exception("Cannot scale the font");
  }
  return font;
}

}  // namespace

std::shared_ptr<const ResolvedFont> ResolvedFont::Create(const LOGFONT& logical) {
  return FontCache::Instance().CreateFont(logical);
}

ResolvedFont::ResolvedFont(const LOGFONT& logical, std::shared_ptr<FontFace> face, bool raster)
    : logical_(logical), face_(std::move(face)), raster_(raster) {
  const FaceMetrics& fm = face_->Metrics();
  const double upm = fm.units_per_em;
  const double design_height = static_cast<double>(fm.win_ascent) + fm.win_descent;

  double em = 0;
  TEXTMETRIC& tm = metrics_;
  if (raster_) {
    RasterSize size = PickRasterSize(logical.lfHeight);
    em = size.em_pixels;
    tm.tmHeight = size.cell_height;
    tm.tmAscent = CeilPixels(fm.win_ascent * em / upm);
    tm.tmDescent = tm.tmHeight - tm.tmAscent;
    tm.tmInternalLeading = size.cell_height - size.char_height;
  } else {
    const int64_t height = logical.lfHeight;
    if (height > 0) {
      // A cell height: the em that makes ascent plus descent that tall.
      em = std::min(kMaxEmPixels, static_cast<double>(height) * upm / design_height);
      int cell = static_cast<int>(std::min<int64_t>(height, std::lround(kMaxEmPixels * 2)));
      tm.tmAscent = static_cast<int>(std::lround(cell * fm.win_ascent / design_height));
      tm.tmDescent = cell - tm.tmAscent;
    } else {
      em = std::min(kMaxEmPixels, height < 0 ? static_cast<double>(-height)
                                             : static_cast<double>(kDefaultCharHeight));
      // GDI's text height: ascent and descent from the win metrics, each rounded up.
      tm.tmAscent = CeilPixels(fm.win_ascent * em / upm);
      tm.tmDescent = CeilPixels(fm.win_descent * em / upm);
    }
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - static_cast<int>(std::lround(em)));
  }
  const double scale = em / upm;
  const int extra_gap =
      fm.hhea_line_gap - (fm.win_ascent + fm.win_descent - (fm.hhea_ascender - fm.hhea_descender));
  tm.tmExternalLeading = std::max(0, static_cast<int>(std::lround(extra_gap * scale)));
  tm.tmAveCharWidth = std::max(1, static_cast<int>(std::lround(fm.avg_char_width * scale)));
  tm.tmMaxCharWidth = std::max(1, static_cast<int>(std::lround(fm.max_advance * scale)));
  tm.tmWeight = logical.lfWeight >= 600 ? std::max(fm.weight_class, FW_BOLD) : fm.weight_class;
  tm.tmItalic = logical.lfItalic;
  tm.tmUnderlined = logical.lfUnderline;
  tm.tmStruckOut = logical.lfStrikeOut;
  tm.tmCharSet = logical.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : logical.lfCharSet;
  uint8_t family = fm.fixed_pitch ? FF_MODERN : (fm.sans_serif ? FF_SWISS : FF_ROMAN);
  tm.tmPitchAndFamily = static_cast<uint8_t>(family | (fm.fixed_pitch ? 0 : TMPF_FIXED_PITCH));
  if (!raster_) tm.tmPitchAndFamily |= TMPF_VECTOR | TMPF_TRUETYPE;

  underline_thickness_ = std::max(1, static_cast<int>(std::lround(fm.underline_thickness * scale)));
  underline_offset_ = std::max(
      1, static_cast<int>(std::lround(-fm.underline_position * scale)) - underline_thickness_ / 2);
  strikeout_thickness_ = std::max(1, static_cast<int>(std::lround(fm.strikeout_size * scale)));
  strikeout_offset_ = -static_cast<int>(std::lround(fm.strikeout_position * scale));

  double width_scale = 1;
  if (logical.lfWidth > 0) {
    width_scale = std::clamp(logical.lfWidth / (fm.avg_char_width * scale), 0.05, 20.0);
  }
  cairo_matrix_t upright;
  cairo_matrix_init_scale(&upright, em * width_scale, em);
  measuring_font_ = MakeScaledFont(face_->CairoFace(), upright, raster_);

  // Raster fonts cannot be rotated; TrueType text turns counter-clockwise by the escapement.
  if (!raster_) escapement_degrees_ = std::fmod(logical.lfEscapement / 10.0, 360.0);
  if (escapement_degrees_ == 0) {
    drawing_font_.reset(cairo_scaled_font_reference(measuring_font_.get()));
  } else {
    cairo_matrix_t rotated;
    cairo_matrix_init_rotate(&rotated, -escapement_degrees_ * std::numbers::pi / 180.0);
    cairo_matrix_scale(&rotated, em * width_scale, em);
    drawing_font_ = MakeScaledFont(face_->CairoFace(), rotated, raster_);
  }
}

const ResolvedFont::GlyphInfo& ResolvedFont::Glyph(char32_t code_point) const {
  GlyphInfo* info;
  if (code_point < kTableSize) {
    if (table_.empty()) table_.resize(kTableSize);
    info = &table_[code_point];
  } else {
    info = &others_[code_point];
  }
  if (!info->known) {
    info->index = face_->GlyphIndex(code_point);
    cairo_glyph_t glyph{info->index, 0, 0};
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(measuring_font_.get(), &glyph, 1, &extents);
    info->advance = static_cast<int>(std::lround(extents.x_advance));
    info->known = true;
  }
  return *info;
}

int ResolvedFont::TextWidth(std::string_view text) const {
  int64_t width = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    width += Glyph(NextCodePoint(text, pos)).advance;
  }
  return static_cast<int>(std::min<int64_t>(width, std::numeric_limits<int>::max()));
}

void ResolvedFont::Glyphs(std::string_view text, std::vector<cairo_glyph_t>& out) const {
  out.clear();
  double x = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const GlyphInfo& info = Glyph(NextCodePoint(text, pos));
    out.push_back({info.index, x, 0});
    x += info.advance;
  }
}

}  // namespace orlit
