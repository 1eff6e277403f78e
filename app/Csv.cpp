#include "app/Csv.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace orlit {

namespace {

// libcsv grows its field buffer through this; refusing makes it stop with CSV_ENOMEM.
void* ReallocWithinLimit(void* block, std::size_t size) {
  return size > CsvReader::kMaxFieldBytes + 1 ? nullptr : std::realloc(block, size);
}

int NothingIsSpace(unsigned char) { return 0; }

long CountLineBreaks(std::string_view bytes) {
  return static_cast<long>(std::count(bytes.begin(), bytes.end(), '\n'));
}

}  // namespace

CsvReader::CsvReader(char delimiter, RecordHandler on_record) : on_record_(std::move(on_record)) {
  if (csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI) != 0) throw std::bad_alloc();
  csv_set_delim(&parser_, static_cast<unsigned char>(delimiter));
  csv_set_space_func(&parser_, NothingIsSpace);
  csv_set_realloc_func(&parser_, ReallocWithinLimit);
}

CsvReader::~CsvReader() { csv_free(&parser_); }

void CsvReader::OnField(void* data, std::size_t size, void* self) {
  auto& reader = *static_cast<CsvReader*>(self);
  if (reader.field_count_ == reader.fields_.size()) reader.fields_.emplace_back();
  reader.fields_[reader.field_count_++].assign(static_cast<const char*>(data), size);
}

void CsvReader::OnRecordEnd(int, void* self) {
  auto& reader = *static_cast<CsvReader*>(self);
  if (reader.field_count_ == 0) return;
  reader.on_record_(Fields(reader.fields_.data(), reader.field_count_));
  reader.field_count_ = 0;
}

bool CsvReader::Feed(std::string_view bytes) {
  if (!error_.empty()) return false;
  const std::size_t parsed =
      csv_parse(&parser_, bytes.data(), bytes.size(), OnField, OnRecordEnd, this);
  if (parsed != bytes.size()) return Fail(bytes.substr(0, parsed));
  lines_before_ += CountLineBreaks(bytes);
  if (!bytes.empty()) ends_with_line_break_ = bytes.back() == '\n';
  return true;
}

bool CsvReader::Finish() {
  if (!error_.empty()) return false;
  if (csv_fini(&parser_, OnField, OnRecordEnd, this) != 0) {
    error_ = "a quoted field is still open at the end of the file";
    error_line_ = lines_before_ + (ends_with_line_break_ ? 0 : 1);  // the last line
    return false;
  }
  return true;
}

bool CsvReader::Fail(std::string_view parsed) {
  error_line_ = lines_before_ + CountLineBreaks(parsed) + 1;
  error_ = csv_error(&parser_) == CSV_ENOMEM
               ? "a field is longer than " + std::to_string(kMaxFieldBytes) + " bytes"
               : std::string("a quote is misplaced");
  return false;
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
