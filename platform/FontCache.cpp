#include "platform/FontCache.h"

#include <unistd.h>

#include <algorithm>
#include <array>

#include "convert/Exceptions.h"
#include "platform/FontSubstitution.h"

namespace orlit {
namespace {

// Fonts differing in anything (a hostile caller could vary the height forever)
// are kept up to this many; beyond it the table starts afresh while fonts in
// use live on with their users.
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

// The families the window draws with, in a configuration of their own: reading
// the system's whole configuration took most of the start-up time spent on
// fonts. Any other family, or these where their files are missing, is matched
// with the system configuration.
constexpr const char* kOwnConfiguration = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/liberation2</dir>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>/var/cache/fontconfig</cachedir>
  <cachedir prefix="xdg">fontconfig</cachedir>
</fontconfig>
)";

// The window's own faces, where their package puts them, found without
// fontconfig: even the configuration of its own costs a good part of the
// start-up. Only exact weights, which resolve to these files in either
// configuration; whatever else a font asks goes through fontconfig.
struct KnownFace {
  const char* family;
  int weight;
  bool italic;
  const char* path;
};

constexpr std::array<KnownFace, 4> kKnownFaces = {{
    {"Liberation Sans", 400, false,
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"},
    {"Liberation Sans", 700, false,
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"},
    {"Liberation Sans", 400, true,
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Italic.ttf"},
    {"Liberation Sans", 700, true,
     "/usr/share/fonts/truetype/liberation2/LiberationSans-BoldItalic.ttf"},
}};

const KnownFace* FindKnownFace(const std::string& family, int weight, bool italic) {
  for (const KnownFace& face : kKnownFaces) {
    if (family == face.family && weight == face.weight && italic == face.italic &&
        access(face.path, R_OK) == 0) {
      return &face;
    }
  }
  return nullptr;
}

FcConfig* LoadOwnConfiguration() {
  FcConfig* config = FcConfigCreate();
  if (config == nullptr) return nullptr;
  if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kOwnConfiguration),
                                      FcFalse) ||
      !FcConfigBuildFonts(config)) {
    FcConfigDestroy(config);
    return nullptr;
  }
  return config;
}

bool HasFamily(FcPattern* pattern, const std::string& family) {
  FcChar8* value = nullptr;
  for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
    if (FcStrCmpIgnoreCase(value, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) {
      return true;
    }
  }
  return false;
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
}

FcConfig* FontCache::OwnConfig() {
  if (!own_config_loaded_) {
    own_config_.reset(LoadOwnConfiguration());
    own_config_loaded_ = true;
  }
  return own_config_.get();
}

FcConfig* FontCache::SystemConfig() {
  if (!system_config_) system_config_.reset(FcInitLoadConfigAndFonts());
  if (!system_config_) throw Exception("Cannot load the fontconfig configuration");
  return system_config_.get();
}

FcPatternPtr FontCache::MatchIn(FcConfig* config, const std::string& family, int weight,
                                bool italic) {
  FcPatternPtr pattern(FcPatternCreate());
  if (!pattern) throw Exception("Cannot match the font " + family);
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  return FcPatternPtr(FcFontMatch(config, pattern.get(), &result));
}

FontCache::Match FontCache::FindFile(const std::string& family, int weight, bool italic) {
  auto key = std::make_tuple(family, weight, italic);
  if (auto it = matches_.find(key); it != matches_.end()) return it->second;

  FcPatternPtr found;
  if (FcConfig* own = OwnConfig()) found = MatchIn(own, family, weight, italic);
  if (!found || !HasFamily(found.get(), family)) {
    found = MatchIn(SystemConfig(), family, weight, italic);
  }
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

std::shared_ptr<FontFace> FontCache::FindFace(const std::string& family, int weight, bool bold,
                                              bool italic) {
  if (const KnownFace* known = FindKnownFace(family, weight, italic)) {
    // A file that is not the face it should be (replaced by hand) is left to
    // fontconfig.
    std::shared_ptr<FontFace> face = LoadFace({known->path, 0, weight, italic}, bold, italic);
    const FaceMetrics& metrics = face->Metrics();
    if (face->FamilyName() == family && metrics.weight_class == weight &&
        metrics.italic == italic) {
      return face;
    }
  }
  return LoadFace(FindFile(family, weight, italic), bold, italic);
}

std::shared_ptr<const ResolvedFont> FontCache::CreateFont(const LOGFONT& logical) {
  std::string key = FontKey(logical);
  if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;

  FontSubstitute substitute = SubstituteFace(logical.lfFaceName);
  const int weight = logical.lfWeight <= 0 ? FW_NORMAL : std::clamp(logical.lfWeight, 1, 1000);
  const bool bold = weight >= 600;
  auto font = std::make_shared<const ResolvedFont>(
      logical, FindFace(substitute.family, weight, bold, logical.lfItalic), substitute.raster);
  if (fonts_.size() >= kMaxCachedFonts) fonts_.clear();
  fonts_.emplace(std::move(key), font);
  return font;
}

}  // namespace orlit
