#include <gtest/gtest.h>

#include "app/PeriodCalculation.h"
#include "app/Program.h"
#include "app/Unit1.h"
#include "framework/Application.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

// The main window on the headless desktop, shown, with no event pending.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application_.CreateForm(Form1);
    Form1->Show();
    application_.ProcessMessages();
  }
  void TearDown() override { Form1 = nullptr; }

  const HeadlessWindowSystem::WindowState& Window() const {
    return *desktop_.Window(Form1->Window()->Id());
  }
  // A point in `control`'s client coordinates, on the screen.
  TPoint OnScreen(const TControl* control, TPoint client) const {
    return control->ClientToScreen(client);
  }
  void ClickAt(TPoint screen) {
    desktop_.Click(screen);
    application_.ProcessMessages();
  }

  // Pixel of the form's last frame as the screen shows it.
  uint32_t ShownPixel(const TControl* control, TPoint client) const {
    const TPoint screen = OnScreen(control, client);
    return Window().pixels.Pixel(screen.X - Window().bounds.Left, screen.Y - Window().bounds.Top);
  }

  const LookAndFeelModule look_and_feel_;
  HeadlessWindowSystem desktop_;
  TApplication application_{desktop_, "/opt/orlit/orlit_cfs"};
};

TEST_F(MainWindowTest, FramelessWindowCentredOnTheDesktop) {
  EXPECT_EQ(application_.Title(), "orlit_cfs");
  EXPECT_EQ(Window().title, "orlit_cfs");
  // (1024 - 567) / 2 and (768 - 501) / 2.
  EXPECT_EQ(Window().bounds, TRect::FromBounds(228, 133, 567, 501));
  EXPECT_EQ(Form1->ClientWidth(), 567);
  EXPECT_EQ(Form1->ClientHeight(), 501);
}

TEST_F(MainWindowTest, TitleBarControlsSitAtTheirPlaces) {
  struct Place {
    const TControl* control;
    const TWinControl* parent;
    TRect bounds;
  };
  const Place places[] = {
      {Form1->str1, Form1, TRect::FromBounds(0, 0, 567, 31)},
      {Form1->str2, Form1->str1, TRect::FromBounds(0, 0, 505, 31)},
      {Form1->stri1, Form1->str2, TRect::FromBounds(0, 0, 505, 30)},
      {Form1->str3, Form1->str1, TRect::FromBounds(505, 0, 62, 31)},
      {Form1->stri3, Form1->str3, TRect::FromBounds(1, 8, 17, 25)},
      {Form1->stri4, Form1->str3, TRect::FromBounds(17, 8, 17, 25)},
      {Form1->stri5, Form1->str3, TRect::FromBounds(33, 8, 25, 25)},
  };
  for (const Place& p : places) {
    EXPECT_EQ(p.control->Parent(), p.parent) << p.control->Name();
    EXPECT_EQ(p.control->BoundsRect(), p.bounds) << p.control->Name();
  }
  // The buttons picture is aligned to the top, so it spans its panel; the caption starts at 8, 8.
  EXPECT_EQ(Form1->stri2->BoundsRect(), TRect::FromBounds(0, 0, 62, 30));
  EXPECT_EQ(Form1->strlabel->Left(), 8);
  EXPECT_EQ(Form1->strlabel->Top(), 8);
}

TEST_F(MainWindowTest, FieldsSitAtTheirPlacesAndSizeThemselvesToTheirFonts) {
  struct Place {
    const TcxTextEdit* field;
    TRect bounds;  // heights 27 and 35 come from the fonts, not from the layout
    const char* text;
  };
  const Place places[] = {
      {Form1->cxTextEdit1, TRect::FromBounds(243, 52, 121, 27), "65"},
      {Form1->cxTextEdit2, TRect::FromBounds(395, 52, 121, 27), "24.5"},
      {Form1->cxTextEdit3, TRect::FromBounds(387, 132, 121, 35), ""},
      {Form1->cxTextEdit4, TRect::FromBounds(352, 256, 73, 27), ""},
      {Form1->cxTextEdit5, TRect::FromBounds(368, 304, 73, 27), ""},
  };
  for (const Place& p : places) {
    EXPECT_EQ(p.field->BoundsRect(), p.bounds) << p.field->Name();
    EXPECT_EQ(p.field->Text(), p.text) << p.field->Name();
    EXPECT_TRUE(p.field->Style().Shadow()) << p.field->Name();
  }
}

TEST_F(MainWindowTest, TabWalksTheFieldsInTabOrder) {
  const TcxCustomTextEdit* order[] = {Form1->cxMaskEdit1, Form1->cxTextEdit1, Form1->cxTextEdit2,
                                      Form1->cxTextEdit3, Form1->cxTextEdit4, Form1->cxTextEdit5,
                                      Form1->cxMemo2,     Form1->cxMaskEdit1};
  EXPECT_TRUE(order[0]->Focused());
  for (size_t i = 1; i < std::size(order); ++i) {
    desktop_.PressKey(VK_TAB);
    application_.ProcessMessages();
    EXPECT_TRUE(order[i]->Focused()) << "after " << order[i - 1]->Name();
  }
  EXPECT_NE(WindowStateJson(*Form1).find("\"focused\": \"cxMaskEdit1\""), std::string::npos);
}

