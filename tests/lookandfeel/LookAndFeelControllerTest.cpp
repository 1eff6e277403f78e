#include <gtest/gtest.h>

#include <memory>

#include "lookandfeel/LookAndFeelController.h"
#include "lookandfeel/LookAndFeelModule.h"

namespace orlit {
namespace {

class LookAndFeelControllerTest : public ::testing::Test {
 protected:
  LookAndFeelModule module_;
  TcxLookAndFeel& root_ = module_.Root();
};

TEST_F(LookAndFeelControllerTest, EditsTheRootAndIsCountedOnce) {
  EXPECT_EQ(LookAndFeelControllerCount(), 0);
  auto controller = MakeComponent<TcxLookAndFeelController>();
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
  root_.AddChangeListener(controller.get());
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
  EXPECT_EQ(controller->Kind(), lfUltraFlat);
  EXPECT_FALSE(controller->NativeStyle());
  controller->SetKind(lfStandard);
  controller->SetNativeStyle(true);
  EXPECT_EQ(root_.Kind(), lfStandard);
  EXPECT_TRUE(root_.NativeStyle());
  EXPECT_EQ(root_.AssignedValues(), TcxLookAndFeelValues(lfvKind, lfvNativeStyle));
}

TEST_F(LookAndFeelControllerTest, OnlyTheRootTakesAController) {
  auto controller = MakeComponent<TcxLookAndFeelController>();
  TcxLookAndFeel lf;
  lf.AddChangeListener(controller.get());
  lf.SetKind(lfFlat);  // would call the controller if it were listening
  lf.RemoveChangeListener(controller.get());
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
}

TEST_F(LookAndFeelControllerTest, RemovingTheLastResetsTheRootAndTellsEveryControl) {
  auto first = MakeComponent<TcxLookAndFeelController>();
  auto second = MakeComponent<TcxLookAndFeelController>();
  TcxLookAndFeel control_a, control_b;
  int told_a = 0, told_b = 0;
  control_a.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { ++told_a; };
  control_b.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { ++told_b; };
  first->SetKind(lfOffice11);
  first->SetNativeStyle(true);
  ASSERT_EQ(control_a.Kind(), lfOffice11);
  told_a = told_b = 0;
  first.reset();
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
  EXPECT_EQ(root_.Kind(), lfOffice11);
  EXPECT_EQ(told_a, 0);
  second.reset();
  EXPECT_EQ(LookAndFeelControllerCount(), 0);
  EXPECT_TRUE(root_.AssignedValues().Empty());
  EXPECT_EQ(root_.Kind(), lfUltraFlat);
  EXPECT_FALSE(root_.NativeStyle());
  EXPECT_EQ(control_a.Kind(), lfUltraFlat);
  EXPECT_FALSE(control_b.NativeStyle());
  EXPECT_EQ(told_a, 1);
  EXPECT_EQ(told_b, 1);
}

TEST(LookAndFeelControllerWithoutRoot, ReadsDefaultsAndOutlivesTheRoot) {
  auto orphan = MakeComponent<TcxLookAndFeelController>();
  EXPECT_EQ(orphan->Kind(), lfUltraFlat);
  orphan->SetKind(lfFlat);
  EXPECT_EQ(orphan->Kind(), lfUltraFlat);
  std::unique_ptr<TcxLookAndFeelController> survivor;
  {
    LookAndFeelModule module;
    survivor = MakeComponent<TcxLookAndFeelController>();
    survivor->SetKind(lfFlat);
    EXPECT_EQ(LookAndFeelControllerCount(), 1);
  }
  EXPECT_EQ(LookAndFeelControllerCount(), 0);
  survivor.reset();  // its root is gone: nothing to unregister from
  LookAndFeelModule next;
  EXPECT_EQ(next.Root().Kind(), lfUltraFlat);
  EXPECT_EQ(LookAndFeelControllerCount(), 0);
}

}  // namespace
}  // namespace orlit
