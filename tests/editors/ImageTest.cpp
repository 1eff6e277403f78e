#include <gtest/gtest.h>

#include <functional>

#include "EditorsFixture.h"
#include "editors/ImageEdit.h"
#include "platform/BmpCodec.h"

namespace orlit::editors_testing {
namespace {

TEST(ImageGeometryTest, PictureRectangleByStretchAndCenter) {
  struct Case {
    std::string name;
    TRect client;
    int width, height;
    bool stretch, center;
    TPoint scroll;
    TRect expected;
  };
  const Case cases[] = {
      {"stretched_wide_picture_centred",
       {0, 0, 200, 200},
       100,
       50,
       true,
       true,
       {},
       {0, 50, 200, 150}},
      {"stretched_tall_picture_centred",
       {2, 2, 202, 102},
       30,
       60,
       true,
       true,
       {},
       {77, 2, 127, 102}},
      {"stretched_at_the_corner", {2, 2, 202, 102}, 30, 60, true, false, {}, {2, 2, 52, 102}},
      {"equal_ratios_fill_the_client",
       {0, 0, 150, 112},
       150,
       112,
       true,
       true,
       {},
       {0, 0, 150, 112}},
      {"products_truncate", {0, 0, 10, 10}, 3, 7, true, false, {}, {0, 0, 4, 10}},
      {"own_size_centred", {0, 0, 100, 100}, 41, 20, false, true, {}, {29, 40, 70, 60}},
      {"larger_picture_shows_its_middle",
       {0, 0, 100, 100},
       141,
       300,
       false,
       true,
       {},
       {-20, -100, 121, 200}},
      {"scrolled", {1, 1, 101, 101}, 300, 300, false, false, {16, 8}, {-15, -7, 285, 293}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        TcxImageViewData::PictureRect(c.client, c.width, c.height, c.stretch, c.center, c.scroll),
        c.expected)
        << c.name;
  }
}

// A bitmap whose every pixel tells its place: the colour (x, y, 0x40).
PixelImage Tagged(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.SetPixel(x, y, (static_cast<std::uint32_t>(x) << 16) | (y << 8) | 0x40);
    }
  }
  return image;
}

class ImageTest : public EditorTest {
 protected:
  TcxImage* AddImage(const PixelImage& picture) {
    auto* image = form_->Create<TcxImage>();
    image->SetParent(form_);
    image->SetBounds(10, 10, 140, 100);
    image->Style().SetShadow(true);
    image->Properties().SetStretch(true);
    image->SetAutoSize(true);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixels(picture);
    image->Picture().SetGraphic(std::move(bitmap));
    return image;
  }
};

TEST_F(ImageTest, AutoSizedStretchedPictureIsDrawnAtItsOwnSize) {
  struct Case {
    int width, height, control_width, control_height;
  };
  const Case cases[] = {{150, 112, 157, 119}, {90, 30, 97, 37}};
  for (const Case& c : cases) {
    TcxImage* image = AddImage(Tagged(c.width, c.height));
    Show();
    EXPECT_EQ(image->Width(), c.control_width);
    EXPECT_EQ(image->Height(), c.control_height);
    // Border 1, focus ring 1: the picture's first pixel at 2, 2, its last one unscaled.
    EXPECT_EQ(PixelAt(image, {2, 2}), 0x000040u);
    EXPECT_EQ(PixelAt(image, {2 + c.width - 1, 2 + c.height - 1}),
              (static_cast<std::uint32_t>(c.width - 1) << 16) | ((c.height - 1) << 8) | 0x40);
    image->SetParent(nullptr);
  }
}

TEST_F(ImageTest, ClickTakesTheFocusAndFramesIt) {
  TcxImage* image = AddImage(Tagged(90, 30));
  image->SetTabStop(false);
  AddField(10, 100);
  Show();
  EXPECT_NE(PixelAt(image, {1, 1}), 0u);
  Click(image, {20, 10});
  EXPECT_TRUE(image->Focused());
  EXPECT_EQ(PixelAt(image, {1, 1}), 0u);
  EXPECT_EQ(PixelAt(image, {1, 20}), 0u);
  EXPECT_EQ(PixelAt(image, {2, 2}), 0x000040u) << "the frame stays off the picture";
  image->Properties().SetShowFocusRect(false);
  EXPECT_EQ(PixelAt(image, {1, 1}), Pixel(clWindow));
}

