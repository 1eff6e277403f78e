// Draws every border style of every look and feel in every editor state, with and without the
// shadow, into one picture for people to look at. It is written to $ORLIT_ARTIFACT_DIR (or the
// working directory) as lookandfeel_frames.png.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "FakeThemeService.h"
#include "lookandfeel/EditFrame.h"
#include "lookandfeel/LookAndFeel.h"
#include "lookandfeel/LookAndFeelModule.h"

namespace orlit {
namespace {

constexpr int kLabelWidth = 160;
constexpr int kCellWidth = 70;
constexpr int kCellHeight = 32;
constexpr int kEditorWidth = 60;
constexpr int kEditorHeight = 24;
constexpr int kStyleRows = 8;  // the kind's default, then the seven styles
constexpr int kLooks = 6;

const char* const kLookNames[kLooks] = {"flat",      "standard",        "ultra-flat",
                                        "office 11", "native (themed)", "native (no theme)"};
const char* const kStyleNames[kStyleRows] = {"default", "none", "single",     "thick",
                                             "flat",    "3D",   "ultra-flat", "office 11"};
const char* const kStateNames[4] = {"normal", "focused", "hot", "disabled"};

struct Look {
  TcxLookAndFeelKind kind;
  bool native;
};
const Look kLooksTable[kLooks] = {{lfFlat, false},     {lfStandard, false}, {lfUltraFlat, false},
                                  {lfOffice11, false}, {lfStandard, true},  {lfStandard, true}};

void Label(TcxCanvas& cx, const TRect& rect, const std::string& text) {
  TRect r = rect;
  cx.Brush().SetColor(clWhite);
  cx.Font().SetColor(clBlack);
  cx.DrawText(text, r, cxSingleLine | cxAlignVCenter);
}

// One editor as the edit control core would paint it with the calculator window's styles.
void DrawEditor(TcxCanvas& cx, const Look& look, int style_row, int state, bool shadow) {
  const EditStyleState active[] = {EditStyleState::kNormal, EditStyleState::kFocused,
                                   EditStyleState::kHot, EditStyleState::kDisabled};
  const TColor backgrounds[] = {clWindow, clYellow, clLime, clBtnFace};
  const int native_states[] = {ETS_NORMAL, ETS_FOCUSED, ETS_HOT, ETS_DISABLED};
  std::optional<TcxContainerBorderStyle> assigned;
  if (style_row > 0) assigned = static_cast<TcxContainerBorderStyle>(style_row - 1);
  TcxLookAndFeel lf;
  lf.SetKind(look.kind);
  lf.SetNativeStyle(look.native);
  const bool native = lf.Painter() == TcxWinXPLookAndFeelPainter::Class();
  const TcxContainerBorderStyle normal = EffectiveBorderStyle({look.kind, assigned, {}});
  const TcxContainerBorderStyle effective =
      native ? normal : EffectiveBorderStyle({look.kind, assigned, {}, active[state], true});
  const EditBorder border =
      ResolveEditBorder({effective, state == 3 ? clBtnShadow : clWindowFrame, false, state == 1,
                         state == 2, true, false, state != 3});
  EditFrame frame;
  frame.bounds = {0, 0, kEditorWidth, kEditorHeight};
  frame.shadow = shadow && !native;
  frame.border_style = border.style;
  frame.border_color = border.color;
  frame.border_rect = EditBorderRect(frame.bounds, border.style, frame.shadow);
  frame.background = backgrounds[state];
  frame.native = native;
  frame.native_state = native_states[state];
  frame.text_rect = frame.border_rect.Inflate(-1, -1);
  cx.SaveClipRegion();
  DrawEditFrame(cx, frame);
  TRect text = frame.border_rect;
  text.Left += 2;
  cx.Brush().SetColor(frame.background);
  cx.Font().SetColor(clWindowText);
  cx.DrawText("Ab", text, cxSingleLine | cxAlignVCenter, state != 3);
  cx.RestoreClipRegion();
}

TEST(FrameGallery, EveryBorderStyleOfEveryLookInEveryState) {
  const int width = kLabelWidth + 8 * kCellWidth;
  const int height = kCellHeight * (3 + kLooks * kStyleRows);
  DeviceContext dc(width, height);
  dc.FillRect({0, 0, width, height}, Brush::Solid(clWhite));
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  for (int column = 0; column < 8; ++column) {
    const int x = kLabelWidth + column * kCellWidth;
    Label(cx, {x, 0, x + kCellWidth, kCellHeight / 2}, kStateNames[column % 4]);
    Label(cx, {x, kCellHeight / 2, x + kCellWidth, kCellHeight},
          column < 4 ? "no shadow" : "shadow");
  }
  auto theme = std::make_shared<testing::FakeThemeState>();
  {
    // Each painter's own border, the native one with a theme.
    LookAndFeelModule module(std::make_unique<testing::FakeThemeService>(theme));
    const TcxLookAndFeelPainterClass painters[] = {
        TcxCustomLookAndFeelPainter::Class(),   TcxStandardLookAndFeelPainter::Class(),
        TcxFlatLookAndFeelPainter::Class(),     TcxUltraFlatLookAndFeelPainter::Class(),
        TcxOffice11LookAndFeelPainter::Class(), TcxWinXPLookAndFeelPainter::Class()};
    const char* names[] = {"custom", "standard", "flat", "ultra-flat", "office 11", "native"};
    const int y = 2 * kCellHeight;
    Label(cx, {2, y, kLabelWidth, y + kCellHeight}, "painter borders");
    for (int i = 0; i < 6; ++i) {
      const int x = kLabelWidth + i * kCellWidth;
      const TRect rect{x + 4, y + 4, x + 4 + kEditorWidth, y + 4 + kEditorHeight};
      cx.FillRect(rect, clWindow);
      painters[i]->DrawBorder(cx, rect);
      TRect text = painters[i]->GetContentRect(rect);
      cx.Font().SetColor(clWindowText);
      cx.Brush().SetColor(clWindow);
      cx.DrawText(names[i], text, cxSingleLine | cxAlignHCenter | cxAlignVCenter);
    }
  }
  for (int look = 0; look < kLooks; ++look) {
    std::unique_ptr<LookAndFeelModule> module;
    if (look == 4)
      module =
          std::make_unique<LookAndFeelModule>(std::make_unique<testing::FakeThemeService>(theme));
    if (look == 5) module = std::make_unique<LookAndFeelModule>();
    for (int row = 0; row < kStyleRows; ++row) {
      const int y = kCellHeight * (3 + look * kStyleRows + row);
      Label(cx, {2, y, kLabelWidth, y + kCellHeight},
            std::string(kLookNames[look]) + ": " + kStyleNames[row]);
      for (int column = 0; column < 8; ++column) {
        dc.SetViewportOrgEx(kLabelWidth + column * kCellWidth + 4, y + 4);
        DrawEditor(cx, kLooksTable[look], row, column % 4, column >= 4);
        dc.SetViewportOrgEx(0, 0);
      }
    }
  }
  // Spot checks: ultra-flat, default style, focused with shadow; and normal without.
  const int ultra_y = kCellHeight * (3 + 2 * kStyleRows) + 4;
  const int focused_x = kLabelWidth + 5 * kCellWidth + 4;
  EXPECT_EQ(dc.GetPixel(focused_x, ultra_y), ColorToRGB(clHighlight));
  EXPECT_EQ(dc.GetPixel(focused_x + 1, ultra_y + 1), ColorToRGB(clYellow));
  EXPECT_EQ(dc.GetPixel(focused_x + kEditorWidth - 1, ultra_y + kEditorHeight - 1),
            ColorToRGB(clBtnShadow));
  EXPECT_EQ(dc.GetPixel(focused_x, ultra_y + kEditorHeight - 1), clWhite);  // notch
  const int normal_x = kLabelWidth + 4;
  EXPECT_EQ(dc.GetPixel(normal_x, ultra_y), ColorToRGB(clBtnShadow));

  const char* dir = std::getenv("ORLIT_ARTIFACT_DIR");
  const std::filesystem::path path =
      std::filesystem::path(dir != nullptr ? dir : ".") / "lookandfeel_frames.png";
  dc.WritePng(path.string());
  EXPECT_TRUE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace orlit
