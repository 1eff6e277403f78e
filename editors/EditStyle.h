#pragma once

#include <string>

#include "editors/ContainerStyle.h"

namespace orlit {

class TcxEditStyleController;

enum TcxEditButtonStyle {
  btsDefault,
  bts3D,
  btsFlat,
  btsSimple,
  btsHotFlat,
  btsUltraFlat,
  btsOffice11
};
enum TcxEditButtonTransparency {
  ebtNone,
  ebtInactive,
  ebtAlways,
  ebtHideInactive,
  ebtHideUnselected
};
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };

// The editor additions to the style values, after the container's ten.
enum TcxEditStyleValue {
  svButtonStyle = kContainerStyleValueCount,
  svButtonTransparency,
  svPopupBorderStyle
};
inline constexpr int kEditStyleValueCount = 13;

// An editor's style: the container attributes plus those of button and drop-down editors (which
// the text editors keep but do not draw). An editor style without a controller of its own
// resolves through the process-wide default edit style controller.
class TcxCustomEditStyle : public TcxCustomContainerStyle {
 public:
  using TcxCustomContainerStyle::TcxCustomContainerStyle;

  int GetStyleValueCount() const override { return kEditStyleValueCount; }

  TcxEditButtonStyle ButtonStyle() const;
  void SetButtonStyle(TcxEditButtonStyle style);
  TcxEditButtonTransparency ButtonTransparency() const;
  void SetButtonTransparency(TcxEditButtonTransparency transparency);
  TcxEditPopupBorderStyle PopupBorderStyle() const;
  void SetPopupBorderStyle(TcxEditPopupBorderStyle style);

  // Null when none, or when the controller set through the base class is not an editor one.
  TcxEditStyleController* StyleController() const;
  void SetStyleController(TcxEditStyleController* controller);

  void Assign(const TPersistent& source) override;

 protected:
  bool IsEditStyle() const override { return true; }

 private:
  TcxEditButtonStyle button_style_ = btsDefault;
  TcxEditButtonTransparency button_transparency_ = ebtNone;
  TcxEditPopupBorderStyle popup_border_style_ = epbsDefault;
};

// The class of an editor's Style.
class TcxEditStyle : public TcxCustomEditStyle {
 public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

// The normal style of a label: no border and no hot tracking unless assigned.
class TcxLabelEditStyle : public TcxEditStyle {
 public:
  using TcxEditStyle::TcxEditStyle;

  TcxContainerBorderStyle DefaultBorderStyle() const override { return cbsNone; }
  bool DefaultHotTrack() const override { return false; }
};

// The class of StyleDisabled, StyleFocused and StyleHot.
class TcxEditStyleEx : public TcxCustomEditStyle {
 public:
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

}  // namespace orlit
