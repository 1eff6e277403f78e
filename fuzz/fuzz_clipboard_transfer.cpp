// What a clipboard owner sends for one request, as values of the transfer property: each value
// is a byte choosing its type (INCR, ATOM or a data type), a byte of format, a byte of length and
// that many bytes. The first byte of all says whether a piecewise answer is allowed. The transfer
// must end whole, failed or wanting more, within its limit, and a list of formats must read as
// whole atoms or not at all.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/xcb/ClipboardTransfer.h"

namespace {

constexpr std::uint32_t kIncr = 100;
constexpr std::uint32_t kAtom = 4;
constexpr std::uint32_t kTypes[] = {kIncr, kAtom, 200, 201};
constexpr std::size_t kLimit = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  orlit::ClipboardTransfer transfer(kIncr, kLimit, (data[0] & 1) != 0);
  std::size_t at = 1;
  orlit::ClipboardTransfer::State state = orlit::ClipboardTransfer::State::kMore;
  while (at + 3 <= size && state == orlit::ClipboardTransfer::State::kMore) {
    orlit::ClipboardProperty value;
    value.type = kTypes[data[at] % 4];
    value.format = data[at + 1];
    const std::size_t length = std::min<std::size_t>(data[at + 2], size - at - 3);
    value.bytes.assign(data + at + 3, data + at + 3 + length);
    at += 3 + length;
    state = transfer.Take(std::move(value));
  }
  if (state != orlit::ClipboardTransfer::State::kDone) return 0;
  const orlit::ClipboardProperty& result = transfer.Result();
  if (result.bytes.size() > kLimit) __builtin_trap();
  if (const auto atoms = orlit::TargetsOf(result, kAtom)) {
    if (atoms->size() * 4 != result.bytes.size()) __builtin_trap();
  }
  return 0;
}
