#pragma once

#include "framework/Persistent.h"

namespace orlit {

// A persistent object of the editor library that belongs to an owner (a control, a style) and
// implements interfaces the library calls it through.
class TcxInterfacedPersistent : public TPersistent {
 public:
  explicit TcxInterfacedPersistent(TPersistent* owner = nullptr) : owner_(owner) {}

  TPersistent* Owner() const { return owner_; }

 private:
  TPersistent* owner_;
};

}  // namespace orlit
