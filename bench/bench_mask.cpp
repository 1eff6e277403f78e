// One keystroke in the masked date field, from the key event to the repainted dirty region,
// beside the same keystroke in a plain text field holding the same characters. Iterations are a
// digit and a Backspace: the date field goes "31.10.8_" -> "31.10.83" -> "31.10.8_" with its
// caret block on the last position, the plain field "31.10.8" -> "31.10.83" -> "31.10.8".

#include <benchmark/benchmark.h>

#include <cstdint>

#include "HeadlessForm.h"
#include "editors/MaskEdit.h"
#include "editors/TextEdit.h"

namespace {

using namespace orlit;

struct Window : HeadlessForm {
  Window() {
    date = Place(form->Create<TcxMaskEdit>(), {18, 52, 131, 79});
    date->Properties().SetEditMask("!99.99.00;1;_");
    date->SetText("31.10.8");
    plain = Place(form->Create<TcxTextEdit>(), {243, 52, 364, 79});
    plain->SetText("31.10.8");
    form->Show();
    app.ProcessMessages();
  }

  template <typename Edit>
  Edit* Place(Edit* edit, const TRect& bounds) {
    edit->SetParent(form);
    edit->SetBoundsRect(bounds);
    TFont& font = edit->Style().Font();
    font.SetName("MS Sans Serif");
    font.SetHeight(-13);
    font.SetStyle(fsBold);
    edit->Style().SetShadow(true);
    edit->StyleFocused().SetColor(clYellow);
    edit->StyleHot().SetColor(clLime);
    return edit;
  }

  TcxMaskEdit* date = nullptr;
  TcxTextEdit* plain = nullptr;
};

void TypeAndErase(benchmark::State& state, Window& window, TcxCustomTextEdit* field, int caret) {
  field->SetFocus();
  window.app.ProcessMessages();
  field->SetSelStart(caret);
  window.app.ProcessMessages();
  std::int64_t pixels = 0;
  for (auto _ : state) {
    window.Keystroke('3');
    pixels += window.DirtyPixels();
    window.Keystroke(VK_BACK);
    pixels += window.DirtyPixels();
  }
  SetKeystrokeCounter(state);
  state.counters["dirty_px"] =
      static_cast<double>(pixels) / (static_cast<double>(state.iterations()) * 2);
}

void BM_PlainFieldKeystroke(benchmark::State& state) {
  Window window;
  TypeAndErase(state, window, window.plain, 7);
  if (window.plain->Text() != "31.10.8") state.SkipWithError("the field lost its text");
}
BENCHMARK(BM_PlainFieldKeystroke);

void BM_MaskedFieldKeystroke(benchmark::State& state) {
  Window window;
  TypeAndErase(state, window, window.date, 7);
  if (window.date->DisplayText() != "31.10.8_") state.SkipWithError("the field lost its text");
}
BENCHMARK(BM_MaskedFieldKeystroke);

}  // namespace
