#include "editors/LabelProperties.h"

namespace orlit {

TcxCustomLabelProperties::TcxCustomLabelProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner) {}

TcxCustomLabelProperties::~TcxCustomLabelProperties() = default;

TBitmap& TcxCustomLabelProperties::Glyph() {
  if (glyph_ == nullptr) {
    glyph_ = std::make_unique<TBitmap>();
    glyph_->OnChange = [this](TObject*) { Changed(); };
  }
  return *glyph_;
}

void TcxCustomLabelProperties::SetGlyph(const TBitmap* glyph) {
  if (glyph == nullptr) {
    glyph_.reset();
    Changed();
    return;
  }
  if (glyph == glyph_.get()) return;
  BeginUpdate();
  Glyph().Assign(*glyph);
  Changed();
  EndUpdate();
}

const TBitmap* TcxCustomLabelProperties::GlyphOrNull() const {
  return glyph_ != nullptr && glyph_->Width() > 0 && glyph_->Height() > 0 ? glyph_.get() : nullptr;
}

void TcxCustomLabelProperties::Assign(const TPersistent& source) {
  const auto* properties = dynamic_cast<const TcxCustomLabelProperties*>(&source);
  if (properties == nullptr || properties == this) {
    TcxCustomEditProperties::Assign(source);
    return;
  }
  BeginUpdate();
  TcxCustomEditProperties::Assign(source);
  SetAngle(properties->angle_);
  SetDepth(properties->depth_);
  SetGlyph(properties->glyph_.get());
  SetLabelEffect(properties->label_effect_);
  SetLabelStyle(properties->label_style_);
  SetOrientation(properties->orientation_);
  SetPenWidth(properties->pen_width_);
  SetShadowedColor(properties->shadowed_color_);
  SetShowAccelChar(properties->show_accel_char_);
  SetShowEndEllipsis(properties->show_end_ellipsis_);
  SetTransparent(properties->transparent_);
  SetWordWrap(properties->word_wrap_);
  EndUpdate();
}

}  // namespace orlit
