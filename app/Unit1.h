#pragma once

#include "app/TitleBarDrag.h"
#include "editors/GroupBox.h"
#include "editors/ImageEdit.h"
#include "editors/LabelEdit.h"
#include "editors/MaskEdit.h"
#include "editors/MemoEdit.h"
#include "editors/TextEdit.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"

namespace orlit {

// The calculator's one window, built from app/Unit1.layout: its components and its handlers.
class TForm1 : public TForm {
 public:
  TForm1();
  ~TForm1() override;

  TcxGroupBox* cxGroupBox2 = nullptr;
  TcxMemo* cxMemo1 = nullptr;
  TcxImage* cxImage1 = nullptr;
  TcxTextEdit* cxTextEdit1 = nullptr;
  TcxLabel* cxLabel1 = nullptr;
  TcxTextEdit* cxTextEdit2 = nullptr;
  TcxLabel* cxLabel2 = nullptr;
  TcxTextEdit* cxTextEdit3 = nullptr;
  TcxLabel* cxLabel3 = nullptr;
  TcxTextEdit* cxTextEdit4 = nullptr;
  TcxLabel* cxLabel4 = nullptr;
  TcxTextEdit* cxTextEdit5 = nullptr;
  TcxLabel* cxLabel5 = nullptr;
  TcxMaskEdit* cxMaskEdit1 = nullptr;
  TcxLabel* cxLabel6 = nullptr;
  TcxMemo* cxMemo2 = nullptr;
  TcxImage* cxImage2 = nullptr;
  TPanel* str1 = nullptr;
  TPanel* str2 = nullptr;
  TImage* stri1 = nullptr;
  TLabel* strlabel = nullptr;
  TPanel* str3 = nullptr;
  TImage* stri2 = nullptr;
  TImage* stri3 = nullptr;
  TImage* stri4 = nullptr;
  TImage* stri5 = nullptr;
  TLabel* Label1 = nullptr;

  void cxMaskEdit1KeyPress(TObject* sender, char32_t& key);
  void cxTextEdit1KeyPress(TObject* sender, char32_t& key);
  void cxTextEdit2KeyPress(TObject* sender, char32_t& key);
  void cxTextEdit3KeyPress(TObject* sender, char32_t& key);
  void cxTextEdit4KeyPress(TObject* sender, char32_t& key);
  void cxTextEdit5KeyPress(TObject* sender, char32_t& key);
  void FormCreate(TObject* sender);
  void cxImage1Click(TObject* sender);
  void cxImage2Click(TObject* sender);
  void cxMemo1Click(TObject* sender);
  void stri5Click(TObject* sender);
  void stri3Click(TObject* sender);
  void FormShow(TObject* sender);

 private:
  TitleBarDrag title_bar_drag_;
};

// The main window, through which the calculation reaches its log.
inline TForm1* Form1 = nullptr;

// Publishes TForm1's components and handlers, and the classes of every library it uses, for
// its layout. Registers them on the first call only.
void RegisterUnit1Classes();

}  // namespace orlit
