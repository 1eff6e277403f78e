#include <gtest/gtest.h>

#include <string>

#include "EditorsFixture.h"
#include "editors/Label.h"
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
  TCanvas canvas(dc);
  info.Render(canvas, info.text_rect);
  return dc;
}

TEST(LabelRenderTest, EffectCopiesLieTowardsTheOrientation) {
  struct Case {
    TcxLabelEffect effect;
    TcxLabelOrientation orientation;
    int depth;
    TPoint letters;     // offset of the letters from where plain text stands
    TRect copies_grow;  // how far the red copies reach beyond the plain letters' box
  };
  const Case cases[] = {
      {cxleExtrude, cxoRightBottom, 3, {0, 0}, {0, 0, 3, 3}},
      {cxleExtrude, cxoLeftTop, 2, {2, 2}, {0, 0, 0, 0}},
      {cxleCool, cxoLeft, 4, {4, 0}, {0, 0, 0, 0}},
      {cxleCool, cxoBottom, 4, {0, 0}, {0, 4, 0, 4}},
      {cxleNormal, cxoRightBottom, 5, {0, 0}, {}},
      {cxleExtrude, cxoRightBottom, 0, {0, 0}, {}},
  };
  const TRect plain = BoxOf(Render(Info("I", "MS Sans Serif", -16)), clBlack);
  ASSERT_FALSE(plain.IsEmpty());
  for (const Case& c : cases) {
    Info info("I", "MS Sans Serif", -16);
    info.effect = c.effect;
    info.orientation = c.orientation;
    info.depth = c.depth;
    info.effect_offset = label_rules::EffectOffsets(c.effect, c.orientation, c.depth);
    const DeviceContext dc = Render(info);
    EXPECT_EQ(BoxOf(dc, clBlack), plain.Offset(c.letters.X, c.letters.Y))
        << c.effect << c.orientation;
    const TRect copies = BoxOf(dc, clRed);
    if (c.copies_grow.IsEmpty() && (c.effect == cxleNormal || c.depth == 0)) {
      EXPECT_TRUE(copies.IsEmpty()) << c.effect;
      continue;
    }
    // The copies together span the plain box moved over the whole depth.
    const TRect both = {std::min(copies.Left, BoxOf(dc, clBlack).Left),
                        std::min(copies.Top, BoxOf(dc, clBlack).Top),
                        std::max(copies.Right, BoxOf(dc, clBlack).Right),
                        std::max(copies.Bottom, BoxOf(dc, clBlack).Bottom)};
    const TPoint reach = label_rules::EffectOffsets(c.effect, c.orientation, c.depth);
    EXPECT_EQ(both.Width(), plain.Width() + reach.X) << c.effect << c.orientation;
    EXPECT_EQ(both.Height(), plain.Height() + reach.Y) << c.effect << c.orientation;
  }
}

TEST(LabelRenderTest, FunCopiesBlendFromTheBackgroundToTheShadow) {
  Info info("I", "MS Sans Serif", -16);
  info.effect = cxleFun;
  info.orientation = cxoRight;
  info.depth = 2;
  info.shadowed_color = clBlack;
  info.text_color = clBlue;
  info.effect_offset = label_rules::EffectOffsets(cxleFun, cxoRight, 2);
  const DeviceContext dc = Render(info);
  EXPECT_FALSE(BoxOf(dc, RGB(127, 127, 127)).IsEmpty());
  EXPECT_FALSE(BoxOf(dc, clBlack).IsEmpty());
  EXPECT_FALSE(BoxOf(dc, clBlue).IsEmpty());
}

TEST(LabelRenderTest, RaisedLettersDrawTwiceBelowTwelvePointsAndThriceFrom) {
  TestPalette palette;
  for (int height : {-13, -16}) {
    Info info("I", "MS Sans Serif", height);
    const TFont& font = info.font;
    info.label_style = cxlsRaised;
    info.background_color = clYellow;
    const DeviceContext dc = Render(info);
    const TRect highlight = BoxOf(dc, clBtnHighlight);
    const TRect letters = BoxOf(dc, clBlack);
    EXPECT_EQ(letters.Left - 1, highlight.Left) << height;
    EXPECT_EQ(BoxOf(dc, clBtnShadow).IsEmpty(), font.Size() < 12) << height;
    TcxLabelProperties properties;
    properties.SetLabelStyle(cxlsRaised);
    const TcxCustomLabelViewData data(properties);
    TcxLabelProperties plain_properties;
    const TcxCustomLabelViewData plain(plain_properties);
    const TSize grown = data.GetContentSize(font, "Abc", -1);
    const TSize base = plain.GetContentSize(font, "Abc", -1);
    const int margin = font.Size() < 12 ? 1 : 2;
    EXPECT_EQ(grown.cx - base.cx, margin) << height;
    EXPECT_EQ(grown.cy - base.cy, margin) << height;
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
