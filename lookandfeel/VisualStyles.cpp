#include "lookandfeel/VisualStyles.h"

#include <algorithm>
#include <cctype>

#include "framework/Application.h"

namespace orlit {
namespace {

constexpr std::array<std::string_view, kThemedObjectCount> kClassNames = {
    "Button",   "Clock",      "ComboBox", "Edit",       "ExplorerBar", "Header",
    "ListView", "Menu",       "Page",     "Progress",   "Rebar",       "ScrollBar",
    "Spin",     "StartPanel", "Status",   "Tab",        "TaskBand",    "TaskBar",
    "ToolBar",  "ToolTip",    "TrackBar", "TrayNotify", "TreeView",    "Window"};

VisualStyleBinding* g_binding = nullptr;

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool VisualStylesPossible(ThemeService::Version version) {
  return version.major > 5 || (version.major == 5 && version.minor > 0);
}

std::size_t Index(ThemedObject kind) { return static_cast<std::size_t>(kind); }

bool IsKind(int value) { return value >= 0 && value < kThemedObjectCount; }

}  // namespace

std::string_view ThemedObjectClassName(ThemedObject kind) {
  return IsKind(static_cast<int>(kind)) ? kClassNames[Index(kind)] : std::string_view{};
}

VisualStyleBinding::VisualStyleBinding(std::unique_ptr<ThemeService> service)
    : service_(std::move(service)) {
  if (!service_) service_ = CreateDesktopThemeService();
  if (VisualStylesPossible(service_->PlatformVersion())) {
    library_loaded_ = service_->LoadLibrary();
  }
  if (library_loaded_) {
    theme_active_ = service_->IsThemeActive();
    receiver_ = std::make_unique<TdxThemeChangedEventReceiver>(*this);
  }
  g_binding = this;
}

VisualStyleBinding::~VisualStyleBinding() {
  if (g_binding == this) g_binding = nullptr;
  receiver_.reset();
  for (TdxThemeChangedNotificator* notificator : notificators_) notificator->binding_ = nullptr;
  notificators_.clear();
  if (library_loaded_) {
    CloseAllThemes();
    service_->FreeLibrary();
  }
}

VisualStyleBinding* VisualStyleBinding::Current() { return g_binding; }

HTHEME VisualStyleBinding::OpenTheme(ThemedObject kind, std::string_view class_list) {
  if (!Usable() || !IsKind(static_cast<int>(kind))) return 0;
  CacheEntry& entry = cache_[Index(kind)];
  if (entry.handle != 0) {
    if (class_list.empty() || EqualIgnoringCase(class_list, entry.class_list)) return entry.handle;
    service_->CloseThemeData(entry.handle);
    entry.handle = 0;
  }
  std::string list(class_list);
  if (list.empty()) list = entry.class_list;
  if (list.empty()) list = ThemedObjectClassName(kind);
  entry.handle = service_->OpenThemeData(list);
  if (entry.handle != 0) {
    entry.class_list = std::move(list);
  } else {
    entry.class_list.clear();
  }
  return entry.handle;
}

bool VisualStyleBinding::CloseTheme(ThemedObject kind) {
  if (!Usable() || !IsKind(static_cast<int>(kind))) return true;
  CacheEntry& entry = cache_[Index(kind)];
  if (entry.handle != 0) service_->CloseThemeData(entry.handle);
  entry = CacheEntry{};
  return true;
}

void VisualStyleBinding::CloseAllThemes() {
  if (!library_loaded_) return;
  for (CacheEntry& entry : cache_) {
    if (entry.handle == 0) continue;
    service_->CloseThemeData(entry.handle);
    entry.handle = 0;
  }
}

bool VisualStyleBinding::AreVisualStylesAvailable(ThemedObjects kinds) {
  if (!Usable()) return false;
  for (int i = 0; i < kThemedObjectCount; ++i) {
    const auto kind = static_cast<ThemedObject>(i);
    if ((kinds & ThemedObjectBit(kind)) != 0 && OpenTheme(kind) == 0) return false;
  }
  return true;
}

void VisualStyleBinding::ThemeChanged() {
  try {
    CloseAllThemes();
    theme_active_ = library_loaded_ && service_->IsThemeActive();
    // Notificators may come and go while being told; each one still registered is told once.
    const std::vector<TdxThemeChangedNotificator*> snapshot = notificators_;
    for (TdxThemeChangedNotificator* notificator : snapshot) {
      if (std::find(notificators_.begin(), notificators_.end(), notificator) ==
          notificators_.end()) {
        continue;
      }
      if (notificator->OnThemeChanged) notificator->OnThemeChanged(notificator);
    }
  } catch (...) {
    // The desktop's message arrives outside any event handler: the application reports it as
    // it reports every other error; without an application it goes back to the sender.
    if (Application == nullptr) throw;
    Application->HandleException(nullptr);
  }
}

void VisualStyleBinding::AddNotificator(TdxThemeChangedNotificator* notificator) {
  notificators_.push_back(notificator);
}

void VisualStyleBinding::RemoveNotificator(TdxThemeChangedNotificator* notificator) {
  std::erase(notificators_, notificator);
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver(VisualStyleBinding& binding)
    : binding_(binding) {
  binding_.Service().OnThemeChanged = [this] { WndProc(WM_THEMECHANGED); };
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  binding_.Service().OnThemeChanged = nullptr;
  binding_.theme_active_ = false;
}

long TdxThemeChangedEventReceiver::WndProc(unsigned message) {
  if (message == WM_THEMECHANGED) binding_.ThemeChanged();
  return 0;
}

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  VisualStyleBinding* binding = VisualStyleBinding::Current();
  if (binding == nullptr || !binding->LibraryLoaded()) return;
  binding_ = binding;
  binding_->AddNotificator(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (binding_ != nullptr) binding_->RemoveNotificator(this);
}

bool IsThemeLibraryLoaded() { return g_binding != nullptr && g_binding->LibraryLoaded(); }

bool AreVisualStylesUsable() { return g_binding != nullptr && g_binding->Usable(); }

HTHEME OpenTheme(ThemedObject kind, std::string_view class_list) {
  return g_binding != nullptr ? g_binding->OpenTheme(kind, class_list) : 0;
}

bool CloseTheme(ThemedObject kind) { return g_binding == nullptr || g_binding->CloseTheme(kind); }

void CloseAllThemes() {
  if (g_binding != nullptr) g_binding->CloseAllThemes();
}

bool AreVisualStylesAvailable(ThemedObjects kinds) {
  return g_binding != nullptr && g_binding->AreVisualStylesAvailable(kinds);
}

ThemeService* CurrentThemeService() {
  return g_binding != nullptr ? &g_binding->Service() : nullptr;
}

}  // namespace orlit
