#pragma once

#include "framework/Memo.h"
#include "lookandfeel/PainterCanvas.h"
#include "lookandfeel/Painters.h"
#include "platform/Geometry.h"

namespace orlit {

// The scroll bars a memo shows in place of the platform's, drawn in its look and feel and kept
// in step with the inner memo: they are laid out from its scroll state at every paint, a click
// on one scrolls it, and its thumb can be dragged.
class TcxCustomMemoScrollBars {
 public:
  // Horizontal steps of an arrow click, in pixels.
  static constexpr int kLineWidth = 16;
  // The shortest a thumb gets, however long the text.
  static constexpr int kMinThumb = 8;

  // Either rectangle may be empty (no such bar). A dragged thumb is drawn pressed.
  void Paint(TcxCanvas& canvas, TcxLookAndFeelPainterClass painter, TMemo& memo, const TRect& vert,
             const TRect& horz) const;
  // A press on a thumb starts dragging it; elsewhere on a bar it scrolls a line or a page by
  // the part under `point`. True when the point lay on a bar.
  bool MouseDown(TMemo& memo, const TRect& vert, const TRect& horz, TPoint point);
  // While a thumb is dragged, scrolls the memo so that the thumb follows the pointer along its
  // track.
  void MouseMove(TMemo& memo, const TRect& vert, const TRect& horz, TPoint point);
  // True when a drag ended.
  bool EndDrag();

 private:
  // Where the thumb's start may go along a bar, and how it maps to a scroll position and back:
  // painting and dragging both go through it, so a dragged thumb stays under the pointer.
  struct Track {
    int from = 0;   // first pixel of the track
    int to = 0;     // past its last pixel
    int thumb = 0;  // thumb length; 0 when there is nothing to scroll
    int last = 0;   // the largest scroll position
    int ThumbStart(int position) const;
    int Position(int thumb_start) const;
  };
  struct Parts {
    TRect line_up;
    TRect line_down;
    TRect thumb;
    TRect page_up;
    TRect page_down;
  };
  enum class Bar { kNone, kVert, kHorz };

  static Track MakeTrack(const TRect& bar, bool horizontal, int range, int page);
  static Parts Layout(const TRect& bar, bool horizontal, const Track& track, int position);
  static Track VertTrack(TMemo& memo, const TRect& bar);
  static Track HorzTrack(TMemo& memo, const TRect& bar);
  static Parts VertParts(TMemo& memo, const TRect& bar);
  static Parts HorzParts(TMemo& memo, const TRect& bar);

  Bar dragged_ = Bar::kNone;
  // How far along the bar from the thumb's start it was grabbed.
  int grab_ = 0;
};

}  // namespace orlit
