#include "app/Csv.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "app/CsvLibrary.h"
#include "convert/Exceptions.h"
#include "convert/Translation.h"

namespace orlit {

namespace {

// libcsv grows its field buffer through this; refusing makes it stop with CSV_ENOMEM.
void* ReallocWithinLimit(void* block, std::size_t size) {
  return size > CsvReader::kMaxFieldBytes + 1 ? nullptr : std::realloc(block, size);
}

int NothingIsSpace(unsigned char) { return 0; }

}  // namespace

CsvReader::CsvReader(char delimiter, RecordHandler on_record) : on_record_(std::move(on_record)) {
  if (CsvLibrary::Get() == nullptr) {
    throw Exception("Cannot read the batch file: the CSV library (libcsv.so.3) is missing");
  }
  if (csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) != 0) throw std::bad_alloc();
  csv_set_delim(&parser_, static_cast<unsigned char>(delimiter));
  csv_set_space_func(&parser_, NothingIsSpace);
  csv_set_realloc_func(&parser_, ReallocWithinLimit);
}

CsvReader::~CsvReader() { csv_free(&parser_); }

void CsvReader::OnField(void* data, std::size_t size, void* self) {
  auto& reader = *static_cast<CsvReader*>(self);
  if (reader.field_count_ == kMaxFields) {
    reader.too_many_fields_ = true;
    return;
  }
  if (reader.field_count_ == reader.fields_.size()) reader.fields_.emplace_back();
  reader.fields_[reader.field_count_++].assign(static_cast<const char*>(data), size);
}

void CsvReader::OnRecordEnd(int, void* self) {
  auto& reader = *static_cast<CsvReader*>(self);
  if (reader.field_count_ == 0 || reader.too_many_fields_) return;
  reader.on_record_(Fields(reader.fields_.data(), reader.field_count_));
  reader.field_count_ = 0;
}

bool CsvReader::Feed(std::string_view bytes) {
  // A line at a time, so that an error is known to lie on the line just parsed.
  while (!bytes.empty()) {
    std::size_t end = bytes.find_first_of("\r\n");
    end = end == std::string_view::npos ? bytes.size() : end + 1;
    if (end < bytes.size() && bytes[end - 1] == '\r' && bytes[end] == '\n') ++end;
    if (!FeedLine(bytes.substr(0, end))) return false;
    bytes.remove_prefix(end);
  }
  return error_.empty();
}

bool CsvReader::FeedLine(std::string_view line) {
  if (!error_.empty()) return false;
  const std::size_t parsed =
      csv_parse(&parser_, line.data(), line.size(), OnField, OnRecordEnd, this);
  if (parsed != line.size()) {
    Fail(csv_error(&parser_) == CSV_ENOMEM
             ? FormatText(Translate(N_("a field is longer than %s bytes")),
                          {std::to_string(kMaxFieldBytes)})
             : std::string(Translate(N_("a quote is misplaced"))));
    return false;
  }
  if (too_many_fields_) {
    Fail(FormatText(Translate(N_("a record has more than %s fields")),
                    {std::to_string(kMaxFields)}));
    return false;
  }
  lines_before_ += CountLineBreaks(line, &after_cr_);
  return true;
}

bool CsvReader::Finish() {
  if (!error_.empty()) return false;
  // Only an open quote leaves a field unfinished: the line breaks it took in lead back to its
  // opening.
  const std::string_view open_field(reinterpret_cast<const char*>(parser_.entry_buf),
                                    parser_.entry_buf != nullptr ? parser_.entry_pos : 0);
  bool field_after_cr = false;
  const long lines_in_field = CountLineBreaks(open_field, &field_after_cr);
  if (csv_fini(&parser_, OnField, OnRecordEnd, this) != 0) {
    error_ = Translate(N_("a quoted field is still open at the end of the file"));
    error_line_ = lines_before_ + 1 - lines_in_field;
    return false;
  }
  if (too_many_fields_) {
    Fail(FormatText(Translate(N_("a record has more than %s fields")),
                    {std::to_string(kMaxFields)}));
    return false;
  }
  return true;
}

void CsvReader::Fail(std::string error) {
  error_ = std::move(error);
  error_line_ = lines_before_ + 1;
}

long CountLineBreaks(std::string_view bytes, bool* after_cr) {
  long count = 0;
  for (const char c : bytes) {
    if (c == '\r' || (c == '\n' && !*after_cr)) ++count;
    *after_cr = c == '\r';
  }
  return count;
}

void AppendCsvField(std::string& line, std::string_view field, char delimiter) {
  const char special[] = {delimiter, '"', '\r', '\n'};
  if (field.find_first_of(std::string_view(special, sizeof special)) == std::string_view::npos) {
    line += field;
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

}  // namespace orlit
