#pragma once

#include <string>
#include <string_view>
#include <vector>

// Marks a source text for the message catalog where it is written; it is translated later, where
// it is shown.
#define N_(text) text

namespace orlit {

// Opens the program's message catalog below `locale_dir` (a share/locale folder). The language
// follows the usual LANGUAGE / LC_ALL / LC_MESSAGES rules; in the C locale nothing is translated.
void BindMessageCatalog(const std::string& locale_dir);

// The source text in the user's language, or the text itself when the catalog has none.
const char* Translate(const char* source);

// Puts the values into a format's placeholders: "%s" takes the next value, "%N$s" the Nth, "%%"
// is a "%". A placeholder without a value stays as written.
std::string FormatText(std::string_view format, const std::vector<std::string>& values);

// A text in the source language with the values for its placeholders. Kept untranslated so that
// what the program writes as data (the batch mode's error column) stays in one language; only
// what a person reads is translated, as a whole sentence, where it is shown.
class SourceText {
 public:
  SourceText(const char* format, std::vector<std::string> values)
      : format_(format), values_(std::move(values)) {}
  explicit SourceText(std::string text) : format_(std::move(text)), literal_(true) {}

  std::string English() const;
  std::string Translated() const;

 private:
  std::string format_;
  std::vector<std::string> values_;
  bool literal_ = false;  // a finished text: no placeholders to fill
};

}  // namespace orlit
