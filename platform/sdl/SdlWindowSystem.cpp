#include "platform/sdl/SdlWindowSystem.h"

#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "platform/sdl/SdlKeys.h"
#include "platform/sdl/SdlWindow.h"
#include "platform/sdl/X11Support.h"

namespace orlit {

namespace {

// The hand-off between SDL's timer thread and the loop. SDL's timers are process-wide and their
// callbacks may still run after SDL_RemoveTimer returns, so this outlives every window system:
// a callback only ever looks up its timer by id here.
struct TimerHub {
  std::mutex mutex;
  Uint32 event_type = 0;
  std::unordered_map<TimerId, bool> firing_queued;  // live timers only
};

TimerHub& Hub() {
  static TimerHub& hub = *new TimerHub;
  return hub;
}

Uint32 FireTimer(Uint32 interval, void* param) {
  const auto id = static_cast<TimerId>(reinterpret_cast<std::uintptr_t>(param));
  TimerHub& hub = Hub();
  std::lock_guard<std::mutex> lock(hub.mutex);
  auto timer = hub.firing_queued.find(id);
  if (timer == hub.firing_queued.end()) return 0;
  if (!timer->second) {
    SDL_Event event{};
    event.type = hub.event_type;
    event.user.code = static_cast<Sint32>(id);
    if (SDL_PushEvent(&event) == 1) timer->second = true;
  }
  return interval;
}

std::size_t CursorIndex(CursorShape shape) { return static_cast<std::size_t>(shape); }

// A screen area in window pixels.
TRect LogicalRect(const SDL_Rect& bounds, int scale) {
  const TPoint top_left = ToLogical({bounds.x, bounds.y}, scale);
  const TPoint bottom_right = ToLogical({bounds.x + bounds.w, bounds.y + bounds.h}, scale);
  return {top_left.X, top_left.Y, bottom_right.X, bottom_right.Y};
}

}  // namespace

SdlWindowSystem::SdlWindowSystem() {
  constexpr SDL_SystemCursor kSystemCursors[] = {SDL_SYSTEM_CURSOR_ARROW, SDL_SYSTEM_CURSOR_HAND,
                                                 SDL_SYSTEM_CURSOR_IBEAM};
  for (std::size_t i = 0; i < cursors_.size(); ++i) {
    cursors_[i].reset(SDL_CreateSystemCursor(kSystemCursors[i]));
  }
  // X shows its root cursor over a window until a program sets one.
  if (cursors_[0]) SDL_SetCursor(cursors_[0].get());
  const Uint32 first = SDL_RegisterEvents(2);
  if (first == static_cast<Uint32>(-1)) {
    throw EWindowSystemError("Cannot register the window system's events");
  }
  timer_event_ = first;
  quit_event_ = first + 1;
  {
    std::lock_guard<std::mutex> lock(Hub().mutex);
    Hub().event_type = timer_event_;
  }
  SDL_StartTextInput();
}

SdlWindowSystem::~SdlWindowSystem() {
  while (!timers_.empty()) KillTimer(timers_.begin()->first);
}

std::unique_ptr<NativeWindow> SdlWindowSystem::CreateWindow(const WindowParams& params) {
  return std::make_unique<SdlWindow>(this, params);
}

TRect SdlWindowSystem::DesktopRect() const {
  SDL_Rect bounds{};
  if (SDL_GetDisplayBounds(0, &bounds) != 0) return {};
  return LogicalRect(bounds, scale_);
}

std::vector<TRect> SdlWindowSystem::MonitorRects() const {
  std::vector<TRect> monitors;
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(i, &bounds) == 0) {
      monitors.push_back(LogicalRect(bounds, scale_));
    }
  }
  return monitors;
}

TPoint SdlWindowSystem::CursorPos() const {
  // SDL keeps the global position from raw input events, which synthetic and some real pointer
  // moves never send; on X the server is asked directly.
  if (!windows_.empty()) {
    if (const auto pointer = QueryX11Pointer(windows_.begin()->second->Handle())) {
      return ToLogical(*pointer, scale_);
    }
  }
  TPoint global;
  const Uint32 buttons = SDL_GetGlobalMouseState(&global.X, &global.Y);
  global = ToLogical(global, scale_);
  // SDL's global state stops following the pointer while a button is held; the window's own
  // mouse events still do.
  if ((buttons != 0 || buttons_held_ != 0) && pointer_known_) return last_pointer_;
  return global;
}

