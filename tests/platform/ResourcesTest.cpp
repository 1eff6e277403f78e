#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "platform/Resources.h"
#include "platform/StoredPicture.h"

namespace orlit {
namespace {

StoredPicture Stored(std::string_view name) {
  const auto data = FindResource(name);
  if (!data) {
    ADD_FAILURE() << "no resource " << name;
    return {};
  }
  return ReadStoredPicture(*data);
}

int Red(std::uint32_t p) { return static_cast<int>(p >> 16); }
int Green(std::uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); }
int Blue(std::uint32_t p) { return static_cast<int>(p & 0xFF); }
bool IsReddish(std::uint32_t p) { return Red(p) > Green(p) + 80 && Red(p) > Blue(p) + 80; }
bool IsGrey(std::uint32_t p) {
  return std::abs(Red(p) - Green(p)) < 16 && std::abs(Green(p) - Blue(p)) < 16;
}

TEST(ResourcesTest, WindowPicturesHaveTheirKindsAndSizes) {
  const struct {
    const char* name;
    std::string_view class_name;
    int width, height;
  } cases[] = {
      {"stri1", kJpegClassName, 1220, 30},
      {"stri2", kBitmapClassName, 60, 30},
      {"MAINICON", kBitmapClassName, 32, 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StoredPicture picture = Stored(c.name);
    EXPECT_EQ(picture.class_name, c.class_name);
    const PixelImage image = DecodeGraphic(picture.class_name, picture.data);
    EXPECT_EQ(image.Width(), c.width);
    EXPECT_EQ(image.Height(), c.height);
    if (c.class_name == kBitmapClassName) {
      ASSERT_GT(picture.data.size(), 29u);
      EXPECT_EQ(picture.data[28], 24) << "bits per pixel";
    }
  }
}

TEST(ResourcesTest, TitleBarGlowsRedInTheMiddleOnly) {
  const PixelImage bar = DecodeStoredPicture(*FindResource("stri1"));
  EXPECT_TRUE(IsReddish(bar.Pixel(610, 16)));
  EXPECT_TRUE(IsGrey(bar.Pixel(20, 16)));
  EXPECT_TRUE(IsGrey(bar.Pixel(1200, 16)));
}

TEST(ResourcesTest, ButtonsLieUnderTheirClickAreas) {
  const PixelImage strip = DecodeStoredPicture(*FindResource("stri2"));
  // Click areas: minimise x 1..17, maximise 17..33, close 33..57, all from y 8 down.
  for (const int x : {6, 22, 38}) EXPECT_TRUE(IsReddish(strip.Pixel(x, 12))) << x;
  for (const int x : {18, 34, 54}) EXPECT_FALSE(IsReddish(strip.Pixel(x, 16))) << x;
  EXPECT_TRUE(IsGrey(strip.Pixel(54, 16)));
  EXPECT_TRUE(IsGrey(strip.Pixel(30, 2)));
}

TEST(ResourcesTest, IconKeepsToSixteenColoursWithATransparentCorner) {
  const PixelImage icon = DecodeStoredPicture(*FindResource("MAINICON"));
  const std::set<std::uint32_t> classic = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (const std::uint32_t p : icon.Pixels()) EXPECT_TRUE(classic.contains(p)) << std::hex << p;
  EXPECT_EQ(icon.TransparentColor(), 0xFF00FFu);
}

TEST(ResourcesTest, LookupIsExactAndTheTableSorted) {
  EXPECT_FALSE(FindResource("mainicon"));
  EXPECT_FALSE(FindResource("stri"));
  EXPECT_FALSE(FindResource(""));
  const auto entries = EmbeddedResources();
  EXPECT_TRUE(std::is_sorted(
      entries.begin(), entries.end(),
      [](const ResourceEntry& a, const ResourceEntry& b) { return a.name < b.name; }));
  for (const ResourceEntry& e : entries) {
    const auto found = FindResource(e.name);
    ASSERT_TRUE(found) << e.name;
    EXPECT_EQ(found->data(), e.data.data());
  }
}

}  // namespace
}  // namespace orlit
