#include "FrameworkFixture.h"
#include "framework/Bitmap.h"
#include "framework/DirtyRegion.h"
#include "framework/Image.h"
#include "framework/JpegImage.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "platform/JpegCodec.h"

namespace orlit {
namespace {

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

TEST(DirtyRegionTest, KeepsFewRectanglesAndDropsCoveredOnes) {
  struct Case {
    std::vector<TRect> added;
    std::vector<TRect> kept;
  };
  const Case cases[] = {
      {{{0, 0, 0, 5}}, {}},
      {{{0, 0, 10, 10}, {2, 2, 5, 5}}, {{0, 0, 10, 10}}},
      {{{2, 2, 5, 5}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
      {{{0, 0, 5, 5}, {10, 10, 15, 15}}, {{0, 0, 5, 5}, {10, 10, 15, 15}}},
  };
  for (const Case& c : cases) {
    DirtyRegion region;
    for (const TRect& r : c.added) region.Add(r);
    EXPECT_EQ(region.Rects(), c.kept);
  }
  DirtyRegion many;
  for (int i = 0; i <= static_cast<int>(DirtyRegion::kMaxRects); ++i) {
    many.Add(TRect::FromBounds(i * 10, i, 5, 5));
  }
  EXPECT_EQ(many.Rects(), (std::vector<TRect>{{0, 0, 85, 13}}));
}

std::unique_ptr<TBitmap> Bitmap(int width, int height, std::uint32_t fill,
                                std::uint32_t bottom_left) {
  PixelImage image(width, height, fill);
  image.SetPixel(0, height - 1, bottom_left);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixels(image);
  return bitmap;
}

class PaintTest : public FrameworkTest {
 protected:
  void SetUp() override {
    form_ = NewForm<TForm>();
    form_->SetBounds(300, 200, 120, 80);
    panel_ = form_->Create<TPanel>();
    panel_->SetParent(form_);
    panel_->SetBounds(10, 10, 40, 30);
    label_ = form_->Create<TLabel>();
    label_->SetParent(form_);
    label_->SetBounds(60, 10, 1, 1);
    label_->SetCaption("ab");
    image_ = form_->Create<TImage>();
    image_->SetParent(form_);
    image_->SetBounds(60, 40, 4, 4);
    image_->Picture().SetGraphic(Bitmap(4, 4, kBlue, kRed));
  }
  std::uint32_t Pixel(const PixelImage& image, int x, int y) const { return image.Pixel(x, y); }

  TForm* form_ = nullptr;
  TPanel* panel_ = nullptr;
  TLabel* label_ = nullptr;
  TImage* image_ = nullptr;
};

TEST_F(PaintTest, ControlsPaintThemselvesAtTheirPlaces) {
  const PixelImage image = form_->RenderImage();
  ASSERT_EQ(image.Width(), 120);
  const std::uint32_t face = ColorToPixel(clBtnFace);
  struct Case {
    TPoint at;
    std::uint32_t pixel;
  };
  const Case cases[] = {
      {{0, 0}, face},
      {{10, 10}, ColorToPixel(clBtnHighlight)},  // raised bevel: light top-left
      {{48, 10}, ColorToPixel(clBtnHighlight)},
      {{49, 10}, ColorToPixel(clBtnShadow)},  // dark bottom-right
      {{49, 39}, ColorToPixel(clBtnShadow)},
      {{10, 39}, ColorToPixel(clBtnShadow)},
      {{11, 11}, face},
      {{50, 40}, face},
      {{61, 40}, kBlue},
      {{60, 43}, kRed},  // opaque: the bottom-left pixel is drawn
      {{64, 44}, face},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Pixel(image, c.at.X, c.at.Y), c.pixel) << c.at.X << "," << c.at.Y;
  }
}

TEST_F(PaintTest, TransparencyStretchAndCentring) {
  form_->SetColor(clWhite);
  image_->SetTransparent(true);
  PixelImage image = form_->RenderImage();
  EXPECT_EQ(Pixel(image, 60, 43), 0xFFFFFFu);  // the bottom-left colour shows the form
  EXPECT_EQ(Pixel(image, 61, 43), kBlue);

  PixelImage two(2, 1);
  two.SetPixel(0, 0, kRed);
  two.SetPixel(1, 0, kBlue);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixels(two);
  image_->Picture().SetGraphic(std::move(bitmap));
  image_->SetTransparent(false);
  image_->SetBounds(60, 40, 20, 10);
  image_->SetStretch(true);
  image = form_->RenderImage();
  EXPECT_EQ(Pixel(image, 60, 40), kRed);
  EXPECT_EQ(Pixel(image, 69, 49), kRed);
  EXPECT_EQ(Pixel(image, 70, 40), kBlue);
  EXPECT_EQ(Pixel(image, 79, 49), kBlue);

  image_->SetStretch(false);
  image_->SetCenter(true);
  image = form_->RenderImage();
  EXPECT_EQ(Pixel(image, 69, 44), kRed);
  EXPECT_EQ(Pixel(image, 70, 44), kBlue);
  EXPECT_EQ(Pixel(image, 68, 44), 0xFFFFFFu);

  // JPEG knows no transparent colour.
  auto jpeg = std::make_unique<TJPEGImage>();
  jpeg->LoadFromBytes(EncodeJpeg(PixelImage(4, 4, 0x000000), 100));
  image_->Picture().SetGraphic(std::move(jpeg));
  image_->SetCenter(false);
  EXPECT_FALSE(image_->Picture().Graphic()->Transparent());
  image = form_->RenderImage();
  EXPECT_EQ(Pixel(image, 60, 43), 0u);
}

TEST_F(PaintTest, OpaqueAndTransparentLabels) {
  label_->SetColor(clYellow);
  PixelImage image = form_->RenderImage();
  const TRect r = label_->BoundsRect();
  int yellow = 0;
  int text = 0;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      const std::uint32_t p = Pixel(image, x, y);
      yellow += p == ColorToPixel(clYellow);
      text += p == ColorToPixel(clWindowText);
    }
  }
  EXPECT_GT(text, 10);
  EXPECT_EQ(yellow + text, r.Width() * r.Height());
  label_->SetTransparent(true);
  image = form_->RenderImage();
  EXPECT_EQ(Pixel(image, r.Right - 1, r.Top), ColorToPixel(clBtnFace));
}

TEST_F(PaintTest, TheWindowShowsWhatTheFormRenders) {
  ShowAndSettle(form_);
  const auto* window = desktop_.Window(form_->Window()->Id());
  EXPECT_EQ(window->pixels, form_->RenderImage());
  EXPECT_TRUE(form_->Dirty().Empty());

  // Also after what changed while it was hidden.
  form_->SetVisible(false);
  label_->SetColor(clYellow);
  app_.ProcessMessages();
  form_->SetVisible(true);
  app_.ProcessMessages();
  EXPECT_EQ(window->pixels, form_->RenderImage());
}

TEST_F(PaintTest, OnlyTheDirtyRegionIsPaintedAndPresented) {
  ShowAndSettle(form_);
  const auto* window = desktop_.Window(form_->Window()->Id());
  const int presents = window->present_count;
  const PixelImage before = window->pixels;

  const TRect old_rect = label_->BoundsRect();
  label_->SetCaption("abcdef");
  const TRect new_rect = label_->BoundsRect();
  ASSERT_GT(new_rect.Width(), old_rect.Width());
  EXPECT_EQ(form_->Dirty().Rects(), (std::vector<TRect>{new_rect}));
  app_.ProcessMessages();
  EXPECT_EQ(window->present_count, presents + 1);
  EXPECT_EQ(window->last_dirty, new_rect);
  int changed_outside = 0;
  for (int y = 0; y < before.Height(); ++y) {
    for (int x = 0; x < before.Width(); ++x) {
      if (!new_rect.Contains({x, y}) && before.Pixel(x, y) != window->pixels.Pixel(x, y)) {
        ++changed_outside;
      }
    }
  }
  EXPECT_EQ(changed_outside, 0);
  EXPECT_EQ(window->pixels, form_->RenderImage());

  // Moving a control repaints where it was and where it is.
  panel_->SetLeft(12);
  EXPECT_EQ(form_->Dirty().Rects(), (std::vector<TRect>{{10, 10, 50, 40}, {12, 10, 52, 40}}));
  app_.ProcessMessages();
  // Hidden controls ask for nothing; nothing to paint means nothing presented.
  label_->SetVisible(false);
  app_.ProcessMessages();
  const int after_hide = window->present_count;
  label_->Invalidate();
  label_->SetCaption("x");
  EXPECT_TRUE(form_->Dirty().Empty());
  app_.ProcessMessages();
  EXPECT_EQ(window->present_count, after_hide);
}

TEST_F(PaintTest, AFormRendersWithoutEverBeingShown) {
  const PixelImage first = form_->RenderImage();
  const PixelImage second = form_->RenderImage();
  EXPECT_EQ(first, second);
  EXPECT_EQ(form_->Window(), nullptr);
  label_->SetCaption("changed");
  EXPECT_NE(form_->RenderImage(), first);
}

}  // namespace
}  // namespace orlit
