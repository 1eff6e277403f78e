#include "framework/Image.h"

#include "framework/Canvas.h"

namespace orlit {

namespace {

constexpr int kDefaultSize = 105;

}  // namespace

TImage::TImage() {
  SetBounds(0, 0, kDefaultSize, kDefaultSize);
  picture_.OnChange = [this](TObject*) { PictureChanged(); };
}

void TImage::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  stretch_ = stretch;
  Invalidate();
}

void TImage::SetCenter(bool center) {
  if (center == center_) return;
  center_ = center;
  Invalidate();
}

void TImage::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  PictureChanged();
}

void TImage::PictureChanged() {
  TGraphic* graphic = picture_.Graphic();
  // Setting the flag reports a change of the picture again; it is only set when it differs.
  if (graphic != nullptr && graphic->Transparent() != transparent_) {
    graphic->SetTransparent(transparent_);
  }
  AdjustSize();
  Invalidate();
}

TRect TImage::DestRect() const {
  int width = picture_.Width();
  int height = picture_.Height();
  if (stretch_) {
    width = ClientWidth();
    height = ClientHeight();
  }
  TRect rect{0, 0, width, height};
  if (center_) rect = rect.Offset((ClientWidth() - width) / 2, (ClientHeight() - height) / 2);
  return rect;
}

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  canvas.StretchDraw(DestRect(), *picture_.Graphic());
}

bool TImage::CanAutoSize(int& new_width, int& new_height) {
  if (picture_.Empty()) return false;
  new_width = picture_.Width();
  new_height = picture_.Height();
  return true;
}

}  // namespace orlit
