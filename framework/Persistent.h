#pragma once

#include "framework/Object.h"

namespace orlit {

// An object whose state can be copied from another one of a compatible class.
class TPersistent : public TObject {
 public:
  // Copies `source` into this object. When neither this class knows the source's class nor the
  // source knows how to copy itself here, throws EConvertError "Cannot assign a <source> to a
  // <this>".
  virtual void Assign(const TPersistent& source);

 protected:
  // The source's side of Assign, asked when the destination does not know the source's class.
  virtual void AssignTo(TPersistent& dest) const;
};

}  // namespace orlit
