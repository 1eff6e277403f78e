#pragma once

#include <cairo.h>

#include <memory>
#include <utility>

namespace orlit {

template <typename T, void (*Destroy)(T*)>
struct CairoDeleter {
  void operator()(T* handle) const {
    if (handle != nullptr) Destroy(handle);
  }
};

using CairoContextPtr = std::unique_ptr<cairo_t, CairoDeleter<cairo_t, cairo_destroy>>;
using CairoSurfacePtr =
    std::unique_ptr<cairo_surface_t, CairoDeleter<cairo_surface_t, cairo_surface_destroy>>;
using CairoPathPtr = std::unique_ptr<cairo_path_t, CairoDeleter<cairo_path_t, cairo_path_destroy>>;
using CairoFontOptionsPtr =
    std::unique_ptr<cairo_font_options_t,
                    CairoDeleter<cairo_font_options_t, cairo_font_options_destroy>>;
using CairoScaledFontPtr =
    std::unique_ptr<cairo_scaled_font_t,
                    CairoDeleter<cairo_scaled_font_t, cairo_scaled_font_destroy>>;
using CairoFontFacePtr =
    std::unique_ptr<cairo_font_face_t, CairoDeleter<cairo_font_face_t, cairo_font_face_destroy>>;

// A region of integer rectangles with value semantics (copies are deep).
class CairoRegion {
 public:
  CairoRegion() : region_(cairo_region_create()) {}
  explicit CairoRegion(const cairo_rectangle_int_t& rect)
      : region_(cairo_region_create_rectangle(&rect)) {}
  CairoRegion(const CairoRegion& other) : region_(Copy(other)) {}
  CairoRegion& operator=(const CairoRegion& other) {
    if (this != &other) region_.reset(Copy(other));
    return *this;
  }
  // Moves swap, so a moved-from region is still a valid one.
  CairoRegion(CairoRegion&& other) noexcept : CairoRegion() { region_.swap(other.region_); }
  CairoRegion& operator=(CairoRegion&& other) noexcept {
    region_.swap(other.region_);
    return *this;
  }

  cairo_region_t* get() const { return region_.get(); }

 private:
  static cairo_region_t* Copy(const CairoRegion& other) {
    return cairo_region_copy(other.region_.get());
  }

  std::unique_ptr<cairo_region_t, CairoDeleter<cairo_region_t, cairo_region_destroy>> region_;
};

}  // namespace orlit
