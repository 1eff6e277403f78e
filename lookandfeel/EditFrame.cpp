#include "lookandfeel/EditFrame.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/Office11Scheme.h"
#include "lookandfeel/VisualStyles.h"

namespace orlit {
namespace {

constexpr int kShadowSize = 3;

// Geometry of controls never comes near the int limits, but a hostile rectangle must not
// overflow.
int Add(int value, int delta) {
  return static_cast<int>(std::clamp<int64_t>(
      int64_t{value} + delta, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// The native frame; false when the "Edit" theme does not open, so the caller draws its own.
bool DrawNativeFrame(TcxCanvas& canvas, const EditFrame& frame, bool always_fill) {
  ThemeService* service = CurrentThemeService();
  if (service == nullptr || !AreVisualStylesUsable()) return false;
  if (frame.in_place || frame.border_style == ebsNone) {
    if (always_fill || !frame.transparent) canvas.FillRect(frame.bounds, frame.background);
    return true;
  }
  const HTHEME theme = OpenTheme(ThemedObject::kEdit);
  if (theme == 0) return false;
  TRect content;
  if (!service->GetThemeBackgroundContentRect(theme, EP_EDITTEXT, frame.native_state, frame.bounds,
                                              content)) {
    content = frame.bounds;
  }
  canvas.SaveClipRegion();
  canvas.ExcludeClipRect(content);
  service->DrawThemeBackground(theme, canvas.Handle(), EP_EDITTEXT, frame.native_state,
                               frame.bounds);
  canvas.RestoreClipRegion();
  if (always_fill) {
    canvas.FillRect(content, frame.background);
  } else if (frame.transparent) {
    return true;
  } else if (frame.fill) {
    canvas.FillRect(content, frame.background);
  } else {
    canvas.SaveClipRegion();
    canvas.ExcludeClipRect(frame.text_rect);
    canvas.FillRect(content, frame.background);
    canvas.RestoreClipRegion();
  }
  return true;
}

void DrawFrame(TcxCanvas& canvas, const EditFrame& frame, bool always_fill) {
  if (frame.native && DrawNativeFrame(canvas, frame, always_fill)) return;
  TcxEditBorderStyle style = frame.border_style;
  if (style == ebsUltraFlat || style == ebsOffice11) style = ebsSingle;
  const int w = EditBorderWidth(style);
  const bool right = HasBorder(frame.edges, bRight);
  const bool bottom = HasBorder(frame.edges, bBottom);
  TRect outer{Add(frame.border_rect.Left, -w), Add(frame.border_rect.Top, -w),
              right ? Add(frame.border_rect.Right, w) : frame.border_rect.Right,
              bottom ? Add(frame.border_rect.Bottom, w) : frame.border_rect.Bottom};
  if (frame.shadow) DrawContainerShadow(canvas, outer);
  if (!right) outer.Right = Add(outer.Right, w);
  if (!bottom) outer.Bottom = Add(outer.Bottom, w);
  switch (style) {
    case ebsSingle:
    case ebsThick:
      canvas.FrameRect(outer, frame.border_color, w);
      break;
    case ebsFlat:
      canvas.DrawEdge(outer, true, true, frame.edges);
      canvas.FrameRect(outer.Inflate(-1, -1), clBtnFace);
      break;
    case ebs3D:
      canvas.DrawEdge(outer, true, true, frame.edges);
      canvas.DrawComplexFrame(outer.Inflate(-1, -1), cl3DDkShadow, cl3DLight, frame.edges);
      break;
    default:
      break;
  }
  if (always_fill) {
    canvas.FillRect(frame.border_rect, frame.background);
  } else if (frame.fill && !frame.transparent) {
    canvas.FillRect(frame.border_rect, frame.background);
  }
}

}  // namespace

TcxContainerBorderStyle HotTrackBorderStyle(TcxContainerBorderStyle normal) {
  switch (normal) {
    case cbsNone:
      return cbsFlat;
    case cbsSingle:
    case cbsThick:
      return cbsThick;
    case cbsFlat:
    case cbs3D:
      return cbs3D;
    default:
      return normal;
  }
}

TcxContainerBorderStyle EffectiveBorderStyle(const EditBorderStyleSettings& settings) {
  const TcxContainerBorderStyle normal =
      settings.normal_border_style.value_or(GetDefaultEditBorderStyle(settings.kind));
  if (settings.active_style == EditStyleState::kNormal) return normal;
  if (settings.state_border_style) return *settings.state_border_style;
  const bool maps = settings.active_style == EditStyleState::kFocused ||
                    settings.active_style == EditStyleState::kHot;
  return maps && settings.hot_track ? HotTrackBorderStyle(normal) : normal;
}

EditBorder ResolveEditBorder(const EditBorderState& state) {
  if (state.in_place) return {ebsNone, state.border_color, 0};
  const TcxEditBorderStyle style = ToEditBorderStyle(state.border_style);
  if (style != ebsUltraFlat && style != ebsOffice11) {
    return {style, state.border_color, EditBorderWidth(style)};
  }
  const bool highlighted =
      state.focused || (state.hot && state.hot_track) || (state.design_time && state.enabled);
  TColor color = clBtnShadow;
  if (highlighted) {
    color = style == ebsUltraFlat ? clHighlight : CurrentOffice11Scheme().selected_border;
  }
  return {ebsSingle, color, EditBorderWidth(ebsSingle)};
}

TRect EditBorderRect(const TRect& bounds, TcxEditBorderStyle border_style, bool shadow) {
  const int w = EditBorderWidth(border_style);
  const int strip = shadow ? kShadowSize : 0;
  return {Add(bounds.Left, w), Add(bounds.Top, w), Add(bounds.Right, -strip - w),
          Add(bounds.Bottom, -strip - w)};
}

void DrawEditFrame(TcxCanvas& canvas, const EditFrame& frame) { DrawFrame(canvas, frame, false); }

void DrawContainerFrame(TcxCanvas& canvas, const EditFrame& frame) {
  DrawFrame(canvas, frame, true);
}

void DrawContainerShadow(TcxCanvas& canvas, const TRect& rect) {
  const int l = rect.Left;
  const int t = rect.Top;
  const int r = rect.Right;
  const int b = rect.Bottom;
  canvas.FillRect({Add(l, kShadowSize), b, r, Add(b, kShadowSize)}, clBtnShadow);
  canvas.ExcludeClipRect({l, b, r, Add(b, kShadowSize)});
  canvas.FillRect({r, Add(t, kShadowSize), Add(r, kShadowSize), Add(b, kShadowSize)}, clBtnShadow);
  canvas.ExcludeClipRect({r, t, Add(r, kShadowSize), Add(b, kShadowSize)});
}

}  // namespace orlit
