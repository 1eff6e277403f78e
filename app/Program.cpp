#include "app/Program.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string_view>

#include "app/PeriodCalculation.h"
#include "app/Unit1.h"
#include "convert/Exceptions.h"
#include "framework/Application.h"
#include "framework/Picture.h"
#include "framework/PublishedClasses.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/PictureFile.h"
#include "platform/PngCodec.h"

namespace orlit {

namespace {

// Through the safe save, so that a failed write leaves no half file behind.
// False, with the reason on the error stream, when the file could not be
// written.
bool WriteOutputFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  try {
    WriteFileSafely(path, bytes);
    return true;
  } catch (const Exception& e) {
    std::fprintf(stderr, "orlit_cfs: %s\n", MessageWithFinalPeriod(e.ShownMessage()).c_str());
    return false;
  }
}

bool WriteOutputFile(const std::string& path, std::string_view text) {
  return WriteOutputFile(
      path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

int RunProgram(WindowSystem& desktop, const ProgramOptions& options) {
  // Process-wide, before any control asks how to draw itself.
  [[maybe_unused]] static const LookAndFeelModule& look_and_feel = *new LookAndFeelModule;
  TApplication application(desktop, options.executable);
  TPicture icon;
  LoadPictureResource(icon, "MAINICON");
  application.SetIcon(icon.Graphic()->Image());
  application.CreateForm(Form1);
  application.SetAfterFirstFrame(options.after_first_frame);

  bool written = true;
  if (!options.screenshot_path.empty()) {
    Form1->Show();
    application.ProcessMessages();
    written = WriteOutputFile(options.screenshot_path, EncodePng(Form1->RenderImage()));
  } else {
    application.Run();
  }
  if (!options.dump_state_path.empty()) {
    written = WriteOutputFile(options.dump_state_path, WindowStateJson(*Form1)) && written;
  }
  Form1 = nullptr;
  // As the terminal modes answer output they could not write.
  return written ? 0 : 2;
}

}  // namespace orlit
