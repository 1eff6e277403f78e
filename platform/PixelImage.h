#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "convert/Exceptions.h"

namespace orlit {

// A decoded picture: 32-bit 0x00RRGGBB pixels, rows top-down without padding. The codecs decode
// into it and the device context draws from it. The top byte of a pixel is always zero.
class PixelImage {
 public:
  // Limits that keep width * height * 4 far from overflow and stop a hostile header from asking
  // for gigabytes.
  static constexpr int kMaxDimension = 65535;
  static constexpr std::size_t kMaxPixels = std::size_t{64} * 1024 * 1024;

  static constexpr bool IsValidSize(int width, int height) {
    return width >= 0 && height >= 0 && width <= kMaxDimension && height <= kMaxDimension &&
           static_cast<std::size_t>(width) * static_cast<std::size_t>(height) <= kMaxPixels;
  }

  PixelImage() = default;
  // Throws Exception when the size is negative or beyond the limits.
  PixelImage(int width, int height, uint32_t fill = 0) {
    if (!IsValidSize(width, height)) {
      throw Exception("Invalid picture size " + std::to_string(width) + " x " +
                      std::to_string(height));
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                   fill & 0xFFFFFFu);
  }

  // A picture over pixels that stay for the life of the process, such as the program's own
  // read-only data: nothing is copied until the picture is written to. `pixels` holds exactly
  // width * height pixels of the form above.
  static PixelImage OverLastingPixels(int width, int height, std::span<const uint32_t> pixels) {
    PixelImage image;
    if (!IsValidSize(width, height) ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
      throw Exception("Invalid picture size " + std::to_string(width) + " x " +
                      std::to_string(height));
    }
    image.width_ = width;
    image.height_ = height;
    image.lasting_pixels_ = pixels;
    return image;
  }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }

  // Out-of-range reads give 0 and out-of-range writes are ignored.
  uint32_t Pixel(int x, int y) const { return InRange(x, y) ? Pixels()[Index(x, y)] : 0u; }
  void SetPixel(int x, int y, uint32_t rgb) {
    if (!InRange(x, y)) return;
    Own();
    pixels_[Index(x, y)] = rgb & 0xFFFFFFu;
  }

  // One row for decoders and blitters; empty when y is out of range. Writers keep the top byte 0.
  std::span<uint32_t> Row(int y) {
    if (y < 0 || y >= height_) return {};
    Own();
    return {pixels_.data() + Index(0, y), static_cast<std::size_t>(width_)};
  }
  std::span<const uint32_t> Row(int y) const {
    if (y < 0 || y >= height_) return {};
    return Pixels().subspan(Index(0, y), static_cast<std::size_t>(width_));
  }
  std::span<const uint32_t> Pixels() const {
    return lasting_pixels_.empty() ? std::span<const uint32_t>(pixels_) : lasting_pixels_;
  }

  // A transparent picture leaves the pixels of its transparent colour undrawn. Unless set, that
  // colour is the bottom-left pixel, as bitmaps have always chosen it.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent) { transparent_ = transparent; }
  uint32_t TransparentColor() const {
    return transparent_color_ ? *transparent_color_ : Pixel(0, height_ - 1);
  }
  void SetTransparentColor(uint32_t rgb) { transparent_color_ = rgb & 0xFFFFFFu; }

  friend bool operator==(const PixelImage& a, const PixelImage& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && a.transparent_ == b.transparent_ &&
           a.transparent_color_ == b.transparent_color_ &&
           std::ranges::equal(a.Pixels(), b.Pixels());
  }

 private:
  // Writing to lasting pixels copies them first.
  void Own() {
    if (lasting_pixels_.empty()) return;
    pixels_.assign(lasting_pixels_.begin(), lasting_pixels_.end());
    lasting_pixels_ = {};
  }
  bool InRange(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
  std::span<const uint32_t> lasting_pixels_;  // when set, the pixels instead of pixels_
  bool transparent_ = false;
  std::optional<uint32_t> transparent_color_;
};

}  // namespace orlit
