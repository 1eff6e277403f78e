#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/Exceptions.h"
#include "platform/Geometry.h"
#include "platform/PixelImage.h"
#include "platform/VirtualKeys.h"

namespace orlit {

// The window system itself failed: no display to open windows on, or a window or cursor that
// could not be created.
ORLIT_EXCEPTION_CLASS(EWindowSystemError, Exception);

// Windows and timers are named by numbers that are never reused within one window system;
// 0 names none.
using WindowId = std::uint32_t;
using TimerId = std::uint32_t;

enum class CursorShape : std::uint8_t { kArrow, kHandPoint, kIBeam };

enum class MouseButton : std::uint8_t { kLeft, kRight, kMiddle };

enum class EventType : std::uint8_t {
  kKeyDown,           // key, shift, repeat
  kKeyUp,             // key, shift
  kCharacter,         // character, shift; comes after the key-down that produced it
  kMouseMove,         // position, shift
  kMouseDown,         // button, position, shift (including the button just pressed)
  kMouseUp,           // button, position, shift (without the button just released)
  kMouseDoubleClick,  // second press within the double-click time; instead of kMouseDown
  kMouseWheel,        // wheel_delta, position, shift
  kMouseLeave,        // the pointer left the window (not sent while the window has the capture)
  kFocusGained,
  kFocusLost,
  kExposed,       // the window was uncovered; the backend has already shown its last pixels again
  kMinimized,     // to the taskbar
  kRestored,      // from the taskbar
  kMoved,         // position: the new top-left corner in screen coordinates
  kCloseRequest,  // the desktop asks the window to close; nothing has been closed yet
  kQuit,          // exit_code; from PostQuit or from the desktop (e.g. SIGINT, session end)
  kTimer,         // timer
  kSettingsChanged,  // the desktop's locale or other settings changed; window 0
  kScaleChanged,     // Scale() is another now: the window's frames are to be drawn anew at it
};

// How a wait on another program ended.
enum class PeerWaitResult : std::uint8_t {
  kReady,  // the descriptor has something to read
  kTimedOut,
  kInterrupted,  // the user asked to quit or to close a window; the request stays queued
};

// One event. Only the fields named for its type carry meaning; the others keep their defaults.
struct Event {
  EventType type = EventType::kQuit;
  std::uint64_t time_ms = 0;  // on the TickCount clock
  WindowId window = 0;        // 0 for kQuit, kTimer and kSettingsChanged
  int key = 0;                // a VK_ code
  bool repeat = false;        // key held down: auto-repeated key-down
  char32_t character = 0;     // a Unicode code point
  ShiftState shift = 0;
  TPoint position;  // mouse events: client coordinates of the window; kMoved: screen
  MouseButton button = MouseButton::kLeft;
  int wheel_delta = 0;  // 120 per notch, positive when turned away from the user
  TimerId timer = 0;
  int exit_code = 0;
};

// Window sizes run from 1 to kMaxWindowDimension in each direction.
inline constexpr int kMaxWindowDimension = 8192;
// Sizes below 1 become 1; a size beyond the maximum throws EWindowSystemError.
TSize CheckedWindowSize(TSize size);

// Events a disabled window does not receive: keyboard and mouse input and close requests.
bool IsInputEvent(EventType type);

// The shift-state bit that says `button` is held.
ShiftState ShiftStateOfButton(MouseButton button);
// The shift-state bit that says the modifier key `key` (VK_SHIFT, VK_CONTROL, VK_MENU) is held;
// 0 for other keys.
ShiftState ShiftStateOfModifierKey(int key);

// The character that follows the key-down of keys that produce no text input on their own, as
// the desktop's edit controls expect them: Backspace 8 (127 with Ctrl), Tab 9 (none with Ctrl),
// Enter 13 (10 with Ctrl), Escape 27, Ctrl+A to Ctrl+Z 1 to 26. 0 for every other key and
// whenever Alt is held: printable characters come from text input, not from keys.
char32_t ControlCharacterForKey(int key, ShiftState shift);

// Whether text input becomes characters under this shift state: not while Ctrl is held without
// Alt, since those keys are commands (Ctrl with Alt is AltGr, which types characters).
bool TextInputAllowed(ShiftState shift);

// Pixels to present: 32-bit 0x00RRGGBB, rows top-down, stride in bytes (a cairo RGB24 image
// surface, or a PixelImage through Of). The view does not own the pixels.
struct FrameView {
  const std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride_bytes = 0;

  static FrameView Of(const PixelImage& image);
  // Non-null, non-negative size, and rows that do not overlap.
  bool IsValid() const;
  std::uint32_t Pixel(int x, int y) const {
    return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(pixels) +
                                                  static_cast<std::ptrdiff_t>(y) * stride_bytes)[x];
  }
};

enum class WindowKind : std::uint8_t {
  kNormal,  // a top-level window; with an owner, a dialog of it
  // A menu over its owner's window, placed at its position (moved where it would leave the
  // screen), and closed by the desktop (kCloseRequest) when the user clicks outside the program.
  kPopup,
};

struct WindowParams {
  std::string title;  // the taskbar text
  TSize size;
  std::optional<TPoint> position;  // top-left in screen coordinates; none: centred on the desktop
  // A dialog's window: the desktop keeps it above `owner` and modal over it. 0: none.
  WindowId owner = 0;
  WindowKind kind = WindowKind::kNormal;
};

