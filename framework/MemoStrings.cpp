#include "framework/MemoStrings.h"

#include <algorithm>

#include "framework/Memo.h"
#include "framework/WinControl.h"

namespace orlit {

int TMemoStrings::Count() const {
  const int rows = memo_.RowCount();
  if (memo_.GetTextLen() == 0) return 0;
  return memo_.RowLength(rows - 1) == 0 ? rows - 1 : rows;
}

std::string TMemoStrings::Strings(int index) const {
  const int start = memo_.RowStart(index);
  if (start < 0) return {};
  return memo_.Model().TextRange(start, std::min(memo_.RowLength(index), kMaxLineRead));
}

void TMemoStrings::ReplaceSpan(int start, int length, std::string_view text) {
  memo_.SetSelection(start, start + length);
  memo_.SetSelText(text);
}

void TMemoStrings::SetStrings(int index, const std::string& text) {
  const int start = memo_.RowStart(index);
  if (start >= 0) ReplaceSpan(start, memo_.RowLength(index), text);
}

void TMemoStrings::Insert(int index, const std::string& text) {
  if (index < 0) return;
  int position = memo_.RowStart(index);
  if (position >= 0) {
    ReplaceSpan(position, 0, text + std::string(kLineBreak));
    return;
  }
  position = memo_.RowStart(index - 1);
  if (position < 0) return;
  const int length = memo_.RowLength(index - 1);
  if (length == 0) return;
  ReplaceSpan(position + length, 0, std::string(kLineBreak) + text);
}

void TMemoStrings::Delete(int index) {
  const int start = memo_.RowStart(index);
  if (start < 0) return;
  const int next = memo_.RowStart(index + 1);
  ReplaceSpan(start, (next >= 0 ? next : start + memo_.RowLength(index)) - start, {});
}

void TMemoStrings::Clear() { memo_.SetText({}); }

std::string TMemoStrings::Text() const { return memo_.Text(); }

std::string TMemoStrings::NormaliseBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out.push_back(c);
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out.append(kLineBreak);
  }
  return out;
}

void TMemoStrings::SetText(std::string_view text) {
  const std::string normalised = NormaliseBreaks(text);
  if (memo_.GetTextLen() == 0 ? normalised.empty() : normalised == memo_.Text()) return;
  if (!memo_.SetText(normalised)) throw EInvalidOperation("Text exceeds memo capacity");
}

void TMemoStrings::SetUpdateState(bool updating) { memo_.SetRedraw(!updating); }

}  // namespace orlit
