#include "app/Batch.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <system_error>

#include "app/CommandLine.h"
#include "app/Csv.h"
#include "app/PeriodCalculation.h"
#include "convert/Exceptions.h"
#include "convert/Translation.h"
#include "framework/EditText.h"

namespace orlit {

namespace {

constexpr std::array<std::string_view, 3> kInputColumns = {"end_date", "leave_days",
                                                           "working_days"};
constexpr std::size_t kPieceBytes = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Only the header line can say which separator the file uses.
char SeparatorOf(std::string_view first_piece) {
  const std::string_view first_line = first_piece.substr(0, first_piece.find_first_of("\r\n"));
  const bool semicolons = first_line.find(';') != std::string_view::npos &&
                          first_line.find(',') == std::string_view::npos;
  return semicolons ? ';' : ',';
}

// Why a field cannot be calculated, or empty when it can. A field that cannot
// is made printable in place (U+FFFD for each bad byte), so the row written
// back is still text.
std::string_view EncodingProblem(std::string& field) {
  const bool plain_ascii = std::all_of(field.begin(), field.end(), [](char c) {
    return c != '\0' && static_cast<unsigned char>(c) < 0x80;
  });
  if (plain_ascii) return {};
  std::u32string chars = ToCodePoints(field);
  const bool has_nul = std::find(chars.begin(), chars.end(), U'\0') != chars.end();
  std::replace(chars.begin(), chars.end(), U'\0', U'\uFFFD');
  std::string printable = ToUtf8(chars);
  if (!has_nul && printable == field) return {};
  field = std::move(printable);
  return has_nul ? "a NUL byte" : "bytes that are not UTF-8";
}

class BatchWriter {
 public:
  BatchWriter(char separator, std::ostream& out) : separator_(separator), out_(out) {
    buffer_.reserve(kPieceBytes + 1024);
  }

  bool HeaderSeen() const { return header_seen_; }
  bool HeaderWrong() const { return header_wrong_; }
  bool AnyRowFailed() const { return any_row_failed_; }

  void OnRecord(CsvReader::Fields fields) {
    if (!header_seen_) {
      OnHeader(fields);
    } else if (!header_wrong_) {
      OnRow(fields);
    }
    if (buffer_.size() >= kPieceBytes) Flush();
  }

  void Flush() {
    out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
  }

 private:
  void OnHeader(CsvReader::Fields fields) {
    header_seen_ = true;
    header_wrong_ =
        !std::equal(fields.begin(), fields.end(), kInputColumns.begin(), kInputColumns.end());
    if (header_wrong_) return;
    for (const std::string_view name : kInputColumns) {
      buffer_ += name;
      buffer_ += separator_;
    }
    buffer_ += "result";
    buffer_ += separator_;
    buffer_ += "error\n";
  }

  void OnRow(CsvReader::Fields fields) {
    std::string error;
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
      inputs_[i].assign(i < fields.size() ? fields[i] : std::string());
      const std::string_view problem = EncodingProblem(inputs_[i]);
      if (!problem.empty() && error.empty()) {
        error = std::string(kInputColumns[i]) + " holds " + std::string(problem);
      }
    }
    if (fields.size() != inputs_.size()) {
      error = "expected " + std::to_string(inputs_.size()) + " fields, found " +
              std::to_string(fields.size());
    }
    result_.clear();
    if (error.empty()) {
      try {
        ComputePeriod(inputs_[0], inputs_[1], inputs_[2], result_);
      } catch (const Exception& e) {
        error = FailureText(e);
      }
    }
    any_row_failed_ = any_row_failed_ || !error.empty();
    for (const std::string& input : inputs_) {
      AppendCsvField(buffer_, input, separator_);
      buffer_ += separator_;
    }
    AppendCsvField(buffer_, result_, separator_);
    buffer_ += separator_;
    AppendCsvField(buffer_, error, separator_);
    buffer_ += '\n';
  }

