#include "framework/AccessibleControl.h"

#include <algorithm>

#include "convert/Translation.h"
#include "framework/AccessibleModel.h"
#include "framework/Application.h"
#include "framework/DialogParts.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/MessageBox.h"
#include "framework/WinControl.h"

namespace orlit {

namespace {

// The form that holds `control`, the control itself for a form.
TCustomForm* FormOf(TControl& control) {
  TControl* at = &control;
  while (at->Parent() != nullptr) at = at->Parent();
  return dynamic_cast<TCustomForm*>(at);
}

void EachControl(TControl& control, const std::function<void(TControl&)>& visit) {
  visit(control);
  if (auto* container = dynamic_cast<TWinControl*>(&control)) {
    for (int i = 0; i < container->ControlCount(); ++i) EachControl(*container->Controls(i), visit);
  }
}

}  // namespace

std::string SpokenCaption(const std::string& caption) {
  std::string spoken;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') spoken += caption[++i];
      continue;
    }
    spoken += caption[i];
  }
  auto is_space = [](char c) { return c == ' ' || c == '\t'; };
  while (!spoken.empty() && (is_space(spoken.back()) || spoken.back() == '=')) spoken.pop_back();
  const auto first = std::find_if_not(spoken.begin(), spoken.end(), is_space);
  return std::string(first, spoken.end());
}

AccessibleRole TAccessibleControl::Role() const {
  const AccessibleFacts* facts = AccessibleModel::Instance().FindFacts(control_);
  return facts != nullptr && facts->has_role ? facts->role : DefaultRole();
}

AccessibleRole TAccessibleControl::DefaultRole() const {
  if (dynamic_cast<const TMessageBoxForm*>(&control_) != nullptr) return AccessibleRole::kAlert;
  if (dynamic_cast<const TCustomForm*>(&control_) != nullptr) return AccessibleRole::kFrame;
  if (dynamic_cast<const TLabel*>(&control_) != nullptr) return AccessibleRole::kLabel;
  if (dynamic_cast<const TImage*>(&control_) != nullptr) return AccessibleRole::kImage;
  if (dynamic_cast<const TDialogButton*>(&control_) != nullptr) {
    return AccessibleRole::kPushButton;
  }
  return AccessibleRole::kPanel;
}

std::string TAccessibleControl::OwnName() const {
  switch (DefaultRole()) {
    case AccessibleRole::kFrame:
    case AccessibleRole::kAlert:
    case AccessibleRole::kLabel:
    case AccessibleRole::kPushButton:
      return SpokenCaption(control_.Caption());
    default:
      return {};
  }
}

std::string TAccessibleControl::Name() const {
  const AccessibleFacts* facts = AccessibleModel::Instance().FindFacts(control_);
  // The layout's texts are English and shown in the user's language.
  if (facts != nullptr && !facts->name.empty()) return Translate(facts->name.c_str());
  std::string own = OwnName();
  if (!own.empty()) return own;
  for (const AccessibleRelation& relation : Relations()) {
    if (relation.type != AccessibleRelationType::kLabelledBy) continue;
    const std::string caption = relation.target->Name();
    if (!caption.empty()) return caption;
  }
  return {};
}

std::string TAccessibleControl::Description() const {
  const AccessibleFacts* facts = AccessibleModel::Instance().FindFacts(control_);
  return facts != nullptr && !facts->description.empty() ? Translate(facts->description.c_str())
                                                         : std::string();
}

AccessibleNode* TAccessibleControl::Parent() const {
  AccessibleModel& model = AccessibleModel::Instance();
  if (control_.Parent() == nullptr) return &model.Root();
  return &model.NodeOf(*control_.Parent());
}

std::vector<AccessibleNode*> TAccessibleControl::Children() const {
  std::vector<AccessibleNode*> children;
  auto* container = dynamic_cast<TWinControl*>(&control_);
  if (container == nullptr || HidesChildren()) return children;
  // Controls are kept front to back; the tree reads in the order they were placed.
  for (int i = container->ControlCount() - 1; i >= 0; --i) {
    TControl* child = container->Controls(i);
    if (child->Visible()) children.push_back(&AccessibleModel::Instance().NodeOf(*child));
  }
  return children;
}

