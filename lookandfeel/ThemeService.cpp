#include "lookandfeel/ThemeService.h"

namespace orlit {
namespace {

class DesktopThemeService final : public ThemeService {
 public:
  Version PlatformVersion() const override { return {}; }
  bool LoadLibrary() override { return false; }
  void FreeLibrary() override {}
  bool IsThemeActive() const override { return false; }
  HTHEME OpenThemeData(std::string_view) override { return 0; }
  void CloseThemeData(HTHEME) override {}
  void DrawThemeBackground(HTHEME, DeviceContext&, int, int, const TRect&) override {}
  bool GetThemeBackgroundContentRect(HTHEME, int, int, const TRect&, TRect&) override {
    return false;
  }
  bool IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) override { return false; }
  bool GetThemeColor(HTHEME, int, int, int, TColor&) override { return false; }
  bool GetCurrentThemeName(std::string&, std::string&) override { return false; }
};

}  // namespace

std::unique_ptr<ThemeService> CreateDesktopThemeService() {
  return std::make_unique<DesktopThemeService>();
}

}  // namespace orlit
