#include "editors/Variant.h"

namespace orlit {

std::string Variant::ToString() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  return {};
}

}  // namespace orlit
