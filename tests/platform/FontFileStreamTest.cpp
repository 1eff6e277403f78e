#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/FontFileStream.h"
#include "platform/FontHandles.h"

namespace orlit {
namespace {

// What drawing a glyph needs of a face: its advance and its antialiased picture.
std::vector<unsigned char> Rendered(FT_Face face, char32_t code_point) {
  if (FT_Set_Pixel_Sizes(face, 0, 13) != 0 ||
      FT_Load_Glyph(face, FT_Get_Char_Index(face, code_point), FT_LOAD_RENDER) != 0) {
    return {};
  }
  const FT_Bitmap& bitmap = face->glyph->bitmap;
  std::vector<unsigned char> out{static_cast<unsigned char>(face->glyph->advance.x >> 6),
                                 static_cast<unsigned char>(bitmap.width)};
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    out.insert(out.end(), line, line + bitmap.width);
  }
  return out;
}

TEST(FontFileStreamTest, ReadsAsTheFileMappedAndRefusesOrSurvivesFilesCutShort) {
  FT_Library raw_library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&raw_library), 0);
  const FtLibraryPtr library(raw_library);
  for (const char* path : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                           "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
    FT_Face raw = nullptr;
    ASSERT_EQ(FT_New_Face(library.get(), path, 0, &raw), 0) << path;
    const FtFacePtr mapped(raw);
    ASSERT_EQ(OpenFontFileFace(library.get(), path, 0, &raw), 0) << path;
    const FtFacePtr streamed(raw);
    EXPECT_EQ(streamed->num_glyphs, mapped->num_glyphs) << path;
    for (const char32_t c : {U'A', U'g', U'\u0219', U'\u20AC', U'\uFFFF'}) {
      EXPECT_EQ(Rendered(streamed.get(), c), Rendered(mapped.get(), c))
          << path << " U+" << std::hex << static_cast<unsigned>(c);
    }

    std::ifstream in(path, std::ios::binary);
    const std::string whole{std::istreambuf_iterator<char>(in), {}};
    const std::string cut_path = ::testing::TempDir() + "cut-font.ttf";
    for (const std::size_t length : {std::size_t{0}, std::size_t{100}, std::size_t{20000},
                                     whole.size() / 2, whole.size() - 1}) {
      std::ofstream(cut_path, std::ios::binary | std::ios::trunc) << whole.substr(0, length);
      if (OpenFontFileFace(library.get(), cut_path, 0, &raw) == 0) {
        const FtFacePtr cut(raw);
        for (const char32_t c : {U'A', U'g', U'\u20AC'}) Rendered(cut.get(), c);
      }
    }
    std::filesystem::remove(cut_path);
  }
  FT_Face none = nullptr;
  EXPECT_NE(OpenFontFileFace(library.get(), "/nonexistent/font.ttf", 0, &none), 0);
}

}  // namespace
}  // namespace orlit
