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
  OnShow = [this](TObject* sender) { FormShow(sender); };
  CreateTitleBar();
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
