#include "editors/StyleController.h"

#include <algorithm>

namespace orlit {

TcxStyleController::TcxStyleController() : TcxStyleController(ContainerStyleKind::kContainer) {}

TcxStyleController::TcxStyleController(ContainerStyleKind kind)
    : styles_(std::make_unique<TcxContainerStyles>(nullptr, this, kind)) {}

TcxStyleController::~TcxStyleController() {
  destroying_ = true;
  const std::vector<TcxCustomContainerStyle*> listeners = std::move(listeners_);
  listeners_.clear();
  for (TcxCustomContainerStyle* style : listeners) style->ControllerDestroying(this);
  styles_.reset();
}

void TcxStyleController::AddListener(TcxCustomContainerStyle* style) {
  if (destroying_) return;
  if (std::find(listeners_.begin(), listeners_.end(), style) == listeners_.end()) {
    listeners_.push_back(style);
  }
}

void TcxStyleController::RemoveListener(TcxCustomContainerStyle* style) {
  std::erase(listeners_, style);
}

void TcxStyleController::StyleChanged() {
  if (destroying_) return;
  // A listener may go away while an earlier one repaints.
  const std::vector<TcxCustomContainerStyle*> listeners = listeners_;
  for (TcxCustomContainerStyle* style : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), style) != listeners_.end()) {
      style->ControllerChanged();
    }
  }
}

TcxEditStyle& TcxEditStyleController::Style() const {
  return static_cast<TcxEditStyle&>(Styles().Style());
}

TcxEditStyleEx& TcxEditStyleController::StyleFocused() const {
  return static_cast<TcxEditStyleEx&>(Styles().StyleFocused());
}

TcxEditStyleEx& TcxEditStyleController::StyleDisabled() const {
  return static_cast<TcxEditStyleEx&>(Styles().StyleDisabled());
}

TcxEditStyleEx& TcxEditStyleController::StyleHot() const {
  return static_cast<TcxEditStyleEx&>(Styles().StyleHot());
}

namespace {

std::unique_ptr<TcxEditStyleController>& DefaultSlot() {
  static auto& controller = *new std::unique_ptr<TcxEditStyleController>;
  return controller;
}

}  // namespace

TcxEditStyleController& DefaultEditStyleController() {
  std::unique_ptr<TcxEditStyleController>& controller = DefaultSlot();
  if (controller == nullptr) controller = MakeComponent<TcxEditStyleController>();
  return *controller;
}

void ReleaseDefaultEditStyleControllerIfUnused() {
  std::unique_ptr<TcxEditStyleController>& controller = DefaultSlot();
  if (controller != nullptr && controller->ListenerCount() == 0) controller.reset();
}

bool IsDefaultEditStyleController(const TcxStyleController* controller) {
  return controller != nullptr && controller == DefaultSlot().get();
}

}  // namespace orlit
