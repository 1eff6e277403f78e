#include "lookandfeel/LookAndFeel.h"

#include <algorithm>

#include "lookandfeel/LookAndFeelController.h"

namespace orlit {
namespace {

TcxLookAndFeel* g_root = nullptr;
int g_controller_count = 0;

bool IsController(LookAndFeelChangeListener* listener) {
  return dynamic_cast<TcxLookAndFeelController*>(listener->GetObject()) != nullptr;
}

}  // namespace

TcxLookAndFeel::TcxLookAndFeel(TPersistent* owner)
    : TcxInterfacedPersistent(owner),
      notifier_(std::make_unique<TcxSystemPaletteChangedNotifier>()) {
  // New system colours reach the controls as a change of the native style, which repaints them.
  notifier_->OnSystemPaletteChanged = [this] { Changed(lfvNativeStyle); };
  if (g_root != nullptr) {
    g_root->AddChangeListener(this);
    current_kind_ = EffectiveKind();
    current_native_style_ = EffectiveNativeStyle();
  }
}

TcxLookAndFeel::TcxLookAndFeel(RootTag)
    : notifier_(std::make_unique<TcxSystemPaletteChangedNotifier>()) {
  notifier_->OnSystemPaletteChanged = [this] { Changed(lfvNativeStyle); };
  is_root_ = true;
  g_root = this;
}

TcxLookAndFeel::~TcxLookAndFeel() {
  notifier_.reset();
  destroying_ = true;
  // The list cannot change meanwhile: additions and removals are ignored while destroying.
  for (std::size_t i = 0; i < listeners_.size(); ++i) {
    listeners_[i]->MasterLookAndFeelDestroying(this);
  }
  destroying_ = false;
  listeners_.clear();
  if (TcxLookAndFeel* parent = EffectiveParent()) parent->RemoveChangeListener(this);
  if (is_root_ && g_root == this) {
    g_root = nullptr;
    g_controller_count = 0;
  }
}

TcxLookAndFeel* TcxLookAndFeel::Root() { return g_root; }

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind kind) {
  const TcxLookAndFeelKind remembered = current_kind_;
  assigned_values_ |= lfvKind;
  kind_ = kind;
  if (EffectiveKind() != remembered) Changed(lfvKind);
}

void TcxLookAndFeel::SetNativeStyle(bool native_style) {
  const bool remembered = current_native_style_;
  assigned_values_ |= lfvNativeStyle;
  native_style_ = native_style;
  if (EffectiveNativeStyle() != remembered) Changed(lfvNativeStyle);
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues values) {
  if (values == assigned_values_) return;
  SavePreviousValues();
  assigned_values_ = values;
  CheckChanges();
}

void TcxLookAndFeel::SetMaster(TcxLookAndFeel* master) {
  if (is_root_ || master == this || master == EffectiveParent()) return;
  // A master that inherits from this object would make the tree a loop.
  if (master != nullptr && master->InheritsFrom(this)) return;
  SavePreviousValues();
  ReplaceMaster(master);
  CheckChanges();
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveParent() const {
  if (master_ != nullptr) return master_;
  return is_root_ ? nullptr : g_root;
}

void TcxLookAndFeel::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TcxLookAndFeel*>(&source);
  if (other == nullptr) {
    TcxInterfacedPersistent::Assign(source);
    return;
  }
  SavePreviousValues();
  kind_ = other->kind_;
  native_style_ = other->native_style_;
  assigned_values_ = other->assigned_values_;
  TcxLookAndFeel* master = other->is_root_ ? nullptr : other->EffectiveParent();
  if (!is_root_ && master != this && master != EffectiveParent() &&
      (master == nullptr || !master->InheritsFrom(this))) {
    ReplaceMaster(master);
  }
  CheckChanges();
}

void TcxLookAndFeel::AddChangeListener(LookAndFeelChangeListener* listener) {
  if (listener == nullptr || destroying_) return;
  const bool controller = IsController(listener);
  if (controller && !is_root_) return;
  if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) return;
  listeners_.push_back(listener);
  if (controller) ++g_controller_count;
}

void TcxLookAndFeel::RemoveChangeListener(LookAndFeelChangeListener* listener) {
  const auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it == listeners_.end()) return;
  if (!destroying_) listeners_.erase(it);
  if (is_root_ && IsController(listener) && g_controller_count > 0) {
    if (--g_controller_count == 0) SetAssignedValues({});
  }
}

