#pragma once

#include "platform/FileChooser.h"
#include "platform/PeerWait.h"

namespace orlit {

// Asks the desktop's file chooser portal (org.freedesktop.portal.FileChooser on the session bus)
// for a file, so the user gets their own desktop's dialog. The bus is spoken to without ever
// blocking: `wait` passes the time until the bus has something to say (the window's WaitForPeer
// keeps it answering), and a quit or close request while the user chooses ends the question
// (kCancelled; the request stays queued). Only the portal's own answer is taken: the request
// path carries a token nobody can guess, and a Response from any other sender is ignored.
// kUnavailable when there is no session bus, it does not let us in within kCallTimeoutMs, no
// portal answers the call within kCallTimeoutMs, or it answers with something other than a local
// file.
class PortalFileChooser {
 public:
  static constexpr int kCallTimeoutMs = 5000;

  static FileChooserAnswer Ask(const FileChooserRequest& request, const PeerWaiter& wait);
};

}  // namespace orlit
