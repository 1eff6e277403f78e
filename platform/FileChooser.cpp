#include "platform/FileChooser.h"

#include <string>

namespace orlit {

namespace {

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string_view FileName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
  std::vector<FileFilter> filters;
  if (filter.empty()) return filters;
  const std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter entry{parts[i], {}};
    for (std::string& pattern : Split(parts[i + 1], ';')) {
      const std::size_t first = pattern.find_first_not_of(' ');
      if (first == std::string::npos) continue;
      entry.patterns.push_back(pattern.substr(first, pattern.find_last_not_of(' ') - first + 1));
    }
    if (!entry.patterns.empty()) filters.push_back(std::move(entry));
  }
  return filters;
}

std::string WithDefaultExtension(const std::string& path, std::string_view extension) {
  const std::string_view name = FileName(path);
  if (extension.empty() || name.empty() || name.find('.', 1) != std::string_view::npos) return path;
  return path + "." + std::string(extension);
}

}  // namespace orlit
