#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/DeviceContext.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"

namespace orlit {

// A theme handle of the visual-style service; 0 is none.
using HTHEME = std::uintptr_t;

// Parts and states of the themed objects the controls draw.
inline constexpr int EP_EDITTEXT = 1;
inline constexpr int ETS_NORMAL = 1;
inline constexpr int ETS_HOT = 2;
inline constexpr int ETS_SELECTED = 3;
inline constexpr int ETS_DISABLED = 4;
inline constexpr int ETS_FOCUSED = 5;
inline constexpr int ETS_READONLY = 6;
inline constexpr int BP_GROUPBOX = 4;
inline constexpr int GBS_NORMAL = 1;
inline constexpr int GBS_DISABLED = 2;
// Theme colour property of a part's text.
inline constexpr int TMT_TEXTCOLOR = 3803;

// The desktop's message numbers the look and feel listens for.
inline constexpr unsigned WM_SYSCOLORCHANGE = 21;
inline constexpr unsigned WM_THEMECHANGED = 794;

// The platform's visual-style (theme) library as the look and feel uses it. The binding in
// VisualStyles.h keeps the handles and the theme-active flag; this interface only reaches the
// platform, so another desktop (or a test) can supply its own.
class ThemeService {
 public:
  struct Version {
    int major = 0;
    int minor = 0;
  };

  virtual ~ThemeService() = default;

  virtual Version PlatformVersion() const = 0;
  // Loads the theme library; false when the platform has none.
  virtual bool LoadLibrary() = 0;
  virtual void FreeLibrary() = 0;

  virtual bool IsThemeActive() const = 0;
  // Opens the theme data of the first class in the semicolon-separated list that the current
  // theme knows, for no particular window; 0 when none.
  virtual HTHEME OpenThemeData(std::string_view class_list) = 0;
  virtual void CloseThemeData(HTHEME theme) = 0;
  virtual void DrawThemeBackground(HTHEME theme, DeviceContext& dc, int part, int state,
                                   const TRect& rect) = 0;
  // The area inside the part's border; false when the theme cannot say.
  virtual bool GetThemeBackgroundContentRect(HTHEME theme, int part, int state, const TRect& bounds,
                                             TRect& content) = 0;
  virtual bool IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) = 0;
  virtual bool GetThemeColor(HTHEME theme, int part, int state, int property, TColor& color) = 0;
  // The theme file's path and the colour scheme's name; false without an active theme.
  virtual bool GetCurrentThemeName(std::string& file_name, std::string& color_name) = 0;

  // Called by the service when the desktop announces a theme change (WM_THEMECHANGED).
  std::function<void()> OnThemeChanged;
};

// The binding to this desktop: it offers no visual-style service, so the library never loads
// and native painting always falls back to the kind's painter.
std::unique_ptr<ThemeService> CreateDesktopThemeService();

}  // namespace orlit
