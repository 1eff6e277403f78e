#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "framework/AccessibleModel.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/ProcessLauncher.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/headless/RecordingAccessibilityBridge.h"

namespace orlit {
namespace {

// The shown window with a recording bridge; message boxes are answered with Enter once the
// bridge has been told of them.
class AccessibleWindow {
 public:
  AccessibleWindow() {
    previous_launcher_ = SetProcessLauncher(std::make_unique<RecordingProcessLauncher>());
    desktop_.SetIdleHandler([this] {
      if (dynamic_cast<TMessageBoxForm*>(application_.ActiveForm()) != nullptr) {
        desktop_.PressKey(VK_RETURN);
      }
    });
    application_.CreateForm(Form1);
    Form1->Show();
    application_.ProcessMessages();
  }
  ~AccessibleWindow() {
    Form1 = nullptr;
    SetProcessLauncher(std::move(previous_launcher_));
  }

  AccessibleNode& Node(const char* name) {
    return AccessibleModel::Instance().NodeOf(*static_cast<TControl*>(Form1->FindComponent(name)));
  }
  void Focus(const char* name) {
    static_cast<TWinControl*>(Form1->FindComponent(name))->SetFocus();
    application_.ProcessMessages();
  }
  void Type(const char* typed) {
    desktop_.TypeText(typed);
    application_.ProcessMessages();
  }
  // Lets requests made through the tree run, as the loop does a moment later.
  void RunRequests() {
    desktop_.AdvanceTime(1);
    application_.ProcessMessages();
  }

  RecordingAccessibilityBridge bridge;

