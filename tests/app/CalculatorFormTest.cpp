#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/Batch.h"
#include "app/Unit1.h"
#include "convert/FormatSettings.h"
#include "convert/Translation.h"
#include "editors/ImagePopupMenu.h"
#include "framework/Application.h"
#include "framework/MessageBox.h"
#include "lookandfeel/LookAndFeelModule.h"
#include "platform/ProcessLauncher.h"
#include "platform/headless/HeadlessWindowSystem.h"

namespace orlit {
namespace {

// The shown window on the headless desktop, with the browser launches recorded and every message
// box read and answered.
class CalculatorWindow {
 public:
  CalculatorWindow() {
    auto recorder = std::make_unique<RecordingProcessLauncher>();
    launches_ = recorder.get();
    previous_launcher_ = SetProcessLauncher(std::move(recorder));
    desktop_.SetIdleHandler([this] {
      if (auto* box = dynamic_cast<TMessageBoxForm*>(application_.ActiveForm())) {
        messages.push_back(box->Text());
        desktop_.PressKey(VK_RETURN);
      }
    });
    application_.CreateForm(Form1);
    Form1->Show();
    application_.ProcessMessages();
  }
  ~CalculatorWindow() {
    Form1 = nullptr;
    SetProcessLauncher(std::move(previous_launcher_));
  }

  // Puts the focus into `field` (none: leaves it), then types `typed` there ("\r" is Enter).
  void Type(const char* field, const char* typed) {
    if (field != nullptr) {
      static_cast<TWinControl*>(Form1->FindComponent(field))->SetFocus();
      application_.ProcessMessages();
    }
    desktop_.TypeText(typed);
    application_.ProcessMessages();
  }
  std::string Focused() const {
    const TControl* focused = Form1->ActiveControl();
    while (focused != nullptr && focused->Name().empty()) focused = focused->Parent();
    return focused != nullptr ? focused->Name() : "";
  }
  int SitesOpened() const { return static_cast<int>(launches_->requests.size()); }

  std::vector<std::string> messages;

 private:
  const LookAndFeelModule look_and_feel_;
  HeadlessWindowSystem desktop_;
  TApplication application_{desktop_, "/opt/orlit/orlit_cfs"};
  RecordingProcessLauncher* launches_ = nullptr;
  std::unique_ptr<ProcessLauncher> previous_launcher_;
};

TEST(CalculatorFormTest, EnterWalksTheFieldsAndComputes) {
  struct Step {
    const char* field;
    const char* typed;
  };
  struct Case {
    const char* name;
    char decimal_sep;  // of the locale the program runs in
    std::vector<Step> steps;
    const char* focused;
    std::vector<std::string> texts;  // date, leave days, working days, result, spare fields
    int log_lines;
    int sites_opened;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"start", '.', {}, "cxMaskEdit1", {"31.10.83", "65", "24.5", "", "", ""}, 0, 0, {}},
      {"three Enters with the start values",
       '.',
       {{nullptr, "\r\r\r"}},
       "cxTextEdit3",
       {"31.10.83", "65", "24.5", "15.08.83", "", ""},
       7,
       2,
       {}},
      {"round the spare fields without computing",
       '.',
       {{"cxTextEdit3", "\r\r\r"}},
       "cxMaskEdit1",
       {"31.10.83", "65", "24.5", "", "", ""},
       0,
       0,
       {}},
      {"two runs",
       '.',
       {{nullptr, "\r\r\r"}, {"cxTextEdit2", "\r"}},
       "cxTextEdit3",
       {"31.10.83", "65", "24.5", "15.08.83", "", ""},
       14,
       4,
       {}},
      {"a failure keeps the old result and the lines before it",
       '.',
       {{nullptr, "\r\r\r"}, {"cxMaskEdit1", "999999\r\r\r"}},
       "cxTextEdit3",
       {"99.99.99", "65", "24.5", "15.08.83", "", ""},
       10,
       2,
       {"'99.99.99' is not a valid date."}},
      {"an incomplete date stops the chain",
       '.',
       {{"cxMaskEdit1", "\b12\r"}},
       "cxMaskEdit1",
       {"12.  .  ", "65", "24.5", "", "", ""},
       0,
       0,
       {"The edit value is invalid."}},
      {"a comma locale",
       ',',
       {{nullptr, "\r\r\r"}},
       "cxTextEdit3",
       {"31.10.83", "65", "24,5", "15.08.83", "", ""},
       7,
       2,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DecimalSep = c.decimal_sep;
    CalculatorWindow window;
    for (const Step& step : c.steps) window.Type(step.field, step.typed);
    EXPECT_EQ(window.Focused(), c.focused);
    const std::vector<std::string> texts = {Form1->cxMaskEdit1->Text(), Form1->cxTextEdit1->Text(),
                                            Form1->cxTextEdit2->Text(), Form1->cxTextEdit3->Text(),
                                            Form1->cxTextEdit4->Text(), Form1->cxTextEdit5->Text()};
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(Form1->cxMemo2->Lines().Count(), c.log_lines);
    EXPECT_EQ(window.SitesOpened(), c.sites_opened);
    EXPECT_EQ(window.messages, c.messages);
  }
  DecimalSep = '.';
}

// Shows messages in the language of the catalog compiled beside the test (only the messages
// category changes: the numeric one would change the decimal separator) for as long as it lives.
class MessageLanguage {
 public:
  explicit MessageLanguage(const char* locale, const char* language) {
    available_ = std::setlocale(LC_MESSAGES, locale) != nullptr;
    setenv("LANGUAGE", language, 1);
    BindMessageCatalog(ORLIT_TEST_LOCALE_DIR);
  }
  ~MessageLanguage() {
    unsetenv("LANGUAGE");
    std::setlocale(LC_MESSAGES, "C");
  }
  bool Available() const { return available_; }

