#pragma once

#include "framework/Alignment.h"
#include "framework/Object.h"
#include "framework/Persistent.h"
#include "lookandfeel/TextAlignment.h"

namespace orlit {

// Where an editor places its text: Horz (left, right, centre) and Vert (top, bottom, centre).
class TcxEditAlignment : public TPersistent {
 public:
  TAlignment Horz() const { return horz_; }
  void SetHorz(TAlignment horz);
  TcxEditVertAlignment Vert() const { return vert_; }
  void SetVert(TcxEditVertAlignment vert);
  void Assign(const TPersistent& source) override;

  // After a change of either value.
  TNotifyEvent OnChange;

 private:
  void Changed();

  TAlignment horz_ = taLeftJustify;
  TcxEditVertAlignment vert_ = taTopJustify;
};

}  // namespace orlit
