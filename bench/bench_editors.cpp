// The editor layer's costs, each beside a baseline measured in the same run:
//
// - One keystroke in a text editor, from the key event to the repainted dirty region, against the
//   same keystroke in the bare native edit (what the editor's key path, change tracking and
//   events add) and against a keystroke followed by a repaint of the whole window.
// - A hover state change: the pixels it invalidates, for a field whose hot style only changes the
//   border (the border area alone is repainted), for the window's lime field (the inner edit
//   repaints itself for its new colour), against the pixels of the whole field.
//
// Keystroke iterations are a letter and a Backspace, so the field keeps its text; the
// "keystroke" counter is the time of one of them.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "HeadlessForm.h"
#include "editors/InnerTextEdit.h"
#include "editors/TextEdit.h"
#include "framework/Application.h"
#include "framework/CustomEdit.h"
#include "framework/Form.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace {

using namespace orlit;

constexpr const char* kFieldText = "24.5";

// The calculator's five text fields on a shown window, the working-days one focused.
struct Window : HeadlessForm {
  Window() {
    const TRect places[] = {{243, 52, 364, 79},
                            {395, 52, 516, 79},
                            {387, 132, 508, 167},
                            {352, 256, 425, 283},
                            {368, 304, 441, 331}};
    for (int i = 0; i < 5; ++i) {
      TcxTextEdit* edit = form->Create<TcxTextEdit>();
      edit->SetParent(form);
      edit->SetBoundsRect(places[i]);
      TFont& font = edit->Style().Font();
      font.SetName("MS Sans Serif");
      font.SetHeight(i == 2 ? -19 : -13);
      font.SetStyle(fsBold);
      edit->Style().SetShadow(true);
      edit->StyleFocused().SetColor(clYellow);
      edit->StyleHot().SetColor(clLime);
      edit->SetTabOrder(i);
      fields[i] = edit;
    }
    native = form->Create<TEdit>();
    native->SetParent(form);
    native->SetBounds(32, 96, 121, 18);
    native->Font().Assign(fields[1]->Style().Font());
    native->SetText(kFieldText);
    fields[1]->SetText(kFieldText);
    form->Show();
    app.ProcessMessages();
  }

  void Focus(TWinControl* control) {
    control->SetFocus();
    app.ProcessMessages();
  }

  // Moves the mouse and handles the move without painting; answers the invalidated area.
  std::int64_t HoverTo(TPoint screen) {
    desktop.MoveMouse(screen);
    while (desktop.QueuedEvents() > 0) app.HandleMessage();
    std::int64_t pixels = 0;
    for (const TRect& rect : form->Dirty().Rects()) {
      pixels += static_cast<std::int64_t>(rect.Width()) * rect.Height();
    }
    form->PaintDirty();
    return pixels;
  }

  TcxTextEdit* fields[5] = {};
  TEdit* native = nullptr;
};

void TypeAndErase(benchmark::State& state, Window& window, TWinControl* target, bool whole_window) {
  window.Focus(target);
  window.Keystroke(VK_END);
  std::int64_t pixels = 0;
  for (auto _ : state) {
    window.Keystroke('7', whole_window);
    pixels += window.DirtyPixels();
    window.Keystroke(VK_BACK, whole_window);
    pixels += window.DirtyPixels();
  }
  SetKeystrokeCounter(state);
  state.counters["dirty_px"] =
      static_cast<double>(pixels) / (static_cast<double>(state.iterations()) * 2);
}

void BM_NativeEditKeystroke(benchmark::State& state) {
  Window window;
  TypeAndErase(state, window, window.native, false);
  if (window.native->Text() != kFieldText) state.SkipWithError("the edit lost its text");
}
BENCHMARK(BM_NativeEditKeystroke);

void BM_EditorKeystrokeToDirtyRepaint(benchmark::State& state) {
  Window window;
  TypeAndErase(state, window, window.fields[1], false);
  if (window.fields[1]->Text() != kFieldText) state.SkipWithError("the field lost its text");
}
BENCHMARK(BM_EditorKeystrokeToDirtyRepaint);

void BM_EditorKeystrokeThenWholeWindowRepaint(benchmark::State& state) {
  Window window;
  TypeAndErase(state, window, window.fields[1], true);
}
BENCHMARK(BM_EditorKeystrokeThenWholeWindowRepaint);

// In and out of one unfocused field: two state changes an iteration.
void Hover(benchmark::State& state, bool border_only) {
  Window window;
  TcxTextEdit* field = window.fields[4];
  if (border_only) field->StyleHot().SetAssignedValues({});
  const TPoint inside = field->ClientToScreen({30, 10});
  const TPoint outside = window.form->ClientToScreen({5, 480});
  std::int64_t pixels = 0;
  for (auto _ : state) {
    pixels += window.HoverTo(inside);
    pixels += window.HoverTo(outside);
  }
  state.counters["invalidated_px"] =
      static_cast<double>(pixels) / (static_cast<double>(state.iterations()) * 2);
  state.counters["field_px"] = static_cast<double>(field->Width() * field->Height());
}

void BM_HoverBorderOnly(benchmark::State& state) { Hover(state, true); }
BENCHMARK(BM_HoverBorderOnly);

void BM_HoverLimeField(benchmark::State& state) { Hover(state, false); }
BENCHMARK(BM_HoverLimeField);

// The baseline: the whole field invalidated and repainted for each change.
void BM_HoverWholeFieldRepaint(benchmark::State& state) {
  Window window;
  TcxTextEdit* field = window.fields[4];
  std::int64_t pixels = 0;
  for (auto _ : state) {
    for (int i = 0; i < 2; ++i) {
      field->Invalidate();
      for (const TRect& rect : window.form->Dirty().Rects()) {
        pixels += static_cast<std::int64_t>(rect.Width()) * rect.Height();
      }
      window.form->PaintDirty();
    }
  }
  state.counters["invalidated_px"] =
      static_cast<double>(pixels) / (static_cast<double>(state.iterations()) * 2);
}
BENCHMARK(BM_HoverWholeFieldRepaint);

}  // namespace
