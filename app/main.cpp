#include <clocale>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Batch.h"
#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/StandardStreams.h"
#include "convert/FormatSettings.h"
#include "convert/FpuEnvironment.h"
#include "convert/Translation.h"
#include "framework/AccessibleModel.h"
#include "platform/DesktopWindowSystem.h"
#include "platform/DisplayScale.h"
#include "platform/HeapAhead.h"
#include "platform/atspi/AtspiActivation.h"
#include "platform/headless/HeadlessWindowSystem.h"

using orlit::CommandLine;

namespace {

// The message catalogs lie in share/locale beside the program's folder,
// installed
// (/usr/bin -> /usr/share/locale) and in the build tree (build/app ->
// build/share/locale) alike.
std::string CatalogFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return (program.parent_path().parent_path() / "share" / "locale").string();
}

}  // namespace

int main(int argc, char** argv) {
  orlit::ResetFpu();
  // Only what the program takes from the user's locale: its messages and the number and date
  // formats read just below. Character classes stay those of "C" (texts are UTF-8 whatever the
  // locale), which spares loading the locale's character tables at every start.
  for (const int category : {LC_MESSAGES, LC_NUMERIC, LC_TIME}) std::setlocale(category, "");
  orlit::LoadFormatSettings();
  if (const std::string folder = CatalogFolder(); !folder.empty()) {
    orlit::BindMessageCatalog(folder);
  }

  const CommandLine command =
      orlit::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  orlit::ProgramOptions options{argv[0], command.screenshot_path, command.dump_state_path, {}};
  try {
    switch (command.mode) {
      case CommandLine::Mode::kCalc:
        return orlit::RunCalculationInTerminal(command.calc_texts[0], command.calc_texts[1],
                                               command.calc_texts[2], orlit::StandardOutput(),
                                               orlit::StandardError());
      case CommandLine::Mode::kBatch:
        return orlit::RunBatchFile(command.batch_path, orlit::StandardOutput(),
                                   orlit::StandardError());
      case CommandLine::Mode::kHelp:
        orlit::PrintUsage(orlit::StandardOutput());
        return 0;
      case CommandLine::Mode::kVersion:
        orlit::StandardOutput() << "orlit_cfs " << ORLIT_VERSION << '\n';
        return 0;
      case CommandLine::Mode::kUsageError:
        orlit::StandardError() << "orlit_cfs: " << command.error << '\n';
        orlit::PrintUsage(orlit::StandardError());
        return 2;
      case CommandLine::Mode::kScreenshot: {
        // Drawn at ORLIT_SCALE alone: a screenshot never asks a display.
        orlit::HeadlessWindowSystem desktop(orlit::HeadlessWindowSystem::kDefaultDesktopSize,
                                            orlit::ScaleFactorSetting().value_or(1));
        return orlit::RunProgram(desktop, options);
      }
      case CommandLine::Mode::kWindow: {
        // About what the window allocates up to its first frame.
        orlit::ProvideHeapAhead(640 * 1024);
        // Throws when there is no display.
        const std::unique_ptr<orlit::WindowSystem> desktop = orlit::OpenDesktopWindowSystem();
        // Screen readers find the window through AT-SPI when they ask for it.
        orlit::AtspiActivation accessibility(*desktop, orlit::AccessibleModel::Instance().Root());
        options.after_first_frame = [&accessibility] {
          orlit::EndHeapAhead();
          accessibility.Start();
        };
        return orlit::RunProgram(*desktop, options);
      }
    }
  } catch (const orlit::Exception& e) {
    orlit::StandardError() << "orlit_cfs: " << orlit::MessageWithFinalPeriod(e.ShownMessage())
                           << '\n';
    return 1;
  }
  return 2;
}
