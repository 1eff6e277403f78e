#pragma once

#include <optional>
#include <string_view>

#include "platform/Geometry.h"

namespace orlit {

// High-density screens: the window is laid out at 96 dpi and drawn at the screen's resolution,
// `factor` device pixels to a 96-dpi pixel (1 to 4, in quarters from the desktop's dpi or any
// value from ORLIT_SCALE); edges map by the rule of platform/PixelGrid.h.
inline constexpr int kMaxScaleFactor = 4;

// `scale_setting` (the ORLIT_SCALE variable, may be null) when it is a number from 1 to
// kMaxScaleFactor; otherwise the X resources' (as XResourceManagerString gives them) Xft.dpi
// over 96, rounded to the nearest quarter and at least 1; otherwise 1.
double ChooseScaleFactor(const char* scale_setting, std::string_view x_resources);

// The ORLIT_SCALE variable when it holds a number from 1 to kMaxScaleFactor. Each window system
// answers its own scale (WindowSystem::Scale) from this and what its display says.
std::optional<double> ScaleFactorSetting();

// The 96-dpi pixel of the window that holds a screen pixel (positions left of or above the window
// stay outside it), and the screen pixel where a 96-dpi position starts.
TPoint ToLogical(TPoint physical, double factor);
TPoint ToPhysical(TPoint logical, double factor);

}  // namespace orlit
