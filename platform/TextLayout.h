#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/Utf8.h"
#include "platform/Geometry.h"

namespace orlit {

// DrawText format flags, with the values callers pass through unchanged.
inline constexpr unsigned DT_TOP = 0x0;
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_TABSTOP = 0x80;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_EXTERNALLEADING = 0x200;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;
inline constexpr unsigned DT_INTERNAL = 0x1000;
inline constexpr unsigned DT_EDITCONTROL = 0x2000;
inline constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// What layout needs to know about the selected font.
class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // Advance width of one line of UTF-8 text, without prefix or tab processing.
  virtual int TextWidth(std::string_view text) const = 0;
  // tmHeight: the distance between consecutive lines.
  virtual int LineHeight() const = 0;
  // tmAveCharWidth: tab stops are eight of these apart.
  virtual int AveCharWidth() const = 0;
};

// A piece of one line drawn at `x` (relative to the line's origin); tabs split a line into runs.
struct TextRun {
  std::string text;
  int x = 0;
  friend bool operator==(const TextRun&, const TextRun&) = default;
};

// A pixel span [from, to) of a line to underline, relative to the line's origin (a prefix "&").
struct TextUnderline {
  int from = 0;
  int to = 0;
  friend bool operator==(const TextUnderline&, const TextUnderline&) = default;
};

struct TextLine {
  TPoint origin;  // top-left of the line
  int width = 0;
  std::vector<TextRun> runs;
  std::vector<TextUnderline> underlines;
  // The line's text as shown, runs joined with a tab between them (for tests and measuring).
  std::string Text() const;
};

struct TextLayout {
  std::vector<TextLine> lines;
  // The rectangle DT_CALCRECT reports: the input's left and top, the widest line's width and the
  // height of all lines.
  TRect calc_rect;
  // What DrawText returns: the height of the text, measured from the rectangle's top when the
  // text is moved down by DT_VCENTER or DT_BOTTOM.
  int height = 0;
};

// Lays out `text` in `rect` the way DrawText does with `format`. Vertical centring and bottom
// alignment apply to single-line text only, as DrawText has always done; callers that centre
// wrapped text measure it first. DT_EDITCONTROL breaks a word longer than the line between
// characters and drops a last line that would show only partly; without it such a word stands
// alone on its line and overflows.
TextLayout LayoutText(std::string_view text, const TRect& rect, unsigned format,
                      const TextMeasure& measure);

}  // namespace orlit
