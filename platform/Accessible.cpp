#include "platform/Accessible.h"

#include <algorithm>

namespace orlit {

namespace {

AccessibilityBridge*& BridgeSlot() {
  static AccessibilityBridge*& slot = *new AccessibilityBridge*(nullptr);
  return slot;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

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

int CharacterCount(const std::string& utf8) {
  return static_cast<int>(
      std::count_if(utf8.begin(), utf8.end(), [](char c) { return !IsContinuationByte(c); }));
}

std::size_t ByteOfCharacter(const std::string& utf8, int offset) {
  std::size_t byte = 0;
  for (int seen = 0; byte < utf8.size(); ++byte) {
    if (IsContinuationByte(utf8[byte])) continue;
    if (seen++ == offset) return byte;
  }
  return utf8.size();
}

std::string CharacterRange(const std::string& utf8, int start, int end) {
  if (end < start) std::swap(start, end);
  const std::size_t from = ByteOfCharacter(utf8, std::max(start, 0));
  const std::size_t to = ByteOfCharacter(utf8, std::max(end, 0));
  return utf8.substr(from, to - from);
}

}  // namespace orlit
