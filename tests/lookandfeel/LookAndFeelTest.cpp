#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakeThemeService.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/LookAndFeelModule.h"

namespace orlit {
namespace {

using testing::FakeThemeService;
using testing::FakeThemeState;

// Records what it is told, under a name, into a shared log.
class RecordingListener : public TObject, public LookAndFeelChangeListener {
 public:
  RecordingListener(std::string name, std::vector<std::string>& log)
      : name_(std::move(name)), log_(log) {}
  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed) override {
    log_.push_back(name_ + ":" + (changed.Contains(lfvKind) ? "K" : "") +
                   (changed.Contains(lfvNativeStyle) ? "N" : ""));
    if (on_changed) on_changed(sender);
  }
  void MasterLookAndFeelDestroying(TcxLookAndFeel*) override { log_.push_back(name_ + ":gone"); }

  std::function<void(TcxLookAndFeel*)> on_changed;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

struct ChangeCounter {
  int calls = 0;
  TcxLookAndFeelValues last;
  void Attach(TcxLookAndFeel& lf) {
    lf.OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues values) {
      ++calls;
      last = values;
    };
  }
};

class LookAndFeelTest : public ::testing::Test {
 protected:
  LookAndFeelModule module_;
  TcxLookAndFeel& root_ = module_.Root();
};

TEST_F(LookAndFeelTest, RootDefaultsAndMarkingAssignedWithoutAnnouncement) {
  EXPECT_TRUE(root_.IsRoot());
  EXPECT_EQ(root_.EffectiveParent(), nullptr);
  TcxLookAndFeel lf;
  EXPECT_EQ(lf.EffectiveParent(), &root_);
  EXPECT_EQ(lf.Kind(), lfUltraFlat);
  EXPECT_FALSE(lf.NativeStyle());
  EXPECT_TRUE(lf.AssignedValues().Empty());
  ChangeCounter counter;
  counter.Attach(lf);
  lf.SetKind(lfUltraFlat);
  EXPECT_EQ(lf.AssignedValues(), TcxLookAndFeelValues(lfvKind));
  EXPECT_TRUE(lf.IsKindStored());
  EXPECT_FALSE(lf.IsNativeStyleStored());
  EXPECT_EQ(counter.calls, 0);
  lf.SetKind(lfFlat);
  EXPECT_EQ(counter.calls, 1);
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvKind));
  EXPECT_EQ(lf.Kind(), lfFlat);
  root_.SetMaster(&lf);
  EXPECT_EQ(root_.Master(), nullptr);
}

TEST_F(LookAndFeelTest, ChildFollowsRootAndTellsItsOwnListenersFirstToLast) {
  TcxLookAndFeel child;
  std::vector<std::string> log;
  RecordingListener a("a", log), b("b", log);
  child.AddChangeListener(&a);
  child.AddChangeListener(&b);
  child.AddChangeListener(&a);  // already there
  child.OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { log.push_back("handler"); };
  root_.SetKind(lfStandard);
  EXPECT_EQ(child.Kind(), lfStandard);
  EXPECT_EQ(log, (std::vector<std::string>{"a:K", "b:K", "handler"}));
  log.clear();
  root_.SetNativeStyle(true);
  EXPECT_TRUE(child.NativeStyle());
  EXPECT_EQ(log, (std::vector<std::string>{"a:N", "b:N", "handler"}));
  child.RemoveChangeListener(&a);
  child.RemoveChangeListener(&b);
}

TEST_F(LookAndFeelTest, AssignedKindIgnoresMasterKindButFollowsNativeStyle) {
  TcxLookAndFeel master;
  TcxLookAndFeel child;
  child.SetMaster(&master);
  child.SetKind(lfOffice11);
  ChangeCounter counter;
  counter.Attach(child);
  master.SetKind(lfFlat);
  EXPECT_EQ(child.Kind(), lfOffice11);
  EXPECT_EQ(counter.calls, 0);
  master.SetNativeStyle(true);
  EXPECT_TRUE(child.NativeStyle());
  EXPECT_EQ(counter.calls, 1);
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvNativeStyle));
}

TEST_F(LookAndFeelTest, ClearingAssignedValuesBringsBackInheritedOnes) {
  TcxLookAndFeel child;
  child.SetKind(lfStandard);
  child.SetNativeStyle(true);
  ChangeCounter counter;
  counter.Attach(child);
  child.SetAssignedValues(child.AssignedValues());
  EXPECT_EQ(counter.calls, 0);
  child.SetAssignedValues(lfvNativeStyle);
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  EXPECT_TRUE(child.NativeStyle());
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvKind));
  child.SetAssignedValues({});
  EXPECT_FALSE(child.NativeStyle());
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvNativeStyle));
  EXPECT_EQ(counter.calls, 2);
}

