#include "framework/MemoText.h"

#include <algorithm>
#include <utility>

#include "convert/Utf8.h"

namespace orlit {

namespace {

// A block is split once it grows past these, into blocks about half as large, so that an edit
// never rewrites more than a few kilobytes and appending does not split at every line.
constexpr int kMaxBlockLines = 512;
constexpr std::size_t kMaxBlockBytes = 32 * 1024;
constexpr int kChunkLines = 256;
constexpr std::size_t kChunkBytes = 16 * 1024;

// Replaces `count` entries at `at` with `replacement` and adds `delta` to the entries after.
void SpliceIndex(std::vector<std::uint32_t>& index, int at, int count,
                 const std::vector<std::uint32_t>& replacement, std::int64_t delta) {
  const auto first = index.begin() + at;
  const int kept_after = static_cast<int>(index.size()) - at - count;
  if (static_cast<int>(replacement.size()) == count) {
    std::copy(replacement.begin(), replacement.end(), first);
  } else {
    index.erase(first, first + count);
    index.insert(index.begin() + at, replacement.begin(), replacement.end());
  }
  const auto after = index.end() - kept_after;
  if (delta != 0) {
    for (auto it = after; it != index.end(); ++it) {
      *it = static_cast<std::uint32_t>(static_cast<std::int64_t>(*it) + delta);
    }
  }
}

}  // namespace

MemoText::MemoText() {
  blocks_.emplace_back();
  blocks_.back().ends.push_back(0);
  blocks_.back().char_ends.push_back(0);
  Reindex(0);
}

MemoText::Where MemoText::FindLine(int line) const {
  line = std::clamp(line, 0, line_count_ - 1);
  const auto it = std::upper_bound(first_line_.begin(), first_line_.end(), line);
  const int block = static_cast<int>(it - first_line_.begin()) - 1;
  return {block, line - first_line_[static_cast<std::size_t>(block)]};
}

MemoText::Where MemoText::FindPosition(int position) const {
  position = std::clamp(position, 0, length_);
  const auto it = std::upper_bound(first_char_.begin(), first_char_.end(), position);
  const int block = static_cast<int>(it - first_char_.begin()) - 1;
  const Block& b = blocks_[static_cast<std::size_t>(block)];
  const auto local =
      static_cast<std::int64_t>(position - first_char_[static_cast<std::size_t>(block)]);
  // The last line whose start lies at or before the position.
  int low = 0;
  int high = b.Lines() - 1;
  while (low < high) {
    const int mid = (low + high + 1) / 2;
    if (static_cast<std::int64_t>(b.CharStart(mid)) + 2 * mid <= local) {
      low = mid;
    } else {
      high = mid - 1;
    }
  }
  return {block, low};
}

int MemoText::LineStart(int line) const {
  if (line < 0 || line >= line_count_) return -1;
  const Where w = FindLine(line);
  const Block& b = blocks_[static_cast<std::size_t>(w.block)];
  return first_char_[static_cast<std::size_t>(w.block)] + static_cast<int>(b.CharStart(w.line)) +
         2 * w.line;
}

int MemoText::LineLength(int line) const {
  if (line < 0 || line >= line_count_) return -1;
  const Where w = FindLine(line);
  const Block& b = blocks_[static_cast<std::size_t>(w.block)];
  return static_cast<int>(b.char_ends[static_cast<std::size_t>(w.line)] - b.CharStart(w.line));
}

std::string_view MemoText::Line(int line) const {
  if (line < 0 || line >= line_count_) return {};
  const Where w = FindLine(line);
  const Block& b = blocks_[static_cast<std::size_t>(w.block)];
  const std::uint32_t start = b.ByteStart(w.line);
  return std::string_view(b.bytes).substr(start, b.ends[static_cast<std::size_t>(w.line)] - start);
}

int MemoText::LineOfPosition(int position) const {
  const Where w = FindPosition(position);
  return first_line_[static_cast<std::size_t>(w.block)] + w.line;
}

int MemoText::Snap(int position) const {
  const int line = LineOfPosition(position);
  const int start = LineStart(line);
  return start + std::min(std::clamp(position, 0, length_) - start, LineLength(line));
}

std::size_t MemoText::ByteOfColumn(std::string_view line, int column) {
  std::size_t i = 0;
  for (; column > 0 && i < line.size(); --column) NextCodePoint(line, i);
  return i;
}

std::string MemoText::TextRange(int start, int length) const {
  const int from = Snap(start);
  const int to = Snap(static_cast<int>(std::clamp<std::int64_t>(
      static_cast<std::int64_t>(start) + std::max(length, 0), 0, length_)));
  std::string out;
  if (to <= from) return out;
  const int first = LineOfPosition(from);
  const int last = LineOfPosition(to);
  for (int line = first; line <= last; ++line) {
    std::string_view text = Line(line);
    const int line_start = LineStart(line);
    const std::size_t begin = line == first ? ByteOfColumn(text, from - line_start) : 0;
    const std::size_t end = line == last ? ByteOfColumn(text, to - line_start) : text.size();
    out.append(text.substr(begin, end - begin));
    if (line != last) out.append("\r\n");
  }
  return out;
}

std::string MemoText::Text() const {
  std::string out;
  out.reserve(static_cast<std::size_t>(length_) + 16);
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    const Block& block = blocks_[b];
    for (int i = 0; i < block.Lines(); ++i) {
      if (b > 0 || i > 0) out.append("\r\n");
      const std::uint32_t start = block.ByteStart(i);
      out.append(block.bytes, start, block.ends[static_cast<std::size_t>(i)] - start);
    }
  }
  return out;
}

