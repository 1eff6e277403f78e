// A full repaint of the calculator's window, shown on the headless desktop (every control
// painted into the frame, then presented), beside a memset of a surface of the same size, at
// device scales 1, 1.5 and 2 (the argument is the scale in quarters).

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/Unit1.h"
#include "framework/Application.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/PixelGrid.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

double ScaleOf(const benchmark::State& state) { return static_cast<double>(state.range(0)) / 4; }

void BM_WindowFullRepaint(benchmark::State& state) {
  const LookAndFeelModule look_and_feel;
  HeadlessWindowSystem desktop(HeadlessWindowSystem::kDefaultDesktopSize, ScaleOf(state));
  TApplication application(desktop, "/opt/orlit/orlit_cfs");
  RegisterUnit1Classes();
  application.CreateForm(Form1);
  Form1->Show();
  application.ProcessMessages();
  for (auto _ : state) {
    Form1->Invalidate();
    application.ProcessMessages();
  }
  state.counters["pixels"] = static_cast<double>(DeviceEdge(Form1->Width(), ScaleOf(state)) *
                                                 DeviceEdge(Form1->Height(), ScaleOf(state)));
  Form1 = nullptr;
}

void BM_MemsetSameSurface(benchmark::State& state) {
  std::vector<std::uint32_t> surface(
      static_cast<std::size_t>(DeviceEdge(567, ScaleOf(state)) * DeviceEdge(501, ScaleOf(state))));
  int value = 0;
  for (auto _ : state) {
    std::memset(surface.data(), ++value & 0xFF, surface.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(surface.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_WindowFullRepaint)->Arg(4)->Arg(6)->Arg(8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemsetSameSurface)->Arg(4)->Arg(6)->Arg(8)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orlit
