#pragma once

#include <memory>
#include <string>

#include "platform/Accessible.h"

namespace orlit {

class AtspiBridge;
class BusConnection;
class WindowSystem;

// Turns the AT-SPI bridge on when assistive technology asks for it, and off when it no longer
// does: ORLIT_ACCESSIBILITY=1 turns it on regardless, =0 never; otherwise the session bus's
// org.a11y.Bus says so through org.a11y.Status (IsEnabled or ScreenReaderEnabled), followed while
// the program runs. No session bus: nothing at all. Every call on a bus is answered later, through
// the loop; a bus that never answers leaves the program as it is without the bridge.
class AtspiActivation {
 public:
  AtspiActivation(WindowSystem& loop, AccessibleNode& root);
  ~AtspiActivation();
  AtspiActivation(const AtspiActivation&) = delete;
  AtspiActivation& operator=(const AtspiActivation&) = delete;

  // Called once the first frame is on the screen, so that start-up never pays for any of this.
  void Start();
  bool BridgeOn() const { return bridge_ != nullptr; }

  static constexpr int kCallTimeoutMs = 5000;

 private:
  void AskStatus();
  void Follow(bool enabled);
  void Connect();
  void ConnectTo(const std::string& address);
  void Disconnect();

  WindowSystem& loop_;
  AccessibleNode& root_;
  bool forced_ = false;
  bool connecting_ = false;
  std::unique_ptr<BusConnection> session_;
  std::unique_ptr<AtspiBridge> bridge_;
};

}  // namespace orlit
