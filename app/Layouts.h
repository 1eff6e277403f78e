#pragma once

#include <string_view>

namespace orlit {

// The text of app/Unit1.layout, compiled into the program (cmake/EmbedFiles.cmake).
std::string_view Unit1Layout();
inline constexpr std::string_view kUnit1LayoutFile = "Unit1.layout";

}  // namespace orlit
