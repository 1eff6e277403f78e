// Repainting after a state change against repainting the whole window, in one run: the dirty
// region keeps a caption change to the label's own rectangle.
#include <benchmark/benchmark.h>

#include <string>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

// A window of the program's size with a title bar and a few dozen controls on it.
class BusyForm : public TForm {
 public:
  BusyForm() {
    SetBounds(0, 0, 567, 501);
    auto* bar = Create<TPanel>();
    bar->SetParent(this);
    bar->SetBounds(0, 0, 567, 31);
    bar->SetAlign(alTop);
    bar->SetBevelOuter(bvNone);
    auto* strip = Create<TImage>();
    strip->SetParent(bar);
    strip->SetAlign(alClient);
    strip->SetStretch(true);
    auto picture = std::make_unique<TBitmap>();
    picture->SetPixels(PixelImage(1220, 30, 0x808080));
    strip->Picture().SetGraphic(std::move(picture));
    title = Create<TLabel>();
    title->SetParent(bar);
    title->SetBounds(8, 8, 10, 10);
    title->SetTransparent(true);
    for (int i = 0; i < 12; ++i) {
      auto* panel = Create<TPanel>();
      panel->SetParent(this);
      panel->SetBounds(10 + (i % 4) * 135, 50 + (i / 4) * 100, 125, 80);
      panel->SetCaption("panel " + std::to_string(i));
      auto* label = Create<TLabel>();
      label->SetParent(panel);
      label->SetBounds(5, 5, 10, 10);
      label->SetCaption("label " + std::to_string(i));
    }
    status = Create<TLabel>();
    status->SetParent(this);
    status->SetBounds(232, 460, 125, 13);
    status->SetCaption("CFS= Concediu Fara Salar");
  }
  TLabel* title;
  TLabel* status;
};

struct Setup {
  Setup() : app(desktop, "orlit_cfs") {
    app.CreateForm(form);
    form->Show();
    app.ProcessMessages();
  }
  HeadlessWindowSystem desktop;
  TApplication app;
  BusyForm* form = nullptr;
};

void BM_RepaintAfterCaptionChange(benchmark::State& state) {
  Setup setup;
  bool odd = false;
  for (auto _ : state) {
    setup.form->status->SetCaption(odd ? "CFS= Concediu Fara Salar" : "CFS= Concediu fara salar");
    odd = !odd;
    setup.form->PaintDirty();
  }
}
BENCHMARK(BM_RepaintAfterCaptionChange);

void BM_RepaintWholeWindow(benchmark::State& state) {
  Setup setup;
  for (auto _ : state) {
    setup.form->Invalidate();
    setup.form->PaintDirty();
  }
}
BENCHMARK(BM_RepaintWholeWindow);

// What hot tracking does every 10 ms: find the control under the pointer.
void BM_FindControlUnderThePointer(benchmark::State& state) {
  Setup setup;
  const TPoint point = setup.form->ClientToScreen({300, 200});
  for (auto _ : state) benchmark::DoNotOptimize(setup.app.FindControl(point));
}
BENCHMARK(BM_FindControlUnderThePointer);

// One keystroke from the window system's event to the focused control's handler.
void BM_KeyStrokeDispatch(benchmark::State& state) {
  Setup setup;
  int keys = 0;
  setup.form->OnKeyPress = [&keys](TObject*, char32_t&) { ++keys; };
  for (auto _ : state) {
    setup.desktop.PressKey('A');
    setup.app.ProcessMessages();
  }
  state.counters["handled"] = benchmark::Counter(keys, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KeyStrokeDispatch);

}  // namespace
}  // namespace orlit
