#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orlit {

// One entry of a file-type filter: its description and its name patterns ("*.bmp").
struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;

  friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// A filter as the picture dialogs take it: descriptions and pattern lists alternating, separated
// by "|", the patterns of one entry by ";" ("Bitmaps (*.bmp)|*.bmp|All|*.bmp;*.jpg"). An entry
// without patterns is dropped.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

// What a file dialog asks the user for.
struct FileChooserRequest {
  bool save = false;
  std::string title;
  std::vector<FileFilter> filters;
  // Without the dot; a saved name without an extension gets it.
  std::string default_extension;
  std::string initial_name;  // the proposed file name when saving
};

enum class FileChoice { kChosen, kCancelled, kUnavailable };

struct FileChooserAnswer {
  FileChoice choice = FileChoice::kUnavailable;
  std::string path;
};

// The name with the default extension added when it has none.
std::string WithDefaultExtension(const std::string& path, std::string_view extension);

}  // namespace orlit
