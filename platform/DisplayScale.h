#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Geometry.h"
#include "platform/PixelImage.h"
#include "platform/WindowSystem.h"

namespace orlit {

// High-density screens: the window is laid out and painted at 96 dpi and every pixel of the
// finished frame is shown as a square of `factor` x `factor` screen pixels, so each look stays
// pixel-exact at any factor.
inline constexpr int kMaxScaleFactor = 4;

// `scale_setting` (the ORLIT_SCALE variable, may be null) when it is a whole number from 1 to
// kMaxScaleFactor; otherwise 2 when the X resources (as XResourceManagerString gives them) set
// Xft.dpi to at least 144; otherwise 1.
int ChooseScaleFactor(const char* scale_setting, std::string_view x_resources);

// The ORLIT_SCALE variable when it holds a whole number from 1 to kMaxScaleFactor. Each window
// system answers its own scale (WindowSystem::Scale) from this and what its display says.
std::optional<int> ScaleFactorSetting();

// A screen-pixel position in the 96-dpi coordinates of the window (rounded toward minus
// infinity, so positions left of or above the window stay outside it).
TPoint ToLogical(TPoint physical, int factor);

// Writes `area` of `frame` (frame coordinates) enlarged `factor` times into a 32-bit pixel
// buffer laid out like the enlarged frame: `target` is its top-left pixel, `target_pitch` the
// bytes per row. `area` must lie inside the frame.
void ScaleUpInto(const FrameView& frame, const TRect& area, int factor, void* target,
                 int target_pitch);

// The whole image enlarged `factor` times.
PixelImage ScaleUp(const PixelImage& image, int factor);

}  // namespace orlit
