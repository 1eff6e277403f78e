#pragma once

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>

namespace orlit {

struct FtLibraryDeleter {
  void operator()(FT_Library library) const {
    if (library != nullptr) FT_Done_FreeType(library);
  }
};
struct FtFaceDeleter {
  void operator()(FT_Face face) const {
    if (face != nullptr) FT_Done_Face(face);
  }
};
struct FcPatternDeleter {
  void operator()(FcPattern* pattern) const {
    if (pattern != nullptr) FcPatternDestroy(pattern);
  }
};
struct FcConfigDeleter {
  void operator()(FcConfig* config) const {
    if (config != nullptr) FcConfigDestroy(config);
  }
};

using FtLibraryPtr = std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<FT_FaceRec_, FtFaceDeleter>;
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigDeleter>;

}  // namespace orlit
