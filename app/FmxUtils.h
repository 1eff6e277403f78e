#pragma once

#include <string_view>

namespace orlit {

// Despite its name, this unit is process launching: LaunchFile starts a program (the site
// opener) through the current ProcessLauncher.

// The desktop's show commands for a started program's window.
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;

// Starts `file_name` with `params` in `directory` through the current process launcher and gives
// the shell's result: a value above 32 when the program was started, 2 (file not found) when it
// could not be. Each text is cut to 79 bytes, as the fixed 80-byte buffers it was designed around
// hold, without splitting a UTF-8 sequence. `params` is split on blanks into arguments; no shell
// ever sees it. An empty `directory` keeps the current one.
int LaunchFile(std::string_view file_name, std::string_view params, std::string_view directory,
               int show_command);

}  // namespace orlit
