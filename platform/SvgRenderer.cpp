#include "platform/SvgRenderer.h"

#include <cairo.h>
#include <dlfcn.h>

#include <cmath>
#include <string>

#include "platform/AlphaKey.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

// The parts of the renderer's C interface used here, declared by hand: only its runtime
// library needs to be installed. The renderer draws on surfaces of the cairo it loads itself,
// reached through its handle, so it never depends on how the program was linked.
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
  cairo_surface_t* (*surface_create)(cairo_format_t, int, int) = nullptr;
  void (*surface_flush)(cairo_surface_t*) = nullptr;
  unsigned char* (*surface_data)(cairo_surface_t*) = nullptr;
  int (*surface_stride)(cairo_surface_t*) = nullptr;
  cairo_status_t (*surface_status)(cairo_surface_t*) = nullptr;
  void (*surface_destroy)(cairo_surface_t*) = nullptr;
  cairo_t* (*context_create)(cairo_surface_t*) = nullptr;
  void (*context_destroy)(cairo_t*) = nullptr;

  bool Complete() const {
    return new_from_data && intrinsic_size_in_pixels && render_document && object_unref &&
           error_free && surface_create && surface_flush && surface_data && surface_stride &&
           surface_status && surface_destroy && context_create && context_destroy;
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
    Bind(handle, "cairo_image_surface_create", lib->surface_create);
    Bind(handle, "cairo_surface_flush", lib->surface_flush);
    Bind(handle, "cairo_image_surface_get_data", lib->surface_data);
    Bind(handle, "cairo_image_surface_get_stride", lib->surface_stride);
    Bind(handle, "cairo_surface_status", lib->surface_status);
    Bind(handle, "cairo_surface_destroy", lib->surface_destroy);
    Bind(handle, "cairo_create", lib->context_create);
    Bind(handle, "cairo_destroy", lib->context_destroy);
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

// A surface and its drawing context of the renderer's cairo.
class RenderTarget {
 public:
  RenderTarget(const RsvgLibrary& lib, int width, int height)
      : lib_(lib),
        surface_(lib.surface_create(CAIRO_FORMAT_ARGB32, width, height)),
        cr_(lib.context_create(surface_)) {}
  ~RenderTarget() {
    lib_.context_destroy(cr_);
    lib_.surface_destroy(surface_);
  }
  RenderTarget(const RenderTarget&) = delete;
  RenderTarget& operator=(const RenderTarget&) = delete;

  bool Ok() const { return lib_.surface_status(surface_) == CAIRO_STATUS_SUCCESS; }
  cairo_t* Context() const { return cr_; }
  PixelImage Pixels(int width, int height) const {
    lib_.surface_flush(surface_);
    return ImageFromCairoPixels(lib_.surface_data(surface_), width, height,
                                lib_.surface_stride(surface_), true);
  }

 private:
  const RsvgLibrary& lib_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

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
  const RenderTarget target(*lib, w, h);
  if (!target.Ok()) Fail("no memory to render into");
  const RsvgRectangle viewport{0, 0, width, height};
  GError* error = nullptr;
  const bool rendered =
      lib->render_document(handle.get(), target.Context(), &viewport, &error) != 0;
  if (error != nullptr) {
    const std::string message = error->message != nullptr ? error->message : "not rendered";
    lib->error_free(error);
    Fail(message);
  }
  if (!rendered) Fail("not rendered");
  return target.Pixels(w, h);
}

}  // namespace orlit
