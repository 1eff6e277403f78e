#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace orlit {

struct CommandLine {
  enum class Mode { kWindow, kScreenshot, kCalc, kBatch, kHelp, kVersion, kUsageError };
  Mode mode = Mode::kWindow;
  std::vector<std::string> calc_texts;  // end date, leave days, working days, verbatim
  std::string batch_path;               // kBatch: the CSV file to compute, "-" for standard input
  std::string screenshot_path;          // kScreenshot: the PNG to write
  std::string dump_state_path;          // kWindow, kScreenshot: JSON written when the program ends
  std::string error;                    // for kUsageError
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);
void PrintUsage(std::ostream& out);

// Says on `err` that the output could not be written (a full disk, a closed pipe) and gives the
// exit status 2 for it, so that a lost result never passes for success.
int ReportLostOutput(std::ostream& err);

// Runs one calculation for the terminal: log lines and the result on `out`, exit status 0; on a
// failure the lines written so far on `out`, "<class>: <message>" on `err`, exit status 1; an
// `out` that cannot be written, exit status 2 (ReportLostOutput). Opens no site.
int RunCalculationInTerminal(const std::string& end_date, const std::string& leave_days,
                             const std::string& working_days, std::ostream& out, std::ostream& err);

}  // namespace orlit
