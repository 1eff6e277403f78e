#include "platform/DisplayScale.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/WindowSystem.h"

namespace orlit {
namespace {

constexpr double kHighDensityDpi = 144;

std::optional<int> ExplicitFactor(const char* scale_setting) {
  if (scale_setting == nullptr) return std::nullopt;
  const std::string_view text(scale_setting);
  int factor = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), factor);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (factor < 1 || factor > kMaxScaleFactor) return std::nullopt;
  return factor;
}

// The value of the "Xft.dpi" line of an X resource database, as a number.
std::optional<double> XftDpi(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  std::size_t line_start = 0;
  while (line_start < resources.size()) {
    std::size_t line_end = resources.find('\n', line_start);
    if (line_end == std::string_view::npos) line_end = resources.size();
    std::string_view line = resources.substr(line_start, line_end - line_start);
    line_start = line_end + 1;
    if (!line.starts_with(kName)) continue;
    line.remove_prefix(kName.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    double dpi = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), dpi);
    if (error == std::errc() && end != line.data()) return dpi;
  }
  return std::nullopt;
}

int FloorDivide(int value, int divisor) {
  return value >= 0 ? value / divisor : -((-(value + 1)) / divisor) - 1;
}

}  // namespace

int ChooseScaleFactor(const char* scale_setting, std::string_view x_resources) {
  if (const auto factor = ExplicitFactor(scale_setting)) return *factor;
  const auto dpi = XftDpi(x_resources);
  return dpi && *dpi >= kHighDensityDpi ? 2 : 1;
}

std::optional<int> ScaleFactorSetting() { return ExplicitFactor(std::getenv("ORLIT_SCALE")); }

TPoint ToLogical(TPoint physical, int factor) {
  return {FloorDivide(physical.X, factor), FloorDivide(physical.Y, factor)};
}

void ScaleUpInto(const FrameView& frame, const TRect& area, int factor, void* target,
                 int target_pitch) {
  auto* base = static_cast<unsigned char*>(target);
  const auto row_bytes = static_cast<std::size_t>(area.Width()) * factor * 4;
  for (int y = area.Top; y < area.Bottom; ++y) {
    auto* first = base + static_cast<std::ptrdiff_t>(y) * factor * target_pitch +
                  static_cast<std::ptrdiff_t>(area.Left) * factor * 4;
    auto* out = reinterpret_cast<std::uint32_t*>(first);
    for (int x = area.Left; x < area.Right; ++x) out = std::fill_n(out, factor, frame.Pixel(x, y));
    // The other rows of the square are copies of the first.
    for (int copy = 1; copy < factor; ++copy) {
      std::memcpy(first + static_cast<std::ptrdiff_t>(copy) * target_pitch, first, row_bytes);
    }
  }
}

PixelImage ScaleUp(const PixelImage& image, int factor) {
  if (factor <= 1) return image;
  PixelImage scaled(image.Width() * factor, image.Height() * factor);
  ScaleUpInto(FrameView::Of(image), TRect{0, 0, image.Width(), image.Height()}, factor,
              scaled.Row(0).data(), scaled.Width() * 4);
  return scaled;
}

}  // namespace orlit
