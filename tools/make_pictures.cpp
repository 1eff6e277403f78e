// Draws the window's built-in pictures and writes them, in the stored picture format, to the
// resources folder, from which the build embeds them:
//   stri1.pic     the title bar's background: a dark metallic bar with a red glow, JPEG 1220 x 30
//   stri2.pic     the title bar's right end with its three round buttons, 24-bit bitmap 60 x 30
//   MAINICON.pic  the program icon, a calendar leaf, 32 x 32 in the 16 classic colours
//   logo.pic      the maker's logo on the promotion panel, JPEG 150 x 112
//   banner.pic    the maker's banner with name and site, 24-bit bitmap 90 x 30
// Usage: make_pictures RESOURCE_DIR [PREVIEW_DIR]
// With a preview folder it also writes each picture, decoded back from what was stored, as PNG.

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <numbers>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/PictureFile.h"
#include "platform/PixelImage.h"
#include "platform/StoredPicture.h"
#include "tools/ProgramIcon.h"

namespace {

using orlit::PixelImage;

// Colour with channels 0..1, so that shading and blending keep their precision until stored.
struct Rgb {
  double r = 0, g = 0, b = 0;
};

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb FromHex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

std::uint32_t ToHex(Rgb c) {
  auto channel = [](double v) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
  };
  return (channel(c.r) << 16) | (channel(c.g) << 8) | channel(c.b);
}

class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height)) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgb& At(int x, int y) { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

  // Paints where the shape covers a pixel, weighted by the covered fraction found on a 4 x 4 grid,
  // so round edges come out smooth without a graphics library.
  template <typename Inside, typename Shade>
  void Paint(Inside inside, Shade shade) {
    constexpr int kGrid = 4;
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        int hits = 0;
        for (int sy = 0; sy < kGrid; ++sy) {
          for (int sx = 0; sx < kGrid; ++sx) {
            hits += inside(x + (sx + 0.5) / kGrid, y + (sy + 0.5) / kGrid) ? 1 : 0;
          }
        }
        if (hits > 0) {
          At(x, y) = Mix(At(x, y), shade(x + 0.5, y + 0.5), hits / double{kGrid * kGrid});
        }
      }
    }
  }

  PixelImage ToImage() const {
    PixelImage image(width_, height_);
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        image.SetPixel(x, y, ToHex(pixels_[static_cast<std::size_t>(y * width_ + x)]));
      }
    }
    return image;
  }

 private:
  int width_;
  int height_;
  std::vector<Rgb> pixels_;
};

// Brushed dark steel, lit from above: a bright rim on top, a shadow line at the bottom and a
// faint horizontal grain that repeats every 1220 pixels, so the button strip continues the bar.
Rgb Steel(int x, int y, int height) {
  const double t = (y + 0.5) / height;
  double level = 0.42 - 0.24 * t;
  if (t > 0.45 && t < 0.55) level += 0.03;
  if (y == 0) level = 0.62;
  if (y == 1) level = 0.52;
  if (y == height - 1) level = 0.10;
  // Each row gets its own tone, broken into streaks a dozen pixels long.
  auto noise = [](std::uint32_t n) { return ((n * 2654435761u) >> 24) / 255.0 - 0.5; };
  const std::uint32_t row = static_cast<std::uint32_t>(y) * 7919u;
  const std::uint32_t streak = static_cast<std::uint32_t>((x % 1220) / 12) * 104729u + row;
  level += noise(row + 17) * 0.02 + noise(streak) * 0.012;
  return {level, level, level * 1.04};
}

PixelImage DrawTitleBar() {
  constexpr int kWidth = 1220, kHeight = 30;
  Canvas canvas(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Rgb c = Steel(x, y, kHeight);
      // The glow: an ellipse of red light in the middle, strongest just below the rim.
      const double dx = (x + 0.5 - kWidth / 2.0) / 260.0;
      const double dy = (y + 0.5 - kHeight * 0.55) / 11.0;
      const double glow = std::exp(-(dx * dx + dy * dy));
      c.r += 0.75 * glow;
      c.g += 0.06 * glow;
      c.b += 0.04 * glow;
      canvas.At(x, y) = c;
    }
  }
  return canvas.ToImage();
}

