#include "editors/MemoScrollBars.h"

#include <algorithm>

namespace orlit {

namespace {

constexpr int kMinThumb = 8;

}  // namespace

TcxCustomMemoScrollBars::Parts TcxCustomMemoScrollBars::Layout(const TRect& bar, bool horizontal,
                                                               int position, int range, int page) {
  Parts parts;
  // Along the bar: from `start` to `end`; across it the bar's full thickness.
  const int start = horizontal ? bar.Left : bar.Top;
  const int end = horizontal ? bar.Right : bar.Bottom;
  const int button = std::min(horizontal ? bar.Height() : bar.Width(), (end - start) / 2);
  auto span = [&](int from, int to) {
    return horizontal ? TRect{from, bar.Top, to, bar.Bottom} : TRect{bar.Left, from, bar.Right, to};
  };
  parts.line_up = span(start, start + button);
  parts.line_down = span(end - button, end);
  const int track_from = start + button;
  const int track_to = end - button;
  const int track = track_to - track_from;
  if (range <= page || track < kMinThumb) {
    parts.page_down = span(track_from, track_to);
    return parts;
  }
  const int thumb =
      std::max(kMinThumb, static_cast<int>(static_cast<long long>(track) * page / range));
  const int at = track_from + static_cast<int>(static_cast<long long>(track - thumb) *
                                               std::clamp(position, 0, range - page) /
                                               std::max(1, range - page));
  parts.page_up = span(track_from, at);
  parts.thumb = span(at, at + thumb);
  parts.page_down = span(at + thumb, track_to);
  return parts;
}

TcxCustomMemoScrollBars::Parts TcxCustomMemoScrollBars::VertParts(TMemo& memo, const TRect& bar) {
  return Layout(bar, false, memo.TopRow(), memo.RowCount(), memo.VisibleRows());
}

TcxCustomMemoScrollBars::Parts TcxCustomMemoScrollBars::HorzParts(TMemo& memo, const TRect& bar) {
  return Layout(bar, true, memo.ScrollX(), memo.ContentWidth(), memo.ClientWidth());
}

void TcxCustomMemoScrollBars::Paint(TcxCanvas& canvas, TcxLookAndFeelPainterClass painter,
                                    TMemo& memo, const TRect& vert, const TRect& horz) {
  auto draw = [&](const Parts& parts, bool horizontal) {
    painter->DrawScrollBarPart(canvas, parts.page_up, sbpPageUp, horizontal);
    painter->DrawScrollBarPart(canvas, parts.page_down, sbpPageDown, horizontal);
    painter->DrawScrollBarPart(canvas, parts.line_up, sbpLineUp, horizontal);
    painter->DrawScrollBarPart(canvas, parts.line_down, sbpLineDown, horizontal);
    painter->DrawScrollBarPart(canvas, parts.thumb, sbpThumbnail, horizontal);
  };
  if (!vert.IsEmpty()) draw(VertParts(memo, vert), false);
  if (!horz.IsEmpty()) draw(HorzParts(memo, horz), true);
}

bool TcxCustomMemoScrollBars::Click(TMemo& memo, const TRect& vert, const TRect& horz,
                                    TPoint point) {
  if (!vert.IsEmpty() && vert.Contains(point)) {
    const Parts parts = VertParts(memo, vert);
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

}  // namespace orlit
