// Renders every label effect, letter style and angle into one PNG, to look at:
//   label_gallery OUT.png
#include <cstdio>
#include <string>

#include "editors/LabelView.h"
#include "framework/Canvas.h"
#include "lookandfeel/PainterCanvas.h"

using namespace orlit;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: label_gallery OUT.png\n");
    return 2;
  }
  const TcxLabelEffect effects[] = {cxleNormal, cxleFun, cxleExtrude, cxleCool};
  const TcxLabelStyle styles[] = {cxlsNormal, cxlsRaised, cxlsLowered, cxlsOutLine};
  const char* effect_names[] = {"Normal", "Fun", "Extrude", "Cool"};
  const char* style_names[] = {"Normal", "Raised", "Lowered", "OutLine"};
  // Four angles in a TrueType face, then the raster face at 45 degrees (drawn flat), then a
  // glyph-filled TrueType column.
  struct Column {
    const char* face;
    int angle;
    bool glyph;
  };
  const Column columns[] = {{"Arial", 0, false},          {"Arial", 45, false},
                            {"Arial", 90, false},         {"Arial", -45, false},
                            {"MS Sans Serif", 45, false}, {"Arial", 0, true}};
  constexpr int kCellW = 130;
  constexpr int kCellH = 90;
  constexpr int kLeft = 110;
  constexpr int kTop = 20;
  DeviceContext dc(kLeft + kCellW * 6, kTop + kCellH * 16);
  TCanvas canvas(dc);
  TcxCanvas cx(canvas);
  cx.FillRect({0, 0, dc.Width(), dc.Height()}, clWhite);
  TBitmap glyph;
  PixelImage tiles(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) tiles.SetPixel(x, y, (x + y) % 4 < 2 ? 0xCC2200 : 0x2266CC);
  }
  glyph.SetPixels(tiles);
  canvas.Font().SetColor(clBlack);
  for (int c = 0; c < 6; ++c) {
    const std::string title = std::string(columns[c].face) + " " +
                              std::to_string(columns[c].angle) + (columns[c].glyph ? " glyph" : "");
    canvas.TextOut(kLeft + c * kCellW + 4, 2, title);
  }
  for (int e = 0; e < 4; ++e) {
    for (int s = 0; s < 4; ++s) {
      const int row = e * 4 + s;
      canvas.Font().SetColor(clBlack);
      canvas.TextOut(4, kTop + row * kCellH + 30,
                     std::string(effect_names[e]) + " / " + style_names[s]);
      for (int c = 0; c < 6; ++c) {
        TcxCustomLabelViewInfo info;
        info.caption = "Nr zile CFS";
        info.font.SetName(columns[c].face);
        info.font.SetHeight(-16);
        info.font.SetStyle(fsBold);
        info.text_color = clNavy;
        info.background_color = RGB(236, 233, 216);
        info.shadowed_color = clGrayText;
        info.effect = effects[e];
        info.label_style = styles[s];
        info.angle = columns[c].angle;
        info.depth = 4;
        info.pen_width = 2;
        info.orientation = cxoRightBottom;
        info.effect_offset = label_rules::EffectOffsets(effects[e], cxoRightBottom, 4);
        info.glyph = columns[c].glyph ? &glyph : nullptr;
        const TRect cell = TRect::FromBounds(kLeft + c * kCellW + 2, kTop + row * kCellH + 2,
                                             kCellW - 4, kCellH - 4);
        info.text_rect = cell;
        info.Paint(canvas);
      }
    }
  }
  dc.WritePng(argv[1]);
  return 0;
}
