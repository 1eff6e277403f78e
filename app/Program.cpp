#include "app/Program.h"

#include <fstream>
#include <iostream>

#include "app/PeriodCalculation.h"
#include "app/Unit1.h"
#include "framework/Application.h"
#include "framework/Picture.h"
#include "framework/PublishedClasses.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/DeviceContext.h"

namespace orlit {

namespace {

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file) std::cerr << "orlit_cfs: cannot write " << path << '\n';
}

void WritePng(const PixelImage& image, const std::string& path) {
  DeviceContext dc(image.Width(), image.Height());
  dc.Draw(0, 0, image);
  dc.WritePng(path);
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

  if (!options.screenshot_path.empty()) {
    Form1->Show();
    application.ProcessMessages();
    WritePng(Form1->RenderImage(), options.screenshot_path);
  } else {
    application.Run();
  }
  if (!options.dump_state_path.empty()) {
    WriteTextFile(options.dump_state_path, WindowStateJson(*Form1));
  }
  Form1 = nullptr;
  return 0;
}

}  // namespace orlit
