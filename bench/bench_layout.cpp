// The calculator's window built from its layout (the reader, every component it creates and
// sets, the pictures it decodes, loading and OnCreate), beside an empty form created and freed
// the same way.

#include <benchmark/benchmark.h>

#include "app/Unit1.h"
#include "framework/Application.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

template <typename Form>
void CreateAndFree(benchmark::State& state) {
  const LookAndFeelModule look_and_feel;
  HeadlessWindowSystem desktop;
  TApplication application(desktop, "/opt/orlit/orlit_cfs");
  RegisterUnit1Classes();  // once per process, outside the measurement
  for (auto _ : state) {
    Form* form = nullptr;
    application.CreateForm(form);
    benchmark::DoNotOptimize(form);
    application.RemoveComponent(form);  // frees it
  }
}

void BM_WindowFromLayout(benchmark::State& state) { CreateAndFree<TForm1>(state); }
void BM_EmptyForm(benchmark::State& state) { CreateAndFree<TForm>(state); }

BENCHMARK(BM_WindowFromLayout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmptyForm)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orlit
