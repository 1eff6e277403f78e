#include "editors/ContainerStyle.h"

#include <array>
#include <string_view>

#include "editors/Container.h"
#include "editors/EditStyle.h"
#include "editors/StyleController.h"
#include "lookandfeel/EditFrame.h"
#include "lookandfeel/LookAndFeel.h"

namespace orlit {

namespace {

constexpr std::array<std::string_view, kEditStyleValueCount> kStyleValueNames = {
    "BorderColor",
    "BorderStyle",
    "Color",
    "Edges",
    "Font",
    "HotTrack",
    "Shadow",
    "TextColor",
    "TextStyle",
    "TransparentBorder",
    "ButtonStyle",
    "ButtonTransparency",
    "PopupBorderStyle",
};

// Controllers may themselves use controllers; a cycle among them must not recurse for ever.
constexpr int kMaxControllerDepth = 8;

}  // namespace

TcxCustomContainerStyle::TcxCustomContainerStyle(TcxContainer* container,
                                                 TcxStyleController* controller,
                                                 TcxContainerStyleState state,
                                                 TcxCustomContainerStyle* parent_style)
    : container_(container),
      owning_controller_(controller),
      state_(state),
      parent_style_(parent_style) {
  if (IsBaseStyle()) {
    look_and_feel_ = std::make_unique<TcxLookAndFeel>(this);
    look_and_feel_->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) { Changed(); };
  }
  if (container_ != nullptr) font_.Assign(container_->Font());
  font_.OnChange = [this](TObject*) { FontObjectChanged(); };
}

TcxCustomContainerStyle::~TcxCustomContainerStyle() { UnregisterFromController(); }

void TcxCustomContainerStyle::SetAssignedValues(TcxContainerStyleValues values) {
  if (values == assigned_) return;
  BeginUpdate();
  assigned_ = values;
  // A font no longer assigned follows the control again.
  if (!values.Contains(csvFont) && container_ != nullptr) ControlFontChanged(container_->Font());
  Changed();
  EndUpdate();
}

std::string TcxCustomContainerStyle::GetStyleValueName(int value) const {
  if (value < 0 || value >= GetStyleValueCount()) return {};
  return std::string(kStyleValueNames[static_cast<std::size_t>(value)]);
}

bool TcxCustomContainerStyle::IsValueAssigned(int value) const {
  return AssignedSource(value) != nullptr;
}

const TcxCustomContainerStyle* TcxCustomContainerStyle::AssignedSource(int value) const {
  const TcxCustomContainerStyle* style = this;
  for (int depth = 0; depth < kMaxControllerDepth; ++depth) {
    if (style->assigned_.Contains(value)) return style;
    const TcxStyleController* controller = style->ActiveStyleController();
    if (controller == nullptr || controller == style->owning_controller_) return nullptr;
    style = &controller->Styles().Values(style->state_);
  }
  return nullptr;
}

TcxStyleController* TcxCustomContainerStyle::ActiveStyleController() const {
  if (TcxStyleController* own = StyleController()) return own;
  // A controller's own styles never fall back on the default controller: it would ask itself.
  if (BaseStyle().IsEditStyle() && owning_controller_ == nullptr) {
    return &DefaultEditStyleController();
  }
  return nullptr;
}

TColor TcxCustomContainerStyle::BorderColor() const {
  if (const auto* source = AssignedSource(csvBorderColor)) return source->border_color_;
  switch (state_) {
    case cssDisabled:
      return clBtnShadow;
    case cssNormal:
      return clWindowFrame;
    default:
      return parent_style_->BorderColor();
  }
}

void TcxCustomContainerStyle::SetBorderColor(TColor color) {
  SetValue(csvBorderColor, border_color_, color);
}

TcxContainerBorderStyle TcxCustomContainerStyle::BorderStyle() const {
  if (const auto* source = AssignedSource(csvBorderStyle)) return source->border_style_;
  if (IsBaseStyle()) return DefaultBorderStyle();
  const TcxContainerBorderStyle normal = parent_style_->BorderStyle();
  if ((state_ == cssFocused || state_ == cssHot) && HotTrack()) return HotTrackBorderStyle(normal);
  return normal;
}

TcxContainerBorderStyle TcxCustomContainerStyle::DefaultBorderStyle() const {
  return GetDefaultEditBorderStyle(LookAndFeel().Kind());
}

void TcxCustomContainerStyle::SetBorderStyle(TcxContainerBorderStyle style) {
  SetValue(csvBorderStyle, border_style_, style);
}

TColor TcxCustomContainerStyle::Color() const {
  if (IsBaseStyle() && container_ != nullptr && container_->ParentColor()) {
    return container_->Parent() != nullptr ? container_->Parent()->Color() : container_->Color();
  }
  if (const auto* source = AssignedSource(csvColor)) return source->color_;
  switch (state_) {
    case cssDisabled:
      return clBtnFace;
    case cssNormal:
      return container_ != nullptr && container_->IsTransparent() ? clBtnFace : clWindow;
    default:
      return parent_style_->Color();
  }
}

