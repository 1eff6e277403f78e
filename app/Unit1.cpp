#include "app/Unit1.h"

#include "app/Layouts.h"
#include "app/PeriodCalculation.h"
#include "convert/FormatSettings.h"
#include "editors/EditorClasses.h"
#include "framework/Application.h"
#include "framework/LayoutReader.h"
#include "framework/PublishedClasses.h"

namespace orlit {

void RegisterUnit1Classes() {
  static const bool registered = [] {
    RegisterEditorClasses();
    PublishAbstractClass<TForm1, TForm>("TForm1")
        .Field("cxGroupBox2", &TForm1::cxGroupBox2)
        .Field("cxMemo1", &TForm1::cxMemo1)
        .Field("cxImage1", &TForm1::cxImage1)
        .Field("cxTextEdit1", &TForm1::cxTextEdit1)
        .Field("cxLabel1", &TForm1::cxLabel1)
        .Field("cxTextEdit2", &TForm1::cxTextEdit2)
        .Field("cxLabel2", &TForm1::cxLabel2)
        .Field("cxTextEdit3", &TForm1::cxTextEdit3)
        .Field("cxLabel3", &TForm1::cxLabel3)
        .Field("cxTextEdit4", &TForm1::cxTextEdit4)
        .Field("cxLabel4", &TForm1::cxLabel4)
        .Field("cxTextEdit5", &TForm1::cxTextEdit5)
        .Field("cxLabel5", &TForm1::cxLabel5)
        .Field("cxMaskEdit1", &TForm1::cxMaskEdit1)
        .Field("cxLabel6", &TForm1::cxLabel6)
        .Field("cxMemo2", &TForm1::cxMemo2)
        .Field("cxImage2", &TForm1::cxImage2)
        .Field("str1", &TForm1::str1)
        .Field("str2", &TForm1::str2)
        .Field("stri1", &TForm1::stri1)
        .Field("strlabel", &TForm1::strlabel)
        .Field("str3", &TForm1::str3)
        .Field("stri2", &TForm1::stri2)
        .Field("stri3", &TForm1::stri3)
        .Field("stri4", &TForm1::stri4)
        .Field("stri5", &TForm1::stri5)
        .Field("Label1", &TForm1::Label1)
        .Handler("cxMaskEdit1KeyPress", &TForm1::cxMaskEdit1KeyPress)
        .Handler("cxTextEdit1KeyPress", &TForm1::cxTextEdit1KeyPress)
        .Handler("cxTextEdit2KeyPress", &TForm1::cxTextEdit2KeyPress)
        .Handler("cxTextEdit3KeyPress", &TForm1::cxTextEdit3KeyPress)
        .Handler("cxTextEdit4KeyPress", &TForm1::cxTextEdit4KeyPress)
        .Handler("cxTextEdit5KeyPress", &TForm1::cxTextEdit5KeyPress)
        .Handler("FormCreate", &TForm1::FormCreate)
        .Handler("cxImage1Click", &TForm1::cxImage1Click)
        .Handler("cxImage2Click", &TForm1::cxImage2Click)
        .Handler("cxMemo1Click", &TForm1::cxMemo1Click)
        .Handler("stri5Click", &TForm1::stri5Click)
        .Handler("stri3Click", &TForm1::stri3Click)
        .Handler("FormShow", &TForm1::FormShow);
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
  // The calculation writes its lines into the log memo while the window exists.
  SetCalculationLog([this](const std::string& line) { cxMemo2->Lines().Add(line); });
}

TForm1::~TForm1() { SetCalculationLog(nullptr); }

namespace {

// Enter moves the focus on to `next` and goes no further; any other key passes. True for Enter.
bool EnterMovesTo(char32_t& key, TWinControl* next) {
  if (key != U'\r') return false;
  key = 0;
  next->SetFocus();
  return true;
}

}  // namespace

void TForm1::cxMaskEdit1KeyPress(TObject*, char32_t& key) { EnterMovesTo(key, cxTextEdit1); }

void TForm1::cxTextEdit1KeyPress(TObject*, char32_t& key) { EnterMovesTo(key, cxTextEdit2); }

void TForm1::cxTextEdit2KeyPress(TObject*, char32_t& key) {
  if (!EnterMovesTo(key, cxTextEdit3)) return;
  const std::string working_days = cxTextEdit2->Text();
  const std::string leave_days = cxTextEdit1->Text();
  const std::string end_date = cxMaskEdit1->Text();
  std::string result;
  CalculatePeriod(end_date, leave_days, working_days, result);
  cxTextEdit3->SetText(result);
}

void TForm1::cxTextEdit3KeyPress(TObject*, char32_t& key) { EnterMovesTo(key, cxTextEdit4); }

void TForm1::cxTextEdit4KeyPress(TObject*, char32_t& key) { EnterMovesTo(key, cxTextEdit5); }

void TForm1::cxTextEdit5KeyPress(TObject*, char32_t& key) { EnterMovesTo(key, cxMaskEdit1); }

void TForm1::FormCreate(TObject*) {
  cxTextEdit1->SetText("65");
  // In the locale's own notation, so that the default reads back wherever the program runs.
  cxTextEdit2->SetText(std::string("24") + DecimalSep + "5");
  cxTextEdit3->SetText("");
  cxTextEdit4->SetText("");
  cxTextEdit5->SetText("");
  cxMaskEdit1->SetText("31.10.83");
  cxMemo2->SetEditValue(Variant::Null());
  cxLabel1->SetCaption("Nr zile CFS");
  cxLabel2->SetCaption("Nr zile lucratoare/lun\xC3\xA4");
  cxLabel3->SetCaption("Sf\xC3\xA2rsitul perioadei=");
  cxLabel4->SetCaption("");
  cxLabel5->SetCaption("");
  cxLabel6->SetCaption("Data de final a perioadei");
}

void TForm1::FormShow(TObject*) { Form1->strlabel->SetCaption(Form1->Caption()); }

void TForm1::stri3Click(TObject*) { Application->Minimize(); }

void TForm1::stri5Click(TObject*) { Application->Terminate(); }

void TForm1::cxImage1Click(TObject*) { OpenPromotionSites(true); }

void TForm1::cxImage2Click(TObject*) { OpenPromotionSites(true); }

void TForm1::cxMemo1Click(TObject*) { OpenPromotionSites(false); }

}  // namespace orlit
