// The memo's line list and keys under arbitrary sequences: whatever the operations and texts,
// nothing crashes, the lines, the inner memo's text and the edit value agree, and the caret
// stays inside the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "editors/InnerMemo.h"
#include "editors/MemoEdit.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/VirtualKeys.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace {

using namespace orlit;

void Check(bool condition) {
  if (!condition) std::abort();
}

struct Harness {
  Harness() : app(desktop, "/opt/orlit/orlit_cfs") {
    app.CreateForm(form);
    form->SetBounds(0, 0, 400, 300);
    memo = form->Create<TcxMemo>();
    memo->SetParent(form);
    memo->SetBounds(10, 10, 120, 80);
    form->Show();
    app.ProcessMessages();
  }
  HeadlessWindowSystem desktop;
  TApplication app;
  TForm* form = nullptr;
  TcxMemo* memo = nullptr;
};

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  int Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // A length byte, then that many bytes (arbitrary, so malformed UTF-8, NUL and lone breaks).
  std::string Text() {
    const int length = Byte() % 48;
    std::string text;
    for (int i = 0; i < length && !Empty(); ++i) text.push_back(static_cast<char>(Byte()));
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

constexpr int kKeys[] = {VK_LEFT, VK_RIGHT,  VK_UP,   VK_DOWN,   VK_HOME,  VK_END, VK_PRIOR,
                         VK_NEXT, VK_DELETE, VK_BACK, VK_RETURN, VK_TAB,   'A',    'C',
                         'V',     'X',       'Z',     'Q',       VK_INSERT};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Harness& h = *new Harness;
  TcxMemo& memo = *h.memo;
  TStrings& lines = memo.Lines();
  Input in(data, size);
  const int setup = in.Byte();
  memo.Properties().SetReadOnly((setup & 1) != 0);
  memo.Properties().SetWordWrap((setup & 2) != 0);
  memo.Properties().SetWantTabs((setup & 4) != 0);
  memo.Properties().SetScrollBars(static_cast<TScrollStyle>((setup >> 3) & 3));
  lines.Clear();
  memo.SetFocus();
  while (!in.Empty()) {
    const int op = in.Byte() % 10;
    const int index = in.Byte() % 12 - 1;
    switch (op) {
      case 0:
        lines.Add(in.Text());
        break;
      case 1:
        lines.Insert(index, in.Text());
        break;
      case 2:
        lines.SetStrings(index, in.Text());
        break;
      case 3:
        lines.Delete(index);
        break;
      case 4:
        lines.SetText(in.Text());
        break;
      case 5: {
        const int key = kKeys[static_cast<std::size_t>(in.Byte()) % std::size(kKeys)];
        const int shift = in.Byte();
        h.desktop.PressKey(key, static_cast<ShiftState>(shift & (ssShift | ssCtrl)));
        break;
      }
      case 6:
        h.desktop.TypeText(in.Text());
        break;
      case 7:
        h.desktop.SetClipboardText(in.Text());
        break;
      case 8:
        memo.InnerMemo().SetSelection(in.Byte() * 3 - 20, in.Byte() * 3 - 20);
        break;
      default:
        h.app.ProcessMessages();
        break;
    }
    h.app.ProcessMessages();
    const TcxCustomInnerMemo& inner = memo.InnerMemo();
    const std::string text = inner.Text();
    Check(lines.Text() == text);
    Check(VarToStr(memo.EditValue()) == text);
    Check(lines.Count() >= 0 && inner.CaretIndex() >= 0 &&
          inner.CaretIndex() <= inner.GetTextLen());
    Check(static_cast<int>(text.size()) >= inner.GetTextLen());
  }
  return 0;
}
