#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "editors/InnerTextEdit.h"
#include "editors/TextEdit.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/MessageBox.h"
#include "platform/SystemColors.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit::editors_testing {

// Distinct system colours, so that a pixel names the colour it was drawn in; put back afterwards.
class TestPalette {
 public:
  TestPalette() {
    const std::pair<int, TColor> colors[] = {
        {COLOR_BTNSHADOW, RGB(128, 128, 128)}, {COLOR_GRAYTEXT, RGB(140, 140, 150)},
        {COLOR_BTNFACE, RGB(212, 208, 200)},   {COLOR_WINDOW, RGB(250, 250, 240)},
        {COLOR_HIGHLIGHT, RGB(10, 36, 106)},   {COLOR_WINDOWFRAME, RGB(0, 0, 0)},
        {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
    };
    SetSysColors(colors);
  }
  ~TestPalette() { ResetSysColors(); }
  TestPalette(const TestPalette&) = delete;
  TestPalette& operator=(const TestPalette&) = delete;
};

// A colour as the pixels of a rendered form hold it (0x00RRGGBB).
inline std::uint32_t Pixel(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return static_cast<std::uint32_t>(GetRValue(rgb)) << 16 |
         static_cast<std::uint32_t>(GetGValue(rgb)) << 8 | GetBValue(rgb);
}

// The window's fonts: A, "MS Sans Serif" -13 bold, and B, the same at -19.
inline void UseWindowFont(TcxCustomEdit* edit, int height) {
  TFont& font = edit->Style().Font();
  font.SetName("MS Sans Serif");
  font.SetHeight(height);
  font.SetStyle(fsBold);
  font.SetColor(clWindowText);
}

// A headless desktop with the application and one shown form, as the program has them.
class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : app_(desktop_, "/opt/orlit/orlit_cfs") {
    app_.CreateForm(form_);
    form_->SetBounds(100, 100, 400, 200);
  }

  // A field as the calculator places it: font A, shadow, yellow when focused, lime when hot.
  TcxTextEdit* AddField(int left, int top, int width = 121, int font_height = -13) {
    auto* edit = form_->Create<TcxTextEdit>();
    edit->SetParent(form_);
    edit->SetBounds(left, top, width, 21);
    UseWindowFont(edit, font_height);
    edit->Style().SetShadow(true);
    edit->StyleFocused().SetColor(clYellow);
    edit->StyleHot().SetColor(clLime);
    return edit;
  }

  void Show() {
    form_->Show();
    app_.ProcessMessages();
  }

  TPoint Screen(TControl* control, TPoint local) { return control->ClientToScreen(local); }

  void MoveMouse(TControl* control, TPoint local) {
    desktop_.MoveMouse(Screen(control, local));
    app_.ProcessMessages();
  }
  void Click(TControl* control, TPoint local = {5, 5}) {
    desktop_.Click(Screen(control, local));
    app_.ProcessMessages();
  }
  void Press(int key, ShiftState shift = 0) {
    desktop_.PressKey(key, shift);
    app_.ProcessMessages();
  }
  void Type(const std::string& text) {
    desktop_.TypeText(text);
    app_.ProcessMessages();
  }
  void Advance(std::uint64_t ms) {
    desktop_.AdvanceTime(ms);
    app_.ProcessMessages();
  }

  // The field's pixel at a point of its client area, as the form shows it now.
  std::uint32_t PixelAt(TControl* control, TPoint local) {
    const PixelImage image = form_->RenderImage();
    const TPoint p = form_->ScreenToClient(Screen(control, local));
    return image.Pixel(p.X, p.Y);
  }

  // Answers every message box with Enter and keeps its text.
  void AnswerBoxes() {
    desktop_.SetIdleHandler([this] {
      auto* box = dynamic_cast<TMessageBoxForm*>(app_.ActiveForm());
      if (box == nullptr) return;
      box_texts_.push_back(box->Text());
      desktop_.PressKey(VK_RETURN);
    });
  }

  TestPalette palette_;
  HeadlessWindowSystem desktop_;
  TApplication app_;
  TForm* form_ = nullptr;
  std::vector<std::string> box_texts_;
};

}  // namespace orlit::editors_testing
