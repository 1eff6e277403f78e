#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sstream>
#include <vector>

#include "app/Batch.h"
#include "app/CommandLine.h"
#include "app/Csv.h"
#include "convert/DateConversion.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

namespace orlit {
namespace {

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFpu();
    DecimalSep = '.';
    SetCurrentYearSource([] { return 2026; });
  }
  void TearDown() override { SetCurrentYearSource(nullptr); }

  int Batch(const std::string& input) {
    std::istringstream in(input);
    return RunBatch(in, "in.csv", out_, err_);
  }
  std::ostringstream out_;
  std::ostringstream err_;
};

using Row = std::vector<std::string>;

// Each row as a spreadsheet may write it, and the three texts it must be read as; the batch must
// answer each exactly as --calc does for the same texts.
TEST_F(BatchTest, RowsMatchTheTerminalCalculation) {
  const struct {
    const char* line;
    Row texts;
  } cases[] = {
      {"31.10.83,65,24.5", {"31.10.83", "65", "24.5"}},
      {"29.02.76,34,24.5", {"29.02.76", "34", "24.5"}},
      {"32.10.83,65,24.5", {"32.10.83", "65", "24.5"}},
      {"31.10.83,6x,24.5", {"31.10.83", "6x", "24.5"}},
      {"31.10.83,65,0", {"31.10.83", "65", "0"}},
      {"31.10.83,0,0", {"31.10.83", "0", "0"}},
      {"31.10.83,65,1e400", {"31.10.83", "65", "1e400"}},
      {"31.10.83,65,1e-300", {"31.10.83", "65", "1e-300"}},
      {",,", {"", "", ""}},
      {" 31.10.83,65 ,24.5", {" 31.10.83", "65 ", "24.5"}},
      {"\"31.10.83\",\"6,5\",\"24\"\".5\"", {"31.10.83", "6,5", "24\".5"}},
      {"\"31.\n10.83\",65,\"24.5\r\n\"", {"31.\n10.83", "65", "24.5\r\n"}},
  };
  std::string input = "end_date,leave_days,working_days\n";
  for (const auto& c : cases) input += std::string(c.line) + "\n";
  int expected_status = 0;
  std::vector<Row> expected = {{"end_date", "leave_days", "working_days", "result", "error"}};
  for (const auto& c : cases) {
    std::ostringstream lines, failure;
    const int status = RunCalculationInTerminal(c.texts[0], c.texts[1], c.texts[2], lines, failure);
    expected_status = std::max(expected_status, status);
    std::string result = status == 0 ? lines.str() : "";
    if (!result.empty()) result = result.substr(result.rfind('\n', result.size() - 2) + 1);
    std::string error = failure.str();
    for (std::string* text : {&result, &error}) {
      if (!text->empty()) text->pop_back();  // the line break
    }
    Row row = c.texts;
    row.insert(row.end(), {result, error});
    expected.push_back(row);
  }

  EXPECT_EQ(Batch(input), expected_status);
  EXPECT_EQ(err_.str(), "");
  std::vector<Row> written;
  CsvReader reader(',',
                   [&written](CsvReader::Fields f) { written.emplace_back(f.begin(), f.end()); });
  ASSERT_TRUE(reader.Feed(out_.str()) && reader.Finish()) << reader.Error();
  EXPECT_EQ(written, expected);
}

