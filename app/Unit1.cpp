#include "app/Unit1.h"

#include "app/StoredPictures.h"
#include "framework/Application.h"

namespace orlit {

TForm1::TForm1() {
  SetName("Form1");
  SetBorderStyle(bsNone);
  SetPosition(poDesktopCenter);
  SetClientWidth(567);
  SetClientHeight(501);
  SetColor(clBtnFace);
  SetCaption("Orlit_CFS by Orlit Soft");
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  CreateTitleBar();
  CreateCalculatorFields();
}

void TForm1::CreateCalculatorFields() {
  // Font A is the fields' bold 13-pixel face; the result field uses the same at 19 pixels.
  struct Field {
    TcxTextEdit** field;
    const char* name;
    TRect bounds;
    int font_height;
  };
  const Field fields[] = {
      {&cxTextEdit1, "cxTextEdit1", TRect::FromBounds(243, 52, 121, 27), -13},
      {&cxTextEdit2, "cxTextEdit2", TRect::FromBounds(395, 52, 121, 27), -13},
      {&cxTextEdit3, "cxTextEdit3", TRect::FromBounds(387, 132, 121, 35), -19},
      {&cxTextEdit4, "cxTextEdit4", TRect::FromBounds(352, 256, 73, 27), -13},
      {&cxTextEdit5, "cxTextEdit5", TRect::FromBounds(368, 304, 73, 27), -13},
  };
  // The layout's tab orders (2, 4, ... 10) leave room for the date field and the log, which are
  // not on the window yet; until they are, the fields take the first places in the same order,
  // ahead of the title bar.
  int place_in_tab_order = 0;
  for (const Field& f : fields) {
    TcxTextEdit* edit = Create<TcxTextEdit>();
    edit->SetName(f.name);
    edit->SetParent(this);
    edit->SetBoundsRect(f.bounds);
    edit->SetTabOrder(place_in_tab_order++);
    TFont& font = edit->Style().Font();
    font.SetName("MS Sans Serif");
    font.SetHeight(f.font_height);
    font.SetStyle(fsBold);
    font.SetColor(clWindowText);
    edit->Style().SetShadow(true);
    edit->StyleFocused().SetColor(clYellow);
    edit->StyleHot().SetColor(clLime);
    *f.field = edit;
  }
}

void TForm1::FormCreate(TObject*) {
  cxTextEdit1->SetText("65");
  cxTextEdit2->SetText("24.5");
  cxTextEdit3->SetText("");
  cxTextEdit4->SetText("");
  cxTextEdit5->SetText("");
}

void TForm1::CreateTitleBar() {
  str1 = Create<TPanel>();
  str1->SetName("str1");
  str1->SetParent(this);
  str1->SetBounds(0, 0, 567, 31);
  str1->SetAlign(alTop);
  str1->SetBevelOuter(bvNone);
  str1->SetCaption("str1");
  str1->SetTabOrder(15);

  str2 = Create<TPanel>();
  str2->SetName("str2");
  str2->SetParent(str1);
  str2->SetBounds(0, 0, 505, 31);
  str2->SetAlign(alClient);
  str2->SetAutoSize(true);
  str2->SetBevelOuter(bvNone);
  str2->SetCaption("str2");

  stri1 = Create<TImage>();
  stri1->SetName("stri1");
  stri1->SetParent(str2);
  stri1->SetBounds(0, 0, 505, 30);
  stri1->SetAlign(alTop);
  stri1->SetStretch(true);
  stri1->SetTransparent(true);
  LoadStoredPicture(stri1->Picture(), "stri1");

  strlabel = Create<TLabel>();
  strlabel->SetName("strlabel");
  strlabel->SetParent(str2);
  strlabel->SetBounds(8, 8, 0, 0);
  strlabel->SetAutoSize(true);
  strlabel->SetParentFont(false);
  strlabel->Font().SetName("MS Sans Serif");
  strlabel->Font().SetHeight(-16);
  strlabel->Font().SetStyle(fsBold);
  strlabel->Font().SetColor(clSilver);
  strlabel->SetTransparent(true);

  str3 = Create<TPanel>();
  str3->SetName("str3");
  str3->SetParent(str1);
  str3->SetBounds(505, 0, 62, 31);
  str3->SetAlign(alRight);
  str3->SetAutoSize(true);
  str3->SetBevelOuter(bvNone);
  str3->SetCaption("str3");

  stri2 = Create<TImage>();
  stri2->SetName("stri2");
  stri2->SetParent(str3);
  stri2->SetBounds(0, 0, 62, 30);
  stri2->SetAlign(alTop);
  stri2->SetAutoSize(true);
  LoadStoredPicture(stri2->Picture(), "stri2");

  // Three invisible click areas over the buttons of the picture, hit-tested in front of it.
  struct ClickArea {
    TImage** field;
    const char* name;
    TRect bounds;
  };
  const ClickArea areas[] = {{&stri3, "stri3", TRect::FromBounds(1, 8, 17, 25)},
                             {&stri4, "stri4", TRect::FromBounds(17, 8, 17, 25)},
                             {&stri5, "stri5", TRect::FromBounds(33, 8, 25, 25)}};
  for (const ClickArea& area : areas) {
    TImage* image = Create<TImage>();
    image->SetName(area.name);
    image->SetParent(str3);
    image->SetBoundsRect(area.bounds);
    image->SetCursor(crHandPoint);
    *area.field = image;
  }
  stri3->OnClick = [this](TObject* sender) { stri3Click(sender); };
  stri5->OnClick = [this](TObject* sender) { stri5Click(sender); };

  // The strip and the caption move the window; the button areas keep their clicks.
  for (TControl* handle : {static_cast<TControl*>(stri1), static_cast<TControl*>(strlabel),
                           static_cast<TControl*>(stri2)}) {
    title_bar_drag_.Attach(handle);
  }
}

void TForm1::FormShow(TObject*) { Form1->strlabel->SetCaption(Form1->Caption()); }

void TForm1::stri3Click(TObject*) { Application->Minimize(); }

void TForm1::stri5Click(TObject*) { Application->Terminate(); }

}  // namespace orlit
