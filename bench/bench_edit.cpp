// One keystroke in a text field, from the key event to the repainted dirty region on the window,
// against the text model's own edit (the floor) and the same keystroke followed by a repaint of
// the whole window (what painting only the dirty region saves).
//
// Each iteration is two keystrokes, a letter and a Backspace, so the field keeps its text; the
// "keystroke" counter is the time of one of them.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "HeadlessForm.h"
#include "framework/Application.h"
#include "framework/CustomEdit.h"
#include "framework/EditText.h"
#include "framework/Form.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace {

using namespace orlit;

constexpr const char* kFieldText = "31.10.1983 ășâ";

// The window's text field: bold 13-pixel font, 145 pixels wide, focused on a shown form.
struct Field : HeadlessForm {
  Field() {
    edit = form->Create<TEdit>();
    edit->SetParent(form);
    edit->SetBounds(150, 120, 145, 21);
    edit->Font().SetHeight(-13);
    edit->Font().SetStyle(fsBold);
    edit->SetText(kFieldText);
    form->Show();
    edit->SetFocus();
    edit->SetSelStart(edit->GetTextLen());
    app.ProcessMessages();
  }

  TEdit* edit = nullptr;
};

void BM_ModelEditOnly(benchmark::State& state) {
  EditText text(kFieldText);
  text.MoveCaret(EditText::Move::kEnd, false);
  for (auto _ : state) {
    text.Type(U'a');
    text.DeleteBackward(false);
    benchmark::DoNotOptimize(text.Revision());
  }
  SetKeystrokeCounter(state);
}
BENCHMARK(BM_ModelEditOnly);

void BM_KeystrokeToDirtyRepaint(benchmark::State& state) {
  Field field;
  std::int64_t pixels = 0;
  for (auto _ : state) {
    field.Keystroke('A');
    pixels += field.DirtyPixels();
    field.Keystroke(VK_BACK);
    pixels += field.DirtyPixels();
  }
  if (field.edit->Text() != kFieldText) state.SkipWithError("the field lost its text");
  SetKeystrokeCounter(state);
  state.counters["dirty_px"] =
      static_cast<double>(pixels) / (static_cast<double>(state.iterations()) * 2);
}
BENCHMARK(BM_KeystrokeToDirtyRepaint);

void BM_KeystrokeThenWholeWindowRepaint(benchmark::State& state) {
  Field field;
  for (auto _ : state) {
    field.Keystroke('A', true);
    field.Keystroke(VK_BACK, true);
  }
  SetKeystrokeCounter(state);
}
BENCHMARK(BM_KeystrokeThenWholeWindowRepaint);

}  // namespace
