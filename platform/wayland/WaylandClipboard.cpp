#include "platform/wayland/WaylandClipboard.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/ClipboardPicture.h"
#include "platform/WindowSystem.h"

namespace orlit {

namespace {

constexpr std::size_t kMaxTextBytes = 64 * 1024 * 1024;
constexpr const char* kTextTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain"};

WaylandClipboard& ClipboardOf(void* data) { return *static_cast<WaylandClipboard*>(data); }

constexpr wl_data_offer_listener kOfferListener = {
    .offer = [](void* data, wl_data_offer* offer,
                const char* type) { ClipboardOf(data).OfferType(offer, type); },
    .source_actions = [](void*, wl_data_offer*, std::uint32_t) {},
    .action = [](void*, wl_data_offer*, std::uint32_t) {},
};

constexpr wl_data_device_listener kDeviceListener = {
    .data_offer = [](void* data, wl_data_device*,
                     wl_data_offer* offer) { ClipboardOf(data).NewOffer(offer); },
    .enter = [](void* data, wl_data_device*, std::uint32_t, wl_surface*, wl_fixed_t, wl_fixed_t,
                wl_data_offer* offer) { ClipboardOf(data).DragEnter(offer); },
    .leave = [](void* data, wl_data_device*) { ClipboardOf(data).DragEnd(); },
    .motion = [](void*, wl_data_device*, std::uint32_t, wl_fixed_t, wl_fixed_t) {},
    .drop = [](void* data, wl_data_device*) { ClipboardOf(data).DragEnd(); },
    .selection = [](void* data, wl_data_device*,
                    wl_data_offer* offer) { ClipboardOf(data).Selection(offer); },
};

constexpr wl_data_source_listener kSourceListener = {
    .target = [](void*, wl_data_source*, const char*) {},
    .send = [](void* data, wl_data_source*, const char* type,
               std::int32_t fd) { ClipboardOf(data).Send(type, fd); },
    .cancelled = [](void* data, wl_data_source* source) { ClipboardOf(data).Cancelled(source); },
    .dnd_drop_performed = [](void*, wl_data_source*) {},
    .dnd_finished = [](void*, wl_data_source*) {},
    .action = [](void*, wl_data_source*, std::uint32_t) {},
};

// A write to a pipe whose reader has gone must fail with EPIPE, not end the program with
// SIGPIPE: the signal is held back for the write and a pending one taken away.
ssize_t WriteWithoutSignal(int fd, const void* data, std::size_t size) {
  sigset_t pipe_signal;
  sigset_t previous;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, &previous);
  const ssize_t written = write(fd, data, size);
  const int error = errno;
  if (written < 0 && error == EPIPE) {
    const timespec none{};
    sigtimedwait(&pipe_signal, nullptr, &none);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  errno = error;
  return written;
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

}  // namespace

WaylandClipboard::WaylandClipboard(WaylandDisplay& display, WindowSystem& waits)
    : display_(display), waits_(waits) {
  if (display_.DataDevices() == nullptr || display_.Seat() == nullptr) return;
  device_.reset(wl_data_device_manager_get_data_device(display_.DataDevices(), display_.Seat()));
  wl_data_device_add_listener(device_.get(), &kDeviceListener, this);
}

WaylandClipboard::~WaylandClipboard() {
  for (auto& [fd, out] : outgoing_) {
    LoopWatches::Instance().Remove(out.ready);
    LoopWatches::Instance().Remove(out.timeout);
    close(fd);
  }
  for (auto& [offer, types] : offers_) wl_data_offer_destroy(offer);
  source_.reset();
  device_.reset();
}

void WaylandClipboard::NewOffer(wl_data_offer* offer) {
  offers_[offer];
  wl_data_offer_add_listener(offer, &kOfferListener, this);
}

void WaylandClipboard::OfferType(wl_data_offer* offer, const char* mime_type) {
  if (auto it = offers_.find(offer); it != offers_.end()) it->second.emplace_back(mime_type);
}

void WaylandClipboard::Selection(wl_data_offer* offer) {
  if (selection_ != nullptr && selection_ != offer) {
    offers_.erase(selection_);
    wl_data_offer_destroy(selection_);
  }
  selection_ = offer;
}

// Nothing is ever dropped on the window: offers of a drag are let go when it leaves.
void WaylandClipboard::DragEnter(wl_data_offer* offer) {
  DragEnd();
  drag_ = offer;
}

void WaylandClipboard::DragEnd() {
  if (drag_ == nullptr) return;
  offers_.erase(drag_);
  wl_data_offer_destroy(drag_);
  drag_ = nullptr;
}

const std::vector<std::string>* WaylandClipboard::SelectionTypes() const {
  auto it = offers_.find(selection_);
  return selection_ != nullptr && it != offers_.end() ? &it->second : nullptr;
}

const char* WaylandClipboard::OfferedType(std::initializer_list<const char*> wanted) const {
  const std::vector<std::string>* offered = SelectionTypes();
  if (offered == nullptr) return nullptr;
  for (const char* type : wanted) {
    if (std::find(offered->begin(), offered->end(), type) != offered->end()) return type;
  }
  return nullptr;
}

std::optional<WaylandClipboard::Bytes> WaylandClipboard::Receive(const char* mime_type,
                                                                 std::size_t max_bytes,
                                                                 Clock::time_point deadline) {
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC | O_NONBLOCK) != 0) return std::nullopt;
  wl_data_offer_receive(selection_, mime_type, pipe_fds[1]);
  close(pipe_fds[1]);
  wl_display_flush(display_.Get());
  const int fd = pipe_fds[0];
  Bytes data;
  std::uint8_t chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got == 0) break;
    if (got > 0) {
      data.insert(data.end(), chunk, chunk + got);
      if (data.size() > max_bytes) break;
      continue;
    }
    if ((errno != EAGAIN && errno != EINTR) ||
        waits_.WaitForPeer(fd, MillisecondsLeft(deadline)) != PeerWaitResult::kReady) {
      close(fd);
      return std::nullopt;
    }
  }
  close(fd);
  if (data.size() > max_bytes) return std::nullopt;
  return data;
}

