#include "convert/FormatSettings.h"

#include <langinfo.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace orlit {

namespace {

constexpr char kDefaultDecimalSep = '.';
constexpr char kDefaultThousandSep = ',';
constexpr char kDefaultDateSep = '/';
constexpr const char* kDefaultShortDatePattern = "m/d/yy";

// A date format reduced to its pieces: fields as pattern text ("dd", "m", "yyyy"), separators as
// the literal bytes between them.
struct DateFormatPiece {
  char field = 0;  // 'd', 'm' or 'y'; 0 for a literal byte
  std::string text;
};

bool AppendConversion(std::string_view format, size_t& pos, std::vector<DateFormatPiece>& pieces);

bool AppendFormat(std::string_view format, std::vector<DateFormatPiece>& pieces) {
  size_t pos = 0;
  while (pos < format.size()) {
    if (format[pos] != '%') {
      pieces.push_back({0, std::string(1, format[pos])});
      ++pos;
      continue;
    }
    ++pos;
    if (!AppendConversion(format, pos, pieces)) return false;
  }
  return true;
}

// One conversion after its "%": glibc's padding flags, a field width and the E/O modifiers are
// accepted; only "-" and "_" matter, asking for a field without zero padding.
bool AppendConversion(std::string_view format, size_t& pos, std::vector<DateFormatPiece>& pieces) {
  bool unpadded = false;
  bool zero_padded = false;
  while (pos < format.size() && std::strchr("_-0^#", format[pos]) != nullptr) {
    unpadded = unpadded || format[pos] == '-' || format[pos] == '_';
    zero_padded = zero_padded || format[pos] == '0';
    ++pos;
  }
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') ++pos;
  if (pos < format.size() && (format[pos] == 'E' || format[pos] == 'O')) ++pos;
  if (pos >= format.size()) return false;
  const char conversion = format[pos++];
  switch (conversion) {
    case 'd':
      pieces.push_back({'d', unpadded ? "d" : "dd"});
      return true;
    case 'e':  // blank-padded day: the pattern has no blank padding, so no padding at all
      pieces.push_back({'d', zero_padded ? "dd" : "d"});
      return true;
    case 'm':
      pieces.push_back({'m', unpadded ? "m" : "mm"});
      return true;
    case 'y':
      pieces.push_back({'y', "yy"});
      return true;
    case 'Y':
      pieces.push_back({'y', "yyyy"});
      return true;
    case 'D':
      return AppendFormat("%m/%d/%y", pieces);
    case 'F':
      return AppendFormat("%Y-%m-%d", pieces);
    case '%':
      pieces.push_back({0, "%"});
      return true;
    default:
      return false;  // names, eras, %x and every time field: no short date pattern says those
  }
}

// The separator must survive the scanner: not a blank (skipped before it is looked for), not a
// digit (read as part of a number) and not a letter (a pattern letter to the formatter).
bool IsUsableDateSep(char c) {
  const bool printable = c > ' ' && c < 0x7F;
  const bool alphanumeric =
      (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return printable && !alphanumeric;
}

char SingleByteOr(const char* text, char fallback) {
  return (text != nullptr && text[0] != '\0' && text[1] == '\0') ? text[0] : fallback;
}

}  // namespace

bool DateSettingsFromStrftime(std::string_view format, char& date_sep,
                              std::string& short_date_pattern) {
  std::vector<DateFormatPiece> pieces;
  if (!AppendFormat(format, pieces)) return false;
  // field sep field sep field [sep]
  if (pieces.size() != 5 && pieces.size() != 6) return false;
  const char sep = pieces[1].field == 0 ? pieces[1].text[0] : 0;
  if (!IsUsableDateSep(sep)) return false;
  std::string pattern;
  bool seen[3] = {false, false, false};
  for (size_t i = 0; i < pieces.size(); ++i) {
    const DateFormatPiece& piece = pieces[i];
    if (i % 2 == 1) {
      if (piece.field != 0 || piece.text[0] != sep) return false;
      pattern += '/';
      continue;
    }
    const int index = piece.field == 'd' ? 0 : piece.field == 'm' ? 1 : piece.field == 'y' ? 2 : -1;
    if (index < 0 || seen[index]) return false;
    seen[index] = true;
    pattern += piece.text;
  }
  date_sep = sep;
  short_date_pattern = std::move(pattern);
  return true;
}

void LoadFormatSettings() {
  DecimalSep = SingleByteOr(nl_langinfo(RADIXCHAR), kDefaultDecimalSep);
  ThousandSep = SingleByteOr(nl_langinfo(THOUSEP), kDefaultThousandSep);
  char date_sep = kDefaultDateSep;
  std::string pattern = kDefaultShortDatePattern;
  const char* date_format = nl_langinfo(D_FMT);
  if (date_format == nullptr || !DateSettingsFromStrftime(date_format, date_sep, pattern)) {
    date_sep = kDefaultDateSep;
    pattern = kDefaultShortDatePattern;
  }
  DateSep = date_sep;
  ShortDatePattern = std::move(pattern);
}

}  // namespace orlit
