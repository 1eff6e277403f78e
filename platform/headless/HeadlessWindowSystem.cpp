#include "platform/headless/HeadlessWindowSystem.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "convert/Utf8.h"
#include "platform/ClipboardPicture.h"
#include "platform/LoopWatches.h"
#include "platform/PeerWait.h"
#include "platform/PictureFile.h"
#include "platform/PixelGrid.h"

namespace orlit {

namespace {

constexpr std::string_view kTextMimeType = "text/plain;charset=utf-8";

struct UsKey {
  int key;
  char32_t plain;
  char32_t shifted;
};

// The keys of a US keyboard that type a character (letters aside). Main-block keys come first,
// so typing a digit presses the digit key, not the keypad.
constexpr UsKey kUsKeys[] = {
    {VK_SPACE, U' ', U' '},      {'0', U'0', U')'},          {'1', U'1', U'!'},
    {'2', U'2', U'@'},           {'3', U'3', U'#'},          {'4', U'4', U'$'},
    {'5', U'5', U'%'},           {'6', U'6', U'^'},          {'7', U'7', U'&'},
    {'8', U'8', U'*'},           {'9', U'9', U'('},          {VK_OEM_1, U';', U':'},
    {VK_OEM_PLUS, U'=', U'+'},   {VK_OEM_COMMA, U',', U'<'}, {VK_OEM_MINUS, U'-', U'_'},
    {VK_OEM_PERIOD, U'.', U'>'}, {VK_OEM_2, U'/', U'?'},     {VK_OEM_3, U'`', U'~'},
    {VK_OEM_4, U'[', U'{'},      {VK_OEM_5, U'\\', U'|'},    {VK_OEM_6, U']', U'}'},
    {VK_OEM_7, U'\'', U'"'},     {VK_NUMPAD0, U'0', U'0'},   {VK_NUMPAD1, U'1', U'1'},
    {VK_NUMPAD2, U'2', U'2'},    {VK_NUMPAD3, U'3', U'3'},   {VK_NUMPAD4, U'4', U'4'},
    {VK_NUMPAD5, U'5', U'5'},    {VK_NUMPAD6, U'6', U'6'},   {VK_NUMPAD7, U'7', U'7'},
    {VK_NUMPAD8, U'8', U'8'},    {VK_NUMPAD9, U'9', U'9'},   {VK_MULTIPLY, U'*', U'*'},
    {VK_ADD, U'+', U'+'},        {VK_SUBTRACT, U'-', U'-'},  {VK_DECIMAL, U'.', U'.'},
    {VK_DIVIDE, U'/', U'/'},
};

char32_t UsCharacter(int key, ShiftState shift) {
  if (!TextInputAllowed(shift) || (shift & kShiftStateCtrl)) return 0;
  const bool shifted = (shift & kShiftStateShift) != 0;
  if (key >= 'A' && key <= 'Z') return static_cast<char32_t>(shifted ? key : key - 'A' + 'a');
  for (const UsKey& k : kUsKeys) {
    if (k.key == key) return shifted ? k.shifted : k.plain;
  }
  return 0;
}

// The key and shift that type `c` on a US keyboard; key 0 when there is none.
std::pair<int, ShiftState> UsKeyFor(char32_t c) {
  if (c >= U'a' && c <= U'z') return {static_cast<int>(c - U'a' + 'A'), 0};
  if (c >= U'A' && c <= U'Z') return {static_cast<int>(c), kShiftStateShift};
  switch (c) {
    case U'\r':
    case U'\n':
      return {VK_RETURN, 0};
    case U'\t':
      return {VK_TAB, 0};
    case U'\b':
      return {VK_BACK, 0};
    case U'\x1b':
      return {VK_ESCAPE, 0};
    default:
      break;
  }
  for (const UsKey& k : kUsKeys) {
    if (k.plain == c) return {k.key, 0};
    if (k.shifted == c) return {k.key, kShiftStateShift};
  }
  return {0, 0};
}

void CopyRect(const FrameView& frame, const TRect& rect, PixelImage& target) {
  for (int y = rect.Top; y < rect.Bottom; ++y) {
    auto row = target.Row(y);
    for (int x = rect.Left; x < rect.Right; ++x) row[x] = frame.Pixel(x, y) & 0xFFFFFFu;
  }
}

// Looks at the watched descriptors without waiting and runs what is ready, and what is due on the
// virtual clock.
void RunReadyWatches(std::uint64_t now_ms) {
  LoopWatches& watches = LoopWatches::Instance();
  if (watches.Empty()) return;
  std::vector<pollfd> ready;
  const std::vector<LoopWatches::WatchId> watched = watches.AppendPollFds(&ready);
  if (!ready.empty() && poll(ready.data(), ready.size(), 0) < 0) return;
  watches.Run(ready.data(), watched, now_ms);
}

}  // namespace

// The NativeWindow a program holds; every operation goes to the system's record of the window.
class HeadlessWindowSystem::WindowHandle final : public NativeWindow {
 public:
  WindowHandle(HeadlessWindowSystem* system, WindowId id) : system_(system), id_(id) {}
  ~WindowHandle() override { system_->DestroyWindow(id_); }

