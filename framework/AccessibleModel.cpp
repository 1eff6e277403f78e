#include "framework/AccessibleModel.h"

#include <algorithm>
#include <utility>

#include "convert/Utf8.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/MessageBox.h"
#include "framework/PopupMenu.h"
#include "framework/WinControl.h"

namespace orlit {

namespace {

// The application: the root, with the shown forms as its children.
class AccessibleApplication final : public AccessibleNode {
 public:
  AccessibleRole Role() const override { return AccessibleRole::kApplication; }
  std::string Name() const override {
    return Application != nullptr ? Application->Title() : std::string();
  }
  std::string Description() const override { return {}; }
  AccessibleNode* Parent() const override { return nullptr; }
  std::vector<AccessibleNode*> Children() const override {
    std::vector<AccessibleNode*> children;
    if (Application == nullptr) return children;
    for (TCustomForm* form : Application->Forms()) {
      if (form->Visible()) children.push_back(&AccessibleModel::Instance().NodeOf(*form));
    }
    return children;
  }
  AccessibleStates States() const override { return 0; }
  std::vector<AccessibleRelation> Relations() const override { return {}; }
  TRect Extents() const override { return {}; }
  TPoint WindowOrigin() const override { return {}; }
  void GrabFocus() override {}
  AccessibleText* Text() override { return nullptr; }
  std::vector<std::string> Actions() const override { return {}; }
  void DoAction(int) override {}
};

// Text that is only read: the message of a message box.
class ReadOnlyText final : public AccessibleText {
 public:
  explicit ReadOnlyText(std::string text) : text_(std::move(text)) {}
  std::string Contents() const override { return text_; }
  int CaretOffset() const override { return 0; }
  void SetCaretOffset(int) override {}
  std::pair<int, int> Selection() const override { return {0, 0}; }
  void SetSelection(int, int) override {}
  TRect CharacterExtents(int) const override { return {}; }
  int OffsetAtPoint(TPoint) const override { return -1; }
  bool Editable() const override { return false; }
  void SetContents(const std::string&) override {}
  void Insert(int, const std::string&) override {}
  void Delete(int, int) override {}
  void Copy(int, int) override {}
  void Cut(int, int) override {}
  void Paste(int) override {}

 private:
  std::string text_;
};

// The message box: an alert whose message is its description and its text.
class MessageBoxAccessible final : public TAccessibleControl {
 public:
  explicit MessageBoxAccessible(TMessageBoxForm& box)
      : TAccessibleControl(box), text_(box.Text()) {}
  std::string Description() const override { return text_.Contents(); }
  AccessibleText* Text() override { return &text_; }

