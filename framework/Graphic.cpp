#include "framework/Graphic.h"

#include <istream>
#include <iterator>
#include <typeinfo>
#include <vector>

#include "framework/Canvas.h"

namespace orlit {

void TGraphic::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  image_.SetTransparent(transparent);
  Changed();
}

void TGraphic::Draw(TCanvas& canvas, const TRect& rect) const {
  canvas.Handle().StretchDraw(rect, ImageAt(canvas.Handle().Scale()));
}

void TGraphic::LoadFromStream(std::istream& stream) {
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream),
                                        std::istreambuf_iterator<char>()};
  LoadFromBytes(bytes);
}

void TGraphic::Assign(const TPersistent& source) {
  const auto* graphic = dynamic_cast<const TGraphic*>(&source);
  if (graphic == nullptr || typeid(*graphic) != typeid(*this)) {
    TPersistent::Assign(source);
    return;
  }
  if (graphic == this) return;
  image_ = graphic->image_;
  source_ = graphic->source_;
  transparent_ = graphic->transparent_;
  Changed();
}

std::vector<std::uint8_t> TGraphic::SaveToBytes() const { return source_; }

void TGraphic::SetImage(PixelImage image, std::span<const std::uint8_t> source) {
  image_ = std::move(image);
  source_.assign(source.begin(), source.end());
  image_.SetTransparent(transparent_);
  Changed();
}

void TGraphic::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace orlit
