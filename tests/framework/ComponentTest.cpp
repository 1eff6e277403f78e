#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/Component.h"

namespace orlit {
namespace {

// Labels by address: a component that is going away is only half there, so its notifications
// can name it only by pointer.
std::map<const TComponent*, std::string>& Labels() {
  static std::map<const TComponent*, std::string> labels;
  return labels;
}

// Records its own end and the notifications it receives into a shared log.
class Probe : public TComponent {
 public:
  Probe(std::string label, std::vector<std::string>* log) : label_(std::move(label)), log_(log) {
    Labels()[this] = label_;
  }
  ~Probe() override { log_->push_back("~" + label_); }

  const std::string& Label() const { return label_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component != nullptr) {
      log_->push_back(label_ + " heard " + Labels()[component] + " go");
    }
    TComponent::Notification(component, operation);
  }
  void Loaded() override {
    log_->push_back("loaded " + label_);
    TComponent::Loaded();
  }

 private:
  std::string label_;
  std::vector<std::string>* log_;
};

class LoadingOwner : public Probe {
 public:
  using Probe::Probe;
  void StartLoading() { BeginLoading(); }
};

TEST(ComponentTest, OwnerFreesOwnedComponentsLastCreatedFirst) {
  std::vector<std::string> log;
  {
    auto owner = MakeComponent<Probe>("owner", &log);
    owner->Create<Probe>("a", &log);
    owner->Create<Probe>("b", &log);
    EXPECT_EQ(owner->ComponentCount(), 2);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"~owner", "~b", "~a"}));
}

TEST(ComponentTest, DeletingAnOwnedComponentDirectlyLeavesTheOwnerConsistent) {
  std::vector<std::string> log;
  auto owner = MakeComponent<Probe>("owner", &log);
  Probe* a = owner->Create<Probe>("a", &log);
  owner->Create<Probe>("b", &log);
  delete a;
  EXPECT_EQ(owner->ComponentCount(), 1);
  owner.reset();
  // "a" went once; the owner and through it "b" heard of it, and "b" went with the owner.
  EXPECT_EQ(log,
            (std::vector<std::string>{"~a", "owner heard a go", "b heard a go", "~owner", "~b"}));
}

TEST(ComponentTest, RemoveComponentHandsOwnershipBack) {
  std::vector<std::string> log;
  auto owner = MakeComponent<Probe>("owner", &log);
  Probe* a = owner->Create<Probe>("a", &log);
  std::unique_ptr<TComponent> taken = owner->RemoveComponent(a);
  ASSERT_EQ(taken.get(), a);
  EXPECT_EQ(a->Owner(), nullptr);
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_EQ(owner->RemoveComponent(a), nullptr);
  owner.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"owner heard a go", "~owner"}));
}

TEST(ComponentTest, FreeNotificationWorksBothWaysAndCanBeUndone) {
  std::vector<std::string> log;
  auto x = MakeComponent<Probe>("x", &log);
  auto y = MakeComponent<Probe>("y", &log);
  auto z = MakeComponent<Probe>("z", &log);
  x->FreeNotification(y.get());
  x->FreeNotification(z.get());
  x->RemoveFreeNotification(z.get());
  y.reset();
  x.reset();
  EXPECT_EQ(log, (std::vector<std::string>{"~y", "x heard y go", "~x"}));
}

TEST(ComponentTest, NamesAreIdentifiersUniqueWithinTheOwner) {
  auto owner = MakeComponent<TComponent>();
  TComponent* a = owner->Create<TComponent>();
  TComponent* b = owner->Create<TComponent>();
  a->SetName("Edit1");
  EXPECT_EQ(owner->FindComponent("edit1"), a);
  EXPECT_EQ(owner->FindComponent("Edit2"), nullptr);
  EXPECT_EQ(owner->FindComponent(""), nullptr);

  struct Case {
    const char* name;
    const char* error;
  };
  const Case cases[] = {
      {"EDIT1", "A component named EDIT1 already exists"},
      {"1abc", "'1abc' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"ă", "'ă' is not a valid component name"},
  };
  for (const Case& c : cases) {
    try {
      b->SetName(c.name);
      ADD_FAILURE() << c.name;
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), c.error);
    }
  }
  b->SetName("_b2");
  a->SetName("");
  b->SetName("Edit1");
  EXPECT_EQ(owner->FindComponent("EDIT1"), b);
}

TEST(ComponentTest, ComponentsCreatedWhileLoadingEndLoadingOwnedFirst) {
  std::vector<std::string> log;
  auto owner = MakeComponent<LoadingOwner>("form", &log);
  owner->StartLoading();
  Probe* a = owner->Create<Probe>("a", &log);
  Probe* inner = a->Create<Probe>("inner", &log);
  EXPECT_TRUE(a->Loading());
  EXPECT_TRUE(inner->Loading());
  owner->EndLoading();
  EXPECT_FALSE(owner->Loading());
  EXPECT_FALSE(inner->Loading());
  EXPECT_EQ(log, (std::vector<std::string>{"loaded inner", "loaded a", "loaded form"}));
  auto later = owner->Create<Probe>("later", &log);
  EXPECT_FALSE(later->Loading());
}

TEST(PersistentTest, AssigningUnrelatedClassesNamesBoth) {
  auto a = MakeComponent<TComponent>();
  auto b = MakeComponent<TComponent>();
  try {
    a->Assign(*b);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TComponent");
  }
}

}  // namespace
}  // namespace orlit
