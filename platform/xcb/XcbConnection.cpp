#include "platform/xcb/XcbConnection.h"

#include <poll.h>
#include <xcb/bigreq.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/WindowSystem.h"

namespace orlit {

XcbConnection::XcbConnection() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    throw EWindowSystemError(
        SourceText(N_("No display to show the window on: DISPLAY is not set"), {}));
  }
  int screen_number = 0;
  connection_ = xcb_connect(display, &screen_number);
  if (xcb_connection_has_error(connection_) != 0) {
    xcb_disconnect(connection_);
    throw EWindowSystemError(SourceText(N_("Cannot open the display \"%s\""), {display}));
  }
  xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (int i = 0; i < screen_number && screens.rem > 0; ++i) xcb_screen_next(&screens);
  if (screens.rem == 0) {
    xcb_disconnect(connection_);
    throw EWindowSystemError(SourceText(N_("The display \"%s\" has no such screen"), {display}));
  }
  screen_ = screens.data;
  // Asked now, answered with the first round trip: the first large request then costs none.
  xcb_prefetch_extension_data(connection_, &xcb_big_requests_id);
}

XcbConnection::~XcbConnection() {
  put_aside_.clear();
  xcb_disconnect(connection_);
}

xcb_atom_t XcbConnection::Atom(const std::string& name) {
  if (auto it = atoms_.find(name); it != atoms_.end()) return it->second;
  InternAtoms({name.c_str()});
  return atoms_[name];
}

void XcbConnection::InternAtoms(std::initializer_list<const char*> names) {
  std::vector<xcb_intern_atom_cookie_t> cookies;
  cookies.reserve(names.size());
  for (const char* name : names) {
    cookies.push_back(
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(strlen(name)), name));
  }
  auto cookie = cookies.begin();
  for (const char* name : names) {
    XcbReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection_, *cookie++, nullptr));
    atoms_[name] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  }
}

XcbEventPtr XcbConnection::NextEvent() {
  if (!put_aside_.empty()) {
    XcbEventPtr event = std::move(put_aside_.front());
    put_aside_.pop_front();
    return event;
  }
  return XcbEventPtr(xcb_poll_for_event(connection_));
}

void XcbConnection::PutAside(XcbEventPtr event) {
  if (event) put_aside_.push_back(std::move(event));
}

bool XcbConnection::WaitReadable(int timeout_ms, int other_fd) {
  Flush();
  CheckAlive();
  pollfd ready[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {other_fd, POLLIN, 0}};
  for (;;) {
    const int result = poll(ready, other_fd >= 0 ? 2 : 1, timeout_ms);
    if (result > 0) return true;
    if (result == 0) return false;
    if (errno != EINTR) throw EWindowSystemError(SourceText(N_("Cannot wait for the display"), {}));
  }
}

void XcbConnection::CheckAlive() const {
  if (xcb_connection_has_error(connection_) != 0) {
    throw EWindowSystemError(SourceText(N_("The connection to the display was lost"), {}));
  }
}

xcb_get_property_cookie_t XcbConnection::AskResources() {
  // Large enough for any real database; the property is read in one piece.
  constexpr std::uint32_t kMaxWords = 1 << 20;
  return xcb_get_property(connection_, 0, Root(), XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0,
                          kMaxWords);
}

std::string XcbConnection::Resources(xcb_get_property_cookie_t asked) {
  XcbReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection_, asked, nullptr));
  if (!reply || reply->format != 8) return {};
  const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
  return std::string(text, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::size_t XcbConnection::MaxRequestBytes() const {
  return static_cast<std::size_t>(xcb_get_maximum_request_length(connection_)) * 4;
}

}  // namespace orlit
