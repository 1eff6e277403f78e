#include "lookandfeel/LookAndFeelModule.h"

#include "convert/Exceptions.h"

namespace orlit {

LookAndFeelModule::LookAndFeelModule(std::unique_ptr<ThemeService> service) {
  if (VisualStyleBinding::Current() != nullptr || TcxLookAndFeel::Root() != nullptr) {
    throw Exception("The look and feel is already started");
  }
  binding_ = std::make_unique<VisualStyleBinding>(std::move(service));
  root_.reset(new TcxLookAndFeel(TcxLookAndFeel::RootTag{}));
}

LookAndFeelModule::~LookAndFeelModule() {
  root_.reset();
  binding_.reset();
}

}  // namespace orlit
