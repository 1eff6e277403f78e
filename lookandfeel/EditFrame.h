#pragma once

#include <optional>

#include "lookandfeel/BorderStyles.h"
#include "lookandfeel/LookAndFeelKind.h"
#include "lookandfeel/PainterCanvas.h"
#include "lookandfeel/ThemeService.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"

// The frame, shadow and background every editor control draws around its content, over a plain
// description of what the control shows; the controls compute that description from their
// styles and state.

namespace orlit {

// The style a container paints with, in the order the container keeps its four styles.
enum class EditStyleState { kNormal, kFocused, kDisabled, kHot };

// The border style a focused or hot style shows for a normal style's border when hot tracking:
// none becomes flat, single becomes thick, flat becomes 3D; the others stay.
TcxContainerBorderStyle HotTrackBorderStyle(TcxContainerBorderStyle normal);

struct EditBorderStyleSettings {
  TcxLookAndFeelKind kind = lfUltraFlat;
  // The normal style's BorderStyle, when assigned.
  std::optional<TcxContainerBorderStyle> normal_border_style;
  // The active state style's BorderStyle, when assigned (ignored for the normal style).
  std::optional<TcxContainerBorderStyle> state_border_style;
  EditStyleState active_style = EditStyleState::kNormal;
  bool hot_track = true;
};

// The border style of the active style: assigned, else the normal style's (its own, else the
// kind's default), which the focused and hot styles map through HotTrackBorderStyle while hot
// tracking.
TcxContainerBorderStyle EffectiveBorderStyle(const EditBorderStyleSettings& settings);

struct EditBorderState {
  // The effective border style (EffectiveBorderStyle; with native painting the normal style's).
  TcxContainerBorderStyle border_style = cbsUltraFlat;
  // The active style's BorderColor.
  TColor border_color = clWindowFrame;
  bool in_place = false;
  bool focused = false;
  bool hot = false;
  bool hot_track = true;
  bool design_time = false;
  bool enabled = true;
};

struct EditBorder {
  TcxEditBorderStyle style = ebsNone;
  TColor color = clWindowFrame;
  int width = 0;
};

// The border as drawn: none in place; ultra-flat and Office-11 borders as a single line in
// clBtnShadow, or in the highlight colour (clHighlight, or the Office-11 scheme's selected
// border) while the editor is focused, hot with hot tracking, or enabled at design time.
EditBorder ResolveEditBorder(const EditBorderState& state);

// What one paint of an editor's frame needs.
struct EditFrame {
  // The control's client rectangle.
  TRect bounds;
  // The content area inside the border.
  TRect border_rect;
  TcxEditBorderStyle border_style = ebsNone;
  TColor border_color = clWindowFrame;
  TcxBorders edges = cxBordersAll;
  // The style's Shadow, when the editor is not painted natively.
  bool shadow = false;
  // Whether the content area is filled with the background (text editors and the memo).
  bool fill = true;
  bool transparent = false;
  TColor background = clWindow;
  // Native painting: the "Edit" theme's frame in `native_state`, around `text_rect`.
  bool native = false;
  bool in_place = false;
  int native_state = ETS_NORMAL;
  TRect text_rect;
};

// The content area of an editor of `bounds`: less the shadow strip, then less the border.
TRect EditBorderRect(const TRect& bounds, TcxEditBorderStyle border_style, bool shadow);

// The frame, shadow and background of an editor. The shadow stays excluded from the clip
// afterwards, so that nothing the control paints next covers it or the corners it leaves.
void DrawEditFrame(TcxCanvas& canvas, const EditFrame& frame);

// The same for a container that is not an editor; the content area is always filled.
void DrawContainerFrame(TcxCanvas& canvas, const EditFrame& frame);

// The three-pixel shadow in clBtnShadow below and right of `rect`, leaving the 3 x 3 corners
// at the bottom left and top right untouched; both strips are then excluded from the clip.
void DrawContainerShadow(TcxCanvas& canvas, const TRect& rect);

}  // namespace orlit
