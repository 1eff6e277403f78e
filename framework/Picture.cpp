#include "framework/Picture.h"

#include "framework/GraphicClasses.h"
#include "platform/PictureError.h"
#include "platform/StoredPicture.h"

namespace orlit {

TPicture::~TPicture() {
  if (graphic_) graphic_->OnChange = nullptr;
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  SetGraphic(graphic != nullptr ? graphic->Clone() : nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  if (!graphic && !graphic_) return;
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::LoadFromStoredData(std::span<const std::uint8_t> bytes,
                                  std::optional<PixelImage> decoded) {
  const StoredPicture stored = ReadStoredPicture(bytes);
  if (stored.IsEmpty()) {
    SetGraphic(std::unique_ptr<TGraphic>());
    return;
  }
  const TGraphicClass* kind = FindGraphicClass(stored.class_name);
  if (kind == nullptr) throw EInvalidGraphic("Unknown picture class " + stored.class_name);
  std::unique_ptr<TGraphic> graphic = kind->create();
  if (decoded) {
    graphic->LoadDecoded(stored.data, std::move(*decoded));
  } else {
    graphic->LoadFromBytes(stored.data);
  }
  SetGraphic(std::move(graphic));
}

void TPicture::Assign(const TPersistent& source) {
  if (const auto* picture = dynamic_cast<const TPicture*>(&source)) {
    if (picture != this) SetGraphic(picture->Graphic());
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    SetGraphic(graphic);
    return;
  }
  TPersistent::Assign(source);
}

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace orlit
