#pragma once

#include <string>

namespace orlit {

// SDL's video and timer subsystems for as long as the object lives; one at a time per process.
// Opening fails with EWindowSystemError when there is no display: without DISPLAY and
// WAYLAND_DISPLAY, or when SDL could only fall back to a driver that shows nothing. A driver
// asked for by name in SDL_VIDEODRIVER is taken as it is.
class SdlVideo {
 public:
  SdlVideo();
  ~SdlVideo();
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;

  const std::string& DriverName() const { return driver_name_; }

 private:
  std::string driver_name_;
};

}  // namespace orlit
