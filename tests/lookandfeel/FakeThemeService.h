#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "lookandfeel/ThemeService.h"

namespace orlit::testing {

// What the fake service knows and did; shared with the test, since the binding owns the
// service and frees it first.
struct FakeThemeState {
  ThemeService::Version version{6, 0};
  bool library_present = true;
  bool theme_active = true;
  bool library_freed = false;
  // Class names (upper case) whose theme opens.
  std::set<std::string> known_classes = {"BUTTON", "EDIT", "LISTVIEW", "WINDOW"};
  std::string theme_file = "C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
  std::string color_name = "NormalColor";
  HTHEME next_handle = 100;
  std::map<HTHEME, std::string> open;  // handle -> class list it was opened with
  std::vector<std::string> calls;      // "open EDIT", "close 100", ...
  // The content rectangle lies this far inside the bounds.
  int content_inset = 2;
};

// Colours the fake theme draws with, by part and state.
inline TColor FakeThemeColor(int part, int state) {
  return RGB(static_cast<uint8_t>(20 + part * 40), static_cast<uint8_t>(30 + state * 20), 200);
}

class FakeThemeService : public ThemeService {
 public:
  explicit FakeThemeService(std::shared_ptr<FakeThemeState> state) : state_(std::move(state)) {}

  Version PlatformVersion() const override { return state_->version; }
  bool LoadLibrary() override { return state_->library_present; }
  void FreeLibrary() override { state_->library_freed = true; }
  bool IsThemeActive() const override { return state_->theme_active; }
  HTHEME OpenThemeData(std::string_view class_list) override {
    std::string upper(class_list);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    state_->calls.push_back("open " + std::string(class_list));
    if (!state_->theme_active || !state_->known_classes.contains(upper)) return 0;
    const HTHEME handle = state_->next_handle++;
    state_->open[handle] = std::string(class_list);
    return handle;
  }
  void CloseThemeData(HTHEME theme) override {
    state_->calls.push_back("close " + std::to_string(theme));
    state_->open.erase(theme);
  }
  void DrawThemeBackground(HTHEME, DeviceContext& dc, int part, int state,
                           const TRect& rect) override {
    dc.FillRect(rect, Brush::Solid(FakeThemeColor(part, state)));
  }
  bool GetThemeBackgroundContentRect(HTHEME, int, int, const TRect& bounds,
                                     TRect& content) override {
    content = bounds.Inflate(-state_->content_inset, -state_->content_inset);
    return true;
  }
  bool IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) override { return false; }
  bool GetThemeColor(HTHEME, int part, int state, int, TColor& color) override {
    color = FakeThemeColor(part, state);
    return true;
  }
  bool GetCurrentThemeName(std::string& file_name, std::string& color_name) override {
    if (!state_->theme_active) return false;
    file_name = state_->theme_file;
    color_name = state_->color_name;
    return true;
  }

  // The desktop announcing a theme change.
  void FireThemeChanged() {
    if (OnThemeChanged) OnThemeChanged();
  }

 private:
  std::shared_ptr<FakeThemeState> state_;
};

}  // namespace orlit::testing