std::string WaylandClipboard::Text() {
  if (content_ == Content::kText) return text_;
  if (content_ != Content::kNone) return {};
  const char* type = OfferedType({kTextTypes[0], kTextTypes[1], kTextTypes[2]});
  if (type == nullptr) return {};
  const auto data =
      Receive(type, kMaxTextBytes, Clock::now() + std::chrono::milliseconds(kReadTimeoutMs));
  if (!data) return {};
  return {data->begin(), data->end()};
}

bool WaylandClipboard::HasPicture() const {
  if (content_ != Content::kNone) return content_ == Content::kPicture;
  const std::vector<std::string>* offered = SelectionTypes();
  return offered != nullptr &&
         std::any_of(offered->begin(), offered->end(),
                     [](const std::string& type) { return IsClipboardPictureType(type); });
}

std::optional<PixelImage> WaylandClipboard::Picture() {
  if (content_ == Content::kPicture) return picture_;
  if (content_ != Content::kNone) return std::nullopt;
  const std::vector<std::string>* offered = SelectionTypes();
  if (offered == nullptr) return std::nullopt;
  for (const std::string_view type : ClipboardPictureTypes()) {
    if (std::find(offered->begin(), offered->end(), type) == offered->end()) continue;
    const std::string name(type);
    const auto data = Receive(name.c_str(), kMaxPictureDataBytes,
                              Clock::now() + std::chrono::milliseconds(kReadTimeoutMs));
    if (!data) return std::nullopt;
    return DecodeClipboardPicture(type, *data);
  }
  return std::nullopt;
}

void WaylandClipboard::SetText(const std::string& text, std::uint32_t serial) {
  Own(Content::kText, text, {}, serial);
}

void WaylandClipboard::SetPicture(const PixelImage& picture, std::uint32_t serial) {
  if (picture.IsEmpty()) throw EWindowSystemError("An empty picture cannot go to the clipboard");
  Own(Content::kPicture, {}, picture, serial);
}

