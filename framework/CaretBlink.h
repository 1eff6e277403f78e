#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/Timer.h"

namespace orlit {

// The blinking caret of an edit control: on for a whole phase after each (re)start, then off and
// on every kIntervalMs until stopped. The control repaints its caret when told it toggled.
class CaretBlink {
 public:
  static constexpr std::uint32_t kIntervalMs = 530;

  explicit CaretBlink(std::function<void()> toggled) : toggled_(std::move(toggled)) {}

  void Start();
  // No timer; the caret counts as on.
  void Stop();
  bool Running() const { return timer_ != nullptr; }
  bool On() const { return on_; }

 private:
  std::function<void()> toggled_;
  std::unique_ptr<TTimer> timer_;
  bool on_ = true;
};

}  // namespace orlit
