#include "editors/MaskEdit.h"

#include "editors/InnerTextEdit.h"
#include "framework/Application.h"
#include "platform/VirtualKeys.h"

namespace orlit {

TcxCustomMaskEdit::TcxCustomMaskEdit()
    : TcxCustomMaskEdit(std::make_unique<TcxMaskEditProperties>()) {}

TcxCustomMaskEdit::TcxCustomMaskEdit(std::unique_ptr<TcxCustomMaskEditProperties> properties)
    : TcxCustomTextEdit(std::move(properties)) {
  mode_ = CreateMaskEditMode(Properties().MaskKind(), this);
  mode_->SetMask(Properties().EditMask());
}

TcxCustomMaskEdit::~TcxCustomMaskEdit() = default;

std::string TcxCustomMaskEdit::Text() const { return Properties().UnfocusedText(DisplayText()); }

void TcxCustomMaskEdit::SetSelStart(int start) {
  TcxCustomTextEdit::SetSelStart(start);
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::SetSelLength(int length) {
  TcxCustomTextEdit::SetSelLength(length);
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::EditorKeyDown(int& key, TShiftState shift) {
  if (!Properties().IsMasked()) {
    TcxCustomTextEdit::EditorKeyDown(key, shift);
    return;
  }
  if (IsModifyingKey(key, shift) && !KeystrokeMayEdit()) {
    key = 0;
    return;
  }
  if (key != VK_TAB) extending_selection_ = (shift & ssShift) != 0;
  const bool ctrl = (shift & ssCtrl) != 0;
  bool goes_on = true;
  switch (key) {
    case VK_UP:
    case VK_DOWN:
      goes_on = false;
      break;
    case VK_LEFT:
      // Ctrl+Left is Home for a mask: words mean nothing in it.
      goes_on = ctrl ? mode_->MoveHome() : mode_->MoveLeft();
      if (goes_on && ctrl) key = VK_HOME;
      break;
    case VK_RIGHT:
      goes_on = ctrl ? mode_->MoveEnd() : mode_->MoveRight();
      if (goes_on && ctrl) key = VK_END;
      break;
    case VK_DELETE:
      if ((shift & ssShift) == 0) {
        goes_on = mode_->BlankSelection();
      } else if (SelLength() == 0) {
        goes_on = mode_->DeleteBack();
      }
      break;
    case VK_HOME:
      goes_on = mode_->MoveHome();
      break;
    case VK_END:
      goes_on = mode_->MoveEnd();
      break;
    default:
      break;
  }
  if (!goes_on) {
    key = 0;
    mode_->ShowCaretBlock();
    return;
  }
  TcxCustomTextEdit::EditorKeyDown(key, shift);
}

void TcxCustomMaskEdit::EditorKeyPress(char32_t& key) {
  if (!Properties().IsMasked()) {
    TcxCustomTextEdit::EditorKeyPress(key);
    return;
  }
  if (key == kCharTab || key == kCharEscape) {
    key = 0;
    return;
  }
  TcxCustomTextEdit::EditorKeyPress(key);
  if (key == 0 || key == kCharEnter || key == kCharCtrlC || key == kCharCtrlV ||
      key == kCharCtrlX) {
    return;
  }
  const bool goes_on = key == kCharBackspace ? mode_->DeleteBack() : mode_->PressChar(key);
  if (goes_on) return;
  key = 0;
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::InnerCutToClipboard() {
  if (!IsStandardMasked()) {
    TcxCustomTextEdit::InnerCutToClipboard();
    return;
  }
  TCustomEdit& inner = InnerEdit();
  if (inner.ReadOnly() || inner.PasswordChar() != 0 || inner.SelLength() == 0) return;
  // Copied first: literals stay where they are, the fillable positions are blanked.
  inner.CopyToClipboard();
  mode_->BlankSelection();
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::InnerPasteFromClipboard() {
  if (!IsStandardMasked()) {
    TcxCustomTextEdit::InnerPasteFromClipboard();
    return;
  }
  TCustomEdit& inner = InnerEdit();
  if (inner.ReadOnly() || Application == nullptr) return;
  const std::u32string pasted =
      ToCodePoints(Application->Desktop().ClipboardText(), kMaxPastedChars);
  if (pasted.empty()) return;
  mode_->PasteStart(static_cast<int>(pasted.size()));
  std::u32string chars = inner.Model().Chars();
  chars.replace(static_cast<std::size_t>(inner.SelStart()),
                static_cast<std::size_t>(inner.SelLength()), pasted);
  inner.OverwriteByUser(mode_->PlaceText(std::move(chars), true));
  mode_->PasteEnd();
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::InnerCaretPlaced() { mode_->ShowCaretBlock(); }

void TcxCustomMaskEdit::ApplyProperties() {
  TcxCustomTextEdit::ApplyProperties();
  if (Properties().IsMasked()) InnerEdit().SetMaxLength(0);
}

void TcxCustomMaskEdit::DoEnter() {
  TcxCustomTextEdit::DoEnter();
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::ExitAccepted() {
  if (Properties().IsMasked()) SetDisplayText(Properties().MakeDisplayText(EditValue(), false));
}

void TcxCustomMaskEdit::ReformText() {
  if (!Properties().IsMasked()) return;
  if (ModifiedSinceEntry()) {
    SetDisplayText(ToUtf8(mode_->PlaceText(ToCodePoints(DisplayText()), true)));
  } else {
    SetDisplayText(Properties().MakeDisplayText(EditValue(), Focused()));
  }
  mode_->ShowCaretBlock();
}

void TcxCustomMaskEdit::PropertiesChanged(TcxCustomEditProperties* sender) {
  TcxCustomMaskEditProperties& properties = Properties();
  if (properties.IsMasked() && properties.MaxLength() != 0) {
    // Held at 0 while masked: the change comes back here once undone.
    properties.SetMaxLength(0);
    return;
  }
  if (mode_->Kind() != properties.MaskKind()) {
    mode_ = CreateMaskEditMode(properties.MaskKind(), this);
  }
  if (mode_->Mask() != properties.EditMask()) mode_->SetMask(properties.EditMask());
  TcxCustomTextEdit::PropertiesChanged(sender);
  ReformText();
}

}  // namespace orlit
