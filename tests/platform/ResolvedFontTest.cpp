#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/FontSubstitution.h"
#include "platform/ResolvedFont.h"
#include "platform/TestFonts.h"
#include "platform/TextLayout.h"

namespace orlit {
namespace {

TEST(FontSubstitutionTest, MapsTheWindowsFacesAndPassesOthersOn) {
  EXPECT_EQ(SubstituteFace("MS Sans Serif"), (FontSubstitute{"Liberation Sans", true}));
  EXPECT_EQ(SubstituteFace("ms sans serif"), (FontSubstitute{"Liberation Sans", true}));
  EXPECT_EQ(SubstituteFace("Arial"), (FontSubstitute{"Liberation Sans", false}));
  EXPECT_EQ(SubstituteFace("ARIAL"), (FontSubstitute{"Liberation Sans", false}));
  EXPECT_EQ(SubstituteFace("DejaVu Sans"), (FontSubstitute{"DejaVu Sans", false}));
  EXPECT_EQ(SubstituteFace(""), (FontSubstitute{"sans-serif", false}));
  EXPECT_EQ(SubstituteFace("MS Sans Serif "), (FontSubstitute{"MS Sans Serif ", false}));
}

TEST(FontSubstitutionTest, RasterSizeIsTheLargestNotAboveTheRequest) {
  const std::pair<int, int> cases[] = {
      // lfHeight, cell height
      {-11, 13},
      {-12, 13},
      {-13, 16},
      {-15, 16},
      {-16, 20},
      {-19, 24},
      {-23, 24},
      {-24, 29},
      {-32, 37},
      {-500, 37},
      {-1, 13},
      {0, 13},
      {13, 13},
      {15, 13},
      {16, 16},
      {24, 24},
      {std::numeric_limits<int>::min(), 37},
      {std::numeric_limits<int>::max(), 37},
  };
  for (const auto& [height, cell] : cases)
    EXPECT_EQ(PickRasterSize(height).cell_height, cell) << height;
}

TEST(FontSubstitutionTest, RasterEmsGiveTheirCellsFromLiberationSansWinMetrics) {
  for (int height : {-11, -13, -16, -19, -24, -32}) {
    RasterSize size = PickRasterSize(height);
    int ascent = (1854 * size.em_pixels + 2047) / 2048;
    int descent = (434 * size.em_pixels + 2047) / 2048;
    EXPECT_EQ(ascent + descent, size.cell_height) << height;
    EXPECT_EQ(size.char_height, -height);
  }
}

struct MetricsCase {
  std::string face;
  int height;
  int weight;
  int tm_height;
  int internal_leading;
  bool true_type;
  std::string family;
};

TEST(FontTest, MetricsOfTheWindowFontsAndTheirSubstitutes) {
  const MetricsCase cases[] = {
      // The raster stand-in at the window's heights: 13, 16, 24 (and 20 for the title).
      {"MS Sans Serif", -11, FW_NORMAL, 13, 2, false, "Liberation Sans"},
      {"MS Sans Serif", -13, FW_BOLD, 16, 3, false, "Liberation Sans"},
      {"MS Sans Serif", -16, FW_BOLD, 20, 4, false, "Liberation Sans"},
      {"MS Sans Serif", -19, FW_BOLD, 24, 5, false, "Liberation Sans"},
      {"MS Sans Serif", -19, FW_NORMAL, 24, 5, false, "Liberation Sans"},
      // Liberation Sans as itself: em 11/13/16/19 give 13/15/19/23.
      {"Arial", -11, FW_NORMAL, 13, 2, true, "Liberation Sans"},
      {"Arial", -13, FW_BOLD, 15, 2, true, "Liberation Sans"},
      {"Arial", -16, FW_NORMAL, 19, 3, true, "Liberation Sans"},
      {"Arial", -19, FW_NORMAL, 23, 4, true, "Liberation Sans"},
      {"Arial", 16, FW_NORMAL, 16, 2, true, "Liberation Sans"},
      // DejaVu Sans: 14/17/19/23.
      {"DejaVu Sans", -11, FW_NORMAL, 14, 3, true, "DejaVu Sans"},
      {"DejaVu Sans", -13, FW_NORMAL, 17, 4, true, "DejaVu Sans"},
      {"DejaVu Sans", -16, FW_NORMAL, 19, 3, true, "DejaVu Sans"},
      {"DejaVu Sans", -19, FW_NORMAL, 23, 4, true, "DejaVu Sans"},
  };
  for (const MetricsCase& c : cases) {
    SCOPED_TRACE(c.face + " " + std::to_string(c.height));
    auto font = MakeFont(c.face, c.height, c.weight);
    const TEXTMETRIC& tm = font->TextMetrics();
    EXPECT_EQ(tm.tmHeight, c.tm_height);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmInternalLeading, c.internal_leading);
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0, c.true_type);
    EXPECT_EQ(font->IsTrueType(), c.true_type);
    EXPECT_EQ(font->FamilyName(), c.family);
    EXPECT_GT(tm.tmAveCharWidth, 0);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    EXPECT_EQ(tm.tmWeight >= FW_BOLD, c.weight >= FW_BOLD);
  }
}

