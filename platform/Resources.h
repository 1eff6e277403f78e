#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace orlit {

// A file of resources/ compiled into the program, named by its file name without extension
// ("stri1", "MAINICON"). The pictures there are in the stored picture format.
struct ResourceEntry {
  std::string_view name;
  std::span<const std::uint8_t> data;
};

// Every embedded resource, sorted by name. Defined in the source the build generates from
// resources/ (cmake/EmbedFiles.cmake).
std::span<const ResourceEntry> EmbeddedResources();

// The JPEG pictures among them decoded by the build, in the form of platform/RawPixels.h, sorted
// by name. Defined in orlit_decoded_pictures, which only the layers above link: the tool that
// decodes them (tools/decode_pictures) is built on this one.
std::span<const ResourceEntry> DecodedResources();

// The bytes of the named resource in `table`; the name is matched exactly. Nothing for an
// unknown name.
std::optional<std::span<const std::uint8_t>> FindResource(
    std::string_view name, std::span<const ResourceEntry> table = EmbeddedResources());

}  // namespace orlit
