#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace orlit {

// One value of the property an owner answers a clipboard request in.
struct ClipboardProperty {
  std::uint32_t type = 0;  // an atom; 0 is None
  std::uint8_t format = 0;
  std::vector<std::uint8_t> bytes;

  friend bool operator==(const ClipboardProperty&, const ClipboardProperty&) = default;
};

// What an owner sends for one request, put together: the whole data in the first value, or,
// when that value's type is INCR, chunk after chunk, each a new value of the property, until an
// empty one. Chunks must be 8-bit and all of one type; more than `max_bytes` in all, or a piecewise
// answer where none is allowed, fails the transfer.
class ClipboardTransfer {
 public:
  enum class State { kMore, kDone, kFailed };

  ClipboardTransfer(std::uint32_t incr_atom, std::size_t max_bytes, bool piecewise_allowed)
      : incr_atom_(incr_atom), max_bytes_(max_bytes), piecewise_allowed_(piecewise_allowed) {}

  // Each value read, the first one included; kMore while chunks are still to come.
  State Take(ClipboardProperty value);
  // The data, once kDone.
  const ClipboardProperty& Result() const { return whole_; }
  // How many bytes the next value may still bring.
  std::size_t Room() const { return max_bytes_ - whole_.bytes.size(); }

 private:
  State Fail() { return state_ = State::kFailed; }

  std::uint32_t incr_atom_;
  std::size_t max_bytes_;
  bool piecewise_allowed_;
  bool first_ = true;
  State state_ = State::kMore;
  ClipboardProperty whole_;
};

// The atoms of an answer to TARGETS: 32-bit values of type ATOM (`atom_type`); nothing for any
// other answer.
std::optional<std::vector<std::uint32_t>> TargetsOf(const ClipboardProperty& answer,
                                                    std::uint32_t atom_type);

}  // namespace orlit
