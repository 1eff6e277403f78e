#pragma once

#include <string>

#include "framework/Font.h"
#include "lookandfeel/BorderStyles.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"

namespace orlit {

// The visual state of a container: a set of Normal, Focused, Disabled and Hot.
class EditVisualState {
 public:
  enum Flag : unsigned { kNormal = 1, kFocused = 2, kDisabled = 4, kHot = 8 };

  constexpr EditVisualState() = default;
  constexpr EditVisualState(unsigned flags) : flags_(flags) {}  // NOLINT: a set of flags

  constexpr bool Contains(Flag flag) const { return (flags_ & flag) != 0; }
  constexpr unsigned Flags() const { return flags_; }
  friend constexpr bool operator==(EditVisualState, EditVisualState) = default;

 private:
  unsigned flags_ = 0;
};

// What one paint of a container needs, computed by RefreshVisualState from the active style.
struct TcxContainerViewInfo {
  virtual ~TcxContainerViewInfo() = default;

  EditVisualState state;
  // Painted through the desktop's visual style.
  bool native = false;
  // For the painter: 0 without hot tracking, 2 focused or hot, else 1.
  int hot_state = 0;
  // The theme's state of the edit part, for native painting.
  int native_state = 1;
  // As drawn: ultra-flat and Office-11 borders are recorded as single lines.
  TcxEditBorderStyle border_style = ebsNone;
  int border_width = 0;
  TColor border_color = clWindowFrame;
  TColor background_color = clWindow;
  TcxBorders edges = cxBordersAll;
  bool shadow = false;
  bool transparent = false;
  // The control's client rectangle and the content area inside the border and shadow.
  TRect bounds;
  TRect border_rect;
};

// What an editor adds: where its text goes and how it looks.
struct TcxCustomEditViewInfo : TcxContainerViewInfo {
  TRect text_rect;
  TColor text_color = clWindowText;
  bool enabled = true;
};

struct TcxCustomTextEditViewInfo : TcxCustomEditViewInfo {
  std::string text;
};

}  // namespace orlit
