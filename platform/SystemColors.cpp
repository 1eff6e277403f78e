#include "platform/SystemColors.h"

#include <array>
#include <map>
#include <vector>

namespace orlit {
namespace {

// The classic desktop scheme the window was designed under (grey 212/208/200 faces, navy
// highlight). Index 25 has no colour of its own.
constexpr std::array<TColor, kSystemColorCount> kClassicPalette = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

struct Registry {
  std::array<TColor, kSystemColorCount> table = kClassicPalette;
  std::map<uint64_t, std::function<void()>> listeners;
  uint64_t next_id = 1;
};

Registry& TheRegistry() {
  static Registry& registry = *new Registry;
  return registry;
}

void Announce() {
  // Listeners may subscribe or unsubscribe while being told; walk a snapshot of the ids and call
  // a copy, so a listener that drops itself does not destroy the function it is running.
  std::vector<uint64_t> ids;
  for (const auto& [id, listener] : TheRegistry().listeners) ids.push_back(id);
  for (uint64_t id : ids) {
    auto& listeners = TheRegistry().listeners;
    auto it = listeners.find(id);
    if (it == listeners.end()) continue;
    std::function<void()> listener = it->second;
    if (listener) listener();
  }
}

}  // namespace

TColor GetSysColor(int index) {
  if (index < 0 || index >= kSystemColorCount) return 0;
  return TheRegistry().table[static_cast<std::size_t>(index)];
}

TColor ColorToRGB(TColor color) {
  if ((color & 0xFF000000u) == kSystemColorBase) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFFu;
}

uint32_t ColorToPixel(TColor color) {
  TColor rgb = ColorToRGB(color);
  return (static_cast<uint32_t>(GetRValue(rgb)) << 16) |
         (static_cast<uint32_t>(GetGValue(rgb)) << 8) | GetBValue(rgb);
}

void SetSysColors(std::span<const std::pair<int, TColor>> changes) {
  bool changed = false;
  for (const auto& [index, color] : changes) {
    if (index < 0 || index >= kSystemColorCount) continue;
    TColor& slot = TheRegistry().table[static_cast<std::size_t>(index)];
    TColor rgb = color & 0x00FFFFFFu;
    if (slot != rgb) {
      slot = rgb;
      changed = true;
    }
  }
  if (changed) Announce();
}

void ResetSysColors() {
  if (TheRegistry().table == kClassicPalette) return;
  TheRegistry().table = kClassicPalette;
  Announce();
}

SysColorSubscription::SysColorSubscription(std::function<void()> listener) {
  Registry& registry = TheRegistry();
  id_ = registry.next_id++;
  registry.listeners.emplace(id_, std::move(listener));
}

SysColorSubscription::~SysColorSubscription() { Release(); }

SysColorSubscription::SysColorSubscription(SysColorSubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

SysColorSubscription& SysColorSubscription::operator=(SysColorSubscription&& other) noexcept {
  if (this != &other) {
    Release();
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

void SysColorSubscription::Release() {
  if (id_ != 0) TheRegistry().listeners.erase(id_);
  id_ = 0;
}

}  // namespace orlit
