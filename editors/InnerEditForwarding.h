#pragma once

#include <string>

#include "editors/InnerEditAccess.h"
#include "editors/TextEditProperties.h"

namespace orlit {

// InnerEditAccess over an inner edit whose native operations already have the names the editor
// asks for; `Inner` is the single- or the multi-line inner edit. A kind adds its own settings in
// `ApplyOwnProperties`.
template <class Inner>
class InnerEditForwarding : public InnerEditAccess {
 public:
  explicit InnerEditForwarding(Inner& inner) : inner_(inner) {}

  TWinControl& Control() const override { return inner_; }
  std::string Text() const override { return inner_.Text(); }
  void SetText(const std::string& text) override { inner_.SetText(text); }
  int SelStart() const override { return inner_.SelStart(); }
  void SetSelStart(int start) override { inner_.SetSelStart(start); }
  int SelLength() const override { return inner_.SelLength(); }
  void SetSelLength(int length) override { inner_.SetSelLength(length); }
  std::string SelText() const override { return inner_.SelText(); }
  void SelectAll() override { inner_.SelectAll(); }
  void CopyToClipboard() override { inner_.CopyToClipboard(); }
  void CutToClipboard() override { inner_.CutToClipboard(); }
  void PasteFromClipboard() override { inner_.PasteFromClipboard(); }
  TPoint PosFromChar(int index) override { return inner_.PosFromChar(index); }
  int CharFromPos(TPoint point) override { return inner_.CharFromPos(point); }
  int LineHeight() const override { return inner_.LineHeight(); }

  void ApplyProperties(const TcxCustomTextEditProperties& properties) final {
    inner_.SetReadOnly(properties.ReadOnly());
    inner_.SetMaxLength(properties.MaxLength());
    inner_.SetCharCase(properties.CharCase());
    inner_.SetHideSelection(properties.HideSelection());
    inner_.SetAlignment(properties.Alignment().Horz());
    ApplyOwnProperties(properties);
  }

 protected:
  virtual void ApplyOwnProperties(const TcxCustomTextEditProperties& properties) = 0;

  Inner& inner_;
};

}  // namespace orlit
