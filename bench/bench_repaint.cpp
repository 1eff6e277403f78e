// A full repaint of the calculator's window, shown on the headless desktop (every control
// painted into the frame, then presented), beside a memset of a surface of the same size.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/Unit1.h"
#include "framework/Application.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

void BM_WindowFullRepaint(benchmark::State& state) {
  const LookAndFeelModule look_and_feel;
  HeadlessWindowSystem desktop;
  TApplication application(desktop, "/opt/orlit/orlit_cfs");
  RegisterUnit1Classes();
  application.CreateForm(Form1);
  Form1->Show();
  application.ProcessMessages();
  for (auto _ : state) {
    Form1->Invalidate();
    application.ProcessMessages();
  }
  state.counters["pixels"] = Form1->Width() * Form1->Height();
  Form1 = nullptr;
}

void BM_MemsetSameSurface(benchmark::State& state) {
  std::vector<std::uint32_t> surface(567 * 501);
  int value = 0;
  for (auto _ : state) {
    std::memset(surface.data(), ++value & 0xFF, surface.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(surface.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_WindowFullRepaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemsetSameSurface)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orlit
