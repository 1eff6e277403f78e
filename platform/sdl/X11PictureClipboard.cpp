#include "platform/sdl/X11PictureClipboard.h"

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/ClipboardPicture.h"
#include "platform/PictureError.h"
#include "platform/WindowSystem.h"

// Last: the X headers define macros that clash with ordinary names.
#include <SDL_syswm.h>

namespace orlit {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// Transfers to requestors in progress at once; a further one drops the oldest.
constexpr std::size_t kMaxOutgoing = 8;
constexpr long kMaxChunkBytes = 256 * 1024;

struct XFreeDeleter {
  void operator()(void* data) const {
    if (data != nullptr) XFree(data);
  }
};

// One property read whole, deleted from the window as it is read.
struct Property {
  Atom type = None;
  int format = 0;
  Bytes bytes;
};

// One incremental transfer to another program.
struct Outgoing {
  ::Window requestor = None;
  Atom property = None;
  Atom target = None;
  std::shared_ptr<const Bytes> data;
  std::size_t sent = 0;
  Clock::time_point last_activity;
};

}  // namespace

struct X11PictureClipboard::State {
  Display* display = nullptr;
  ::Window window = None;
  ::Window text_owner = None;
  Atom clipboard = None;
  Atom targets = None;
  Atom incr = None;
  Atom atom = None;
  Atom transfer_property = None;
  std::map<Atom, std::string> types;  // our picture formats by atom
  bool owned = false;
  PixelImage picture;
  std::map<Atom, std::shared_ptr<const Bytes>> encoded;
  std::deque<Outgoing> outgoing;

  ~State() {
    if (window != None) XDestroyWindow(display, window);
    XFlush(display);
  }

  long ChunkBytes() const {
    long max = XExtendedMaxRequestSize(display);
    if (max == 0) max = XMaxRequestSize(display);
    return std::clamp<long>(max * 4 - 1024, 4096, kMaxChunkBytes);
  }

  std::shared_ptr<const Bytes> Encoded(Atom type) {
    auto& slot = encoded[type];
    if (!slot) slot = std::make_shared<const Bytes>(EncodeClipboardPicture(types[type], picture));
    return slot;
  }

  // Waits for an event of `type` on our window; false once `deadline` has passed.
  bool WaitFor(int type, Clock::time_point deadline, XEvent* event) {
    const int fd = ConnectionNumber(display);
    while (true) {
      if (XCheckTypedWindowEvent(display, window, type, event)) return true;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      XFlush(display);
      pollfd ready{fd, POLLIN, 0};
      if (poll(&ready, 1, static_cast<int>(std::min<long long>(left, 100))) > 0) {
        XEventsQueued(display, QueuedAfterReading);
      }
    }
  }

  void DropStaleEvents() {
    XEvent event;
    while (XCheckTypedWindowEvent(display, window, SelectionNotify, &event) ||
           XCheckTypedWindowEvent(display, window, PropertyNotify, &event)) {
    }
  }

  std::optional<Property> ReadProperty() {
    Property result;
    long offset = 0;
    while (true) {
      Atom type = None;
      int format = 0;
      unsigned long count = 0;
      unsigned long after = 0;
      unsigned char* raw = nullptr;
      if (XGetWindowProperty(display, window, transfer_property, offset, kMaxChunkBytes / 4, False,
                             AnyPropertyType, &type, &format, &count, &after, &raw) != Success) {
        return std::nullopt;
      }
      const std::unique_ptr<unsigned char, XFreeDeleter> data(raw);
      if (format != 8 && format != 16 && format != 32 && type != None) return std::nullopt;
      // Xlib hands 32-bit items as longs.
      const std::size_t item = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
      const std::size_t bytes = count * item;
      if (result.bytes.size() + bytes > kMaxPictureDataBytes) return std::nullopt;
      if (data) result.bytes.insert(result.bytes.end(), raw, raw + bytes);
      result.type = type;
      result.format = format;
      if (after == 0) break;
      offset += static_cast<long>(count * static_cast<unsigned long>(format / 8)) / 4;
    }
    XDeleteProperty(display, window, transfer_property);
    return result;
  }

