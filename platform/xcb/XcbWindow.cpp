#include "platform/xcb/XcbWindow.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/DeviceRect.h"
#include "platform/DisplayScale.h"
#include "platform/PixelGrid.h"
#include "platform/xcb/XcbWindowSystem.h"

namespace orlit {

namespace {

constexpr std::uint32_t kEventMask =
    XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_BUTTON_PRESS |
    XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
    XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
    XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_PROPERTY_CHANGE;

// The ICCCM window state of a minimised window.
constexpr std::uint32_t kIconicState = 3;

// The Motif hints every window manager reads for decorations: flags "decorations given", none.
constexpr std::uint32_t kNoDecorations[5] = {2, 0, 0, 0, 0};

}  // namespace

XcbWindow::XcbWindow(XcbWindowSystem* system, const WindowParams& params)
    : system_(system), size_(CheckedWindowSize(params.size)) {
  XcbConnection& connection = system_->Connection();
  xcb_connection_t* c = connection.Get();
  const double scale = system_->Scale();
  if (params.position) {
    position_ = *params.position;
  } else {
    const TRect desktop = system_->DesktopRect();
    position_ = {desktop.Left + (desktop.Width() - size_.cx) / 2,
                 desktop.Top + (desktop.Height() - size_.cy) / 2};
  }
  handle_ = xcb_generate_id(c);
  // No background: the server leaves the old pixels until the frame comes, instead of a flash.
  const std::uint32_t values[] = {XCB_BACK_PIXMAP_NONE, kEventMask};
  xcb_create_window(c, XCB_COPY_FROM_PARENT, handle_, connection.Root(),
                    static_cast<std::int16_t>(DeviceEdge(position_.X, scale)),
                    static_cast<std::int16_t>(DeviceEdge(position_.Y, scale)),
                    static_cast<std::uint16_t>(DeviceEdge(size_.cx, scale)),
                    static_cast<std::uint16_t>(DeviceEdge(size_.cy, scale)), 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, connection.Screen().root_visual,
                    XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK, values);

  const xcb_atom_t protocols[] = {connection.Atom("WM_DELETE_WINDOW")};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, connection.Atom("WM_PROTOCOLS"),
                      XCB_ATOM_ATOM, 32, 1, protocols);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, connection.Atom("_MOTIF_WM_HINTS"),
                      connection.Atom("_MOTIF_WM_HINTS"), 32, 5, kNoDecorations);
  // Instance and class, as the launcher entry's StartupWMClass names them.
  static constexpr char kClass[] = "orlit_cfs\0orlit_cfs";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof kClass, kClass);
  const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, connection.Atom("_NET_WM_PID"),
                      XCB_ATOM_CARDINAL, 32, 1, &pid);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, XCB_ATOM_WM_CLIENT_MACHINE,
                        XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(strlen(host)), host);
  }
  // WM_HINTS: input given, the window takes the keyboard focus.
  const std::uint32_t hints[9] = {1, 1, 0, 0, 0, 0, 0, 0, 0};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                      9, hints);
  SetSizeHints();
  SetTitle(params.title);
  // A menu stays the plain frameless window it always was here.
  if (params.owner != 0 && params.kind == WindowKind::kNormal) MarkAsDialogOf(params.owner);
  system_->Register(this);
}

// Read by the window manager when the window is mapped: it keeps the window above its owner and
// hands the focus to it when the owner is clicked.
void XcbWindow::MarkAsDialogOf(WindowId owner) {
  XcbConnection& connection = system_->Connection();
  xcb_connection_t* c = connection.Get();
  const xcb_window_t owner_window = owner;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW,
                      32, 1, &owner_window);
  const xcb_atom_t type = connection.Atom("_NET_WM_WINDOW_TYPE_DIALOG");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, connection.Atom("_NET_WM_WINDOW_TYPE"),
                      XCB_ATOM_ATOM, 32, 1, &type);
  const xcb_atom_t modal = connection.Atom("_NET_WM_STATE_MODAL");
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, handle_, connection.Atom("_NET_WM_STATE"),
                      XCB_ATOM_ATOM, 32, 1, &modal);
}

void XcbWindow::NoteUserTime(xcb_timestamp_t time) {
  XcbConnection& connection = system_->Connection();
  const std::uint32_t value = time;
  xcb_change_property(connection.Get(), XCB_PROP_MODE_REPLACE, handle_,
                      connection.Atom("_NET_WM_USER_TIME"), XCB_ATOM_CARDINAL, 32, 1, &value);
}

XcbWindow::~XcbWindow() {
  system_->Unregister(handle_);
  surface_.reset();
  xcb_destroy_window(system_->Connection().Get(), handle_);
  system_->Connection().Flush();
}

void XcbWindow::Show() {
  xcb_connection_t* c = system_->Connection().Get();
  xcb_map_window(c, handle_);
  const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
  xcb_configure_window(c, handle_, XCB_CONFIG_WINDOW_STACK_MODE, above);
  shown_ = true;
  focus_on_map_ = true;
  if (mapped_) Focus();
  system_->Connection().Flush();
}