  WindowId Id() const override { return id_; }
  void Show() override { system_->ShowWindow(id_); }
  void Hide() override { system_->HideWindow(id_); }
  void Minimize() override { system_->MinimizeWindow(id_); }
  void Restore() override { system_->RestoreWindow(id_); }
  void Raise() override { system_->BringToTop(id_); }
  void Focus() override { system_->FocusWindow(id_); }
  void Move(TPoint top_left) override { system_->MoveWindow(id_, top_left); }
  void Resize(TSize size) override { system_->ResizeWindow(id_, size); }
  void SetTitle(const std::string& title) override { State().title = title; }
  void SetIcon(const PixelImage& icon) override { State().icon = icon; }
  bool Visible() const override { return State().visible; }
  bool Minimized() const override { return State().minimized; }
  bool Focused() const override { return system_->focused_ == id_; }
  TPoint Position() const override { return {State().bounds.Left, State().bounds.Top}; }
  TSize Size() const override { return {State().bounds.Width(), State().bounds.Height()}; }
  void SetEnabled(bool enabled) override { system_->events_.SetEnabled(id_, enabled); }
  bool Enabled() const override { return system_->events_.Enabled(id_); }
  void Present(const FrameView& frame, const TRect& dirty) override {
    system_->PresentWindow(id_, frame, dirty);
  }
  void SetCursor(CursorShape shape) override { State().cursor = shape; }
  CursorShape Cursor() const override { return State().cursor; }

 private:
  WindowState& State() const { return *system_->Find(id_); }

