#include "platform/xcb/ClipboardTransfer.h"

#include <cstring>

namespace orlit {

ClipboardTransfer::State ClipboardTransfer::Take(ClipboardProperty value) {
  if (state_ != State::kMore) return state_;
  if (value.bytes.size() > Room()) return Fail();
  if (first_) {
    first_ = false;
    if (value.type != incr_atom_) {
      whole_ = std::move(value);
      return state_ = State::kDone;
    }
    // The value only announces a size, which the chunks need not keep to.
    if (!piecewise_allowed_) return Fail();
    whole_.format = 8;
    return State::kMore;
  }
  if (value.bytes.empty()) return state_ = State::kDone;
  if (value.format != 8 || (!whole_.bytes.empty() && value.type != whole_.type)) return Fail();
  whole_.type = value.type;
  whole_.bytes.insert(whole_.bytes.end(), value.bytes.begin(), value.bytes.end());
  return State::kMore;
}

std::optional<std::vector<std::uint32_t>> TargetsOf(const ClipboardProperty& answer,
                                                    std::uint32_t atom_type) {
  if (answer.type != atom_type || answer.format != 32 || answer.bytes.size() % 4 != 0) {
    return std::nullopt;
  }
  std::vector<std::uint32_t> atoms(answer.bytes.size() / 4);
  // An empty list has no storage to copy from or to, and memcpy may not be given none.
  if (!atoms.empty()) std::memcpy(atoms.data(), answer.bytes.data(), answer.bytes.size());
  return atoms;
}

}  // namespace orlit
