// Draws the glyphs of the picture editor's built-in context menu and writes them, as 16 x 16
// bitmaps in the stored picture format, to the resources folder, from which the build embeds
// them: CXMENUIMAGE_CUT, _COPY, _PASTE, _DELETE, _LOAD and _SAVE. Fuchsia, in the bottom-left
// corner where bitmaps take their transparent colour, is the background the menu leaves out.
// Usage: make_menu_glyphs RESOURCE_DIR

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/PixelImage.h"
#include "platform/StoredPicture.h"

namespace {

using orlit::PixelImage;

constexpr int kSize = 16;
constexpr std::uint32_t kFuchsia = 0xFF00FF;

void Color(cairo_t* cr, std::uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

// Filled with `fill` and outlined with `line`, on whole pixels.
void Box(cairo_t* cr, double x, double y, double w, double h, std::uint32_t fill,
         std::uint32_t line) {
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  Color(cr, fill);
  cairo_fill_preserve(cr);
  Color(cr, line);
  cairo_stroke(cr);
}

// A sheet of paper with lines of text.
void Page(cairo_t* cr, double x, double y, double w, double h) {
  Box(cr, x, y, w, h, 0xFFFFFF, 0x3C4A6B);
  Color(cr, 0x8AA0C8);
  for (double line = y + 3; line < y + h - 2; line += 2) {
    cairo_rectangle(cr, x + 2, line, w - 4, 1);
  }
  cairo_fill(cr);
}

void Cut(cairo_t* cr) {
  Color(cr, 0x3C4A6B);
  cairo_move_to(cr, 5.5, 1);
  cairo_line_to(cr, 10.5, 10);
  cairo_move_to(cr, 10.5, 1);
  cairo_line_to(cr, 5.5, 10);
  cairo_stroke(cr);
  Color(cr, 0xC0262D);
  cairo_set_line_width(cr, 1.6);
  for (const double x : {4.5, 11.5}) {
    cairo_arc(cr, x, 12.5, 2.3, 0, 2 * std::numbers::pi);
    cairo_stroke(cr);
  }
}

void Copy(cairo_t* cr) {
  Page(cr, 1, 1, 9, 11);
  Page(cr, 6, 4, 9, 11);
}

void Paste(cairo_t* cr) {
  Box(cr, 1, 2, 11, 13, 0xC89B5A, 0x6B4A1E);
  Box(cr, 4, 1, 5, 3, 0xB0B0B0, 0x404040);
  Page(cr, 7, 6, 8, 9);
}

void Delete(cairo_t* cr) {
  Color(cr, 0xC0262D);
  cairo_set_line_width(cr, 2.5);
  cairo_move_to(cr, 3, 3);
  cairo_line_to(cr, 13, 13);
  cairo_move_to(cr, 13, 3);
  cairo_line_to(cr, 3, 13);
  cairo_stroke(cr);
}

void Load(cairo_t* cr) {
  Box(cr, 1, 4, 13, 10, 0xE8C050, 0x7A5A10);
  Box(cr, 1, 3, 6, 2, 0xE8C050, 0x7A5A10);
  // The open flap.
  cairo_move_to(cr, 3.5, 7.5);
  cairo_line_to(cr, 15.5, 7.5);
  cairo_line_to(cr, 13.5, 13.5);
  cairo_line_to(cr, 1.5, 13.5);
  cairo_close_path(cr);
  Color(cr, 0xF6DC8A);
  cairo_fill_preserve(cr);
  Color(cr, 0x7A5A10);
  cairo_stroke(cr);
}

void Save(cairo_t* cr) {
  Box(cr, 1, 1, 14, 14, 0x3A5FA8, 0x1B2A4A);
  Box(cr, 4, 1, 8, 6, 0xFFFFFF, 0x1B2A4A);
  Box(cr, 4, 10, 8, 5, 0xB0B0B0, 0x1B2A4A);
}

PixelImage Draw(const std::function<void(cairo_t*)>& draw) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kSize, kSize);
  cairo_t* cr = cairo_create(surface);
  // Hard edges: a smoothed edge would blend into the fuchsia and show as a pink fringe.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  Color(cr, kFuchsia);
  cairo_paint(cr);
  cairo_set_line_width(cr, 1);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  PixelImage image(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (int x = 0; x < kSize; ++x) image.SetPixel(x, y, row[x] & 0xFFFFFF);
  }
  cairo_surface_destroy(surface);
  // The corner that names the transparent colour stays fuchsia.
  image.SetPixel(0, kSize - 1, kFuchsia);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RESOURCE_DIR\n", argv[0]);
    return 2;
  }
  try {
    const struct {
      const char* name;
      void (*draw)(cairo_t*);
    } glyphs[] = {{"CUT", Cut},       {"COPY", Copy}, {"PASTE", Paste},
                  {"DELETE", Delete}, {"LOAD", Load}, {"SAVE", Save}};
    for (const auto& glyph : glyphs) {
      const std::vector<std::uint8_t> stored = orlit::WriteStoredPicture(
          orlit::EncodeGraphic(Draw(glyph.draw), orlit::kBitmapClassName, 90));
      const std::string path = std::string(argv[1]) + "/CXMENUIMAGE_" + glyph.name + ".pic";
      std::ofstream out(path, std::ios::binary);
      out.write(reinterpret_cast<const char*>(stored.data()),
                static_cast<std::streamsize>(stored.size()));
      if (!out) throw std::runtime_error("cannot write " + path);
      std::printf("%s: %zu bytes\n", path.c_str(), stored.size());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_menu_glyphs: %s\n", e.what());
    return 1;
  }
  return 0;
}
