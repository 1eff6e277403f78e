#include "framework/DialogParts.h"

namespace orlit {

TDialogButton::TDialogButton(int result) : result_(result) {
  SetTabStop(true);
  SetFocusOnClick(true);
  SetColor(clBtnFace);
}

void TDialogButton::Paint(TCanvas& canvas) {
  TRect rect = ClientRect();
  const bool focused = Focused();
  if (focused) {
    canvas.Brush().SetColor(cl3DDkShadow);
    canvas.FrameRect(rect);
    rect = rect.Inflate(-1, -1);
  }
  canvas.Frame3D(rect, clBtnHighlight, cl3DDkShadow, 1);
  canvas.Frame3D(rect, cl3DLight, clBtnShadow, 1);
  canvas.Brush().SetColor(clBtnFace);
  canvas.FillRect(rect);
  TRect text = ClientRect();
  canvas.DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (focused) DrawFocusRect(canvas, ClientRect().Inflate(-4, -4));
}

void PaintDialogChrome(TCanvas& canvas, const TRect& client, const TFont& font,
                       const std::string& caption) {
  canvas.Brush().SetColor(clActiveCaption);
  canvas.FillRect({0, 0, client.Right, kDialogTitleHeight});
  TFont title_font;
  title_font.Assign(font);
  title_font.SetStyle(fsBold);
  title_font.SetColor(clCaptionText);
  canvas.Font().Assign(title_font);
  TRect title{6, 0, client.Right - 6, kDialogTitleHeight};
  canvas.DrawText(caption, title,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  canvas.Brush().SetColor(clWindowFrame);
  canvas.FrameRect(client);
  canvas.Font().Assign(font);
}

void DrawFocusRect(TCanvas& canvas, const TRect& rect) {
  const Brush dot = Brush::Solid(clBlack);
  for (int x = rect.Left; x < rect.Right; x += 2) {
    canvas.Handle().FillRect({x, rect.Top, x + 1, rect.Top + 1}, dot);
    canvas.Handle().FillRect({x, rect.Bottom - 1, x + 1, rect.Bottom}, dot);
  }
  for (int y = rect.Top; y < rect.Bottom; y += 2) {
    canvas.Handle().FillRect({rect.Left, y, rect.Left + 1, y + 1}, dot);
    canvas.Handle().FillRect({rect.Right - 1, y, rect.Right, y + 1}, dot);
  }
}

}  // namespace orlit
