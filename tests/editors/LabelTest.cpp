#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "EditorsFixture.h"
#include "editors/LabelEdit.h"
#include "editors/LabelView.h"

namespace orlit::editors_testing {
namespace {

// The box of the pixels of one colour, empty when there are none.
TRect BoxOf(const DeviceContext& dc, TColor color) {
  TRect box{dc.Width(), dc.Height(), 0, 0};
  const TColor rgb = ColorToRGB(color);
  for (int y = 0; y < dc.Height(); ++y) {
    for (int x = 0; x < dc.Width(); ++x) {
      if (dc.GetPixel(x, y) != rgb) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
             std::max(box.Bottom, y + 1)};
    }
  }
  return box.IsEmpty() ? TRect{} : box;
}

// The box of the pixels that `is_ink` picks, empty when there are none. Smoothed text needs a
// threshold rather than one exact colour.
template <typename Predicate>
TRect InkBox(const DeviceContext& dc, Predicate is_ink) {
  TRect box{dc.Width(), dc.Height(), 0, 0};
  for (int y = 0; y < dc.Height(); ++y) {
    for (int x = 0; x < dc.Width(); ++x) {
      const TColor c = dc.GetPixel(x, y);
      if (!is_ink(GetRValue(c), GetGValue(c), GetBValue(c))) continue;
      box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
             std::max(box.Bottom, y + 1)};
    }
  }
  return box.IsEmpty() ? TRect{} : box;
}
bool Dark(int r, int g, int b) { return r < 96 && g < 96 && b < 96; }
bool Reddish(int r, int g, int b) { return r > 160 && g < 130 && b < 130; }
bool NotWhite(int r, int g, int b) { return r < 255 || g < 255 || b < 255; }

// A view info for `caption` in `face` on a white 60 x 40 area, letters black, copies red.
struct Info : TcxCustomLabelViewInfo {
  Info(const std::string& text, const char* face, int height) {
    caption = text;
    font.SetName(face);
    font.SetHeight(height);
    text_color = clBlack;
    background_color = clWhite;
    shadowed_color = clRed;
    text_rect = {0, 0, 60, 40};
  }
};

DeviceContext Render(const TcxCustomLabelViewInfo& info) {
  DeviceContext dc(60, 40);
  dc.FillRect({0, 0, 60, 40}, Brush::Solid(clWhite));  // also outside a narrower text area
  TCanvas canvas(dc);
  info.Render(canvas, info.text_rect);
  return dc;
}

// The plain letters of `info`'s caption as a mask: where a normal label draws them at (0, 0).
std::vector<TPoint> LetterPixels(const Info& model) {
  Info plain(model.caption, model.font.Name().c_str(), model.font.Height());
  plain.word_wrap = model.word_wrap;
  plain.text_rect = model.text_rect;
  const DeviceContext dc = Render(plain);
  std::vector<TPoint> pixels;
  for (int y = 0; y < dc.Height(); ++y) {
    for (int x = 0; x < dc.Width(); ++x) {
      if (dc.GetPixel(x, y) == ColorToRGB(clBlack)) pixels.push_back({x, y});
    }
  }
  return pixels;
}

// One drawing of the letters: where, in which colour.
struct Drawing {
  TPoint at;
  TColor color;
};

// The picture the drawings make, one over the other in order, on the white area. A raster font
// draws without smoothing, so the rendering must match it pixel for pixel.
void ExpectDrawings(const Info& info, const std::vector<Drawing>& drawings,
                    const std::string& name) {
  DeviceContext expected(60, 40);
  expected.FillRect({0, 0, 60, 40}, Brush::Solid(clWhite));
  const std::vector<TPoint> letters = LetterPixels(info);
  ASSERT_FALSE(letters.empty()) << name;
  for (const Drawing& d : drawings) {
    for (const TPoint p : letters) {
      expected.FillRect(TRect::FromBounds(p.X + d.at.X, p.Y + d.at.Y, 1, 1),
                        Brush::Solid(ColorToRGB(d.color)));
    }
  }
  const DeviceContext got = Render(info);
  int wrong = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      if (got.GetPixel(x, y) != expected.GetPixel(x, y) && ++wrong <= 3) {
        ADD_FAILURE() << name << ": pixel " << x << "," << y << " is " << std::hex
                      << got.GetPixel(x, y) << ", not " << expected.GetPixel(x, y);
      }
    }
  }
  EXPECT_EQ(wrong, 0) << name;
}

