#include "platform/headless/RecordingAccessibilityBridge.h"

#include <utility>

namespace orlit {

RecordingAccessibilityBridge::RecordingAccessibilityBridge() { SetCurrent(this); }

RecordingAccessibilityBridge::~RecordingAccessibilityBridge() {
  if (Current() == this) SetCurrent(nullptr);
}

std::vector<std::string> RecordingAccessibilityBridge::Take() { return std::exchange(events_, {}); }

void RecordingAccessibilityBridge::NodeRemoved(AccessibleNode&) {}

void RecordingAccessibilityBridge::ChildAdded(AccessibleNode& parent, AccessibleNode& child) {
  events_.push_back("add " + NodeLabel(parent) + "/" + NodeLabel(child));
}

void RecordingAccessibilityBridge::ChildRemoved(AccessibleNode& parent, AccessibleNode& child) {
  events_.push_back("remove " + NodeLabel(parent) + "/" + NodeLabel(child));
}

void RecordingAccessibilityBridge::StateChanged(AccessibleNode& node, AccessibleState state,
                                                bool on) {
  events_.push_back(std::string(StateName(state)) + (on ? "+ " : "- ") + NodeLabel(node));
}

void RecordingAccessibilityBridge::TextInserted(AccessibleNode& node, int offset,
                                                const std::string& text) {
  events_.push_back("insert " + NodeLabel(node) + " @" + std::to_string(offset) + " " + text);
}

void RecordingAccessibilityBridge::TextDeleted(AccessibleNode& node, int offset,
                                               const std::string& text) {
  events_.push_back("delete " + NodeLabel(node) + " @" + std::to_string(offset) + " " + text);
}

void RecordingAccessibilityBridge::CaretMoved(AccessibleNode& node, int offset) {
  events_.push_back("caret " + NodeLabel(node) + " @" + std::to_string(offset));
}

void RecordingAccessibilityBridge::WindowActivated(AccessibleNode& window, bool active) {
  events_.push_back((active ? "activate " : "deactivate ") + NodeLabel(window));
}

}  // namespace orlit
