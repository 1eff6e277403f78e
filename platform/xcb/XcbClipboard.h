#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PixelImage.h"
#include "platform/xcb/ClipboardTransfer.h"
#include "platform/xcb/XcbConnection.h"

namespace orlit {

// Text and pictures on the X clipboard (the CLIPBOARD selection), through an unmapped window of
// its own on the connection.
//
// Owning: text is offered as UTF8_STRING, text/plain;charset=utf-8, STRING (Latin-1) and TEXT; a
// picture as PNG and BMP; holding one drops the other. Data larger than one request goes
// incrementally (INCR); a requestor that stops taking chunks for kReplyTimeoutMs is dropped, and
// no more than kMaxOutgoing such transfers run at once.
//
// Reading: one paste or one question whether a picture is there waits at most kReadTimeoutMs in
// all, however many answers it takes (the formats offered, the data, every incremental chunk),
// and no more than kMaxPictureDataBytes of a picture or 64 MiB of text are taken; an owner that
// breaks any of these, or sends its list of formats piecewise, gives nothing. Text is read as
// UTF8_STRING, text/plain;charset=utf-8 or STRING, the first one the owner offers. While it
// waits, requests to us are still answered and every other event is put aside on the connection;
// a request to close a window, or a quit signal (`quit_fd` readable), ends the wait at once and
// is left for the event loop. The server keeps showing our windows from their own pixels.
// When the clipboard is ours, what it holds is read from memory: asking would wait for an
// answer only our own loop could give.
class XcbClipboard {
 public:
  static constexpr int kReplyTimeoutMs = 2000;
  static constexpr int kReadTimeoutMs = 2500;
  static constexpr std::size_t kMaxOutgoing = 8;

  XcbClipboard(XcbConnection& connection, int quit_fd);
  ~XcbClipboard();
  XcbClipboard(const XcbClipboard&) = delete;
  XcbClipboard& operator=(const XcbClipboard&) = delete;

  // Empty when the clipboard holds no text.
  std::string Text();
  // Throws EWindowSystemError when the server refuses us the clipboard.
  void SetText(const std::string& text);
  bool HasPicture();
  // Throws EInvalidGraphic when what the clipboard holds cannot be decoded.
  std::optional<PixelImage> Picture();
  // Throws EWindowSystemError for an empty picture or when the server refuses us the clipboard.
  void SetPicture(const PixelImage& picture);

  // Selection requests and clears for our window, late answers to it, and property changes of
  // the windows we send chunks to. True when the event was the clipboard's.
  bool HandleEvent(const xcb_generic_event_t& event);

 private:
  using Clock = std::chrono::steady_clock;
  using Bytes = std::vector<std::uint8_t>;
  enum class Content { kNone, kText, kPicture };

  // One property read whole.
  using Property = ClipboardProperty;
  // One incremental transfer to another program.
  struct Outgoing {
    xcb_window_t requestor = XCB_WINDOW_NONE;
    xcb_atom_t property = XCB_ATOM_NONE;
    xcb_atom_t type = XCB_ATOM_NONE;
    std::shared_ptr<const Bytes> data;
    std::size_t sent = 0;
    Clock::time_point last_activity;
  };

  xcb_connection_t* Get() const { return connection_.Get(); }
  xcb_window_t Owner();
  void Own(Content content, std::string text, PixelImage picture);
  xcb_timestamp_t ServerTime();

  using Match = std::function<bool(const xcb_generic_event_t&)>;
  // Handles events until one `match` accepts (returned) or `deadline` passes, or the user asks
  // to close or quit (null).
  XcbEventPtr WaitFor(const Match& match, Clock::time_point deadline);
  bool IsCloseRequest(const xcb_generic_event_t& event);
  bool QuitSignalled() const;
  // Starts the time of one read.
  void BeginRead();
  std::optional<Property> ReadProperty(std::size_t max_bytes);
  // Asks the owner for `target`; nothing when it does not answer in time or sends it piecewise
  // where that is not allowed.
  std::optional<Property> Convert(xcb_atom_t target, std::size_t max_bytes,
                                  bool piecewise_allowed = true);
  // What `owner` offers, when it is another program.
  std::vector<xcb_atom_t> OfferedTargets(xcb_window_t owner);
  // The first of our picture formats in `offered`.
  std::optional<xcb_atom_t> PictureType(const std::vector<xcb_atom_t>& offered);

  void Answer(const xcb_selection_request_event_t& request);
  bool Serve(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t target);
  std::vector<xcb_atom_t> Targets() const;
  // What we hold as `target`; null when we do not offer it.
  std::shared_ptr<const Bytes> DataFor(xcb_atom_t target, xcb_atom_t* type);
  std::size_t ChunkBytes() const;
  // A property change of a requestor: the next chunk when it took the last. False when no
  // transfer of ours goes there.
  bool SendNextChunk(const xcb_property_notify_event_t& notify);
  using Transfers = std::deque<Outgoing>;
  Transfers::iterator DropTransfer(Transfers::iterator transfer);

  XcbConnection& connection_;
  int quit_fd_;
  Clock::time_point read_deadline_;
  bool interrupted_ = false;  // the current read gave up for a close or quit
  xcb_window_t window_ = XCB_WINDOW_NONE;
  xcb_atom_t clipboard_, targets_, timestamp_, incr_, utf8_, text_, text_plain_, transfer_,
      time_property_;
  std::map<xcb_atom_t, std::string> picture_types_;

  Content content_ = Content::kNone;
  xcb_timestamp_t owned_since_ = XCB_CURRENT_TIME;
  std::string text_value_;
  PixelImage picture_;
  std::map<xcb_atom_t, std::shared_ptr<const Bytes>> encoded_;
  Transfers outgoing_;
};

}  // namespace orlit