TcxLookAndFeelPainterClass TcxLookAndFeel::Painter() const {
  if (painter_override_ != nullptr) return painter_override_;
  if (NativeStyle() && AreVisualStylesUsable()) return TcxWinXPLookAndFeelPainter::Class();
  return GetPainterClass(Kind());
}

TcxLookAndFeelPainterClass TcxLookAndFeel::Painter(ThemedObject object) const {
  if (NativeStyle() && AreVisualStylesUsable() && OpenTheme(object) != 0) {
    return TcxWinXPLookAndFeelPainter::Class();
  }
  return GetPainterClass(Kind());
}

void TcxLookAndFeel::MasterLookAndFeelChanged(TcxLookAndFeel*,
                                              TcxLookAndFeelValues changed_values) {
  Changed(changed_values - assigned_values_);
}

void TcxLookAndFeel::MasterLookAndFeelDestroying(TcxLookAndFeel* sender) {
  if (sender != master_) return;
  // The root takes the master's place, and this object listens to it from now on.
  SavePreviousValues();
  ReplaceMaster(nullptr);
  CheckChanges();
}

TcxLookAndFeelKind TcxLookAndFeel::EffectiveKind() const {
  if (assigned_values_.Contains(lfvKind)) return kind_;
  if (is_root_) return lfUltraFlat;
  if (const TcxLookAndFeel* parent = EffectiveParent()) return parent->Kind();
  return lfUltraFlat;
}

bool TcxLookAndFeel::EffectiveNativeStyle() const {
  if (assigned_values_.Contains(lfvNativeStyle)) return native_style_;
  if (is_root_) return false;
  if (const TcxLookAndFeel* parent = EffectiveParent()) return parent->NativeStyle();
  return false;
}

void TcxLookAndFeel::SavePreviousValues() {
  previous_kind_ = current_kind_;
  previous_native_style_ = current_native_style_;
}

void TcxLookAndFeel::CheckChanges() {
  TcxLookAndFeelValues changed;
  if (EffectiveKind() != previous_kind_) changed |= lfvKind;
  if (EffectiveNativeStyle() != previous_native_style_) changed |= lfvNativeStyle;
  Changed(changed);
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues changed_values) {
  if (changed_values.Empty() || destroying_) return;
  current_kind_ = EffectiveKind();
  current_native_style_ = EffectiveNativeStyle();
  // A listener may remove itself (or others) while being told: move on only when the position
  // still holds the listener just told, so that no one is skipped.
  std::size_t i = 0;
  while (i < listeners_.size()) {
    LookAndFeelChangeListener* listener = listeners_[i];
    listener->MasterLookAndFeelChanged(this, changed_values);
    if (i < listeners_.size() && listeners_[i] == listener) ++i;
  }
  if (OnChanged) OnChanged(this, changed_values);
}

void TcxLookAndFeel::ReplaceMaster(TcxLookAndFeel* master) {
  if (TcxLookAndFeel* parent = EffectiveParent()) parent->RemoveChangeListener(this);
  master_ = master;
  if (TcxLookAndFeel* parent = EffectiveParent()) parent->AddChangeListener(this);
}

bool TcxLookAndFeel::InheritsFrom(const TcxLookAndFeel* other) const {
  for (const TcxLookAndFeel* p = EffectiveParent(); p != nullptr; p = p->EffectiveParent()) {
    if (p == other) return true;
  }
  return false;
}

TcxLookAndFeelPainterClass GetPainterClass(TcxLookAndFeelKind kind) {
  switch (kind) {
    case lfFlat:
      return TcxFlatLookAndFeelPainter::Class();
    case lfStandard:
      return TcxStandardLookAndFeelPainter::Class();
    case lfOffice11:
      return TcxOffice11LookAndFeelPainter::Class();
    case lfUltraFlat:
      break;
  }
  return TcxUltraFlatLookAndFeelPainter::Class();
}

TcxContainerBorderStyle GetDefaultEditBorderStyle(TcxLookAndFeelKind kind) {
  switch (kind) {
    case lfFlat:
      return cbsFlat;
    case lfStandard:
      return cbs3D;
    case lfOffice11:
      return cbsOffice11;
    case lfUltraFlat:
      break;
  }
  return cbsUltraFlat;
}

int LookAndFeelControllerCount() { return g_controller_count; }

}  // namespace orlit
