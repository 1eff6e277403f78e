#pragma once

#include "framework/Memo.h"
#include "lookandfeel/Canvas.h"
#include "lookandfeel/Painters.h"
#include "platform/Geometry.h"

namespace orlit {

// The scroll bars a memo shows in place of the platform's, drawn in its look and feel and kept
// in step with the inner memo: they are laid out from its scroll state at every paint, and a
// click on one scrolls it.
class TcxCustomMemoScrollBars {
 public:
  // Horizontal steps of an arrow click, in pixels.
  static constexpr int kLineWidth = 16;

  // Either rectangle may be empty (no such bar).
  static void Paint(TcxCanvas& canvas, TcxLookAndFeelPainterClass painter, TMemo& memo,
                    const TRect& vert, const TRect& horz);
  // A line or a page, by the part under `point`; true when the point lay on a bar.
  static bool Click(TMemo& memo, const TRect& vert, const TRect& horz, TPoint point);

 private:
  struct Parts {
    TRect line_up;
    TRect line_down;
    TRect thumb;
    TRect page_up;
    TRect page_down;
  };
  static Parts Layout(const TRect& bar, bool horizontal, int position, int range, int page);
  static Parts VertParts(TMemo& memo, const TRect& bar);
  static Parts HorzParts(TMemo& memo, const TRect& bar);
};

}  // namespace orlit
