#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/SystemColors.h"

namespace orlit {

class TcxSystemPaletteChangedNotifier;

// The process-wide receiver of the desktop's system-colour changes, shared by every notifier:
// created with the first notifier and freed with the last.
class TcxSystemPaletteChangedListener {
 public:
  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener();
  TcxSystemPaletteChangedListener(const TcxSystemPaletteChangedListener&) = delete;
  TcxSystemPaletteChangedListener& operator=(const TcxSystemPaletteChangedListener&) = delete;

  // The listener while one exists; null otherwise.
  static TcxSystemPaletteChangedListener* Instance();

  // A system-colour change (WM_SYSCOLORCHANGE): the Office-11 scheme first, then the primary
  // notifiers from the last registered to the first, then the secondary ones likewise.
  void SystemColorsChanged();

 private:
  friend class TcxSystemPaletteChangedNotifier;
  static void AddNotifier(TcxSystemPaletteChangedNotifier* notifier);
  static void RemoveNotifier(TcxSystemPaletteChangedNotifier* notifier);
  static void CallNotifiers(bool primary);

  std::vector<TcxSystemPaletteChangedNotifier*> notifiers_;
  SysColorSubscription subscription_;
};

// Tells its owner that the system colours changed. Primary notifiers are told before every
// secondary one.
class TcxSystemPaletteChangedNotifier {
 public:
  explicit TcxSystemPaletteChangedNotifier(bool primary = false);
  ~TcxSystemPaletteChangedNotifier();
  TcxSystemPaletteChangedNotifier(const TcxSystemPaletteChangedNotifier&) = delete;
  TcxSystemPaletteChangedNotifier& operator=(const TcxSystemPaletteChangedNotifier&) = delete;

  bool IsPrimary() const { return primary_; }

  std::function<void()> OnSystemPaletteChanged;

 private:
  bool primary_;
};

}  // namespace orlit
