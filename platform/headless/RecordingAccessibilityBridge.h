#pragma once

#include <string>
#include <vector>

#include "platform/Accessible.h"

namespace orlit {

// The bridge of the headless desktop: it keeps every event as a line of text, so tests read what
// a screen reader would have been told. Made current while it lives.
//
// Lines: "focused+ NAME", "focused- NAME" (any state: its AT-SPI name), "insert NAME @OFFSET
// TEXT", "delete NAME @OFFSET TEXT", "caret NAME @OFFSET", "activate NAME", "deactivate NAME",
// "add PARENT/CHILD", "remove PARENT/CHILD"; a node without a name is named by its role.
class RecordingAccessibilityBridge final : public AccessibilityBridge {
 public:
  RecordingAccessibilityBridge();
  ~RecordingAccessibilityBridge() override;

  const std::vector<std::string>& Events() const { return events_; }
  // The events so far, forgotten.
  std::vector<std::string> Take();

  void NodeRemoved(AccessibleNode& node) override;
  void ChildAdded(AccessibleNode& parent, AccessibleNode& child) override;
  void ChildRemoved(AccessibleNode& parent, AccessibleNode& child) override;
  void StateChanged(AccessibleNode& node, AccessibleState state, bool on) override;
  void TextInserted(AccessibleNode& node, int offset, const std::string& text) override;
  void TextDeleted(AccessibleNode& node, int offset, const std::string& text) override;
  void CaretMoved(AccessibleNode& node, int offset) override;
  void WindowActivated(AccessibleNode& window, bool active) override;

 private:
  std::vector<std::string> events_;
};

}  // namespace orlit
