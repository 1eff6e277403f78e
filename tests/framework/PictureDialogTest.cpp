#include <filesystem>
#include <fstream>

#include "FrameworkFixture.h"
#include "framework/CustomEdit.h"
#include "framework/FileNameForm.h"
#include "framework/PictureDialog.h"

namespace orlit {
namespace {

namespace fs = std::filesystem;

class PictureDialogTest : public FrameworkTest {
 protected:
  PictureDialogTest() {
    folder_ = fs::temp_directory_path() / ("orlit_dialog_" + std::to_string(getpid()));
    fs::create_directories(folder_);
    std::ofstream(folder_ / "logo.bmp") << "BM";
    std::ofstream(folder_ / "notes.txt") << "BM";
    main_ = NewForm<TForm>();
    main_->SetBounds(100, 100, 300, 200);
    ShowAndSettle(main_);
  }
  ~PictureDialogTest() override { fs::remove_all(folder_); }

  fs::path folder_;
  TForm* main_ = nullptr;
};

TEST_F(PictureDialogTest, OurDialogChecksThePathOnOk) {
  struct Case {
    bool save;
    std::vector<std::string> typed;  // each typed in turn over the whole field, then Enter
    std::string problem_after_first;
    std::string chosen;  // relative to the folder; empty when cancelled
  };
  const Case cases[] = {
      {false, {"logo.bmp"}, "", "logo.bmp"},
      {false, {"missing.bmp", "logo.bmp"}, "There is no file", "logo.bmp"},
      {false, {"logo.bmp.txt", "logo.bmp"}, "There is no file", "logo.bmp"},
      {false, {"notes.txt"}, "", "notes.txt"},
      {false, {"", "\x1b"}, "Enter a file name.", ""},
      {true, {"new"}, "", "new.bmp"},
      {true, {"nofolder/new.bmp", "new.JPG"}, "There is no folder", "new.JPG"},
  };
  for (const Case& c : cases) {
    auto dialog = MakeComponent<TSavePictureDialog>();
    auto open = MakeComponent<TOpenPictureDialog>();
    TPictureDialog& d = c.save ? static_cast<TPictureDialog&>(*dialog) : *open;
    d.SetFilter("Bitmaps (*.bmp)|*.bmp|JPEG Images (*.jpg)|*.jpg");
    d.SetDefaultExt("bmp");
    bool asked_desktop = false;
    d.SetDesktopChooser([&](const FileChooserRequest& request, const PeerWaiter&) {
      asked_desktop = request.filters.size() == 2 && request.save == c.save;
      return FileChooserAnswer{};
    });
    int shown = 0;
    d.OnShow = [&](TObject*) { ++shown; };
    d.OnClose = [&](TObject*) { shown += 10; };
    std::size_t step = 0;
    std::string problem;
    bool main_enabled = true;
    desktop_.SetIdleHandler([&] {
      auto* form = dynamic_cast<TFileNameForm*>(app_.ActiveForm());
      if (form == nullptr || step >= c.typed.size()) return;
      if (step == 1) problem = form->Problem();
      main_enabled = desktop_.WindowEnabled(main_->Window()->Id());
      const std::string& text = c.typed[step++];
      if (text == "\x1b") {
        desktop_.PressKey(VK_ESCAPE);
        return;
      }
      form->PathField()->SetText(text.empty() ? "" : (folder_ / text).string());
      desktop_.PressKey(VK_RETURN);
    });
    const bool chosen = d.Execute();
    desktop_.SetIdleHandler(nullptr);
    const std::string first = c.typed.front();
    EXPECT_TRUE(asked_desktop) << first;
    EXPECT_FALSE(main_enabled) << first;
    EXPECT_EQ(shown, 11) << first;
    EXPECT_EQ(problem.substr(0, c.problem_after_first.size()), c.problem_after_first) << first;
    EXPECT_EQ(chosen, !c.chosen.empty()) << first;
    if (chosen) {
      EXPECT_EQ(d.FileName(), (folder_ / c.chosen).string()) << first;
    }
    EXPECT_TRUE(main_->Active()) << first;
  }
}

TEST_F(PictureDialogTest, TheDesktopsAnswerIsTaken) {
  for (const FileChoice choice : {FileChoice::kChosen, FileChoice::kCancelled}) {
    auto dialog = MakeComponent<TSavePictureDialog>();
    dialog->SetDefaultExt("jpg");
    dialog->SetDesktopChooser([&](const FileChooserRequest&, const PeerWaiter&) {
      return FileChooserAnswer{choice, "/tmp/picked"};
    });
    EXPECT_EQ(dialog->Execute(), choice == FileChoice::kChosen);
    EXPECT_EQ(dialog->FileName(), choice == FileChoice::kChosen ? "/tmp/picked.jpg" : "");
    EXPECT_EQ(app_.Forms().size(), 1u);
  }
}

}  // namespace
}  // namespace orlit
