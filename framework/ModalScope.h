#pragma once

#include <memory>
#include <vector>

#include "platform/WindowSystem.h"

namespace orlit {

class TApplication;
class TComponent;
class TCustomForm;

// A dialog's time on screen. While the scope lives, every form that has a window takes no input
// (the dialog's own form gets its window later, when shown, and so stays enabled). When it ends,
// the forms take input again and the form that was active gets the focus back, with the control
// that had it if that still exists. The dialog's form must be gone before the scope ends.
class ModalScope {
 public:
  explicit ModalScope(TApplication& app);
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
  ~ModalScope();

  // The form that was active when the dialog opened; null when none was.
  TCustomForm* ActiveForm() const { return active_; }
  // The window the dialog belongs to: the active form's, else the main form's; 0 when neither
  // has a window.
  WindowId DialogOwner() const;

 private:
  TApplication& app_;
  TCustomForm* active_;
  std::unique_ptr<TComponent> focused_watch_;
  std::vector<TCustomForm*> disabled_;
};

}  // namespace orlit
