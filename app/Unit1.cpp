#include "app/Unit1.h"

#include "app/Layouts.h"
#include "app/PeriodCalculation.h"
#include "editors/EditorClasses.h"
#include "framework/Application.h"
#include "framework/LayoutReader.h"
#include "framework/PublishedClasses.h"

namespace orlit {

void RegisterUnit1Classes() {
  static const bool registered = [] {
    RegisterEditorClasses();
    PublishAbstractClass<TForm1, TForm>("TForm1")
        .Field("str1", &TForm1::str1)
        .Field("str2", &TForm1::str2)
        .Field("stri1", &TForm1::stri1)
        .Field("strlabel", &TForm1::strlabel)
        .Field("str3", &TForm1::str3)
        .Field("stri2", &TForm1::stri2)
        .Field("stri3", &TForm1::stri3)
        .Field("stri4", &TForm1::stri4)
        .Field("stri5", &TForm1::stri5)
        .Field("cxTextEdit1", &TForm1::cxTextEdit1)
        .Field("cxTextEdit2", &TForm1::cxTextEdit2)
        .Field("cxTextEdit3", &TForm1::cxTextEdit3)
        .Field("cxTextEdit4", &TForm1::cxTextEdit4)
        .Field("cxTextEdit5", &TForm1::cxTextEdit5)
        .Field("cxGroupBox2", &TForm1::cxGroupBox2)
        .Field("cxImage1", &TForm1::cxImage1)
        .Field("cxImage2", &TForm1::cxImage2)
        .Handler("FormCreate", &TForm1::FormCreate)
        .Handler("stri5Click", &TForm1::stri5Click)
        .Handler("stri3Click", &TForm1::stri3Click)
        .Handler("FormShow", &TForm1::FormShow)
        .Handler("cxImage1Click", &TForm1::cxImage1Click)
        .Handler("cxImage2Click", &TForm1::cxImage2Click);
    return true;
  }();
  (void)registered;
}

TForm1::TForm1() {
  RegisterUnit1Classes();
  ReadLayout(*this, Unit1Layout(), kUnit1LayoutFile);
  // The strip and the caption move the window; the button areas keep their clicks.
  for (TControl* handle : {static_cast<TControl*>(stri1), static_cast<TControl*>(strlabel),
                           static_cast<TControl*>(stri2)}) {
    title_bar_drag_.Attach(handle);
  }
}

void TForm1::FormCreate(TObject*) {
  cxTextEdit1->SetText("65");
  cxTextEdit2->SetText("24.5");
  cxTextEdit3->SetText("");
  cxTextEdit4->SetText("");
  cxTextEdit5->SetText("");
}

void TForm1::FormShow(TObject*) { Form1->strlabel->SetCaption(Form1->Caption()); }

void TForm1::stri3Click(TObject*) { Application->Minimize(); }

void TForm1::stri5Click(TObject*) { Application->Terminate(); }

void TForm1::cxImage1Click(TObject*) { OpenPromotionSites(true); }

void TForm1::cxImage2Click(TObject*) { OpenPromotionSites(true); }

}  // namespace orlit