  HeadlessWindowSystem* system_;
  WindowId id_;
};

HeadlessWindowSystem::HeadlessWindowSystem(TSize desktop_size, double scale)
    : desktop_size_(CheckedWindowSize(desktop_size)), scale_(scale) {}

HeadlessWindowSystem::~HeadlessWindowSystem() = default;

std::unique_ptr<NativeWindow> HeadlessWindowSystem::CreateWindow(const WindowParams& params) {
  const TSize size = CheckedWindowSize(params.size);
  const TPoint position = params.position.value_or(
      TPoint{(desktop_size_.cx - size.cx) / 2, (desktop_size_.cy - size.cy) / 2});
  const WindowId id = next_window_++;
  WindowState& state = windows_[id];
  state.id = id;
  state.title = params.title;
  state.owner = params.owner;
  state.bounds = TRect::FromBounds(position.X, position.Y, size.cx, size.cy);
  state.pixels = PixelImage(size.cx, size.cy);
  z_order_.push_back(id);
  events_.AddWindow(id);
  return std::make_unique<WindowHandle>(this, id);
}

TRect HeadlessWindowSystem::DesktopRect() const {
  return TRect::FromBounds(0, 0, desktop_size_.cx, desktop_size_.cy);
}

std::vector<TRect> HeadlessWindowSystem::MonitorRects() const { return {DesktopRect()}; }

void HeadlessWindowSystem::SetCapture(WindowId window) {
  capture_ = (window != 0 && Find(window) != nullptr) ? window : 0;
  if (capture_ == 0) UpdateHover();
}

bool HeadlessWindowSystem::PollEvent(Event* event) {
  if (events_.Empty()) RunReadyWatches(clock_ms_);
  return events_.Take(event);
}

PeerWaitResult HeadlessWindowSystem::WaitForPeer(int fd, int timeout_ms) {
  if (events_.QuitOrCloseQueued()) return PeerWaitResult::kInterrupted;
  return PollForPeer(fd, timeout_ms);
}

bool HeadlessWindowSystem::WaitEvent(Event* event) {
  if (PollEvent(event)) return true;
  if (!idle_handler_ || in_idle_handler_) return false;
  in_idle_handler_ = true;
  try {
    idle_handler_();
  } catch (...) {
    in_idle_handler_ = false;
    throw;
  }
  in_idle_handler_ = false;
  return PollEvent(event);
}

void HeadlessWindowSystem::PostQuit(int exit_code) { events_.PushQuit(exit_code, clock_ms_); }

TimerId HeadlessWindowSystem::SetTimer(std::uint32_t interval_ms) {
  return events_.SetTimer(interval_ms, clock_ms_);
}

void HeadlessWindowSystem::KillTimer(TimerId timer) { events_.KillTimer(timer); }

void HeadlessWindowSystem::AdvanceTime(std::uint64_t ms) {
  const std::uint64_t target = clock_ms_ + ms;
  for (auto due = events_.NextTimerDue(); due && *due <= target; due = events_.NextTimerDue()) {
    clock_ms_ = std::max(clock_ms_, *due);
    events_.FireDueTimers(clock_ms_);
  }
  clock_ms_ = target;
}

void HeadlessWindowSystem::KeyDown(int key, bool repeat) {
  keys_held_ |= ShiftStateOfModifierKey(key);
  if (focused_ == 0) return;
  Event event;
  event.type = EventType::kKeyDown;
  event.window = focused_;
  event.key = key;
  event.repeat = repeat;
  event.shift = CurrentShift();
  Queue(event);
}

void HeadlessWindowSystem::KeyUp(int key) {
  keys_held_ &= static_cast<ShiftState>(~ShiftStateOfModifierKey(key));
  if (focused_ == 0) return;
  Event event;
  event.type = EventType::kKeyUp;
  event.window = focused_;
  event.key = key;
  event.shift = CurrentShift();
  Queue(event);
}

void HeadlessWindowSystem::TypeCharacter(char32_t character) {
  if (focused_ == 0) return;
  Event event;
  event.type = EventType::kCharacter;
  event.window = focused_;
  event.character = character;
  event.shift = CurrentShift();
  Queue(event);
}

void HeadlessWindowSystem::PressKey(int key, ShiftState shift) {
  constexpr std::pair<ShiftState, int> kModifiers[] = {
      {kShiftStateCtrl, VK_CONTROL}, {kShiftStateAlt, VK_MENU}, {kShiftStateShift, VK_SHIFT}};
  std::vector<int> pressed;
  for (const auto& [bit, modifier] : kModifiers) {
    if ((shift & bit) && !(keys_held_ & bit)) {
      KeyDown(modifier);
      pressed.push_back(modifier);
    }
  }
  KeyDown(key);
  const ShiftState now = CurrentShift();
  char32_t character = ControlCharacterForKey(key, now);
  if (character == 0) character = UsCharacter(key, now);
  if (character != 0) TypeCharacter(character);
  KeyUp(key);
  for (auto it = pressed.rbegin(); it != pressed.rend(); ++it) KeyUp(*it);
}

void HeadlessWindowSystem::TypeText(std::string_view utf8) {
  for (char32_t c : ToCodePoints(utf8)) {
    const auto [key, shift] = UsKeyFor(c);
    if (key != 0) {
      PressKey(key, shift);
    } else {
      TypeCharacter(c);
    }
  }
}

void HeadlessWindowSystem::MoveMouse(TPoint screen) {
  cursor_ = screen;
  UpdateHover(false);
  const WindowId target = MouseTarget();
  if (target != 0) QueueMouseEvent(EventType::kMouseMove, target, MouseButton::kLeft, 0);
}

void HeadlessWindowSystem::MouseDown(MouseButton button) {
  WindowId target = MouseTarget();
  if (target != 0 && target != focused_) {
    const WindowState* state = Find(target);
    if (events_.Enabled(target) && !state->minimized && state->visible) {
      BringToTop(target);
      SetFocus(target);
    }
  }
  buttons_held_ |= ShiftStateOfButton(button);
  if (press_window_ == 0) press_window_ = target;
  const bool double_click = events_.CountPress(button, cursor_, clock_ms_);
  if (target == 0) return;
  QueueMouseEvent(double_click ? EventType::kMouseDoubleClick : EventType::kMouseDown, target,
                  button, 0, double_click ? kShiftStateDouble : 0);
}

void HeadlessWindowSystem::MouseUp(MouseButton button) {
  const WindowId target = MouseTarget();
  buttons_held_ &= static_cast<ShiftState>(~ShiftStateOfButton(button));
  if (target != 0) QueueMouseEvent(EventType::kMouseUp, target, button, 0);
  if (buttons_held_ == 0) {
    press_window_ = 0;
    UpdateHover();
  }
}

void HeadlessWindowSystem::Wheel(int notches) {
  const WindowId target = MouseTarget();
  if (target != 0)
    QueueMouseEvent(EventType::kMouseWheel, target, MouseButton::kLeft, notches * 120);
}

void HeadlessWindowSystem::Click(TPoint screen, MouseButton button) {
  MoveMouse(screen);
  MouseDown(button);
  MouseUp(button);
}

void HeadlessWindowSystem::DoubleClick(TPoint screen, MouseButton button) {
  Click(screen, button);
  Click(screen, button);
}

TPoint HeadlessWindowSystem::ScreenPoint(WindowId window, TPoint client) const {
  const WindowState* state = Window(window);
  if (state == nullptr) return client;
  return {state->bounds.Left + client.X, state->bounds.Top + client.Y};
}

void HeadlessWindowSystem::RequestClose(WindowId window) {
  if (Find(window) != nullptr) QueueWindowEvent(EventType::kCloseRequest, window);
}

void HeadlessWindowSystem::ChangeSettings() { QueueWindowEvent(EventType::kSettingsChanged, 0); }

void HeadlessWindowSystem::MinimizeFromTaskbar(WindowId window) { MinimizeWindow(window); }

void HeadlessWindowSystem::RestoreFromTaskbar(WindowId window) { RestoreWindow(window); }

const HeadlessWindowSystem::WindowState* HeadlessWindowSystem::Window(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

WindowId HeadlessWindowSystem::WindowAt(TPoint screen) const {
  for (auto it = z_order_.rbegin(); it != z_order_.rend(); ++it) {
    const WindowState& state = windows_.at(*it);
    if (state.visible && !state.minimized && state.bounds.Contains(screen)) return *it;
  }
  return 0;
}

CursorShape HeadlessWindowSystem::CurrentCursor() const {
  const WindowState* state = Window(MouseTarget());
  return state == nullptr ? CursorShape::kArrow : state->cursor;
}

PixelImage HeadlessWindowSystem::Screen() const {
  PixelImage screen(desktop_size_.cx, desktop_size_.cy, kDesktopColor);
  for (WindowId id : z_order_) {
    const WindowState& state = windows_.at(id);
    if (!state.visible || state.minimized) continue;
    const TRect visible = state.bounds.Intersect(DesktopRect());
    for (int y = visible.Top; y < visible.Bottom; ++y) {
      auto target = screen.Row(y);
      auto source = state.pixels.Row(y - state.bounds.Top);
      for (int x = visible.Left; x < visible.Right; ++x) {
        target[static_cast<std::size_t>(x)] =
            source[static_cast<std::size_t>(x - state.bounds.Left)];
      }
    }
  }
  return screen;
}

void HeadlessWindowSystem::WriteScreenshot(const std::string& png_path) const {
  WritePngFile(png_path, Screen());
}

void HeadlessWindowSystem::WriteWindowScreenshot(WindowId window,
                                                 const std::string& png_path) const {
  const WindowState* state = Window(window);
  if (state == nullptr) throw EWindowSystemError("No window " + std::to_string(window));
  WritePngFile(png_path, state->pixels);
}

HeadlessWindowSystem::WindowState* HeadlessWindowSystem::Find(WindowId window) {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

ShiftState HeadlessWindowSystem::CurrentShift() const { return keys_held_ | buttons_held_; }

WindowId HeadlessWindowSystem::MouseTarget() const {
  if (capture_ != 0) return capture_;
  if (press_window_ != 0 && Window(press_window_) != nullptr) return press_window_;
  return WindowAt(cursor_);
}

void HeadlessWindowSystem::UpdateHover(bool report_enter) {
  // While the mouse belongs to one window, leaving it is not reported until it is let go.
  if (capture_ != 0 || buttons_held_ != 0) return;
  const WindowId under = WindowAt(cursor_);
  if (under == hover_) return;
  if (hover_ != 0 && Find(hover_) != nullptr) QueueWindowEvent(EventType::kMouseLeave, hover_);
  hover_ = under;
  if (report_enter && under != 0) {
    QueueMouseEvent(EventType::kMouseMove, under, MouseButton::kLeft, 0);
  }
}

void HeadlessWindowSystem::QueueMouseEvent(EventType type, WindowId window, MouseButton button,
                                           int wheel_delta, ShiftState extra_shift) {
  const WindowState* state = Find(window);
  Event event;
  event.type = type;
  event.window = window;
  event.button = button;
  event.wheel_delta = wheel_delta;
  event.shift = CurrentShift() | extra_shift;
  event.position = {cursor_.X - state->bounds.Left, cursor_.Y - state->bounds.Top};
  Queue(event);
}

void HeadlessWindowSystem::SetFocus(WindowId window) {
  if (window == focused_) return;
  if (focused_ != 0) QueueWindowEvent(EventType::kFocusLost, focused_);
  focused_ = window;
  if (focused_ != 0) QueueWindowEvent(EventType::kFocusGained, focused_);
}

void HeadlessWindowSystem::BringToTop(WindowId window) {
  auto it = std::find(z_order_.begin(), z_order_.end(), window);
  if (it == z_order_.end()) return;
  z_order_.erase(it);
  z_order_.push_back(window);
  // The window's dialogs come along above it.
  for (const auto& [id, state] : windows_) {
    if (state.owner == window && id != window) BringToTop(id);
  }
  UpdateHover();
}

void HeadlessWindowSystem::DestroyWindow(WindowId window) {
  if (focused_ == window) focused_ = 0;
  if (capture_ == window) capture_ = 0;
  if (press_window_ == window) press_window_ = 0;
  if (hover_ == window) hover_ = 0;
  windows_.erase(window);
  events_.RemoveWindow(window);
  z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), window), z_order_.end());
  UpdateHover();
}