struct Button {
  double cx, cy, radius;
};

// Centred under the click areas of the window: minimise over x 1..17, maximise over 17..33,
// close over 33..57.
constexpr Button kButtons[] = {{10, 16, 7}, {26, 16, 7}, {42, 16, 7}};

void DrawButton(Canvas& canvas, const Button& b) {
  auto in_circle = [&b](double r) {
    return [&b, r](double x, double y) {
      return (x - b.cx) * (x - b.cx) + (y - b.cy) * (y - b.cy) <= r * r;
    };
  };
  // A dark ring, then the red dome lit from the upper left.
  canvas.Paint(in_circle(b.radius + 1), [](double, double) { return FromHex(0x2A0000); });
  canvas.Paint(in_circle(b.radius), [&b](double x, double y) {
    const double lx = (x - (b.cx - b.radius * 0.35)) / (b.radius * 1.6);
    const double ly = (y - (b.cy - b.radius * 0.45)) / (b.radius * 1.6);
    const double d = std::min(1.0, std::sqrt(lx * lx + ly * ly));
    return Mix(FromHex(0xFF7060), FromHex(0x8A0000), d);
  });
}

void DrawGlyphs(Canvas& canvas) {
  const Rgb ink = FromHex(0xFFF0F0);
  auto rect = [](double l, double t, double r, double bottom) {
    return [=](double x, double y) { return x >= l && x < r && y >= t && y < bottom; };
  };
  auto plain = [ink](double, double) { return ink; };
  // Minimise: a bar low in the button.
  const Button& minimise = kButtons[0];
  canvas.Paint(rect(minimise.cx - 3.5, minimise.cy + 1, minimise.cx + 3.5, minimise.cy + 3), plain);
  // Maximise: two overlapping window outlines, each with a thick title edge, on whole pixels so
  // they stay crisp; the back one shows only outside the front one.
  const Button& maximise = kButtons[1];
  const double l = std::floor(maximise.cx) - 3, t = std::floor(maximise.cy) - 2;
  auto outline = [rect](double left, double top) {
    return [=](double x, double y) {
      return rect(left, top, left + 6, top + 6)(x, y) &&
             !rect(left + 1, top + 2, left + 5, top + 5)(x, y);
    };
  };
  const auto front = outline(l, t);
  const auto back = outline(l + 2, t - 2);
  canvas.Paint([=](double x, double y) { return back(x, y) && !rect(l, t, l + 6, t + 6)(x, y); },
               plain);
  canvas.Paint(front, plain);
  // Close: a cross of two strokes 1.6 pixels wide.
  const Button& close = kButtons[2];
  canvas.Paint(
      [&close](double x, double y) {
        const double u = x - close.cx, v = y - close.cy;
        const bool in_box = std::abs(u) <= 3.6 && std::abs(v) <= 3.6;
        return in_box && (std::abs(u - v) <= 1.15 || std::abs(u + v) <= 1.15);
      },
      plain);
}

PixelImage DrawButtons() {
  constexpr int kWidth = 60, kHeight = 30;
  Canvas canvas(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) canvas.At(x, y) = Steel(1220 - kWidth + x, y, kHeight);
  }
  // The bar ends in a bevel against the window's edge.
  for (int y = 0; y < kHeight; ++y) {
    canvas.At(kWidth - 2, y) = Mix(canvas.At(kWidth - 2, y), FromHex(0xFFFFFF), 0.15);
    canvas.At(kWidth - 1, y) = FromHex(0x121214);
  }
  for (const Button& b : kButtons) DrawButton(canvas, b);
  DrawGlyphs(canvas);
  return canvas.ToImage();
}

// Fuchsia marks the icon's transparent background and sits in the bottom-left corner, where
// bitmaps take their transparent colour.
PixelImage DrawIcon() {
  PixelImage icon(orlit::kProgramIconGrid, orlit::kProgramIconGrid, 0xFF00FF);
  for (const orlit::IconRect& r : orlit::ProgramIconRects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) icon.SetPixel(x, y, r.rgb);
    }
  }
  return icon;
}

