#include <gtest/gtest.h>

#include <sstream>

#include "framework/Bitmap.h"
#include "framework/Image.h"
#include "framework/JpegImage.h"
#include "framework/Picture.h"
#include "platform/BmpCodec.h"
#include "platform/PictureError.h"
#include "platform/StoredPicture.h"

namespace orlit {
namespace {

std::vector<std::uint8_t> Stored(const PixelImage& image, std::string_view class_name) {
  return WriteStoredPicture(EncodeGraphic(image, class_name));
}

TEST(PictureTest, StoredDataPicksTheGraphicClass) {
  struct Case {
    std::string_view class_name;
    bool is_jpeg;
  };
  const Case cases[] = {{kBitmapClassName, false}, {kJpegClassName, true}};
  for (const Case& c : cases) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&changes](TObject*) { ++changes; };
    picture.LoadFromStoredData(Stored(PixelImage(60, 30, 0x102030), c.class_name));
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(dynamic_cast<TJPEGImage*>(picture.Graphic()) != nullptr, c.is_jpeg);
    EXPECT_EQ(picture.Graphic()->StoredClassName(), c.class_name);
    EXPECT_EQ(picture.Width(), 60);
    EXPECT_EQ(picture.Height(), 30);
    EXPECT_EQ(changes, 1);
  }
}

TEST(PictureTest, AFailedLoadKeepsThePreviousPicture) {
  TPicture picture;
  picture.LoadFromStoredData(Stored(PixelImage(4, 2), kBitmapClassName));
  const StoredPicture unknown{"TMetafile", {1, 2, 3}};
  EXPECT_THROW(picture.LoadFromStoredData(WriteStoredPicture(unknown)), EInvalidGraphic);
  const StoredPicture corrupt{std::string(kJpegClassName), {0xFF, 0xD8, 0x00}};
  EXPECT_THROW(picture.LoadFromStoredData(WriteStoredPicture(corrupt)), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 4);
  picture.LoadFromStoredData(WriteStoredPicture(StoredPicture{}));
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(PictureTest, GraphicsLoadFromStreamsAndCopyDeeply) {
  std::istringstream stream(std::string([] {
    const auto bytes = EncodeBmp(PixelImage(3, 5, 0xABCDEF));
    return std::string(bytes.begin(), bytes.end());
  }()));
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Image().Pixel(1, 1), 0xABCDEFu);

  TPicture first;
  first.SetGraphic(&bitmap);
  TPicture second;
  second.Assign(first);
  first.Graphic()->SetTransparent(true);
  EXPECT_FALSE(second.Graphic()->Transparent());
  EXPECT_NE(first.Graphic(), second.Graphic());
  EXPECT_THROW(bitmap.Assign(TJPEGImage()), EConvertError);
}

TEST(PictureTest, AnAutoSizedImageTakesItsPicturesSizeInTheFreeDirections) {
  auto image = MakeComponent<TImage>();
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 105);  // no picture: the size stays
  image->Picture().LoadFromStoredData(Stored(PixelImage(60, 30), kBitmapClassName));
  EXPECT_EQ(image->BoundsRect(), (TRect{0, 0, 60, 30}));
  image->SetAlign(alTop);
  image->SetBounds(0, 0, 62, 10);
  EXPECT_EQ(image->BoundsRect(), (TRect{0, 0, 62, 30}));
}

}  // namespace
}  // namespace orlit
