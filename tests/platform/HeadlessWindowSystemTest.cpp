#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/PictureError.h"
#include "platform/PictureFile.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

using E = EventType;

std::vector<Event> Drain(HeadlessWindowSystem& system) {
  std::vector<Event> events;
  Event event;
  while (system.PollEvent(&event)) events.push_back(event);
  return events;
}

std::vector<E> Types(const std::vector<Event>& events) {
  std::vector<E> types;
  for (const Event& e : events) types.push_back(e.type);
  return types;
}

class HeadlessWindowSystemTest : public ::testing::Test {
 protected:
  // A shown 200 x 100 window at 100, 50 with the focus, and an empty queue.
  [[nodiscard]] std::unique_ptr<NativeWindow> ShownWindow(TPoint at = {100, 50},
                                                          TSize size = {200, 100}) {
    auto window = system_.CreateWindow({"test", size, at});
    window->Show();
    Drain(system_);
    return window;
  }

  HeadlessWindowSystem system_;
};

// ---- virtual time ----

// A firing not yet taken queues no other, however far time moves on.
TEST_F(HeadlessWindowSystemTest, TenMillisecondTimerFiresOncePerTenMilliseconds) {
  const TimerId timer = system_.SetTimer(10);
  const struct {
    std::uint64_t advance;
    std::size_t firings;
    std::uint64_t clock;
  } steps[] = {{9, 0, 9},   {1, 1, 10}, {10, 1, 20},        {5, 0, 25},
               {35, 1, 60}, {0, 0, 60}, {100000, 1, 100060}};
  for (const auto& step : steps) {
    system_.AdvanceTime(step.advance);
    const auto events = Drain(system_);
    ASSERT_EQ(events.size(), step.firings) << "at " << step.clock;
    for (const Event& e : events) {
      EXPECT_EQ(e.type, E::kTimer);
      EXPECT_EQ(e.timer, timer);
      EXPECT_EQ(e.time_ms % 10, 0u);
    }
    EXPECT_EQ(system_.TickCount(), step.clock);
  }
}

TEST_F(HeadlessWindowSystemTest, TimersFireInDueOrderWithTiesInOrderOfSetting) {
  system_.AdvanceTime(3);
  const TimerId a = system_.SetTimer(10);  // 13, 23, 33
  const TimerId b = system_.SetTimer(15);  // 18, 33
  const TimerId c = system_.SetTimer(25);  // 28
  system_.AdvanceTime(30);
  std::vector<std::pair<TimerId, std::uint64_t>> fired;
  for (const Event& e : Drain(system_)) fired.emplace_back(e.timer, e.time_ms);
  const std::vector<std::pair<TimerId, std::uint64_t>> expected = {{a, 13}, {b, 18}, {c, 28}};
  EXPECT_EQ(fired, expected);
}

TEST_F(HeadlessWindowSystemTest, KillingATimerDropsItsQueuedFiring) {
  const TimerId other = system_.SetTimer(10);
  const TimerId doomed = system_.SetTimer(10);
  system_.AdvanceTime(10);
  std::vector<TimerId> handled;
  Event event;
  while (system_.PollEvent(&event)) {
    handled.push_back(event.timer);
    if (event.timer == other) system_.KillTimer(doomed);
  }
  EXPECT_EQ(handled, (std::vector<TimerId>{other}));
  system_.AdvanceTime(10);
  EXPECT_EQ(Drain(system_).size(), 1u);
  system_.KillTimer(doomed);  // twice, and an unknown one: nothing happens
  system_.KillTimer(12345);
}

TEST_F(HeadlessWindowSystemTest, TimerStartsCountingWhenSetAndZeroIntervalIsOneMillisecond) {
  system_.AdvanceTime(7);
  system_.SetTimer(10);
  system_.AdvanceTime(9);
  EXPECT_TRUE(Drain(system_).empty());
  system_.AdvanceTime(1);
  EXPECT_EQ(Drain(system_).size(), 1u);

  HeadlessWindowSystem other;
  other.SetTimer(0);
  other.AdvanceTime(1);
  EXPECT_EQ(Drain(other).size(), 1u);
}

// ---- keyboard ----

