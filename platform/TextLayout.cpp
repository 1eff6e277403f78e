#include "platform/TextLayout.h"

#include <algorithm>
#include <limits>

namespace orlit {

std::string TextLine::Text() const {
  std::string text;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (i > 0) text += '\t';
    text += runs[i].text;
  }
  return text;
}

namespace {

constexpr std::string_view kEllipsis = "...";

// Display text with the byte offsets of the characters a prefix "&" underlines.
struct MarkedText {
  std::string text;
  std::vector<std::size_t> underlined;
};

MarkedText ProcessPrefixes(std::string_view text) {
  MarkedText out;
  out.text.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out.text += text[i];
      continue;
    }
    if (i + 1 >= text.size()) break;  // a lone "&" at the end shows nothing
    if (text[i + 1] == '&') {
      out.text += '&';
      ++i;
      continue;
    }
    out.underlined.push_back(out.text.size());
  }
  return out;
}

MarkedText Slice(const MarkedText& from, std::size_t begin, std::size_t end) {
  MarkedText out;
  out.text = from.text.substr(begin, end - begin);
  for (std::size_t u : from.underlined) {
    if (u >= begin && u < end) out.underlined.push_back(u - begin);
  }
  return out;
}

MarkedText Concat(MarkedText a, const MarkedText& b) {
  std::size_t shift = a.text.size();
  a.text += b.text;
  for (std::size_t u : b.underlined) a.underlined.push_back(u + shift);
  return a;
}

class LineMeasurer {
 public:
  LineMeasurer(const TextMeasure& measure, bool expand_tabs)
      : measure_(measure), expand_tabs_(expand_tabs) {
    // Default tab stops every eight average characters; a font that reports no width still gets
    // stops one pixel apart so the arithmetic stays defined.
    tab_ = std::max(1, measure.AveCharWidth()) * 8;
  }

  int Width(std::string_view text) const {
    if (!expand_tabs_) return measure_.TextWidth(text);
    int x = 0;
    std::size_t start = 0;
    while (true) {
      std::size_t tab = text.find('\t', start);
      x +=
          measure_.TextWidth(text.substr(start, tab == std::string_view::npos ? tab : tab - start));
      if (tab == std::string_view::npos) return x;
      x = NextTabStop(x);
      start = tab + 1;
    }
  }

  std::vector<TextRun> Runs(std::string_view text) const {
    std::vector<TextRun> runs;
    if (!expand_tabs_) {
      runs.push_back({std::string(text), 0});
      return runs;
    }
    int x = 0;
    std::size_t start = 0;
    while (true) {
      std::size_t tab = text.find('\t', start);
      std::string_view piece =
          text.substr(start, tab == std::string_view::npos ? tab : tab - start);
      runs.push_back({std::string(piece), x});
      x += measure_.TextWidth(piece);
      if (tab == std::string_view::npos) return runs;
      x = NextTabStop(x);
      start = tab + 1;
    }
  }

  const TextMeasure& measure() const { return measure_; }

 private:
  int NextTabStop(int x) const { return (x / tab_ + 1) * tab_; }

  const TextMeasure& measure_;
  bool expand_tabs_;
  int tab_;
};

std::vector<std::size_t> CodePointStarts(std::string_view text) {
  std::vector<std::size_t> starts;
  for (std::size_t pos = 0; pos < text.size();) {
    starts.push_back(pos);
    NextCodePoint(text, pos);
  }
  return starts;
}

// The longest code-point prefix [begin, k) of text[begin, end) no wider than `limit`, at least
// one code point so that breaking always makes progress.
std::size_t FitPrefix(const LineMeasurer& m, std::string_view text, std::size_t begin,
                      std::size_t end, int limit) {
  std::vector<std::size_t> cuts;
  for (std::size_t pos = begin; pos < end;) {
    NextCodePoint(text, pos);
    cuts.push_back(std::min(pos, end));
  }
  // Widths grow with the prefix, so the last fitting cut is found by bisection.
  std::size_t lo = 0;
  std::size_t hi = cuts.size();
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    if (m.Width(text.substr(begin, cuts[mid] - begin)) <= limit) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo == 0 ? cuts.front() : cuts[lo - 1];
}

