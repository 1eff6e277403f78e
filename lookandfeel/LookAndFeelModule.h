#pragma once

#include <memory>

#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/ThemeService.h"
#include "lookandfeel/VisualStyles.h"

namespace orlit {

// The process-wide part of the look and feel: the visual-style binding, then the root look and
// feel. The program makes one on first use and never frees it; tests make scoped ones over their
// own theme services, freed in the opposite order. One at a time.
class LookAndFeelModule {
 public:
  // Throws Exception while another one exists.
  explicit LookAndFeelModule(std::unique_ptr<ThemeService> service = CreateDesktopThemeService());
  ~LookAndFeelModule();
  LookAndFeelModule(const LookAndFeelModule&) = delete;
  LookAndFeelModule& operator=(const LookAndFeelModule&) = delete;

  VisualStyleBinding& Binding() const { return *binding_; }
  TcxLookAndFeel& Root() const { return *root_; }

 private:
  std::unique_ptr<VisualStyleBinding> binding_;
  std::unique_ptr<TcxLookAndFeel> root_;
};

}  // namespace orlit
