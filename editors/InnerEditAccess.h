#pragma once

#include <string>

#include "platform/Geometry.h"

namespace orlit {

class TWinControl;
class TcxCustomTextEditProperties;

// What a text editor needs of its inner native control, single- or multi-line: the control
// itself, its text and selection, the clipboard commands and the settings it takes from the
// editor's properties.
class InnerEditAccess {
 public:
  virtual ~InnerEditAccess() = default;

  virtual TWinControl& Control() const = 0;
  virtual std::string Text() const = 0;
  // From code: not the user's change.
  virtual void SetText(const std::string& text) = 0;
  virtual int SelStart() const = 0;
  virtual void SetSelStart(int start) = 0;
  virtual int SelLength() const = 0;
  virtual void SetSelLength(int length) = 0;
  virtual std::string SelText() const = 0;
  virtual void SelectAll() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void CutToClipboard() = 0;
  virtual void PasteFromClipboard() = 0;
  virtual void ApplyProperties(const TcxCustomTextEditProperties& properties) = 0;

  // In the inner edit's client coordinates: the top left of the boundary before character
  // `index`, the boundary nearest a point, and the height of a row.
  virtual TPoint PosFromChar(int index) = 0;
  virtual int CharFromPos(TPoint point) = 0;
  virtual int LineHeight() const = 0;
};

}  // namespace orlit
