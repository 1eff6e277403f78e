#pragma once

#include "convert/Exceptions.h"

namespace orlit {

// Raised when picture data cannot be read or written: an unknown graphic class, a corrupt or
// truncated bitmap or JPEG, or a picture too large to hold.
ORLIT_EXCEPTION_CLASS(EInvalidGraphic, Exception);

}  // namespace orlit
