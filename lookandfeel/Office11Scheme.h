#pragma once

#include "platform/DeviceContext.h"
#include "platform/SystemColors.h"

namespace orlit {

// The colours of the Office-11 look. Scheme 1, 2 or 3 follows the desktop's blue, olive or
// silver visual style; scheme 0, used whenever none of them is active, follows the system
// colours.
struct Office11Scheme {
  int number = 0;
  TColor background = 0;
  TColor border = 0;
  // The border of a focused or hot editor.
  TColor selected_border = 0;
  Brush background_brush;
  Brush border_brush;
};

// 1, 2 or 3 while the visual-style service is usable and its theme is "LUNA.MSSTYLES" with the
// colour scheme "NORMALCOLOR", "HOMESTEAD" or "METALLIC" (compared in upper case); else 0.
int DetectOffice11SchemeNumber();

// Channel by channel 90 per cent of `color` plus 10 per cent of `base`, each part rounded, the
// sum capped at 255. Both are resolved to RGB first.
TColor Office11MixColor(TColor color, TColor base);

// The scheme and its brushes, kept while a system-colour notifier exists and rebuilt on every
// system colour change; computed afresh on each call while none exists. A copy, so no later call
// or colour change can alter what a caller holds.
Office11Scheme CurrentOffice11Scheme();

// Computes the scheme and its brushes now (first notifier, system colour change).
void RebuildOffice11Scheme();
// Drops the kept scheme and its brushes (last notifier gone).
void ReleaseOffice11Scheme();

}  // namespace orlit