void SdlWindowSystem::SetCapture(WindowId window) {
  if (window != 0 && Find(window) == nullptr) window = 0;
  capture_ = window;
  // Where SDL cannot capture, its automatic capture while a button is held still keeps a drag.
  SDL_CaptureMouse(window != 0 ? SDL_TRUE : SDL_FALSE);
  UpdateCursor();
}

bool SdlWindowSystem::PollEvent(Event* event) {
  for (;;) {
    if (TakePending(event)) return true;
    SDL_Event sdl_event;
    if (SDL_PollEvent(&sdl_event) == 0) return false;
    Translate(sdl_event);
  }
}

bool SdlWindowSystem::WaitEvent(Event* event) {
  for (;;) {
    if (TakePending(event)) return true;
    SDL_Event sdl_event;
    if (SDL_WaitEvent(&sdl_event) == 0) {
      throw EWindowSystemError(std::string("Cannot wait for events: ") + SDL_GetError());
    }
    Translate(sdl_event);
  }
}

void SdlWindowSystem::PostQuit(int exit_code) {
  SDL_Event sdl_event{};
  sdl_event.type = quit_event_;
  sdl_event.user.code = exit_code;
  if (SDL_PushEvent(&sdl_event) == 1) return;
  // The queue is full: the quit must not get lost, so it waits behind what is pending here.
  Event event;
  event.type = EventType::kQuit;
  event.exit_code = exit_code;
  Push(event, SDL_GetTicks());
}

TimerId SdlWindowSystem::SetTimer(std::uint32_t interval_ms) {
  const TimerId id = next_timer_++;
  {
    std::lock_guard<std::mutex> lock(Hub().mutex);
    Hub().firing_queued[id] = false;
  }
  const SDL_TimerID sdl_timer =
      SDL_AddTimer(interval_ms == 0 ? 1 : interval_ms, FireTimer,
                   reinterpret_cast<void*>(static_cast<std::uintptr_t>(id)));
  if (sdl_timer == 0) {
    std::lock_guard<std::mutex> lock(Hub().mutex);
    Hub().firing_queued.erase(id);
    throw EWindowSystemError(std::string("Cannot set a timer: ") + SDL_GetError());
  }
  timers_[id] = sdl_timer;
  return id;
}

void SdlWindowSystem::KillTimer(TimerId timer) {
  auto it = timers_.find(timer);
  if (it == timers_.end()) return;
  {
    std::lock_guard<std::mutex> lock(Hub().mutex);
    Hub().firing_queued.erase(timer);
  }
  SDL_RemoveTimer(it->second);
  timers_.erase(it);
}

std::uint64_t SdlWindowSystem::TickCount() const { return SDL_GetTicks64(); }

std::string SdlWindowSystem::ClipboardText() const {
  // SDL would ask our own clipboard window and wait for an answer only this loop can give.
  if (picture_clipboard_ && picture_clipboard_->OwnsClipboard()) return {};
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return {};
  std::string result(text);
  SDL_free(text);
  return result;
}

void SdlWindowSystem::SetClipboardText(const std::string& text) {
  if (SDL_SetClipboardText(text.c_str()) != 0) {
    throw EWindowSystemError(std::string("Cannot open clipboard: ") + SDL_GetError());
  }
  // Made now if not yet, so that a later look for a picture knows this owner holds only text
  // rather than asking it and waiting for an answer only this loop could give.
  if (X11PictureClipboard* clipboard = PictureClipboard()) clipboard->NoteTextOwner();
}

X11PictureClipboard* SdlWindowSystem::PictureClipboard() const {
  if (!picture_clipboard_ && !windows_.empty()) {
    picture_clipboard_ = X11PictureClipboard::Create(windows_.begin()->second->Handle());
  }
  return picture_clipboard_.get();
}

bool SdlWindowSystem::ClipboardHasPicture() const {
  X11PictureClipboard* clipboard = PictureClipboard();
  return clipboard != nullptr && clipboard->HasPicture();
}

std::optional<PixelImage> SdlWindowSystem::ClipboardPicture() const {
  X11PictureClipboard* clipboard = PictureClipboard();
  return clipboard != nullptr ? clipboard->Picture() : std::nullopt;
}

void SdlWindowSystem::SetClipboardPicture(const PixelImage& picture) {
  X11PictureClipboard* clipboard = PictureClipboard();
  if (clipboard == nullptr) {
    throw EWindowSystemError("Cannot open clipboard: pictures need an X11 display");
  }
  clipboard->Offer(picture);
}

