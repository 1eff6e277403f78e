#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/Batch.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "platform/xcb/XcbWindowSystem.h"

using orlit::CommandLine;

int main(int argc, char** argv) {
  orlit::ResetFpu();
  std::setlocale(LC_ALL, "");
  orlit::LoadFormatSettings();

  const CommandLine command =
      orlit::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  orlit::ProgramOptions options{argv[0], command.screenshot_path, command.dump_state_path};
  try {
    switch (command.mode) {
      case CommandLine::Mode::kCalc:
        return orlit::RunCalculationInTerminal(command.calc_texts[0], command.calc_texts[1],
                                               command.calc_texts[2], std::cout, std::cerr);
      case CommandLine::Mode::kBatch:
        return orlit::RunBatchFile(command.batch_path, std::cout, std::cerr);
      case CommandLine::Mode::kHelp:
        orlit::PrintUsage(std::cout);
        return 0;
      case CommandLine::Mode::kVersion:
        std::cout << "orlit_cfs " << ORLIT_VERSION << '\n';
        return 0;
      case CommandLine::Mode::kUsageError:
        std::cerr << "orlit_cfs: " << command.error << '\n';
        orlit::PrintUsage(std::cerr);
        return 2;
      case CommandLine::Mode::kScreenshot: {
        orlit::HeadlessWindowSystem desktop;
        return orlit::RunProgram(desktop, options);
      }
      case CommandLine::Mode::kWindow: {
        orlit::XcbWindowSystem desktop;  // throws when there is no display
        return orlit::RunProgram(desktop, options);
      }
    }
  } catch (const orlit::Exception& e) {
    std::cerr << "orlit_cfs: " << orlit::MessageWithFinalPeriod(e.Message()) << '\n';
    return 1;
  }
  return 2;
}