 private:
  bool available_ = false;
};

TEST(CalculatorFormTest, MessagesAndMenusFollowTheLanguage) {
  struct Case {
    const char* end_date;
    const char* leave_days;
    const char* working_days;
    const char* english;
    const char* romanian;
  };
  const Case cases[] = {
      {"31.10.83", "65", "abc", "'abc' is not a valid floating point value.",
       "'abc' nu este un număr zecimal valid."},
      {"31.10.83", "65", "1e400", "Floating point overflow.",
       "Depășire superioară în virgulă mobilă."},
      {"31.10.83", "x", "24.5", "'x' is not a valid integer value.",
       "'x' nu este un număr întreg valid."},
      {"31.10.83", "65", "0", "Floating point division by zero.",
       "Împărțire la zero în virgulă mobilă."},
      {"31.10.83", "0", "0", "Invalid floating point operation.",
       "Operație nevalidă în virgulă mobilă."},
      {"31.10.83", "65", "1e-20", "Invalid floating point operation.",
       "Operație nevalidă în virgulă mobilă."},
      {"32.10.83", "65", "24.5", "'32.10.83' is not a valid date.",
       "'32.10.83' nu este o dată validă."},
      {"31.10.83", "65", "-24.5", "'-24.5' is not a valid number of working days.",
       "'-24.5' nu este un număr valid de zile lucrătoare."},
      {"31.10.83", "70000", "24.5", "'70000' is not a valid number of leave days.",
       "'70000' nu este un număr valid de zile de concediu."},
      {"31.10.83", "65535", "0.01", "The adjusted end date is out of range.",
       "Data de sfârșit ajustată este în afara intervalului."},
  };
  const std::vector<std::string> english_menu = {"Cu&t",    "&Copy",    "&Paste",
                                                 "&Delete", "&Load...", "Save &As..."};
  const std::vector<std::string> romanian_menu = {"&Decupează", "&Copiază",    "&Lipește",
                                                  "Ș&terge",    "Î&ncarcă...", "Salvează c&a..."};
  for (const bool romanian : {false, true}) {
    SCOPED_TRACE(romanian ? "ro" : "C");
    MessageLanguage language(romanian ? "ro_RO.UTF-8" : "C", romanian ? "ro" : "");
    if (!language.Available()) GTEST_SKIP() << "the ro_RO.UTF-8 locale is not installed";
    for (const Case& c : cases) {
      SCOPED_TRACE(c.english);
      CalculatorWindow window;
      Form1->cxMaskEdit1->SetText(c.end_date);
      Form1->cxTextEdit1->SetText(c.leave_days);
      Form1->cxTextEdit2->SetText(c.working_days);
      window.Type("cxTextEdit2", "\r");
      EXPECT_EQ(window.messages, std::vector<std::string>{romanian ? c.romanian : c.english});
    }
    CalculatorWindow window;
    TcxImagePopupMenu menu(*Form1->cxImage1);
    std::vector<std::string> captions;
    for (const auto& item : menu.Menu().Items()) {
      if (item->Caption() != "-" && !item->Caption().empty()) captions.push_back(item->Caption());
    }
    EXPECT_EQ(captions, romanian ? romanian_menu : english_menu);
    std::ostringstream rows, errors;
    RunBatchFile("/nonexistent/rows.csv", rows, errors);
    EXPECT_THAT(
        errors.str(),
        testing::StartsWith(romanian ? "orlit_cfs: /nonexistent/rows.csv: nu poate fi deschis: "
                                     : "orlit_cfs: /nonexistent/rows.csv: cannot be opened: "));
  }
}

}  // namespace
}  // namespace orlit
