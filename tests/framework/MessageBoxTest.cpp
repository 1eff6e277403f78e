#include "FrameworkFixture.h"
#include "framework/Canvas.h"

namespace orlit {
namespace {

class MessageBoxTest : public FrameworkTest {
 protected:
  // Opens a box and runs `answer` on it once it is up.
  int Show(const std::string& text, unsigned flags, std::function<void(TMessageBoxForm&)> answer) {
    desktop_.SetIdleHandler([this, answer] {
      auto* box = dynamic_cast<TMessageBoxForm*>(app_.ActiveForm());
      if (box == nullptr || answered_ == box) return;
      answered_ = box;
      answer(*box);
    });
    answered_ = nullptr;
    return app_.MessageBox(text, "Caption", flags);
  }

  TMessageBoxForm* answered_ = nullptr;
};

TEST_F(MessageBoxTest, ButtonsAndTheKeysThatAnswer) {
  struct Case {
    unsigned flags;
    std::vector<int> buttons;
    std::vector<int> keys;
    int answer;
  };
  const Case cases[] = {
      {MB_OK, {IDOK}, {VK_RETURN}, IDOK},
      {MB_OK, {IDOK}, {VK_ESCAPE}, IDOK},
      {MB_OK | MB_ICONSTOP, {IDOK}, {VK_SPACE}, IDOK},
      {MB_OKCANCEL, {IDOK, IDCANCEL}, {VK_ESCAPE}, IDCANCEL},
      {MB_OKCANCEL, {IDOK, IDCANCEL}, {VK_TAB, VK_RETURN}, IDCANCEL},
      {MB_YESNO, {IDYES, IDNO}, {VK_ESCAPE, VK_TAB, VK_SPACE}, IDNO},
      {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}, {VK_RETURN}, IDYES},
      {0x7, {IDOK}, {VK_RETURN}, IDOK},
  };
  for (const Case& c : cases) {
    std::vector<int> buttons;
    const int answer = Show("text", c.flags, [&](TMessageBoxForm& box) {
      buttons = box.ButtonResults();
      for (int key : c.keys) desktop_.PressKey(key);
    });
    EXPECT_EQ(buttons, c.buttons) << c.flags;
    EXPECT_EQ(answer, c.answer) << c.flags;
    EXPECT_EQ(app_.Forms().size(), 0u);
  }
}

TEST_F(MessageBoxTest, AClickOnAButtonAnswersIt) {
  const int answer = Show("text", MB_OKCANCEL, [this](TMessageBoxForm& box) {
    const TPoint button{(box.Width() + TMessageBoxForm::kButtonWidth) / 2 + 10,
                        box.Height() - TMessageBoxForm::kMargin - 5};
    desktop_.Click(box.ClientToScreen(button));
  });
  EXPECT_EQ(answer, IDCANCEL);
}

TEST_F(MessageBoxTest, TheBoxIsCentredWithItsIconAndTheTextWrapped) {
  const std::string long_text =
      "'31.02.83' is not a valid date, and this sentence goes on long enough to need more "
      "than one line in a box of sensible width.";
  PixelImage pixels;
  TRect text_rect;
  TRect icon_rect;
  TRect bounds;
  Show(long_text, MB_OK | MB_ICONSTOP, [&](TMessageBoxForm& box) {
    pixels = desktop_.Window(box.Window()->Id())->pixels;
    text_rect = box.TextRect();
    icon_rect = box.IconRect();
    bounds = box.BoundsRect();
    desktop_.PressKey(VK_RETURN);
  });
  EXPECT_LE(text_rect.Width(), TMessageBoxForm::kMaxTextWidth);
  EXPECT_GE(text_rect.Height(), 2 * 13);
  EXPECT_EQ(bounds.Left, (1024 - bounds.Width()) / 2);
  EXPECT_EQ(bounds.Top, (768 - bounds.Height()) / 2);
  EXPECT_EQ(icon_rect.Width(), TMessageBoxForm::kIconSize);
  EXPECT_GE(text_rect.Left, icon_rect.Right);
  // A red disc with a white cross; the title strip in the caption colour.
  EXPECT_EQ(pixels.Pixel(icon_rect.Left + 16, icon_rect.Top + 16), 0xFFFFFFu);
  EXPECT_EQ(pixels.Pixel(icon_rect.Left + 16, icon_rect.Top + 4), 0xCC0000u);
  EXPECT_EQ(pixels.Pixel(icon_rect.Left, icon_rect.Top), ColorToPixel(clBtnFace));
  EXPECT_EQ(pixels.Pixel(bounds.Width() - 3, 3), ColorToPixel(clActiveCaption));
  int text_pixels = 0;
  for (int y = text_rect.Top; y < text_rect.Bottom; ++y) {
    for (int x = text_rect.Left; x < text_rect.Right; ++x) {
      text_pixels += pixels.Pixel(x, y) == ColorToPixel(clWindowText);
    }
  }
  EXPECT_GT(text_pixels, 100);
}

TEST_F(MessageBoxTest, ALongWordIsWrappedToKeepTheBoxOnTheScreen) {
  const std::string digits = "'" + std::string(250, '7') + "' is not a valid integer value.";
  TRect bounds;
  TRect text_rect;
  Show(digits, MB_OK | MB_ICONSTOP, [&](TMessageBoxForm& box) {
    bounds = box.BoundsRect();
    text_rect = box.TextRect();
    desktop_.PressKey(VK_RETURN);
  });
  const TRect screen = desktop_.DesktopRect();
  EXPECT_GE(bounds.Left, screen.Left);
  EXPECT_LE(bounds.Right, screen.Right);
  EXPECT_LE(text_rect.Width(), TMessageBoxForm::kMaxTextWidth);
  EXPECT_GE(text_rect.Height(), 4 * 13);

  // On a narrow screen the box is no wider than the screen, whatever the text.
  struct Case {
    std::string text;
    std::string caption;
    int area_width;
  };
  const Case cases[] = {
      {digits, "Caption", 300},
      {"short", std::string(80, 'c'), 250},
      {std::string(40, 'w') + " " + std::string(40, 'w'), "Caption", 240},
  };
  for (const Case& c : cases) {
    auto box = MakeComponent<TMessageBoxForm>(c.text, c.caption, MB_OK | MB_ICONSTOP, c.area_width);
    EXPECT_LE(box->Width(), c.area_width) << c.text;
    EXPECT_LE(box->TextRect().Right, box->Width()) << c.text;
  }
}

// A click on the main window while the box is up: the desktop raises and focuses the main
// window; the box must come back above it with the keyboard.
TEST_F(MessageBoxTest, TheBoxStaysAboveItsWindowAndTakesTheFocusBack) {
  auto* main = NewForm<TForm>();
  main->SetBounds(100, 100, 400, 300);
  ShowAndSettle(main);
  const WindowId main_window = main->Window()->Id();
  WindowId box_window = 0;
  WindowId owner = 0;
  int idle_calls = 0;
  desktop_.SetIdleHandler([&] {
    auto* box = dynamic_cast<TMessageBoxForm*>(app_.ActiveForm());
    if (++idle_calls == 1) {
      box_window = box->Window()->Id();
      owner = desktop_.Window(box_window)->owner;
      main->Window()->Raise();
      main->Window()->Focus();
      return;
    }
    EXPECT_EQ(desktop_.ZOrder().back(), box_window);
    EXPECT_EQ(desktop_.FocusedWindow(), box_window);
    desktop_.PressKey(VK_RETURN);
  });
  EXPECT_EQ(app_.MessageBox("text", "Caption", MB_OK), IDOK);
  EXPECT_EQ(owner, main_window);
  EXPECT_GE(idle_calls, 2);
  EXPECT_EQ(desktop_.FocusedWindow(), main_window);
}

TEST_F(MessageBoxTest, LineBreaksInTheTextAreKeptAndEmptyTextShowsNoText) {
  TRect two_lines;
  Show("one\r\ntwo", MB_OK, [&](TMessageBoxForm& box) {
    two_lines = box.TextRect();
    desktop_.PressKey(VK_RETURN);
  });
  EXPECT_EQ(two_lines.Height(), 26);
  TRect empty;
  Show("", MB_OK, [&](TMessageBoxForm& box) {
    empty = box.TextRect();
    desktop_.PressKey(VK_RETURN);
  });
  EXPECT_EQ(empty.Width(), 0);
}

TEST_F(MessageBoxTest, ABoxThatCannotBeAnsweredReturnsNothing) {
  desktop_.SetIdleHandler(nullptr);
  EXPECT_EQ(app_.MessageBox("nobody answers", "Caption", MB_OK), 0);
  EXPECT_TRUE(app_.Forms().empty());
}

}  // namespace
}  // namespace orlit
