#include "platform/StoredPicture.h"

#include <limits>

#include "platform/BmpCodec.h"
#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::size_t kLengthSize = 4;

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic("Invalid stored picture: " + reason);
}

// A class name from hostile bytes must not carry control characters into a message box.
std::string Printable(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return out;
}

[[noreturn]] void FailUnknownClass(std::string_view class_name) {
  throw EInvalidGraphic("Unsupported picture class \"" + Printable(class_name) + "\"");
}

}  // namespace

StoredPicture ReadStoredPicture(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) Fail("no data");
  StoredPicture picture;
  const std::size_t name_length = bytes[0];
  if (name_length == 0) return picture;
  if (bytes.size() < 1 + name_length) Fail("class name truncated");
  picture.class_name.assign(reinterpret_cast<const char*>(bytes.data() + 1), name_length);
  const std::size_t length_at = 1 + name_length;
  if (bytes.size() < length_at + kLengthSize) Fail("data length truncated");
  const std::uint32_t length = static_cast<std::uint32_t>(bytes[length_at]) |
                               (static_cast<std::uint32_t>(bytes[length_at + 1]) << 8) |
                               (static_cast<std::uint32_t>(bytes[length_at + 2]) << 16) |
                               (static_cast<std::uint32_t>(bytes[length_at + 3]) << 24);
  const std::size_t available = bytes.size() - length_at - kLengthSize;
  if (length > available) {
    Fail("data length " + std::to_string(length) + " exceeds the " + std::to_string(available) +
         " bytes present");
  }
  const auto data = bytes.subspan(length_at + kLengthSize, length);
  picture.data.assign(data.begin(), data.end());
  return picture;
}

std::vector<std::uint8_t> WriteStoredPicture(const StoredPicture& picture) {
  if (picture.class_name.empty()) {
    if (!picture.data.empty()) throw EInvalidGraphic("Picture data without a class name");
    return {0};
  }
  if (picture.class_name.size() > std::numeric_limits<std::uint8_t>::max()) {
    throw EInvalidGraphic("Picture class name longer than 255 bytes");
  }
  if (picture.data.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw EInvalidGraphic("Picture data larger than 4 GiB");
  }
  std::vector<std::uint8_t> out;
  out.reserve(1 + picture.class_name.size() + kLengthSize + picture.data.size());
  out.push_back(static_cast<std::uint8_t>(picture.class_name.size()));
  out.insert(out.end(), picture.class_name.begin(), picture.class_name.end());
  const auto length = static_cast<std::uint32_t>(picture.data.size());
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<std::uint8_t>(length >> shift));
  }
  out.insert(out.end(), picture.data.begin(), picture.data.end());
  return out;
}

PixelImage DecodeGraphic(std::string_view class_name, std::span<const std::uint8_t> data) {
  if (class_name == kBitmapClassName) return DecodeBmp(data);
  if (class_name == kJpegClassName) return DecodeJpeg(data);
  FailUnknownClass(class_name);
}

StoredPicture EncodeGraphic(const PixelImage& image, std::string_view class_name,
                            int jpeg_quality) {
  if (class_name == kBitmapClassName) return {std::string(class_name), EncodeBmp(image)};
  if (class_name == kJpegClassName) {
    return {std::string(class_name), EncodeJpeg(image, jpeg_quality)};
  }
  FailUnknownClass(class_name);
}

PixelImage DecodeStoredPicture(std::span<const std::uint8_t> bytes) {
  const StoredPicture picture = ReadStoredPicture(bytes);
  if (picture.IsEmpty()) return {};
  return DecodeGraphic(picture.class_name, picture.data);
}

}  // namespace orlit
