// A window on the real desktop through the X backend, for end-to-end tests. It prints every event
// it receives as one line on standard output, so a script can drive it with xdotool and check what
// arrived.
//
//   window_probe                 open a 567 x 501 window centred on the desktop and report events;
//                                keys: M minimises, T runs a 10 ms timer ten times, C round-trips
//                                the clipboard, P puts a 400 x 300 picture on it, V reads a
//                                picture from it, Q quits with status 0; a close request also
//                                quits; moves with the left button held report the global cursor
//
// Start-up against a bare window is measured by bench/startup (scripts/measure-startup).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "platform/xcb/XcbWindowSystem.h"

namespace {

using orlit::Event;
using orlit::EventType;

constexpr orlit::TSize kSize{567, 501};

// The window's first frame: button-face grey with a red square in the top-left corner.
orlit::PixelImage FirstFrame() {
  orlit::PixelImage frame(kSize.cx, kSize.cy, 0xF0F0F0);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) frame.SetPixel(x, y, 0xFF0000);
  }
  return frame;
}

const char* Name(EventType type) {
  switch (type) {
    case EventType::kKeyDown:
      return "keydown";
    case EventType::kKeyUp:
      return "keyup";
    case EventType::kCharacter:
      return "char";
    case EventType::kMouseMove:
      return "mousemove";
    case EventType::kMouseDown:
      return "mousedown";
    case EventType::kMouseUp:
      return "mouseup";
    case EventType::kMouseDoubleClick:
      return "dblclick";
    case EventType::kMouseWheel:
      return "wheel";
    case EventType::kMouseLeave:
      return "mouseleave";
    case EventType::kFocusGained:
      return "focus-gained";
    case EventType::kFocusLost:
      return "focus-lost";
    case EventType::kExposed:
      return "exposed";
    case EventType::kMinimized:
      return "minimized";
    case EventType::kRestored:
      return "restored";
    case EventType::kMoved:
      return "moved";
    case EventType::kCloseRequest:
      return "close";
    case EventType::kQuit:
      return "quit";
    case EventType::kTimer:
      return "timer";
    case EventType::kSettingsChanged:
      return "settings-changed";
    case EventType::kScaleChanged:
      return "scale-changed";
  }
  return "?";
}

void Print(const Event& e) {
  switch (e.type) {
    case EventType::kKeyDown:
    case EventType::kKeyUp:
      std::printf("%s key=%d shift=%d repeat=%d\n", Name(e.type), e.key, e.shift, e.repeat);
      break;
    case EventType::kCharacter:
      std::printf("char %u shift=%d\n", static_cast<unsigned>(e.character), e.shift);
      break;
    case EventType::kMouseMove:
    case EventType::kMouseDown:
    case EventType::kMouseUp:
    case EventType::kMouseDoubleClick:
    case EventType::kMouseWheel:
      std::printf("%s button=%d x=%d y=%d shift=%d wheel=%d\n", Name(e.type),
                  static_cast<int>(e.button), e.position.X, e.position.Y, e.shift, e.wheel_delta);
      break;
    case EventType::kMoved:
      std::printf("moved x=%d y=%d\n", e.position.X, e.position.Y);
      break;
    case EventType::kTimer:
      break;  // too many to print; the T key reports on them
    default:
      std::printf("%s\n", Name(e.type));
      break;
  }
}

int Interactive() {
  orlit::XcbWindowSystem system;
  auto window = system.CreateWindow({"window_probe", kSize, std::nullopt});
  window->Show();
  const orlit::PixelImage frame = FirstFrame();
  window->Present(orlit::FrameView::Of(frame), {0, 0, kSize.cx, kSize.cy});
  const orlit::TPoint at = window->Position();
  std::printf("ready id=%u pos=%d,%d size=%dx%d\n", window->Id(), at.X, at.Y, window->Size().cx,
              window->Size().cy);
  // A stuck test ends on its own.
  const orlit::TimerId deadline = system.SetTimer(30000);
  orlit::TimerId ticker = 0;
  int ticks = 0;
  std::uint64_t ticker_start = 0;
  Event e;
  while (system.WaitEvent(&e)) {
    Print(e);
    if (e.type == EventType::kQuit) return e.exit_code;
    if (e.type == EventType::kCloseRequest) return 0;
    if (e.type == EventType::kTimer && e.timer == deadline) {
      std::printf("deadline\n");
      return 2;
    }
    if (e.type == EventType::kTimer && e.timer == ticker && ++ticks == 10) {
      system.KillTimer(ticker);
      std::printf("timer-10 elapsed_ms=%llu\n",
                  static_cast<unsigned long long>(system.TickCount() - ticker_start));
    }
    if (e.type == EventType::kMouseMove && (e.shift & orlit::kShiftStateLeft)) {
      const orlit::TPoint cursor = system.CursorPos();
      std::printf("cursor x=%d y=%d\n", cursor.X, cursor.Y);
    }
    if (e.type != EventType::kKeyDown) continue;
    switch (e.key) {
      case 'M':
        window->Minimize();
        break;
      case 'T':
        ticks = 0;
        ticker_start = system.TickCount();
        ticker = system.SetTimer(10);
        break;
      case 'C':
        system.SetClipboardText("orlit \xE2\x9C\x93");
        std::printf("clipboard %s\n", system.ClipboardText().c_str());
        break;
      case 'P': {
        orlit::PixelImage picture(400, 300);
        for (int y = 0; y < 300; ++y) {
          for (int x = 0; x < 400; ++x) picture.SetPixel(x, y, static_cast<std::uint32_t>(x * y));
        }
        system.SetClipboardPicture(picture);
        std::printf("picture-offered\n");
        break;
      }
      case 'V': {
        const std::uint64_t start = system.TickCount();
        try {
          const auto picture = system.ClipboardPicture();
          std::printf(
              "picture %s after_ms=%llu\n",
              picture ? (std::to_string(picture->Width()) + "x" + std::to_string(picture->Height()))
                            .c_str()
                      : "none",
              static_cast<unsigned long long>(system.TickCount() - start));
        } catch (const orlit::Exception& error) {
          std::printf("picture error %s\n", error.Message().c_str());
        }
        break;
      }
      case 'Q':
        system.PostQuit(0);
        break;
      default:
        break;
    }
  }
  return 3;
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  try {
    return Interactive();
  } catch (const orlit::Exception& error) {
    std::fprintf(stderr, "window_probe: %s: %s\n", error.ClassName(), error.Message().c_str());
    return 1;
  }
}
