#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EditorsFixture.h"
#include "editors/ImageEdit.h"
#include "editors/ImagePopupMenu.h"
#include "framework/FileNameForm.h"
#include "framework/Icon.h"
#include "framework/JpegImage.h"
#include "framework/PictureDialog.h"
#include "platform/BmpCodec.h"
#include "platform/JpegCodec.h"
#include "platform/PictureError.h"
#include "platform/PngCodec.h"

namespace orlit::editors_testing {
namespace {

namespace fs = std::filesystem;

PixelImage Stripes(int width, int height) {
  PixelImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.SetPixel(x, y, x < width / 2 ? 0xC02020 : 0x2020C0);
  }
  return image;
}

// An icon file with one PNG entry.
std::vector<std::uint8_t> IconFile(const PixelImage& image) {
  const std::vector<std::uint8_t> png = EncodePng(image);
  std::vector<std::uint8_t> file = {0,
                                    0,
                                    1,
                                    0,
                                    1,
                                    0,
                                    static_cast<std::uint8_t>(image.Width()),
                                    static_cast<std::uint8_t>(image.Height()),
                                    0,
                                    0,
                                    1,
                                    0,
                                    32,
                                    0};
  for (const std::uint32_t v : {static_cast<std::uint32_t>(png.size()), 22u}) {
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  file.insert(file.end(), png.begin(), png.end());
  return file;
}

class ImageEditingTest : public EditorTest {
 protected:
  ImageEditingTest() {
    folder_ = fs::temp_directory_path() / ("orlit_image_" + std::to_string(getpid()));
    fs::create_directories(folder_);
    image_ = form_->Create<TcxImage>();
    image_->SetParent(form_);
    image_->SetBounds(10, 10, 140, 100);
    SetBitmap(Stripes(40, 20));
    Show();
  }
  ~ImageEditingTest() override { fs::remove_all(folder_); }

  void SetBitmap(const PixelImage& pixels) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixels(pixels);
    image_->Picture().SetGraphic(std::move(bitmap));
  }

  // Opens the context menu with the menu key and answers what comes up: the menu with
  // `accelerator`, our file dialog with `path` (with Escape when it refuses it), message boxes
  // with Enter; the texts of the boxes and refusals are kept.
  void ChooseFromMenu(char32_t accelerator, const std::string& path) {
    bool menu_answered = false;
    desktop_.SetIdleHandler([&, this] {
      TCustomForm* active = app_.ActiveForm();
      if (auto* box = dynamic_cast<TMessageBoxForm*>(active)) {
        box_texts_.push_back(box->Text());
        desktop_.PressKey(VK_RETURN);
      } else if (auto* dialog = dynamic_cast<TFileNameForm*>(active)) {
        if (!dialog->Problem().empty()) {
          box_texts_.push_back(dialog->Problem());
          desktop_.PressKey(VK_ESCAPE);
          return;
        }
        dialog->PathField()->SetText(path);
        desktop_.PressKey(VK_RETURN);
      } else if (active != form_ && active != nullptr && !menu_answered) {
        menu_answered = true;
        desktop_.TypeCharacter(accelerator);
      }
    });
    image_->SetFocus();
    Press(VK_APPS);
    desktop_.SetIdleHandler(nullptr);
  }

  fs::path folder_;
  TcxImage* image_ = nullptr;
};

TEST_F(ImageEditingTest, MenuItemsShowAndEnableByPictureSettingsAndClipboard) {
  // Each shown item by its accelerator, upper case when enabled; "-" a separator.
  struct Case {
    std::string name;
    std::function<void()> set_up;
    bool clipboard_picture;
    std::string items;
  };
  const Case cases[] = {
      {"bitmap", [] {}, false, "TCpD-LA"},
      {"bitmap_clipboard", [] {}, true, "TCPD-LA"},
      {"read_only", [this] { image_->Properties().SetReadOnly(true); }, true, "tCpd-lA"},
      {"empty", [this] { image_->Picture().SetGraphic(std::unique_ptr<TGraphic>()); }, true,
       "tcPd-La"},
      {"icon",
       [this] {
         auto icon = std::make_unique<TIcon>();
         icon->LoadFromBytes(IconFile(Stripes(16, 16)));
         image_->Picture().SetGraphic(std::move(icon));
       },
       true, "tcPD-LA"},
      {"icon_kind", [this] { image_->Properties().SetGraphicClassName("TIcon"); }, true, "TCpD-LA"},
      {"jpeg_kind", [this] { image_->Properties().SetGraphicClassName("TJPEGImage"); }, true,
       "TCPD-LA"},
      {"copy_and_custom",
       [this] {
         auto& layout = image_->Properties().PopupMenuLayout();
         layout.SetMenuItems(PopupMenuItemBit(pmiCopy) | PopupMenuItemBit(pmiCustom));
         layout.SetCustomMenuItemCaption("E&xtra");
       },
       false, "C-X"},
  };
  for (const Case& c : cases) {
    image_->Properties().SetReadOnly(false);
    image_->Properties().SetGraphicClassName("TBitmap");
    image_->Properties().PopupMenuLayout().SetMenuItems(kDefaultPopupMenuItems);
    SetBitmap(Stripes(40, 20));
    c.clipboard_picture ? desktop_.SetClipboardPicture(Stripes(2, 2))
                        : desktop_.SetClipboardText("text");
    c.set_up();
    TcxImagePopupMenu menu(*image_);
    menu.Update();
    std::string items;
    for (const auto& item : menu.Menu().Items()) {
      if (!item->Visible()) continue;
      const char32_t letter = item->IsSeparator() ? U'-' : item->Accelerator();
      items += static_cast<char>(item->Enabled() ? std::toupper(static_cast<int>(letter)) : letter);
    }
    EXPECT_EQ(items, c.items) << c.name;
  }
}

TEST_F(ImageEditingTest, KeysCopyCutAndPastePerGraphicKind) {
  struct Case {
    std::string name;
    int key;
    ShiftState shift;
    std::string kind;
    bool read_only;
    bool picture_after;
    std::string_view class_after;
    bool clipboard_holds_picture;
  };
  const Case cases[] = {
      {"ctrl_c", 'C', kShiftStateCtrl, "TBitmap", false, true, "TBitmap", true},
      {"ctrl_insert", VK_INSERT, kShiftStateCtrl, "TBitmap", true, true, "TBitmap", true},
      {"ctrl_x", 'X', kShiftStateCtrl, "TBitmap", false, false, "", true},
      {"shift_delete", VK_DELETE, kShiftStateShift, "TBitmap", false, false, "", true},
      {"read_only_cut_copies", 'X', kShiftStateCtrl, "TBitmap", true, true, "TBitmap", true},
      {"ctrl_v_into_jpeg", 'V', kShiftStateCtrl, "TJPEGImage", false, true, "TJPEGImage", false},
      {"shift_insert", VK_INSERT, kShiftStateShift, "TBitmap", false, true, "TBitmap", false},
      {"read_only_paste", 'V', kShiftStateCtrl, "TBitmap", true, true, "TBitmap", false},
  };
  const PixelImage on_clipboard = Stripes(64, 32);
  for (const Case& c : cases) {
    SetBitmap(Stripes(40, 20));
    desktop_.SetClipboardPicture(on_clipboard);
    if (c.clipboard_holds_picture) desktop_.SetClipboardText("");
    image_->Properties().SetGraphicClassName(c.kind);
    image_->Properties().SetReadOnly(c.read_only);
    Click(image_);
    Press(c.key, c.shift);
    const TGraphic* graphic = image_->Picture().Graphic();
    ASSERT_EQ(graphic != nullptr, c.picture_after) << c.name;
    if (graphic != nullptr) {
      EXPECT_EQ(graphic->StoredClassName(), c.class_after) << c.name;
    }
    const bool pasted = c.key == 'V' || (c.key == VK_INSERT && c.shift == kShiftStateShift);
    if (graphic != nullptr && pasted && !c.read_only) {
      EXPECT_EQ(graphic->Width(), 64) << c.name;
      // Compressed, yet the two halves keep their colours.
      EXPECT_NEAR(static_cast<int>(graphic->Image().Pixel(5, 5) >> 16), 0xC0, 8) << c.name;
    }
    if (c.clipboard_holds_picture) {
      ASSERT_TRUE(desktop_.ClipboardHasPicture()) << c.name;
      EXPECT_EQ(desktop_.ClipboardPicture()->Width(), 40) << c.name;
    }
  }
}

TEST_F(ImageEditingTest, SaveAndLoadThroughTheMenuAndOurDialog) {
  const std::string saved = (folder_ / "picture").string();
  ChooseFromMenu(U'a', saved);
  ASSERT_TRUE(fs::exists(saved + ".bmp"));
  std::ifstream in(saved + ".bmp", std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  EXPECT_EQ(DecodeBmp(bytes), Stripes(40, 20));

  const std::string garbage = (folder_ / "garbage.bmp").string();
  std::ofstream(garbage) << "BM not really";
  struct Case {
    std::string path;
    bool loads;
  } cases[] = {{garbage, false}, {(folder_ / "none.jpg").string(), false}, {saved + ".bmp", true}};
  SetBitmap(Stripes(10, 10));
  for (const Case& c : cases) {
    box_texts_.clear();
    ChooseFromMenu(U'l', c.path);
    EXPECT_EQ(image_->Picture().Width(), c.loads ? 40 : 10) << c.path;
    EXPECT_EQ(box_texts_.size(), c.loads ? 0u : 1u) << c.path;
  }
}

TEST_F(ImageEditingTest, LoadOffersEveryKindAndReadsByExtensionElseByContent) {
  image_->Properties().SetGraphicClassName("TJPEGImage");
  const std::vector<std::uint8_t> jpeg = EncodeJpeg(Stripes(30, 8));
  for (const char* name : {"photo.JPG", "photo.dat", "photo.bmp", "noise.gif"}) {
    std::ofstream(folder_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()),
               std::string_view(name) == "noise.gif" ? 1 : static_cast<long>(jpeg.size()));
  }
  std::vector<std::string> offered;
  desktop_.SetIdleHandler([&, this] {
    if (auto* dialog = dynamic_cast<TFileNameForm*>(app_.ActiveForm())) {
      for (const FileFilter& filter : dialog->Request().filters) offered.push_back(filter.name);
      dialog->Close();
    }
  });
  image_->LoadFromFile();
  desktop_.SetIdleHandler(nullptr);
  EXPECT_EQ(offered, (std::vector<std::string>{"JPEG images (*.jpg;*.jpeg)", "Bitmaps (*.bmp)",
                                               "Icons (*.ico)", "Vector drawings (*.svg)",
                                               "All files (*)"}));
  const struct {
    const char* name;
    int width;  // 0: refused
  } cases[] = {{"photo.JPG", 30}, {"photo.dat", 30}, {"photo.bmp", 0}, {"noise.gif", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetBitmap(Stripes(10, 10));
    if (c.width == 0) {
      EXPECT_THROW(image_->LoadFromFile((folder_ / c.name).string()), EInvalidGraphic);
      continue;
    }
    image_->LoadFromFile((folder_ / c.name).string());
    EXPECT_EQ(image_->Picture().Width(), c.width);
    EXPECT_EQ(image_->Picture().Graphic()->StoredClassName(), "TJPEGImage");
  }
}

TEST_F(ImageEditingTest, TheEditorCountsAsFocusedWhileItsDialogIsOpen) {
  bool focused_meanwhile = false;
  desktop_.SetIdleHandler([&, this] {
    if (auto* dialog = dynamic_cast<TFileNameForm*>(app_.ActiveForm())) {
      focused_meanwhile = image_->Focused();
      dialog->Close();
    }
  });
  Click(image_);
  image_->SaveToFile();
  desktop_.SetIdleHandler(nullptr);
  EXPECT_TRUE(focused_meanwhile);
  EXPECT_TRUE(image_->Focused());
}

}  // namespace
}  // namespace orlit::editors_testing
