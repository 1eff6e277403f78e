#include "editors/MemoScrollBars.h"

#include <algorithm>

namespace orlit {

namespace {

// a * b / c rounded to the nearest, for non-negative a and b and positive c.
int MulDivRounded(int a, int b, int c) {
  return static_cast<int>((static_cast<long long>(a) * b + c / 2) / c);
}

}  // namespace

int TcxCustomMemoScrollBars::Track::ThumbStart(int position) const {
  if (thumb == 0) return from;
  return from + MulDivRounded(to - from - thumb, std::clamp(position, 0, last), last);
}

int TcxCustomMemoScrollBars::Track::Position(int thumb_start) const {
  if (thumb == 0) return 0;
  const int travel = std::max(1, to - from - thumb);
  return MulDivRounded(std::clamp(thumb_start - from, 0, travel), last, travel);
}

TcxCustomMemoScrollBars::Track TcxCustomMemoScrollBars::MakeTrack(const TRect& bar, bool horizontal,
                                                                  int range, int page) {
  // Along the bar from `start` to `end`, less an arrow button at each end, square while the bar
  // is long enough.
  const int start = horizontal ? bar.Left : bar.Top;
  const int end = horizontal ? bar.Right : bar.Bottom;
  const int button = std::min(horizontal ? bar.Height() : bar.Width(), (end - start) / 2);
  Track track{start + button, end - button};
  const int length = track.to - track.from;
  if (range <= page || length < kMinThumb) return track;
  track.thumb =
      std::max(kMinThumb, static_cast<int>(static_cast<long long>(length) * page / range));
  track.last = range - page;
  return track;
}

TcxCustomMemoScrollBars::Parts TcxCustomMemoScrollBars::Layout(const TRect& bar, bool horizontal,
                                                               const Track& track, int position) {
  auto span = [&](int from, int to) {
    return horizontal ? TRect{from, bar.Top, to, bar.Bottom} : TRect{bar.Left, from, bar.Right, to};
  };
  Parts parts;
  parts.line_up = span(horizontal ? bar.Left : bar.Top, track.from);
  parts.line_down = span(track.to, horizontal ? bar.Right : bar.Bottom);
  if (track.thumb == 0) {
    parts.page_down = span(track.from, track.to);
    return parts;
  }
  const int at = track.ThumbStart(position);
  parts.page_up = span(track.from, at);
  parts.thumb = span(at, at + track.thumb);
  parts.page_down = span(at + track.thumb, track.to);
  return parts;
}

TcxCustomMemoScrollBars::Track TcxCustomMemoScrollBars::VertTrack(TMemo& memo, const TRect& bar) {
  return MakeTrack(bar, false, memo.RowCount(), memo.VisibleRows());
}

TcxCustomMemoScrollBars::Track TcxCustomMemoScrollBars::HorzTrack(TMemo& memo, const TRect& bar) {
  // The text is laid out a caret's width narrower than the client: that much less is in view.
  return MakeTrack(bar, true, memo.ContentWidth(), memo.ClientWidth() - TMemo::kCaretWidth);
}

TcxCustomMemoScrollBars::Parts TcxCustomMemoScrollBars::VertParts(TMemo& memo, const TRect& bar) {
  return Layout(bar, false, VertTrack(memo, bar), memo.TopRow());
}

TcxCustomMemoScrollBars::Parts TcxCustomMemoScrollBars::HorzParts(TMemo& memo, const TRect& bar) {
  return Layout(bar, true, HorzTrack(memo, bar), memo.ScrollX());
}

void TcxCustomMemoScrollBars::Paint(TcxCanvas& canvas, TcxLookAndFeelPainterClass painter,
                                    TMemo& memo, const TRect& vert, const TRect& horz) const {
  auto draw = [&](const Parts& parts, bool horizontal, bool dragged) {
    painter->DrawScrollBarPart(canvas, parts.page_up, sbpPageUp, cxbsNormal, horizontal);
    painter->DrawScrollBarPart(canvas, parts.page_down, sbpPageDown, cxbsNormal, horizontal);
    painter->DrawScrollBarPart(canvas, parts.line_up, sbpLineUp, cxbsNormal, horizontal);
    painter->DrawScrollBarPart(canvas, parts.line_down, sbpLineDown, cxbsNormal, horizontal);
    painter->DrawScrollBarPart(canvas, parts.thumb, sbpThumbnail,
                               dragged ? cxbsPressed : cxbsNormal, horizontal);
  };
  if (!vert.IsEmpty()) draw(VertParts(memo, vert), false, dragged_ == Bar::kVert);
  if (!horz.IsEmpty()) draw(HorzParts(memo, horz), true, dragged_ == Bar::kHorz);
}

bool TcxCustomMemoScrollBars::MouseDown(TMemo& memo, const TRect& vert, const TRect& horz,
                                        TPoint point) {
  if (!vert.IsEmpty() && vert.Contains(point)) {
    const Parts parts = VertParts(memo, vert);
    if (parts.thumb.Contains(point)) {
      dragged_ = Bar::kVert;
      grab_ = point.Y - parts.thumb.Top;
      return true;
    }
    const int page = memo.VisibleRows();
    int step = 0;
    if (parts.line_up.Contains(point)) step = -1;
    if (parts.line_down.Contains(point)) step = 1;
    if (parts.page_up.Contains(point)) step = -page;
    if (parts.page_down.Contains(point)) step = page;
    memo.SetTopRow(memo.TopRow() + step);
    return true;
  }
  if (!horz.IsEmpty() && horz.Contains(point)) {
    const Parts parts = HorzParts(memo, horz);
    if (parts.thumb.Contains(point)) {
      dragged_ = Bar::kHorz;
      grab_ = point.X - parts.thumb.Left;
      return true;
    }
    const int page = memo.ClientWidth();
    int step = 0;
    if (parts.line_up.Contains(point)) step = -kLineWidth;
    if (parts.line_down.Contains(point)) step = kLineWidth;
    if (parts.page_up.Contains(point)) step = -page;
    if (parts.page_down.Contains(point)) step = page;
    memo.SetScrollX(memo.ScrollX() + step);
    return true;
  }
  return false;
}

void TcxCustomMemoScrollBars::MouseMove(TMemo& memo, const TRect& vert, const TRect& horz,
                                        TPoint point) {
  // The bar may have gone (ScrollBars changed) while its thumb was held.
  if (dragged_ == Bar::kVert && !vert.IsEmpty()) {
    memo.SetTopRow(VertTrack(memo, vert).Position(point.Y - grab_));
  } else if (dragged_ == Bar::kHorz && !horz.IsEmpty()) {
    memo.SetScrollX(HorzTrack(memo, horz).Position(point.X - grab_));
  } else {
    dragged_ = Bar::kNone;
  }
}

bool TcxCustomMemoScrollBars::EndDrag() {
  const bool dragging = dragged_ != Bar::kNone;
  dragged_ = Bar::kNone;
  return dragging;
}

}  // namespace orlit
