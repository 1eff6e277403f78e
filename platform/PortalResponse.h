#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/DbusLibrary.h"
#include "platform/FileChooser.h"

namespace orlit {

// The local path of a file:// URI, its escapes decoded; nothing for any other URI, or one that
// decodes to a NUL.
std::optional<std::string> PathOfFileUri(std::string_view uri);

// The answer the file chooser portal's Response signal carries, (u response, a{sv} results) with
// the chosen file's URI first in "uris": kChosen with its path, kCancelled when the user gave up
// or the answer holds no file, kUnavailable for a file that is not local. Whoever calls has
// already checked that the signal comes from the portal.
FileChooserAnswer ReadPortalResponse(const DbusLibrary& dbus, DBusMessage* signal);

}  // namespace orlit
