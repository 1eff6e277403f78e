#include "framework/MemoLayout.h"

#include <algorithm>
#include <utility>

#include "platform/ResolvedFont.h"
#include "platform/TextLayout.h"

namespace orlit {

namespace {

bool IsSpace(char32_t c) { return c == U' ' || c == U'\t'; }

}  // namespace

int MemoLayout::Line::RowOf(int column) const {
  int k = static_cast<int>(rows.size()) - 1;
  while (k > 0 && rows[static_cast<std::size_t>(k)].start > column) --k;
  return k;
}

void MemoLayout::SetFormat(std::shared_ptr<const ResolvedFont> font, int width, bool word_wrap,
                           TAlignment alignment) {
  alignment_ = alignment;
  // Without word wrap a line is one row whatever the width.
  const bool rows_differ =
      font != font_ || word_wrap != word_wrap_ || (word_wrap && width != width_);
  font_ = std::move(font);
  width_ = width;
  word_wrap_ = word_wrap;
  if (rows_differ) Invalidate();
}

void MemoLayout::Invalidate() {
  std::fill(line_rows_.begin(), line_rows_.end(), 0);
  sums_valid_ = 0;
}

void MemoLayout::LinesReplaced(const MemoText::LinesChange& change) {
  const auto first = line_rows_.begin() + change.first;
  if (change.removed == change.added) {
    std::fill(first, first + change.added, 0);
  } else {
    line_rows_.erase(first, first + change.removed);
    line_rows_.insert(line_rows_.begin() + change.first, static_cast<std::size_t>(change.added), 0);
  }
  sums_valid_ = std::min(sums_valid_, static_cast<std::size_t>(change.first / kGroupLines));
}

void MemoLayout::LayOut(int line, Line& out) const {
  const std::string_view text = text_.Line(line);
  out.chars.clear();
  out.bytes.clear();
  out.x.clear();
  out.rows.clear();
  out.bytes.push_back(0);
  out.x.push_back(0);
  const int tab = std::max(1, font_->TextMetrics().tmAveCharWidth) * 8;
  int x = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t begin = pos;
    const char32_t c = NextCodePoint(text, pos);
    x = c == U'\t' ? (x / tab + 1) * tab : x + font_->TextWidth(text.substr(begin, pos - begin));
    out.chars.push_back(c);
    out.bytes.push_back(static_cast<std::uint32_t>(pos));
    out.x.push_back(x);
  }
  const int n = static_cast<int>(out.chars.size());
  int start = 0;
  if (word_wrap_) {
    int after_space = -1;
    for (int i = 0; i < n; ++i) {
      // Spaces hang past the edge; a word that does not fit moves to the next row, and a word
      // wider than the row breaks between characters.
      if (IsSpace(out.chars[static_cast<std::size_t>(i)])) {
        after_space = i + 1;
        continue;
      }
      while (i > start &&
             out.x[static_cast<std::size_t>(i) + 1] - out.x[static_cast<std::size_t>(start)] >
                 width_) {
        const int cut = after_space > start && after_space <= i ? after_space : i;
        out.rows.push_back({start, cut});
        start = cut;
        after_space = -1;
      }
    }
  }
  out.rows.push_back({start, n});
}

int MemoLayout::RowsOfLine(int line) {
  if (!word_wrap_) return 1;
  std::uint32_t& rows = line_rows_[static_cast<std::size_t>(line)];
  if (rows == 0) {
    Line layout;
    LayOut(line, layout);
    rows = static_cast<std::uint32_t>(layout.rows.size());
  }
  return static_cast<int>(rows);
}

void MemoLayout::EnsureSums() {
  const int lines = text_.LineCount();
  const std::size_t groups = static_cast<std::size_t>((lines + kGroupLines - 1) / kGroupLines);
  group_end_.resize(groups);
  for (std::size_t g = sums_valid_; g < groups; ++g) {
    std::int64_t sum = g == 0 ? 0 : group_end_[g - 1];
    const int last = std::min(lines, static_cast<int>(g + 1) * kGroupLines);
    for (int line = static_cast<int>(g) * kGroupLines; line < last; ++line) sum += RowsOfLine(line);
    group_end_[g] = sum;
  }
  sums_valid_ = groups;
}

int MemoLayout::RowCount() {
  if (!word_wrap_) return text_.LineCount();
  EnsureSums();
  return static_cast<int>(group_end_.back());
}

int MemoLayout::FirstRowOfLine(int line) {
  if (!word_wrap_) return line;
  EnsureSums();
  const int group = line / kGroupLines;
  std::int64_t row = group == 0 ? 0 : group_end_[static_cast<std::size_t>(group) - 1];
  for (int l = group * kGroupLines; l < line; ++l) row += RowsOfLine(l);
  return static_cast<int>(row);
}

MemoLayout::RowPlace MemoLayout::LineOfRow(int row) {
  if (!word_wrap_) return {row, 0};
  EnsureSums();
  const auto it = std::upper_bound(group_end_.begin(), group_end_.end(), row);
  const std::size_t group = std::min<std::size_t>(static_cast<std::size_t>(it - group_end_.begin()),
                                                  group_end_.size() - 1);
  std::int64_t first = group == 0 ? 0 : group_end_[group - 1];
  int line = static_cast<int>(group) * kGroupLines;
  const int last_line = text_.LineCount() - 1;
  while (line < last_line && first + RowsOfLine(line) <= row) first += RowsOfLine(line++);
  return {line, std::clamp(static_cast<int>(row - first), 0, RowsOfLine(line) - 1)};
}

int MemoLayout::RowStart(int row) {
  if (row < 0 || row >= RowCount()) return -1;
  const RowPlace place = LineOfRow(row);
  if (!word_wrap_) return text_.LineStart(place.line);
  Line layout;
  LayOut(place.line, layout);
  return text_.LineStart(place.line) +
         layout.rows[static_cast<std::size_t>(place.row_in_line)].start;
}

int MemoLayout::RowLength(int row) {
  if (row < 0 || row >= RowCount()) return -1;
  const RowPlace place = LineOfRow(row);
  if (!word_wrap_) return text_.LineLength(place.line);
  Line layout;
  LayOut(place.line, layout);
  const Row& r = layout.rows[static_cast<std::size_t>(place.row_in_line)];
  return r.end - r.start;
}

int MemoLayout::RowOfPosition(int position) {
  const int line = text_.LineOfPosition(position);
  if (!word_wrap_) return line;
  Line layout;
  LayOut(line, layout);
  return FirstRowOfLine(line) + layout.RowOf(text_.Snap(position) - text_.LineStart(line));
}

int MemoLayout::RowIndent(const Line& line, const Row& row) const {
  const int room = std::max(0, width_ - (line.x[static_cast<std::size_t>(row.end)] -
                                         line.x[static_cast<std::size_t>(row.start)]));
  switch (alignment_) {
    case taRightJustify:
      return room;
    case taCenter:
      return room / 2;
    case taLeftJustify:
      break;
  }
  return 0;
}

int MemoLayout::ContentWidth() const {
  if (word_wrap_) return width_;
  int widest = 0;
  Line layout;
  for (int line = 0; line < text_.LineCount(); ++line) {
    LayOut(line, layout);
    widest = std::max(widest, layout.x.back());
  }
  return widest;
}

}  // namespace orlit
