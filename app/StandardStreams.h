#pragma once

#include <ostream>

namespace orlit {

// The standard output and error as streams, made on first use and written
// through to C's stdio (flushed at exit with it). What the library's own
// std::cout and std::cerr would cost every start, the window's too: all eight
// standard streams and the locale behind them.
std::ostream& StandardOutput();
std::ostream& StandardError();

}  // namespace orlit
