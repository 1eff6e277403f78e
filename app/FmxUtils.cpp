#include "app/FmxUtils.h"

#include <string>

#include "convert/Utf8.h"
#include "platform/ProcessLauncher.h"

namespace orlit {

namespace {

constexpr size_t kBufferChars = 80;  // one more for the terminating zero
constexpr int kStarted = 42;         // any value above 32 means success
constexpr int kFileNotFound = 2;

std::string CutToBuffer(std::string_view text) {
  std::string cut(text.substr(0, WholeCodePointsWithin(text, kBufferChars - 1)));
  // The buffers were zero-terminated: an embedded zero ends the text there.
  cut.resize(cut.find('\0') == std::string::npos ? cut.size() : cut.find('\0'));
  return cut;
}

std::vector<std::string> SplitOnBlanks(const std::string& text) {
  std::vector<std::string> words;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = text.find_first_not_of(' ', pos);
    if (start == std::string::npos) break;
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    pos = end;
  }
  return words;
}

}  // namespace

int LaunchFile(std::string_view file_name, std::string_view params, std::string_view directory,
               int show_command) {
  LaunchRequest request;
  request.program = CutToBuffer(file_name);
  request.args = SplitOnBlanks(CutToBuffer(params));
  request.directory = CutToBuffer(directory);
  request.show_command = show_command;
  return CurrentProcessLauncher().Launch(request) ? kStarted : kFileNotFound;
}

}  // namespace orlit