TEST_F(HeadlessWindowSystemTest, PressKeyGivesKeyDownCharacterKeyUp) {
  auto window = ShownWindow();
  const struct {
    int key;
    ShiftState shift;
    std::vector<E> types;
    char32_t character;
  } cases[] = {
      {'A', 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, U'a'},
      {'7', 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, U'7'},
      {VK_OEM_PERIOD, 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, U'.'},
      {VK_RETURN, 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, 13},
      {VK_TAB, 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, 9},
      {VK_BACK, 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, 8},
      {VK_ESCAPE, 0, {E::kKeyDown, E::kCharacter, E::kKeyUp}, 27},
      {VK_LEFT, 0, {E::kKeyDown, E::kKeyUp}, 0},
      {VK_DELETE, 0, {E::kKeyDown, E::kKeyUp}, 0},
      {'A',
       kShiftStateShift,
       {E::kKeyDown, E::kKeyDown, E::kCharacter, E::kKeyUp, E::kKeyUp},
       U'A'},
      {'V', kShiftStateCtrl, {E::kKeyDown, E::kKeyDown, E::kCharacter, E::kKeyUp, E::kKeyUp}, 22},
      {'1', kShiftStateCtrl, {E::kKeyDown, E::kKeyDown, E::kKeyUp, E::kKeyUp}, 0},
  };
  for (const auto& c : cases) {
    system_.PressKey(c.key, c.shift);
    const auto events = Drain(system_);
    ASSERT_EQ(Types(events), c.types) << "key " << c.key;
    for (const Event& e : events) {
      EXPECT_EQ(e.window, window->Id());
      if (e.type == E::kCharacter) {
        EXPECT_EQ(e.character, c.character) << "key " << c.key;
      }
    }
  }
}

TEST_F(HeadlessWindowSystemTest, ModifiersArePressedFirstAndReleasedLast) {
  auto window = ShownWindow();
  system_.PressKey(VK_TAB, kShiftStateShift);
  const auto events = Drain(system_);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[0].key, VK_SHIFT);
  EXPECT_EQ(events[0].shift, kShiftStateShift);
  EXPECT_EQ(events[1].key, VK_TAB);
  EXPECT_EQ(events[1].shift, kShiftStateShift);
  EXPECT_EQ(events[2].character, 9u);
  EXPECT_EQ(events[3].key, VK_TAB);
  EXPECT_EQ(events[4].key, VK_SHIFT);
  EXPECT_EQ(events[4].type, E::kKeyUp);
  EXPECT_EQ(events[4].shift, 0);
}

TEST_F(HeadlessWindowSystemTest, TypeTextUsesKeysWhereTheKeyboardHasThem) {
  auto window = ShownWindow();
  system_.TypeText("aB1,\r\xC4\x83");
  std::u32string characters;
  int key_downs = 0;
  for (const Event& e : Drain(system_)) {
    if (e.type == E::kCharacter) characters.push_back(e.character);
    if (e.type == E::kKeyDown) ++key_downs;
  }
  EXPECT_EQ(characters, (std::u32string{U'a', U'B', U'1', U',', 13, 0x103}));
  EXPECT_EQ(key_downs, 6);  // B brings its Shift; "ă" comes as a character alone
}

TEST_F(HeadlessWindowSystemTest, KeyboardNeedsAFocusedWindow) {
  auto window = system_.CreateWindow({"hidden", {10, 10}, TPoint{0, 0}});
  system_.PressKey('A');
  system_.TypeText("x");
  EXPECT_EQ(system_.QueuedEvents(), 0u);
}

TEST_F(HeadlessWindowSystemTest, DisabledWindowLosesInputEvenIfQueuedBefore) {
  auto window = ShownWindow();
  system_.PressKey('A');
  system_.Click(system_.ScreenPoint(window->Id(), {5, 5}));
  window->SetEnabled(false);
  system_.RequestClose(window->Id());
  window->Minimize();
  EXPECT_EQ(Types(Drain(system_)), (std::vector<E>{E::kMinimized, E::kFocusLost, E::kMouseLeave}));
  window->SetEnabled(true);
  system_.RequestClose(window->Id());
  EXPECT_EQ(Types(Drain(system_)), (std::vector<E>{E::kCloseRequest}));
}

// ---- mouse ----

TEST_F(HeadlessWindowSystemTest, ClickGivesMoveDownUpInClientCoordinates) {
  auto window = ShownWindow();
  system_.Click({110, 65});
  const auto events = Drain(system_);
  ASSERT_EQ(Types(events), (std::vector<E>{E::kMouseMove, E::kMouseDown, E::kMouseUp}));
  for (const Event& e : events) EXPECT_EQ(e.position, (TPoint{10, 15}));
  EXPECT_EQ(events[1].shift, kShiftStateLeft);
  EXPECT_EQ(events[2].shift, 0);
  EXPECT_EQ(system_.CursorPos(), (TPoint{110, 65}));
}

