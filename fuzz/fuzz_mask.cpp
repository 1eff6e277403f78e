// Masks made of arbitrary bytes, played with arbitrary keys, pastes, cuts and caret placements
// in a focused masked field on the headless desktop: no fault, and after every step the text
// shown has exactly as many characters as the mask has positions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "editors/InnerTextEdit.h"
#include "editors/MaskEdit.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace {

using namespace orlit;

struct Harness {
  Harness() : app(desktop, "/opt/orlit/orlit_cfs") {
    app.CreateForm(form);
    form->SetBounds(0, 0, 300, 100);
    field = form->Create<TcxMaskEdit>();
    field->SetParent(form);
    field->SetBounds(10, 10, 200, 27);
    form->Show();
    app.ProcessMessages();
    // A box would wait for an answer; the field gives none without Enter or Tab, but a fault
    // that raises one should end the run rather than hang it.
    desktop.SetIdleHandler([] { std::abort(); });
  }

  HeadlessWindowSystem desktop;
  TApplication app;
  TForm* form = nullptr;
  TcxMaskEdit* field = nullptr;
};

// Lives as long as the process: one desktop for every input.
Harness& TheHarness() {
  static Harness& harness = *new Harness;
  return harness;
}

void CheckShape(const TcxMaskEdit& field) {
  const auto& mode = static_cast<const TcxMaskEditStandardMode&>(field.Mode());
  if (!field.Properties().IsMasked()) return;
  if (field.InnerEdit().GetTextLen() != mode.StandardMask().Count()) std::abort();
}

}  // namespace

// The desktop, the fonts and the libraries' own caches are made before the first input, so that
// what they keep for the process is not taken for a leak of one input.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  Harness& h = TheHarness();
  h.field->Properties().SetEditMask("!99.99.00;1;_");
  h.desktop.TypeText("31108\xC3\xA4");
  h.app.ProcessMessages();
  h.form->RenderImage();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Harness& h = TheHarness();
  std::size_t at = 0;
  auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
  // The wanted length is read before what is left is counted: reading moves `at`.
  const std::size_t wanted_mask = next() % 48;
  const std::size_t mask_length = std::min(wanted_mask, size - at);
  const std::string mask(reinterpret_cast<const char*>(data + at), mask_length);
  at += mask_length;

  h.field->Properties().SetEditMask(mask);
  h.field->SetText("");
  h.field->SetFocus();
  h.app.ProcessMessages();
  CheckShape(*h.field);

  constexpr std::pair<int, ShiftState> kKeys[] = {
      {VK_BACK, 0},       {VK_DELETE, 0},     {VK_DELETE, ssShift}, {VK_LEFT, 0},
      {VK_RIGHT, 0},      {VK_LEFT, ssShift}, {VK_RIGHT, ssShift},  {VK_HOME, 0},
      {VK_END, 0},        {VK_LEFT, ssCtrl},  {VK_RIGHT, ssCtrl},   {VK_UP, 0},
      {'V', ssCtrl},      {'X', ssCtrl},      {'C', ssCtrl},        {VK_INSERT, ssShift},
      {VK_HOME, ssShift}, {VK_ESCAPE, 0},     {'Z', ssCtrl},        {VK_END, ssShift},
  };
  constexpr int kKeyCount = static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0]));
  while (at < size) {
    const std::uint8_t op = next();
    switch (op % 4) {
      case 0: {  // a character
        const char typed[2] = {static_cast<char>(next()), '\0'};
        // Enter and Tab would validate and leave, which is not what is played here.
        if (typed[0] == '\r' || typed[0] == '\n' || typed[0] == '\t') break;
        h.desktop.TypeText(typed[0] & 0x80 ? "\xC3\xA4" : typed);
        break;
      }
      case 1: {
        const auto& [key, shift] = kKeys[(op / 4) % kKeyCount];
        h.desktop.PressKey(key, shift);
        break;
      }
      case 2: {  // the clipboard's text
        const std::size_t wanted = next() % 16;
        const std::size_t length = std::min(wanted, size - at);
        h.desktop.SetClipboardText(std::string(reinterpret_cast<const char*>(data + at), length));
        at += length;
        break;
      }
      default:  // the caret or a selection, as the mouse or code would place it
        h.field->SetSelStart(next() % 64);
        if (op & 0x80) h.field->SetSelLength(next() % 64);
        break;
    }
    h.app.ProcessMessages();
    CheckShape(*h.field);
  }
  return 0;
}
