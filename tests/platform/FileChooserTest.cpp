#include <gtest/gtest.h>

#include "platform/FileChooser.h"

namespace orlit {
namespace {

TEST(FileChooserTest, FiltersAreReadAndMatchedWithoutCase) {
  const std::vector<FileFilter> filters =
      ParseFileFilter("Bitmaps (*.bmp)|*.bmp|JPEG (*.jpg)| *.jpg ; *.jpeg|Nothing||Dangling");
  ASSERT_EQ(filters, (std::vector<FileFilter>{{"Bitmaps (*.bmp)", {"*.bmp"}},
                                              {"JPEG (*.jpg)", {"*.jpg", "*.jpeg"}}}));
  struct Case {
    std::string path;
    bool matches;
  } cases[] = {
      {"/home/a/logo.BMP", true}, {"x.jpeg", true},    {"/pics.jpg/logo", false},
      {"/tmp/", false},           {"logo.png", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchesFileFilters(filters, c.path), c.matches) << c.path;
  EXPECT_TRUE(MatchesFileFilters({}, "anything"));
  EXPECT_EQ(WithDefaultExtension("/a.b/logo", "bmp"), "/a.b/logo.bmp");
  EXPECT_EQ(WithDefaultExtension("/a/logo.jpg", "bmp"), "/a/logo.jpg");
  EXPECT_EQ(WithDefaultExtension("/a/.hidden", "bmp"), "/a/.hidden.bmp");
}

}  // namespace
}  // namespace orlit
