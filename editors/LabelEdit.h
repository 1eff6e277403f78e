#pragma once

#include <memory>
#include <string>

#include "editors/Editor.h"
#include "editors/LabelProperties.h"
#include "editors/LabelView.h"

namespace orlit {

// A caption drawn by the editor framework: styles, a shadow, and the effects of its
// properties (angle, copies behind the text, raised, lowered or outlined letters, a picture
// inside them). It never takes the focus; its accelerator focuses FocusControl.
class TcxCustomLabel : public TcxCustomEdit {
 public:
  TcxCustomLabel();
  ~TcxCustomLabel() override;

  TcxCustomLabelProperties& Properties() const {
    return static_cast<TcxCustomLabelProperties&>(TcxCustomEdit::Properties());
  }
  std::string DisplayText() const override { return display_text_; }

  TWinControl* FocusControl() const { return focus_control_; }
  // The label itself is ignored; the reference is dropped when that control goes away.
  void SetFocusControl(TWinControl* control);
  // Focuses FocusControl when `key` is the caption's accelerator; true when it did.
  bool DialogChar(char32_t key) override;

  void SetFocus() override {}
  bool IsTransparent() const override { return Properties().Transparent(); }

 protected:
  explicit TcxCustomLabel(std::unique_ptr<TcxCustomLabelProperties> properties);

  void InternalSetDisplayText(const std::string& text) override;
  void SelectAllText() override {}
  std::unique_ptr<TcxContainerViewInfo> CreateViewInfo() override;
  std::unique_ptr<TcxCustomEditViewData> CreateViewData() const override;
  void CalculateViewInfo(TcxContainerViewInfo& view_info) override;
  bool CanAutoSize(int& new_width, int& new_height) override;
  bool PaintsOwnBackground() const override { return true; }
  void PaintContent(TCanvas& canvas) override;
  void TextChanged() override;
  void ParentColorChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  const TcxCustomLabelViewData& LabelViewData() const {
    return static_cast<const TcxCustomLabelViewData&>(ViewData());
  }

  std::string display_text_;
  // Raised while the caption and the edit value follow each other.
  int caption_guard_ = 0;
  TWinControl* focus_control_ = nullptr;
};

// The label as forms place it: 121 x 21 until sized to its caption, no border, its parent's
// colour and font.
class TcxLabel : public TcxCustomLabel {
 public:
  TcxLabel() = default;

  TcxLabelProperties& Properties() const {
    return static_cast<TcxLabelProperties&>(TcxCustomLabel::Properties());
  }
  void SetProperties(const TcxLabelProperties& properties) { Properties().Assign(properties); }
};

}  // namespace orlit
