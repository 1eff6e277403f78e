// A window on the real desktop through the X backend, for end-to-end tests and start-up
// measurements. It prints every event it receives as one line on standard output, so a script
// can drive it with xdotool and check what arrived.
//
//   window_probe                 open a 567 x 501 window centred on the desktop and report events;
//                                keys: M minimises, T runs a 10 ms timer ten times, C round-trips
//                                the clipboard, P puts a 400 x 300 picture on it, V reads a
//                                picture from it, Q quits with status 0; a close request also
//                                quits; moves with the left button held report the global cursor
//   window_probe --measure N     N warm runs each of this backend and of a bare SDL2 window with
//                                SDL's default window surface, alternating; prints the medians of
//                                the time from process start to the first frame on screen and the
//                                resident memory at that moment
//   window_probe --first-frame T0 [--bare]   one measured run (used by --measure)
#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::int64_t NowNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// The window's first frame: button-face grey with a red square in the top-left corner.
orlit::PixelImage FirstFrame() {
  orlit::PixelImage frame(kSize.cx, kSize.cy, 0xF0F0F0);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) frame.SetPixel(x, y, 0xFF0000);
  }
  return frame;
}

void ReportFirstFrame(std::int64_t t0) {
  std::printf("first_frame_us %lld rss_kb %ld\n", static_cast<long long>((NowNs() - t0) / 1000),
              ResidentKb());
}

int FirstFrameOurs(std::int64_t t0) {
  orlit::XcbWindowSystem system;
  auto window = system.CreateWindow({"window_probe", kSize, std::nullopt});
  window->Show();
  const orlit::PixelImage frame = FirstFrame();
  window->Present(orlit::FrameView::Of(frame), {0, 0, kSize.cx, kSize.cy});
  ReportFirstFrame(t0);
  return 0;
}

// What a program gets from SDL2 left at its defaults.
int FirstFrameBare(std::int64_t t0) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* window = SDL_CreateWindow("window_probe", SDL_WINDOWPOS_CENTERED,
                                        SDL_WINDOWPOS_CENTERED, kSize.cx, kSize.cy, 0);
  SDL_Surface* surface = window != nullptr ? SDL_GetWindowSurface(window) : nullptr;
  if (surface == nullptr) return 1;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0xF0, 0xF0, 0xF0));
  SDL_UpdateWindowSurface(window);
  ReportFirstFrame(t0);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}

struct Sample {
  double ms = 0;
  long rss_kb = 0;
};

bool RunOnce(const char* self, bool bare, Sample* sample) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return false;
  const std::int64_t t0 = NowNs();
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_fds[1], STDOUT_FILENO);
    close(pipe_fds[0]);
    const std::string t0_text = std::to_string(t0);
    if (bare) {
      execl(self, self, "--first-frame", t0_text.c_str(), "--bare", static_cast<char*>(nullptr));
    } else {
      execl(self, self, "--first-frame", t0_text.c_str(), static_cast<char*>(nullptr));
    }
    _exit(127);
  }
  close(pipe_fds[1]);
  std::string output;
  char buffer[256];
  ssize_t n = 0;
  while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) output.append(buffer, buffer + n);
  close(pipe_fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  long long us = 0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
      std::sscanf(output.c_str(), "first_frame_us %lld rss_kb %ld", &us, &sample->rss_kb) != 2) {
    return false;
  }
  sample->ms = static_cast<double>(us) / 1000.0;
  return true;
}

Sample Median(std::vector<Sample> samples) {
  const std::size_t middle = samples.size() / 2;
  std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(middle),
                   samples.end(), [](const Sample& a, const Sample& b) { return a.ms < b.ms; });
  Sample result;
  result.ms = samples[middle].ms;
  std::vector<long> rss;
  for (const Sample& s : samples) rss.push_back(s.rss_kb);
  std::nth_element(rss.begin(), rss.begin() + static_cast<std::ptrdiff_t>(middle), rss.end());
  result.rss_kb = rss[middle];
  return result;
}

int Measure(const char* self, int runs) {
  Sample warm_up;
  if (!RunOnce(self, false, &warm_up) || !RunOnce(self, true, &warm_up)) {
    std::fprintf(stderr, "window_probe: a measured run failed\n");
    return 1;
  }
  std::vector<Sample> ours, bare;
  for (int i = 0; i < runs; ++i) {
    Sample a, b;
    if (!RunOnce(self, false, &a) || !RunOnce(self, true, &b)) {
      std::fprintf(stderr, "window_probe: a measured run failed\n");
      return 1;
    }
    ours.push_back(a);
    bare.push_back(b);
  }
  const Sample o = Median(ours);
  const Sample b = Median(bare);
  std::printf("first frame, median of %d warm runs\n", runs);
  std::printf("  orlit X backend:   %7.1f ms  %6.1f MB resident\n", o.ms, o.rss_kb / 1024.0);
  std::printf("  bare SDL2 window:  %7.1f ms  %6.1f MB resident\n", b.ms, b.rss_kb / 1024.0);
  std::printf("  ratio ours/bare:   %7.2f time  %6.2f memory\n", o.ms / b.ms,
              static_cast<double>(o.rss_kb) / static_cast<double>(b.rss_kb));
  return 0;
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

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IOLBF, 0);
  try {
    if (argc >= 3 && std::strcmp(argv[1], "--measure") == 0) {
      return Measure("/proc/self/exe", std::max(1, std::atoi(argv[2])));
    }
    if (argc >= 3 && std::strcmp(argv[1], "--first-frame") == 0) {
      const std::int64_t t0 = std::atoll(argv[2]);
      return (argc >= 4 && std::strcmp(argv[3], "--bare") == 0) ? FirstFrameBare(t0)
                                                                : FirstFrameOurs(t0);
    }
    return Interactive();
  } catch (const orlit::Exception& error) {
    std::fprintf(stderr, "window_probe: %s: %s\n", error.ClassName(), error.Message().c_str());
    return 1;
  }
}
