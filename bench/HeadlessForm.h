#pragma once

// A shown 567 x 501 form on the headless desktop, for benchmarks that measure what input costs
// to repaint.

#include <benchmark/benchmark.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {

struct HeadlessForm {
  HeadlessForm() : app(desktop, "/opt/orlit/orlit_cfs") {
    app.CreateForm(form);
    form->SetBounds(100, 100, 567, 501);
  }

  // One key through the window system; with `whole_window` the whole form is repainted too.
  void Keystroke(int key, bool whole_window = false) {
    desktop.PressKey(key);
    if (whole_window) form->Invalidate();
    app.ProcessMessages();
  }

  // The area of the last present.
  int DirtyPixels() {
    const TRect dirty = desktop.Window(form->Window()->Id())->last_dirty;
    return dirty.Width() * dirty.Height();
  }

  HeadlessWindowSystem desktop;
  TApplication app;
  TForm* form = nullptr;
};

// Iterations are a letter and a Backspace, so the field keeps its text; "keystroke" is the time
// of one of them.
inline void SetKeystrokeCounter(benchmark::State& state) {
  state.counters["keystroke"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace orlit