TEST_F(MainWindowTest, FocusedFieldIsYellowAndAFieldUnderTheMouseLime) {
  const TPoint inside{60, 12};
  EXPECT_EQ(ShownPixel(Form1->cxMaskEdit1, inside), ColorToPixel(clYellow));
  EXPECT_EQ(ShownPixel(Form1->cxTextEdit2, inside), ColorToPixel(clWindow));
  desktop_.MoveMouse(OnScreen(Form1->cxTextEdit2, inside));
  application_.ProcessMessages();
  EXPECT_EQ(ShownPixel(Form1->cxTextEdit2, inside), ColorToPixel(clLime));
  desktop_.MoveMouse(OnScreen(Form1->cxTextEdit2, {60, 100}));
  desktop_.AdvanceTime(10);
  application_.ProcessMessages();
  EXPECT_EQ(ShownPixel(Form1->cxTextEdit2, inside), ColorToPixel(clWindow));
}

TEST_F(MainWindowTest, LogStartsEmptyAndTheCalculationAppendsToIt) {
  EXPECT_EQ(Form1->cxMemo2->Lines().Count(), 0);
  EXPECT_EQ(Form1->cxMemo2->BoundsRect(), TRect::FromBounds(32, 96, 337, 153));
  EXPECT_TRUE(Form1->cxMemo2->Properties().ReadOnly());
  EXPECT_EQ(Form1->cxLabel2->Caption(), "Nr zile lucratoare/lun\xC3\xA4");
  EXPECT_EQ(Form1->cxLabel3->Caption(), "Sf\xC3\xA2rsitul perioadei=");
  EXPECT_EQ(Form1->Label1->Caption(), "CFS= Concediu Fara Salar");
  std::string result;
  ComputePeriod("31.10.83", "65", "24.5", result);
  EXPECT_EQ(Form1->cxMemo2->Lines().Count(), 7);
  EXPECT_EQ(Form1->cxMemo2->Lines().Strings(6), "____________________________");
}

TEST_F(MainWindowTest, ShowPutsTheCaptionIntoTheTitleBar) {
  EXPECT_EQ(Form1->strlabel->Caption(), "Orlit_CFS by Orlit Soft");
  EXPECT_GT(Form1->strlabel->Width(), 100);  // follows the text in 16-pixel bold letters
  EXPECT_EQ(Form1->strlabel->Height(), 20);
  EXPECT_NE(WindowStateJson(*Form1).find("\"caption\": \"Orlit_CFS by Orlit Soft\""),
            std::string::npos);
}

TEST_F(MainWindowTest, MinimiseAreaSendsTheWindowToTheTaskbarAndBack) {
  const TRect before = Window().bounds;
  ClickAt(OnScreen(Form1->stri3, {8, 12}));
  EXPECT_TRUE(Window().minimized);
  EXPECT_TRUE(application_.Minimized());
  desktop_.RestoreFromTaskbar(Form1->Window()->Id());
  application_.ProcessMessages();
  EXPECT_FALSE(Window().minimized);
  EXPECT_EQ(Window().bounds, before);
}

TEST_F(MainWindowTest, MaximiseAreaDoesNothing) {
  const TRect before = Window().bounds;
  ClickAt(OnScreen(Form1->stri4, {8, 12}));
  EXPECT_FALSE(Window().minimized);
  EXPECT_FALSE(application_.Terminated());
  EXPECT_EQ(Window().bounds, before);
}

TEST_F(MainWindowTest, CloseAreaTerminatesAtOnce) {
  ClickAt(OnScreen(Form1->stri5, {12, 12}));
  EXPECT_TRUE(application_.Terminated());
}

TEST_F(MainWindowTest, DraggingTheTitleBarMovesTheWindow) {
  struct Drag {
    const TControl* handle;
    TPoint grab;
    bool moves;
  };
  const Drag drags[] = {
      {Form1->stri1, {300, 15}, true},
      {Form1->strlabel, {5, 5}, true},
      {Form1->stri2, {2, 3}, true},    // picture above the click areas
      {Form1->stri4, {8, 12}, false},  // a button area keeps the mouse to itself
  };
  for (const Drag& d : drags) {
    const TRect before = Window().bounds;
    const TPoint start = OnScreen(d.handle, d.grab);
    desktop_.MoveMouse(start);
    desktop_.MouseDown();
    // A busy program handles the press only after the pointer has moved on.
    desktop_.MoveMouse({start.X + 20, start.Y + 5});
    application_.ProcessMessages();
    desktop_.MoveMouse({start.X + 45, start.Y - 30});
    desktop_.MouseUp();
    application_.ProcessMessages();
    const TRect expected = d.moves ? before.Offset(45, -30) : before;
    EXPECT_EQ(Window().bounds, expected) << d.handle->Name();
    EXPECT_EQ(Form1->Left(), expected.Left) << d.handle->Name();
  }
}

TEST_F(MainWindowTest, TitleBarShowsItsPictures) {
  const PixelImage image = Form1->RenderImage();
  auto red = [](uint32_t p) { return (p >> 16) & 0xFF; };
  auto green = [](uint32_t p) { return (p >> 8) & 0xFF; };
  // The glow in the middle of the strip is red; the strip's ends are grey.
  EXPECT_GT(red(image.Pixel(252, 15)), green(image.Pixel(252, 15)) + 60);
  // The close button's red dome lies under the close area.
  int red_pixels = 0;
  for (int y = 8; y < 30; ++y) {
    for (int x = 505 + 33; x < 505 + 58; ++x) {
      if (red(image.Pixel(x, y)) > green(image.Pixel(x, y)) + 60) ++red_pixels;
    }
  }
  EXPECT_GT(red_pixels, 40);
  // Below the title bar: the button face.
  EXPECT_EQ(image.Pixel(20, 300), image.Pixel(200, 320));
}

}  // namespace
}  // namespace orlit
