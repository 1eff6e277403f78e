// Hostile stored pictures must decode or raise EInvalidGraphic; what reads must write back the
// same.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/PictureError.h"
#include "platform/StoredPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    const orlit::StoredPicture picture = orlit::ReadStoredPicture(bytes);
    if (orlit::ReadStoredPicture(orlit::WriteStoredPicture(picture)) != picture) __builtin_trap();
    orlit::DecodeStoredPicture(bytes);
  } catch (const orlit::EInvalidGraphic&) {
  }
  return 0;
}
