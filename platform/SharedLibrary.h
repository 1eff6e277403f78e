#pragma once

#include <dlfcn.h>

#include <initializer_list>
#include <memory>
#include <vector>

namespace orlit {

// Looks `symbol` up in an opened library into `function`; false when it is missing.
template <class Function>
bool FindFunction(void* library, const char* symbol, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, symbol));
  return function != nullptr;
}

// The one way a library is opened on first use instead of linked: opens every one of `sonames`
// and fills a `Table` of their functions with `bind(table, libraries)` (false when one is
// missing). Null, with whatever was opened closed again, when a library or a function is
// missing; otherwise the table and its libraries stay for the rest of the process.
template <class Table, class Bind>
const Table* OpenFunctionTable(std::initializer_list<const char*> sonames, Bind bind) {
  std::vector<void*> libraries;
  for (const char* soname : sonames) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) break;
    libraries.push_back(library);
  }
  if (libraries.size() == sonames.size()) {
    auto table = std::make_unique<Table>();
    if (bind(*table, libraries)) return table.release();
  }
  for (void* library : libraries) dlclose(library);
  return nullptr;
}

}  // namespace orlit