 private:
  const LookAndFeelModule look_and_feel_;
  HeadlessWindowSystem desktop_;
  TApplication application_{desktop_, "/opt/orlit/orlit_cfs"};
  std::unique_ptr<ProcessLauncher> previous_launcher_;
};

std::vector<std::string> RelationNames(const AccessibleNode& node) {
  std::vector<std::string> names;
  for (const AccessibleRelation& r : node.Relations()) {
    names.push_back(std::string(r.type == AccessibleRelationType::kLabelFor ? "for " : "by ") +
                    r.target->Name());
  }
  return names;
}

TEST(AccessibilityTest, EachControlHasItsRoleNameStatesAndRelations) {
  AccessibleWindow window;
  constexpr AccessibleStates kField =
      kStateFocusable | kStateEditable | kStateSingleLine | kStateEnabled;
  struct Case {
    const char* control;
    AccessibleRole role;
    std::string name;
    AccessibleStates has;
    AccessibleStates lacks;
    std::vector<std::string> relations;
    std::vector<std::string> actions;
  } cases[] = {
      {"cxMaskEdit1",
       AccessibleRole::kEntry,
       "Data de final a perioadei",
       kField | kStateFocused,
       kStateReadOnly,
       {"by Data de final a perioadei"},
       {}},
      {"cxTextEdit1",
       AccessibleRole::kEntry,
       "Nr zile CFS",
       kField,
       kStateFocused,
       {"by Nr zile CFS"},
       {}},
      {"cxTextEdit2",
       AccessibleRole::kEntry,
       "Nr zile lucratoare/lun\xC3\xA4",
       kField,
       0,
       {"by Nr zile lucratoare/lun\xC3\xA4"},
       {}},
      {"cxTextEdit3",
       AccessibleRole::kEntry,
       "End of the period (the result)",
       kField,
       0,
       {"by Sf\xC3\xA2rsitul perioadei"},
       {}},
      {"cxTextEdit4", AccessibleRole::kEntry, "Spare field 1", kField, 0, {"by "}, {}},
      {"cxLabel3",
       AccessibleRole::kLabel,
       "Sf\xC3\xA2rsitul perioadei",
       0,
       kStateFocusable,
       {"for End of the period (the result)"},
       {}},
      {"cxMemo2",
       AccessibleRole::kText,
       "Calculation log",
       kStateReadOnly | kStateMultiLine | kStateFocusable,
       kStateEditable,
       {},
       {}},
      {"cxMemo1",
       AccessibleRole::kText,
       "Orlit Soft contact",
       kStateReadOnly,
       kStateFocusable,
       {},
       {"click"}},
      {"cxGroupBox2", AccessibleRole::kPanel, "Promovare", kStateShowing, 0, {}, {}},
      {"cxImage1", AccessibleRole::kImage, "Orlit Soft logo", kStateEnabled, 0, {}, {"click"}},
      {"stri3",
       AccessibleRole::kPushButton,
       "Minimise",
       kStateEnabled | kStateSensitive,
       0,
       {},
       {"click"}},
      {"stri4",
       AccessibleRole::kPushButton,
       "Maximise",
       0,
       kStateEnabled | kStateSensitive,
       {},
       {}},
      {"stri5", AccessibleRole::kPushButton, "Close", kStateEnabled, 0, {}, {"click"}},
      {"strlabel", AccessibleRole::kLabel, "Orlit_CFS by Orlit Soft", kStateShowing, 0, {}, {}},
      {"stri1", AccessibleRole::kImage, "", 0, kStateFocusable, {}, {}},
      {"str2", AccessibleRole::kPanel, "", 0, kStateFocusable, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    AccessibleNode& node = window.Node(c.control);
    EXPECT_EQ(node.Role(), c.role);
    EXPECT_EQ(node.Name(), c.name);
    EXPECT_EQ(node.States() & c.has, c.has);
    EXPECT_EQ(node.States() & c.lacks, 0u);
    EXPECT_EQ(RelationNames(node), c.relations);
    EXPECT_EQ(node.Actions(), c.actions);
  }
  AccessibleNode& frame = AccessibleModel::Instance().NodeOf(*Form1);
  EXPECT_EQ(frame.Role(), AccessibleRole::kFrame);
  EXPECT_EQ(frame.Name(), "Orlit_CFS by Orlit Soft");
  EXPECT_EQ(frame.Parent(), &AccessibleModel::Instance().Root());
  // Every control that takes the focus can be told apart by its name alone.
  std::vector<AccessibleNode*> pending{&frame};
  while (!pending.empty()) {
    AccessibleNode* node = pending.back();
    pending.pop_back();
    if (node->States() & kStateFocusable) {
      EXPECT_FALSE(node->Name().empty()) << RoleName(node->Role());
    }
    for (AccessibleNode* child : node->Children()) {
      EXPECT_EQ(child->Parent(), node);
      pending.push_back(child);
    }
  }
}

// Whether `expected` appear in `events` in this order, others between them allowed.
bool InOrder(const std::vector<std::string>& events, const std::vector<std::string>& expected) {
  auto at = events.begin();
  for (const std::string& line : expected) {
    at = std::find(at, events.end(), line);
    if (at == events.end()) return false;
    ++at;
  }
  return true;
}

std::vector<std::string> Matching(const std::vector<std::string>& events,
                                  const std::string& start) {
  std::vector<std::string> found;
  for (const std::string& e : events) {
    if (e.rfind(start, 0) == 0) found.push_back(e);
  }
  return found;
}

TEST(AccessibilityTest, ChangesAreReportedOncePerHandledInput) {
  const std::string log = "insert Calculation log";
  struct Step {
    const char* field;  // focused first; null: where the focus is
    const char* typed;
  };
  struct Case {
    const char* name;
    std::vector<Step> before;  // before the events are taken
    const char* typed;
    std::vector<std::string> in_order;
    int log_inserts;
    int log_lines;  // lines the last insertion into the log carries
  } cases[] = {
      {"Tab", {}, "\t", {"focused- Data de final a perioadei", "focused+ Nr zile CFS"}, 0, 0},
      {"typing over the selected text",
       {{"cxTextEdit1", ""}},
       "7",
       {"delete Nr zile CFS @0 65", "insert Nr zile CFS @0 7", "caret Nr zile CFS @1"},
       0,
       0},
      {"the Enter chain: every focus move, the result and the log at once",
       {},
       "\r\r\r",
       {"insert End of the period (the result) @0 15.08.83", "focused+ Nr zile CFS",
        "focused+ Nr zile lucratoare/lun\xC3\xA4", "focused+ End of the period (the result)"},
       1,
       7},
      {"a failure: its lines, then the alert",
       {{nullptr, "\r\r\r"}, {"cxMaskEdit1", "999999"}},
       "\r\r\r",
       {"add orlit_cfs/orlit_cfs", "activate orlit_cfs", "focused+ OK",
        "remove orlit_cfs/orlit_cfs"},
       1,
       3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AccessibleWindow window;
    for (const Step& step : c.before) {
      if (step.field != nullptr) window.Focus(step.field);
      window.Type(step.typed);
    }
    window.bridge.Take();
    window.Type(c.typed);
    const std::vector<std::string> events = window.bridge.Take();
    EXPECT_TRUE(InOrder(events, c.in_order)) << ::testing::PrintToString(events);
    const std::vector<std::string> inserts = Matching(events, log);
    ASSERT_EQ(static_cast<int>(inserts.size()), c.log_inserts) << ::testing::PrintToString(events);
    if (inserts.empty()) continue;
    std::istringstream lines(inserts.back().substr(inserts.back().find(' ', log.size() + 1) + 1));
    int count = 0;
    for (std::string line; std::getline(lines, line);) count += line.empty() ? 0 : 1;
    EXPECT_EQ(count, c.log_lines);
    // The log's lines come before anything about the box.
    const auto box = std::find(events.begin(), events.end(), "add orlit_cfs/orlit_cfs");
    EXPECT_LT(std::find(events.begin(), events.end(), inserts.back()), box);
  }
}

TEST(AccessibilityTest, EditingThroughTheTreeFollowsTheTypingRules) {
  struct Case {
    const char* field;
    const char* contents;
    std::string expected;
  } cases[] = {
      {"cxTextEdit1", "30", "30"},
      {"cxMaskEdit1", "24.12.99", "24.12.99"},
      {"cxMaskEdit1", "ab", "31.10.83"},  // the mask takes no letters
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.contents);
    AccessibleWindow window;
    AccessibleText& text = *window.Node(c.field).Text();
    text.SetContents(c.contents);
    window.RunRequests();
    EXPECT_EQ(text.Contents(), c.expected);
  }
  AccessibleWindow window;
  window.Node("cxTextEdit2").GrabFocus();
  window.RunRequests();
  EXPECT_TRUE(InOrder(window.bridge.Take(), {"focused+ Nr zile lucratoare/lun\xC3\xA4"}));
  AccessibleText& log = *window.Node("cxMemo2").Text();
  EXPECT_FALSE(log.Editable());
}

}  // namespace
}  // namespace orlit
