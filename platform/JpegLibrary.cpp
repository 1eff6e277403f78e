#include "platform/JpegLibrary.h"

#include "platform/SharedLibrary.h"

namespace orlit {

const JpegLibrary* JpegLibrary::Get() {
  static const JpegLibrary* const library = OpenFunctionTable<JpegLibrary>(
      {"libjpeg.so.62"}, [](JpegLibrary& lib, const std::vector<void*>& libraries) {
#define ORLIT_JPEG_BIND(name) &&FindFunction(libraries[0], "jpeg_" #name, lib.name)
        return true ORLIT_JPEG_FUNCTIONS(ORLIT_JPEG_BIND);
#undef ORLIT_JPEG_BIND
      });
  return library;
}

}  // namespace orlit
