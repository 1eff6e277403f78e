#include "lookandfeel/LookAndFeelController.h"

namespace orlit {

TcxLookAndFeelController::TcxLookAndFeelController() : root_(TcxLookAndFeel::Root()) {
  if (root_ != nullptr) root_->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (root_ != nullptr) root_->RemoveChangeListener(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  const TcxLookAndFeel* root = TcxLookAndFeel::Root();
  return root != nullptr ? root->Kind() : lfUltraFlat;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind kind) {
  if (TcxLookAndFeel* root = TcxLookAndFeel::Root()) root->SetKind(kind);
}

bool TcxLookAndFeelController::NativeStyle() const {
  const TcxLookAndFeel* root = TcxLookAndFeel::Root();
  return root != nullptr && root->NativeStyle();
}

void TcxLookAndFeelController::SetNativeStyle(bool native_style) {
  if (TcxLookAndFeel* root = TcxLookAndFeel::Root()) root->SetNativeStyle(native_style);
}

void TcxLookAndFeelController::MasterLookAndFeelDestroying(TcxLookAndFeel* sender) {
  if (sender == root_) root_ = nullptr;
}

}  // namespace orlit
