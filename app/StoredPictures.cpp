#include "app/StoredPictures.h"

#include <string>

#include "platform/PictureError.h"
#include "platform/Resources.h"

namespace orlit {

void LoadStoredPicture(TPicture& picture, std::string_view resource_name) {
  const auto data = FindResource(resource_name);
  if (!data) {
    throw EInvalidGraphic("The picture '" + std::string(resource_name) +
                          "' is missing from the program");
  }
  picture.LoadFromStoredData(*data);
}

}  // namespace orlit
