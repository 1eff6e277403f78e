#include <string>
#include <vector>

#include "FrameworkFixture.h"
#include "framework/Bitmap.h"
#include "framework/Image.h"
#include "framework/JpegImage.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "platform/JpegCodec.h"

namespace orlit {
namespace {

std::unique_ptr<TGraphic> MakePicture(bool jpeg, int width, int height) {
  const PixelImage image(width, height, 0x808080);
  if (jpeg) {
    auto picture = std::make_unique<TJPEGImage>();
    picture->LoadFromBytes(EncodeJpeg(image));
    return picture;
  }
  auto picture = std::make_unique<TBitmap>();
  picture->SetPixels(image);
  return picture;
}

// The window's title bar, built the way a window layout builds it: each control gets its
// designed properties in turn. The sizes that alignment decides are given wrong on purpose.
class TitleBarForm : public TForm {
 public:
  TitleBarForm() {
    SetBounds(202, 107, 567, 501);
    SetPosition(poDesktopCenter);
    SetBorderStyle(bsNone);
    SetCaption("Orlit_CFS by Orlit Soft");

    str1 = Panel(this, {0, 0, 100, 31}, alTop, "str1");
    str1->SetTabOrder(15);
    str2 = Panel(str1, {0, 0, 10, 10}, alClient, "str2");
    str2->SetAutoSize(true);
    stri1 = Create<TImage>();
    stri1->SetParent(str2);
    stri1->SetBounds(0, 0, 1, 30);
    stri1->SetAlign(alTop);
    stri1->SetStretch(true);
    stri1->SetTransparent(true);
    stri1->Picture().SetGraphic(MakePicture(true, 1220, 30));
    strlabel = Create<TLabel>();
    strlabel->SetParent(str2);
    strlabel->SetBounds(8, 8, 104, 19);
    strlabel->SetParentFont(false);
    strlabel->Font().SetHeight(-16);
    strlabel->Font().SetStyle(fsBold);
    strlabel->Font().SetColor(clSilver);
    strlabel->SetTransparent(true);
    str3 = Panel(str1, {505, 0, 62, 31}, alRight, "str3");
    str3->SetAutoSize(true);
    stri2 = Create<TImage>();
    stri2->SetParent(str3);
    stri2->SetBounds(0, 0, 62, 30);
    stri2->SetAlign(alTop);
    stri2->SetAutoSize(true);
    stri2->Picture().SetGraphic(MakePicture(false, 60, 30));
    stri3 = Area(1, 17);
    stri4 = Area(17, 17);
    stri5 = Area(33, 25);
    OnShow = [this](TObject*) { strlabel->SetCaption(Caption()); };
  }

  TPanel* str1;
  TPanel* str2;
  TImage* stri1;
  TLabel* strlabel;
  TPanel* str3;
  TImage* stri2;
  TImage* stri3;
  TImage* stri4;
  TImage* stri5;

