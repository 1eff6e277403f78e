#pragma once

#include "editors/EditProperties.h"
#include "editors/ViewInfo.h"
#include "framework/Font.h"
#include "platform/Geometry.h"

namespace orlit {

// Computes the editor's part of a view info from its properties, and measures its content for
// the automatic height.
class TcxCustomEditViewData : public TPersistent {
 public:
  explicit TcxCustomEditViewData(const TcxCustomEditProperties& properties)
      : properties_(properties) {}

  // Inside a host control (a grid cell) rather than on its own.
  bool InPlace() const { return in_place_; }
  void SetInPlace(bool in_place) { in_place_ = in_place; }

  // Pixels between the border and the text, as a rectangle of left, top, right, bottom.
  virtual TRect GetTextMargins() const { return {}; }
  TRect GetTextRect(const TRect& border_rect) const;
  // The content: the text line in `font` and the margins.
  virtual int GetEditContentHeight(const TFont& font) const;
  // The whole control: content, the border on both sides and the shadow strip.
  int GetAutoHeight(const TFont& font, int border_width, bool shadow) const;

  void Calculate(TcxCustomEditViewInfo& view_info) const;

 protected:
  const TcxCustomEditProperties& Properties() const { return properties_; }

 private:
  const TcxCustomEditProperties& properties_;
  bool in_place_ = false;
};

// The single-line text editor's: margins by alignment and placement, and a line as high as the
// native edit's.
class TcxCustomTextEditViewData : public TcxCustomEditViewData {
 public:
  // The native edit keeps a pixel above and below its line of text.
  static constexpr int kLineSpacing = 2;

  using TcxCustomEditViewData::TcxCustomEditViewData;

  TRect GetTextMargins() const override;
  int GetEditContentHeight(const TFont& font) const override;
};

}  // namespace orlit