void SdlWindowSystem::Beep() {
  if (isatty(STDERR_FILENO) == 1) {
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, "\a", 1);
  }
}

void SdlWindowSystem::Register(SdlWindow* window) { windows_[window->Id()] = window; }

void SdlWindowSystem::Unregister(WindowId window) {
  windows_.erase(window);
  if (capture_ == window) SetCapture(0);
}

SdlWindow* SdlWindowSystem::Find(WindowId window) const {
  auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : it->second;
}

void SdlWindowSystem::ApplyCursor(CursorShape shape) {
  if (shape == applied_cursor_) return;
  SDL_Cursor* cursor = cursors_[CursorIndex(shape)].get();
  if (cursor == nullptr) return;
  SDL_SetCursor(cursor);
  applied_cursor_ = shape;
}

void SdlWindowSystem::UpdateCursor() {
  SdlWindow* window = Find(capture_);
  if (window == nullptr) {
    SDL_Window* under = SDL_GetMouseFocus();
    if (under != nullptr) window = Find(SDL_GetWindowID(under));
  }
  ApplyCursor(window != nullptr ? window->Cursor() : CursorShape::kArrow);
}

bool SdlWindowSystem::TakePending(Event* event) {
  while (!pending_.empty()) {
    Event next = pending_.front();
    pending_.pop_front();
    if (next.type == EventType::kTimer) {
      std::lock_guard<std::mutex> lock(Hub().mutex);
      auto timer = Hub().firing_queued.find(next.timer);
      if (timer == Hub().firing_queued.end()) continue;
      timer->second = false;
    }
    if (next.window != 0) {
      const SdlWindow* window = Find(next.window);
      if (window == nullptr) continue;
      if (!window->Enabled() && IsInputEvent(next.type)) continue;
    }
    *event = next;
    return true;
  }
  return false;
}

void SdlWindowSystem::Push(Event event, Uint32 sdl_timestamp) {
  // SDL stamps events with 32-bit milliseconds on the TickCount clock; widen against now.
  const std::uint64_t now = SDL_GetTicks64();
  event.time_ms = now - static_cast<Uint32>(static_cast<Uint32>(now) - sdl_timestamp);
  pending_.push_back(event);
}

