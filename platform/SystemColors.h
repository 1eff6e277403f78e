#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <utility>

namespace orlit {

// A colour value: 0x00BBGGRR for an RGB colour (red in the low byte), or a system colour written
// 0xFF000000 + the system-colour index, which is resolved at drawing time.
using TColor = uint32_t;

inline constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
inline constexpr uint8_t GetRValue(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
inline constexpr uint8_t GetGValue(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
inline constexpr uint8_t GetBValue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }

inline constexpr TColor kSystemColorBase = 0xFF000000u;
inline constexpr int kSystemColorCount = 31;

// System-colour indices.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

inline constexpr TColor clScrollBar = kSystemColorBase | COLOR_SCROLLBAR;
inline constexpr TColor clBackground = kSystemColorBase | COLOR_BACKGROUND;
inline constexpr TColor clActiveCaption = kSystemColorBase | COLOR_ACTIVECAPTION;
inline constexpr TColor clInactiveCaption = kSystemColorBase | COLOR_INACTIVECAPTION;
inline constexpr TColor clMenu = kSystemColorBase | COLOR_MENU;
inline constexpr TColor clWindow = kSystemColorBase | COLOR_WINDOW;
inline constexpr TColor clWindowFrame = kSystemColorBase | COLOR_WINDOWFRAME;
inline constexpr TColor clMenuText = kSystemColorBase | COLOR_MENUTEXT;
inline constexpr TColor clWindowText = kSystemColorBase | COLOR_WINDOWTEXT;
inline constexpr TColor clCaptionText = kSystemColorBase | COLOR_CAPTIONTEXT;
inline constexpr TColor clActiveBorder = kSystemColorBase | COLOR_ACTIVEBORDER;
inline constexpr TColor clInactiveBorder = kSystemColorBase | COLOR_INACTIVEBORDER;
inline constexpr TColor clAppWorkSpace = kSystemColorBase | COLOR_APPWORKSPACE;
inline constexpr TColor clHighlight = kSystemColorBase | COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = kSystemColorBase | COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = kSystemColorBase | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = kSystemColorBase | COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = kSystemColorBase | COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = kSystemColorBase | COLOR_BTNTEXT;
inline constexpr TColor clInactiveCaptionText = kSystemColorBase | COLOR_INACTIVECAPTIONTEXT;
inline constexpr TColor clBtnHighlight = kSystemColorBase | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = kSystemColorBase | COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = kSystemColorBase | COLOR_3DLIGHT;
inline constexpr TColor clInfoText = kSystemColorBase | COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = kSystemColorBase | COLOR_INFOBK;
inline constexpr TColor clHotLight = kSystemColorBase | COLOR_HOTLIGHT;
inline constexpr TColor clGradientActiveCaption = kSystemColorBase | COLOR_GRADIENTACTIVECAPTION;
inline constexpr TColor clGradientInactiveCaption =
    kSystemColorBase | COLOR_GRADIENTINACTIVECAPTION;
inline constexpr TColor clMenuHighlight = kSystemColorBase | COLOR_MENUHILIGHT;
inline constexpr TColor clMenuBar = kSystemColorBase | COLOR_MENUBAR;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a system-colour index from the current table; black for an unknown index.
TColor GetSysColor(int index);

// Resolves a system colour to its current RGB value; an RGB value comes back with its high byte
// cleared. Sentinels such as clNone resolve to their low 24 bits, as any other value would.
TColor ColorToRGB(TColor color);

// The resolved colour as a pixel of the drawing surface (0x00RRGGBB).
uint32_t ColorToPixel(TColor color);

// Changes entries of the table (index, RGB value), then tells every listener once. Unknown
// indices are skipped; nothing is announced when no entry changed.
void SetSysColors(std::span<const std::pair<int, TColor>> changes);

// Puts back the classic desktop palette, announcing it when anything changed.
void ResetSysColors();

// A registration for system-colour changes; the listener is dropped when this is destroyed.
class SysColorSubscription {
 public:
  SysColorSubscription() = default;
  explicit SysColorSubscription(std::function<void()> listener);
  ~SysColorSubscription();
  SysColorSubscription(SysColorSubscription&& other) noexcept;
  SysColorSubscription& operator=(SysColorSubscription&& other) noexcept;
  SysColorSubscription(const SysColorSubscription&) = delete;
  SysColorSubscription& operator=(const SysColorSubscription&) = delete;

 private:
  void Release();
  uint64_t id_ = 0;
};

}  // namespace orlit