void HeadlessWindowSystem::ShowWindow(WindowId window) {
  WindowState* state = Find(window);
  if (state->visible) return;
  state->visible = true;
  if (state->minimized) return;
  QueueWindowEvent(EventType::kExposed, window);
  BringToTop(window);
  SetFocus(window);
}

void HeadlessWindowSystem::HideWindow(WindowId window) {
  WindowState* state = Find(window);
  if (!state->visible) return;
  state->visible = false;
  if (focused_ == window) SetFocus(0);
  UpdateHover();
}

void HeadlessWindowSystem::MinimizeWindow(WindowId window) {
  WindowState* state = Find(window);
  if (state == nullptr || state->minimized || !state->visible) return;
  state->minimized = true;
  QueueWindowEvent(EventType::kMinimized, window);
  if (focused_ == window) SetFocus(0);
  UpdateHover();
}

void HeadlessWindowSystem::RestoreWindow(WindowId window) {
  WindowState* state = Find(window);
  if (state == nullptr || !state->minimized) return;
  state->minimized = false;
  if (!state->visible) return;
  QueueWindowEvent(EventType::kRestored, window);
  QueueWindowEvent(EventType::kExposed, window);
  BringToTop(window);
  SetFocus(window);
}

void HeadlessWindowSystem::FocusWindow(WindowId window) {
  const WindowState* state = Find(window);
  if (state->visible && !state->minimized) SetFocus(window);
}