void TcxCustomContainerStyle::SetColor(TColor color) { SetValue(csvColor, color_, color); }

TcxBorders TcxCustomContainerStyle::Edges() const {
  if (!IsBaseStyle()) return parent_style_->Edges();
  if (const auto* source = AssignedSource(csvEdges)) return source->edges_;
  return cxBordersAll;
}

void TcxCustomContainerStyle::SetEdges(TcxBorders edges) {
  if (!IsBaseStyle()) return parent_style_->SetEdges(edges);
  SetValue(csvEdges, edges_, edges & cxBordersAll);
}

TFont& TcxCustomContainerStyle::Font() { return BaseStyle().font_; }

const TFont& TcxCustomContainerStyle::ResolvedFont() const {
  const TcxCustomContainerStyle& base = BaseStyle();
  if (const auto* source = base.AssignedSource(csvFont)) return source->font_;
  return base.font_;
}

bool TcxCustomContainerStyle::HotTrack() const {
  if (!IsBaseStyle()) return parent_style_->HotTrack();
  if (const auto* source = AssignedSource(csvHotTrack)) return source->hot_track_;
  return DefaultHotTrack();
}

void TcxCustomContainerStyle::SetHotTrack(bool hot_track) {
  if (!IsBaseStyle()) return parent_style_->SetHotTrack(hot_track);
  SetValue(csvHotTrack, hot_track_, hot_track);
}

bool TcxCustomContainerStyle::Shadow() const {
  if (!IsBaseStyle()) return parent_style_->Shadow();
  if (const auto* source = AssignedSource(csvShadow)) return source->shadow_;
  return false;
}

void TcxCustomContainerStyle::SetShadow(bool shadow) {
  if (!IsBaseStyle()) return parent_style_->SetShadow(shadow);
  SetValue(csvShadow, shadow_, shadow);
}

TColor TcxCustomContainerStyle::TextColor() const {
  if (const auto* source = AssignedSource(csvTextColor)) return source->text_color_;
  switch (state_) {
    case cssDisabled:
      return clBtnShadow;
    case cssNormal:
      return ResolvedFont().Color();
    default:
      return parent_style_->TextColor();
  }
}

void TcxCustomContainerStyle::SetTextColor(TColor color) {
  SetValue(csvTextColor, text_color_, color);
}

TFontStyles TcxCustomContainerStyle::TextStyle() const {
  if (const auto* source = AssignedSource(csvTextStyle)) return source->text_style_;
  if (IsBaseStyle()) return ResolvedFont().Style();
  return parent_style_->TextStyle();
}

void TcxCustomContainerStyle::SetTextStyle(TFontStyles style) {
  SetValue(csvTextStyle, text_style_, style);
}

bool TcxCustomContainerStyle::TransparentBorder() const {
  if (!IsBaseStyle()) return parent_style_->TransparentBorder();
  if (const auto* source = AssignedSource(csvTransparentBorder)) {
    return source->transparent_border_;
  }
  return true;
}

void TcxCustomContainerStyle::SetTransparentBorder(bool transparent_border) {
  if (!IsBaseStyle()) return parent_style_->SetTransparentBorder(transparent_border);
  SetValue(csvTransparentBorder, transparent_border_, transparent_border);
}

void TcxCustomContainerStyle::GetVisibleFont(TFont& font) const {
  font.Assign(ResolvedFont());
  font.SetColor(TextColor());
  font.SetStyle(TextStyle());
}

TcxLookAndFeel& TcxCustomContainerStyle::LookAndFeel() const { return *BaseStyle().look_and_feel_; }

void TcxCustomContainerStyle::SetStyleController(TcxStyleController* controller) {
  if (!IsBaseStyle()) return parent_style_->SetStyleController(controller);
  if (controller == style_controller_) return;
  // A controller's styles taking that same controller would resolve through themselves.
  if (controller != nullptr && controller == owning_controller_) return;
  UnregisterFromController();
  style_controller_ = controller;
  RegisterWithController();
  UpdateLookAndFeelMaster();
  Changed();
}

void TcxCustomContainerStyle::RegisterWithController() {
  if (!IsBaseStyle()) return;
  TcxStyleController* controller = ActiveStyleController();
  if (controller == nullptr || controller == owning_controller_) return;
  controller->AddListener(this);
  registered_controller_ = controller;
}

void TcxCustomContainerStyle::UnregisterFromController() {
  if (registered_controller_ == nullptr) return;
  TcxStyleController* controller = registered_controller_;
  registered_controller_ = nullptr;
  controller->RemoveListener(this);
  if (IsDefaultEditStyleController(controller)) ReleaseDefaultEditStyleControllerIfUnused();
}

