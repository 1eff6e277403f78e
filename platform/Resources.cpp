#include "platform/Resources.h"

#include <algorithm>

namespace orlit {

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view name,
                                                          std::span<const ResourceEntry> table) {
  const auto it = std::lower_bound(
      table.begin(), table.end(), name,
      [](const ResourceEntry& entry, std::string_view key) { return entry.name < key; });
  if (it == table.end() || it->name != name) return std::nullopt;
  return it->data;
}

}  // namespace orlit