void HeadlessWindowSystem::MoveWindow(WindowId window, TPoint top_left) {
  WindowState* state = Find(window);
  if (state->bounds.Left == top_left.X && state->bounds.Top == top_left.Y) return;
  state->bounds =
      TRect::FromBounds(top_left.X, top_left.Y, state->bounds.Width(), state->bounds.Height());
  Event event;
  event.type = EventType::kMoved;
  event.window = window;
  event.position = top_left;
  Queue(event);
  UpdateHover();
}

void HeadlessWindowSystem::ResizeWindow(WindowId window, TSize size) {
  WindowState* state = Find(window);
  const TSize checked = CheckedWindowSize(size);
  PixelImage pixels(checked.cx, checked.cy);
  const int width = std::min(checked.cx, state->pixels.Width());
  const int height = std::min(checked.cy, state->pixels.Height());
  for (int y = 0; y < height; ++y) {
    std::copy_n(state->pixels.Row(y).begin(), width, pixels.Row(y).begin());
  }
  state->pixels = std::move(pixels);
  state->bounds.Right = state->bounds.Left + checked.cx;
  state->bounds.Bottom = state->bounds.Top + checked.cy;
  UpdateHover();
}

void HeadlessWindowSystem::PresentWindow(WindowId window, const FrameView& frame,
                                         const TRect& dirty) {
  WindowState* state = Find(window);
  if (!frame.IsValid()) return;
  const TRect area =
      dirty
          .Intersect(TRect{0, 0, static_cast<int>(LogicalPixel(frame.width - 1, scale_)) + 1,
                           static_cast<int>(LogicalPixel(frame.height - 1, scale_)) + 1})
          .Intersect(TRect{0, 0, state->pixels.Width(), state->pixels.Height()});
  ++state->present_count;
  state->last_dirty = area;
  if (area.IsEmpty()) return;
  if (scale_ == 1) {
    CopyRect(frame, area, state->pixels);
    return;
  }
  for (int y = area.Top; y < area.Bottom; ++y) {
    for (int x = area.Left; x < area.Right; ++x) {
      state->pixels.Row(y)[static_cast<std::size_t>(x)] = frame.Pixel(
          static_cast<int>(DeviceEdge(x, scale_)), static_cast<int>(DeviceEdge(y, scale_)));
    }
  }
}