void TcxCustomContainerStyle::UpdateLookAndFeelMaster() {
  if (look_and_feel_ == nullptr) return;
  look_and_feel_->SetMaster(style_controller_ != nullptr ? &style_controller_->Style().LookAndFeel()
                                                         : nullptr);
}

void TcxCustomContainerStyle::ControllerDestroying(TcxStyleController* controller) {
  if (registered_controller_ == controller) registered_controller_ = nullptr;
  if (style_controller_ != controller) return;
  style_controller_ = nullptr;
  RegisterWithController();
  UpdateLookAndFeelMaster();
  Changed();
}

void TcxCustomContainerStyle::RestoreDefaults() {
  TcxCustomContainerStyle& base = BaseStyle();
  base.BeginUpdate();
  BeginUpdate();
  assigned_ = {};
  base.LookAndFeel().SetAssignedValues({});
  if (container_ != nullptr) {
    container_->SetParentColor(false);
    container_->SetParentFont(true);
    base.ControlFontChanged(container_->Font());
  }
  Changed();
  EndUpdate();
  base.EndUpdate();
}

void TcxCustomContainerStyle::Assign(const TPersistent& source) {
  const auto* style = dynamic_cast<const TcxCustomContainerStyle*>(&source);
  if (style == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (style == this) return;
  BeginUpdate();
  border_color_ = style->border_color_;
  border_style_ = style->border_style_;
  color_ = style->color_;
  edges_ = style->edges_;
  hot_track_ = style->hot_track_;
  shadow_ = style->shadow_;
  text_color_ = style->text_color_;
  text_style_ = style->text_style_;
  transparent_border_ = style->transparent_border_;
  taking_control_font_ = true;
  font_.Assign(style->font_);
  taking_control_font_ = false;
  assigned_ = style->assigned_;
  if (IsBaseStyle() && style->IsBaseStyle()) {
    SetStyleController(style->style_controller_);
    look_and_feel_->Assign(*style->look_and_feel_);
  }
  Changed();
  EndUpdate();
}

void TcxCustomContainerStyle::EndUpdate() {
  if (update_count_ == 0 || --update_count_ > 0) return;
  if (!changed_while_updating_) return;
  changed_while_updating_ = false;
  Changed();
}

void TcxCustomContainerStyle::ControlFontChanged(const TFont& font) {
  TcxCustomContainerStyle& base = BaseStyle();
  if (base.assigned_.Contains(csvFont) || base.font_ == font) return;
  base.taking_control_font_ = true;
  try {
    base.font_.Assign(font);
  } catch (...) {
    base.taking_control_font_ = false;
    throw;
  }
  base.taking_control_font_ = false;
}

void TcxCustomContainerStyle::FontObjectChanged() {
  if (!taking_control_font_) assigned_.Include(csvFont);
  Changed();
}

void TcxCustomContainerStyle::Changed() {
  if (update_count_ > 0) {
    changed_while_updating_ = true;
    return;
  }
  if (container_ != nullptr) container_->StyleChanged();
  if (owning_controller_ != nullptr) owning_controller_->StyleChanged();
}

TcxContainerStyles::TcxContainerStyles(TcxContainer* container, TcxStyleController* controller,
                                       ContainerStyleKind kind) {
  for (int state = 0; state < kContainerStyleStateCount; ++state) {
    const auto s = static_cast<TcxContainerStyleState>(state);
    TcxCustomContainerStyle* parent = state == cssNormal ? nullptr : styles_[0].get();
    if (kind == ContainerStyleKind::kLabel && state == cssNormal) {
      styles_[0] = std::make_unique<TcxLabelEditStyle>(container, controller, s, parent);
    } else if (kind != ContainerStyleKind::kContainer) {
      if (state == cssNormal) {
        styles_[0] = std::make_unique<TcxEditStyle>(container, controller, s, parent);
      } else {
        styles_[static_cast<std::size_t>(state)] =
            std::make_unique<TcxEditStyleEx>(container, controller, s, parent);
      }
    } else {
      styles_[static_cast<std::size_t>(state)] =
          std::make_unique<TcxContainerStyle>(container, controller, s, parent);
    }
  }
  styles_[0]->RegisterWithController();
}

TcxContainerStyles::~TcxContainerStyles() {
  // The state styles refer to the normal one.
  for (int state = kContainerStyleStateCount - 1; state >= 0; --state) {
    styles_[static_cast<std::size_t>(state)].reset();
  }
}

void TcxContainerStyles::BeginUpdate() {
  for (auto& style : styles_) style->BeginUpdate();
}

void TcxContainerStyles::EndUpdate() {
  for (auto& style : styles_) style->EndUpdate();
}

}  // namespace orlit
