#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/LoopWatches.h"
#include "platform/PixelImage.h"
#include "platform/wayland/WaylandDisplay.h"

namespace orlit {

class WindowSystem;

// Text and pictures on the Wayland clipboard (the seat's selection, wl_data_device).
//
// Owning: text is offered as text/plain;charset=utf-8, UTF8_STRING and text/plain, a picture in
// the formats of ClipboardPictureTypes (each encoded when first asked for); holding one drops
// the other. Each reader gets the data through its pipe without the window waiting: what does
// not fit goes when the pipe takes more, and a reader that takes nothing for kWriteTimeoutMs is
// dropped, with no more than kMaxOutgoing of them at once.
//
// Reading: one paste or picture read waits at most kReadTimeoutMs in all through the window
// system's WaitForPeer (so the window stays on screen and a close or quit ends the wait) and takes
// no more than kMaxPictureDataBytes of a picture or 64 MiB of text; an owner that breaks either
// gives nothing. Whether a picture is there is answered from the formats offered, without
// waiting. When the clipboard is ours, what it holds is read from memory.
//
// The compositor tells only the window with the keyboard what the clipboard holds, and takes a
// new owner only with the serial of a recent key or button press.
class WaylandClipboard {
 public:
  static constexpr int kReadTimeoutMs = 2500;
  static constexpr int kWriteTimeoutMs = 2000;
  static constexpr std::size_t kMaxOutgoing = 8;

  WaylandClipboard(WaylandDisplay& display, WindowSystem& waits);
  ~WaylandClipboard();
  WaylandClipboard(const WaylandClipboard&) = delete;
  WaylandClipboard& operator=(const WaylandClipboard&) = delete;

  // Empty when the clipboard holds no text.
  std::string Text();
  // `serial`: of the input event the user asked with. Throws EWindowSystemError when the
  // compositor has no clipboard.
  void SetText(const std::string& text, std::uint32_t serial);
  bool HasPicture() const;
  // Throws EInvalidGraphic when what the clipboard holds cannot be decoded.
  std::optional<PixelImage> Picture();
  // Throws EWindowSystemError for an empty picture or when the compositor has no clipboard.
  void SetPicture(const PixelImage& picture, std::uint32_t serial);

  // For the data device's and offers' events.
  void NewOffer(wl_data_offer* offer);
  void OfferType(wl_data_offer* offer, const char* mime_type);
  void Selection(wl_data_offer* offer);
  void DragEnter(wl_data_offer* offer);
  void DragEnd();
  void Send(const char* mime_type, int fd);
  void Cancelled(wl_data_source* source);

 private:
  using Bytes = std::vector<std::uint8_t>;
  using Clock = std::chrono::steady_clock;
  enum class Content { kNone, kText, kPicture };
  // One reader of ours still taking data.
  struct Outgoing {
    int fd = -1;
    std::shared_ptr<const Bytes> data;
    std::size_t sent = 0;
    LoopWatches::WatchId ready = 0;
    LoopWatches::WatchId timeout = 0;
  };

  void Own(Content content, std::string text, PixelImage picture, std::uint32_t serial);
  const std::vector<std::string>* SelectionTypes() const;
  // The first of `wanted` the selection offers; null when none.
  const char* OfferedType(std::initializer_list<const char*> wanted) const;
  std::optional<Bytes> Receive(const char* mime_type, std::size_t max_bytes,
                               Clock::time_point deadline);
  std::shared_ptr<const Bytes> DataFor(const std::string& mime_type);
  // Writes what the pipe takes; false once the transfer is over (done or failed).
  bool WriteSome(Outgoing& out);
  void Continue(int fd);
  void Drop(int fd);

  WaylandDisplay& display_;
  WindowSystem& waits_;
  WaylandPtr<wl_data_device> device_;
  std::map<wl_data_offer*, std::vector<std::string>> offers_;  // announced, with their types
  wl_data_offer* selection_ = nullptr;
  wl_data_offer* drag_ = nullptr;

  WaylandPtr<wl_data_source> source_;
  Content content_ = Content::kNone;
  std::string text_;
  PixelImage picture_;
  std::map<std::string, std::shared_ptr<const Bytes>> encoded_;
  std::map<int, Outgoing> outgoing_;  // by pipe
};

}  // namespace orlit
