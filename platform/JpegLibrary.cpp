#include "platform/JpegLibrary.h"

#include <dlfcn.h>

namespace orlit {

const JpegLibrary* JpegLibrary::Get() {
  static const JpegLibrary* const library = []() -> const JpegLibrary* {
    void* handle = dlopen("libjpeg.so.62", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new JpegLibrary;
    bool complete = true;
#define ORLIT_JPEG_BIND(name)                                                      \
  lib->name = reinterpret_cast<decltype(lib->name)>(dlsym(handle, "jpeg_" #name)); \
  complete = complete && lib->name != nullptr;
    ORLIT_JPEG_FUNCTIONS(ORLIT_JPEG_BIND)
#undef ORLIT_JPEG_BIND
    if (complete) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

}  // namespace orlit
