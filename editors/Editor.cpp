#include "editors/Editor.h"

#include <exception>

#include "convert/Exceptions.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/VirtualKeys.h"

namespace orlit {

TcxCustomEdit::TcxCustomEdit(std::unique_ptr<TcxCustomEditProperties> properties,
                             ContainerStyleKind kind)
    : TcxContainer(kind), properties_(std::move(properties)) {
  properties_->AddListener(this);
  SetTabStop(true);
}

TcxCustomEdit::~TcxCustomEdit() { properties_->RemoveListener(this); }

TcxCustomEditViewData& TcxCustomEdit::ViewData() const {
  if (view_data_ == nullptr) view_data_ = CreateViewData();
  return *view_data_;
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomEdit::CreateViewData() const {
  return std::make_unique<TcxCustomEditViewData>(*properties_);
}

void TcxCustomEdit::SetEditValue(const Variant& value) {
  SetDisplayText(properties_->MakeDisplayText(value, Focused()));
  InternalSetEditValue(value);
  SetModifiedSinceEntry(false);
}

void TcxCustomEdit::SetText(const std::string& text) {
  SetEditValue(properties_->MakeEditValue(text, Focused()));
}

void TcxCustomEdit::SetDisplayText(const std::string& text) {
  ++display_change_lock_;
  try {
    InternalSetDisplayText(text);
  } catch (...) {
    --display_change_lock_;
    throw;
  }
  --display_change_lock_;
}

void TcxCustomEdit::SetModifiedSinceEntry(bool modified) {
  modified_since_entry_ = modified;
  if (modified) input_validated_ = false;
}

const Variant& TcxCustomEdit::EditValue() const {
  if (edit_value_stale_) {
    edit_value_ = properties_->MakeEditValue(DisplayText(), Focused());
    edit_value_stale_ = false;
  }
  return edit_value_;
}

void TcxCustomEdit::InternalSetEditValue(const Variant& value) {
  if (value == EditValue()) return;
  edit_value_ = value;
  DoEditValueChanged();
}

void TcxCustomEdit::InnerTextChanged(bool by_user) {
  const bool by_editor = display_change_lock_ > 0;
  if (by_user && !by_editor && Focused()) SetModifiedSinceEntry(true);
  DoChange();
  // The editor's own display changes come with their value; the others bring a new one.
  if (by_editor) return;
  if (DefersEditValue() && !properties_->OnEditValueChanged) {
    edit_value_stale_ = true;
  } else {
    InternalSetEditValue(properties_->MakeEditValue(DisplayText(), Focused()));
  }
}

void TcxCustomEdit::DoChange() {
  if (change_events_lock_ > 0) {
    change_pending_ = true;
    return;
  }
  if (properties_->OnChange) properties_->OnChange(this);
}

void TcxCustomEdit::DoEditValueChanged() {
  if (change_events_lock_ > 0) {
    edit_value_change_pending_ = true;
    return;
  }
  if (properties_->OnEditValueChanged) properties_->OnEditValueChanged(this);
}

void TcxCustomEdit::LockChangeEvents(bool lock) {
  if (lock) {
    ++change_events_lock_;
    return;
  }
  if (change_events_lock_ == 0 || --change_events_lock_ > 0) return;
  const bool change = change_pending_;
  const bool value_change = edit_value_change_pending_;
  change_pending_ = false;
  edit_value_change_pending_ = false;
  if (change) DoChange();
  if (value_change) DoEditValueChanged();
}

bool TcxCustomEdit::RequestEditing() {
  if (properties_->ReadOnly()) return false;
  bool can_edit = true;
  if (OnEditing) OnEditing(this, can_edit);
  return can_edit;
}

bool TcxCustomEdit::KeystrokeMayEdit() {
  if (modified_since_entry_) return true;
  if (!keystroke_editing_answer_) keystroke_editing_answer_ = RequestEditing();
  return *keystroke_editing_answer_;
}

bool TcxCustomEdit::IsModifyingKey(int key, TShiftState shift) {
  if (key == VK_BACK || key == VK_DELETE) return true;
  // Shift+Insert pastes, as Ctrl+V does.
  return key == VK_INSERT && (shift & ssShift) != 0 && (shift & ssCtrl) == 0;
}

bool TcxCustomEdit::IsModifyingChar(char32_t key) {
  return key == kCharBackspace || key == kCharCtrlV || key == kCharCtrlX || key == kCharCtrlZ ||
         key == kCharCtrlBackspace || key >= 32;
}

void TcxCustomEdit::KeyDown(int& key, TShiftState shift) {
  escape_consumed_ = false;
  keystroke_editing_answer_.reset();
  TcxContainer::KeyDown(key, shift);
  if (key != 0) EditorKeyDown(key, shift);
}

void TcxCustomEdit::EditorKeyDown(int& key, TShiftState shift) {
  if (IsModifyingKey(key, shift) && !KeystrokeMayEdit()) {
    key = 0;
    return;
  }
  switch (key) {
    case VK_TAB:
      if (Focused() && (shift & (ssCtrl | ssAlt)) == 0) {
        key = 0;
        FocusNext((shift & ssShift) == 0);
      }
      break;
    case VK_RETURN: {
      if (!properties_->ValidateOnEnter()) break;
      key = 0;
      bool passed = false;
      LockChangeEvents(true);
      try {
        passed = CheckInput(true);
      } catch (...) {
        LockChangeEvents(false);
        throw;
      }
      LockChangeEvents(false);
      if (passed && modified_since_entry_) CommitValue();
      break;
    }
    case VK_ESCAPE:
      if (modified_since_entry_) {
        AbandonChanges();
        escape_consumed_ = true;
        key = 0;
      }
      break;
    default:
      break;
  }
}

void TcxCustomEdit::FocusNext(bool forward) {
  TCustomForm* form = Form();
  if (form == nullptr) return;
  // Searched from the editor, not its inner control, so that Shift+Tab does not land on the
  // editor it starts from.
  if (TWinControl* next = form->FindNextControl(this, forward, true, false)) next->SetFocus();
}

void TcxCustomEdit::KeyPress(char32_t& key) {
  if (key == kCharEscape && escape_consumed_) {
    escape_consumed_ = false;
    key = 0;
    return;
  }
  TcxContainer::KeyPress(key);
  if (key != 0) EditorKeyPress(key);
  keystroke_editing_answer_.reset();  // the character ends the keystroke
}

void TcxCustomEdit::EditorKeyPress(char32_t& key) {
  if (key >= 32 && !IsValidChar(key)) {
    key = 0;
    if (properties_->BeepOnError() && Application != nullptr) Application->Desktop().Beep();
    return;
  }
  if (IsModifyingChar(key) && !KeystrokeMayEdit()) key = 0;
}

bool TcxCustomEdit::CheckInput(bool raise_on_error) {
  if (!modified_since_entry_ || input_validated_) return true;
  Variant display_value(DisplayText());
  bool error = false;
  std::string error_text;
  properties_->CheckDisplayValue(display_value, error_text, error, this);
  const std::string shown = VarToStr(display_value);
  if (error) {
    std::exception_ptr report;
    if (raise_on_error) {
      try {
        ReportInvalidInput(error_text);
      } catch (...) {
        report = std::current_exception();
      }
    }
    if (DisplayText() != shown) {
      SetDisplayText(shown);
      if (Visible()) {
        SelectAllText();
        Invalidate();
      }
    }
    if (report) std::rethrow_exception(report);
    return false;
  }
  // Taking the value is part of the user's change, which the editor may have stopped allowing.
  if (RequestEditing()) {
    if (DisplayText() != shown) SetDisplayText(shown);
    InternalSetEditValue(properties_->MakeEditValue(shown, Focused()));
  }
  if (!Focused()) SetModifiedSinceEntry(false);
  input_validated_ = true;
  return true;
}

void TcxCustomEdit::ReportInvalidInput(const std::string& error_text) {
  if (!Focused() && Visible() && CanFocus()) {
    ++validation_guard_;
    try {
      SetFocus();
    } catch (...) {
      --validation_guard_;
      throw;
    }
    --validation_guard_;
  }
  if (Visible()) SelectAllText();
  if (properties_->BeepOnError() && Application != nullptr) Application->Desktop().Beep();
  if (!error_text.empty()) throw Exception(error_text);
}

void TcxCustomEdit::AbandonChanges() {
  if (!modified_since_entry_ || !CanKeepEnterValue()) return;
  LockChangeEvents(true);
  try {
    SetModifiedSinceEntry(false);
    InternalSetEditValue(enter_value_);
    SetDisplayText(properties_->MakeDisplayText(EditValue(), Focused()));
    SelectAllText();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

void TcxCustomEdit::CommitValue() {
  const Variant value = properties_->MakeEditValue(DisplayText(), Focused());
  try {
    StoreEditValue(value);
  } catch (...) {
    ReportInvalidInput({});
    throw;
  }
  InternalSetEditValue(value);
}

void TcxCustomEdit::StoreEditValue(const Variant& /*value*/) {
  // A stand-alone editor keeps its value itself (InternalSetEditValue).
}

void TcxCustomEdit::DoEnter() {
  TcxControl::DoEnter();
  if (validation_guard_ > 0) {
    ShortRefreshContainer(false);
    return;
  }
  if (CanKeepEnterValue()) enter_value_ = EditValue();
  SetDisplayText(properties_->MakeDisplayText(EditValue(), true));
  SetModifiedSinceEntry(false);
  ShortRefreshContainer(false);
  FocusInnerControl();
}

void TcxCustomEdit::DoExit() {
  if (validation_guard_ == 0 && modified_since_entry_) {
    if (!CheckInput(true)) {
      // A refusal without a message: asking for the focus again ends the move under way.
      if (InnerControl() != nullptr && InnerControl()->CanFocus()) InnerControl()->SetFocus();
      return;
    }
    if (modified_since_entry_) CommitValue();
    // The editor is still the active control while it leaves, so CheckInput kept the flag.
    SetModifiedSinceEntry(false);
  }
  ExitAccepted();
  ShortRefreshContainer(false);
  TcxControl::DoExit();
}

std::unique_ptr<TcxContainerViewInfo> TcxCustomEdit::CreateViewInfo() {
  return std::make_unique<TcxCustomEditViewInfo>();
}

void TcxCustomEdit::CalculateViewInfo(TcxContainerViewInfo& view_info) {
  auto& info = static_cast<TcxCustomEditViewInfo&>(view_info);
  ViewData().Calculate(info);
  info.text_color = ActiveStyle().TextColor();
}

TRect TcxCustomEdit::GetInnerControlBounds() {
  return ViewData().GetTextRect(TcxContainer::GetInnerControlBounds());
}

bool TcxCustomEdit::CanAutoSize(int& /*new_width*/, int& new_height) {
  TFont font;
  Style().GetVisibleFont(font);
  const int border = EditBorderWidth(ToEditBorderStyle(Style().BorderStyle()));
  new_height = ViewData().GetAutoHeight(font, border, HasShadow());
  return true;
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  SetDisplayText(properties_->MakeDisplayText(EditValue(), Focused()));
}

void TcxCustomEdit::PropertiesChanged(TcxCustomEditProperties* /*sender*/) {
  ApplyProperties();
  StyleChanged();
}

}  // namespace orlit
