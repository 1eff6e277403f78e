#include "editors/EditAccessible.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "convert/Utf8.h"
#include "editors/GroupBox.h"
#include "editors/ImageEdit.h"
#include "editors/LabelEdit.h"
#include "editors/MemoEdit.h"
#include "editors/TextEdit.h"
#include "framework/AccessibleModel.h"
#include "framework/Application.h"
#include "framework/Form.h"

namespace orlit {

namespace {

// Our text breaks lines with "\r\n"; assistive technology counts "\n" alone.
std::string WithoutCarriageReturns(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

// The editor's character offset of an offset in the text without carriage returns, and back.
int EditorOffset(const std::string& text, int offset) {
  int editor = 0;
  int seen = 0;
  for (std::size_t pos = 0; pos < text.size() && seen < offset; ++editor) {
    if (NextCodePoint(text, pos) != U'\r') ++seen;
  }
  return editor;
}

int SpokenOffset(const std::string& text, int offset) {
  int editor = 0;
  int spoken = 0;
  for (std::size_t pos = 0; pos < text.size() && editor < offset; ++editor) {
    if (NextCodePoint(text, pos) != U'\r') ++spoken;
  }
  return spoken;
}

TCustomForm* FormOf(TControl& control) {
  TControl* at = &control;
  while (at->Parent() != nullptr) at = at->Parent();
  return dynamic_cast<TCustomForm*>(at);
}

// A text editor or memo: an entry or multi-line text whose edits go the way typing goes.
class TextEditAccessible final : public TAccessibleControl, public AccessibleText {
 public:
  explicit TextEditAccessible(TcxCustomTextEdit& edit) : TAccessibleControl(edit), edit_(edit) {}

  AccessibleText* Text() override { return this; }
  bool HidesChildren() const override { return true; }

  AccessibleStates States() const override {
    AccessibleStates states = TAccessibleControl::States();
    states |= Multiline() ? kStateMultiLine : kStateSingleLine;
    states |= edit_.Properties().ReadOnly() ? kStateReadOnly : kStateEditable;
    return states;
  }

  std::string Contents() const override { return WithoutCarriageReturns(edit_.Text()); }
  int CaretOffset() const override {
    const int end = edit_.SelStart() + edit_.SelLength();
    return SpokenOffset(edit_.Text(), end);
  }
  void SetCaretOffset(int offset) override { SetSelection(offset, offset); }
  std::pair<int, int> Selection() const override {
    const std::string text = edit_.Text();
    return {SpokenOffset(text, edit_.SelStart()),
            SpokenOffset(text, edit_.SelStart() + edit_.SelLength())};
  }
  void SetSelection(int start, int end) override {
    Request([start, end](TextEditAccessible& self) { self.Select(start, end); });
  }
  TRect CharacterExtents(int offset) const override {
    const std::string text = edit_.Text();
    if (offset < 0 || offset >= SpokenOffset(text, static_cast<int>(text.size()))) return {};
    InnerEditAccess& inner = edit_.Inner();
    const int index = EditorOffset(text, offset);
    const TPoint at = inner.PosFromChar(index);
    const TPoint next = inner.PosFromChar(index + 1);
    const int height = inner.LineHeight();
    // The last character of a row (a line break included) is given half a row's width.
    const int right = next.Y == at.Y && next.X > at.X ? next.X : at.X + std::max(1, height / 2);
    const TRect box{at.X, at.Y, right, at.Y + height};
    const TWinControl& control = inner.Control();
    if (box.Intersect({0, 0, control.ClientWidth(), control.ClientHeight()}).IsEmpty()) return {};
    const TPoint origin = control.ClientToScreen({0, 0});
    return box.Offset(origin.X, origin.Y);
  }
  int OffsetAtPoint(TPoint point) const override {
    const TPoint origin = edit_.Inner().Control().ClientToScreen({0, 0});
    const int boundary = edit_.Inner().CharFromPos({point.X - origin.X, point.Y - origin.Y});
    // The nearest boundary starts the character under the point or ends it.
    const int after = SpokenOffset(edit_.Text(), boundary);
    for (const int offset : {after, after - 1}) {
      if (CharacterExtents(offset).Contains(point)) return offset;
    }
    return -1;
  }

  bool Editable() const override { return !edit_.Properties().ReadOnly(); }
  void SetContents(const std::string& text) override {
    Request([text](TextEditAccessible& self) {
      self.edit_.SelectAll();
      if (text.empty()) {
        self.PressKey(VK_DELETE);
      } else {
        self.Type(text);
      }
    });
  }
  void Insert(int offset, const std::string& text) override {
    Request([offset, text](TextEditAccessible& self) {
      self.Select(offset, offset);
      self.Type(text);
    });
  }
  void Delete(int start, int end) override {
    Request([start, end](TextEditAccessible& self) {
      self.Select(start, end);
      self.PressKey(VK_DELETE);
    });
  }
  void Copy(int start, int end) override {
    Request([start, end](TextEditAccessible& self) {
      self.Select(start, end);
      self.edit_.CopyToClipboard();
    });
  }
  void Cut(int start, int end) override {
    Request([start, end](TextEditAccessible& self) {
      self.Select(start, end);
      self.edit_.CutToClipboard();
    });
  }
  void Paste(int offset) override {
    Request([offset](TextEditAccessible& self) {
      self.Select(offset, offset);
      self.edit_.PasteFromClipboard();
    });
  }

 protected:
  AccessibleRole DefaultRole() const override {
    return Multiline() ? AccessibleRole::kText : AccessibleRole::kEntry;
  }

 private:
  bool Multiline() const { return dynamic_cast<const TcxCustomMemo*>(&edit_) != nullptr; }

  // Edits run from the program's loop, on the focused field, as the user's own would.
  template <typename Work>
  void Request(Work work) {
    if (Application == nullptr) return;
    TcxCustomTextEdit* edit = &edit_;
    Application->Post([edit, work] {
      AccessibleModel& model = AccessibleModel::Instance();
      if (!model.Knows(*edit)) return;
      auto& self = static_cast<TextEditAccessible&>(model.NodeOf(*edit));
      if (edit->CanFocus() && !edit->Focused()) edit->SetFocus();
      work(self);
    });
  }
  void Select(int start, int end) {
    const std::string text = edit_.Text();
    const int from = EditorOffset(text, std::min(start, end));
    const int to = EditorOffset(text, std::max(start, end));
    edit_.SetSelStart(from);
    edit_.SetSelLength(to - from);
  }
  void Send(Event event) {
    TCustomForm* form = FormOf(edit_);
    if (form == nullptr || form->Window() == nullptr) return;
    event.window = form->Window()->Id();
    form->HandleEvent(event);
  }
  void PressKey(int key) {
    Event event;
    event.type = EventType::kKeyDown;
    event.key = key;
    Send(event);
    event.type = EventType::kKeyUp;
    Send(event);
  }
  void Type(const std::string& text) {
    for (char32_t c : ToCodePoints(text)) {
      Event event;
      event.type = EventType::kCharacter;
      event.character = c == U'\n' ? U'\r' : c;
      Send(event);
    }
  }

  TcxCustomTextEdit& edit_;
};

class LabelAccessible final : public TAccessibleControl {
 public:
  explicit LabelAccessible(TcxCustomLabel& label) : TAccessibleControl(label), label_(label) {}

 protected:
  AccessibleRole DefaultRole() const override { return AccessibleRole::kLabel; }
  std::string OwnName() const override { return SpokenCaption(label_.DisplayText()); }

 private:
  TcxCustomLabel& label_;
};

class GroupBoxAccessible final : public TAccessibleControl {
 public:
  using TAccessibleControl::TAccessibleControl;

 protected:
  AccessibleRole DefaultRole() const override { return AccessibleRole::kPanel; }
  std::string OwnName() const override { return SpokenCaption(Control().Caption()); }
};

class ImageAccessible final : public TAccessibleControl {
 public:
  using TAccessibleControl::TAccessibleControl;

 protected:
  AccessibleRole DefaultRole() const override { return AccessibleRole::kImage; }
};

}  // namespace

void RegisterEditorAccessibles() {
  static const bool registered = [] {
    AccessibleModel::Instance().AddFactory(
        [](TControl& control) -> std::unique_ptr<TAccessibleControl> {
          if (auto* edit = dynamic_cast<TcxCustomTextEdit*>(&control)) {
            return std::make_unique<TextEditAccessible>(*edit);
          }
          if (auto* label = dynamic_cast<TcxCustomLabel*>(&control)) {
            return std::make_unique<LabelAccessible>(*label);
          }
          if (dynamic_cast<TcxCustomGroupBox*>(&control) != nullptr) {
            return std::make_unique<GroupBoxAccessible>(control);
          }
          if (dynamic_cast<TcxCustomImage*>(&control) != nullptr) {
            return std::make_unique<ImageAccessible>(control);
          }
          return nullptr;
        });
    return true;
  }();
  (void)registered;
}

}  // namespace orlit
