// Time from process start to the first frame on screen, and resident memory at that moment, for
// any program that opens one window: starts it, watches the X server for its window to be mapped
// and then for a chosen pixel to leave the colour it was mapped with, and reads the child's
// VmRSS. Runs the program under test and a baseline alternately, warm, and prints medians.
//
//   first_frame RUNS X Y -- PROGRAM [ARGS] -- BASELINE [ARGS]
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
  long rss_kb = 0;
};

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

unsigned long PixelAt(Display* display, Window window, int x, int y) {
  XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return ~0UL;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return pixel;
}

bool RunOnce(Display* display, char** argv, int x, int y, Sample* sample) {
  const Window root = DefaultRootWindow(display);
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
      // A window is mapped black; the first frame is the first present after that.
      if (PixelAt(display, mapped, x, y) != 0) {
        sample->ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        sample->rss_kb = ResidentKb(child);
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

Sample Median(std::vector<Sample> samples) {
  auto by_ms = [](const Sample& a, const Sample& b) { return a.ms < b.ms; };
  std::sort(samples.begin(), samples.end(), by_ms);
  Sample median = samples[samples.size() / 2];
  std::vector<long> rss;
  for (const Sample& s : samples) rss.push_back(s.rss_kb);
  std::sort(rss.begin(), rss.end());
  median.rss_kb = rss[rss.size() / 2];
  return median;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7 || std::strcmp(argv[4], "--") != 0) {
    std::fprintf(stderr, "usage: first_frame RUNS X Y -- PROGRAM [ARGS] -- BASELINE [ARGS]\n");
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  const int x = std::atoi(argv[2]);
  const int y = std::atoi(argv[3]);
  std::vector<char*> program, baseline;
  int i = 5;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) program.push_back(argv[i]);
  for (++i; i < argc; ++i) baseline.push_back(argv[i]);
  program.push_back(nullptr);
  baseline.push_back(nullptr);
  if (program.size() < 2 || baseline.size() < 2 || runs < 1) return 2;

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "first_frame: no display\n");
    return 1;
  }
  std::vector<Sample> ours, base;
  for (int run = 0; run <= runs; ++run) {  // run 0 warms the caches
    Sample a, b;
    if (!RunOnce(display, program.data(), x, y, &a) ||
        !RunOnce(display, baseline.data(), x, y, &b)) {
      std::fprintf(stderr, "first_frame: a run showed no frame\n");
      return 1;
    }
    if (run > 0) {
      ours.push_back(a);
      base.push_back(b);
    }
  }
  const Sample o = Median(ours), b = Median(base);
  std::printf("first frame, median of %d warm runs\n", runs);
  std::printf("  %-28s %7.1f ms %7.1f MB\n", program[0], o.ms, o.rss_kb / 1024.0);
  std::printf("  %-28s %7.1f ms %7.1f MB\n", baseline[0], b.ms, b.rss_kb / 1024.0);
  std::printf("  ratio                        %7.2f    %7.2f\n", o.ms / b.ms,
              static_cast<double>(o.rss_kb) / static_cast<double>(b.rss_kb));
  XCloseDisplay(display);
  return 0;
}
