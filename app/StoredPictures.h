#pragma once

#include <string_view>

#include "framework/Picture.h"

namespace orlit {

// Loads a picture of the window layout, compiled into the program from resources/, the way the
// layout stores it. Throws EInvalidGraphic when the resource is missing or broken.
void LoadStoredPicture(TPicture& picture, std::string_view resource_name);

}  // namespace orlit
