#pragma once

#include <exception>
#include <functional>

namespace orlit {

// What the application does with an exception raised while the look and feel handles a desktop
// notification outside any event handler (a theme change). The application installs its
// exception reporting here at start-up.
using LookAndFeelExceptionReporter = std::function<void(std::exception_ptr error)>;

// Installs `reporter` and returns the one it replaces.
LookAndFeelExceptionReporter SetLookAndFeelExceptionReporter(LookAndFeelExceptionReporter reporter);

// Hands `error` to the installed reporter; without one, rethrows it so that whoever delivered
// the notification sees it.
void ReportLookAndFeelException(std::exception_ptr error);

}  // namespace orlit
