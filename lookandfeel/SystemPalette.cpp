#include "lookandfeel/SystemPalette.h"

#include <algorithm>

#include "lookandfeel/Office11Scheme.h"

namespace orlit {
namespace {

// The listener goes when its last notifier does; the slot itself is process-wide.
std::unique_ptr<TcxSystemPaletteChangedListener>& TheListener() {
  static auto& listener = *new std::unique_ptr<TcxSystemPaletteChangedListener>;
  return listener;
}

}  // namespace

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener()
    : subscription_([this] { SystemColorsChanged(); }) {
  RebuildOffice11Scheme();
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() { ReleaseOffice11Scheme(); }

TcxSystemPaletteChangedListener* TcxSystemPaletteChangedListener::Instance() {
  return TheListener().get();
}

void TcxSystemPaletteChangedListener::SystemColorsChanged() {
  // Nothing below may touch this object: a handler can free the last notifier and with it the
  // listener.
  RebuildOffice11Scheme();
  CallNotifiers(true);
  CallNotifiers(false);
}

void TcxSystemPaletteChangedListener::CallNotifiers(bool primary) {
  if (Instance() == nullptr) return;
  // Handlers may create and free notifiers: walk a copy and tell only those still registered.
  const std::vector<TcxSystemPaletteChangedNotifier*> snapshot = Instance()->notifiers_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    TcxSystemPaletteChangedListener* listener = Instance();
    if (listener == nullptr) return;
    const auto& current = listener->notifiers_;
    if (std::find(current.begin(), current.end(), *it) == current.end()) continue;
    if ((*it)->IsPrimary() != primary || !(*it)->OnSystemPaletteChanged) continue;
    (*it)->OnSystemPaletteChanged();
  }
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* notifier) {
  if (!TheListener()) TheListener() = std::make_unique<TcxSystemPaletteChangedListener>();
  TheListener()->notifiers_.push_back(notifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* notifier) {
  if (!TheListener()) return;
  std::erase(TheListener()->notifiers_, notifier);
  if (TheListener()->notifiers_.empty()) TheListener().reset();
}

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool primary) : primary_(primary) {
  TcxSystemPaletteChangedListener::AddNotifier(this);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  TcxSystemPaletteChangedListener::RemoveNotifier(this);
}

}  // namespace orlit