 private:
  TPanel* Panel(TWinControl* parent, TRect bounds, TAlign align, const std::string& caption) {
    auto* panel = Create<TPanel>();
    panel->SetParent(parent);
    panel->SetBoundsRect(bounds);
    panel->SetAlign(align);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption(caption);
    return panel;
  }
  TImage* Area(int left, int width) {
    auto* image = Create<TImage>();
    image->SetParent(str3);
    image->SetBounds(left, 8, width, 25);
    image->SetCursor(crHandPoint);
    return image;
  }
};

using LayoutTest = FrameworkTest;

TEST_F(LayoutTest, TitleBarLandsAtItsPlaces) {
  auto* form = NewForm<TitleBarForm>();
  struct Case {
    const char* name;
    TControl* control;
    TRect bounds;
  };
  const Case cases[] = {
      {"str1", form->str1, {0, 0, 567, 31}},   {"str2", form->str2, {0, 0, 505, 31}},
      {"stri1", form->stri1, {0, 0, 505, 30}}, {"str3", form->str3, {505, 0, 567, 31}},
      {"stri2", form->stri2, {0, 0, 62, 30}},  {"stri3", form->stri3, {1, 8, 18, 33}},
      {"stri4", form->stri4, {17, 8, 34, 33}}, {"stri5", form->stri5, {33, 8, 58, 33}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.control->BoundsRect(), c.bounds) << c.name;
  EXPECT_EQ(form->stri2->Picture().Width(), 60);

  ShowAndSettle(form);
  EXPECT_EQ(form->BoundsRect(), TRect::FromBounds((1024 - 567) / 2, (768 - 501) / 2, 567, 501));
  const auto* window = desktop_.Window(form->Window()->Id());
  EXPECT_EQ(window->bounds, form->BoundsRect());
  EXPECT_EQ(window->title, "orlit_cfs");
  EXPECT_EQ(form->strlabel->Caption(), "Orlit_CFS by Orlit Soft");
  EXPECT_EQ(form->strlabel->Left(), 8);
  EXPECT_EQ(form->strlabel->Top(), 8);
  // The label's width follows its text at the font it was given.
  TFont font;
  font.Assign(form->strlabel->Font());
  EXPECT_EQ(form->strlabel->Width(), font.Handle()->TextWidth("Orlit_CFS by Orlit Soft"));
  for (const Case& c : cases) EXPECT_EQ(c.control->BoundsRect(), c.bounds) << c.name;
}

TEST_F(LayoutTest, ClickAreasAreHitInFrontOfThePictureBehindThem) {
  auto* form = NewForm<TitleBarForm>();
  struct Case {
    TPoint point;  // in str3
    TControl* expected;
  };
  const Case cases[] = {
      {{0, 0}, form->stri2},   {{1, 8}, form->stri3},   {{17, 20}, form->stri4},
      {{16, 20}, form->stri3}, {{57, 30}, form->stri5}, {{59, 5}, form->stri2},
      {{60, 30}, nullptr},     {{61, 7}, form->stri2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(form->str3->ControlAtPos(c.point, false), c.expected)
        << c.point.X << "," << c.point.Y;
  }
  EXPECT_EQ(form->ControlAtPos({520, 10}, false, true, true), form->stri3);
  form->stri3->SetVisible(false);
  EXPECT_EQ(form->ControlAtPos({520, 10}, false, true, true), form->stri2);
  form->stri2->SetEnabled(false);
  EXPECT_EQ(form->ControlAtPos({520, 10}, false, true, true), form->str3);
  EXPECT_EQ(form->ControlAtPos({520, 10}, true, true, true), form->stri2);
}

TEST_F(LayoutTest, WindowedChildrenLieInFrontOfGraphicSiblings) {
  auto* form = NewForm<TForm>();
  auto* panel = form->Create<TPanel>();
  panel->SetParent(form);
  panel->SetBounds(10, 10, 50, 50);
  auto* image = form->Create<TImage>();  // created later, yet behind the panel
  image->SetParent(form);
  image->SetBounds(0, 0, 40, 40);
  EXPECT_EQ(form->ControlAtPos({20, 20}, false), panel);
  EXPECT_EQ(form->ControlAtPos({5, 5}, false), image);
  const std::vector<TControl*> order = form->PaintOrder();
  EXPECT_EQ(order, (std::vector<TControl*>{image, panel}));
  auto* second = form->Create<TPanel>();
  second->SetParent(form);
  second->SetBounds(0, 0, 30, 30);
  EXPECT_EQ(form->ControlAtPos({20, 20}, false), second);
  panel->BringToFront();
  EXPECT_EQ(form->ControlAtPos({20, 20}, false), panel);
}

TEST_F(LayoutTest, AlignmentGivesOutTheClientAreaTopBottomLeftRightThenClient) {
  auto* form = NewForm<TForm>();
  form->SetBounds(0, 0, 200, 100);
  struct Child {
    TAlign align;
    TRect designed;
    TRect expected;
  };
  // Created at run time in an order unlike the layout order: within one alignment the designed
  // position decides who is nearer the edge, and a newcomer wins a tie.
  const Child children[] = {
      {alClient, {0, 0, 5, 5}, {30, 20, 160, 90}},
      {alRight, {150, 0, 170, 5}, {160, 20, 180, 90}},
      {alTop, {0, 12, 5, 22}, {0, 10, 200, 20}},
      {alLeft, {0, 0, 30, 5}, {0, 20, 30, 90}},
      {alTop, {0, 0, 5, 10}, {0, 0, 200, 10}},
      {alBottom, {0, 0, 5, 10}, {0, 90, 200, 100}},
      {alRight, {190, 0, 210, 5}, {180, 20, 200, 90}},
      {alNone, {3, 4, 13, 14}, {3, 4, 13, 14}},
  };
  std::vector<TControl*> made;
  for (const Child& c : children) {
    auto* panel = form->Create<TPanel>();
    panel->SetParent(form);
    panel->SetBoundsRect(c.designed);
    panel->SetAlign(c.align);
    made.push_back(panel);
  }
  for (std::size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(made[i]->BoundsRect(), children[i].expected) << i;
  }
  // Hiding an aligned control gives its room to the others; a bevel keeps its width inside.
  made[4]->SetVisible(false);
  EXPECT_EQ(made[2]->BoundsRect(), (TRect{0, 0, 200, 10}));
  auto* framed = static_cast<TPanel*>(made[0]);
  auto* inner = form->Create<TPanel>();
  inner->SetParent(framed);
  inner->SetAlign(alClient);
  framed->SetBevelOuter(bvRaised);
  framed->SetBorderWidth(2);
  EXPECT_EQ(inner->BoundsRect(),
            TRect::FromBounds(3, 3, framed->Width() - 6, framed->Height() - 6));
}

// Like the program's Form1: a global the form's own handlers reach it through.
struct CreatedForm;
CreatedForm* g_created_form = nullptr;

struct CreatedForm : TForm {
  CreatedForm() {
    SetBounds(0, 0, 300, 200);
    child = Create<TPanel>();
    child->SetParent(this);
    child->SetAlign(alClient);
    OnCreate = [this](TObject*) {
      seen = child->BoundsRect();
      seen_reference = g_created_form == this;
    };
  }
  TPanel* child;
  TRect seen;
  bool seen_reference = false;
};

TEST_F(LayoutTest, OnCreateSeesTheFinishedLayoutAndTheFormReference) {
  app_.CreateForm(g_created_form);
  EXPECT_EQ(g_created_form->seen, (TRect{0, 0, 300, 200}));
  EXPECT_TRUE(g_created_form->seen_reference);
  EXPECT_EQ(app_.MainForm(), g_created_form);
}

TEST_F(LayoutTest, LabelSizeFollowsItsTextAndFont) {
  auto* form = NewForm<TForm>();
  auto* label = form->Create<TLabel>();
  label->SetParent(form);
  label->SetBounds(5, 6, 1, 1);
  const auto window_font = form->Font().Handle();
  struct Case {
    const char* caption;
    const char* measured;
  };
  const Case cases[] = {{"CFS= Concediu Fara Salar", "CFS= Concediu Fara Salar"},
                        {"", " "},
                        {"&Salar", "Salar"},
                        {"Nr zile lucratoare/lunä", "Nr zile lucratoare/lunä"}};
  for (const Case& c : cases) {
    label->SetCaption(c.caption);
    EXPECT_EQ(label->Width(), window_font->TextWidth(c.measured)) << c.caption;
    EXPECT_EQ(label->Height(), 13) << c.caption;
    EXPECT_EQ(label->Left(), 5);
  }
  label->SetCaption("two\r\nlines");
  EXPECT_EQ(label->Height(), 26);
  label->SetAutoSize(false);
  label->SetCaption("x");
  EXPECT_EQ(label->Height(), 26);
}

TEST_F(LayoutTest, ParentFontAndColourFlowDownUntilSetOnTheChild) {
  auto* form = NewForm<TForm>();
  auto* panel = form->Create<TPanel>();
  panel->SetParent(form);
  auto* label = form->Create<TLabel>();
  label->SetParent(panel);
  form->Font().SetHeight(-13);
  EXPECT_EQ(label->Font().Height(), -13);
  EXPECT_TRUE(label->ParentFont());
  label->Font().SetStyle(fsBold);
  EXPECT_FALSE(label->ParentFont());
  form->Font().SetHeight(-19);
  EXPECT_EQ(label->Font().Height(), -13);
  EXPECT_EQ(panel->Font().Height(), -19);

  EXPECT_TRUE(label->ParentColor());
  panel->SetColor(clYellow);
  EXPECT_EQ(label->Color(), clYellow);
  label->SetColor(clLime);
  panel->SetColor(clRed);
  EXPECT_EQ(label->Color(), clLime);
  label->SetParentColor(true);
  EXPECT_EQ(label->Color(), clRed);
}

TEST_F(LayoutTest, ScreenCoordinatesFollowTheFormsPlace) {
  auto* form = NewForm<TitleBarForm>();
  ShowAndSettle(form);
  const TPoint origin = form->ClientOrigin();
  EXPECT_EQ(form->stri5->ClientToScreen({0, 0}), (TPoint{origin.X + 505 + 33, origin.Y + 8}));
  EXPECT_EQ(form->stri5->ScreenToClient({origin.X + 540, origin.Y + 10}), (TPoint{2, 2}));
  form->SetLeft(10);
  EXPECT_EQ(desktop_.Window(form->Window()->Id())->bounds.Left, 10);
}

}  // namespace
}  // namespace orlit
