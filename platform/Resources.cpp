#include "platform/Resources.h"

#include <algorithm>

namespace orlit {

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name) {
  const std::span<const ResourceEntry> entries = EmbeddedResources();
  const auto it = std::lower_bound(
      entries.begin(), entries.end(), name,
      [](const ResourceEntry& entry, std::string_view key) { return entry.name < key; });
  if (it == entries.end() || it->name != name) return std::nullopt;
  return it->data;
}

}  // namespace orlit
