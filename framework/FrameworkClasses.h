#pragma once

#include "framework/PublishedClasses.h"

namespace orlit {

// The names of the framework's enumerations and sets that other libraries publish too.
inline constexpr EnumName kAlignmentNames[] = {
    {"taLeftJustify", 0}, {"taRightJustify", 1}, {"taCenter", 2}};
inline constexpr EnumName kFontStyleNames[] = {
    {"fsBold", 1}, {"fsItalic", 2}, {"fsUnderline", 4}, {"fsStrikeOut", 8}};

// Publishes the framework's classes for window layouts: controls, forms, panels, images, labels
// and fonts. Registers them on the first call only.
void RegisterFrameworkClasses();

}  // namespace orlit