TEST_F(HeadlessWindowSystemTest, DoubleClickNeedsSameButtonWithinTimeAndDistance) {
  auto window = ShownWindow({0, 0}, {300, 300});
  const struct {
    std::uint64_t wait;
    TPoint second;
    MouseButton second_button;
    bool double_click;
  } cases[] = {
      {0, {10, 10}, MouseButton::kLeft, true},    {500, {10, 10}, MouseButton::kLeft, true},
      {501, {10, 10}, MouseButton::kLeft, false}, {0, {14, 14}, MouseButton::kLeft, true},
      {0, {15, 10}, MouseButton::kLeft, false},   {0, {10, 10}, MouseButton::kRight, false},
  };
  for (const auto& c : cases) {
    system_.AdvanceTime(1000);
    system_.Click({10, 10});
    system_.AdvanceTime(c.wait);
    Drain(system_);
    system_.Click(c.second, c.second_button);
    const auto events = Drain(system_);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].type, c.double_click ? E::kMouseDoubleClick : E::kMouseDown)
        << "wait " << c.wait << " at " << c.second.X << "," << c.second.Y;
    EXPECT_EQ((events[1].shift & kShiftStateDouble) != 0, c.double_click);
  }
  // A third quick click is a plain press again, a fourth a double click.
  system_.AdvanceTime(1000);
  system_.DoubleClick({10, 10});
  system_.DoubleClick({10, 10});
  std::vector<E> presses;
  for (const Event& e : Drain(system_)) {
    if (e.type == E::kMouseDown || e.type == E::kMouseDoubleClick) presses.push_back(e.type);
  }
  EXPECT_EQ(presses, (std::vector<E>{E::kMouseDown, E::kMouseDoubleClick, E::kMouseDown,
                                     E::kMouseDoubleClick}));
}

TEST_F(HeadlessWindowSystemTest, LeaveIsReportedWhenTheMouseIsNoLongerHeld) {
  auto window = ShownWindow();
  system_.MoveMouse({150, 60});
  system_.MoveMouse({10, 10});
  EXPECT_EQ(Types(Drain(system_)), (std::vector<E>{E::kMouseMove, E::kMouseLeave}));

  // A drag out of the window keeps the mouse until the button is let go.
  system_.MoveMouse({150, 60});
  system_.MouseDown();
  system_.MoveMouse({10, 10});
  system_.MouseUp();
  const auto events = Drain(system_);
  EXPECT_EQ(Types(events), (std::vector<E>{E::kMouseMove, E::kMouseDown, E::kMouseMove, E::kMouseUp,
                                           E::kMouseLeave}));
  EXPECT_EQ(events[2].position, (TPoint{-90, -40}));
}

TEST_F(HeadlessWindowSystemTest, CaptureTakesEveryMouseEvent) {
  auto window = ShownWindow();
  auto other = system_.CreateWindow({"other", {50, 50}, TPoint{500, 500}});
  other->Show();
  window->Focus();
  system_.MoveMouse({150, 60});
  Drain(system_);
  system_.SetCapture(window->Id());
  EXPECT_EQ(system_.Capture(), window->Id());
  system_.MoveMouse({510, 510});
  system_.Wheel(-2);
  auto events = Drain(system_);
  ASSERT_EQ(Types(events), (std::vector<E>{E::kMouseMove, E::kMouseWheel}));
  EXPECT_EQ(events[0].window, window->Id());
  EXPECT_EQ(events[0].position, (TPoint{410, 460}));
  EXPECT_EQ(events[1].wheel_delta, -240);
  system_.SetCapture(0);
  events = Drain(system_);
  ASSERT_EQ(Types(events), (std::vector<E>{E::kMouseLeave, E::kMouseMove}));
  EXPECT_EQ(events[0].window, window->Id());
  EXPECT_EQ(events[1].window, other->Id());
  EXPECT_EQ(events[1].position, (TPoint{10, 10}));
}

TEST_F(HeadlessWindowSystemTest, PressOnAnotherWindowRaisesAndFocusesItFirst) {
  auto back = ShownWindow({0, 0}, {100, 100});
  auto front = ShownWindow({50, 50}, {100, 100});
  system_.Click({10, 10});
  const auto events = Drain(system_);
  EXPECT_EQ(Types(events), (std::vector<E>{E::kMouseMove, E::kFocusLost, E::kFocusGained,
                                           E::kMouseDown, E::kMouseUp}));
  EXPECT_EQ(events[1].window, front->Id());
  EXPECT_EQ(events[2].window, back->Id());
  EXPECT_EQ(system_.WindowAt({60, 60}), back->Id());
}

