#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/Geometry.h"

namespace orlit {

// What assistive technology (a screen reader) is told about the window: a tree of nodes, each
// with a role, a name, states, relations, a place on the screen and, where it applies, text and
// actions. The framework answers for its controls; a bridge (AT-SPI on the desktop, a recorder in
// tests) carries the tree and its events to the other side.

enum class AccessibleRole : std::uint8_t {
  kApplication,
  kFrame,
  kPanel,
  kLabel,
  kEntry,  // single-line text field
  kText,   // multi-line text
  kImage,
  kPushButton,
  kAlert,
  kPopupMenu,
  kMenuItem,
};

using AccessibleStates = std::uint32_t;
enum AccessibleState : AccessibleStates {
  kStateActive = 1u << 0,
  kStateEditable = 1u << 1,
  kStateEnabled = 1u << 2,
  kStateFocusable = 1u << 3,
  kStateFocused = 1u << 4,
  kStateMultiLine = 1u << 5,
  kStateReadOnly = 1u << 6,
  kStateSensitive = 1u << 7,
  kStateShowing = 1u << 8,
  kStateSingleLine = 1u << 9,
  kStateVisible = 1u << 10,
  kStateModal = 1u << 11,
};

enum class AccessibleRelationType : std::uint8_t { kLabelFor, kLabelledBy };

class AccessibleNode;

struct AccessibleRelation {
  AccessibleRelationType type;
  AccessibleNode* target;
};

// The text of a node, in characters (Unicode code points) as assistive technology counts them.
// Editing goes through the same rules as typing; the changes it makes are reported as events like
// any other.
class AccessibleText {
 public:
  virtual ~AccessibleText() = default;

  virtual std::string Contents() const = 0;  // UTF-8
  virtual int CaretOffset() const = 0;
  virtual void SetCaretOffset(int offset) = 0;
  // The selected characters [first, second); equal when nothing is selected.
  virtual std::pair<int, int> Selection() const = 0;
  virtual void SetSelection(int start, int end) = 0;
  // Screen coordinates in window pixels; empty when the character is not shown.
  virtual TRect CharacterExtents(int offset) const = 0;
  // The character whose box holds a point in screen coordinates (window pixels); -1 for none.
  virtual int OffsetAtPoint(TPoint point) const = 0;

  virtual bool Editable() const = 0;
  virtual void SetContents(const std::string& text) = 0;
  virtual void Insert(int offset, const std::string& text) = 0;
  virtual void Delete(int start, int end) = 0;
  virtual void Copy(int start, int end) = 0;
  virtual void Cut(int start, int end) = 0;
  virtual void Paste(int offset) = 0;
};

class AccessibleNode {
 public:
  AccessibleNode() = default;
  AccessibleNode(const AccessibleNode&) = delete;
  AccessibleNode& operator=(const AccessibleNode&) = delete;
  virtual ~AccessibleNode() = default;

  virtual AccessibleRole Role() const = 0;
  virtual std::string Name() const = 0;
  virtual std::string Description() const = 0;
  // Null for the application, the root.
  virtual AccessibleNode* Parent() const = 0;
  virtual std::vector<AccessibleNode*> Children() const = 0;
  virtual AccessibleStates States() const = 0;
  virtual std::vector<AccessibleRelation> Relations() const = 0;
  // Screen coordinates in window pixels (the bridge applies the display scale).
  virtual TRect Extents() const = 0;
  // The top-left corner of the window the node lies in, in screen coordinates.
  virtual TPoint WindowOrigin() const = 0;
  // Requests run from the program's loop, soon after they are made.
  virtual void GrabFocus() = 0;
  virtual AccessibleText* Text() = 0;  // null when the node has no text
  virtual std::vector<std::string> Actions() const = 0;
  virtual void DoAction(int index) = 0;
  // Name and value pairs for tools ("id": the control's name in the layout).
  virtual std::vector<std::pair<std::string, std::string>> Attributes() const { return {}; }
};

// Carries the tree and its events to assistive technology. The framework reports each change
// once the program has handled what caused it, so that a calculation's log lines arrive as one
// insertion.
class AccessibilityBridge {
 public:
  virtual ~AccessibilityBridge() = default;

  // The bridge in use; null when assistive technology has not asked for one, and then nothing is
  // reported at all.
  static AccessibilityBridge* Current();
  static void SetCurrent(AccessibilityBridge* bridge);

  // Called before the node is destroyed: the bridge forgets it.
  virtual void NodeRemoved(AccessibleNode& node) = 0;
  virtual void ChildAdded(AccessibleNode& parent, AccessibleNode& child) = 0;
  virtual void ChildRemoved(AccessibleNode& parent, AccessibleNode& child) = 0;
  virtual void StateChanged(AccessibleNode& node, AccessibleState state, bool on) = 0;
  virtual void TextInserted(AccessibleNode& node, int offset, const std::string& text) = 0;
  virtual void TextDeleted(AccessibleNode& node, int offset, const std::string& text) = 0;
  virtual void CaretMoved(AccessibleNode& node, int offset) = 0;
  virtual void WindowActivated(AccessibleNode& window, bool active) = 0;
};

// The names AT-SPI gives roles and states ("push button", "focused"), which tests and the
// desktop bridge share.
const char* RoleName(AccessibleRole role);
const char* StateName(AccessibleState state);
// A node's name, or its role's name in brackets when it has none.
std::string NodeLabel(const AccessibleNode& node);

// Characters `start` to `end` (either order, clamped to the text) of UTF-8 text, counted as the
// editors count them.
std::string CharacterRange(const std::string& utf8, int start, int end);

}  // namespace orlit
