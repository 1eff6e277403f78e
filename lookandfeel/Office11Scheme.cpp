#include "lookandfeel/Office11Scheme.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string>

#include "lookandfeel/VisualStyles.h"

namespace orlit {
namespace {

struct SchemeTable {
  TColor base;
  TColor background;  // mixed with the base colour
  TColor border;
  TColor selected_border;
};

// Blue, olive and silver; only the colours this program's controls draw with.
constexpr std::array<SchemeTable, 3> kSchemeTables = {{
    {RGB(0, 45, 150), RGB(195, 218, 249), RGB(0, 45, 150), RGB(0, 0, 128)},
    {RGB(144, 153, 102), RGB(242, 240, 228), RGB(96, 128, 88), RGB(63, 93, 56)},
    {RGB(124, 124, 148), RGB(243, 243, 247), RGB(124, 124, 148), RGB(75, 75, 111)},
}};

std::optional<Office11Scheme>& KeptScheme() {
  static auto& scheme = *new std::optional<Office11Scheme>;
  return scheme;
}

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// a * b / c rounded half up, for the non-negative channel arithmetic.
int MulDivRounded(int a, int b, int c) { return (2 * a * b + c) / (2 * c); }

Office11Scheme ComputeScheme() {
  Office11Scheme scheme;
  scheme.number = DetectOffice11SchemeNumber();
  if (scheme.number == 0) {
    scheme.background = ColorToRGB(clBtnFace);
    scheme.border = ColorToRGB(clBtnShadow);
    scheme.selected_border = ColorToRGB(clHighlight);
  } else {
    const SchemeTable& table = kSchemeTables[static_cast<std::size_t>(scheme.number - 1)];
    scheme.background = Office11MixColor(table.background, table.base);
    scheme.border = table.border;
    scheme.selected_border = table.selected_border;
  }
  scheme.background_brush = Brush::Solid(scheme.background);
  scheme.border_brush = Brush::Solid(scheme.border);
  return scheme;
}

}  // namespace

int DetectOffice11SchemeNumber() {
  ThemeService* service = CurrentThemeService();
  if (service == nullptr || !AreVisualStylesUsable()) return 0;
  std::string file_name;
  std::string color_name;
  if (!service->GetCurrentThemeName(file_name, color_name)) return 0;
  const std::size_t slash = file_name.find_last_of("\\/");
  if (slash != std::string::npos) file_name.erase(0, slash + 1);
  if (UpperCase(file_name) != "LUNA.MSSTYLES") return 0;
  const std::string color = UpperCase(color_name);
  if (color == "NORMALCOLOR") return 1;
  if (color == "HOMESTEAD") return 2;
  if (color == "METALLIC") return 3;
  return 0;
}

TColor Office11MixColor(TColor color, TColor base) {
  const TColor a = ColorToRGB(color);
  const TColor b = ColorToRGB(base);
  auto mix = [](int x, int y) {
    return static_cast<uint8_t>(
        std::min(255, MulDivRounded(x, 90, 100) + MulDivRounded(y, 10, 100)));
  };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
             mix(GetBValue(a), GetBValue(b)));
}

Office11Scheme CurrentOffice11Scheme() {
  if (KeptScheme()) return *KeptScheme();
  return ComputeScheme();
}

void RebuildOffice11Scheme() { KeptScheme() = ComputeScheme(); }

void ReleaseOffice11Scheme() { KeptScheme().reset(); }

}  // namespace orlit
