// Clipboard data from another program: the first byte picks the format it is offered as (PNG or
// BMP), the rest is the data. It must decode or raise EInvalidGraphic; anything else is a finding.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/ClipboardPicture.h"
#include "platform/PictureError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto types = orlit::ClipboardPictureTypes();
  const std::string_view type = types[data[0] % types.size()];
  try {
    const orlit::PixelImage image =
        orlit::DecodeClipboardPicture(type, std::span(data + 1, size - 1));
    // What was read must survive being offered and read back unchanged.
    if (!(orlit::DecodeClipboardPicture(type, orlit::EncodeClipboardPicture(type, image)) ==
          image)) {
      __builtin_trap();
    }
  } catch (const orlit::EInvalidGraphic&) {
  }
  return 0;
}
