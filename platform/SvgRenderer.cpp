#include "platform/SvgRenderer.h"

#include <cairo.h>
#include <dlfcn.h>

#include <cmath>
#include <string>

#include "platform/AlphaKey.h"
#include "platform/CairoPtr.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

// The parts of the renderer's C interface used here, declared by hand: only its runtime
// library needs to be installed.
struct RsvgHandle;
struct GError {
  std::uint32_t domain;
  int code;
  char* message;
};
struct RsvgRectangle {
  double x, y, width, height;
};

struct RsvgLibrary {
  RsvgHandle* (*new_from_data)(const std::uint8_t*, std::size_t, GError**) = nullptr;
  int (*intrinsic_size_in_pixels)(RsvgHandle*, double*, double*) = nullptr;
  int (*render_document)(RsvgHandle*, cairo_t*, const RsvgRectangle*, GError**) = nullptr;
  void (*object_unref)(void*) = nullptr;
  void (*error_free)(GError*) = nullptr;

  bool Complete() const {
    return new_from_data && intrinsic_size_in_pixels && render_document && object_unref &&
           error_free;
  }
};

template <typename F>
void Bind(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(dlsym(library, name));
}

// Loaded once and kept for the life of the process; null when the library is not there.
const RsvgLibrary* Library() {
  static const RsvgLibrary* const library = []() -> const RsvgLibrary* {
    void* handle = dlopen("librsvg-2.so.2", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return nullptr;
    auto* lib = new RsvgLibrary;
    Bind(handle, "rsvg_handle_new_from_data", lib->new_from_data);
    Bind(handle, "rsvg_handle_get_intrinsic_size_in_pixels", lib->intrinsic_size_in_pixels);
    Bind(handle, "rsvg_handle_render_document", lib->render_document);
    Bind(handle, "g_object_unref", lib->object_unref);
    Bind(handle, "g_error_free", lib->error_free);
    if (lib->Complete()) return lib;
    delete lib;
    dlclose(handle);
    return nullptr;
  }();
  return library;
}

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic("Invalid SVG drawing: " + reason);
}

class Handle {
 public:
  Handle(const RsvgLibrary& lib, std::span<const std::uint8_t> data) : lib_(lib) {
    GError* error = nullptr;
    handle_ = lib.new_from_data(data.data(), data.size(), &error);
    if (error != nullptr) {
      const std::string message = error->message != nullptr ? error->message : "unreadable";
      lib.error_free(error);
      if (handle_ != nullptr) lib.object_unref(handle_);
      Fail(message);
    }
    if (handle_ == nullptr) Fail("unreadable");
  }
  ~Handle() { lib_.object_unref(handle_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  RsvgHandle* get() const { return handle_; }

 private:
  const RsvgLibrary& lib_;
  RsvgHandle* handle_ = nullptr;
};

}  // namespace

bool IsSvgRendererAvailable() { return Library() != nullptr; }

PixelImage RenderSvg(std::span<const std::uint8_t> data) {
  const RsvgLibrary* lib = Library();
  if (lib == nullptr) throw EInvalidGraphic("SVG drawings cannot be shown: no renderer installed");
  if (data.empty()) Fail("no data");
  const Handle handle(*lib, data);
  double width = 0;
  double height = 0;
  if (!lib->intrinsic_size_in_pixels(handle.get(), &width, &height)) Fail("no size of its own");
  if (!(width >= 1 && height >= 1) ||
      std::ceil(width) * std::ceil(height) > static_cast<double>(kMaxSvgPixels)) {
    Fail("size " + std::to_string(width) + " x " + std::to_string(height) + " out of range");
  }
  const int w = static_cast<int>(std::ceil(width));
  const int h = static_cast<int>(std::ceil(height));
  const CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
  const CairoContextPtr cr(cairo_create(surface.get()));
  const RsvgRectangle viewport{0, 0, width, height};
  GError* error = nullptr;
  const bool rendered = lib->render_document(handle.get(), cr.get(), &viewport, &error) != 0;
  if (error != nullptr) {
    const std::string message = error->message != nullptr ? error->message : "not rendered";
    lib->error_free(error);
    Fail(message);
  }
  if (!rendered) Fail("not rendered");
  return ImageFromCairoSurface(surface.get());
}

}  // namespace orlit
