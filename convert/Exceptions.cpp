#include "convert/Exceptions.h"

namespace orlit {

std::string MessageWithFinalPeriod(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) {
    text += '.';
  }
  return text;
}

std::string FailureText(const Exception& e) {
  return std::string(e.ClassName()) + ": " + MessageWithFinalPeriod(e.Message());
}

std::string ShownFailureText(const Exception& e) {
  return std::string(e.ClassName()) + ": " + MessageWithFinalPeriod(e.ShownMessage());
}

}  // namespace orlit