// A frameless top-level window. Created hidden; destroying the object destroys the window, and
// events still queued for it are dropped. Must not outlive the window system that created it.
class NativeWindow {
 public:
  NativeWindow() = default;
  NativeWindow(const NativeWindow&) = delete;
  NativeWindow& operator=(const NativeWindow&) = delete;
  virtual ~NativeWindow() = default;

  virtual WindowId Id() const = 0;

  // Show also raises the window and gives it the keyboard focus, as the desktop does for a newly
  // shown top-level window.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  virtual void Raise() = 0;
  virtual void Focus() = 0;
  virtual void Move(TPoint top_left) = 0;
  virtual void Resize(TSize size) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // The taskbar picture; pixels of a transparent image's transparent colour stay see-through.
  virtual void SetIcon(const PixelImage& icon) = 0;

  virtual bool Visible() const = 0;  // shown, whether minimised or not
  virtual bool Minimized() const = 0;
  virtual bool Focused() const = 0;
  virtual TPoint Position() const = 0;
  virtual TSize Size() const = 0;

  // A disabled window gets no input events (IsInputEvent); input already queued for it when it
  // is taken from the queue is dropped too. This is what makes a message box modal.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;

  // Copies the part `dirty` (96-dpi window coordinates) of `frame` to the screen; `frame` holds
  // the window at the window system's Scale() and its (0, 0) is the window's top-left. Parts of
  // `dirty` outside the frame or the window are ignored; an invalid frame presents nothing.
  virtual void Present(const FrameView& frame, const TRect& dirty) = 0;

  // The cursor shown while the pointer is over this window (or it has the capture).
  virtual void SetCursor(CursorShape shape) = 0;
  virtual CursorShape Cursor() const = 0;

  // Hands the move of the window to the desktop, the left button having just gone down in it:
  // true where the desktop then moves the window with the pointer itself (the button's release
  // comes at once, the move's end is never reported); false where the program must follow the
  // pointer and Move the window.
  virtual bool BeginUserMove() { return false; }
};

// What the desktop offers a program: windows, input events, timers, time, clipboard and beep.
// Everything is used from the one user-interface thread.
class WindowSystem {
 public:
  WindowSystem() = default;
  WindowSystem(const WindowSystem&) = delete;
  WindowSystem& operator=(const WindowSystem&) = delete;
  virtual ~WindowSystem() = default;

  virtual std::unique_ptr<NativeWindow> CreateWindow(const WindowParams& params) = 0;

  // The primary screen, which centring uses, and all screens in screen coordinates.
  virtual TRect DesktopRect() const = 0;
  virtual std::vector<TRect> MonitorRects() const = 0;

  // The pointer in screen coordinates, also during a drag with a button held.
  virtual TPoint CursorPos() const = 0;
  // Mouse events go to `window` wherever the pointer is, until released; 0 releases.
  virtual void SetCapture(WindowId window) = 0;
  virtual WindowId Capture() const = 0;

  // Sends what the windows were given (presented frames above all) on to the display server,
  // where a window system buffers it; looking for events does so too.
  virtual void Flush() {}
  // The next event, if one is queued.
  virtual bool PollEvent(Event* event) = 0;
  // Blocks until an event arrives. False only when none can ever arrive without outside action
  // (a headless system with an empty queue); the real desktop always has one eventually.
  virtual bool WaitEvent(Event* event) = 0;
  // Queues kQuit after the events already queued.
  virtual void PostQuit(int exit_code) = 0;
  // Waits at most `timeout_ms` for `fd` to have something to read, as a wait on another program
  // (a picture renderer, the desktop's file chooser) does: the windows stay on screen, events
  // that come meanwhile are kept for the loop, and a request to quit or to close a window ends
  // the wait at once.
  virtual PeerWaitResult WaitForPeer(int fd, int timeout_ms) = 0;

  // A repeating timer; each firing is a kTimer event. An interval of 0 is taken as 1 ms.
  // Killing a timer also drops its firings still queued; killing an unknown id does nothing.
  virtual TimerId SetTimer(std::uint32_t interval_ms) = 0;
  virtual void KillTimer(TimerId timer) = 0;
  // Milliseconds on a monotonic clock.
  virtual std::uint64_t TickCount() const = 0;
  // The longest time between the presses of a double click.
  virtual std::uint32_t DoubleClickTime() const = 0;
  // Screen pixels per window pixel (1 to 4, fractional too). Everything the program sees, window
  // and screen coordinates alike, is in 96-dpi window pixels; frames are drawn at this scale.
  virtual double Scale() const = 0;

  // Empty when the clipboard holds no text. Setting throws EWindowSystemError on failure.
  virtual std::string ClipboardText() const = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  // Pictures on the clipboard, offered and read in the formats of ClipboardPictureTypes. Setting
  // replaces whatever the clipboard held and throws EWindowSystemError on failure. Reading gives
  // nothing when the clipboard holds no picture and throws EInvalidGraphic when what it holds
  // cannot be read; neither waits longer than a few seconds for another program.
  virtual bool ClipboardHasPicture() const = 0;
  virtual std::optional<PixelImage> ClipboardPicture() const = 0;
  virtual void SetClipboardPicture(const PixelImage& picture) = 0;

  virtual void Beep() = 0;
};

}  // namespace orlit