TEST_F(LookAndFeelTest, SetMasterIgnoresSelfCurrentParentAndLoops) {
  TcxLookAndFeel a, b, c;
  a.SetMaster(&a);
  EXPECT_EQ(a.Master(), nullptr);
  a.SetMaster(&root_);  // already its effective parent
  EXPECT_EQ(a.Master(), nullptr);
  b.SetMaster(&a);
  c.SetMaster(&b);
  a.SetMaster(&c);  // c inherits from a: a loop
  EXPECT_EQ(a.Master(), nullptr);
  a.SetKind(lfStandard);
  EXPECT_EQ(c.Kind(), lfStandard);
}

TEST_F(LookAndFeelTest, ChangingMasterAnnouncesOnlyWhatDiffers) {
  TcxLookAndFeel flat_master;
  flat_master.SetKind(lfFlat);
  TcxLookAndFeel child;
  ChangeCounter counter;
  counter.Attach(child);
  child.SetMaster(&flat_master);
  EXPECT_EQ(child.Kind(), lfFlat);
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvKind));
  child.SetMaster(nullptr);
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  EXPECT_EQ(counter.calls, 2);
  // No longer listening to the old master.
  flat_master.SetKind(lfStandard);
  EXPECT_EQ(counter.calls, 2);
}

TEST_F(LookAndFeelTest, MasterGoingAwayHandsTheChildToTheRoot) {
  auto master = std::make_unique<TcxLookAndFeel>();
  master->SetKind(lfStandard);
  TcxLookAndFeel child;
  child.SetMaster(master.get());
  ChangeCounter counter;
  counter.Attach(child);
  master.reset();
  EXPECT_EQ(child.Master(), nullptr);
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  EXPECT_EQ(counter.calls, 1);
  root_.SetKind(lfOffice11);
  EXPECT_EQ(child.Kind(), lfOffice11);
}

TEST_F(LookAndFeelTest, DestroyingTellsEveryListenerInOrder) {
  std::vector<std::string> log;
  RecordingListener a("a", log), b("b", log);
  {
    TcxLookAndFeel lf;
    lf.AddChangeListener(&a);
    lf.AddChangeListener(&b);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"a:gone", "b:gone"}));
}

TEST_F(LookAndFeelTest, AssignCopiesValuesAndTheSourcesParent) {
  TcxLookAndFeel master;
  master.SetNativeStyle(true);
  TcxLookAndFeel source;
  source.SetMaster(&master);
  source.SetKind(lfFlat);
  TcxLookAndFeel dest;
  ChangeCounter counter;
  counter.Attach(dest);
  dest.Assign(source);
  EXPECT_EQ(dest.Master(), &master);
  EXPECT_EQ(dest.Kind(), lfFlat);
  EXPECT_TRUE(dest.NativeStyle());
  EXPECT_EQ(dest.AssignedValues(), TcxLookAndFeelValues(lfvKind));
  EXPECT_EQ(counter.calls, 1);
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvKind, lfvNativeStyle));
  TcxLookAndFeel from_root;
  from_root.SetMaster(&master);
  from_root.Assign(root_);
  EXPECT_EQ(from_root.Master(), nullptr);
  EXPECT_FALSE(from_root.NativeStyle());
}

// A listener that unregisters itself (and possibly registers another) while being told must
// not make the next one miss the call.
TEST_F(LookAndFeelTest, SelfRemovingListenerDoesNotMakeTheNextOneMissTheCall) {
  struct Case {
    const char* name;
    bool also_add;
  };
  for (const Case& c : {Case{"remove", false}, Case{"remove and add", true}}) {
    SCOPED_TRACE(c.name);
    TcxLookAndFeel lf;
    std::vector<std::string> log;
    RecordingListener a("a", log), b("b", log), c_listener("c", log), late("late", log);
    lf.AddChangeListener(&a);
    lf.AddChangeListener(&b);
    lf.AddChangeListener(&c_listener);
    a.on_changed = [&](TcxLookAndFeel* sender) {
      sender->RemoveChangeListener(&a);
      if (c.also_add) sender->AddChangeListener(&late);
    };
    lf.SetKind(lfFlat);
    std::vector<std::string> expected = {"a:K", "b:K", "c:K"};
    if (c.also_add) expected.push_back("late:K");
    EXPECT_EQ(log, expected);
    lf.RemoveChangeListener(&b);
    lf.RemoveChangeListener(&c_listener);
    lf.RemoveChangeListener(&late);
  }
}