TEST(LabelRenderTest, EffectCopiesAndLetterStylesLandWhereTheyShould) {
  TestPalette palette;
  const TColor hi = clBtnHighlight;
  const TColor sh = clBtnShadow;
  struct Case {
    const char* name;
    TcxLabelEffect effect;
    TcxLabelOrientation orientation;
    int depth;
    TcxLabelStyle style;
    int height;                     // -13: below 12 points; -16: 12 points
    std::vector<Drawing> drawings;  // copies first, then the letters
  };
  // clang-format off
  const Case cases[] = {
      {"extrude_right_bottom", cxleExtrude, cxoRightBottom, 3, cxlsNormal, -16,
       {{{3, 3}, clRed}, {{2, 2}, clRed}, {{1, 1}, clRed}, {{0, 0}, clBlack}}},
      {"extrude_left_top", cxleExtrude, cxoLeftTop, 2, cxlsNormal, -16,
       {{{0, 0}, clRed}, {{1, 1}, clRed}, {{2, 2}, clBlack}}},
      {"extrude_right", cxleExtrude, cxoRight, 2, cxlsNormal, -16,
       {{{2, 0}, clRed}, {{1, 0}, clRed}, {{0, 0}, clBlack}}},
      {"extrude_top", cxleExtrude, cxoTop, 2, cxlsNormal, -16,
       {{{0, 0}, clRed}, {{0, 1}, clRed}, {{0, 2}, clBlack}}},
      {"cool_left_one_copy", cxleCool, cxoLeft, 4, cxlsNormal, -16,
       {{{0, 0}, clRed}, {{4, 0}, clBlack}}},
      {"cool_bottom_one_copy", cxleCool, cxoBottom, 4, cxlsNormal, -16,
       {{{0, 4}, clRed}, {{0, 0}, clBlack}}},
      // The fun copies blend from the white background to the shadow colour, black here.
      {"fun_right", cxleFun, cxoRight, 2, cxlsNormal, -16,
       {{{2, 0}, RGB(127, 127, 127)}, {{1, 0}, RGB(0, 0, 0)}, {{0, 0}, clBlue}}},
      {"fun_left_bottom", cxleFun, cxoLeftBottom, 3, cxlsNormal, -16,
       {{{0, 3}, RGB(170, 170, 170)}, {{1, 2}, RGB(85, 85, 85)}, {{2, 1}, RGB(0, 0, 0)},
        {{3, 0}, clBlue}}},
      {"no_effect_no_copies", cxleNormal, cxoRightBottom, 5, cxlsNormal, -16,
       {{{0, 0}, clBlack}}},
      {"depth_zero_no_copies", cxleExtrude, cxoRightBottom, 0, cxlsNormal, -16,
       {{{0, 0}, clBlack}}},
      // Raised and lowered letters keep their margin in from the orientation's side.
      {"raised_small", cxleNormal, cxoRightBottom, 0, cxlsRaised, -13,
       {{{1, 1}, hi}, {{2, 2}, clBlack}}},
      {"raised_large", cxleNormal, cxoRightBottom, 0, cxlsRaised, -16,
       {{{2, 2}, hi}, {{4, 4}, sh}, {{3, 3}, clBlack}}},
      {"raised_small_left_top", cxleNormal, cxoLeftTop, 0, cxlsRaised, -13,
       {{{0, 0}, hi}, {{1, 1}, clBlack}}},
      {"lowered_small", cxleNormal, cxoRightBottom, 0, cxlsLowered, -13,
       {{{3, 3}, hi}, {{2, 2}, clBlack}}},
      {"lowered_large", cxleNormal, cxoRightBottom, 0, cxlsLowered, -16,
       {{{2, 2}, sh}, {{4, 4}, hi}, {{3, 3}, clBlack}}},
      // The copies start beyond the margin; the letters come back to it.
      {"raised_with_extrusion", cxleExtrude, cxoRightBottom, 2, cxlsRaised, -16,
       {{{4, 4}, clRed}, {{3, 3}, clRed}, {{0, 0}, hi}, {{2, 2}, sh}, {{1, 1}, clBlack}}},
      // Without a TrueType font the outline falls back to ordinary letters.
      {"outline_of_a_raster_font", cxleNormal, cxoRightBottom, 0, cxlsOutLine, -16,
       {{{0, 0}, clBlack}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Info info("Ig", "MS Sans Serif", c.height);
    info.effect = c.effect;
    info.orientation = c.orientation;
    info.depth = c.depth;
    info.label_style = c.style;
    info.effect_offset = label_rules::EffectOffsets(c.effect, c.orientation, c.depth);
    if (c.effect == cxleFun) {
      info.shadowed_color = clBlack;
      info.text_color = clBlue;
    }
    ExpectDrawings(info, c.drawings, c.name);
  }
}

TEST(LabelRenderTest, WordWrapPutsTheNextWordOnTheNextLine) {
  Info word("Ig", "MS Sans Serif", -16);
  const int line = word.font.Handle()->TextMetrics().tmHeight;
  const int word_width = word.font.Handle()->TextWidth("Ig ");
  Info info("Ig Ig", "MS Sans Serif", -16);
  info.text_rect = {0, 0, word_width + 2, 40};  // room for one word and its blank
  info.word_wrap = true;
  // Compared with the one word: the same letters again one line lower.
  Info one("Ig", "MS Sans Serif", -16);
  one.text_rect = info.text_rect;
  const DeviceContext got = Render(info);
  const std::vector<TPoint> letters = LetterPixels(one);
  int matched = 0;
  for (const TPoint p : letters) {
    matched += got.GetPixel(p.X, p.Y) == ColorToRGB(clBlack);
    matched += got.GetPixel(p.X, p.Y + line) == ColorToRGB(clBlack);
  }
  EXPECT_EQ(matched, static_cast<int>(2 * letters.size()));
  EXPECT_EQ(BoxOf(got, clBlack).Height(), line + BoxOf(Render(one), clBlack).Height());
  // Rotated text never wraps: one line; a full turn is no rotation and wraps again.
  info.font.SetName("Arial");
  const int arial_line = info.font.Handle()->TextMetrics().tmHeight;
  info.angle = 360;
  EXPECT_GT(BoxOf(Render(info), clBlack).Height(), arial_line);
  info.angle = 90;
  info.text_rect = {0, 0, 60, 40};
  EXPECT_LE(BoxOf(Render(info), clBlack).Width(), arial_line);
}

TEST(LabelRenderTest, OutlineStrokesWithThePenWidthAndLeavesTheInsideOpen) {
  struct Case {
    int pen_width;
    bool inside_open;
  };
  const Case cases[] = {{1, true}, {9, false}};
  Info filled("I", "Arial", -36);
  const TRect letter = InkBox(Render(filled), Dark);
  ASSERT_GT(letter.Width(), 3);
  const TPoint middle{(letter.Left + letter.Right) / 2, (letter.Top + letter.Bottom) / 2};
  for (const Case& c : cases) {
    Info info("I", "Arial", -36);
    info.label_style = cxlsOutLine;
    info.pen_width = c.pen_width;
    const DeviceContext dc = Render(info);
    const TRect ink = InkBox(dc, NotWhite);
    // Half the pen lies outside the letter's edge.
    const int grow = c.pen_width / 2;
    EXPECT_NEAR(ink.Left, letter.Left - grow, 1) << c.pen_width;
    EXPECT_NEAR(ink.Right, letter.Right + grow, 1) << c.pen_width;
    EXPECT_EQ(dc.GetPixel(middle.X, middle.Y) == ColorToRGB(clWhite), c.inside_open) << c.pen_width;
  }
}

TEST(LabelRenderTest, GlyphFillsTheLettersInTilesFromTheOrigin) {
  // A 3 x 2 glyph whose every pixel has its own colour, none of them black or white.
  PixelImage tile(3, 2);
  std::map<std::uint32_t, TPoint> place_of;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      const std::uint32_t color = 0x204060u + static_cast<std::uint32_t>(x * 0x30 + y * 0x300000);
      tile.SetPixel(x, y, color);
      place_of[color] = {x, y};
    }
  }
  TBitmap glyph;
  glyph.SetPixels(tile);
  Info info("I", "Arial", -36);
  info.glyph = &glyph;
  const DeviceContext dc = Render(info);
  int tiled = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      const TColor rgb = dc.GetPixel(x, y);
      EXPECT_NE(rgb, ColorToRGB(clBlack)) << x << "," << y << ": the letters are filled";
      const std::uint32_t pixel = Pixel(rgb);
      const auto it = place_of.find(pixel);
      if (it == place_of.end()) continue;
      ++tiled;
      EXPECT_EQ(it->second.X, x % 3) << x << "," << y;
      EXPECT_EQ(it->second.Y, y % 2) << x << "," << y;
    }
  }
  EXPECT_GT(tiled, 40);
}