void XcbWindow::Hide() {
  XcbConnection& connection = system_->Connection();
  xcb_unmap_window(connection.Get(), handle_);
  // A synthetic unmap withdraws an iconic window too, as ICCCM asks.
  xcb_unmap_notify_event_t unmap{};
  unmap.response_type = XCB_UNMAP_NOTIFY;
  unmap.event = connection.Root();
  unmap.window = handle_;
  xcb_send_event(connection.Get(), 0, connection.Root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&unmap));
  shown_ = false;
  mapped_ = false;
  focus_on_map_ = false;
  connection.Flush();
}

void XcbWindow::Minimize() {
  SendToWindowManager(system_->Connection().Atom("WM_CHANGE_STATE"), kIconicState);
}

void XcbWindow::Restore() {
  if (!shown_) return;
  xcb_map_window(system_->Connection().Get(), handle_);
  Activate();
}

void XcbWindow::Raise() {
  const std::uint32_t above[] = {XCB_STACK_MODE_ABOVE};
  xcb_configure_window(system_->Connection().Get(), handle_, XCB_CONFIG_WINDOW_STACK_MODE, above);
  Activate();
}

void XcbWindow::Focus() {
  if (!mapped_) {
    focus_on_map_ = true;
    return;
  }
  XcbConnection& connection = system_->Connection();
  xcb_set_input_focus(connection.Get(), XCB_INPUT_FOCUS_PARENT, handle_, connection.LastTime());
  connection.Flush();
}

void XcbWindow::Activate() {
  // Source 1: an ordinary application asks; the manager may raise and focus the window.
  SendToWindowManager(system_->Connection().Atom("_NET_ACTIVE_WINDOW"), 1,
                      system_->Connection().LastTime());
}

void XcbWindow::SendToWindowManager(xcb_atom_t type, std::uint32_t data0, std::uint32_t data1) {
  XcbConnection& connection = system_->Connection();
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = handle_;
  message.type = type;
  message.data.data32[0] = data0;
  message.data.data32[1] = data1;
  xcb_send_event(connection.Get(), 0, connection.Root(),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&message));
  connection.Flush();
}

