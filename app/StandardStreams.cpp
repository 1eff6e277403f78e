#include "app/StandardStreams.h"

#include <cstdio>
#include <ext/stdio_sync_filebuf.h>

namespace orlit {

namespace {

std::ostream& StreamOver(std::FILE* file) {
  auto& buffer = *new __gnu_cxx::stdio_sync_filebuf<char>(file);
  return *new std::ostream(&buffer);
}

}  // namespace

std::ostream& StandardOutput() {
  static std::ostream& stream = StreamOver(stdout);
  return stream;
}

std::ostream& StandardError() {
  static std::ostream& stream = StreamOver(stderr);
  return stream;
}

}  // namespace orlit