struct Break {
  std::size_t end;   // the line ends here (spaces excluded)
  std::size_t next;  // the next line starts here (spaces skipped)
};

void BreakParagraph(const LineMeasurer& m, const MarkedText& para, int limit, bool edit_control,
                    std::vector<MarkedText>& lines) {
  const std::string& text = para.text;
  std::vector<Break> breaks;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != ' ') {
      ++i;
      continue;
    }
    std::size_t run_end = i;
    while (run_end < text.size() && text[run_end] == ' ') ++run_end;
    breaks.push_back({i, run_end});
    i = run_end;
  }
  if (text.empty() || text.back() != ' ') breaks.push_back({text.size(), text.size()});

  std::size_t pos = 0;
  do {
    const Break* best = nullptr;
    const Break* first = nullptr;
    for (const Break& b : breaks) {
      if (b.end <= pos) continue;
      if (first == nullptr) first = &b;
      if (m.Width(std::string_view(text).substr(pos, b.end - pos)) > limit) break;
      best = &b;
    }
    if (best != nullptr) {
      lines.push_back(Slice(para, pos, best->end));
      pos = best->next;
    } else if (first == nullptr) {
      lines.push_back(Slice(para, pos, text.size()));  // nothing but spaces left
      pos = text.size();
    } else if (edit_control) {
      std::size_t cut = FitPrefix(m, text, pos, first->end, limit);
      lines.push_back(Slice(para, pos, cut));
      pos = cut == first->end ? first->next : cut;
    } else {
      lines.push_back(Slice(para, pos, first->end));
      pos = first->next;
    }
  } while (pos < text.size());
}

MarkedText EndEllipsis(const LineMeasurer& m, const MarkedText& line, int limit) {
  std::vector<std::size_t> starts = CodePointStarts(line.text);
  starts.push_back(line.text.size());
  MarkedText dots{std::string(kEllipsis), {}};
  std::size_t lo = 0;
  std::size_t hi = starts.size();
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    if (m.Width(line.text.substr(0, starts[mid]) + std::string(kEllipsis)) <= limit) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  std::size_t keep = lo == 0 ? 0 : starts[lo - 1];
  return Concat(Slice(line, 0, keep), dots);
}

