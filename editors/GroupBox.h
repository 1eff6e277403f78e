#pragma once

#include <memory>
#include <string>

#include "editors/Editor.h"
#include "editors/ViewData.h"
#include "lookandfeel/PainterCanvas.h"
#include "platform/ResolvedFont.h"

namespace orlit {

// Where a group box's caption stands: on one of the four sides, or over the middle. The left
// and right placements write it vertically.
enum TcxCaptionAlignment {
  alTopLeft,
  alTopCenter,
  alTopRight,
  alBottomLeft,
  alBottomCenter,
  alBottomRight,
  alLeftTop,
  alLeftCenter,
  alLeftBottom,
  alRightTop,
  alRightCenter,
  alRightBottom,
  alCenterCenter,
};

enum class CaptionSide { kTop, kBottom, kLeft, kRight, kCenter };
CaptionSide SideOf(TcxCaptionAlignment alignment);
inline bool IsVerticalCaption(TcxCaptionAlignment alignment) {
  return alignment >= alLeftTop && alignment <= alRightBottom;
}

// A group box has no settings of its own beyond the editor's.
class TcxCustomGroupBoxProperties : public TcxCustomEditProperties {
 public:
  using TcxCustomEditProperties::TcxCustomEditProperties;
};

// What one paint of a group box needs; it paints the frame, shadow and caption itself.
struct TcxGroupBoxViewInfo : TcxCustomEditViewInfo {
  TcxCaptionAlignment alignment = alTopLeft;
  std::string caption_text;
  std::shared_ptr<const ResolvedFont> caption_font;
  // The text height of "Qq" in the caption font.
  int caption_height = 0;
  TRect caption_rect;
  TColor parent_color = clBtnFace;
  bool ctl3d = true;
  bool parent_background = true;

  void Paint(TcxCanvas& canvas) const;

 private:
  void PaintFrame(TcxCanvas& canvas) const;
  void PaintNativeFrame(TcxCanvas& canvas) const;
  void PaintCaption(TcxCanvas& canvas) const;
  void PaintShadow(TcxCanvas& canvas, TRect rect, int line_offset, int w) const;
};

// Measures a group box: the caption's place and the room it takes from the children.
class TcxGroupBoxViewData : public TcxCustomEditViewData {
 public:
  using TcxCustomEditViewData::TcxCustomEditViewData;

  // The caption's rectangle in a control of `width` x `height`; `shadow` is the style's.
  static TRect CaptionRect(TcxCaptionAlignment alignment, int text_height, int text_width,
                           bool shadow, int width, int height);
  // The area the children are laid out in: the content area less a pixel of margin, with the
  // caption side moved in to the caption height plus 3 (not for alCenterCenter).
  static TRect ChildArea(const TRect& bounds, const TRect& border_rect,
                         TcxCaptionAlignment alignment, int caption_height);
};

// A container with a caption set into its frame. It takes no focus of its own (TabStop False)
// and draws only with its normal or disabled style.
class TcxCustomGroupBox : public TcxCustomEdit {
 public:
  static constexpr int kDefaultWidth = 105;
  static constexpr int kDefaultHeight = 185;

  TcxCustomGroupBox();

  TcxCaptionAlignment Alignment() const { return alignment_; }
  void SetAlignment(TcxCaptionAlignment alignment);
  // Kept for the layout; nothing draws with it.
  TColor CaptionBkColor() const { return caption_bk_color_; }
  void SetCaptionBkColor(TColor color) { caption_bk_color_ = color; }
  // The 3D border draws a raised double line; without Ctl3D a flat one.
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool ctl3d);
  bool ParentBackground() const { return parent_background_; }
  void SetParentBackground(bool parent_background);

  // The caption as drawn: vertical captions lose their accelerator marks.
  std::string CaptionText() const;
  // The caption's font: the style's, turned for a vertical caption (in "Arial" when the style's
  // font cannot be turned).
  LOGFONT CaptionLogFont() const;
  bool IsTransparent() const override;
  // A dialog character: when `key` is the caption's accelerator and the group box can take the
  // focus, the focus moves to its first child that takes it, and the character is used (true);
  // any other is offered to the children.
  bool DialogChar(char32_t key) override;

  std::string DisplayText() const override { return Caption(); }

 protected:
  std::unique_ptr<TcxContainerViewInfo> CreateViewInfo() override;
  std::unique_ptr<TcxCustomEditViewData> CreateViewData() const override;
  void CalculateViewInfo(TcxContainerViewInfo& view_info) override;
  void AdjustClientRect(TRect& rect) const override;
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  bool CanAutoSize(int& new_width, int& new_height) override;
  void TextChanged() override;
  void FontChanged() override;
  void VisualStateChanged() override;
  void InternalSetDisplayText(const std::string& /*text*/) override {}
  void SelectAllText() override {}

 private:
  // The caption's look or place changed: measure again and lay the children out anew.
  void CaptionChanged();
  bool IsNativeGroupBox() const;

  TcxCaptionAlignment alignment_ = alTopLeft;
  TColor caption_bk_color_ = clBtnFace;
  bool ctl3d_ = true;
  bool parent_background_ = true;
  TRect child_area_;
};

class TcxGroupBox : public TcxCustomGroupBox {};

}  // namespace orlit
