#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/CairoPtr.h"
#include "platform/FontFace.h"

namespace orlit {

inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;

inline constexpr uint8_t ANSI_CHARSET = 0;
inline constexpr uint8_t DEFAULT_CHARSET = 1;

inline constexpr uint8_t OUT_DEFAULT_PRECIS = 0;
inline constexpr uint8_t OUT_TT_ONLY_PRECIS = 7;

// tmPitchAndFamily bits; TMPF_FIXED_PITCH set means a variable-pitch font.
inline constexpr uint8_t TMPF_FIXED_PITCH = 0x01;
inline constexpr uint8_t TMPF_VECTOR = 0x02;
inline constexpr uint8_t TMPF_TRUETYPE = 0x04;
inline constexpr uint8_t TMPF_DEVICE = 0x08;
inline constexpr uint8_t FF_DONTCARE = 0x00;
inline constexpr uint8_t FF_ROMAN = 0x10;
inline constexpr uint8_t FF_SWISS = 0x20;
inline constexpr uint8_t FF_MODERN = 0x30;

// A logical font. lfHeight < 0 asks for a character height, > 0 for a cell height, 0 for the
// default size; lfEscapement is in tenths of a degree, counter-clockwise.
struct LOGFONT {
  int lfHeight = 0;
  int lfWidth = 0;
  int lfEscapement = 0;
  int lfOrientation = 0;
  int lfWeight = FW_NORMAL;
  bool lfItalic = false;
  bool lfUnderline = false;
  bool lfStrikeOut = false;
  uint8_t lfCharSet = DEFAULT_CHARSET;
  uint8_t lfOutPrecision = OUT_DEFAULT_PRECIS;
  std::string lfFaceName;
  friend bool operator==(const LOGFONT&, const LOGFONT&) = default;
};

struct TEXTMETRIC {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = FW_NORMAL;
  int tmOverhang = 0;
  bool tmItalic = false;
  bool tmUnderlined = false;
  bool tmStruckOut = false;
  uint8_t tmPitchAndFamily = 0;
  uint8_t tmCharSet = ANSI_CHARSET;
};

// A logical font resolved to a face and a pixel size: what a selected font handle stands for.
// Immutable apart from its glyph cache; shared between device contexts.
class ResolvedFont {
 public:
  // CreateFontIndirect: resolved through the substitution table and fontconfig; equal logical
  // fonts give the same object. Throws Exception when no font file at all can be loaded.
  static std::shared_ptr<const ResolvedFont> Create(const LOGFONT& logical);

  ResolvedFont(const LOGFONT& logical, std::shared_ptr<FontFace> face, bool raster);
  ResolvedFont(const ResolvedFont&) = delete;
  ResolvedFont& operator=(const ResolvedFont&) = delete;

  const LOGFONT& LogFont() const { return logical_; }
  const TEXTMETRIC& TextMetrics() const { return metrics_; }
  bool IsTrueType() const { return !raster_; }
  // The family of the face actually drawn, e.g. "Liberation Sans".
  const std::string& FamilyName() const { return face_->FamilyName(); }
  // The rotation text is drawn with, in degrees counter-clockwise; 0 for raster fonts.
  double EscapementDegrees() const { return escapement_degrees_; }

  // Advance width of one line of UTF-8 text (invalid bytes count as U+FFFD).
  int TextWidth(std::string_view text) const;
  // Glyphs of one line, unrotated: x is the pen position along the baseline from 0, y is 0.
  void Glyphs(std::string_view text, std::vector<cairo_glyph_t>& out) const;
  // The scaled font to draw with, rotated by the escapement.
  cairo_scaled_font_t* DrawingFont() const { return drawing_font_.get(); }

  // Underline and strike-out bands relative to the baseline (positive downwards), in pixels.
  int UnderlineOffset() const { return underline_offset_; }
  int UnderlineThickness() const { return underline_thickness_; }
  int StrikeOutOffset() const { return strikeout_offset_; }
  int StrikeOutThickness() const { return strikeout_thickness_; }

 private:
  struct GlyphInfo {
    unsigned index = 0;
    int advance = 0;
    bool known = false;
  };
  const GlyphInfo& Glyph(char32_t code_point) const;

  LOGFONT logical_;
  std::shared_ptr<FontFace> face_;
  bool raster_;
  double escapement_degrees_ = 0;
  TEXTMETRIC metrics_;
  int underline_offset_ = 1;
  int underline_thickness_ = 1;
  int strikeout_offset_ = 0;
  int strikeout_thickness_ = 1;
  CairoScaledFontPtr measuring_font_;
  CairoScaledFontPtr drawing_font_;
  // Latin text (up to U+02FF, which holds the Romanian letters) is looked up in a table, the
  // rest in a map.
  static constexpr char32_t kTableSize = 0x300;
  mutable std::vector<GlyphInfo> table_;
  mutable std::unordered_map<char32_t, GlyphInfo> others_;
};

}  // namespace orlit
