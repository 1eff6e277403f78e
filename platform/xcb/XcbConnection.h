#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

namespace orlit {

struct XcbFree {
  void operator()(void* p) const { std::free(p); }
};
// Events and replies come from xcb in malloc'ed memory the receiver frees.
using XcbEventPtr = std::unique_ptr<xcb_generic_event_t, XcbFree>;
template <class Reply>
using XcbReplyPtr = std::unique_ptr<Reply, XcbFree>;

// The event's type without the bit that marks events sent by another client.
inline std::uint8_t XcbEventType(const xcb_generic_event_t& event) {
  return event.response_type & 0x7F;
}

// One connection to the X server named by DISPLAY, with its default screen.
//
// Whoever waits for an answer from another client (a selection owner, say) reads the connection
// itself; events meant for others that arrive meanwhile are put aside and come out of NextEvent
// first, in their order.
class XcbConnection {
 public:
  // Throws EWindowSystemError when DISPLAY is unset or the server cannot be reached.
  XcbConnection();
  ~XcbConnection();
  XcbConnection(const XcbConnection&) = delete;
  XcbConnection& operator=(const XcbConnection&) = delete;

  xcb_connection_t* Get() const { return connection_; }
  const xcb_screen_t& Screen() const { return *screen_; }
  // For the few calls that take the screen by a non-const pointer without changing it.
  xcb_screen_t* ScreenPointer() const { return screen_; }
  xcb_window_t Root() const { return screen_->root; }

  // The atom of `name`, interned on first use (one round trip) and remembered.
  xcb_atom_t Atom(const std::string& name);
  // Interns several names with a single round trip.
  void InternAtoms(std::initializer_list<const char*> names);

  // The next event put aside or already received, without waiting; null when there is none.
  XcbEventPtr NextEvent();
  void PutAside(XcbEventPtr event);
  // Flushes, then waits until the server sends something, `other_fd` (unless -1) has something
  // to read, or `timeout_ms` passes (-1: no limit). False on time-out. Throws EWindowSystemError
  // when the connection is lost.
  bool WaitReadable(int timeout_ms, int other_fd = -1);
  void Flush() { xcb_flush(connection_); }
  // Throws EWindowSystemError when the connection has broken.
  void CheckAlive() const;

  // The newest server time seen in an event: what selection requests and focus changes name.
  xcb_timestamp_t LastTime() const { return last_time_; }
  void NoteTime(xcb_timestamp_t time) {
    if (time != XCB_CURRENT_TIME) last_time_ = time;
  }

  // The X resource database of the screen (the root window's RESOURCE_MANAGER), asked for by
  // AskResources and read by Resources once answered; empty if none.
  xcb_get_property_cookie_t AskResources();
  std::string Resources(xcb_get_property_cookie_t asked);
  // The most bytes one request may carry.
  std::size_t MaxRequestBytes() const;

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_screen_t* screen_ = nullptr;
  std::map<std::string, xcb_atom_t, std::less<>> atoms_;
  std::deque<XcbEventPtr> put_aside_;
  xcb_timestamp_t last_time_ = XCB_CURRENT_TIME;
};

}  // namespace orlit