 private:
  ReadOnlyText text_;
};

// The common start and end of two texts, in characters: what lies between changed.
struct TextChange {
  int offset = 0;
  std::string removed;
  std::string inserted;
};

TextChange Difference(const std::string& before, const std::string& after) {
  const std::u32string old_text = ToCodePoints(before);
  const std::u32string new_text = ToCodePoints(after);
  const std::size_t prefix =
      std::mismatch(old_text.begin(), old_text.end(), new_text.begin(), new_text.end()).first -
      old_text.begin();
  const std::size_t suffix = std::mismatch(old_text.rbegin(), old_text.rend() - prefix,
                                           new_text.rbegin(), new_text.rend() - prefix)
                                 .first -
                             old_text.rbegin();
  TextChange change;
  change.offset = static_cast<int>(prefix);
  change.removed =
      ToUtf8(std::u32string_view(old_text).substr(prefix, old_text.size() - prefix - suffix));
  change.inserted =
      ToUtf8(std::u32string_view(new_text).substr(prefix, new_text.size() - prefix - suffix));
  return change;
}

}  // namespace

AccessibleModel& AccessibleModel::Instance() {
  static AccessibleModel& model = *new AccessibleModel;
  return model;
}

AccessibleModel::AccessibleModel() : root_(std::make_unique<AccessibleApplication>()) {
  AddFactory(MakePopupMenuAccessible);
  AddFactory([](TControl& control) -> std::unique_ptr<TAccessibleControl> {
    if (auto* box = dynamic_cast<TMessageBoxForm*>(&control)) {
      return std::make_unique<MessageBoxAccessible>(*box);
    }
    return nullptr;
  });
}

AccessibleNode& AccessibleModel::Root() { return *root_; }

TAccessibleControl& AccessibleModel::NodeOf(TControl& control) {
  std::unique_ptr<TAccessibleControl>& node = nodes_[&control];
  if (!node) {
    for (auto it = factories_.rbegin(); it != factories_.rend() && !node; ++it) {
      node = (*it)(control);
    }
    if (!node) node = std::make_unique<TAccessibleControl>(control);
  }
  return *node;
}

AccessibleFacts& AccessibleModel::Facts(const TControl& control) { return facts_[&control]; }

const AccessibleFacts* AccessibleModel::FindFacts(const TControl& control) const {
  auto it = facts_.find(&control);
  return it == facts_.end() ? nullptr : &it->second;
}

void AccessibleModel::Forget(const TControl& control) {
  facts_.erase(&control);
  texts_.erase(&control);
  shown_.erase(const_cast<TControl*>(&control));
  if (active_ == &control) active_ = nullptr;
  if (focused_ == &control) focused_ = nullptr;
  std::erase(focus_moves_, &control);
  auto it = nodes_.find(&control);
  if (it == nodes_.end()) return;
  if (AccessibilityBridge* bridge = AccessibilityBridge::Current())
    bridge->NodeRemoved(*it->second);
  nodes_.erase(it);
}

TControl* AccessibleModel::FocusedControl(TCustomForm& form) {
  TControl* focused = form.ActiveControl();
  for (TControl* at = focused; at != nullptr && at != &form; at = at->Parent()) {
    if (NodeOf(*at).HidesChildren()) focused = at;
  }
  return focused;
}

void AccessibleModel::FormGone(TCustomForm& form) {
  if (shown_.erase(&form) == 0) return;
  if (AccessibilityBridge* bridge = AccessibilityBridge::Current()) {
    bridge->ChildRemoved(*root_, NodeOf(form));
  }
}

void AccessibleModel::NoteFocus(TCustomForm& form) {
  if (AccessibilityBridge::Current() == nullptr) return;
  TControl* focused = FocusedControl(form);
  if (focused == nullptr) return;
  if (focus_moves_.empty() || focus_moves_.back() != focused) focus_moves_.push_back(focused);
}

void AccessibleModel::AddFactory(Factory factory) { factories_.push_back(std::move(factory)); }

void AccessibleModel::CollectTextNodes(TControl& control, std::vector<TControl*>* out) {
  TAccessibleControl& node = NodeOf(control);
  if (node.Text() != nullptr) out->push_back(&control);
  if (node.HidesChildren()) return;
  if (auto* container = dynamic_cast<TWinControl*>(&control)) {
    for (int i = container->ControlCount() - 1; i >= 0; --i) {
      CollectTextNodes(*container->Controls(i), out);
    }
  }
}

void AccessibleModel::ReportText(TControl& control, AccessibilityBridge& bridge) {
  AccessibleNode& node = NodeOf(control);
  AccessibleText& text = *node.Text();
  TextState now{text.Contents(), text.CaretOffset()};
  auto known = texts_.find(&control);
  if (known == texts_.end()) {
    texts_.emplace(&control, std::move(now));
    return;
  }
  TextState& before = known->second;
  if (before.contents != now.contents) {
    const TextChange change = Difference(before.contents, now.contents);
    if (!change.removed.empty()) bridge.TextDeleted(node, change.offset, change.removed);
    if (!change.inserted.empty()) bridge.TextInserted(node, change.offset, change.inserted);
  }
  if (before.caret != now.caret && &control == focused_) bridge.CaretMoved(node, now.caret);
  before = std::move(now);
}

void AccessibleModel::Update() {
  AccessibilityBridge* bridge = AccessibilityBridge::Current();
  if (bridge == nullptr || Application == nullptr) return;
  std::vector<TCustomForm*> shown;
  for (TCustomForm* form : Application->Forms()) {
    if (form->Visible()) shown.push_back(form);
  }
  // Text first: the lines a calculation wrote come before the message box it then showed.
  std::vector<TControl*> text_controls;
  for (TCustomForm* form : shown) {
    if (shown_.count(form) != 0) CollectTextNodes(*form, &text_controls);
  }
  for (TControl* control : text_controls) ReportText(*control, *bridge);

  for (auto it = shown_.begin(); it != shown_.end();) {
    if (std::find(shown.begin(), shown.end(), *it) == shown.end()) {
      bridge->ChildRemoved(*root_, NodeOf(**it));
      it = shown_.erase(it);
    } else {
      ++it;
    }
  }
  for (TCustomForm* form : shown) {
    if (!shown_.insert(form).second) continue;
    bridge->ChildAdded(*root_, NodeOf(*form));
    std::vector<TControl*> fresh;
    CollectTextNodes(*form, &fresh);
    for (TControl* control : fresh) ReportText(*control, *bridge);
  }

  TCustomForm* active = Application->ActiveForm();
  if (active != active_) {
    if (active_ != nullptr) bridge->WindowActivated(NodeOf(*active_), false);
    if (active != nullptr) bridge->WindowActivated(NodeOf(*active), true);
    active_ = active;
  }
  // Each move since the last report, then wherever the focus is now.
  std::vector<TControl*> moves = std::exchange(focus_moves_, {});
  if (active != nullptr) {
    if (TControl* now = FocusedControl(*active)) moves.push_back(now);
  }
  for (TControl* focused : moves) {
    if (focused == focused_) continue;
    if (focused_ != nullptr) bridge->StateChanged(NodeOf(*focused_), kStateFocused, false);
    focused_ = focused;
    AccessibleNode& node = NodeOf(*focused);
    bridge->StateChanged(node, kStateFocused, true);
    if (AccessibleText* text = node.Text()) texts_[focused].caret = text->CaretOffset();
  }
}

}  // namespace orlit
