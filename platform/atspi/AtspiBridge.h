#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/Accessible.h"
#include "platform/BusConnection.h"

namespace orlit {

// Speaks AT-SPI on the accessibility bus for the accessible tree under `root`: it embeds the
// application in the registry, answers the interfaces screen readers use (Accessible,
// Application, Component, Text, EditableText, Action, Cache) and sends the model's events as
// AT-SPI signals. Coordinates go out in screen pixels: window pixels at the display `scale`.
class AtspiBridge final : public AccessibilityBridge {
 public:
  AtspiBridge(std::unique_ptr<BusConnection> bus, AccessibleNode& root, double scale);
  ~AtspiBridge() override;

  // Registers with the registry once the bus has named the connection.
  void Embed();
  BusConnection& Bus() { return *bus_; }

  void NodeRemoved(AccessibleNode& node) override;
  void ChildAdded(AccessibleNode& parent, AccessibleNode& child) override;
  void ChildRemoved(AccessibleNode& parent, AccessibleNode& child) override;
  void StateChanged(AccessibleNode& node, AccessibleState state, bool on) override;
  void TextInserted(AccessibleNode& node, int offset, const std::string& text) override;
  void TextDeleted(AccessibleNode& node, int offset, const std::string& text) override;
  void CaretMoved(AccessibleNode& node, int offset) override;
  void WindowActivated(AccessibleNode& window, bool active) override;

  // Writes values into a message.
  class Out;

 private:
  class Call;

  void AppendCacheItem(Out& out, AccessibleNode& node);
  void EmitCache(AccessibleNode& node, bool added);
  bool HandleMessage(DBusMessage* message);
  std::string PathOf(AccessibleNode* node);
  AccessibleNode* NodeAt(const std::string& path) const;
  void Emit(AccessibleNode& node, const char* interface, const char* member, const char* detail,
            int detail1, int detail2, char variant_type, const void* variant_value);

  bool Accessible(Call& call, AccessibleNode& node);
  bool Application(Call& call);
  bool Component(Call& call, AccessibleNode& node);
  bool Text(Call& call, AccessibleNode& node);
  bool EditableText(Call& call, AccessibleNode& node);
  bool Action(Call& call, AccessibleNode& node);
  bool Properties(Call& call, AccessibleNode& node);
  bool Cache(Call& call);

  std::unique_ptr<BusConnection> bus_;
  AccessibleNode& root_;
  double scale_;
  // A rectangle in window pixels as screen pixels.
  TRect OnScreen(const TRect& rect) const;
  std::string registry_name_;  // the registry's root: the application's parent
  std::string registry_path_;
  int application_id_ = 0;
  std::map<AccessibleNode*, std::uint64_t> ids_;
  std::map<std::uint64_t, AccessibleNode*> nodes_;
  std::uint64_t next_id_ = 1;
};

}  // namespace orlit