MarkedText PathEllipsis(const LineMeasurer& m, const MarkedText& line, int limit,
                        bool also_end_ellipsis) {
  // As much as possible of what follows the last separator is kept; the part before it is cut
  // from its end. Both separators count, since paths here may be written either way.
  std::size_t sep = line.text.find_last_of("\\/");
  std::size_t split = sep == std::string::npos ? line.text.size() : sep;
  MarkedText head = Slice(line, 0, split);
  MarkedText tail = Slice(line, split, line.text.size());
  MarkedText dots{std::string(kEllipsis), {}};
  std::vector<std::size_t> starts = CodePointStarts(head.text);
  starts.push_back(head.text.size());
  std::size_t lo = 0;
  std::size_t hi = starts.size();
  while (lo < hi) {
    std::size_t mid = (lo + hi) / 2;
    if (m.Width(head.text.substr(0, starts[mid]) + std::string(kEllipsis) + tail.text) <= limit) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  std::size_t keep = lo == 0 ? 0 : starts[lo - 1];
  MarkedText result = Concat(Concat(Slice(head, 0, keep), dots), tail);
  if (also_end_ellipsis && m.Width(result.text) > limit) return EndEllipsis(m, result, limit);
  return result;
}

std::vector<MarkedText> SplitParagraphs(const MarkedText& text) {
  std::vector<MarkedText> paragraphs;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.text.size(); ++i) {
    char c = text.text[i];
    if (c != '\r' && c != '\n') continue;
    paragraphs.push_back(Slice(text, start, i));
    if (c == '\r' && i + 1 < text.text.size() && text.text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  // A final line break ends the last line rather than starting an empty one.
  if (start < text.text.size()) paragraphs.push_back(Slice(text, start, text.text.size()));
  return paragraphs;
}

int Clamp(int64_t v) {
  return static_cast<int>(
      std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

TextLayout LayoutText(std::string_view text, const TRect& rect, unsigned format,
                      const TextMeasure& measure) {
  TextLayout layout;
  layout.calc_rect = {rect.Left, rect.Top, rect.Left, rect.Top};
  if (text.empty()) return layout;

  const LineMeasurer m(measure, (format & DT_EXPANDTABS) != 0);
  const bool single_line = (format & DT_SINGLELINE) != 0;
  const int64_t rect_width = static_cast<int64_t>(rect.Right) - rect.Left;
  const int limit = Clamp(rect_width);

  MarkedText marked =
      (format & DT_NOPREFIX) != 0 ? MarkedText{std::string(text), {}} : ProcessPrefixes(text);
  std::vector<MarkedText> lines;
  if (single_line) {
    lines.push_back(std::move(marked));
  } else {
    for (const MarkedText& para : SplitParagraphs(marked)) {
      if ((format & DT_WORDBREAK) != 0) {
        BreakParagraph(m, para, limit, (format & DT_EDITCONTROL) != 0, lines);
      } else {
        lines.push_back(para);
      }
    }
  }

  const int line_height = measure.LineHeight();
  int64_t y = rect.Top;
  if (single_line && (format & DT_BOTTOM) != 0) {
    y = static_cast<int64_t>(rect.Bottom) - line_height;
  } else if (single_line && (format & DT_VCENTER) != 0) {
    y = rect.Top + (static_cast<int64_t>(rect.Bottom) - rect.Top - line_height) / 2;
  }

  int max_width = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    MarkedText& line = lines[i];
    int width = m.Width(line.text);
    if (width > limit && (format & DT_PATH_ELLIPSIS) != 0) {
      line = PathEllipsis(m, line, limit, (format & DT_END_ELLIPSIS) != 0);
      width = m.Width(line.text);
    } else if (width > limit && (format & DT_END_ELLIPSIS) != 0) {
      line = EndEllipsis(m, line, limit);
      width = m.Width(line.text);
    }
    max_width = std::max(max_width, width);

    int64_t x = rect.Left;
    if ((format & DT_CENTER) != 0) {
      x = rect.Left + (rect_width - width) / 2;
    } else if ((format & DT_RIGHT) != 0) {
      x = static_cast<int64_t>(rect.Right) - width;
    }
    TextLine out;
    out.origin = {Clamp(x), Clamp(y + static_cast<int64_t>(i) * line_height)};
    out.width = width;
    out.runs = m.Runs(line.text);
    for (std::size_t u : line.underlined) {
      // Find the run holding the byte; tabs between runs take one byte each.
      std::size_t run_start = 0;
      for (const TextRun& run : out.runs) {
        if (u < run_start + run.text.size()) {
          std::size_t offset = u - run_start;
          std::size_t next = offset;
          NextCodePoint(run.text, next);
          int from = run.x + measure.TextWidth(std::string_view(run.text).substr(0, offset));
          int to = run.x + measure.TextWidth(std::string_view(run.text).substr(0, next));
          if (to > from) out.underlines.push_back({from, to});
          break;
        }
        run_start += run.text.size() + 1;
      }
    }
    layout.lines.push_back(std::move(out));
  }

  const int64_t total = static_cast<int64_t>(lines.size()) * line_height;
  layout.calc_rect = {rect.Left, rect.Top, Clamp(static_cast<int64_t>(rect.Left) + max_width),
                      Clamp(rect.Top + total)};
  layout.height = Clamp(y - rect.Top + total);

  if ((format & DT_EDITCONTROL) != 0 && (format & DT_CALCRECT) == 0) {
    // A multi-line edit shows no partly visible last line; the first line always shows.
    std::size_t keep = 1;
    while (keep < layout.lines.size() &&
           static_cast<int64_t>(layout.lines[keep].origin.Y) + line_height <= rect.Bottom) {
      ++keep;
    }
    layout.lines.resize(std::min(keep, layout.lines.size()));
  }
  return layout;
}

}  // namespace orlit
