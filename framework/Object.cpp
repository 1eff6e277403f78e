#include "framework/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace orlit {

std::string TypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  std::string name = (status == 0 && demangled) ? demangled.get() : type.name();
  constexpr std::string_view kOwnNamespace = "orlit::";
  if (name.starts_with(kOwnNamespace)) name.erase(0, kOwnNamespace.size());
  return name;
}

std::string TObject::ClassName() const { return TypeName(typeid(*this)); }

}  // namespace orlit
