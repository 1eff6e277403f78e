#pragma once

#include "framework/Alignment.h"
#include "framework/CustomControl.h"

namespace orlit {

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// A container with an optional bevelled edge and a caption drawn in its middle, behind its
// children. Aligned children share the area inside the bevels and the border.
class TPanel : public TCustomControl {
 public:
  TPanel();

  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut bevel);
  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut bevel);
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int width);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);

 protected:
  void PaintBackground(TCanvas& canvas) override;
  void Paint(TCanvas& canvas) override;
  void AdjustClientRect(TRect& rect) const override;

 private:
  void EdgeChanged();

  TBevelCut bevel_outer_ = bvRaised;
  TBevelCut bevel_inner_ = bvNone;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TAlignment alignment_ = taCenter;
};

}  // namespace orlit
