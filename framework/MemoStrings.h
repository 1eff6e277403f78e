#pragma once

#include <string>
#include <string_view>

#include "framework/Strings.h"

namespace orlit {

class TMemo;

// The lines of a multi-line edit as a live list: every read is a query of the edit and every
// change an edit of its text, never a copy. A line is a row as the edit lays it out (with word
// wrap, a long line counts several times); an empty last row is not counted, so a text ending
// with a line break has as many lines as breaks. Adding and inserting never raise.
class TMemoStrings : public TStrings {
 public:
  // The longest part of a line that reading it returns.
  static constexpr int kMaxLineRead = 4096;

  explicit TMemoStrings(TMemo& memo) : memo_(memo) {}

  int Count() const override;
  // An empty text for a line that does not exist.
  std::string Strings(int index) const override;
  void SetStrings(int index, const std::string& text) override;
  // Before an existing line: the line and a break. After the last line (index Count when the
  // text does not end with a break): a break and the line. Elsewhere nothing.
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override;
  // The edit's text.
  std::string Text() const override;
  // Breaks normalised to CR LF; the same text again changes nothing. Throws EInvalidOperation
  // "Text exceeds memo capacity" when the edit cannot hold it.
  void SetText(std::string_view text) override;

  // Every CR LF stays, every other CR or LF becomes CR LF.
  static std::string NormaliseBreaks(std::string_view text);

 protected:
  // Updating switches the edit's redrawing off; the end repaints it.
  void SetUpdateState(bool updating) override;

 private:
  void ReplaceSpan(int start, int length, std::string_view text);

  TMemo& memo_;
};

}  // namespace orlit
