#pragma once

#include <memory>
#include <string>

#include "editors/Editor.h"
#include "editors/ImageProperties.h"
#include "editors/ViewData.h"
#include "framework/Picture.h"
#include "lookandfeel/PainterCanvas.h"

namespace orlit {

// What one paint of an image editor needs.
struct TcxImageViewInfo : TcxCustomEditViewInfo {
  // Not owned: the control's picture.
  const TPicture* picture = nullptr;
  std::string caption;
  TFont font;
  bool center = true;
  bool stretch = false;
  bool show_focus_rect = false;
  TPoint scroll_pos;
  // Where the picture goes; empty without a picture.
  TRect picture_rect;

  // The background, the picture or the caption, and the focus frame inside the border.
  void Paint(TcxCanvas& canvas) const;
};

// Measures an image editor. Inside the border a one-pixel ring is kept for the focus frame;
// what it encloses is the picture's client area.
class TcxImageViewData : public TcxCustomEditViewData {
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;

  TRect GetTextMargins() const override { return {1, 1, 1, 1}; }
  // Where a picture of `picture_width` x `picture_height` lands in `client`: fitted with its
  // proportions when stretched, else at its own size moved by `scroll_pos`; centred with Center.
  static TRect PictureRect(const TRect& client, int picture_width, int picture_height, bool stretch,
                           bool center, TPoint scroll_pos);
};

class TcxImagePopupMenu;
class TPictureDialog;

// An editor that shows a picture. Its value is the graphic's file as a byte string (null for no
// picture). A left click gives it the focus, which a frame marks. A right click or the menu key
// opens the built-in context menu of the editing operations; Ctrl+C and Ctrl+Insert copy,
// Ctrl+V and Shift+Insert paste, Ctrl+X and Shift+Delete cut.
class TcxCustomImage : public TcxCustomEdit {
 public:
  static constexpr int kDefaultWidth = 140;
  static constexpr int kDefaultHeight = 100;
  static constexpr int kScrollStep = 8;

  TcxCustomImage();
  ~TcxCustomImage() override;

  TcxCustomImageProperties& Properties() const {
    return static_cast<TcxCustomImageProperties&>(TcxCustomEdit::Properties());
  }
  TPicture& Picture() const { return *picture_; }
  // Copies the picture's graphic.
  void SetPicture(const TPicture& picture) { picture_->Assign(picture); }

  // Loads the picture from a byte string value (an 8-byte header of 1, 256 and the remaining
  // length is skipped) with the graphic kind of the properties; data that kind cannot read
  // leaves the picture empty. Null empties it.
  void SetEditValue(const Variant& value);

  // Where a picture larger than the client area is scrolled to, without Center; moves in steps
  // of kScrollStep and stays within the picture.
  TPoint ScrollPos() const { return scroll_pos_; }
  void ScrollBy(int steps_x, int steps_y);
  // The area the picture is drawn in.
  TRect ClientArea();

  std::string DisplayText() const override { return {}; }

  // The editing operations. Those that change the picture do nothing while it may not be
  // changed or the editing request is refused; errors (an unreadable clipboard picture or file,
  // a file that cannot be written) are raised with the picture as it was.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void ClearPicture();
  // Through the open or save dialog, whose filter is CustomFilter, else the graphic kind's, else
  // (opening) every known kind's; the editor counts as focused while it is open.
  void LoadFromFile();
  void SaveToFile();
  // Without a dialog. A loaded file's kind follows its extension; a saved one is written whole
  // or not at all.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;

  // Not read-only.
  bool CanModifyPicture() const;
  // The clipboard holds a picture that pasting can take for the graphic kind: a bitmap for the
  // bitmap and JPEG kinds and when no kind is set; never for icons and vector drawings, whose
  // own formats the desktop's clipboard does not carry.
  bool CanPasteFromClipboard() const;

 protected:
  // Asked for the context menu at `point` (client coordinates; 10, 10 from the keyboard): the
  // built-in menu, unless its layout offers no item.
  virtual void ContextPopup(TPoint point);
  bool HoldsFocusState() const override { return dialog_open_; }

  std::unique_ptr<TcxContainerViewInfo> CreateViewInfo() override;
  std::unique_ptr<TcxCustomEditViewData> CreateViewData() const override;
  void CalculateViewInfo(TcxContainerViewInfo& view_info) override;
  void PaintContent(TCanvas& canvas) override;
  bool CanAutoSize(int& new_width, int& new_height) override;
  void EditorKeyDown(int& key, TShiftState shift) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool DoMouseWheel(TShiftState shift, int wheel_delta, TPoint mouse_pos) override;
  void InternalSetDisplayText(const std::string& /*text*/) override {}
  void SelectAllText() override {}
  void Loaded() override;

 private:
  void PictureChanged();
  // The largest scroll position for the current picture and client area.
  TPoint MaxScrollPos();

  // Runs a load or save dialog with the editor counting as focused meanwhile.
  bool RunDialog(TPictureDialog& dialog);

  std::unique_ptr<TPicture> picture_;
  std::unique_ptr<TcxImagePopupMenu> popup_menu_;
  bool dialog_open_ = false;
  TPoint scroll_pos_;
  // The picture changes because the value was set: the value is already the new one.
  bool setting_value_ = false;
};

class TcxImage : public TcxCustomImage {
 public:
  TcxImageProperties& Properties() const {
    return static_cast<TcxImageProperties&>(TcxCustomImage::Properties());
  }
};

}  // namespace orlit
