#include "platform/FontCache.h"

#include <algorithm>

#include "convert/Exceptions.h"
#include "platform/FontSubstitution.h"

namespace orlit {
namespace {

// Fonts differing in anything (a hostile caller could vary the height forever) are kept up to
// this many; beyond it the table starts afresh while fonts in use live on with their users.
constexpr std::size_t kMaxCachedFonts = 512;

std::string FontKey(const LOGFONT& lf) {
  std::string key = lf.lfFaceName;
  key += '\0';
  for (int v : {lf.lfHeight, lf.lfWidth, lf.lfEscapement, lf.lfOrientation, lf.lfWeight,
                static_cast<int>(lf.lfItalic), static_cast<int>(lf.lfUnderline),
                static_cast<int>(lf.lfStrikeOut), static_cast<int>(lf.lfCharSet),
                static_cast<int>(lf.lfOutPrecision)}) {
    key += std::to_string(v);
    key += ',';
  }
  return key;
}

std::string PatternString(FcPattern* pattern, const char* object) {
  FcChar8* value = nullptr;
  if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || value == nullptr) {
    return {};
  }
  return reinterpret_cast<const char*>(value);
}

}  // namespace

FontCache& FontCache::Instance() {
  static FontCache& cache = *new FontCache;
  return cache;
}

FontCache::FontCache() {
  FT_Library raw = nullptr;
  if (FT_Init_FreeType(&raw) != 0) throw Exception("Cannot start FreeType");
  library_ = std::shared_ptr<FT_LibraryRec_>(raw, FtLibraryDeleter{});
  config_.reset(FcInitLoadConfigAndFonts());
  if (!config_) throw Exception("Cannot load the fontconfig configuration");
}

FontCache::Match FontCache::FindFile(const std::string& family, int weight, bool italic) {
  auto key = std::make_tuple(family, weight, italic);
  if (auto it = matches_.find(key); it != matches_.end()) return it->second;

  FcPatternPtr pattern(FcPatternCreate());
  if (!pattern) throw Exception("Cannot match the font " + family);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config_.get(), pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  FcPatternPtr found(FcFontMatch(config_.get(), pattern.get(), &result));
  if (!found) throw Exception("No font matches " + family);

  Match match;
  match.path = PatternString(found.get(), FC_FILE);
  if (match.path.empty()) throw Exception("No font file for " + family);
  int integer = 0;
  if (FcPatternGetInteger(found.get(), FC_INDEX, 0, &integer) == FcResultMatch) {
    match.index = integer;
  }
  if (FcPatternGetInteger(found.get(), FC_WEIGHT, 0, &integer) == FcResultMatch) {
    match.weight = static_cast<int>(FcWeightToOpenType(integer));
  }
  if (FcPatternGetInteger(found.get(), FC_SLANT, 0, &integer) == FcResultMatch) {
    match.italic = integer != FC_SLANT_ROMAN;
  }
  matches_.emplace(key, match);
  return match;
}

std::shared_ptr<FontFace> FontCache::LoadFace(const Match& match, bool bold, bool italic) {
  // A family without a bold or italic file gets them synthesised by cairo.
  const bool synth_bold = bold && match.weight < 600;
  const bool synth_oblique = italic && !match.italic;
  auto key = std::make_tuple(match.path, match.index, synth_bold, synth_oblique);
  if (auto it = faces_.find(key); it != faces_.end()) return it->second;
  auto face =
      std::make_shared<FontFace>(library_, match.path, match.index, synth_bold, synth_oblique);
  faces_.emplace(key, face);
  return face;
}

std::shared_ptr<const Font> FontCache::CreateFont(const LOGFONT& logical) {
  std::string key = FontKey(logical);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

  FontSubstitute substitute = SubstituteFace(logical.lfFaceName);
  const int weight = logical.lfWeight <= 0 ? FW_NORMAL : std::clamp(logical.lfWeight, 1, 1000);
  const bool bold = weight >= 600;
  Match match = FindFile(substitute.family, weight, logical.lfItalic);
  auto font = std::make_shared<const Font>(logical, LoadFace(match, bold, logical.lfItalic),
                                           substitute.raster);
  if (fonts_.size() >= kMaxCachedFonts) fonts_.clear();
  fonts_.emplace(std::move(key), font);
  return font;
}

}  // namespace orlit