TEST(LabelRenderTest, RotatedTextIsCentredInTheAreaLeftBesideTheEffect) {
  struct Case {
    int angle;
    int depth;
  };
  const Case cases[] = {{90, 0}, {180, 0}, {270, 0}, {45, 0}, {90, 6}, {45, 6}};
  for (const Case& c : cases) {
    Info info("Ab", "Arial", -16);
    info.angle = c.angle;
    info.effect = cxleExtrude;
    info.orientation = cxoRightBottom;
    info.depth = c.depth;
    info.effect_offset = label_rules::EffectOffsets(cxleExtrude, cxoRightBottom, c.depth);
    const DeviceContext dc = Render(info);
    const TRect letters = InkBox(dc, Dark);
    ASSERT_FALSE(letters.IsEmpty()) << c.angle;
    // The letters' middle is the middle of the text area less the effect's depth.
    const double centre_x = (60 - c.depth) / 2.0;
    const double centre_y = (40 - c.depth) / 2.0;
    EXPECT_NEAR((letters.Left + letters.Right) / 2.0, centre_x, 4) << c.angle << " " << c.depth;
    EXPECT_NEAR((letters.Top + letters.Bottom) / 2.0, centre_y, 4) << c.angle << " " << c.depth;
    if (c.depth == 0) continue;
    // The copies reach from the letters one step each towards the bottom right.
    const TRect copies = InkBox(dc, Reddish);
    EXPECT_NEAR(copies.Right, letters.Right + c.depth, 1) << c.angle;
    EXPECT_NEAR(copies.Bottom, letters.Bottom + c.depth, 1) << c.angle;
  }
}

