#pragma once

#include <optional>
#include <string_view>

#include "platform/SystemColors.h"

namespace orlit {

// The colour a layout names: the system colours (clBtnFace, ...), the sixteen basic colours and
// their aliases (clYellow, clLtGray, ...), clNone and clDefault. Nothing for another name.
std::optional<TColor> ColorFromName(std::string_view name);

}  // namespace orlit
