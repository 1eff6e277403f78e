#pragma once

#include <functional>

#include "platform/FileChooser.h"

namespace orlit {

// Asks the desktop's file chooser portal (org.freedesktop.portal.FileChooser on the session bus)
// for a file, so the user gets their own desktop's dialog. `keep_alive` runs about every 50 ms
// while the user chooses, so the program can repaint. kUnavailable when there is no session bus,
// no portal answers the call within kCallTimeoutMs, or it answers with something other than a
// local file.
class PortalFileChooser {
 public:
  static constexpr int kCallTimeoutMs = 5000;

  static FileChooserAnswer Ask(const FileChooserRequest& request,
                               const std::function<void()>& keep_alive);
};

}  // namespace orlit