  char separator_;
  std::ostream& out_;
  std::string buffer_;
  std::array<std::string, 3> inputs_;
  std::string result_;
  bool header_seen_ = false;
  bool header_wrong_ = false;
  bool any_row_failed_ = false;
};

// Reads a descriptor with read(2) itself: the standard input's stream takes a
// failed read (a reset socket, an I/O error) for the end of the input, which
// would pass a cut file for whole. A failure thrown here leaves the stream bad.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd) {}

 protected:
  int_type underflow() override {
    while (true) {
      const ssize_t got = read(fd_, buffer_.data(), buffer_.size());
      if (got > 0) {
        setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
        return traits_type::to_int_type(buffer_[0]);
      }
      if (got == 0) return traits_type::eof();
      if (errno != EINTR) throw std::system_error(errno, std::generic_category());
    }
  }

 private:
  int fd_;
  std::array<char, kPieceBytes> buffer_;
};

}  // namespace

int RunBatchFromDescriptor(int fd, const std::string& input_name, std::ostream& out,
                           std::ostream& err) {
  DescriptorBuffer buffer(fd);
  std::istream in(&buffer);
  return RunBatch(in, input_name, out, err);
}

int RunBatch(std::istream& in, const std::string& input_name, std::ostream& out,
             std::ostream& err) {
  auto fail = [&](long line, std::string_view why) {
    err << "orlit_cfs: " << input_name;
    if (line > 0) err << ':' << line;
    err << ": " << why << '\n';
    return 2;
  };
  const std::string_view header_wanted =
      Translate(N_("the first line must be the header end_date,leave_days,working_days"));
  std::string piece(kPieceBytes, '\0');
  auto read_piece = [&]() -> std::string_view {
    in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
    return std::string_view(piece.data(), static_cast<std::size_t>(in.gcount()));
  };

  SetCalculationLog(nullptr);  // the log lines have no place in the output
  std::string_view bytes = read_piece();
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  // Blank lines before the header are no records, but they count in every line
  // reported.
  long blank_lines = 0;
  bool after_cr = false;
  while (true) {
    const std::size_t header_at = std::min(bytes.find_first_not_of("\r\n"), bytes.size());
    blank_lines += CountLineBreaks(bytes.substr(0, header_at), &after_cr);
    bytes.remove_prefix(header_at);
    if (!bytes.empty() || !in) break;
    bytes = read_piece();
  }
  const long header_line = blank_lines + 1;
  const char separator = SeparatorOf(bytes);
  BatchWriter writer(separator, out);
  CsvReader reader(separator, [&writer](CsvReader::Fields f) { writer.OnRecord(f); });
  while (!bytes.empty() || !in.eof()) {
    if (in.bad()) return fail(0, Translate(N_("cannot be read")));
    const bool parsed = reader.Feed(bytes);
    writer.Flush();
    if (!out) return ReportLostOutput(err);
    if (writer.HeaderWrong()) return fail(header_line, header_wanted);
    if (!parsed) return fail(blank_lines + reader.ErrorLine(), reader.Error());
    bytes = read_piece();
  }
  if (in.bad()) return fail(0, Translate(N_("cannot be read")));
  const bool finished = reader.Finish();
  writer.Flush();
  if (!writer.HeaderSeen() || writer.HeaderWrong()) return fail(header_line, header_wanted);
  if (!finished) return fail(blank_lines + reader.ErrorLine(), reader.Error());
  if (!out.flush()) return ReportLostOutput(err);
  return writer.AnyRowFailed() ? 1 : 0;
}

int RunBatchFile(const std::string& path, std::ostream& out, std::ostream& err) {
  if (path == "-")
    return RunBatchFromDescriptor(STDIN_FILENO, Translate(N_("standard input")), out, err);
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    err << "orlit_cfs: " << path << ": "
        << FormatText(Translate(N_("cannot be opened: %s")), {std::strerror(errno)}) << '\n';
    return 2;
  }
  return RunBatch(file, path, out, err);
}

}  // namespace orlit