TEST_F(HeadlessWindowSystemTest, CursorShapeOfTheWindowUnderThePointer) {
  auto window = ShownWindow();
  window->SetCursor(CursorShape::kHandPoint);
  system_.MoveMouse({150, 60});
  EXPECT_EQ(system_.CurrentCursor(), CursorShape::kHandPoint);
  system_.MoveMouse({5, 5});
  EXPECT_EQ(system_.CurrentCursor(), CursorShape::kArrow);
}

// ---- windows ----

TEST_F(HeadlessWindowSystemTest, WindowIsCentredOnTheDesktopUnlessPlaced) {
  auto window = system_.CreateWindow({"Form1", {567, 501}, std::nullopt});
  EXPECT_EQ(window->Position(), (TPoint{228, 133}));
  EXPECT_EQ(window->Size(), (TSize{567, 501}));
  EXPECT_FALSE(window->Visible());
  EXPECT_FALSE(window->Focused());
  EXPECT_THROW(system_.CreateWindow({"huge", {kMaxWindowDimension + 1, 10}, std::nullopt}),
               EWindowSystemError);
}

TEST_F(HeadlessWindowSystemTest, ShowMinimiseRestoreAndTheirEvents) {
  auto first = ShownWindow();
  auto window = system_.CreateWindow({"w", {10, 10}, TPoint{0, 0}});
  window->Show();
  EXPECT_TRUE(window->Visible());
  EXPECT_TRUE(window->Focused());
  EXPECT_FALSE(first->Focused());
  // It appears under the resting pointer at 0, 0, which the real desktop reports as a move.
  EXPECT_EQ(Types(Drain(system_)),
            (std::vector<E>{E::kExposed, E::kMouseMove, E::kFocusLost, E::kFocusGained}));

  window->Minimize();
  window->Minimize();
  EXPECT_TRUE(window->Minimized());
  EXPECT_TRUE(window->Visible());
  EXPECT_EQ(Types(Drain(system_)), (std::vector<E>{E::kMinimized, E::kFocusLost, E::kMouseLeave}));
  EXPECT_EQ(system_.Screen().Pixel(5, 5), HeadlessWindowSystem::kDesktopColor);

  system_.RestoreFromTaskbar(window->Id());
  EXPECT_FALSE(window->Minimized());
  EXPECT_TRUE(window->Focused());
  EXPECT_EQ(Types(Drain(system_)),
            (std::vector<E>{E::kRestored, E::kExposed, E::kMouseMove, E::kFocusGained}));
  window->Restore();
  EXPECT_TRUE(Drain(system_).empty());
}

TEST_F(HeadlessWindowSystemTest, MoveReportsTheNewPlaceOnce) {
  auto window = ShownWindow();
  window->Move({300, 200});
  window->Move({300, 200});
  const auto events = Drain(system_);
  ASSERT_EQ(Types(events), (std::vector<E>{E::kMoved}));
  EXPECT_EQ(events[0].position, (TPoint{300, 200}));
  EXPECT_EQ(window->Position(), (TPoint{300, 200}));
}

TEST_F(HeadlessWindowSystemTest, EventsOfADestroyedWindowAreDropped) {
  auto window = ShownWindow();
  system_.PressKey('A');
  system_.PostQuit(3);
  window.reset();
  const auto events = Drain(system_);
  ASSERT_EQ(Types(events), (std::vector<E>{E::kQuit}));
  EXPECT_EQ(events[0].exit_code, 3);
  EXPECT_EQ(system_.FocusedWindow(), 0u);
}

TEST_F(HeadlessWindowSystemTest, PresentCopiesOnlyTheDirtyPartInsideWindowAndFrame) {
  auto window = ShownWindow({100, 50}, {4, 3});
  // A padded frame wider than the window: stride of 6 pixels, 5 used.
  std::vector<std::uint32_t> buffer(6 * 3, 0xFF00FF00u);
  const FrameView frame{buffer.data(), 5, 3, 24};
  window->Present(frame, {1, 1, 10, 10});
  const auto* state = system_.Window(window->Id());
  EXPECT_EQ(state->last_dirty, (TRect{1, 1, 4, 3}));
  EXPECT_EQ(state->pixels.Pixel(0, 0), 0u);
  EXPECT_EQ(state->pixels.Pixel(1, 1), 0x00FF00u);  // the top byte is not kept
  EXPECT_EQ(state->pixels.Pixel(3, 2), 0x00FF00u);
  EXPECT_EQ(state->pixels.Pixel(0, 2), 0u);

  window->Present(FrameView{nullptr, 4, 3, 16}, {0, 0, 4, 3});
  window->Present(frame, {-5, -5, -1, -1});
  EXPECT_EQ(state->present_count, 2);  // the invalid frame is not presented
  EXPECT_EQ(state->pixels.Pixel(0, 0), 0u);
  EXPECT_EQ(system_.Screen().Pixel(101, 51), 0x00FF00u);
  EXPECT_EQ(system_.Screen().Pixel(100, 50), 0u);
  EXPECT_EQ(system_.Screen().Pixel(99, 50), HeadlessWindowSystem::kDesktopColor);
}

