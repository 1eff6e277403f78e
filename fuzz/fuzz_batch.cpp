// Arbitrary bytes as a batch file: the run must end with a status of 0, 1 or 2, and unless the
// file was refused, write one row of five fields for every row read, as text without NUL bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app/Batch.h"
#include "app/Csv.h"
#include "convert/DateConversion.h"
#include "framework/EditText.h"

namespace {

// Records in `text` and whether each has `fields` fields.
struct Count {
  std::size_t records = 0;
  bool all_of_width = true;
};

Count CountRecords(const std::string& text, char separator, std::size_t fields) {
  Count count;
  orlit::CsvReader reader(separator, [&](orlit::CsvReader::Fields f) {
    ++count.records;
    count.all_of_width = count.all_of_width && f.size() == fields;
  });
  if (!reader.Feed(text) || !reader.Finish()) std::abort();
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool initialised = [] {
    orlit::SetCurrentYearSource([] { return 2026; });
    return true;
  }();
  (void)initialised;

  const std::string input(reinterpret_cast<const char*>(data), size);
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = orlit::RunBatch(in, "fuzz.csv", out, err);
  if (status < 0 || status > 2) std::abort();
  if (status == 2) {
    if (err.str().empty()) std::abort();
    return 0;
  }
  const std::string written = out.str();
  if (written.find('\0') != std::string::npos) std::abort();
  if (orlit::ToUtf8(orlit::ToCodePoints(written)) != written) std::abort();
  const char separator = written.find(';') < written.find(',') ? ';' : ',';
  const Count rows = CountRecords(written, separator, 5);
  if (!rows.all_of_width) std::abort();
  std::string body = input;
  if (body.starts_with("\xEF\xBB\xBF")) body.erase(0, 3);
  if (CountRecords(body, separator, 0).records != rows.records) std::abort();
  return 0;
}
