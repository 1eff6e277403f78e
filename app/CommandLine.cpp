#include "app/CommandLine.h"

#include <ostream>

#include "app/Unit1.h"
#include "convert/Exceptions.h"
#include "platform/ProcessLauncher.h"

namespace orlit {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine command;
  if (args.empty()) return command;
  const std::string& option = args[0];
  if (option == "--calc") {
    // The three texts are taken as they are, also when empty or starting with "-".
    if (args.size() != 4) {
      command.mode = CommandLine::Mode::kUsageError;
      command.error = "--calc takes three texts: END LEAVE WORKDAYS";
      return command;
    }
    command.mode = CommandLine::Mode::kCalc;
    command.calc_texts.assign(args.begin() + 1, args.end());
    return command;
  }
  if (args.size() == 1 && (option == "--help" || option == "-h")) {
    command.mode = CommandLine::Mode::kHelp;
  } else if (args.size() == 1 && option == "--version") {
    command.mode = CommandLine::Mode::kVersion;
  } else {
    command.mode = CommandLine::Mode::kUsageError;
    command.error = "unknown option '" + option + "'";
  }
  return command;
}

void PrintUsage(std::ostream& out) {
  out << "usage: orlit_cfs [--calc END LEAVE WORKDAYS | --help | --version]\n"
         "\n"
         "  (no option)                 open the calculator window\n"
         "  --calc END LEAVE WORKDAYS   run one calculation in the terminal, for example\n"
         "                              --calc 31.10.83 65 24.5\n"
         "  --help                      show this text\n"
         "  --version                   show the version\n";
}

int RunCalculationInTerminal(const std::string& end_date, const std::string& leave_days,
                             const std::string& working_days, std::ostream& out,
                             std::ostream& err) {
  auto previous_launcher = SetProcessLauncher(std::make_unique<SilentProcessLauncher>());
  SetCalculationLog([&out](const std::string& line) { out << line << '\n'; });
  int status = 0;
  try {
    std::string result;
    CalculatePeriod(end_date, leave_days, working_days, result);
    out << result << '\n';
  } catch (const Exception& e) {
    out.flush();
    err << e.ClassName() << ": " << MessageWithFinalPeriod(e.Message()) << '\n';
    status = 1;
  }
  SetCalculationLog(nullptr);
  SetProcessLauncher(std::move(previous_launcher));
  return status;
}

}  // namespace orlit
