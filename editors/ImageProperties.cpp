#include "editors/ImageProperties.h"

namespace orlit {

void TcxPopupMenuLayout::Assign(const TPersistent& source) {
  const auto* layout = dynamic_cast<const TcxPopupMenuLayout*>(&source);
  if (layout == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  menu_items_ = layout->menu_items_;
  custom_caption_ = layout->custom_caption_;
  custom_glyph_.Assign(layout->custom_glyph_);
}

TcxCustomImageProperties::TcxCustomImageProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner), graphic_class_(FindGraphicClass(kDefaultGraphicClassName)) {}

std::string TcxCustomImageProperties::GraphicClassName() const {
  return graphic_class_ != nullptr ? std::string(graphic_class_->class_name) : std::string();
}

void TcxCustomImageProperties::SetGraphicClassName(const std::string& name) {
  SetGraphicClass(FindGraphicClass(name));
}

void TcxCustomImageProperties::SetGraphicClass(const TGraphicClass* graphic_class) {
  SetDisplaySetting(graphic_class_, graphic_class);
}

bool TcxCustomImageProperties::IsGraphicClassNameStored() const {
  return graphic_class_ != nullptr && graphic_class_->class_name != kDefaultGraphicClassName;
}

void TcxCustomImageProperties::SetIsGraphicClassNameEmpty(bool empty) {
  if (empty) SetGraphicClass(nullptr);
}

const TGraphicClass& TcxCustomImageProperties::GetGraphicClass(TObject* editor) const {
  if (graphic_class_ != nullptr) return *graphic_class_;
  const TGraphicClass* chosen = nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(editor, chosen);
  return chosen != nullptr ? *chosen : *FindGraphicClass(kDefaultGraphicClassName);
}

std::string TcxCustomImageProperties::MakeDisplayText(const Variant& /*edit_value*/,
                                                      bool /*focused*/) const {
  return {};
}

Variant TcxCustomImageProperties::MakeEditValue(const std::string& /*text*/,
                                                bool /*focused*/) const {
  return Variant::Null();
}

void TcxCustomImageProperties::Assign(const TPersistent& source) {
  BeginUpdate();
  TcxCustomEditProperties::Assign(source);
  if (const auto* image = dynamic_cast<const TcxCustomImageProperties*>(&source)) {
    caption_ = image->caption_;
    center_ = image->center_;
    stretch_ = image->stretch_;
    show_focus_rect_ = image->show_focus_rect_;
    graphic_transparency_ = image->graphic_transparency_;
    graphic_class_ = image->graphic_class_;
    popup_menu_layout_.Assign(image->popup_menu_layout_);
    custom_filter_ = image->custom_filter_;
    immediate_post_ = image->immediate_post_;
    OnAssignPicture = image->OnAssignPicture;
    OnCustomClick = image->OnCustomClick;
    OnGetGraphicClass = image->OnGetGraphicClass;
    Changed();
  }
  EndUpdate();
}

}  // namespace orlit
