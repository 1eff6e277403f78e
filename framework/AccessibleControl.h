#pragma once

#include <string>
#include <vector>

#include "platform/Accessible.h"

namespace orlit {

class TControl;
class TCustomForm;

// What the layout says of a control for assistive technology, beyond what the control knows.
struct AccessibleFacts {
  std::string name;
  std::string description;
  std::string label_for;  // the control this caption names, by its component name
  bool has_role = false;
  AccessibleRole role = AccessibleRole::kPanel;
};

// A control as assistive technology sees it. This class answers for the framework's own kinds
// (forms, labels, pictures, panels, dialog buttons); the libraries above register kinds of their
// own with AccessibleModel::AddFactory.
class TAccessibleControl : public AccessibleNode {
 public:
  explicit TAccessibleControl(TControl& control) : control_(control) {}

  TControl& Control() const { return control_; }

  AccessibleRole Role() const override;
  std::string Name() const override;
  std::string Description() const override;
  AccessibleNode* Parent() const override;
  std::vector<AccessibleNode*> Children() const override;
  AccessibleStates States() const override;
  std::vector<AccessibleRelation> Relations() const override;
  TRect Extents() const override;
  TPoint WindowOrigin() const override;
  void GrabFocus() override;
  AccessibleText* Text() override { return nullptr; }
  // "click" for a control with a click handler; it does what a left click does.
  std::vector<std::string> Actions() const override;
  void DoAction(int index) override;
  std::vector<std::pair<std::string, std::string>> Attributes() const override;
  // The control's inner controls are its own business (an editor's inner edit): they are not in
  // the tree, and the focus on them is the focus on this control.
  virtual bool HidesChildren() const { return false; }

 protected:
  // The role when the layout names none.
  virtual AccessibleRole DefaultRole() const;
  // The name the control gives itself (a caption's text) when the layout gives none.
  virtual std::string OwnName() const;

 private:
  TControl& control_;
};

// The text of a caption or message as assistive technology reads it: without accelerator marks
// ("&&" stays one "&"), without a trailing "=" and surrounding spaces.
std::string SpokenCaption(const std::string& caption);

}  // namespace orlit
