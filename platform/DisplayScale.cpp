#include "platform/DisplayScale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/PixelGrid.h"

namespace orlit {
namespace {

constexpr double kBaseDpi = 96;

std::optional<double> ExplicitFactor(const char* scale_setting) {
  if (scale_setting == nullptr) return std::nullopt;
  const std::string_view text(scale_setting);
  double factor = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), factor);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!(factor >= 1 && factor <= kMaxScaleFactor)) return std::nullopt;
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

}  // namespace

double ChooseScaleFactor(const char* scale_setting, std::string_view x_resources) {
  if (const auto factor = ExplicitFactor(scale_setting)) return *factor;
  const auto dpi = XftDpi(x_resources);
  if (!dpi) return 1;
  // The nearest quarter: 120 dpi is 1.25, 144 is 1.5, 192 is 2.
  return std::clamp(std::round(*dpi / kBaseDpi * 4) / 4, 1.0, double{kMaxScaleFactor});
}

std::optional<double> ScaleFactorSetting() { return ExplicitFactor(std::getenv("ORLIT_SCALE")); }

TPoint ToLogical(TPoint physical, double factor) {
  return {static_cast<int>(LogicalPixel(physical.X, factor)),
          static_cast<int>(LogicalPixel(physical.Y, factor))};
}

TPoint ToPhysical(TPoint logical, double factor) {
  return {static_cast<int>(DeviceEdge(logical.X, factor)),
          static_cast<int>(DeviceEdge(logical.Y, factor))};
}

}  // namespace orlit