// Without a root only the object's own notifier speaks.
TEST(LookAndFeelSystemColours, ChangeAnnouncesNativeStyle) {
  ASSERT_EQ(TcxLookAndFeel::Root(), nullptr);
  TcxLookAndFeel lf;
  ChangeCounter counter;
  counter.Attach(lf);
  const std::pair<int, TColor> change[] = {{COLOR_BTNFACE, RGB(1, 2, 3)}};
  SetSysColors(change);
  ResetSysColors();
  EXPECT_EQ(counter.calls, 2);
  EXPECT_EQ(counter.last, TcxLookAndFeelValues(lfvNativeStyle));
}

TEST(LookAndFeelDefaults, PainterAndBorderStyleByKind) {
  struct Row {
    TcxLookAndFeelKind kind;
    TcxLookAndFeelPainterClass painter;
    TcxContainerBorderStyle border;
  };
  const Row rows[] = {
      {lfFlat, TcxFlatLookAndFeelPainter::Class(), cbsFlat},
      {lfStandard, TcxStandardLookAndFeelPainter::Class(), cbs3D},
      {lfUltraFlat, TcxUltraFlatLookAndFeelPainter::Class(), cbsUltraFlat},
      {lfOffice11, TcxOffice11LookAndFeelPainter::Class(), cbsOffice11},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GetPainterClass(row.kind), row.painter) << row.kind;
    EXPECT_EQ(GetDefaultEditBorderStyle(row.kind), row.border) << row.kind;
  }
}

TEST(LookAndFeelWithoutRoot, StandsAloneOnDefaults) {
  ASSERT_EQ(TcxLookAndFeel::Root(), nullptr);
  TcxLookAndFeel master;
  TcxLookAndFeel child;
  EXPECT_EQ(child.EffectiveParent(), nullptr);
  EXPECT_EQ(child.Kind(), lfUltraFlat);
  child.SetMaster(&master);
  master.SetKind(lfStandard);
  EXPECT_EQ(child.Kind(), lfStandard);
  EXPECT_EQ(child.Painter(), TcxStandardLookAndFeelPainter::Class());
}

TEST(LookAndFeelModuleTest, OnlyOneAtATime) {
  LookAndFeelModule module;
  EXPECT_THROW(LookAndFeelModule second, Exception);
  EXPECT_EQ(TcxLookAndFeel::Root(), &module.Root());
}

class PainterSelectionTest : public ::testing::Test {
 protected:
  std::shared_ptr<FakeThemeState> theme_ = std::make_shared<FakeThemeState>();
};

TEST_F(PainterSelectionTest, NativeOnlyWhereTheServiceIsUsable) {
  struct Case {
    const char* name;
    bool library;
    bool active;
    TcxLookAndFeelPainterClass expected;
  };
  const Case cases[] = {
      {"usable", true, true, TcxWinXPLookAndFeelPainter::Class()},
      {"no active theme", true, false, TcxFlatLookAndFeelPainter::Class()},
      {"no library", false, true, TcxFlatLookAndFeelPainter::Class()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    theme_->library_present = c.library;
    theme_->theme_active = c.active;
    LookAndFeelModule module(std::make_unique<FakeThemeService>(theme_));
    TcxLookAndFeel lf;
    lf.SetKind(lfFlat);
    EXPECT_EQ(lf.Painter(), TcxFlatLookAndFeelPainter::Class());
    lf.SetNativeStyle(true);
    EXPECT_EQ(lf.Painter(), c.expected);
    lf.SetPainterOverride(TcxOffice11LookAndFeelPainter::Class());
    EXPECT_EQ(lf.Painter(), TcxOffice11LookAndFeelPainter::Class());
  }
}

TEST_F(PainterSelectionTest, PainterForOneObjectIsNativeOnlyWhenItsThemeOpens) {
  LookAndFeelModule module(std::make_unique<FakeThemeService>(theme_));
  TcxLookAndFeel lf;
  lf.SetKind(lfStandard);
  EXPECT_EQ(lf.Painter(ThemedObject::kEdit), TcxStandardLookAndFeelPainter::Class());
  lf.SetNativeStyle(true);
  EXPECT_EQ(lf.Painter(ThemedObject::kEdit), TcxWinXPLookAndFeelPainter::Class());
  EXPECT_EQ(lf.Painter(ThemedObject::kClock), TcxStandardLookAndFeelPainter::Class());
}

}  // namespace
}  // namespace orlit
