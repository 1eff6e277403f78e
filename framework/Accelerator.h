#pragma once

#include <string_view>

namespace orlit {

// The character an "&" marks in a caption, 0 when none ("&&" stands for a plain "&").
char32_t AcceleratorOf(std::string_view caption);

// `key` is the caption's accelerator; letters match in either case.
bool IsAccel(char32_t key, std::string_view caption);

}  // namespace orlit
