#include "convert/Translation.h"

#include <libintl.h>

namespace orlit {

namespace {

constexpr const char* kTextDomain = "orlit-cfs";

}  // namespace

void BindMessageCatalog(const std::string& locale_dir) {
  bindtextdomain(kTextDomain, locale_dir.c_str());
  bind_textdomain_codeset(kTextDomain, "UTF-8");
}

const char* Translate(const char* source) {
  // An empty msgid would answer the catalog's header.
  if (source == nullptr || *source == '\0') return source;
  return dgettext(kTextDomain, source);
}

std::string FormatText(std::string_view format, const std::vector<std::string>& values) {
  std::string text;
  text.reserve(format.size() + 16);
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      text += format[i];
      continue;
    }
    if (format[i + 1] == '%') {
      text += '%';
      ++i;
      continue;
    }
    size_t end = i + 1;
    size_t index = next;
    if (format[end] >= '1' && format[end] <= '9') {
      size_t number = 0;
      for (; end < format.size() && format[end] >= '0' && format[end] <= '9'; ++end) {
        number = number * 10 + static_cast<size_t>(format[end] - '0');
      }
      if (end == format.size() || format[end] != '$') {
        text += '%';
        continue;
      }
      index = number - 1;
      ++end;
    } else {
      ++next;
    }
    if (end < format.size() && format[end] == 's' && index < values.size()) {
      text += values[index];
      i = end;
    } else {
      text += '%';
    }
  }
  return text;
}

std::string SourceText::English() const {
  return literal_ ? format_ : FormatText(format_, values_);
}

std::string SourceText::Translated() const {
  const char* translated = Translate(format_.c_str());
  return literal_ ? std::string(translated) : FormatText(translated, values_);
}

}  // namespace orlit