void SdlWindowSystem::Translate(const SDL_Event& sdl_event) {
  switch (sdl_event.type) {
    case SDL_QUIT: {
      Event event;
      event.type = EventType::kQuit;
      Push(event, sdl_event.common.timestamp);
      return;
    }
    case SDL_LOCALECHANGED: {
      Event event;
      event.type = EventType::kSettingsChanged;
      Push(event, sdl_event.common.timestamp);
      return;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(sdl_event.key);
      return;
    case SDL_TEXTINPUT: {
      if (!TextInputAllowed(ShiftStateFromSdl(static_cast<Uint16>(SDL_GetModState())))) return;
      for (char32_t c : DecodeUtf8(sdl_event.text.text)) {
        Event event;
        event.type = EventType::kCharacter;
        event.window = sdl_event.text.windowID;
        event.character = c;
        event.shift = ShiftStateFromSdl(static_cast<Uint16>(SDL_GetModState())) | buttons_held_;
        Push(event, sdl_event.text.timestamp);
      }
      return;
    }
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      TranslateMouse(sdl_event);
      return;
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(sdl_event.window);
      return;
    case SDL_SYSWMEVENT:
      if (picture_clipboard_) picture_clipboard_->HandleEvent(sdl_event);
      return;
    default:
      break;
  }
  if (sdl_event.type == timer_event_) {
    Event event;
    event.type = EventType::kTimer;
    event.timer = static_cast<TimerId>(sdl_event.user.code);
    Push(event, sdl_event.user.timestamp);
  } else if (sdl_event.type == quit_event_) {
    Event event;
    event.type = EventType::kQuit;
    event.exit_code = sdl_event.user.code;
    Push(event, sdl_event.user.timestamp);
  }
}

void SdlWindowSystem::TranslateKey(const SDL_KeyboardEvent& key) {
  const int vk = VirtualKeyFromSdl(key.keysym.sym, key.keysym.scancode, key.keysym.mod);
  if (vk == 0) return;
  Event event;
  event.type = key.type == SDL_KEYDOWN ? EventType::kKeyDown : EventType::kKeyUp;
  event.window = key.windowID;
  event.key = vk;
  event.repeat = key.repeat != 0;
  event.shift = ShiftStateFromSdl(key.keysym.mod) | buttons_held_;
  Push(event, key.timestamp);
  if (key.type != SDL_KEYDOWN) return;
  const char32_t character = ControlCharacterForKey(vk, event.shift);
  if (character == 0) return;
  event.type = EventType::kCharacter;
  event.key = 0;
  event.repeat = false;
  event.character = character;
  Push(event, key.timestamp);
}

void SdlWindowSystem::TranslateMouse(const SDL_Event& sdl_event) {
  Event event;
  Uint32 window_id = 0;
  TPoint position;
  Uint32 timestamp = sdl_event.common.timestamp;
  switch (sdl_event.type) {
    case SDL_MOUSEMOTION:
      // A release we never saw (the window lost the mouse meanwhile) must not stay held.
      buttons_held_ = 0;
      if (sdl_event.motion.state & SDL_BUTTON_LMASK) buttons_held_ |= kShiftStateLeft;
      if (sdl_event.motion.state & SDL_BUTTON_RMASK) buttons_held_ |= kShiftStateRight;
      if (sdl_event.motion.state & SDL_BUTTON_MMASK) buttons_held_ |= kShiftStateMiddle;
      event.type = EventType::kMouseMove;
      window_id = sdl_event.motion.windowID;
      position = {sdl_event.motion.x, sdl_event.motion.y};
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (!MouseButtonFromSdl(sdl_event.button.button, &event.button)) return;
      window_id = sdl_event.button.windowID;
      position = {sdl_event.button.x, sdl_event.button.y};
      if (sdl_event.type == SDL_MOUSEBUTTONDOWN) {
        buttons_held_ |= ShiftStateOfButton(event.button);
        // SDL counts presses in quick succession; the desktop pairs them up.
        const bool double_click = sdl_event.button.clicks % 2 == 0;
        event.type = double_click ? EventType::kMouseDoubleClick : EventType::kMouseDown;
        if (double_click) event.shift |= kShiftStateDouble;
      } else {
        buttons_held_ &= static_cast<ShiftState>(~ShiftStateOfButton(event.button));
        event.type = EventType::kMouseUp;
      }
      break;
    }
    case SDL_MOUSEWHEEL: {
      int notches = sdl_event.wheel.y;
      if (sdl_event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) return;
      event.type = EventType::kMouseWheel;
      event.wheel_delta = notches * 120;
      window_id = sdl_event.wheel.windowID;
      position = {sdl_event.wheel.mouseX, sdl_event.wheel.mouseY};
      break;
    }
    default:
      return;
  }
  const SdlWindow* window = Find(window_id);
  if (window == nullptr) return;
  position = ToLogical(position, scale_);
  const TPoint origin = window->Position();
  last_pointer_ = {origin.X + position.X, origin.Y + position.Y};
  pointer_known_ = true;
  // With the capture the mouse belongs to the capturing window wherever it is.
  if (const SdlWindow* captor = Find(capture_); captor != nullptr && captor != window) {
    const TPoint captor_origin = captor->Position();
    window_id = capture_;
    position = {last_pointer_.X - captor_origin.X, last_pointer_.Y - captor_origin.Y};
  }
  event.window = window_id;
  event.position = position;
  event.shift |= ShiftStateFromSdl(static_cast<Uint16>(SDL_GetModState())) | buttons_held_;
  Push(event, timestamp);
  if (event.type == EventType::kMouseMove) UpdateCursor();
}

void SdlWindowSystem::TranslateWindowEvent(const SDL_WindowEvent& window_event) {
  SdlWindow* window = Find(window_event.windowID);
  if (window == nullptr) return;
  Event event;
  event.window = window_event.windowID;
  switch (window_event.event) {
    case SDL_WINDOWEVENT_ENTER:
      UpdateCursor();
      return;
    case SDL_WINDOWEVENT_LEAVE:
      if (capture_ == event.window) return;
      event.type = EventType::kMouseLeave;
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      event.type = EventType::kFocusGained;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      event.type = EventType::kFocusLost;
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      window->Reshow();
      event.type = EventType::kExposed;
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      event.type = EventType::kMinimized;
      break;
    case SDL_WINDOWEVENT_RESTORED:
      event.type = EventType::kRestored;
      break;
    case SDL_WINDOWEVENT_MOVED:
      event.type = EventType::kMoved;
      event.position = ToLogical({window_event.data1, window_event.data2}, scale_);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      event.type = EventType::kCloseRequest;
      break;
    default:
      return;
  }
  Push(event, window_event.timestamp);
}

}  // namespace orlit
