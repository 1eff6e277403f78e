#include <gtest/gtest.h>

#include <memory>

#include "EditorsFixture.h"
#include "lookandfeel/FakeThemeService.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "lookandfeel/ThemeService.h"

namespace orlit::editors_testing {
namespace {

using orlit::testing::FakeThemeColor;
using orlit::testing::FakeThemeService;
using orlit::testing::FakeThemeState;

// The desktop's visual style in force, with a theme that knows the edit part.
class NativeStyleTest : public EditorTest {
 protected:
  NativeStyleTest()
      : module_(std::make_unique<FakeThemeService>(std::make_shared<FakeThemeState>())) {}
  ~NativeStyleTest() override {
    // The editors go before the look and feel they were drawn with.
    if (field_ != nullptr) form_->RemoveComponent(field_).reset();
  }

  LookAndFeelModule module_;
  TcxTextEdit* field_ = nullptr;
};

TEST_F(NativeStyleTest, NoShadowStripAndNoShadowEvenWithShadowSet) {
  field_ = AddField(10, 10);
  field_->Style().LookAndFeel().SetNativeStyle(true);
  Show();
  ASSERT_TRUE(field_->IsNativeStyle());
  EXPECT_TRUE(field_->Style().Shadow());
  EXPECT_FALSE(field_->HasShadow());
  EXPECT_FALSE(field_->ViewInfo().shadow);
  EXPECT_EQ(field_->HotArea(), field_->ClientRect());
  EXPECT_EQ(field_->Height(), 24);  // the strip is no longer reserved
  // Where the shadow would lie the theme's frame is drawn.
  const std::uint32_t frame = Pixel(FakeThemeColor(EP_EDITTEXT, ETS_FOCUSED));
  EXPECT_EQ(PixelAt(field_, {field_->Width() - 1, 10}), frame);
  EXPECT_EQ(PixelAt(field_, {10, field_->Height() - 1}), frame);
}

TEST_F(NativeStyleTest, DisabledBackgroundIsTheThemesFill) {
  field_ = AddField(10, 10);
  field_->Style().LookAndFeel().SetNativeStyle(true);
  field_->SetEnabled(false);
  Show();
  EXPECT_EQ(field_->ViewInfo().background_color, FakeThemeColor(EP_EDITTEXT, ETS_DISABLED));
  EXPECT_EQ(field_->ViewInfo().native_state, ETS_DISABLED);
}

}  // namespace
}  // namespace orlit::editors_testing
