// Time from process start to the first frame on screen, and resident memory and processor time at
// that moment, for any program that opens one window: starts it, watches the X server for its
// window to be mapped and then for a chosen pixel to show its settled colour, and reads the
// child's VmRSS and time on a processor. Runs the program under test and each baseline in turn,
// warm, and prints the medians and the program's ratio to each baseline.
//
//   first_frame RUNS X Y -- PROGRAM [ARGS] -- BASELINE [ARGS] [-- BASELINE [ARGS]]...
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
  double ms = 0;
  double rss_mb = 0;
  double cpu_ms = 0;  // on a processor: what a loaded machine changes least
};

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

double CpuMs(pid_t pid) {
  std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
  double ns = 0;
  schedstat >> ns;
  return ns / 1e6;
}

unsigned long PixelAt(Display* display, Window window, int x, int y) {
  XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return ~0UL;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel;
}

constexpr unsigned long kUnknown = ~0UL - 1;

// The colour the pixel settles on: unchanged for a while after the window first drew.
unsigned long SettledPixel(Display* display, Window window, int x, int y) {
  unsigned long pixel = PixelAt(display, window, x, y);
  auto since = Clock::now();
  while (Clock::now() - since < std::chrono::milliseconds(300)) {
    usleep(5000);
    if (const unsigned long now = PixelAt(display, window, x, y); now != pixel) {
      pixel = now;
      since = Clock::now();
    }
  }
  return pixel;
}

// Paints the whole screen black. The server leaves what a destroyed window showed on the screen
// (the root is not redrawn), and a window mapped without a background of its own shows those
// pixels: the last run's window, drawn at the same place, would pass for the next one's frame.
void BlackenScreen(Display* display) {
  const Window root = DefaultRootWindow(display);
  const int screen = DefaultScreen(display);
  GC gc = XCreateGC(display, root, 0, nullptr);
  XSetForeground(display, gc, BlackPixel(display, screen));
  XSetSubwindowMode(display, gc, IncludeInferiors);
  XFillRectangle(display, root, gc, 0, 0, static_cast<unsigned>(DisplayWidth(display, screen)),
                 static_cast<unsigned>(DisplayHeight(display, screen)));
  XFreeGC(display, gc);
}

// One start of the program. The first frame is the moment the sampled pixel shows its settled
// colour: a window is mapped black (the server's root is), and a toolkit may have the server fill
// a background before it draws. With *settled unknown, the first change counts and the settled
// colour is learnt for the runs after.
bool RunOnce(Display* display, char** argv, int x, int y, unsigned long* settled, Sample* sample) {
  const Window root = DefaultRootWindow(display);
  BlackenScreen(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, True);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[0], argv);
    _exit(127);
  }
  Window mapped = 0;
  bool ok = false;
  while (Clock::now() - start < std::chrono::seconds(10)) {
    while (mapped == 0 && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && !event.xmap.override_redirect) mapped = event.xmap.window;
    }
    if (mapped != 0) {
      const unsigned long pixel = PixelAt(display, mapped, x, y);
      if (*settled == kUnknown ? pixel != 0 && pixel != ~0UL : pixel == *settled) {
        sample->ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        sample->rss_mb = ResidentKb(child) / 1024.0;
        sample->cpu_ms = CpuMs(child);
        if (*settled == kUnknown) *settled = SettledPixel(display, mapped, x, y);
        ok = true;
        break;
      }
    }
    usleep(200);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  XSelectInput(display, root, NoEventMask);
  return ok;
}

const char* FileName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr ? slash + 1 : path;
}

// Each figure's own median.
Sample Median(const std::vector<Sample>& samples) {
  auto median = [&](double Sample::*field) {
    std::vector<double> values;
    for (const Sample& s : samples) values.push_back(s.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
  };
  return {median(&Sample::ms), median(&Sample::rss_mb), median(&Sample::cpu_ms)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7 || std::strcmp(argv[4], "--") != 0) {
    std::fprintf(stderr,
                 "usage: first_frame RUNS X Y -- PROGRAM [ARGS] -- BASELINE [ARGS] [-- ...]\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const int x = std::atoi(argv[2]);
  const int y = std::atoi(argv[3]);
  // The program under test first, then each baseline, each closed by a null for execvp.
  std::vector<std::vector<char*>> commands;
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) {
      if (!commands.empty()) commands.back().push_back(nullptr);
      commands.emplace_back();
    } else {
      commands.back().push_back(argv[i]);
    }
  }
  commands.back().push_back(nullptr);
  for (const auto& command : commands) {
    if (command.size() < 2) return 2;
  }
  if (commands.size() < 2 || runs < 1) return 2;

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "first_frame: no display\n");
    return 1;
  }
  std::vector<std::vector<Sample>> samples(commands.size());
  std::vector<unsigned long> settled(commands.size(), kUnknown);
  for (int run = 0; run <= runs; ++run) {  // run 0 warms the caches
    for (std::size_t c = 0; c < commands.size(); ++c) {
      Sample sample;
      if (!RunOnce(display, commands[c].data(), x, y, &settled[c], &sample)) {
        std::fprintf(stderr, "first_frame: %s showed no frame\n", commands[c][0]);
        return 1;
      }
      if (run > 0) samples[c].push_back(sample);
    }
  }
  std::vector<Sample> medians;
  for (const auto& s : samples) medians.push_back(Median(s));
  const Sample& ours = medians[0];
  std::printf("first frame, median of %d warm runs; ratio: %s's figure over the baseline's\n", runs,
              FileName(commands[0][0]));
  std::printf("  %-40s %7s %7s %7s %9s %9s %9s\n", "", "ms", "MB", "cpu ms", "ratio ms", "ratio MB",
              "ratio cpu");
  for (std::size_t c = 0; c < commands.size(); ++c) {
    const Sample& m = medians[c];
    std::printf("  %-40s %7.1f %7.1f %7.1f", FileName(commands[c][0]), m.ms, m.rss_mb, m.cpu_ms);
    if (c > 0) {
      std::printf(" %9.2f %9.2f %9.2f", ours.ms / m.ms, ours.rss_mb / m.rss_mb,
                  ours.cpu_ms / m.cpu_ms);
    }
    std::printf("\n");
  }
  XCloseDisplay(display);
  return 0;
}
