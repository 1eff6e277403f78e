#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/JpegCodec.h"
#include "platform/PixelImage.h"

namespace orlit {

inline constexpr std::string_view kBitmapClassName = "TBitmap";
inline constexpr std::string_view kJpegClassName = "TJPEGImage";

// A picture as a window layout stores it: one byte of class-name length, the class name, the
// graphic data's length as four little-endian bytes, then the graphic's own file. An empty class
// name stands for no picture and is stored as the single length byte 0.
struct StoredPicture {
  std::string class_name;
  std::vector<std::uint8_t> data;

  bool IsEmpty() const { return class_name.empty(); }
  friend bool operator==(const StoredPicture&, const StoredPicture&) = default;
};

// Splits stored bytes into class name and data without decoding the data. Bytes after the data
// belong to whoever stored them and are ignored. Throws EInvalidGraphic when truncated.
StoredPicture ReadStoredPicture(std::span<const std::uint8_t> bytes);

// Throws EInvalidGraphic for a class name longer than 255 bytes, data beyond 4 GiB, or data
// without a class name.
std::vector<std::uint8_t> WriteStoredPicture(const StoredPicture& picture);

// Decodes graphic data with the codec its class name selects: "TBitmap" or "TJPEGImage". Throws
// EInvalidGraphic for any other class and for data the codec refuses.
PixelImage DecodeGraphic(std::string_view class_name, std::span<const std::uint8_t> data);

// Encodes an image as the named class: a 24-bit bitmap or a JPEG of the given quality.
StoredPicture EncodeGraphic(const PixelImage& image, std::string_view class_name,
                            int jpeg_quality = kDefaultJpegQuality);

// Reads and decodes in one step; no picture gives an empty image.
PixelImage DecodeStoredPicture(std::span<const std::uint8_t> bytes);

}  // namespace orlit
