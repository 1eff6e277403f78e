#include "framework/ModalScope.h"

#include <algorithm>

#include "framework/Application.h"
#include "framework/Form.h"

namespace orlit {

namespace {

// Keeps track of whether a control still exists while a dialog is open.
class ControlWatch : public TComponent {
 public:
  explicit ControlWatch(TWinControl* control) : control_(control) {
    if (control_ != nullptr) FreeNotification(control_);
  }
  TWinControl* Control() const { return control_; }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove && component == control_) control_ = nullptr;
    TComponent::Notification(component, operation);
  }

 private:
  TWinControl* control_;
};

}  // namespace

ModalScope::ModalScope(TApplication& app) : app_(app), active_(app.ActiveForm()) {
  focused_watch_ =
      std::make_unique<ControlWatch>(active_ != nullptr ? active_->ActiveControl() : nullptr);
  for (TCustomForm* form : app_.Forms()) {
    if (form->Window() != nullptr && form->Window()->Enabled()) {
      form->Window()->SetEnabled(false);
      disabled_.push_back(form);
    }
  }
}

WindowId ModalScope::DialogOwner() const {
  const TCustomForm* owner = active_ != nullptr ? active_ : app_.MainForm();
  return owner != nullptr && owner->Window() != nullptr ? owner->Window()->Id() : 0;
}

ModalScope::~ModalScope() {
  const std::vector<TCustomForm*>& forms = app_.Forms();
  const auto exists = [&forms](TCustomForm* form) {
    return form != nullptr && std::find(forms.begin(), forms.end(), form) != forms.end();
  };
  for (TCustomForm* form : disabled_) {
    if (exists(form) && form->Window() != nullptr) form->Window()->SetEnabled(true);
  }
  if (!exists(active_) || !active_->Visible() || active_->Window() == nullptr) return;
  active_->Window()->Raise();
  active_->Window()->Focus();
  TWinControl* control = static_cast<ControlWatch*>(focused_watch_.get())->Control();
  if (control != nullptr && GetParentForm(control) == active_ &&
      active_->ActiveControl() != control && control->CanFocus()) {
    try {
      active_->SetFocusedControl(control);
    } catch (...) {
      // Giving the focus back is a courtesy; an exit handler refusing it stays unreported.
    }
  }
}

}  // namespace orlit
