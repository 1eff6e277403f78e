// Draws the launcher's icons into an icon theme folder at build time:
//   hicolor/NxN/apps/NAME.png     for N = 16, 24, 32, 48, 64, 128, 256
//   hicolor/scalable/apps/NAME.svg
// from the same description as the window's icon, on a transparent background.
// Usage: make_icons OUTPUT_DIR NAME

#include <cairo.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/ProgramIcon.h"

namespace {

namespace fs = std::filesystem;

void SetColour(cairo_t* cr, std::uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

void WritePng(const fs::path& path, int size) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, size / double{orlit::kProgramIconGrid}, size / double{orlit::kProgramIconGrid});
  for (const orlit::IconRect& r : orlit::ProgramIconRects()) {
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    SetColour(cr, r.rgb);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path.string());
}

void WriteSvg(const fs::path& path) {
  std::ofstream out(path);
  const int grid = orlit::kProgramIconGrid;
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << grid << "\" height=\"" << grid
      << "\" viewBox=\"0 0 " << grid << ' ' << grid << "\" shape-rendering=\"crispEdges\">\n";
  for (const orlit::IconRect& r : orlit::ProgramIconRects()) {
    char fill[8];
    std::snprintf(fill, sizeof fill, "#%06X", static_cast<unsigned>(r.rgb));
    out << "  <rect x=\"" << r.left << "\" y=\"" << r.top << "\" width=\"" << r.right - r.left
        << "\" height=\"" << r.bottom - r.top << "\" fill=\"" << fill << "\"/>\n";
  }
  out << "</svg>\n";
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR NAME\n", argv[0]);
    return 2;
  }
  const fs::path theme = fs::path(argv[1]) / "hicolor";
  const std::string name = argv[2];
  try {
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
      const std::string folder = std::to_string(size) + "x" + std::to_string(size);
      fs::create_directories(theme / folder / "apps");
      WritePng(theme / folder / "apps" / (name + ".png"), size);
    }
    fs::create_directories(theme / "scalable" / "apps");
    WriteSvg(theme / "scalable" / "apps" / (name + ".svg"));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_icons: %s\n", e.what());
    return 1;
  }
  return 0;
}
