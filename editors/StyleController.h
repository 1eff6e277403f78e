#pragma once

#include <memory>
#include <vector>

#include "editors/ContainerStyle.h"
#include "editors/EditStyle.h"
#include "framework/Component.h"

namespace orlit {

// Four styles that many controls share. Styles keep a reference to the controller and the
// controller keeps the list of styles using it, so either can be destroyed first: a style whose
// controller goes away falls back to none (for editor styles, to the default controller).
class TcxStyleController : public TComponent {
 public:
  TcxStyleController();
  ~TcxStyleController() override;

  TcxContainerStyles& Styles() const { return *styles_; }
  TcxCustomContainerStyle& Style() const { return styles_->Style(); }
  TcxCustomContainerStyle& StyleFocused() const { return styles_->StyleFocused(); }
  TcxCustomContainerStyle& StyleDisabled() const { return styles_->StyleDisabled(); }
  TcxCustomContainerStyle& StyleHot() const { return styles_->StyleHot(); }

  // The normal styles resolving through this controller.
  int ListenerCount() const { return static_cast<int>(listeners_.size()); }

 protected:
  explicit TcxStyleController(ContainerStyleKind kind);

 private:
  friend class TcxCustomContainerStyle;

  void AddListener(TcxCustomContainerStyle* style);
  void RemoveListener(TcxCustomContainerStyle* style);
  // One of the controller's styles changed.
  void StyleChanged();

  std::unique_ptr<TcxContainerStyles> styles_;
  std::vector<TcxCustomContainerStyle*> listeners_;
  bool destroying_ = false;
};

// The same for editors: its styles are editor styles.
class TcxEditStyleController : public TcxStyleController {
 public:
  TcxEditStyleController() : TcxStyleController(ContainerStyleKind::kEdit) {}

  TcxEditStyle& Style() const;
  TcxEditStyleEx& StyleFocused() const;
  TcxEditStyleEx& StyleDisabled() const;
  TcxEditStyleEx& StyleHot() const;
};

// The process-wide default edit style controller. It is made when first asked for and lives as
// long as editors resolve through it: the last one to go frees it, so that no look and feel
// outlives the program's windows (values assigned to it go with it).
TcxEditStyleController& DefaultEditStyleController();
void ReleaseDefaultEditStyleControllerIfUnused();
bool IsDefaultEditStyleController(const TcxStyleController* controller);

}  // namespace orlit