void WaylandClipboard::Own(Content content, std::string text, PixelImage picture,
                           std::uint32_t serial) {
  if (!device_) throw EWindowSystemError("The desktop has no clipboard");
  WaylandPtr<wl_data_source> source(
      wl_data_device_manager_create_data_source(display_.DataDevices()));
  wl_data_source_add_listener(source.get(), &kSourceListener, this);
  if (content == Content::kText) {
    for (const char* type : kTextTypes) wl_data_source_offer(source.get(), type);
  } else {
    for (const std::string_view type : ClipboardPictureTypes()) {
      wl_data_source_offer(source.get(), std::string(type).c_str());
    }
  }
  wl_data_device_set_selection(device_.get(), source.get(), serial);
  wl_display_flush(display_.Get());
  source_ = std::move(source);
  content_ = content;
  text_ = std::move(text);
  picture_ = std::move(picture);
  encoded_.clear();
}

void WaylandClipboard::Cancelled(wl_data_source* source) {
  if (source != source_.get()) return;
  source_.reset();
  content_ = Content::kNone;
  text_.clear();
  picture_ = {};
  encoded_.clear();
}

std::shared_ptr<const WaylandClipboard::Bytes> WaylandClipboard::DataFor(
    const std::string& mime_type) {
  if (content_ == Content::kText) {
    if (std::none_of(std::begin(kTextTypes), std::end(kTextTypes),
                     [&](const char* type) { return mime_type == type; })) {
      return nullptr;
    }
    return std::make_shared<const Bytes>(text_.begin(), text_.end());
  }
  if (content_ != Content::kPicture || !IsClipboardPictureType(mime_type)) return nullptr;
  std::shared_ptr<const Bytes>& slot = encoded_[mime_type];
  if (!slot) slot = std::make_shared<const Bytes>(EncodeClipboardPicture(mime_type, picture_));
  return slot;
}

void WaylandClipboard::Send(const char* mime_type, int fd) {
  std::shared_ptr<const Bytes> data;
  try {
    data = DataFor(mime_type);
  } catch (const Exception&) {
    // A picture that cannot be encoded is sent as nothing.
  }
  if (!data || outgoing_.size() >= kMaxOutgoing || fcntl(fd, F_SETFL, O_NONBLOCK) != 0) {
    close(fd);
    return;
  }
  Outgoing out;
  out.fd = fd;
  out.data = std::move(data);
  if (!WriteSome(out)) {
    close(fd);
    return;
  }
  // The rest goes whenever the reader has taken some, from the event loop's wait.
  LoopWatches& watches = LoopWatches::Instance();
  out.ready = watches.WatchFd(fd, POLLOUT, [this, fd](short) { Continue(fd); });
  outgoing_[fd] = std::move(out);
  Continue(fd);
}

bool WaylandClipboard::WriteSome(Outgoing& out) {
  while (out.sent < out.data->size()) {
    const ssize_t written =
        WriteWithoutSignal(out.fd, out.data->data() + out.sent, out.data->size() - out.sent);
    if (written > 0) {
      out.sent += static_cast<std::size_t>(written);
      continue;
    }
    return written < 0 && (errno == EAGAIN || errno == EINTR);
  }
  return false;
}

void WaylandClipboard::Continue(int fd) {
  auto it = outgoing_.find(fd);
  if (it == outgoing_.end()) return;
  Outgoing& out = it->second;
  if (!WriteSome(out)) {
    Drop(fd);
    return;
  }
  // Each bit of progress gives the reader its full time again.
  LoopWatches& watches = LoopWatches::Instance();
  watches.Remove(out.timeout);
  out.timeout = watches.CallAt(waits_.TickCount() + kWriteTimeoutMs, [this, fd] { Drop(fd); });
}

void WaylandClipboard::Drop(int fd) {
  auto it = outgoing_.find(fd);
  if (it == outgoing_.end()) return;
  LoopWatches::Instance().Remove(it->second.ready);
  LoopWatches::Instance().Remove(it->second.timeout);
  close(fd);
  outgoing_.erase(it);
}

}  // namespace orlit
