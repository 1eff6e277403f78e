#include "editors/ImagePopupMenu.h"

#include "convert/Translation.h"
#include "editors/ImageEdit.h"
#include "lookandfeel/LookAndFeel.h"
#include "platform/PictureError.h"
#include "platform/Resources.h"
#include "platform/StoredPicture.h"

namespace orlit {

namespace {

// The built-in glyph of a resource; none when it is missing or unreadable.
PixelImage Glyph(std::string_view resource) {
  const auto data = FindResource(resource);
  if (!data) return {};
  try {
    PixelImage glyph = DecodeStoredPicture(*data);
    glyph.SetTransparent(true);
    return glyph;
  } catch (const Exception&) {
    return {};
  }
}

TMenuLook MenuLookFor(TcxLookAndFeelKind kind) {
  switch (kind) {
    case lfFlat:
      return mlFlat;
    case lfUltraFlat:
      return mlUltraFlat;
    case lfOffice11:
      return mlOffice11;
    default:
      return mlStandard;
  }
}

bool IsIcon(const TPicture& picture) {
  return picture.Graphic() != nullptr && picture.Graphic()->StoredClassName() == "TIcon";
}

}  // namespace

TcxImagePopupMenu::TcxImagePopupMenu(TcxCustomImage& image)
    : image_(image), menu_(MakeComponent<TPopupMenu>()) {
  struct Entry {
    const char* caption;
    const char* glyph;
    void (TcxCustomImage::*operation)();
  };
  const Entry entries[] = {
      {N_("Cu&t"), "CXMENUIMAGE_CUT", &TcxCustomImage::CutToClipboard},
      {N_("&Copy"), "CXMENUIMAGE_COPY", &TcxCustomImage::CopyToClipboard},
      {N_("&Paste"), "CXMENUIMAGE_PASTE", &TcxCustomImage::PasteFromClipboard},
      {N_("&Delete"), "CXMENUIMAGE_DELETE", &TcxCustomImage::ClearPicture},
      {N_("&Load..."), "CXMENUIMAGE_LOAD", &TcxCustomImage::LoadFromFile},
      {N_("Save &As..."), "CXMENUIMAGE_SAVE", &TcxCustomImage::SaveToFile},
  };
  for (std::size_t i = 0; i < std::size(entries); ++i) {
    if (i == pmiLoad) file_separator_ = menu_->Add("-");
    TMenuItem* item = menu_->Add(Translate(entries[i].caption));
    item->SetGlyph(Glyph(entries[i].glyph));
    item->OnClick = [this, operation = entries[i].operation](TObject*) { (image_.*operation)(); };
    items_[i] = item;
  }
  custom_separator_ = menu_->Add("-");
  items_[pmiCustom] = menu_->Add("");
  items_[pmiCustom]->OnClick = [this](TObject*) {
    if (image_.Properties().OnCustomClick) image_.Properties().OnCustomClick(&image_);
  };
}

void TcxImagePopupMenu::Update() {
  const TcxCustomImageProperties& properties = image_.Properties();
  const TcxPopupMenuLayout& layout = properties.PopupMenuLayout();
  const TPicture& picture = image_.Picture();
  const bool changeable = image_.CanModifyPicture();
  const bool empty = picture.Empty();
  const bool icon = IsIcon(picture);
  const bool enabled[] = {changeable && !empty && !icon,
                          !empty && !icon,
                          changeable && layout.Contains(pmiPaste) && image_.CanPasteFromClipboard(),
                          changeable && !empty,
                          changeable,
                          !empty,
                          true};
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const auto kind = static_cast<TcxPopupMenuItem>(i);
    items_[i]->SetVisible(layout.Contains(kind));
    items_[i]->SetEnabled(enabled[i]);
  }
  items_[pmiCustom]->SetCaption(layout.CustomMenuItemCaption());
  PixelImage custom_glyph = layout.CustomMenuItemGlyph().Image();
  custom_glyph.SetTransparent(true);
  items_[pmiCustom]->SetGlyph(std::move(custom_glyph));
  file_separator_->SetVisible(layout.Contains(pmiLoad) || layout.Contains(pmiSave));
  custom_separator_->SetVisible(layout.Contains(pmiCustom));
  menu_->SetLook(MenuLookFor(image_.Style().LookAndFeel().Kind()));
}

void TcxImagePopupMenu::Popup(TPoint screen) {
  Update();
  menu_->Popup(screen);
}

}  // namespace orlit