TEST_F(HeadlessWindowSystemTest, ScreenStacksWindowsAndRaiseChangesTheTop) {
  auto a = ShownWindow({0, 0}, {20, 20});
  auto b = ShownWindow({10, 10}, {20, 20});
  PixelImage red(20, 20, 0xFF0000), blue(20, 20, 0x0000FF);
  a->Present(FrameView::Of(red), {0, 0, 20, 20});
  b->Present(FrameView::Of(blue), {0, 0, 20, 20});
  EXPECT_EQ(system_.Screen().Pixel(15, 15), 0x0000FFu);
  a->Raise();
  EXPECT_EQ(system_.Screen().Pixel(15, 15), 0xFF0000u);
  EXPECT_EQ(system_.Screen().Pixel(25, 25), 0x0000FFu);
  b->Resize({5, 5});
  EXPECT_EQ(system_.Screen().Pixel(25, 25), HeadlessWindowSystem::kDesktopColor);
  EXPECT_EQ(system_.Window(b->Id())->pixels.Pixel(4, 4), 0x0000FFu);
}

TEST_F(HeadlessWindowSystemTest, ScreenshotIsAPngOfTheScreen) {
  auto window = ShownWindow({100, 50}, {4, 3});
  PixelImage green(4, 3, 0x00FF00);
  window->Present(FrameView::Of(green), {0, 0, 4, 3});
  const std::string path =
      (std::filesystem::temp_directory_path() / "orlit_headless_screenshot.png").string();
  system_.WriteScreenshot(path);
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(png), 1024);
  EXPECT_EQ(cairo_image_surface_get_height(png), 768);
  const auto* data = cairo_image_surface_get_data(png);
  const int stride = cairo_image_surface_get_stride(png);
  auto pixel = [&](int x, int y) {
    return *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFFu;
  };
  EXPECT_EQ(pixel(101, 51), 0x00FF00u);
  EXPECT_EQ(pixel(0, 0), HeadlessWindowSystem::kDesktopColor);
  cairo_surface_destroy(png);
  std::remove(path.c_str());

  EXPECT_THROW(system_.WriteScreenshot("/nonexistent-dir/x.png"), EFCreateError);
  EXPECT_THROW(WritePngFile(path, PixelImage()), EInvalidGraphic);
  EXPECT_THROW(system_.WriteWindowScreenshot(999, path), EWindowSystemError);
}

// ---- loop, clipboard, beep ----

TEST_F(HeadlessWindowSystemTest, WaitEventAsksTheIdleHandlerOnceThenGivesUp) {
  Event event;
  EXPECT_FALSE(system_.WaitEvent(&event));
  int calls = 0;
  bool nested_result = true;
  system_.SetIdleHandler([&] {
    ++calls;
    Event inner;
    nested_result = system_.WaitEvent(&inner);
    if (calls == 1) system_.PostQuit(7);
  });
  ASSERT_TRUE(system_.WaitEvent(&event));
  EXPECT_EQ(event.type, E::kQuit);
  EXPECT_EQ(event.exit_code, 7);
  EXPECT_FALSE(nested_result);
  EXPECT_FALSE(system_.WaitEvent(&event));
  EXPECT_EQ(calls, 2);
}

TEST_F(HeadlessWindowSystemTest, SettingsChangeReachesTheProgramInOrder) {
  system_.AdvanceTime(5);
  system_.PostQuit(0);
  system_.ChangeSettings();
  const auto events = Drain(system_);
  ASSERT_EQ(Types(events), (std::vector<E>{E::kQuit, E::kSettingsChanged}));
  EXPECT_EQ(events[1].window, 0u);
  EXPECT_EQ(events[1].time_ms, 5u);
}

TEST_F(HeadlessWindowSystemTest, ClipboardAndBeep) {
  EXPECT_EQ(system_.ClipboardText(), "");
  system_.SetClipboardText("29.02.84 \xC8\x99");
  EXPECT_EQ(system_.ClipboardText(), "29.02.84 \xC8\x99");
  system_.Beep();
  system_.Beep();
  EXPECT_EQ(system_.BeepCount(), 2);
}

}  // namespace
}  // namespace orlit
