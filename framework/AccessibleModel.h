#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/AccessibleControl.h"
#include "platform/Accessible.h"

namespace orlit {

class TControl;
class TCustomForm;

// The accessible tree of the program: the application at its root, its shown forms, their
// controls. Nodes are made when first asked for and go with their controls. While a bridge is
// current, Update (called by the application when it goes idle) reports what changed since the
// last time: text inserted and deleted, windows shown and activated, the focus, the caret. So a
// calculation that writes seven log lines is one insertion, and a message box that follows comes
// after its lines.
class AccessibleModel {
 public:
  // Makes the node of a control of a kind it knows; null for others.
  using Factory = std::function<std::unique_ptr<TAccessibleControl>(TControl& control)>;

  static AccessibleModel& Instance();

  AccessibleNode& Root();
  TAccessibleControl& NodeOf(TControl& control);
  // The layout's facts; FindFacts answers null when the layout gave none.
  AccessibleFacts& Facts(const TControl& control);
  const AccessibleFacts* FindFacts(const TControl& control) const;
  // Whether `control` still exists, for requests that run later.
  bool Knows(const TControl& control) const { return nodes_.count(&control) != 0; }
  // From the control's destructor: its node and facts go.
  void Forget(const TControl& control);
  // The control the form's focus is on as the tree shows it: an editor rather than its inner edit.
  TControl* FocusedControl(TCustomForm& form);
  // Factories added later are asked first.
  void AddFactory(Factory factory);

  // From the form's destructor, while it still is a form: a shown one leaves the tree.
  void FormGone(TCustomForm& form);
  // From the form when its focus moves, so that every step of a quick chain of moves is told.
  void NoteFocus(TCustomForm& form);
  // Reports the changes since the last call to the current bridge; nothing without one.
  void Update();

 private:
  struct TextState {
    std::string contents;
    int caret = 0;
  };

  AccessibleModel();
  void CollectTextNodes(TControl& control, std::vector<TControl*>* out);
  void ReportText(TControl& control, AccessibilityBridge& bridge);

  std::unique_ptr<AccessibleNode> root_;
  std::vector<Factory> factories_;
  std::map<const TControl*, std::unique_ptr<TAccessibleControl>> nodes_;
  std::map<const TControl*, AccessibleFacts> facts_;
  // What was last reported.
  std::set<TControl*> shown_;  // forms
  TControl* active_ = nullptr;  // a form
  TControl* focused_ = nullptr;
  std::vector<TControl*> focus_moves_;  // since the last report, in order
  std::map<const TControl*, TextState> texts_;
};

}  // namespace orlit