TEST(FontTest, PitchAndFamilyBytes) {
  // Variable-pitch swiss raster font; the TrueType one adds the vector and TrueType bits.
  EXPECT_EQ(MakeFont("MS Sans Serif", -11)->TextMetrics().tmPitchAndFamily, 0x21);
  EXPECT_EQ(MakeFont("Arial", -11)->TextMetrics().tmPitchAndFamily, 0x27);
  // A fixed-pitch face clears TMPF_FIXED_PITCH, as the name of the bit never suggested.
  EXPECT_EQ(MakeFont("Liberation Mono", -13)->TextMetrics().tmPitchAndFamily & 0xF1, FF_MODERN);
}

TEST(FontTest, EscapementTurnsTrueTypeTextOnly) {
  EXPECT_DOUBLE_EQ(MakeFont("Arial", -13, FW_NORMAL, 900)->EscapementDegrees(), 90.0);
  EXPECT_DOUBLE_EQ(MakeFont("Arial", -13, FW_NORMAL, 450)->EscapementDegrees(), 45.0);
  EXPECT_DOUBLE_EQ(MakeFont("Arial", -13, FW_NORMAL, 3600)->EscapementDegrees(), 0.0);
  EXPECT_DOUBLE_EQ(MakeFont("MS Sans Serif", -13, FW_BOLD, 450)->EscapementDegrees(), 0.0);
}

TEST(FontTest, EqualLogicalFontsShareOneFont) {
  auto a = MakeFont("Arial", -13);
  auto b = MakeFont("Arial", -13);
  auto c = MakeFont("Arial", -14);
  EXPECT_EQ(a, b);
  EXPECT_NE(a, c);
  EXPECT_EQ(a->LogFont().lfHeight, -13);
}

TEST(FontTest, ExtentsOfKnownStrings) {
  struct Case {
    std::string face;
    int height;
    int weight;
    std::string text;
    int width;
  };
  // Hinted whole-pixel advances of the fonts scripts/setup installs.
  const Case cases[] = {
      {"MS Sans Serif", -11, FW_NORMAL, "Orlit_CFS by Orlit Soft", 105},
      {"MS Sans Serif", -11, FW_NORMAL, "Promovare", 52},
      {"MS Sans Serif", -13, FW_BOLD, "Promovare", 77},
      {"MS Sans Serif", -13, FW_BOLD, "Qq", 20},
      {"MS Sans Serif", -16, FW_BOLD, "Orlit_CFS by Orlit Soft", 176},
      {"MS Sans Serif", -19, FW_BOLD, "Qq", 28},
      {"Arial", -13, FW_BOLD, "Promovare", 68},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeFont(c.face, c.height, c.weight)->TextWidth(c.text), c.width)
        << c.face << " " << c.height << " " << c.text;
  }
}

TEST(FontTest, WidthIsTheSumOfAdvances) {
  auto font = MakeFont("MS Sans Serif", -13, FW_BOLD);
  const std::string text = "Concediu Fara Salar \xC8\x99\xC8\x9B\xC4\x83";
  int sum = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t start = pos;
    NextCodePoint(text, pos);
    sum += font->TextWidth(text.substr(start, pos - start));
  }
  EXPECT_EQ(font->TextWidth(text), sum);
  EXPECT_EQ(font->TextWidth(""), 0);
}

TEST(FontTest, MalformedUtf8MeasuresAsReplacementCharacters) {
  auto font = MakeFont("Arial", -13);
  EXPECT_EQ(font->TextWidth("\xFF"), font->TextWidth("\xEF\xBF\xBD"));
  EXPECT_EQ(font->TextWidth("a\xC3"), font->TextWidth("a\xEF\xBF\xBD"));
  std::vector<cairo_glyph_t> glyphs;
  font->Glyphs(
      "a\xFF"
      "b",
      glyphs);
  ASSERT_EQ(glyphs.size(), 3u);
  EXPECT_EQ(glyphs[0].x, 0);
  EXPECT_EQ(glyphs[2].x, font->TextWidth("a\xFF"));
}

TEST(FontTest, ExtremeLogicalFontsStaySane) {
  for (int height : {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0, -1, 1}) {
    for (const char* face : {"Arial", "MS Sans Serif", "No Such Face At All"}) {
      LOGFONT lf;
      lf.lfFaceName = face;
      lf.lfHeight = height;
      lf.lfWidth = height;
      lf.lfWeight = height;
      lf.lfEscapement = height;
      auto font = ResolvedFont::Create(lf);
      const TEXTMETRIC& tm = font->TextMetrics();
      EXPECT_GT(tm.tmHeight, 0) << face << " " << height;
      EXPECT_LE(tm.tmHeight, 4096) << face << " " << height;
      EXPECT_GE(font->TextWidth("Wide text"), 0);
    }
  }
}

}  // namespace
}  // namespace orlit
