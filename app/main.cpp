#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"

using orlit::CommandLine;

int main(int argc, char** argv) {
  orlit::ResetFpu();
  std::setlocale(LC_ALL, "");
  orlit::LoadFormatSettings();

  const CommandLine command = orlit::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.mode) {
    case CommandLine::Mode::kCalc:
      return orlit::RunCalculationInTerminal(command.calc_texts[0], command.calc_texts[1],
                                             command.calc_texts[2], std::cout, std::cerr);
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
    case CommandLine::Mode::kWindow:
      // The window comes with the windowing framework; until then the default calculation runs
      // in the terminal.
      return orlit::RunCalculationInTerminal("31.10.83", "65", "24.5", std::cout, std::cerr);
  }
  return 2;
}