  // Asks the owner to convert the clipboard to `target`; the answer, read incrementally when the
  // owner sends it so. Nothing when the owner does not answer in time or answers out of shape.
  std::optional<Property> Convert(Atom target) {
    DropStaleEvents();
    const Clock::time_point start = Clock::now();
    const Clock::time_point transfer_end = start + std::chrono::milliseconds(kTransferTimeoutMs);
    XConvertSelection(display, clipboard, target, transfer_property, window, CurrentTime);
    XEvent event;
    if (!WaitFor(SelectionNotify, start + std::chrono::milliseconds(kReplyTimeoutMs), &event) ||
        event.xselection.property == None) {
      return std::nullopt;
    }
    std::optional<Property> first = ReadProperty();
    if (!first || first->type != incr) return first;
    // Incremental: every chunk is announced by a new value of the property, the last one empty.
    Property whole{None, 8, {}};
    while (true) {
      const Clock::time_point chunk_end =
          std::min(transfer_end, Clock::now() + std::chrono::milliseconds(kReplyTimeoutMs));
      if (!WaitFor(PropertyNotify, chunk_end, &event)) return std::nullopt;
      if (event.xproperty.atom != transfer_property || event.xproperty.state != PropertyNewValue) {
        continue;
      }
      std::optional<Property> chunk = ReadProperty();
      if (!chunk) return std::nullopt;
      if (chunk->bytes.empty()) return whole;
      if (chunk->format != 8 || whole.bytes.size() + chunk->bytes.size() > kMaxPictureDataBytes) {
        return std::nullopt;
      }
      whole.type = chunk->type;
      whole.bytes.insert(whole.bytes.end(), chunk->bytes.begin(), chunk->bytes.end());
    }
  }

  // The first of our picture formats that the owner offers.
  std::optional<Atom> OfferedType() {
    const ::Window owner = XGetSelectionOwner(display, clipboard);
    if (owner == None || (text_owner != None && owner == text_owner)) return std::nullopt;
    if (owned && owner == window) return types.begin()->first;
    std::optional<Property> list = Convert(targets);
    if (!list || list->format != 32 || list->type != atom) return std::nullopt;
    std::vector<Atom> offered(list->bytes.size() / sizeof(long));
    for (std::size_t i = 0; i < offered.size(); ++i) {
      long value = 0;
      std::memcpy(&value, list->bytes.data() + i * sizeof(long), sizeof(long));
      offered[i] = static_cast<Atom>(value);
    }
    for (const std::string_view name : ClipboardPictureTypes()) {
      for (const auto& [type, type_name] : types) {
        if (type_name == name && std::find(offered.begin(), offered.end(), type) != offered.end()) {
          return type;
        }
      }
    }
    return std::nullopt;
  }

  void Answer(const XSelectionRequestEvent& request) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    // Old clients name no property: the target's name is the one to use.
    const Atom property = request.property != None ? request.property : request.target;
    reply.xselection.property = ServeRequest(request.requestor, property, request.target)
                                    ? property
                                    : static_cast<Atom>(None);
    XSendEvent(display, request.requestor, False, NoEventMask, &reply);
    XFlush(display);
  }

  bool ServeRequest(::Window requestor, Atom property, Atom target) {
    if (!owned || picture.IsEmpty()) return false;
    if (target == targets) {
      std::vector<Atom> list = {targets};
      for (const auto& entry : types) list.push_back(entry.first);
      XChangeProperty(display, requestor, property, atom, 32, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(list.data()),
                      static_cast<int>(list.size()));
      return true;
    }
    if (!types.contains(target)) return false;
    std::shared_ptr<const Bytes> data;
    try {
      data = Encoded(target);
    } catch (const Exception&) {
      return false;
    }
    if (static_cast<long>(data->size()) <= ChunkBytes()) {
      XChangeProperty(display, requestor, property, target, 8, PropModeReplace, data->data(),
                      static_cast<int>(data->size()));
      return true;
    }
    if (outgoing.size() >= kMaxOutgoing) outgoing.pop_front();
    XSelectInput(display, requestor, PropertyChangeMask);
    const long size = static_cast<long>(data->size());
    XChangeProperty(display, requestor, property, incr, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    outgoing.push_back({requestor, property, target, data, 0, Clock::now()});
    return true;
  }

  // The requestor took the last chunk (deleted the property): the next one, empty at the end.
  void SendNextChunk(const XPropertyEvent& deleted) {
    const Clock::time_point now = Clock::now();
    std::erase_if(outgoing, [&](const Outgoing& transfer) {
      return now - transfer.last_activity > std::chrono::milliseconds(kReplyTimeoutMs);
    });
    auto it = std::find_if(outgoing.begin(), outgoing.end(), [&](const Outgoing& transfer) {
      return transfer.requestor == deleted.window && transfer.property == deleted.atom;
    });
    if (it == outgoing.end()) return;
    const std::size_t length =
        std::min(static_cast<std::size_t>(ChunkBytes()), it->data->size() - it->sent);
    XChangeProperty(display, it->requestor, it->property, it->target, 8, PropModeReplace,
                    it->data->data() + it->sent, static_cast<int>(length));
    it->sent += length;
    it->last_activity = now;
    if (length == 0) {
      XSelectInput(display, it->requestor, NoEventMask);
      outgoing.erase(it);
    }
    XFlush(display);
  }
};

