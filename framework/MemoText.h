#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orlit {

// The text of a multi-line edit. From outside it is one string whose lines are separated by
// CR LF; inside, the lines are UTF-8 in blocks of a few hundred lines with an index, so that a
// change rewrites only the block it falls in and appending to a long text costs what appending
// to a short one does.
//
// Positions count code points, a line break counting two (its CR and its LF). A position
// between the CR and the LF belongs to the end of the line before. There is always at least
// one line; an empty text is one empty line.
class MemoText {
 public:
  // The most characters the text holds; a change that would make it longer is refused.
  static constexpr int kCapacity = 1 << 28;

  // Lines [first, first + removed) of the old text became [first, first + added).
  struct LinesChange {
    int first = 0;
    int removed = 0;
    int added = 0;
  };

  MemoText();

  int LineCount() const { return line_count_; }
  // In characters, breaks included.
  int Length() const { return length_; }
  // Where line `line` starts, -1 when there is no such line.
  int LineStart(int line) const;
  // Characters of line `line` without its break, -1 when there is no such line.
  int LineLength(int line) const;
  // The UTF-8 of line `line` without its break; empty when there is no such line.
  std::string_view Line(int line) const;
  // The line a position lies on (positions are clamped into the text).
  int LineOfPosition(int position) const;
  // The position clamped into the text and moved off the middle of a break.
  int Snap(int position) const;

  // The whole text, lines joined by CR LF.
  std::string Text() const;
  // [start, start + length) with the breaks as CR LF.
  std::string TextRange(int start, int length) const;

  // Replaces [start, start + length) (snapped) with `utf8`, in which CR LF, a lone CR and a
  // lone LF are each one break and malformed bytes become U+FFFD. False, with nothing changed,
  // when the result would exceed kCapacity. `change` receives the lines touched.
  bool Replace(int start, int length, std::string_view utf8, LinesChange* change = nullptr);

  // Increases with every change of the text.
  std::uint64_t Revision() const { return revision_; }
  // Bytes held by the text and its index.
  std::size_t MemoryUsed() const;

 private:
  // Lines [i] of a block: bytes [ends[i - 1], ends[i]) and, counted in code points without
  // breaks, [char_ends[i - 1], char_ends[i]).
  struct Block {
    std::string bytes;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint32_t> char_ends;

    int Lines() const { return static_cast<int>(ends.size()); }
    std::uint32_t ByteStart(int i) const { return i == 0 ? 0 : ends[i - 1]; }
    std::uint32_t CharStart(int i) const { return i == 0 ? 0 : char_ends[i - 1]; }
    // Characters of the block, each line's break included.
    int Span() const {
      return static_cast<int>(char_ends.empty() ? 0 : char_ends.back()) + 2 * Lines();
    }
  };
  // The new lines of a change, in the same form.
  struct Pieces {
    std::string bytes;
    std::vector<std::uint32_t> ends;
    std::vector<std::uint32_t> char_ends;
  };

  struct Where {
    int block = 0;
    int line = 0;  // within the block
  };
  Where FindLine(int line) const;
  Where FindPosition(int position) const;
  // Byte offset of the character `column` in a line.
  static std::size_t ByteOfColumn(std::string_view line, int column);
  static Pieces Split(std::string_view utf8);

  void MergeBlocks(int first, int last);
  void SplitIfLarge(int block);
  void Reindex(int from_block);

  std::vector<Block> blocks_;
  // Per block: the index of its first line and the position of its first character.
  std::vector<int> first_line_;
  std::vector<int> first_char_;
  int line_count_ = 1;
  int length_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace orlit
