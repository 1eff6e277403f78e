#include "editors/EditAlignment.h"

namespace orlit {

void TcxEditAlignment::SetHorz(TAlignment horz) {
  if (horz == horz_) return;
  horz_ = horz;
  Changed();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment vert) {
  if (vert == vert_) return;
  vert_ = vert;
  Changed();
}

void TcxEditAlignment::Assign(const TPersistent& source) {
  const auto* alignment = dynamic_cast<const TcxEditAlignment*>(&source);
  if (alignment == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (alignment->horz_ == horz_ && alignment->vert_ == vert_) return;
  horz_ = alignment->horz_;
  vert_ = alignment->vert_;
  Changed();
}

void TcxEditAlignment::Changed() {
  if (OnChange) OnChange(this);
}

}  // namespace orlit
