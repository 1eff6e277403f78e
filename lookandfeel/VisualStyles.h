#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lookandfeel/ThemeService.h"

namespace orlit {

// The kinds of themed objects, in the order of their default class names.
enum class ThemedObject {
  kButton,
  kClock,
  kComboBox,
  kEdit,
  kExplorerBar,
  kHeader,
  kListView,
  kMenu,
  kPage,
  kProgress,
  kRebar,
  kScrollBar,
  kSpin,
  kStartPanel,
  kStatus,
  kTab,
  kTaskBand,
  kTaskBar,
  kToolBar,
  kToolTip,
  kTrackBar,
  kTrayNotify,
  kTreeView,
  kWindow,
};
inline constexpr int kThemedObjectCount = 24;

// A set of ThemedObject, one bit per kind in enumeration order.
using ThemedObjects = std::uint32_t;
constexpr ThemedObjects ThemedObjectBit(ThemedObject kind) {
  return ThemedObjects{1} << static_cast<int>(kind);
}

// "Button", "Clock", ...: the class name a kind's theme is opened with by default.
std::string_view ThemedObjectClassName(ThemedObject kind);

class TdxThemeChangedEventReceiver;
class TdxThemeChangedNotificator;

// The process-wide binding to the visual-style service: whether it can be used, the theme
// handles per kind of themed object, and the theme-change broadcast. Exactly one exists while
// the look and feel is started (LookAndFeelModule); without it nothing is themed.
class VisualStyleBinding {
 public:
  // Start-up: the library is loaded only on platform version 5.1 or later; when loaded, the
  // theme-active flag is read and the theme-change receiver created.
  explicit VisualStyleBinding(std::unique_ptr<ThemeService> service);
  ~VisualStyleBinding();
  VisualStyleBinding(const VisualStyleBinding&) = delete;
  VisualStyleBinding& operator=(const VisualStyleBinding&) = delete;

  // The binding of this process; null before start-up and after shut-down.
  static VisualStyleBinding* Current();

  ThemeService& Service() const { return *service_; }
  bool LibraryLoaded() const { return library_loaded_; }
  bool ThemeActive() const { return theme_active_; }
  // Library loaded and a theme active.
  bool Usable() const { return library_loaded_ && theme_active_; }

  // The kind's theme handle, opened with `class_list` (or, without one, with the list it was
  // last opened with, else its default class name); 0 when the service is not usable or the
  // theme does not open. Lists are compared ignoring case.
  HTHEME OpenTheme(ThemedObject kind, std::string_view class_list = {});
  // Closes the kind's handle and forgets its list; true (there is nothing to fail).
  bool CloseTheme(ThemedObject kind);
  // Closes every open handle; the class lists stay for reopening.
  void CloseAllThemes();
  // Usable, and every kind of the set opens.
  bool AreVisualStylesAvailable(ThemedObjects kinds);

  // The theme-changed message (WM_THEMECHANGED) as the receiver handles it: closes all handles,
  // reads the theme-active flag anew and tells the notificators in the order they registered.
  // An exception on the way goes to the application's exception reporting (rethrown when
  // there is no application).
  void ThemeChanged();

 private:
  friend class TdxThemeChangedEventReceiver;
  friend class TdxThemeChangedNotificator;

  struct CacheEntry {
    HTHEME handle = 0;
    std::string class_list;
  };

  void AddNotificator(TdxThemeChangedNotificator* notificator);
  void RemoveNotificator(TdxThemeChangedNotificator* notificator);

  std::unique_ptr<ThemeService> service_;
  bool library_loaded_ = false;
  bool theme_active_ = false;
  std::array<CacheEntry, kThemedObjectCount> cache_;
  std::unique_ptr<TdxThemeChangedEventReceiver> receiver_;
  std::vector<TdxThemeChangedNotificator*> notificators_;
};

// Receives the desktop's theme-changed message while the theme library is loaded.
class TdxThemeChangedEventReceiver {
 public:
  explicit TdxThemeChangedEventReceiver(VisualStyleBinding& binding);
  // Clears the theme-active flag: without a receiver no change would be noticed.
  ~TdxThemeChangedEventReceiver();
  TdxThemeChangedEventReceiver(const TdxThemeChangedEventReceiver&) = delete;
  TdxThemeChangedEventReceiver& operator=(const TdxThemeChangedEventReceiver&) = delete;

  // The receiver's window procedure; answers 0 for the theme-changed message.
  long WndProc(unsigned message);

 private:
  VisualStyleBinding& binding_;
};

// Tells its owner that the desktop's theme changed. Registers with the binding when created and
// unregisters when destroyed, both only while the theme library is loaded.
class TdxThemeChangedNotificator {
 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator();
  TdxThemeChangedNotificator(const TdxThemeChangedNotificator&) = delete;
  TdxThemeChangedNotificator& operator=(const TdxThemeChangedNotificator&) = delete;

  std::function<void(TdxThemeChangedNotificator* sender)> OnThemeChanged;

 private:
  friend class VisualStyleBinding;
  VisualStyleBinding* binding_ = nullptr;
};

// The process-wide binding's answers; without a binding nothing is themed.
bool IsThemeLibraryLoaded();
bool AreVisualStylesUsable();
HTHEME OpenTheme(ThemedObject kind, std::string_view class_list = {});
bool CloseTheme(ThemedObject kind);
void CloseAllThemes();
bool AreVisualStylesAvailable(ThemedObjects kinds = 0);
// The service of the process-wide binding; null without one.
ThemeService* CurrentThemeService();

}  // namespace orlit