AccessibleStates TAccessibleControl::States() const {
  AccessibleStates states = 0;
  if (control_.Visible()) states |= kStateVisible;
  if (control_.Showing()) states |= kStateShowing;
  bool enabled = control_.EffectivelyEnabled();
  // A button that does nothing is reported as such.
  if (Role() == AccessibleRole::kPushButton && dynamic_cast<TDialogButton*>(&control_) == nullptr &&
      !control_.OnClick) {
    enabled = false;
  }
  if (enabled) states |= kStateEnabled | kStateSensitive;
  if (auto* form = dynamic_cast<TCustomForm*>(&control_)) {
    if (form->Active()) states |= kStateActive;
    if (dynamic_cast<TMessageBoxForm*>(form) != nullptr) states |= kStateModal;
    return states;
  }
  if (auto* windowed = dynamic_cast<TWinControl*>(&control_)) {
    if (windowed->TabStop() && enabled) states |= kStateFocusable;
    TCustomForm* form = FormOf(control_);
    if (form != nullptr && AccessibleModel::Instance().FocusedControl(*form) == windowed) {
      states |= kStateFocused;
    }
  }
  return states;
}

std::vector<AccessibleRelation> TAccessibleControl::Relations() const {
  std::vector<AccessibleRelation> relations;
  AccessibleModel& model = AccessibleModel::Instance();
  const AccessibleFacts* facts = model.FindFacts(control_);
  TComponent* owner = control_.Owner();
  if (facts != nullptr && !facts->label_for.empty() && owner != nullptr) {
    if (auto* target = dynamic_cast<TControl*>(owner->FindComponent(facts->label_for))) {
      relations.push_back({AccessibleRelationType::kLabelFor, &model.NodeOf(*target)});
    }
  }
  if (control_.Name().empty()) return relations;
  TCustomForm* form = FormOf(control_);
  if (form == nullptr) return relations;
  EachControl(*form, [&](TControl& other) {
    const AccessibleFacts* other_facts = model.FindFacts(other);
    if (other_facts != nullptr && other_facts->label_for == control_.Name() &&
        other.Owner() == owner) {
      relations.push_back({AccessibleRelationType::kLabelledBy, &model.NodeOf(other)});
    }
  });
  return relations;
}

TRect TAccessibleControl::Extents() const {
  const TPoint origin = control_.ClientToScreen({0, 0});
  return TRect::FromBounds(origin.X, origin.Y, control_.Width(), control_.Height());
}

TPoint TAccessibleControl::WindowOrigin() const {
  TCustomForm* form = FormOf(control_);
  return form != nullptr ? form->ClientToScreen({0, 0}) : TPoint{};
}

void TAccessibleControl::GrabFocus() {
  auto* windowed = dynamic_cast<TWinControl*>(&control_);
  if (windowed == nullptr || Application == nullptr) return;
  Application->Post([windowed] {
    if (AccessibleModel::Instance().Knows(*windowed) && windowed->CanFocus()) {
      windowed->SetFocus();
    }
  });
}

std::vector<std::pair<std::string, std::string>> TAccessibleControl::Attributes() const {
  if (control_.Name().empty()) return {};
  return {{"id", control_.Name()}};
}

std::vector<std::string> TAccessibleControl::Actions() const {
  if (control_.OnClick || dynamic_cast<TDialogButton*>(&control_) != nullptr) return {"click"};
  return {};
}

void TAccessibleControl::DoAction(int index) {
  if (index != 0 || Actions().empty() || Application == nullptr) return;
  TControl* control = &control_;
  Application->Post([control] {
    if (!AccessibleModel::Instance().Knows(*control)) return;
    TCustomForm* form = FormOf(*control);
    if (form == nullptr || form->Window() == nullptr || !form->Window()->Enabled() ||
        !control->Showing()) {
      return;
    }
    // A left click at the control's middle, through the same path the mouse takes.
    const TPoint middle = control->ClientToScreen({control->Width() / 2, control->Height() / 2});
    const TPoint origin = form->ClientToScreen({0, 0});
    Event event;
    event.window = form->Window()->Id();
    event.position = {middle.X - origin.X, middle.Y - origin.Y};
    event.button = MouseButton::kLeft;
    event.type = EventType::kMouseDown;
    event.shift = kShiftStateLeft;
    form->HandleEvent(event);
    event.type = EventType::kMouseUp;
    event.shift = 0;
    form->HandleEvent(event);
  });
}

}  // namespace orlit
