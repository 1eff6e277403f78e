#pragma once

#include <functional>
#include <string>

#include "app/WindowState.h"
#include "platform/WindowSystem.h"

namespace orlit {

class TForm1;

struct ProgramOptions {
  std::string executable;       // argv[0]: the application title comes from it
  std::string screenshot_path;  // non-empty: render the window after start-up, write it, and end
  std::string dump_state_path;  // non-empty: the window's state as JSON when the program ends
  std::function<void()> after_first_frame;  // runs once the window's first frame is shown
};

// Starts the application on `desktop`: icon, main window, message loop until terminated.
// Returns the process exit status: 2 when the screenshot or the state could not be written (the
// reason on standard error), else 0. Both files are written through the safe save.
int RunProgram(WindowSystem& desktop, const ProgramOptions& options);

}  // namespace orlit