std::string HeadlessWindowSystem::ClipboardText() const {
  const auto it = clipboard_.find(std::string(kTextMimeType));
  return it == clipboard_.end() ? std::string() : std::string(it->second.begin(), it->second.end());
}

void HeadlessWindowSystem::SetClipboardText(const std::string& text) {
  clipboard_ = {{std::string(kTextMimeType), {text.begin(), text.end()}}};
}

bool HeadlessWindowSystem::ClipboardHasPicture() const {
  for (const std::string_view type : ClipboardPictureTypes()) {
    if (clipboard_.contains(std::string(type))) return true;
  }
  return false;
}

std::optional<PixelImage> HeadlessWindowSystem::ClipboardPicture() const {
  for (const std::string_view type : ClipboardPictureTypes()) {
    const auto it = clipboard_.find(std::string(type));
    if (it != clipboard_.end()) return DecodeClipboardPicture(type, it->second);
  }
  return std::nullopt;
}

void HeadlessWindowSystem::SetClipboardPicture(const PixelImage& picture) {
  std::map<std::string, std::vector<std::uint8_t>> data;
  for (const std::string_view type : ClipboardPictureTypes()) {
    data[std::string(type)] = EncodeClipboardPicture(type, picture);
  }
  clipboard_ = std::move(data);
}

void HeadlessWindowSystem::SetClipboardData(std::map<std::string, std::vector<std::uint8_t>> data) {
  clipboard_ = std::move(data);
}

}  // namespace orlit
