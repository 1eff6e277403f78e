#pragma once

#include "framework/Component.h"
#include "lookandfeel/LookAndFeel.h"

namespace orlit {

// A component that edits the root look and feel. While at least one exists the root keeps
// the values set through it; when the last one goes, the root returns to its defaults.
class TcxLookAndFeelController : public TComponent, public LookAndFeelChangeListener {
 public:
  TcxLookAndFeelController();
  ~TcxLookAndFeelController() override;

  // The root's values; lfUltraFlat and False without a root.
  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind kind);
  bool NativeStyle() const;
  void SetNativeStyle(bool native_style);

  TObject* GetObject() override { return this; }
  void MasterLookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) override {}
  // A design environment would be told here; this program has none.
  void MasterLookAndFeelDestroying(TcxLookAndFeel* sender) override;

 private:
  // The root this controller is registered with; none once it has gone.
  TcxLookAndFeel* root_ = nullptr;
};

}  // namespace orlit
