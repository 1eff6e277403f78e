// Drawing one full frame of the window's typical content against a plain memset of the same
// surface, and measuring a short string once its font is cached.

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/DeviceContext.h"

namespace {

using namespace orlit;

constexpr int kWidth = 567;
constexpr int kHeight = 501;

std::shared_ptr<const ResolvedFont> MakeFont(const char* face, int height, int weight) {
  LOGFONT lf;
  lf.lfFaceName = face;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  return ResolvedFont::Create(lf);
}

PixelImage Gradient(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.SetPixel(x, y,
                     static_cast<uint32_t>((x * 255 / width) << 16 | (y * 255 / height) << 8));
    }
  }
  return image;
}

struct Scene {
  Scene()
      : pixels(static_cast<std::size_t>(kWidth) * kHeight),
        dc(pixels.data(), kWidth, kHeight, kWidth * 4) {}

  std::vector<uint32_t> pixels;
  DeviceContext dc;
  std::shared_ptr<const ResolvedFont> window_font = MakeFont("MS Sans Serif", -11, FW_NORMAL);
  std::shared_ptr<const ResolvedFont> bold = MakeFont("MS Sans Serif", -13, FW_BOLD);
  std::shared_ptr<const ResolvedFont> large = MakeFont("MS Sans Serif", -19, FW_BOLD);
  std::shared_ptr<const ResolvedFont> title = MakeFont("MS Sans Serif", -16, FW_BOLD);
  // The window's pictures: title strip, buttons, logo, banner.
  PixelImage strip = Gradient(1220, 30);
  PixelImage buttons = Gradient(60, 30);
  PixelImage logo = Gradient(150, 112);
  PixelImage banner = Gradient(90, 30);
};

// One paint of the whole window: background, 12 framed controls with shadows (60 fills and
// frames), 30 strings, 4 pictures scaled into place.
void PaintFrame(Scene& s) {
  DeviceContext& dc = s.dc;
  dc.FillRect({0, 0, kWidth, kHeight}, Brush::Solid(clBtnFace));
  dc.StretchDraw({0, 0, 505, 30}, s.strip);
  dc.StretchDraw({505, 0, 567, 30}, s.buttons);
  dc.StretchDraw({400, 200, 550, 312}, s.logo);
  dc.StretchDraw({420, 100, 510, 130}, s.banner);
  dc.SetBkMode(TRANSPARENT);
  dc.SelectFont(s.title);
  dc.SetTextColor(clSilver);
  dc.ExtTextOut(8, 8, 0, nullptr, "Orlit_CFS by Orlit Soft");

  for (int i = 0; i < 12; ++i) {
    const TRect r = TRect::FromBounds(32 + (i % 2) * 180, 40 + (i / 2) * 40, 150, i == 4 ? 32 : 24);
    dc.SaveDC();
    dc.FillRect({r.Left + 3, r.Bottom, r.Right, r.Bottom + 3}, Brush::Solid(clBtnShadow));
    dc.ExcludeClipRect({r.Left, r.Bottom, r.Right, r.Bottom + 3});
    dc.FillRect({r.Right, r.Top + 3, r.Right + 3, r.Bottom + 3}, Brush::Solid(clBtnShadow));
    dc.RestoreDC(-1);
    dc.FrameRect(r, Brush::Solid(i == 3 ? clHighlight : clBtnShadow));
    dc.FillRect(r.Inflate(-1, -1), Brush::Solid(i == 3 ? clYellow : clWindow));
    dc.FillRect({r.Left + 1, r.Top + 1, r.Left + 3, r.Bottom - 1}, Brush::Solid(clWindow));

    dc.SelectFont(i == 4 ? s.large : s.bold);
    dc.SetTextColor(clWindowText);
    TRect text = r.Inflate(-3, -2);
    dc.DrawText(i % 3 == 0 ? "20.05.24" : "125,5", text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    TRect caption = TRect::FromBounds(r.Left, r.Top - 14, 150, 13);
    dc.SelectFont(s.window_font);
    dc.DrawText("Data sfarsit:", caption, DT_SINGLELINE | DT_NOPREFIX);
  }
  dc.SelectFont(s.bold);
  for (int line = 0; line < 5; ++line) {
    dc.ExtTextOut(12, 340 + line * 16, 0, nullptr, "Concediu fara salar: 12 zile");
  }
}

void BM_MemsetFrame(benchmark::State& state) {
  Scene s;
  for (auto _ : state) {
    std::memset(s.pixels.data(), 0xD4, s.pixels.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(s.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemsetFrame);

void BM_PaintFrame(benchmark::State& state) {
  Scene s;
  PaintFrame(s);  // warm the glyph caches
  for (auto _ : state) {
    PaintFrame(s);
    benchmark::DoNotOptimize(s.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintFrame)->Unit(benchmark::kMicrosecond);

void BM_TextWidth20Characters(benchmark::State& state) {
  auto font = MakeFont("MS Sans Serif", -13, FW_BOLD);
  const std::string text = "Concediu Fara Salar!";  // 20 characters
  benchmark::DoNotOptimize(font->TextWidth(text));
  for (auto _ : state) benchmark::DoNotOptimize(font->TextWidth(text));
}
BENCHMARK(BM_TextWidth20Characters);

void BM_GetTextExtentPoint32(benchmark::State& state) {
  DeviceContext dc(16, 16);
  dc.SelectFont(MakeFont("Arial", -13, FW_NORMAL));
  const std::string text = "Concediu Fara Salar!";
  benchmark::DoNotOptimize(dc.GetTextExtentPoint32(text));
  for (auto _ : state) benchmark::DoNotOptimize(dc.GetTextExtentPoint32(text));
}
BENCHMARK(BM_GetTextExtentPoint32);

}  // namespace
