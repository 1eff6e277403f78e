#pragma once

#include "app/TitleBarDrag.h"
#include "editors/TextEdit.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"

namespace orlit {

// The calculator's one window: frameless, with its own title bar across the top.
class TForm1 : public TForm {
 public:
  TForm1();

  // Title bar.
  TPanel* str1 = nullptr;
  TPanel* str2 = nullptr;
  TImage* stri1 = nullptr;
  TLabel* strlabel = nullptr;
  TPanel* str3 = nullptr;
  TImage* stri2 = nullptr;
  TImage* stri3 = nullptr;
  TImage* stri4 = nullptr;
  TImage* stri5 = nullptr;

  // Calculator fields: leave days, working days, result, two spare fields.
  TcxTextEdit* cxTextEdit1 = nullptr;
  TcxTextEdit* cxTextEdit2 = nullptr;
  TcxTextEdit* cxTextEdit3 = nullptr;
  TcxTextEdit* cxTextEdit4 = nullptr;
  TcxTextEdit* cxTextEdit5 = nullptr;

  void FormCreate(TObject* sender);
  void stri5Click(TObject* sender);
  void stri3Click(TObject* sender);
  void FormShow(TObject* sender);

 private:
  void CreateTitleBar();
  void CreateCalculatorFields();

  TitleBarDrag title_bar_drag_;
};

// The main window, through which the calculation reaches its log.
inline TForm1* Form1 = nullptr;

}  // namespace orlit