TEST_F(ImageTest, LosingTheFocusTakesTheFocusedLookAway) {
  struct Case {
    const char* name;
    std::function<void()> lose_focus;
  };
  TcxImage* image = AddImage(Tagged(90, 30));
  TcxTextEdit* field = AddField(10, 150);
  image->SetTabOrder(0);
  field->SetTabOrder(1);
  const Case cases[] = {
      {"click", [&] { Click(field); }},
      {"tab", [&] { Press(VK_TAB); }},
      {"minimise", [&] { desktop_.MinimizeFromTaskbar(form_->Window()->Id()); }},
  };
  Show();
  for (const Case& c : cases) {
    Click(image, {20, 10});
    ASSERT_TRUE(image->VisualState().Contains(EditVisualState::kFocused)) << c.name;
    c.lose_focus();
    app_.ProcessMessages();
    EXPECT_FALSE(image->VisualState().Contains(EditVisualState::kFocused)) << c.name;
    if (form_->Window()->Minimized()) {
      desktop_.RestoreFromTaskbar(form_->Window()->Id());
      field->SetFocus();
      app_.ProcessMessages();
      continue;
    }
    // What the screen shows, not a fresh drawing: the focus frame is gone there too.
    const TPoint corner = Screen(image, {1, 1});
    EXPECT_NE(desktop_.Screen().Pixel(corner.X, corner.Y), 0u) << c.name;
  }
}

TEST_F(ImageTest, TransparentGraphicShowsTheBackground) {
  PixelImage picture = Tagged(20, 20);
  picture.SetPixel(0, 19, 0x00FF00FF);  // the bitmap's transparent colour: bottom-left
  picture.SetPixel(5, 5, 0x00FF00FF);
  TcxImage* image = AddImage(picture);
  image->Style().SetColor(clYellow);
  Show();
  EXPECT_EQ(PixelAt(image, {7, 7}), 0xFF00FFu);
  image->Properties().SetGraphicTransparency(gtTransparent);
  image->Picture().SetGraphic(image->Picture().Graphic());
  EXPECT_EQ(PixelAt(image, {7, 7}), Pixel(clYellow));
  EXPECT_EQ(PixelAt(image, {8, 8}), (6u << 16) | (6u << 8) | 0x40);
}

TEST_F(ImageTest, LargePictureScrollsInSteps) {
  TcxImage* image = AddImage(Tagged(200, 20));
  image->SetAutoSize(false);
  image->Properties().SetStretch(false);
  image->Properties().SetCenter(false);
  image->SetBounds(10, 10, 107, 47);  // a 100 x 40 client area
  Show();
  image->ScrollBy(3, 0);
  EXPECT_EQ(image->ScrollPos(), (TPoint{24, 0}));
  EXPECT_EQ(PixelAt(image, {2, 2}), (24u << 16) | 0x40);
  image->ScrollBy(100, 1);
  EXPECT_EQ(image->ScrollPos(), (TPoint{100, 0})) << "no further than the picture's end";
  image->Picture().SetGraphic(image->Picture().Graphic());
  EXPECT_EQ(image->ScrollPos(), (TPoint{0, 0})) << "a new picture starts at the top left";
}

TEST_F(ImageTest, EditValueIsTheGraphicsFile) {
  TcxImage* image = AddImage(Tagged(3, 2));
  const std::vector<std::uint8_t> bmp = EncodeBmp(Tagged(3, 2));
  const std::string file(bmp.begin(), bmp.end());
  EXPECT_EQ(image->EditValue(), Variant(file));
  const std::uint32_t length = static_cast<std::uint32_t>(file.size());
  const std::string header{1, 0, 0, 1, static_cast<char>(length), static_cast<char>(length >> 8),
                           0, 0};
  struct Case {
    std::string name;
    Variant value;
    int width;
  };
  const Case cases[] = {
      {"with_header", Variant(header + file), 3},
      {"unreadable", Variant(std::string("BMnot a bitmap")), 0},
      {"plain_file", Variant(file), 3},
      {"null", Variant::Null(), 0},
  };
  for (const Case& c : cases) {
    image->SetEditValue(c.value);
    EXPECT_EQ(image->Picture().Width(), c.width) << c.name;
    EXPECT_EQ(image->EditValue(), c.value) << c.name;
  }
}

TEST(ImagePropertiesTest, GraphicKindsAndTheirStoredName) {
  TcxImageProperties properties;
  EXPECT_EQ(properties.GraphicClassName(), "TBitmap");
  EXPECT_FALSE(properties.IsGraphicClassNameStored());
  properties.SetGraphicClassName("TJPEGImage");
  EXPECT_TRUE(properties.IsGraphicClassNameStored());
  properties.SetIsGraphicClassNameEmpty(true);
  EXPECT_TRUE(properties.IsGraphicClassNameEmpty());
  EXPECT_EQ(properties.GetGraphicClass(nullptr).class_name, "TBitmap");
  properties.OnGetGraphicClass = [](TObject*, const TGraphicClass*& kind) {
    kind = FindGraphicClass("TIcon");
  };
  EXPECT_EQ(properties.GetGraphicClass(nullptr).class_name, "TIcon");
  std::vector<std::string_view> order;
  for (const TGraphicClass& kind : GraphicClasses()) order.push_back(kind.class_name);
  EXPECT_EQ(order, (std::vector<std::string_view>{"TBitmap", "TIcon", "TMetafile", "TJPEGImage"}));
}

}  // namespace
}  // namespace orlit::editors_testing
