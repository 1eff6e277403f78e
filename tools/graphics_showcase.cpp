// Writes a PNG that shows what the device context draws: the raster stand-in fonts at the
// window's sizes, rotated TrueType text, an outline stroked 5 pixels wide, letters filled with a
// tiled bitmap, frames, edges and shadows. Usage: graphics_showcase [output.png]

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "platform/DeviceContext.h"

namespace {

using orlit::Brush;
using orlit::DeviceContext;
using orlit::LOGFONT;
using orlit::PixelImage;
using orlit::ResolvedFont;
using orlit::TColor;
using orlit::TRect;

std::shared_ptr<const ResolvedFont> MakeFont(const char* face, int height,
                                             int weight = orlit::FW_NORMAL, int escapement = 0) {
  LOGFONT lf;
  lf.lfFaceName = face;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfEscapement = escapement;
  lf.lfOrientation = escapement;
  return ResolvedFont::Create(lf);
}

void Band(DeviceContext& dc, const TRect& r, TColor color) { dc.FillRect(r, Brush::Solid(color)); }

// The three-pixel shadow of an editor with its two corner notches.
void Shadow(DeviceContext& dc, const TRect& r) {
  dc.SaveDC();
  Band(dc, {r.Left + 3, r.Bottom, r.Right, r.Bottom + 3}, orlit::clBtnShadow);
  dc.ExcludeClipRect({r.Left, r.Bottom, r.Right, r.Bottom + 3});
  Band(dc, {r.Right, r.Top + 3, r.Right + 3, r.Bottom + 3}, orlit::clBtnShadow);
  dc.RestoreDC(-1);
}

// A text field as the window shows it: ultra-flat frame, fill, shadow, one line of text.
void TextField(DeviceContext& dc, const TRect& r, TColor fill, TColor frame, const char* text,
               std::shared_ptr<const ResolvedFont> font) {
  Shadow(dc, r);
  dc.FrameRect(r, Brush::Solid(frame));
  Band(dc, r.Inflate(-1, -1), fill);
  dc.SelectFont(std::move(font));
  dc.SetBkMode(orlit::TRANSPARENT);
  dc.SetTextColor(orlit::clWindowText);
  TRect inner = r.Inflate(-3, -1);
  dc.DrawText(text, inner, orlit::DT_SINGLELINE | orlit::DT_VCENTER | orlit::DT_NOPREFIX);
}

// Sunken two-ring edge as the memo draws it.
void SunkenEdge(DeviceContext& dc, TRect r) {
  auto edge = [&](TColor first, TColor second) {
    Band(dc, {r.Left, r.Top, r.Left + 1, r.Bottom}, first);
    Band(dc, {r.Left, r.Top, r.Right, r.Top + 1}, first);
    Band(dc, {r.Right - 1, r.Top, r.Right, r.Bottom}, second);
    Band(dc, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, second);
    r = r.Inflate(-1, -1);
  };
  edge(orlit::clBtnShadow, orlit::clBtnHighlight);
  edge(orlit::cl3DDkShadow, orlit::cl3DLight);
}

PixelImage Stripes() {
  PixelImage tile(8, 8);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      bool stripe = ((x + y) / 2) % 2 == 0;
      tile.SetPixel(x, y, stripe ? 0xD02020 : 0xF0C000);
    }
  }
  return tile;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "graphics_showcase.png";
  try {
    DeviceContext dc(567, 501);
    Band(dc, {0, 0, 567, 501}, orlit::clBtnFace);

    // Raster stand-in at the window's heights, each line on a band as tall as its cell.
    dc.SetBkMode(orlit::TRANSPARENT);
    int y = 8;
    const struct {
      int height;
      int weight;
    } sizes[] = {{-11, orlit::FW_NORMAL},
                 {-13, orlit::FW_BOLD},
                 {-16, orlit::FW_BOLD},
                 {-19, orlit::FW_BOLD}};
    for (const auto& size : sizes) {
      dc.SelectFont(MakeFont("MS Sans Serif", size.height, size.weight));
      const std::string text = "MS Sans Serif " + std::to_string(size.height) +
                               ": Orlit_CFS 0123 \xC4\x83\xC3\xA2\xC3\xAE\xC8\x99\xC8\x9B";
      orlit::TSize extent = dc.GetTextExtentPoint32(text);
      Band(dc, {8, y, 8 + extent.cx, y + extent.cy}, orlit::clWindow);
      dc.SetTextColor(orlit::clWindowText);
      dc.ExtTextOut(8, y, 0, nullptr, text);
      y += extent.cy + 4;
    }

    // Text fields with the window's fonts: normal, focused (yellow, highlight frame), hot (lime).
    TextField(dc, TRect::FromBounds(8, 112, 140, 24), orlit::clWindow, orlit::clBtnShadow,
              "20.05.24", MakeFont("MS Sans Serif", -13, orlit::FW_BOLD));
    TextField(dc, TRect::FromBounds(160, 112, 140, 24), orlit::clYellow, orlit::clHighlight,
              "focused", MakeFont("MS Sans Serif", -13, orlit::FW_BOLD));
    TextField(dc, TRect::FromBounds(312, 112, 140, 32), orlit::clLime, orlit::clBtnShadow,
              "hot 19 px", MakeFont("MS Sans Serif", -19, orlit::FW_BOLD));

    // Rotated TrueType text about the marked reference points; the raster font stays level.
    const struct {
      int x, y, escapement;
    } turns[] = {{40, 290, 450}, {150, 290, 900}, {190, 170, 2700}, {250, 250, 0}};
    for (const auto& turn : turns) {
      dc.SelectFont(MakeFont("Arial", -16, orlit::FW_BOLD, turn.escapement));
      dc.SetTextColor(orlit::clNavy);
      dc.ExtTextOut(turn.x, turn.y, 0, nullptr, "Arial " + std::to_string(turn.escapement / 10));
      Band(dc, {turn.x - 1, turn.y - 1, turn.x + 2, turn.y + 2}, orlit::clRed);
    }
    dc.SelectFont(MakeFont("MS Sans Serif", -13, orlit::FW_BOLD, 450));
    dc.SetTextColor(orlit::clWindowText);
    dc.ExtTextOut(250, 280, 0, nullptr, "raster: escapement ignored");

    // Vertical group-box caption: opaque, clipped to its strip.
    dc.SelectFont(MakeFont("Arial", -11, orlit::FW_NORMAL, 900));
    dc.SetBkColor(orlit::clBtnFace);
    TRect strip{500, 150, 513, 250};
    Band(dc, strip.Inflate(1, 1), orlit::clBtnShadow);
    dc.ExtTextOut(strip.Left, strip.Bottom - 1, orlit::ETO_CLIPPED | orlit::ETO_OPAQUE, &strip,
                  "Promovare");

    // Outlined letters: the path stroked with a 5-pixel pen.
    dc.SelectFont(MakeFont("Arial", -64, orlit::FW_BOLD));
    dc.BeginPath();
    dc.ExtTextOut(10, 310, 0, nullptr, "Outline");
    dc.EndPath();
    dc.SelectPen({orlit::clMaroon, 5});
    dc.StrokePath();

    // Letters filled with a tiled bitmap through a clip path.
    auto tile = std::make_shared<const PixelImage>(Stripes());
    dc.SelectFont(MakeFont("Arial", -44, orlit::FW_BOLD));
    dc.BeginPath();
    dc.ExtTextOut(300, 326, 0, nullptr, "Glyph fill");
    dc.EndPath();
    dc.SaveDC();
    dc.SelectClipPath(orlit::RGN_COPY);
    dc.FillRect({290, 310, 567, 390}, Brush::Pattern(tile));
    dc.RestoreDC(-1);

    // A memo-like box: sunken edge, cream fill, shadow, wrapped text with a prefix and an
    // ellipsis line.
    TRect memo = TRect::FromBounds(8, 400, 330, 90);
    Shadow(dc, memo);
    SunkenEdge(dc, memo);
    Band(dc, memo.Inflate(-2, -2), 0xDDF5FF);
    dc.SelectFont(MakeFont("MS Sans Serif", -13, orlit::FW_BOLD));
    dc.SetTextColor(orlit::clWindowText);
    TRect text_rect = memo.Inflate(-4, -3);
    dc.DrawText("Word-wrapped memo text with a &prefix and a &&, in the window's bold font.",
                text_rect, orlit::DT_WORDBREAK | orlit::DT_EDITCONTROL);
    TRect last_line{text_rect.Left, text_rect.Bottom - 18, text_rect.Right, text_rect.Bottom};
    dc.DrawText("An end ellipsis cuts this line where it no longer fits the box", last_line,
                orlit::DT_SINGLELINE | orlit::DT_END_ELLIPSIS | orlit::DT_NOPREFIX);

    // A group-box frame with its caption set into the top line.
    TRect group = TRect::FromBounds(350, 400, 200, 90);
    dc.SelectFont(MakeFont("MS Sans Serif", -11));
    Shadow(dc, {group.Left, group.Top + 6, group.Right, group.Bottom});
    dc.FrameRect({group.Left, group.Top + 6, group.Right, group.Bottom},
                 Brush::Solid(orlit::clHighlight));
    dc.SetBkMode(orlit::OPAQUE);
    dc.SetBkColor(orlit::clBtnFace);
    dc.ExtTextOut(group.Left + 8, group.Top, 0, nullptr, "Promovare");

    dc.WritePng(path);
    std::printf("%s\n", path.c_str());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "graphics_showcase: %s\n", e.what());
    return 1;
  }
}
