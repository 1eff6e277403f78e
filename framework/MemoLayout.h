#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Alignment.h"
#include "framework/MemoText.h"

namespace orlit {

class ResolvedFont;

// The rows of a multi-line edit's text for one font and width: with word wrap a long line is
// several rows. A line is laid out on demand; the row count of each line is kept until the line
// changes, with running sums per group of lines, so that finding a row in a long text does not
// lay out every line before it.
class MemoLayout {
 public:
  // One row of a line: characters [start, end) of the line.
  struct Row {
    int start = 0;
    int end = 0;
  };
  // The characters of one line with their pixel offsets and the rows they wrap into.
  struct Line {
    std::u32string chars;
    std::vector<std::uint32_t> bytes;  // byte offset of each character boundary
    std::vector<int> x;                // pixel offset of each character boundary
    std::vector<Row> rows;

    // The row holding character boundary `column`.
    int RowOf(int column) const;
  };
  // A row as the line it belongs to and its index within that line.
  struct RowPlace {
    int line = 0;
    int row_in_line = 0;
  };

  explicit MemoLayout(const MemoText& text) : text_(text) {}

  // `width` is the room of a row; the rows kept so far are dropped when what they depend on
  // changes.
  void SetFormat(std::shared_ptr<const ResolvedFont> font, int width, bool word_wrap,
                 TAlignment alignment);
  bool WordWrap() const { return word_wrap_; }
  int Width() const { return width_; }
  // To be told of every change of the text.
  void LinesReplaced(const MemoText::LinesChange& change);

  int RowCount();
  int FirstRowOfLine(int line);
  RowPlace LineOfRow(int row);
  int RowOfPosition(int position);
  // First character of `row` and its length without a break, -1 when there is no such row.
  int RowStart(int row);
  int RowLength(int row);

  void LayOut(int line, Line& out) const;
  // Where the row's first character stands within the width, as the alignment puts it.
  int RowIndent(const Line& line, const Row& row) const;
  // The widest line (without word wrap); the width with it.
  int ContentWidth() const;

 private:
  void Invalidate();
  void EnsureSums();
  int RowsOfLine(int line);

  const MemoText& text_;
  std::shared_ptr<const ResolvedFont> font_;
  int width_ = 1;
  bool word_wrap_ = true;
  TAlignment alignment_ = taLeftJustify;

  // Rows per line (0: not laid out yet), and their running sums per group of lines (valid for
  // the groups before sums_valid_).
  static constexpr int kGroupLines = 1024;
  std::vector<std::uint32_t> line_rows_ = std::vector<std::uint32_t>(1, 0);
  std::vector<std::int64_t> group_end_;  // rows up to the end of each group
  std::size_t sums_valid_ = 0;
};

}  // namespace orlit
