#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "platform/FontFace.h"
#include "platform/FontHandles.h"
#include "platform/ResolvedFont.h"

namespace orlit {

// The process's one cache of fonts: face files loaded once, logical fonts
// resolved once. User-interface thread only.
class FontCache {
 public:
  static FontCache& Instance();

  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  std::shared_ptr<const ResolvedFont> CreateFont(const LOGFONT& logical);

  // Number of face files loaded so far.
  std::size_t LoadedFaceCount() const { return faces_.size(); }

 private:
  FontCache();

  struct Match {
    std::string path;
    int index = 0;
    int weight = 400;  // OpenType weight of the matched file
    bool italic = false;
  };
  // The window's own faces by their known files, anything else through
  // fontconfig.
  std::shared_ptr<FontFace> FindFace(const std::string& family, int weight, bool bold, bool italic);
  Match FindFile(const std::string& family, int weight, bool italic);
  FcPatternPtr MatchIn(FcConfig* config, const std::string& family, int weight, bool italic);
  // Loaded on the first family the own configuration does not have.
  FcConfig* SystemConfig();
  // Loaded on the first face that is not one of the known files; null when it
  // cannot be.
  FcConfig* OwnConfig();
  std::shared_ptr<FontFace> LoadFace(const Match& match, bool bold, bool italic);

  std::shared_ptr<FT_LibraryRec_> library_;
  FcConfigPtr own_config_;
  bool own_config_loaded_ = false;
  FcConfigPtr system_config_;
  std::map<std::tuple<std::string, int, bool>, Match> matches_;
  std::map<std::tuple<std::string, int, bool, bool>, std::shared_ptr<FontFace>> faces_;
  std::map<std::string, std::shared_ptr<const ResolvedFont>> fonts_;
};

}  // namespace orlit