MemoText::Pieces MemoText::Split(std::string_view utf8) {
  Pieces pieces;
  pieces.bytes.reserve(utf8.size());
  std::uint32_t chars = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte == '\r' || byte == '\n') {
      ++pos;
      if (byte == '\r' && pos < utf8.size() && utf8[pos] == '\n') ++pos;
      pieces.ends.push_back(static_cast<std::uint32_t>(pieces.bytes.size()));
      pieces.char_ends.push_back(chars);
      continue;
    }
    ++chars;
    if (byte < 0x80) {
      pieces.bytes.push_back(static_cast<char>(byte));
      ++pos;
    } else {
      AppendUtf8(pieces.bytes, NextCodePoint(utf8, pos));
    }
  }
  pieces.ends.push_back(static_cast<std::uint32_t>(pieces.bytes.size()));
  pieces.char_ends.push_back(chars);
  return pieces;
}

bool MemoText::Replace(int start, int length, std::string_view utf8, LinesChange* change) {
  const int from = Snap(start);
  int to = Snap(static_cast<int>(std::clamp<std::int64_t>(
      static_cast<std::int64_t>(start) + std::max(length, 0), 0, length_)));
  to = std::max(to, from);
  // A text that could not fit is refused before any work on it.
  if (utf8.size() / 4 > static_cast<std::size_t>(kCapacity)) return false;
  Pieces pieces = Split(utf8);
  const int new_lines = static_cast<int>(pieces.ends.size());
  const std::int64_t new_length = static_cast<std::int64_t>(length_) - (to - from) +
                                  pieces.char_ends.back() + 2 * (new_lines - 1);
  if (new_length > kCapacity) return false;
  if (from == to && utf8.empty()) {
    if (change != nullptr) *change = {LineOfPosition(from), 0, 0};
    return true;
  }

  const Where a = FindPosition(from);
  const Where b = FindPosition(to);
  const int first_line = first_line_[static_cast<std::size_t>(a.block)] + a.line;
  const int last_line = first_line_[static_cast<std::size_t>(b.block)] + b.line;
  if (b.block != a.block) MergeBlocks(a.block, b.block);
  Block& block = blocks_[static_cast<std::size_t>(a.block)];
  const int ia = a.line;
  const int ib = last_line - first_line_[static_cast<std::size_t>(a.block)];
  const int line_start = first_char_[static_cast<std::size_t>(a.block)];

  const std::string_view bytes(block.bytes);
  const std::uint32_t a_start = block.ByteStart(ia);
  const std::uint32_t b_start = block.ByteStart(ib);
  const int column_a = from - (line_start + static_cast<int>(block.CharStart(ia)) + 2 * ia);
  const int column_b = to - (line_start + static_cast<int>(block.CharStart(ib)) + 2 * ib);
  const auto cut_from = static_cast<std::uint32_t>(
      a_start +
      ByteOfColumn(bytes.substr(a_start, block.ends[static_cast<std::size_t>(ia)] - a_start),
                   column_a));
  const auto cut_to = static_cast<std::uint32_t>(
      b_start +
      ByteOfColumn(bytes.substr(b_start, block.ends[static_cast<std::size_t>(ib)] - b_start),
                   column_b));
  const std::uint32_t char_from = block.CharStart(ia) + static_cast<std::uint32_t>(column_a);
  const std::uint32_t char_to = block.CharStart(ib) + static_cast<std::uint32_t>(column_b);
  const std::uint32_t tail_bytes = block.ends[static_cast<std::size_t>(ib)] - cut_to;
  const std::uint32_t tail_chars = block.char_ends[static_cast<std::size_t>(ib)] - char_to;

  std::vector<std::uint32_t> ends(pieces.ends.size());
  std::vector<std::uint32_t> char_ends(pieces.ends.size());
  for (std::size_t j = 0; j < pieces.ends.size(); ++j) {
    ends[j] = cut_from + pieces.ends[j];
    char_ends[j] = char_from + pieces.char_ends[j];
  }
  ends.back() += tail_bytes;
  char_ends.back() += tail_chars;
  const std::int64_t byte_delta =
      static_cast<std::int64_t>(ends.back()) - block.ends[static_cast<std::size_t>(ib)];
  const std::int64_t char_delta =
      static_cast<std::int64_t>(char_ends.back()) - block.char_ends[static_cast<std::size_t>(ib)];

  block.bytes.replace(cut_from, cut_to - cut_from, pieces.bytes);
  SpliceIndex(block.ends, ia, ib - ia + 1, ends, byte_delta);
  SpliceIndex(block.char_ends, ia, ib - ia + 1, char_ends, char_delta);

  line_count_ += new_lines - (ib - ia + 1);
  length_ = static_cast<int>(new_length);
  SplitIfLarge(a.block);
  Reindex(a.block);
  ++revision_;
  if (change != nullptr) *change = {first_line, last_line - first_line + 1, new_lines};
  return true;
}

