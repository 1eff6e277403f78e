#pragma once

#include <functional>
#include <memory>
#include <string>

#include "editors/EditProperties.h"
#include "framework/Bitmap.h"
#include "framework/GraphicClasses.h"

namespace orlit {

// Whether a picture's transparency is left to its graphic or forced off or on.
enum TcxImageTransparency { gtDefault, gtOpaque, gtTransparent };

// The items the built-in context menu of an image offers.
enum TcxPopupMenuItem { pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom };
using TcxPopupMenuItems = unsigned;
constexpr TcxPopupMenuItems PopupMenuItemBit(TcxPopupMenuItem item) { return 1u << item; }
inline constexpr TcxPopupMenuItems kDefaultPopupMenuItems =
    PopupMenuItemBit(pmiCut) | PopupMenuItemBit(pmiCopy) | PopupMenuItemBit(pmiPaste) |
    PopupMenuItemBit(pmiDelete) | PopupMenuItemBit(pmiLoad) | PopupMenuItemBit(pmiSave);

// The context menu's settings: which items it shows and the custom item's caption and glyph.
class TcxPopupMenuLayout : public TPersistent {
 public:
  TcxPopupMenuItems MenuItems() const { return menu_items_; }
  void SetMenuItems(TcxPopupMenuItems items) { menu_items_ = items; }
  bool Contains(TcxPopupMenuItem item) const { return (menu_items_ & PopupMenuItemBit(item)) != 0; }
  const std::string& CustomMenuItemCaption() const { return custom_caption_; }
  void SetCustomMenuItemCaption(const std::string& caption) { custom_caption_ = caption; }
  TBitmap& CustomMenuItemGlyph() { return custom_glyph_; }
  const TBitmap& CustomMenuItemGlyph() const { return custom_glyph_; }

  void Assign(const TPersistent& source) override;

 private:
  TcxPopupMenuItems menu_items_ = kDefaultPopupMenuItems;
  std::string custom_caption_;
  TBitmap custom_glyph_;
};

// Sender is the editor; the handler sets `graphic_class` when it knows the kind.
using TcxImageGraphicClassEvent =
    std::function<void(TObject* sender, const TGraphicClass*& graphic_class)>;

// How an image editor shows its picture and which graphic kind it reads values and pastes as.
class TcxCustomImageProperties : public TcxCustomEditProperties {
 public:
  static constexpr std::string_view kDefaultGraphicClassName = "TBitmap";

  explicit TcxCustomImageProperties(TPersistent* owner = nullptr);

  // Painted when there is no picture.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption) { SetDisplaySetting(caption_, caption); }
  bool Center() const { return center_; }
  void SetCenter(bool center) { SetDisplaySetting(center_, center); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch) { SetDisplaySetting(stretch_, stretch); }
  bool ShowFocusRect() const { return show_focus_rect_; }
  void SetShowFocusRect(bool show) { SetDisplaySetting(show_focus_rect_, show); }
  TcxImageTransparency GraphicTransparency() const { return graphic_transparency_; }
  void SetGraphicTransparency(TcxImageTransparency t) {
    SetDisplaySetting(graphic_transparency_, t);
  }
  // Empty when no kind is set, or when the name is not a registered kind.
  std::string GraphicClassName() const;
  void SetGraphicClassName(const std::string& name);
  // Null when no kind is set.
  const TGraphicClass* GraphicClass() const { return graphic_class_; }
  void SetGraphicClass(const TGraphicClass* graphic_class);
  // A layout stores the name only when it differs from the bitmap kind, and records an
  // explicitly empty kind with this marker.
  bool IsGraphicClassNameStored() const;
  bool IsGraphicClassNameEmpty() const { return graphic_class_ == nullptr; }
  void SetIsGraphicClassNameEmpty(bool empty);
  TcxPopupMenuLayout& PopupMenuLayout() { return popup_menu_layout_; }
  const TcxPopupMenuLayout& PopupMenuLayout() const { return popup_menu_layout_; }
  const std::string& CustomFilter() const { return custom_filter_; }
  void SetCustomFilter(const std::string& filter) { custom_filter_ = filter; }
  bool ImmediatePost() const { return immediate_post_; }
  void SetImmediatePost(bool immediate_post) { immediate_post_ = immediate_post; }

  // The kind that reads edit values and pastes: the set kind, else the one OnGetGraphicClass
  // names (sender: `editor`), else the bitmap kind.
  const TGraphicClass& GetGraphicClass(TObject* editor) const;

  // The picture is not shown as text.
  std::string MakeDisplayText(const Variant& edit_value, bool focused) const override;
  Variant MakeEditValue(const std::string& text, bool focused) const override;

  void Assign(const TPersistent& source) override;

  TNotifyEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TcxImageGraphicClassEvent OnGetGraphicClass;

 private:
  std::string caption_;
  bool center_ = true;
  bool stretch_ = false;
  bool show_focus_rect_ = true;
  TcxImageTransparency graphic_transparency_ = gtDefault;
  const TGraphicClass* graphic_class_ = nullptr;
  TcxPopupMenuLayout popup_menu_layout_;
  std::string custom_filter_;
  bool immediate_post_ = false;
};

class TcxImageProperties : public TcxCustomImageProperties {
 public:
  using TcxCustomImageProperties::TcxCustomImageProperties;
};

}  // namespace orlit
