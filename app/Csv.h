#pragma once

#include <csv.h>

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlit {

// Reads comma- (or otherwise) separated records strictly by RFC 4180: a quote inside an unquoted
// field, text after a closing quote or a quote left open at the end is an error, so a damaged
// file stops at the damage instead of running on with shifted fields. Spaces belong to the field.
// Bytes are fed in pieces of any size; memory stays that of the longest field and of at most
// kMaxFields fields. Lines end with LF, CR LF or a lone CR, and errors name the line they are on;
// a quote left open, the line where it opened.
class CsvReader {
 public:
  using Fields = std::span<const std::string>;
  using RecordHandler = std::function<void(Fields fields)>;

  // A field longer than this is taken for a damaged file rather than grown without bound.
  static constexpr std::size_t kMaxFieldBytes = 64 * 1024;
  // Likewise a record with more fields than this.
  static constexpr std::size_t kMaxFields = 64;

  CsvReader(char delimiter, RecordHandler on_record);
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // Parses the next piece, calling the handler for each record it completes (blank lines are no
  // records). False once the file is malformed; then Error() and ErrorLine() say why and where.
  bool Feed(std::string_view bytes);
  // Completes the last record when the file does not end with a line break.
  bool Finish();

  const std::string& Error() const { return error_; }
  long ErrorLine() const { return error_line_; }

 private:
  static void OnField(void* data, std::size_t size, void* self);
  static void OnRecordEnd(int terminator, void* self);
  bool FeedLine(std::string_view line);
  void Fail(std::string error);

  csv_parser parser_;
  RecordHandler on_record_;
  std::vector<std::string> fields_;  // kept across records so their buffers are reused
  std::size_t field_count_ = 0;
  bool too_many_fields_ = false;
  long lines_before_ = 0;  // line breaks in what was already parsed
  bool after_cr_ = false;  // the last byte parsed was a CR, whose LF would end no second line
  std::string error_;
  long error_line_ = 0;
};

// The line breaks in `bytes`: LF, CR LF and a lone CR each end one line. `after_cr` carries
// whether the bytes before ended with CR, and is updated for the bytes after.
long CountLineBreaks(std::string_view bytes, bool* after_cr);

// Appends `field` to `line`, quoted when it holds the delimiter, a quote or a line break.
void AppendCsvField(std::string& line, std::string_view field, char delimiter);

}  // namespace orlit
