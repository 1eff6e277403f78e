#include "framework/Accelerator.h"

#include "framework/EditText.h"
#include "platform/TextLayout.h"

namespace orlit {

char32_t AcceleratorOf(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;
      continue;
    }
    std::size_t pos = i + 1;
    return NextCodePoint(caption, pos);
  }
  return 0;
}

bool IsAccel(char32_t key, std::string_view caption) {
  const char32_t accelerator = AcceleratorOf(caption);
  return accelerator != 0 && ToUpperChar(accelerator) == ToUpperChar(key);
}

}  // namespace orlit
