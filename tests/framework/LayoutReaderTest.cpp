#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/FrameworkClasses.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/LayoutReader.h"
#include "framework/Panel.h"

namespace orlit {
namespace {

std::vector<std::string>& Events() {
  static auto& events = *new std::vector<std::string>;
  return events;
}

// A panel that records whether it was loading when its Note was set, and when it was loaded.
class TProbe : public TPanel {
 public:
  void SetNote(const std::string& note) {
    Events().push_back(Name() + " " + note + (Loading() ? " loading" : " loaded"));
  }

 protected:
  void Loaded() override {
    TPanel::Loaded();
    Events().push_back(Name() + " Loaded");
  }
};

class TProbeForm : public TForm {
 public:
  TProbe* Probe1 = nullptr;
  TLabel* Label1 = nullptr;
  void FormCreate(TObject*) { Events().push_back("FormCreate"); }
  void ProbeClick(TObject* sender) {
    Events().push_back("click " + static_cast<TComponent*>(sender)->Name());
  }
  void ProbeKey(TObject*, char32_t& key) { key = 0; }
};

void RegisterProbeClasses() {
  static const bool registered = [] {
    RegisterFrameworkClasses();
    PublishClass<TProbe, TPanel>("TProbe").String("Note", &TProbe::SetNote);
    PublishAbstractClass<TProbeForm, TForm>("TProbeForm")
        .Field("Probe1", &TProbeForm::Probe1)
        .Field("Label1", &TProbeForm::Label1)
        .Handler("FormCreate", &TProbeForm::FormCreate)
        .Handler("ProbeClick", &TProbeForm::ProbeClick)
        .Handler("ProbeKey", &TProbeForm::ProbeKey);
    return true;
  }();
  (void)registered;
}

// The smallest layout that declares both fields; `extra` goes inside the root.
std::string Layout(const std::string& extra) {
  return "TProbeForm Form1 {\n  TProbe Probe1 {}\n  TLabel Label1 {}\n" + extra + "}\n";
}

std::unique_ptr<TProbeForm> ReadProbeForm(const std::string& text) {
  RegisterProbeClasses();
  Events().clear();
  auto form = std::make_unique<TProbeForm>();
  ReadLayout(*form, text, "probe.layout");
  form->AfterConstruction();
  return form;
}

TEST(LayoutReaderTest, BuildsTheTreeWithItsPropertiesThenLoadsThenCreates) {
  const std::string text = R"(// the form
Plain: { Style: []  Color: clBlue }
TProbeForm Form1 {
  Caption: "Tab\there \"quoted\" ä"  ClientWidth: 300  Color: 0x00DDF5FF
  Font: { Name: "Arial"  Height: -13  Style: [fsBold, fsItalic]  Color: clYellow }
  OnCreate: FormCreate
  TProbe Probe1 {
    Note: "first"  Align: alTop  Height: 40  BevelOuter: bvNone  TabOrder: 1
    OnClick: ProbeClick
    OnKeyPress: ProbeKey
    TProbe Inner { Left: -5  Top: 2  Width: 10  Height: 10  Note: "inner"  Cursor: crHandPoint }
  }
  TLabel Label1 { Left: 8  Top: 50  ParentFont: false  Font: Plain  Caption: "x" }
  TImage Picture1 { Picture: "stri2"  AutoSize: true }
})";
  const auto form = ReadProbeForm(text);
  EXPECT_EQ(Events(), (std::vector<std::string>{"Probe1 first loading", "Inner inner loading",
                                                "Probe1 Loaded", "Inner Loaded", "FormCreate"}));
  EXPECT_EQ(form->Name(), "Form1");
  EXPECT_EQ(form->Caption(), "Tab\there \"quoted\" ä");
  EXPECT_EQ(form->ClientWidth(), 300);
  EXPECT_EQ(form->Color(), RGB(255, 245, 221));
  EXPECT_EQ(form->Font().Name(), "Arial");
  EXPECT_EQ(form->Font().Style(), fsBold | fsItalic);
  EXPECT_EQ(form->Font().Color(), clYellow);
  ASSERT_NE(form->Probe1, nullptr);
  EXPECT_EQ(form->Probe1->Parent(), form.get());
  EXPECT_EQ(form->Probe1->BoundsRect(), TRect::FromBounds(0, 0, 300, 40));
  EXPECT_EQ(form->Probe1->BevelOuter(), bvNone);
  const auto* inner = static_cast<TControl*>(form->FindComponent("Inner"));
  EXPECT_EQ(inner->Owner(), form.get());
  EXPECT_EQ(inner->Parent(), form->Probe1);
  EXPECT_EQ(inner->BoundsRect(), TRect::FromBounds(-5, 2, 10, 10));
  EXPECT_EQ(inner->Cursor(), crHandPoint);
  EXPECT_FALSE(form->Label1->ParentFont());
  EXPECT_EQ(form->Label1->Font().Style(), 0);
  EXPECT_EQ(form->Label1->Font().Color(), clBlue);
  EXPECT_EQ(static_cast<TImage*>(form->FindComponent("Picture1"))->Width(), 60);
  form->Probe1->OnClick(form->Probe1);
  EXPECT_EQ(Events().back(), "click Probe1");
  char32_t key = U'\r';
  form->Probe1->OnKeyPress(form->Probe1, key);
  EXPECT_EQ(key, U'\0');
}

TEST(LayoutReaderTest, NamesFileLineAndColumnOfWhatItCannotRead) {
  struct Case {
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"TForm Form1 {}", "probe.layout:1:1: the layout is of TForm, not of TProbeForm"},
      {Layout("  TButton B {}\n"), "probe.layout:4:3: unknown class TButton"},
      {Layout("  TControl C {}\n"), "probe.layout:4:3: unknown class TControl"},
      {Layout("  Colour: clRed\n"), "probe.layout:4:3: TProbeForm has no property Colour"},
      {Layout("  Font.Bold: true\n"), "probe.layout:4:8: TFont has no property Bold"},
      {Layout("  Caption.X: 1\n"), "probe.layout:4:3: Caption has no properties of its own"},
      {Layout("  Width: \"wide\"\n"), "probe.layout:4:10: Width takes an integer"},
      {Layout("  Width: 3000000000\n"), "probe.layout:4:10: integer out of range"},
      {Layout("  Visible: yes\n"), "probe.layout:4:12: Visible takes true or false"},
      {Layout("  Align: alMiddle\n"), "probe.layout:4:10: Align has no value alMiddle"},
      {Layout("  Font.Style: [fsBold, fsWide]\n"), "probe.layout:4:24: Style has no value fsWide"},
      {Layout("  Color: clPink\n"), "probe.layout:4:10: Color takes a colour"},
      {Layout("  Font: 3\n"), "probe.layout:4:9: Font takes { properties }"},
      {Layout("  Font: Bold\n"), "probe.layout:4:9: Font takes { properties }"},
      {"Bold: { Style: [fsBald] }\n" + Layout("  Font: Bold\n"),
       "probe.layout:1:17: Style has no value fsBald"},
      {"A: {}\nA: {}\n" + Layout(""), "probe.layout:2:1: A is defined twice"},
      {Layout("  OnCreate: FormShow\n"), "probe.layout:4:13: TProbeForm has no handler FormShow"},
      {Layout("  OnCreate: ProbeKey\n"),
       "probe.layout:4:13: the handler ProbeKey does not fit OnCreate"},
      {Layout("  TImage I { Picture: \"nothing\" }\n"),
       "probe.layout:4:23: The picture 'nothing' is missing from the program"},
      {Layout("  TPanel Probe1 {}\n"),
       "probe.layout:4:10: A component named Probe1 already exists"},
      {Layout("  TLabel L { TPanel P {} }\n"), "probe.layout:4:21: L cannot hold the control P"},
      {"TProbeForm Form1 {\n  TPanel Probe1 {}\n}",
       "probe.layout:2:3: TProbeForm declares Probe1 of another class than TPanel"},
      {"TProbeForm Form1 {\n  TProbe Probe1 {}\n}",
       "probe.layout:1:1: TProbeForm declares Label1, which the layout lacks"},
      {Layout("  Caption: \"open\n"), "probe.layout:4:12: unterminated string"},
      {Layout("  Caption: \"\\q\"\n"), "probe.layout:4:13: unknown escape \\q"},
      {Layout("  Width: 12px\n"), "probe.layout:4:10: malformed integer"},
      {Layout("  Width = 3\n"), "probe.layout:4:9: unexpected character '='"},
      {Layout("  Width 3\n"), "probe.layout:4:9: expected ':'"},
      {Layout("}"), "probe.layout:4:2: text after the root's end"},
      {"TProbeForm Form1 {\n  TProbe Probe1 {",
       "probe.layout:2:18: expected a property or a class name"},
  };
  for (const Case& c : cases) {
    try {
      ReadProbeForm(c.text);
      ADD_FAILURE() << "read without error: " << c.text;
    } catch (const ELayoutError& e) {
      EXPECT_EQ(e.Message(), c.message) << c.text;
    }
  }
}

}  // namespace
}  // namespace orlit
