#include "platform/Accessible.h"

#include <algorithm>

#include "convert/Utf8.h"

namespace orlit {

namespace {

AccessibilityBridge*& BridgeSlot() {
  static AccessibilityBridge*& slot = *new AccessibilityBridge*(nullptr);
  return slot;
}

}  // namespace

AccessibilityBridge* AccessibilityBridge::Current() { return BridgeSlot(); }

void AccessibilityBridge::SetCurrent(AccessibilityBridge* bridge) { BridgeSlot() = bridge; }

const char* RoleName(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::kApplication:
      return "application";
    case AccessibleRole::kFrame:
      return "frame";
    case AccessibleRole::kPanel:
      return "panel";
    case AccessibleRole::kLabel:
      return "label";
    case AccessibleRole::kEntry:
      return "entry";
    case AccessibleRole::kText:
      return "text";
    case AccessibleRole::kImage:
      return "image";
    case AccessibleRole::kPushButton:
      return "push button";
    case AccessibleRole::kAlert:
      return "alert";
    case AccessibleRole::kPopupMenu:
      return "popup menu";
    case AccessibleRole::kMenuItem:
      return "menu item";
  }
  return "unknown";
}

const char* StateName(AccessibleState state) {
  switch (state) {
    case kStateActive:
      return "active";
    case kStateEditable:
      return "editable";
    case kStateEnabled:
      return "enabled";
    case kStateFocusable:
      return "focusable";
    case kStateFocused:
      return "focused";
    case kStateMultiLine:
      return "multi-line";
    case kStateReadOnly:
      return "read-only";
    case kStateSensitive:
      return "sensitive";
    case kStateShowing:
      return "showing";
    case kStateSingleLine:
      return "single-line";
    case kStateVisible:
      return "visible";
    case kStateModal:
      return "modal";
  }
  return "unknown";
}

std::string NodeLabel(const AccessibleNode& node) {
  std::string name = node.Name();
  if (!name.empty()) return name;
  return std::string("[") + RoleName(node.Role()) + "]";
}

std::string CharacterRange(const std::string& utf8, int start, int end) {
  if (end < start) std::swap(start, end);
  const std::size_t from = ByteOfCodePoint(utf8, std::max(start, 0));
  const std::size_t to = ByteOfCodePoint(utf8, std::max(end, 0));
  return utf8.substr(from, to - from);
}

}  // namespace orlit