TEST_F(BatchTest, FileShapes) {
  const struct {
    const char* name;
    std::string input;
    int status;
    std::string output;
    std::string error;
  } cases[] = {
      {"semicolons", "end_date;leave_days;working_days\r\n31.10.83;65;24.5\r\n\"1;1\";1;1", 1,
       "end_date;leave_days;working_days;result;error\n31.10.83;65;24.5;15.08.83;\n"
       "\"1;1\";1;1;;\"EConvertError: '1;1' is not a valid date.\"\n",
       ""},
      {"byte order mark and no rows",
       "\xEF\xBB\xBF"
       "end_date,leave_days,working_days",
       0, "end_date,leave_days,working_days,result,error\n", ""},
      {"missing and extra columns, blank line skipped",
       "end_date,leave_days,working_days\n31.10.83,65\n\n31.10.83,65,24.5,x\n", 1,
       "end_date,leave_days,working_days,result,error\n31.10.83,65,,,\"expected 3 fields, found "
       "2\"\n31.10.83,65,24.5,,\"expected 3 fields, found 4\"\n",
       ""},
      {"NUL and invalid UTF-8 reported in their rows",
       "end_date,leave_days,working_days\n31.10.83,6" + std::string(1, '\0') +
           "5,24.5\n\xFF,65,24.5\n31.10.83,65,24.5\n",
       1,
       "end_date,leave_days,working_days,result,error\n31.10.83,6\xEF\xBF\xBD"
       "5,24.5,,"
       "leave_days holds a NUL byte\n\xEF\xBF\xBD,65,24.5,,end_date holds bytes that are not "
       "UTF-8\n31.10.83,65,24.5,15.08.83,\n",
       ""},
      {"wrong header", "end_date,leave,working_days\n31.10.83,65,24.5\n", 2, "",
       "orlit_cfs: in.csv:1: the first line must be the header "
       "end_date,leave_days,working_days\n"},
      {"blank lines before a wrong header", "\n\r\nend_date,leave,working_days\n", 2, "",
       "orlit_cfs: in.csv:3: the first line must be the header "
       "end_date,leave_days,working_days\n"},
      {"blank lines before a semicolon header", "\n\nend_date;leave_days;working_days\n1\"x;1;1\n",
       2, "end_date;leave_days;working_days;result;error\n",
       "orlit_cfs: in.csv:4: a quote is misplaced\n"},
      {"empty file", "", 2, "",
       "orlit_cfs: in.csv:1: the first line must be the header "
       "end_date,leave_days,working_days\n"},
      {"misplaced quote stops at its line",
       "end_date,leave_days,working_days\n31.10.83,65,24.5\n\"3\n1\"x,65,24.5\n", 2,
       "end_date,leave_days,working_days,result,error\n31.10.83,65,24.5,15.08.83,\n",
       "orlit_cfs: in.csv:4: a quote is misplaced\n"},
      {"quote left open", "end_date,leave_days,working_days\n\"31.10.83,65,24.5\n", 2,
       "end_date,leave_days,working_days,result,error\n",
       "orlit_cfs: in.csv:2: a quoted field is still open at the end of the file\n"},
      {"quote left open is reported where it opened",
       "end_date,leave_days,working_days\r\n31.10.83,\"65\r\n24.5\r\n\r\nx\r\n", 2,
       "end_date,leave_days,working_days,result,error\n",
       "orlit_cfs: in.csv:2: a quoted field is still open at the end of the file\n"},
      {"lines ended by CR alone",
       "end_date,leave_days,working_days\r31.10.83,65,24.5\r\r1\"x,1,1\r", 2,
       "end_date,leave_days,working_days,result,error\n31.10.83,65,24.5,15.08.83,\n",
       "orlit_cfs: in.csv:4: a quote is misplaced\n"},
      {"a record of more fields than any file needs",
       "end_date,leave_days,working_days\n31.10.83,65,24.5\n" + std::string(64, ',') + "\n", 2,
       "end_date,leave_days,working_days,result,error\n31.10.83,65,24.5,15.08.83,\n",
       "orlit_cfs: in.csv:3: a record has more than 64 fields\n"},
      {"sixty-four fields are still a row",
       "end_date,leave_days,working_days\n" + std::string(63, ',') + "\n", 1,
       "end_date,leave_days,working_days,result,error\n,,,,\"expected 3 fields, found 64\"\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    out_.str("");
    err_.str("");
    EXPECT_EQ(Batch(c.input), c.status);
    EXPECT_EQ(out_.str(), c.output);
    EXPECT_EQ(err_.str(), c.error);
  }
}

TEST_F(BatchTest, AFailedReadIsNoEndOfInput) {
  // A peer that closes with our bytes still unread resets the connection.
  int sockets[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
  const std::string head = "end_date,leave_days,working_days\n31.10.83,65,24.5\n";
  ASSERT_EQ(write(sockets[1], head.data(), head.size()), static_cast<ssize_t>(head.size()));
  ASSERT_EQ(write(sockets[0], "x", 1), 1);
  close(sockets[1]);
  EXPECT_EQ(RunBatchFromDescriptor(sockets[0], "standard input", out_, err_), 2);
  close(sockets[0]);
  EXPECT_EQ(err_.str(), "orlit_cfs: standard input: cannot be read\n");
}

TEST_F(BatchTest, LostOutputIsNoSuccess) {
  out_.setstate(std::ios::badbit);
  EXPECT_EQ(Batch("end_date,leave_days,working_days\n31.10.83,65,24.5\n"), 2);
  EXPECT_EQ(err_.str(), "orlit_cfs: the output cannot be written\n");
}

}  // namespace
}  // namespace orlit
