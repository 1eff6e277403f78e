#include <gtest/gtest.h>

#include "platform/FileChooser.h"

namespace orlit {
namespace {

TEST(FileChooserTest, FiltersAreReadAndDefaultExtensionsAdded) {
  const std::vector<FileFilter> filters =
      ParseFileFilter("Bitmaps (*.bmp)|*.bmp|JPEG (*.jpg)| *.jpg ; *.jpeg|Nothing||Dangling");
  ASSERT_EQ(filters, (std::vector<FileFilter>{{"Bitmaps (*.bmp)", {"*.bmp"}},
                                              {"JPEG (*.jpg)", {"*.jpg", "*.jpeg"}}}));
  EXPECT_EQ(WithDefaultExtension("/a.b/logo", "bmp"), "/a.b/logo.bmp");
  EXPECT_EQ(WithDefaultExtension("/a/logo.jpg", "bmp"), "/a/logo.jpg");
  EXPECT_EQ(WithDefaultExtension("/a/.hidden", "bmp"), "/a/.hidden.bmp");
}

}  // namespace
}  // namespace orlit
