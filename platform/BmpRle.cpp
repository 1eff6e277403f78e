#include "platform/BmpRle.h"

#include <string>

#include "platform/PictureError.h"

namespace orlit {
namespace {

constexpr std::uint8_t kEscape = 0;
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

[[noreturn]] void Fail(const std::string& reason) {
  throw EInvalidGraphic("Invalid bitmap: " + reason);
}

// Walks the encoded stream and writes the pixels it names; x and y count from the bottom-left.
class RleWriter {
 public:
  RleWriter(std::span<const std::uint8_t> encoded, int bits,
            const std::vector<std::uint32_t>& palette, PixelImage& image)
      : in_(encoded), bits_(bits), palette_(palette), image_(image) {}

  void Run() {
    while (true) {
      const std::uint8_t count = Next();
      const std::uint8_t value = Next();
      if (count != kEscape) {
        Put(count, [&](int i) { return Nibble(value, i); });
        continue;
      }
      switch (value) {
        case kEndOfLine:
          x_ = 0;
          ++y_;
          break;
        case kEndOfBitmap:
          return;
        case kDelta: {
          const int dx = Next();
          const int dy = Next();
          if (x_ + dx > image_.Width() || y_ + dy > image_.Height()) {
            Fail("run-length delta leaves the picture");
          }
          x_ += dx;
          y_ += dy;
          break;
        }
        default:
          Absolute(value);
      }
    }
  }

 private:
  std::uint8_t Next() {
    if (at_ >= in_.size()) Fail("run-length data ends before its end-of-bitmap code");
    return in_[at_++];
  }

  // The i-th pixel of a run drawn from one byte: the byte itself at 8 bits, its two halves in
  // turn at 4 bits, high first.
  std::uint32_t Nibble(std::uint8_t byte, int i) const {
    if (bits_ == 8) return byte;
    return (i % 2 == 0 ? byte >> 4 : byte) & 0x0Fu;
  }

  // Literal pixels, their bytes padded to a 16-bit boundary.
  void Absolute(int count) {
    const std::size_t bytes =
        bits_ == 8 ? static_cast<std::size_t>(count) : (static_cast<std::size_t>(count) + 1) / 2;
    if (in_.size() - at_ < bytes) Fail("run-length data ends before its end-of-bitmap code");
    const std::size_t start = at_;
    Put(count, [&](int i) {
      const std::uint8_t byte =
          in_[start + (bits_ == 8 ? static_cast<std::size_t>(i) : static_cast<std::size_t>(i) / 2)];
      return Nibble(byte, i);
    });
    at_ = start + bytes + bytes % 2;
    if (at_ > in_.size()) Fail("run-length data ends before its end-of-bitmap code");
  }

  template <typename IndexOf>
  void Put(int count, IndexOf index_of) {
    if (y_ >= image_.Height() || x_ + count > image_.Width()) {
      Fail("run-length run leaves the picture");
    }
    std::span<std::uint32_t> row = image_.Row(image_.Height() - 1 - y_);
    for (int i = 0; i < count; ++i) {
      const std::uint32_t index = index_of(i);
      if (index >= palette_.size()) {
        Fail("colour index " + std::to_string(index) + " outside palette of " +
             std::to_string(palette_.size()) + " colours");
      }
      row[static_cast<std::size_t>(x_ + i)] = palette_[index];
    }
    x_ += count;
  }

  std::span<const std::uint8_t> in_;
  std::size_t at_ = 0;
  int bits_;
  const std::vector<std::uint32_t>& palette_;
  PixelImage& image_;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace

void DecodeBmpRle(std::span<const std::uint8_t> encoded, int bits_per_pixel,
                  const std::vector<std::uint32_t>& palette, PixelImage& image) {
  if (palette.empty()) Fail("run-length picture without a palette");
  for (int y = 0; y < image.Height(); ++y) {
    for (std::uint32_t& pixel : image.Row(y)) pixel = palette.front();
  }
  RleWriter(encoded, bits_per_pixel, palette, image).Run();
}

}  // namespace orlit
