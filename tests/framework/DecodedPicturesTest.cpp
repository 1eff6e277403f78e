#include <gtest/gtest.h>

#include "platform/RawPixels.h"
#include "platform/Resources.h"
#include "platform/StoredPicture.h"

namespace orlit {
namespace {

// What the build stored decoded must be what the codec makes of the stored bytes now, for every
// JPEG picture and for nothing else.
TEST(DecodedPicturesTest, EveryJpegPictureIsStoredAsItsCodecDecodesIt) {
  int jpegs = 0;
  for (const ResourceEntry& entry : EmbeddedResources()) {
    SCOPED_TRACE(entry.name);
    const StoredPicture stored = ReadStoredPicture(entry.data);
    const auto decoded = FindResource(entry.name, DecodedResources());
    ASSERT_EQ(decoded.has_value(), stored.class_name == kJpegClassName);
    if (!decoded) continue;
    ++jpegs;
    EXPECT_EQ(ReadRawPixels(*decoded), DecodeGraphic(stored.class_name, stored.data));
  }
  EXPECT_EQ(static_cast<std::size_t>(jpegs), DecodedResources().size());
  EXPECT_GT(jpegs, 0);
}

}  // namespace
}  // namespace orlit