TEST(LabelRenderTest, AngleAppliesToTrueTypeFontsOnly) {
  struct Case {
    const char* face;
    int angle;
    bool swapped;  // the size is the unrotated one with width and height exchanged
  };
  const Case cases[] = {{"Arial", 90, true},          {"Arial", -270, true},
                        {"Arial", 360, false},        {"Arial", 720, false},
                        {"MS Sans Serif", 90, false}, {"MS Sans Serif", 45, false}};
  for (const Case& c : cases) {
    Info info("Ab", c.face, -13);
    const TFont& font = info.font;
    TcxLabelProperties flat;
    TcxLabelProperties turned;
    turned.SetAngle(c.angle);
    const TSize base = TcxCustomLabelViewData(flat).GetContentSize(font, "Data de final", -1);
    const TSize size = TcxCustomLabelViewData(turned).GetContentSize(font, "Data de final", -1);
    const TSize expected = c.swapped ? TSize{base.cy, base.cx} : base;
    EXPECT_NEAR(size.cx, expected.cx, 1) << c.face << " " << c.angle;
    EXPECT_NEAR(size.cy, expected.cy, 1) << c.face << " " << c.angle;
    // A raster font draws exactly as unrotated text.
    info.angle = c.angle;
    if (std::string(c.face) != "Arial") {
      EXPECT_EQ(BoxOf(Render(info), clBlack), BoxOf(Render(Info("Ab", c.face, -13)), clBlack));
    }
  }
}

TEST(LabelRenderTest, AcceleratorsAreStrippedFromRotatedText) {
  const std::pair<const char*, const char*> cases[] = {
      {"&Data", "Data"}, {"a&&b", "a&b"}, {"end&", "end_"}, {"", ""}};
  for (const auto& [text, shown] : cases) {
    EXPECT_EQ(label_rules::StripAccelerators(text), shown) << text;
  }
}

class LabelTest : public EditorTest {};

TEST_F(LabelTest, CaptionAndEditValueFollowEachOtherAndTheLabelSizesToIt) {
  auto* label = form_->Create<TcxLabel>();
  label->SetParent(form_);
  label->SetCaption("Nr zile CFS");
  EXPECT_EQ(VarToStr(label->EditValue()), "Nr zile CFS");
  label->SetEditValue(Variant("Sf\xC3\xA2rsitul perioadei="));
  EXPECT_EQ(label->Caption(), "Sf\xC3\xA2rsitul perioadei=");
  EXPECT_FALSE(label->TabStop());
  const int width = label->Width();
  label->Style().SetShadow(true);
  EXPECT_EQ(label->Width(), width + TcxContainer::kShadowSize);
  auto* target = AddField(10, 100);
  label->SetFocusControl(target);
  label->SetCaption("&Data");
  Show();
  EXPECT_TRUE(label->DialogChar(U'd'));
  EXPECT_TRUE(target->Focused());
  form_->RemoveComponent(target).reset();
  EXPECT_EQ(label->FocusControl(), nullptr);
}

}  // namespace
}  // namespace orlit::editors_testing
