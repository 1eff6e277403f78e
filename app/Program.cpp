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

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

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

std::string WindowStateJson(const TForm1& form) {
  // The focus sits in an editor's inner edit; the state names the editor around it.
  const TControl* focused = form.ActiveControl();
  while (focused != nullptr && focused->Name().empty()) focused = focused->Parent();
  const NativeWindow* window = form.Window();
  std::string json = "{\n";
  json += "  \"focused\": " + (focused ? JsonString(focused->Name()) : std::string("null")) + ",\n";
  json +=
      "  \"window\": {\"left\": " + std::to_string(form.Left()) +
      ", \"top\": " + std::to_string(form.Top()) + ", \"width\": " + std::to_string(form.Width()) +
      ", \"height\": " + std::to_string(form.Height()) +
      ", \"state\": " + JsonString(window && window->Minimized() ? "minimized" : "normal") + "},\n";
  json += "  \"caption\": " + JsonString(form.strlabel->Caption()) + ",\n";
  json += "  \"fields\": {";
  const TcxTextEdit* fields[] = {form.cxTextEdit1, form.cxTextEdit2, form.cxTextEdit3,
                                 form.cxTextEdit4, form.cxTextEdit5};
  for (const TcxTextEdit* field : fields) {
    json += (field == fields[0] ? "" : ", ") + JsonString(field->Name()) + ": " +
            JsonString(field->Text());
  }
  json += "}\n}\n";
  return json;
}

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