void XcbWindow::Move(TPoint top_left) {
  const double scale = system_->Scale();
  position_ = top_left;
  const std::uint32_t place[] = {static_cast<std::uint32_t>(DeviceEdge(top_left.X, scale)),
                                 static_cast<std::uint32_t>(DeviceEdge(top_left.Y, scale))};
  xcb_configure_window(system_->Connection().Get(), handle_,
                       XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
  system_->Connection().Flush();
}

void XcbWindow::Resize(TSize size) {
  size_ = CheckedWindowSize(size);
  SetSizeHints();
  const double scale = system_->Scale();
  const std::uint32_t extent[] = {static_cast<std::uint32_t>(DeviceEdge(size_.cx, scale)),
                                  static_cast<std::uint32_t>(DeviceEdge(size_.cy, scale))};
  xcb_configure_window(system_->Connection().Get(), handle_,
                       XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, extent);
  system_->Connection().Flush();
}

// WM_NORMAL_HINTS: the program places the window (so the manager keeps the centring) and the
// size is fixed.
void XcbWindow::SetSizeHints() {
  const double scale = system_->Scale();
  std::uint32_t size_hints[18] = {};
  size_hints[0] = 4 | 16 | 32;  // PPosition, PMinSize, PMaxSize
  size_hints[5] = size_hints[7] = static_cast<std::uint32_t>(DeviceEdge(size_.cx, scale));
  size_hints[6] = size_hints[8] = static_cast<std::uint32_t>(DeviceEdge(size_.cy, scale));
  xcb_change_property(system_->Connection().Get(), XCB_PROP_MODE_REPLACE, handle_,
                      XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, size_hints);
}

void XcbWindow::SetTitle(const std::string& title) {
  XcbConnection& connection = system_->Connection();
  const auto length = static_cast<std::uint32_t>(title.size());
  const xcb_atom_t utf8 = connection.Atom("UTF8_STRING");
  xcb_change_property(connection.Get(), XCB_PROP_MODE_REPLACE, handle_,
                      connection.Atom("_NET_WM_NAME"), utf8, 8, length, title.data());
  xcb_change_property(connection.Get(), XCB_PROP_MODE_REPLACE, handle_, XCB_ATOM_WM_NAME, utf8, 8,
                      length, title.data());
  connection.Flush();
}

void XcbWindow::SetIcon(const PixelImage& icon) {
  if (icon.IsEmpty()) return;
  std::vector<std::uint32_t> data;
  data.reserve(2 + static_cast<std::size_t>(icon.Width()) * icon.Height());
  data.push_back(static_cast<std::uint32_t>(icon.Width()));
  data.push_back(static_cast<std::uint32_t>(icon.Height()));
  const bool transparent = icon.Transparent();
  const std::uint32_t see_through = icon.TransparentColor();
  for (int y = 0; y < icon.Height(); ++y) {
    for (std::uint32_t rgb : icon.Row(y)) {
      data.push_back((transparent && rgb == see_through) ? 0u : (0xFF000000u | rgb));
    }
  }
  XcbConnection& connection = system_->Connection();
  if (data.size() * 4 + 64 > connection.MaxRequestBytes()) return;
  xcb_change_property(connection.Get(), XCB_PROP_MODE_REPLACE, handle_,
                      connection.Atom("_NET_WM_ICON"), XCB_ATOM_CARDINAL, 32,
                      static_cast<std::uint32_t>(data.size()), data.data());
  connection.Flush();
}

void XcbWindow::Present(const FrameView& frame, const TRect& dirty) {
  if (!frame.IsValid()) return;
  const double scale = system_->Scale();
  const TRect logical = dirty.Intersect(TRect{0, 0, size_.cx, size_.cy});
  const TRect area = DeviceRect(logical, scale).Intersect(TRect{0, 0, frame.width, frame.height});
  if (logical.IsEmpty() || area.IsEmpty()) return;
  const TSize physical{static_cast<int>(DeviceEdge(size_.cx, scale)),
                       static_cast<int>(DeviceEdge(size_.cy, scale))};
  if (!surface_ || surface_->Size() != physical) {
    surface_ = std::make_unique<XcbSurface>(system_->Connection(), handle_, physical);
  }
  surface_->Show(frame, area);
}

void XcbWindow::RevealPresented() {
  if (surface_) surface_->Reveal();
}

void XcbWindow::SetEnabled(bool enabled) { system_->events_.SetEnabled(handle_, enabled); }

bool XcbWindow::Enabled() const { return system_->events_.Enabled(handle_); }

void XcbWindow::SetCursor(CursorShape shape) {
  if (shape == cursor_) return;
  cursor_ = shape;
  if (cursor_applied_) {
    cursor_applied_ = false;
    ApplyCursor();
  }
}

void XcbWindow::ApplyCursor() {
  if (cursor_applied_) return;
  // Before the first frame is out the parent's cursor shows: loading the theme's (three
  // libraries, its files and two round trips) would only hold the window's first picture back.
  if (!surface_) {
    cursor_after_first_frame_ = true;
    return;
  }
  cursor_after_first_frame_ = false;
  cursor_applied_ = true;
  const std::uint32_t cursor[] = {system_->cursors_.Get(cursor_)};
  xcb_change_window_attributes(system_->Connection().Get(), handle_, XCB_CW_CURSOR, cursor);
  system_->Connection().Flush();
}

void XcbWindow::ApplyCursorHeldBack() {
  if (cursor_after_first_frame_ && surface_) ApplyCursor();
}

bool XcbWindow::NoteMapped() {
  mapped_ = true;
  if (focus_on_map_) {
    focus_on_map_ = false;
    Focus();
  }
  return NoteMinimized(false);
}

bool XcbWindow::NoteFocus(bool focused) {
  if (focused == focused_) return false;
  focused_ = focused;
  return true;
}

bool XcbWindow::NoteConfigure(const xcb_configure_notify_event_t& configure) {
  const double scale = system_->Scale();
  size_ = {std::max(1, static_cast<int>(std::lround(configure.width / scale))),
           std::max(1, static_cast<int>(std::lround(configure.height / scale)))};
  TPoint root{configure.x, configure.y};
  // A manager's own notice gives screen coordinates; the server's gives them in the parent,
  // which is a frame of the manager's after reparenting.
  if ((configure.response_type & 0x80) == 0 && reparented_) {
    XcbConnection& connection = system_->Connection();
    XcbReplyPtr<xcb_translate_coordinates_reply_t> translated(xcb_translate_coordinates_reply(
        connection.Get(),
        xcb_translate_coordinates(connection.Get(), handle_, connection.Root(), 0, 0), nullptr));
    if (!translated) return false;
    root = {translated->dst_x, translated->dst_y};
  }
  const TPoint logical = ToLogical(root, scale);
  if (logical == position_) return false;
  position_ = logical;
  return true;
}

bool XcbWindow::NoteWindowManagerState() {
  xcb_connection_t* c = system_->Connection().Get();
  const xcb_atom_t wm_state = system_->Connection().Atom("WM_STATE");
  XcbReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, handle_, wm_state, XCB_ATOM_ANY, 0, 1), nullptr));
  if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 4) {
    return false;
  }
  const std::uint32_t state =
      *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return NoteMinimized(state == kIconicState);
}

bool XcbWindow::NoteMinimized(bool minimized) {
  if (minimized == minimized_) return false;
  minimized_ = minimized;
  return true;
}

}  // namespace orlit