void MemoText::MergeBlocks(int first, int last) {
  Block& into = blocks_[static_cast<std::size_t>(first)];
  for (int i = first + 1; i <= last; ++i) {
    const Block& from = blocks_[static_cast<std::size_t>(i)];
    const auto byte_base = static_cast<std::uint32_t>(into.bytes.size());
    const std::uint32_t char_base = into.char_ends.back();
    into.bytes.append(from.bytes);
    for (std::uint32_t end : from.ends) into.ends.push_back(byte_base + end);
    for (std::uint32_t end : from.char_ends) into.char_ends.push_back(char_base + end);
  }
  blocks_.erase(blocks_.begin() + first + 1, blocks_.begin() + last + 1);
}

void MemoText::SplitIfLarge(int index) {
  Block& block = blocks_[static_cast<std::size_t>(index)];
  if (block.Lines() <= 1 ||
      (block.Lines() <= kMaxBlockLines && block.bytes.size() <= kMaxBlockBytes)) {
    return;
  }
  std::vector<Block> parts;
  int line = 0;
  while (line < block.Lines()) {
    Block part;
    const std::uint32_t byte_base = block.ByteStart(line);
    const std::uint32_t char_base = block.CharStart(line);
    while (line < block.Lines() && part.Lines() < kChunkLines &&
           (part.Lines() == 0 ||
            block.ends[static_cast<std::size_t>(line)] - byte_base <= kChunkBytes)) {
      part.ends.push_back(block.ends[static_cast<std::size_t>(line)] - byte_base);
      part.char_ends.push_back(block.char_ends[static_cast<std::size_t>(line)] - char_base);
      ++line;
    }
    part.bytes.assign(block.bytes, byte_base, part.ends.back());
    parts.push_back(std::move(part));
  }
  blocks_.erase(blocks_.begin() + index);
  blocks_.insert(blocks_.begin() + index, std::make_move_iterator(parts.begin()),
                 std::make_move_iterator(parts.end()));
}

void MemoText::Reindex(int from_block) {
  first_line_.resize(blocks_.size());
  first_char_.resize(blocks_.size());
  for (std::size_t b = static_cast<std::size_t>(std::max(from_block, 0)); b < blocks_.size(); ++b) {
    first_line_[b] = b == 0 ? 0 : first_line_[b - 1] + blocks_[b - 1].Lines();
    first_char_[b] = b == 0 ? 0 : first_char_[b - 1] + blocks_[b - 1].Span();
  }
}

std::size_t MemoText::MemoryUsed() const {
  std::size_t bytes = sizeof(*this) + blocks_.capacity() * sizeof(Block) +
                      (first_line_.capacity() + first_char_.capacity()) * sizeof(int);
  for (const Block& block : blocks_) {
    bytes += block.bytes.capacity() +
             (block.ends.capacity() + block.char_ends.capacity()) * sizeof(std::uint32_t);
  }
  return bytes;
}

}  // namespace orlit
