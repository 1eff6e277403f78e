#pragma once

#include <array>
#include <memory>

#include "framework/PopupMenu.h"
#include "platform/Geometry.h"

namespace orlit {

class TcxCustomImage;

// The built-in context menu of an image editor. Made once per editor; before each showing its
// items are shown and enabled anew from the editor's settings, its picture and the clipboard.
class TcxImagePopupMenu {
 public:
  explicit TcxImagePopupMenu(TcxCustomImage& image);

  // Shows the menu at a screen point; the chosen item's operation runs once it has closed.
  void Popup(TPoint screen);
  // Brings the items up to date, as before a showing.
  void Update();
  const TPopupMenu& Menu() const { return *menu_; }

 private:
  TcxCustomImage& image_;
  std::unique_ptr<TPopupMenu> menu_;
  // Cut, copy, paste, delete, load, save, custom, in the order of TcxPopupMenuItem.
  std::array<TMenuItem*, 7> items_{};
  TMenuItem* file_separator_ = nullptr;
  TMenuItem* custom_separator_ = nullptr;
};

}  // namespace orlit
