#include <gtest/gtest.h>

#include "app/PeriodCalculation.h"
#include "app/Unit1.h"
#include "framework/Application.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/ProcessLauncher.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

// The main window shown on the headless desktop, with the launcher recording.
class PromotionPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto recorder = std::make_unique<RecordingProcessLauncher>();
    launches_ = recorder.get();
    previous_launcher_ = SetProcessLauncher(std::move(recorder));
    application_.CreateForm(Form1);
    Form1->Show();
    application_.ProcessMessages();
  }
  void TearDown() override {
    Form1 = nullptr;
    SetProcessLauncher(std::move(previous_launcher_));
  }

  const LookAndFeelModule look_and_feel_;
  HeadlessWindowSystem desktop_;
  TApplication application_{desktop_, "/opt/orlit/orlit_cfs"};
  RecordingProcessLauncher* launches_ = nullptr;
  std::unique_ptr<ProcessLauncher> previous_launcher_;
};

TEST_F(PromotionPanelTest, PanelAndPicturesSitAtTheirPlaces) {
  struct Place {
    const TControl* control;
    const TWinControl* parent;
    TRect bounds;
  };
  const Place places[] = {
      {Form1->cxGroupBox2, Form1, TRect::FromBounds(0, 332, 567, 169)},
      {Form1->cxMemo1, Form1->cxGroupBox2, TRect::FromBounds(2, 16, 560, 142)},
      {Form1->cxImage1, Form1->cxGroupBox2, TRect::FromBounds(336, 24, 157, 119)},
      {Form1->cxImage2, Form1, TRect::FromBounds(400, 168, 97, 37)},
  };
  for (const Place& p : places) {
    EXPECT_EQ(p.control->Parent(), p.parent) << p.control->Name();
    EXPECT_EQ(p.control->BoundsRect(), p.bounds) << p.control->Name();
  }
  EXPECT_EQ(Form1->cxImage1->Picture().Width(), 150);
  EXPECT_EQ(Form1->cxImage1->Picture().Height(), 112);
  EXPECT_EQ(Form1->cxImage2->Picture().Width(), 90);
  EXPECT_EQ(Form1->cxImage2->Picture().Height(), 30);
  EXPECT_EQ(Form1->cxImage2->Cursor(), crHandPoint);
}

TEST_F(PromotionPanelTest, EachClickOpensBothSitesWithItsShowCommand) {
  struct Case {
    TControl* control;
    int show_command;
  };
  const Case cases[] = {{Form1->cxImage1, 3}, {Form1->cxImage2, 3}, {Form1->cxMemo1, 2}};
  for (const Case& c : cases) {
    launches_->requests.clear();
    desktop_.Click(c.control->ClientToScreen({40, 20}));
    application_.ProcessMessages();
    ASSERT_EQ(launches_->requests.size(), 2u) << c.control->Name();
    EXPECT_EQ(launches_->requests[0].args, std::vector<std::string>{kFirstPromotionSite});
    EXPECT_EQ(launches_->requests[1].args, std::vector<std::string>{kSecondPromotionSite});
    for (const LaunchRequest& r : launches_->requests) {
      EXPECT_EQ(r.show_command, c.show_command) << c.control->Name();
    }
  }
}

}  // namespace
}  // namespace orlit
