#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace orlit {

// Opens the face `index` of the font file at `path` read through a stream of our own rather than
// mapped: the file is read in 4 KB blocks as FreeType asks for them, each kept once read. A face
// then holds the tables and glyphs the program uses, where a mapping brings the kernel's 64 KB
// around every page touched into the process. FreeType owns the stream with the face. Returns
// FreeType's error; `face` is set on success.
FT_Error OpenFontFileFace(FT_Library library, const std::string& path, int index, FT_Face* face);

}  // namespace orlit
