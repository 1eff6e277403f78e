#pragma once

#include "lookandfeel/PainterCanvas.h"
#include "platform/Geometry.h"
#include "platform/SystemColors.h"

namespace orlit {

// The drawing manner a painter reports of itself.
enum TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11 };

enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

// The parts of a scroll bar: the arrow buttons, the thumb and the track on either side of it.
enum TcxScrollBarPart { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };

class TcxCustomLookAndFeelPainter;

// A painter class: painters have no state and are never created by their users, so a class is
// named by the one constant object that stands for it.
using TcxLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

// The painters draw the standard elements of the controls in the manner of one look and feel.
// Each class's operations are reached through its Class(); derived classes override what they
// draw differently.
class TcxCustomLookAndFeelPainter {
 public:
  TcxCustomLookAndFeelPainter(const TcxCustomLookAndFeelPainter&) = delete;
  TcxCustomLookAndFeelPainter& operator=(const TcxCustomLookAndFeelPainter&) = delete;

  static TcxLookAndFeelPainterClass Class();

  virtual TcxLookAndFeelStyle LookAndFeelStyle() const { return lfsStandard; }

  // The pixels the border takes on each side, and the border itself drawn inside `rect`.
  virtual int BorderSize() const { return 0; }
  virtual void DrawBorder(TcxCanvas& canvas, const TRect& rect) const;
  // What lies inside the border, and the same two pixels further in.
  TRect GetContentRect(const TRect& rect) const;
  TRect GetInnerContentRect(const TRect& rect) const;

  virtual TColor ButtonColor(TcxButtonState state) const;

  // One part of a scroll bar: buttons and thumb framed in this look and feel's manner (raised
  // edges, one raised ring, or a flat line; pressed, a flat shadow line, or in the ultra-flat
  // manners a highlight line), the arrows pointing up and down, or left and right when
  // `horizontal`.
  void DrawScrollBarPart(TcxCanvas& canvas, const TRect& rect, TcxScrollBarPart part,
                         TcxButtonState state, bool horizontal) const;

 protected:
  TcxCustomLookAndFeelPainter() = default;
  virtual ~TcxCustomLookAndFeelPainter() = default;
};

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Class();
  TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsStandard; }
  int BorderSize() const override { return 2; }
  void DrawBorder(TcxCanvas& canvas, const TRect& rect) const override;

 protected:
  TcxStandardLookAndFeelPainter() = default;
};

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Class();
  TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsFlat; }
  int BorderSize() const override { return 1; }
  void DrawBorder(TcxCanvas& canvas, const TRect& rect) const override;

 protected:
  TcxFlatLookAndFeelPainter() = default;
};

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Class();
  TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsUltraFlat; }
  int BorderSize() const override { return 1; }
  void DrawBorder(TcxCanvas& canvas, const TRect& rect) const override;

 protected:
  TcxUltraFlatLookAndFeelPainter() = default;
};

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Class();
  TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsOffice11; }
  // In the Office-11 scheme's border colour.
  void DrawBorder(TcxCanvas& canvas, const TRect& rect) const override;

 protected:
  TcxOffice11LookAndFeelPainter() = default;
};

// The desktop's visual style; where a theme does not open it draws as the standard painter.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
 public:
  static TcxLookAndFeelPainterClass Class();
  TcxLookAndFeelStyle LookAndFeelStyle() const override { return lfsNative; }
  // 1 when the "ListView" theme opens, else the standard 2.
  int BorderSize() const override;
  void DrawBorder(TcxCanvas& canvas, const TRect& rect) const override;

 protected:
  TcxWinXPLookAndFeelPainter() = default;
};

}  // namespace orlit
