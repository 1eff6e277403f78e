#include "platform/xcb/XcbClipboard.h"

#include <poll.h>

#include <algorithm>
#include <cstring>

#include "convert/Utf8.h"
#include "platform/ClipboardPicture.h"
#include "platform/PictureError.h"
#include "platform/WindowSystem.h"

namespace orlit {

namespace {

constexpr std::size_t kMaxChunkBytes = 256 * 1024;
// Text beyond this is no use to an edit control and is not taken.
constexpr std::size_t kMaxTextBytes = 64 * 1024 * 1024;

std::chrono::milliseconds Ms(int ms) { return std::chrono::milliseconds(ms); }

std::string Latin1ToUtf8(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (const std::uint8_t c : bytes) {
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

// Characters Latin-1 cannot hold become '?'.
std::vector<std::uint8_t> Utf8ToLatin1(const std::string& text) {
  std::vector<std::uint8_t> bytes;
  for (const char32_t c : ToCodePoints(text)) bytes.push_back(c <= 0xFF ? c : '?');
  return bytes;
}

}  // namespace

XcbClipboard::XcbClipboard(XcbConnection& connection, int quit_fd)
    : connection_(connection), quit_fd_(quit_fd) {
  connection_.InternAtoms({"CLIPBOARD", "TARGETS", "TIMESTAMP", "INCR", "UTF8_STRING", "TEXT",
                           "text/plain;charset=utf-8", "ORLIT_SELECTION", "ORLIT_TIMESTAMP",
                           "WM_PROTOCOLS", "WM_DELETE_WINDOW"});
  clipboard_ = connection_.Atom("CLIPBOARD");
  targets_ = connection_.Atom("TARGETS");
  timestamp_ = connection_.Atom("TIMESTAMP");
  incr_ = connection_.Atom("INCR");
  utf8_ = connection_.Atom("UTF8_STRING");
  text_ = connection_.Atom("TEXT");
  text_plain_ = connection_.Atom("text/plain;charset=utf-8");
  transfer_ = connection_.Atom("ORLIT_SELECTION");
  time_property_ = connection_.Atom("ORLIT_TIMESTAMP");
  for (const std::string_view type : ClipboardPictureTypes()) {
    picture_types_[connection_.Atom(std::string(type))] = std::string(type);
  }
  window_ = xcb_generate_id(Get());
  const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(Get(), XCB_COPY_FROM_PARENT, window_, connection_.Root(), -10, -10, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
  connection_.Flush();
}

XcbClipboard::~XcbClipboard() {
  xcb_destroy_window(Get(), window_);
  connection_.Flush();
}

// ---- owning ----

void XcbClipboard::SetText(const std::string& text) { Own(Content::kText, text, {}); }

void XcbClipboard::SetPicture(const PixelImage& picture) {
  if (picture.IsEmpty()) throw EWindowSystemError("Cannot put an empty picture on the clipboard");
  Own(Content::kPicture, {}, picture);
}

void XcbClipboard::Own(Content content, std::string text, PixelImage picture) {
  // Ownership must name a real time, not CurrentTime, or an older claim could win.
  const xcb_timestamp_t time =
      connection_.LastTime() != XCB_CURRENT_TIME ? connection_.LastTime() : ServerTime();
  xcb_set_selection_owner(Get(), window_, clipboard_, time);
  if (Owner() != window_) {
    content_ = Content::kNone;
    throw EWindowSystemError("Cannot open clipboard: another program holds it");
  }
  content_ = content;
  owned_since_ = time;
  text_value_ = std::move(text);
  picture_ = std::move(picture);
  encoded_.clear();
}

xcb_timestamp_t XcbClipboard::ServerTime() {
  interrupted_ = false;
  // Appending nothing to a property of our own changes nothing but tells the time.
  xcb_change_property(Get(), XCB_PROP_MODE_APPEND, window_, time_property_, XCB_ATOM_STRING, 8, 0,
                      nullptr);
  const XcbEventPtr event = WaitFor(
      [&](const xcb_generic_event_t& e) {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(e);
        return XcbEventType(e) == XCB_PROPERTY_NOTIFY && notify.window == window_ &&
               notify.atom == time_property_;
      },
      Clock::now() + Ms(kReplyTimeoutMs));
  if (!event) throw EWindowSystemError("Cannot open clipboard: the display does not answer");
  return reinterpret_cast<const xcb_property_notify_event_t*>(event.get())->time;
}

xcb_window_t XcbClipboard::Owner() {
  XcbReplyPtr<xcb_get_selection_owner_reply_t> reply(
      xcb_get_selection_owner_reply(Get(), xcb_get_selection_owner(Get(), clipboard_), nullptr));
  connection_.CheckAlive();
  return reply ? reply->owner : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// ---- reading ----

void XcbClipboard::BeginRead() {
  read_deadline_ = Clock::now() + Ms(kReadTimeoutMs);
  interrupted_ = false;
}

std::string XcbClipboard::Text() {
  BeginRead();
  const xcb_window_t owner = Owner();
  if (owner == window_) return content_ == Content::kText ? text_value_ : std::string();
  const std::vector<xcb_atom_t> offered = OfferedTargets(owner);
  for (const xcb_atom_t type : {utf8_, text_plain_, static_cast<xcb_atom_t>(XCB_ATOM_STRING)}) {
    if (std::find(offered.begin(), offered.end(), type) == offered.end()) continue;
    const std::optional<Property> data = Convert(type, kMaxTextBytes);
    if (!data || data->format != 8) return {};
    if (data->type == XCB_ATOM_STRING) return Latin1ToUtf8(data->bytes);
    return std::string(data->bytes.begin(), data->bytes.end());
  }
  return {};
}

bool XcbClipboard::HasPicture() {
  BeginRead();
  const xcb_window_t owner = Owner();
  if (owner == window_) return content_ == Content::kPicture;
  return PictureType(OfferedTargets(owner)).has_value();
}

std::optional<PixelImage> XcbClipboard::Picture() {
  BeginRead();
  const xcb_window_t owner = Owner();
  if (owner == window_) {
    return content_ == Content::kPicture ? std::optional(picture_) : std::nullopt;
  }
  const std::optional<xcb_atom_t> type = PictureType(OfferedTargets(owner));
  if (!type) return std::nullopt;
  const std::optional<Property> data = Convert(*type, kMaxPictureDataBytes);
  if (!data || data->format != 8) return std::nullopt;
  return DecodeClipboardPicture(picture_types_[*type], data->bytes);
}

std::optional<xcb_atom_t> XcbClipboard::PictureType(const std::vector<xcb_atom_t>& offered) {
  for (const std::string_view name : ClipboardPictureTypes()) {
    const xcb_atom_t type = connection_.Atom(std::string(name));
    if (std::find(offered.begin(), offered.end(), type) != offered.end()) return type;
  }
  return std::nullopt;
}

std::vector<xcb_atom_t> XcbClipboard::OfferedTargets(xcb_window_t owner) {
  if (owner == XCB_WINDOW_NONE) return {};
  // A list of formats fits one property; one sent piecewise (INCR) is dropped at once.
  const std::optional<Property> list = Convert(targets_, kMaxChunkBytes, false);
  if (!list) return {};
  std::optional<std::vector<std::uint32_t>> atoms = TargetsOf(*list, XCB_ATOM_ATOM);
  return atoms ? std::move(*atoms) : std::vector<xcb_atom_t>();
}

XcbEventPtr XcbClipboard::WaitFor(const Match& match, Clock::time_point deadline) {
  for (;;) {
    // Straight from the connection: what is put aside is not ours and stays in its order.
    while (XcbEventPtr event{xcb_poll_for_event(Get())}) {
      if (XcbEventType(*event) == XCB_PROPERTY_NOTIFY) {
        connection_.NoteTime(
            reinterpret_cast<const xcb_property_notify_event_t*>(event.get())->time);
      }
      if (match(*event)) return event;
      if (HandleEvent(*event)) continue;
      interrupted_ = interrupted_ || IsCloseRequest(*event);
      connection_.PutAside(std::move(event));
    }
    interrupted_ = interrupted_ || QuitSignalled();
    if (interrupted_) return nullptr;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return nullptr;
    connection_.WaitReadable(static_cast<int>(left), quit_fd_);
  }
}

bool XcbClipboard::IsCloseRequest(const xcb_generic_event_t& event) {
  if (XcbEventType(event) != XCB_CLIENT_MESSAGE) return false;
  const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
  return message.type == connection_.Atom("WM_PROTOCOLS") && message.format == 32 &&
         message.data.data32[0] == connection_.Atom("WM_DELETE_WINDOW");
}

bool XcbClipboard::QuitSignalled() const {
  if (quit_fd_ < 0) return false;
  pollfd quit{quit_fd_, POLLIN, 0};
  return poll(&quit, 1, 0) > 0 && (quit.revents & POLLIN) != 0;
}

std::optional<XcbClipboard::Property> XcbClipboard::ReadProperty(std::size_t max_bytes) {
  Property result;
  std::uint32_t offset_words = 0;
  for (;;) {
    // Deleting as it reads: the server deletes the property once the last of it has been read,
    // which is what tells an incremental sender to go on.
    XcbReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        Get(),
        xcb_get_property(Get(), 1, window_, transfer_, XCB_GET_PROPERTY_TYPE_ANY, offset_words,
                         kMaxChunkBytes / 4),
        nullptr));
    if (!reply) return std::nullopt;
    if (reply->type != XCB_ATOM_NONE && reply->format != 8 && reply->format != 16 &&
        reply->format != 32) {
      return std::nullopt;
    }
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    if (result.bytes.size() + length > max_bytes) return std::nullopt;
    const auto* value = static_cast<const std::uint8_t*>(xcb_get_property_value(reply.get()));
    result.bytes.insert(result.bytes.end(), value, value + length);
    result.type = reply->type;
    result.format = reply->format;
    if (reply->bytes_after == 0) return result;
    if (length == 0 || length % 4 != 0) return std::nullopt;
    offset_words += static_cast<std::uint32_t>(length / 4);
  }
}

std::optional<XcbClipboard::Property> XcbClipboard::Convert(xcb_atom_t target,
                                                            std::size_t max_bytes,
                                                            bool piecewise_allowed) {
  // Late answers to earlier requests, already here, are dropped before asking anew.
  WaitFor([](const xcb_generic_event_t&) { return false; }, Clock::now());
  const Clock::time_point start = Clock::now();
  const Clock::time_point transfer_end = read_deadline_;
  // CurrentTime: an owner may refuse requests older than its ownership, and the newest time we
  // saw can be older than that.
  xcb_convert_selection(Get(), window_, clipboard_, target, transfer_, XCB_CURRENT_TIME);
  const XcbEventPtr answer = WaitFor(
      [&](const xcb_generic_event_t& e) {
        const auto& notify = reinterpret_cast<const xcb_selection_notify_event_t&>(e);
        return XcbEventType(e) == XCB_SELECTION_NOTIFY && notify.requestor == window_ &&
               notify.selection == clipboard_ && notify.target == target;
      },
      std::min(transfer_end, start + Ms(kReplyTimeoutMs)));
  if (!answer ||
      reinterpret_cast<const xcb_selection_notify_event_t*>(answer.get())->property == XCB_NONE) {
    return std::nullopt;
  }
  std::optional<Property> first = ReadProperty(max_bytes);
  if (!first) return std::nullopt;
  ClipboardTransfer transfer(incr_, max_bytes, piecewise_allowed);
  ClipboardTransfer::State state = transfer.Take(std::move(*first));
  // Incremental: every chunk is announced by a new value of the property, the last one empty.
  while (state == ClipboardTransfer::State::kMore) {
    const XcbEventPtr chunk_ready = WaitFor(
        [&](const xcb_generic_event_t& e) {
          const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(e);
          return XcbEventType(e) == XCB_PROPERTY_NOTIFY && notify.window == window_ &&
                 notify.atom == transfer_ && notify.state == XCB_PROPERTY_NEW_VALUE;
        },
        std::min(transfer_end, Clock::now() + Ms(kReplyTimeoutMs)));
    if (!chunk_ready) return std::nullopt;
    std::optional<Property> chunk = ReadProperty(transfer.Room());
    if (!chunk) return std::nullopt;
    state = transfer.Take(std::move(*chunk));
  }
  if (state == ClipboardTransfer::State::kFailed) return std::nullopt;
  return transfer.Result();
}

// ---- answering ----

bool XcbClipboard::HandleEvent(const xcb_generic_event_t& event) {
  switch (XcbEventType(event)) {
    case XCB_SELECTION_REQUEST: {
      const auto& request = reinterpret_cast<const xcb_selection_request_event_t&>(event);
      if (request.owner != window_) return false;
      Answer(request);
      return true;
    }
    case XCB_SELECTION_CLEAR: {
      const auto& clear = reinterpret_cast<const xcb_selection_clear_event_t&>(event);
      if (clear.owner != window_) return false;
      // A clear older than our latest claim was for an ownership we have since taken back.
      if (clear.selection == clipboard_ && clear.time > owned_since_) {
        content_ = Content::kNone;
        text_value_.clear();
        picture_ = {};
        encoded_.clear();
      }
      return true;
    }
    case XCB_SELECTION_NOTIFY:
      // An answer that came after we stopped waiting for it.
      return reinterpret_cast<const xcb_selection_notify_event_t&>(event).requestor == window_;
    case XCB_PROPERTY_NOTIFY: {
      const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      return notify.window == window_ || SendNextChunk(notify);
    }
    default:
      return false;
  }
}

void XcbClipboard::Answer(const xcb_selection_request_event_t& request) {
  // Old clients name no property: the target's name is the one to use.
  const xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
  xcb_selection_notify_event_t reply{};
  reply.response_type = XCB_SELECTION_NOTIFY;
  reply.requestor = request.requestor;
  reply.selection = request.selection;
  reply.target = request.target;
  reply.time = request.time;
  const bool served = request.selection == clipboard_ && content_ != Content::kNone &&
                      Serve(request.requestor, property, request.target);
  reply.property = served ? property : static_cast<xcb_atom_t>(XCB_NONE);
  xcb_send_event(Get(), 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&reply));
  connection_.Flush();
}

std::vector<xcb_atom_t> XcbClipboard::Targets() const {
  std::vector<xcb_atom_t> list = {targets_, timestamp_};
  if (content_ == Content::kText) {
    list.insert(list.end(), {utf8_, text_plain_, XCB_ATOM_STRING, text_});
  } else {
    for (const auto& entry : picture_types_) list.push_back(entry.first);
  }
  return list;
}

bool XcbClipboard::Serve(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t target) {
  if (target == targets_) {
    const std::vector<xcb_atom_t> list = Targets();
    xcb_change_property(Get(), XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(list.size()), list.data());
    return true;
  }
  if (target == timestamp_) {
    xcb_change_property(Get(), XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER, 32, 1,
                        &owned_since_);
    return true;
  }
  xcb_atom_t type = XCB_ATOM_NONE;
  const std::shared_ptr<const Bytes> data = DataFor(target, &type);
  if (!data) return false;
  if (data->size() <= ChunkBytes()) {
    xcb_change_property(Get(), XCB_PROP_MODE_REPLACE, requestor, property, type, 8,
                        static_cast<std::uint32_t>(data->size()), data->data());
    return true;
  }
  const Clock::time_point now = Clock::now();
  // Stalled transfers go, and so does an earlier one to the same place.
  for (auto it = outgoing_.begin(); it != outgoing_.end();) {
    const bool replaced = it->requestor == requestor && it->property == property;
    it = replaced || now - it->last_activity > Ms(kReplyTimeoutMs) ? DropTransfer(it)
                                                                   : std::next(it);
  }
  if (outgoing_.size() >= kMaxOutgoing) DropTransfer(outgoing_.begin());
  // The requestor deleting the property asks for the next chunk.
  const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(Get(), requestor, XCB_CW_EVENT_MASK, &events);
  const auto size = static_cast<std::uint32_t>(data->size());
  xcb_change_property(Get(), XCB_PROP_MODE_REPLACE, requestor, property, incr_, 32, 1, &size);
  outgoing_.push_back({requestor, property, type, data, 0, now});
  return true;
}

std::shared_ptr<const XcbClipboard::Bytes> XcbClipboard::DataFor(xcb_atom_t target,
                                                                 xcb_atom_t* type) {
  const bool text = content_ == Content::kText && (target == utf8_ || target == text_plain_ ||
                                                   target == text_ || target == XCB_ATOM_STRING);
  const bool picture = content_ == Content::kPicture && picture_types_.contains(target);
  if (!text && !picture) return nullptr;
  // TEXT leaves the encoding to the owner.
  *type = target == text_ ? utf8_ : target;
  std::shared_ptr<const Bytes>& slot = encoded_[*type];
  if (slot) return slot;
  if (picture) {
    try {
      slot =
          std::make_shared<const Bytes>(EncodeClipboardPicture(picture_types_[target], picture_));
    } catch (const Exception&) {
      return nullptr;
    }
  } else if (*type == XCB_ATOM_STRING) {
    slot = std::make_shared<const Bytes>(Utf8ToLatin1(text_value_));
  } else {
    slot = std::make_shared<const Bytes>(text_value_.begin(), text_value_.end());
  }
  return slot;
}

std::size_t XcbClipboard::ChunkBytes() const {
  return std::clamp<std::size_t>(connection_.MaxRequestBytes() - 1024, 4096, kMaxChunkBytes);
}

bool XcbClipboard::SendNextChunk(const xcb_property_notify_event_t& notify) {
  const Clock::time_point now = Clock::now();
  auto it = std::find_if(outgoing_.begin(), outgoing_.end(), [&](const Outgoing& transfer) {
    return transfer.requestor == notify.window && transfer.property == notify.atom;
  });
  if (it == outgoing_.end()) return false;
  // Our own chunk arriving; the requestor deleting it asks for the next.
  if (notify.state != XCB_PROPERTY_DELETE) return true;
  if (now - it->last_activity > Ms(kReplyTimeoutMs)) {
    DropTransfer(it);
    return true;
  }
  // The last chunk is empty.
  const std::size_t length = std::min(ChunkBytes(), it->data->size() - it->sent);
  xcb_change_property(Get(), XCB_PROP_MODE_REPLACE, it->requestor, it->property, it->type, 8,
                      static_cast<std::uint32_t>(length), it->data->data() + it->sent);
  it->sent += length;
  it->last_activity = now;
  if (length == 0) DropTransfer(it);
  connection_.Flush();
  return true;
}

XcbClipboard::Transfers::iterator XcbClipboard::DropTransfer(Transfers::iterator transfer) {
  const xcb_window_t requestor = transfer->requestor;
  const auto next = outgoing_.erase(transfer);
  const bool more = std::any_of(outgoing_.begin(), outgoing_.end(), [&](const Outgoing& other) {
    return other.requestor == requestor;
  });
  if (!more) {
    const std::uint32_t none = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(Get(), requestor, XCB_CW_EVENT_MASK, &none);
  }
  return next;
}

}  // namespace orlit