// Drawn with cairo's vector paths and text in Liberation Sans, smoothed, then read back.
template <typename Draw>
PixelImage DrawWithCairo(int width, int height, Draw draw) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) image.SetPixel(x, y, row[x] & 0xFFFFFF);
  }
  cairo_surface_destroy(surface);
  return image;
}

void SetColor(cairo_t* cr, std::uint32_t rgb) {
  const Rgb c = FromHex(rgb);
  cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

// Text centred on x at baseline y.
void CentredText(cairo_t* cr, const char* text, double x, double y, double size, bool bold) {
  cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text, &extents);
  cairo_move_to(cr, x - extents.x_advance / 2, y);
  cairo_show_text(cr, text);
}

constexpr std::uint32_t kNavy = 0x1B2A4A, kRed = 0xC0262D, kCream = 0xFFF5DD;

// An orbit around a dot, the maker's mark, above its name and site on a cream card.
PixelImage DrawLogo() {
  return DrawWithCairo(150, 112, [](cairo_t* cr) {
    cairo_pattern_t* card = cairo_pattern_create_linear(0, 0, 0, 112);
    cairo_pattern_add_color_stop_rgb(card, 0, 1.0, 0.99, 0.95);
    cairo_pattern_add_color_stop_rgb(card, 1, 1.0, 0.93, 0.80);
    cairo_set_source(cr, card);
    cairo_paint(cr);
    cairo_pattern_destroy(card);
    SetColor(cr, kNavy);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, 1, 1, 148, 110);
    cairo_stroke(cr);
    // The orbit: a tilted ellipse around a red planet.
    cairo_save(cr);
    cairo_translate(cr, 75, 34);
    cairo_rotate(cr, -0.35);
    cairo_scale(cr, 1.0, 0.45);
    cairo_arc(cr, 0, 0, 30, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    SetColor(cr, kRed);
    cairo_arc(cr, 75, 34, 11, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    SetColor(cr, kNavy);
    cairo_arc(cr, 101, 23, 4, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    CentredText(cr, "Orlit Soft", 75, 78, 22, true);
    SetColor(cr, kRed);
    CentredText(cr, "www.orlit.example", 75, 98, 12, false);
  });
}

// The maker's name over its site, light on navy with a red band.
PixelImage DrawBanner() {
  return DrawWithCairo(90, 30, [](cairo_t* cr) {
    SetColor(cr, kNavy);
    cairo_paint(cr);
    SetColor(cr, kRed);
    cairo_rectangle(cr, 0, 0, 5, 30);
    cairo_fill(cr);
    SetColor(cr, kCream);
    CentredText(cr, "Orlit Soft", 47, 14, 13, true);
    SetColor(cr, 0xF2C14E);
    CentredText(cr, "www.orlit.example", 47, 25, 8.5, false);
  });
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: %s RESOURCE_DIR [PREVIEW_DIR]\n", argv[0]);
    return 2;
  }
  const std::string resources = argv[1];
  try {
    const struct {
      const char* name;
      PixelImage image;
      std::string_view class_name;
    } pictures[] = {
        {"stri1", DrawTitleBar(), orlit::kJpegClassName},
        {"stri2", DrawButtons(), orlit::kBitmapClassName},
        {"MAINICON", DrawIcon(), orlit::kBitmapClassName},
        {"logo", DrawLogo(), orlit::kJpegClassName},
        {"banner", DrawBanner(), orlit::kBitmapClassName},
    };
    for (const auto& p : pictures) {
      const std::vector<std::uint8_t> stored =
          orlit::WriteStoredPicture(orlit::EncodeGraphic(p.image, p.class_name, 90));
      WriteFile(resources + "/" + p.name + ".pic", stored);
      std::printf("%s.pic: %s %d x %d, %zu bytes\n", p.name, std::string(p.class_name).c_str(),
                  p.image.Width(), p.image.Height(), stored.size());
      if (argc == 3) {
        orlit::WritePngFile(std::string(argv[2]) + "/" + p.name + ".png",
                            orlit::DecodeStoredPicture(stored));
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_pictures: %s\n", e.what());
    return 1;
  }
  return 0;
}