std::unique_ptr<X11PictureClipboard> X11PictureClipboard::Create(SDL_Window* sdl_window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (sdl_window == nullptr || SDL_GetWindowWMInfo(sdl_window, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return nullptr;
  }
  auto state = std::make_unique<State>();
  Display* display = info.info.x11.display;
  state->display = display;
  state->window = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(display, state->window, PropertyChangeMask);
  state->clipboard = XInternAtom(display, "CLIPBOARD", False);
  state->targets = XInternAtom(display, "TARGETS", False);
  state->incr = XInternAtom(display, "INCR", False);
  state->atom = XInternAtom(display, "ATOM", False);
  state->transfer_property = XInternAtom(display, "ORLIT_PICTURE", False);
  for (const std::string_view type : ClipboardPictureTypes()) {
    state->types[XInternAtom(display, std::string(type).c_str(), False)] = std::string(type);
  }
  // The requests of other programs arrive in SDL's loop.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  return std::unique_ptr<X11PictureClipboard>(new X11PictureClipboard(std::move(state)));
}

void X11PictureClipboard::Offer(const PixelImage& picture) {
  State& s = *state_;
  if (picture.IsEmpty()) throw EWindowSystemError("Cannot put an empty picture on the clipboard");
  s.picture = picture;
  s.encoded.clear();
  s.outgoing.clear();
  XSetSelectionOwner(s.display, s.clipboard, s.window, CurrentTime);
  s.owned = XGetSelectionOwner(s.display, s.clipboard) == s.window;
  if (!s.owned) throw EWindowSystemError("Cannot open clipboard: another program holds it");
}

bool X11PictureClipboard::HasPicture() { return state_->OfferedType().has_value(); }

std::optional<PixelImage> X11PictureClipboard::Picture() {
  State& s = *state_;
  const std::optional<Atom> type = s.OfferedType();
  if (!type) return std::nullopt;
  if (s.owned && XGetSelectionOwner(s.display, s.clipboard) == s.window) return s.picture;
  const std::optional<Property> data = s.Convert(*type);
  if (!data || data->format != 8) return std::nullopt;
  return DecodeClipboardPicture(s.types[*type], data->bytes);
}

bool X11PictureClipboard::OwnsClipboard() {
  return state_->owned && XGetSelectionOwner(state_->display, state_->clipboard) == state_->window;
}

void X11PictureClipboard::NoteTextOwner() {
  state_->text_owner = XGetSelectionOwner(state_->display, state_->clipboard);
}

void X11PictureClipboard::HandleEvent(const SDL_Event& sdl_event) {
  if (sdl_event.type != SDL_SYSWMEVENT || sdl_event.syswm.msg == nullptr ||
      sdl_event.syswm.msg->subsystem != SDL_SYSWM_X11) {
    return;
  }
  State& s = *state_;
  const XEvent& event = sdl_event.syswm.msg->msg.x11.event;
  switch (event.type) {
    case SelectionRequest:
      if (event.xselectionrequest.owner == s.window) s.Answer(event.xselectionrequest);
      return;
    case SelectionClear:
      if (event.xselectionclear.window == s.window &&
          event.xselectionclear.selection == s.clipboard) {
        s.owned = false;
        s.picture = {};
        s.encoded.clear();
      }
      return;
    case PropertyNotify:
      if (event.xproperty.window != s.window && event.xproperty.state == PropertyDelete) {
        s.SendNextChunk(event.xproperty);
      }
      return;
    default:
      return;
  }
}

#else

struct X11PictureClipboard::State {};

std::unique_ptr<X11PictureClipboard> X11PictureClipboard::Create(SDL_Window*) { return nullptr; }
void X11PictureClipboard::Offer(const PixelImage&) {}
bool X11PictureClipboard::HasPicture() { return false; }
std::optional<PixelImage> X11PictureClipboard::Picture() { return std::nullopt; }
bool X11PictureClipboard::OwnsClipboard() { return false; }
void X11PictureClipboard::NoteTextOwner() {}
void X11PictureClipboard::HandleEvent(const SDL_Event&) {}

#endif

X11PictureClipboard::X11PictureClipboard(std::unique_ptr<State> state) : state_(std::move(state)) {}

X11PictureClipboard::~X11PictureClipboard() = default;

}  // namespace orlit
