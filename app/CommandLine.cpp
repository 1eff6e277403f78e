#include "app/CommandLine.h"

#include <ostream>

#include "app/PeriodCalculation.h"
#include "convert/Exceptions.h"
#include "convert/Translation.h"

namespace orlit {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine command;
  auto usage_error = [&command](std::string error) {
    command.mode = CommandLine::Mode::kUsageError;
    command.error = std::move(error);
    return command;
  };
  if (!args.empty() && args[0] == "--calc") {
    // The three texts are taken as they are, also when empty or starting with "-".
    if (args.size() != 4)
      return usage_error(Translate(N_("--calc takes three texts: END LEAVE WORKDAYS")));
    command.mode = CommandLine::Mode::kCalc;
    command.calc_texts.assign(args.begin() + 1, args.end());
    return command;
  }
  if (!args.empty() && args[0] == "--batch") {
    if (args.size() != 2 || args[1].empty())
      return usage_error(Translate(N_("--batch takes one file name")));
    command.mode = CommandLine::Mode::kBatch;
    command.batch_path = args[1];
    return command;
  }
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    command.mode = CommandLine::Mode::kHelp;
    return command;
  }
  if (args.size() == 1 && args[0] == "--version") {
    command.mode = CommandLine::Mode::kVersion;
    return command;
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    std::string* path = option == "--screenshot"   ? &command.screenshot_path
                        : option == "--dump-state" ? &command.dump_state_path
                                                   : nullptr;
    if (path == nullptr)
      return usage_error(FormatText(Translate(N_("unknown option '%s'")), {option}));
    if (i + 1 == args.size() || args[i + 1].empty()) {
      return usage_error(FormatText(Translate(N_("%s takes a file name")), {option}));
    }
    if (!path->empty()) return usage_error(FormatText(Translate(N_("%s given twice")), {option}));
    *path = args[++i];
  }
  if (!command.screenshot_path.empty()) command.mode = CommandLine::Mode::kScreenshot;
  return command;
}

void PrintUsage(std::ostream& out) {
  out << Translate(
      N_("usage: orlit_cfs [--screenshot FILE.png] [--dump-state FILE.json]\n"
         "       orlit_cfs --calc END LEAVE WORKDAYS | --batch FILE.csv | --help | --version\n"
         "\n"
         "  (no option)                 open the calculator window\n"
         "  --screenshot FILE.png       draw the window without a display, write it, and exit\n"
         "  --dump-state FILE.json      write the window's state when the program ends\n"
         "  --calc END LEAVE WORKDAYS   run one calculation in the terminal, for example\n"
         "                              --calc 31.10.83 65 24.5\n"
         "  --batch FILE.csv            run the calculation for every row of a CSV file with the\n"
         "                              header end_date,leave_days,working_days (- reads\n"
         "                              standard input); writes CSV with result and error\n"
         "  --help                      show this text\n"
         "  --version                   show the version\n"));
}

int RunCalculationInTerminal(const std::string& end_date, const std::string& leave_days,
                             const std::string& working_days, std::ostream& out,
                             std::ostream& err) {
  SetCalculationLog([&out](const std::string& line) { out << line << '\n'; });
  int status = 0;
  try {
    std::string result;
    ComputePeriod(end_date, leave_days, working_days, result);
    out << result << '\n';
  } catch (const Exception& e) {
    out.flush();
    err << ShownFailureText(e) << '\n';
    status = 1;
  }
  SetCalculationLog(nullptr);
  if (!out.flush()) return ReportLostOutput(err);
  return status;
}

int ReportLostOutput(std::ostream& err) {
  err << "orlit_cfs: " << Translate(N_("the output cannot be written")) << '\n';
  return 2;
}

}  // namespace orlit
