#pragma once

#include "framework/GraphicControl.h"
#include "framework/Picture.h"

namespace orlit {

// Shows a picture: at its own size from the top-left corner, centred, or stretched over the
// control. Without a picture it draws nothing and still takes the mouse. An automatically sized
// image takes its picture's size (an empty picture leaves the size alone).
class TImage : public TGraphicControl {
 public:
  TImage();

  TPicture& Picture() { return picture_; }
  const TPicture& Picture() const { return picture_; }
  void SetPicture(const TPicture& picture) { picture_.Assign(picture); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  // Passed on to the picture: a transparent bitmap leaves its bottom-left pixel's colour undrawn.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  // Where the picture lands in the client area.
  TRect DestRect() const;

 protected:
  void Paint(TCanvas& canvas) override;
  bool CanAutoSize(int& new_width, int& new_height) override;

 private:
  void PictureChanged();

  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
};

}  // namespace orlit
