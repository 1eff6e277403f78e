#include "framework/FrameworkClasses.h"

#include "framework/AccessibleModel.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"

namespace orlit {

namespace {

constexpr EnumName kAlignNames[] = {{"alNone", alNone},     {"alTop", alTop},
                                    {"alBottom", alBottom}, {"alLeft", alLeft},
                                    {"alRight", alRight},   {"alClient", alClient}};
constexpr EnumName kAccessibleRoleNames[] = {
    {"arPanel", static_cast<int>(AccessibleRole::kPanel)},
    {"arLabel", static_cast<int>(AccessibleRole::kLabel)},
    {"arImage", static_cast<int>(AccessibleRole::kImage)},
    {"arPushButton", static_cast<int>(AccessibleRole::kPushButton)},
    {"arEntry", static_cast<int>(AccessibleRole::kEntry)},
    {"arText", static_cast<int>(AccessibleRole::kText)}};
constexpr EnumName kCursorNames[] = {{"crDefault", crDefault},
                                     {"crArrow", crArrow},
                                     {"crIBeam", crIBeam},
                                     {"crHandPoint", crHandPoint}};
constexpr EnumName kCharsetNames[] = {{"ANSI_CHARSET", ANSI_CHARSET},
                                      {"DEFAULT_CHARSET", DEFAULT_CHARSET}};
constexpr EnumName kBorderStyleNames[] = {
    {"bsNone", bsNone},     {"bsSingle", bsSingle},         {"bsSizeable", bsSizeable},
    {"bsDialog", bsDialog}, {"bsToolWindow", bsToolWindow}, {"bsSizeToolWin", bsSizeToolWin}};
constexpr EnumName kPositionNames[] = {{"poDesigned", poDesigned},
                                       {"poDesktopCenter", poDesktopCenter},
                                       {"poScreenCenter", poScreenCenter},
                                       {"poMainFormCenter", poMainFormCenter}};
constexpr EnumName kBevelNames[] = {
    {"bvNone", bvNone}, {"bvLowered", bvLowered}, {"bvRaised", bvRaised}, {"bvSpace", bvSpace}};

void PublishFont() {
  PublishClass<TFont, TFont>("TFont")
      .String("Name", &TFont::SetName)
      .Integer("Height", &TFont::SetHeight)
      .Integer("Size", &TFont::SetSize)
      .Set<TFontStyles>("Style", kFontStyleNames, &TFont::SetStyle)
      .Color("Color", &TFont::SetColor)
      .Enum<TFontCharset>("Charset", kCharsetNames, &TFont::SetCharset);
}

void PublishControls() {
  PublishAbstractClass<TComponent, TComponent>("TComponent");
  PublishAbstractClass<TControl, TComponent>("TControl")
      .Integer("Left", &TControl::SetLeft)
      .Integer("Top", &TControl::SetTop)
      .Integer("Width", &TControl::SetWidth)
      .Integer("Height", &TControl::SetHeight)
      .Integer("ClientWidth", &TControl::SetClientWidth)
      .Integer("ClientHeight", &TControl::SetClientHeight)
      .Enum<TAlign>("Align", kAlignNames, &TControl::SetAlign)
      .Boolean("AutoSize", &TControl::SetAutoSize)
      .Boolean("Visible", &TControl::SetVisible)
      .Boolean("Enabled", &TControl::SetEnabled)
      .Color("Color", &TControl::SetColor)
      .Boolean("ParentColor", &TControl::SetParentColor)
      .Object("Font", [](TControl& c) -> TPersistent& { return c.Font(); })
      .Boolean("ParentFont", &TControl::SetParentFont)
      .Enum<TCursor>("Cursor", kCursorNames, &TControl::SetCursor)
      .String("Caption", &TControl::SetCaption)
      // What assistive technology is told: a name and description where the control has no
      // caption of its own to give one, a caption's target, a role other than the class's.
      .String("AccessibleName",
              [](TControl& c, const std::string& name) {
                AccessibleModel::Instance().Facts(c).name = name;
              })
      .String("AccessibleDescription",
              [](TControl& c, const std::string& text) {
                AccessibleModel::Instance().Facts(c).description = text;
              })
      .String("AccessibleLabelFor",
              [](TControl& c, const std::string& target) {
                AccessibleModel::Instance().Facts(c).label_for = target;
              })
      .Enum<AccessibleRole>("AccessibleRole", kAccessibleRoleNames,
                            [](TControl& c, AccessibleRole role) {
                              AccessibleFacts& facts = AccessibleModel::Instance().Facts(c);
                              facts.has_role = true;
                              facts.role = role;
                            })
      .Event<TNotifyEvent>("OnClick", &TControl::OnClick)
      .Event<TNotifyEvent>("OnDblClick", &TControl::OnDblClick)
      .Event<TMouseEvent>("OnMouseDown", &TControl::OnMouseDown)
      .Event<TMouseEvent>("OnMouseUp", &TControl::OnMouseUp)
      .Event<TMouseMoveEvent>("OnMouseMove", &TControl::OnMouseMove)
      .Event<TNotifyEvent>("OnMouseEnter", &TControl::OnMouseEnter)
      .Event<TNotifyEvent>("OnMouseLeave", &TControl::OnMouseLeave);
  PublishAbstractClass<TWinControl, TControl>("TWinControl")
      .Integer("TabOrder", &TWinControl::SetTabOrder)
      .Boolean("TabStop", &TWinControl::SetTabStop)
      .Event<TNotifyEvent>("OnEnter", &TWinControl::OnEnter)
      .Event<TNotifyEvent>("OnExit", &TWinControl::OnExit)
      .Event<TKeyEvent>("OnKeyDown", &TWinControl::OnKeyDown)
      .Event<TKeyEvent>("OnKeyUp", &TWinControl::OnKeyUp)
      .Event<TKeyPressEvent>("OnKeyPress", &TWinControl::OnKeyPress);
  PublishAbstractClass<TCustomControl, TWinControl>("TCustomControl");
  PublishAbstractClass<TGraphicControl, TControl>("TGraphicControl");
}

void PublishForms() {
  PublishAbstractClass<TCustomForm, TWinControl>("TCustomForm")
      .Enum<TFormBorderStyle>("BorderStyle", kBorderStyleNames, &TCustomForm::SetBorderStyle)
      .Enum<TPosition>("Position", kPositionNames, &TCustomForm::SetPosition)
      .Event<TNotifyEvent>("OnCreate", &TCustomForm::OnCreate)
      .Event<TNotifyEvent>("OnShow", &TCustomForm::OnShow)
      .Event<TNotifyEvent>("OnHide", &TCustomForm::OnHide)
      .Event<TNotifyEvent>("OnActivate", &TCustomForm::OnActivate)
      .Event<TNotifyEvent>("OnDeactivate", &TCustomForm::OnDeactivate);
  PublishAbstractClass<TForm, TCustomForm>("TForm");
}

void PublishStandardControls() {
  PublishClass<TPanel, TCustomControl>("TPanel")
      .Enum<TBevelCut>("BevelOuter", kBevelNames, &TPanel::SetBevelOuter)
      .Enum<TBevelCut>("BevelInner", kBevelNames, &TPanel::SetBevelInner)
      .Integer("BevelWidth", &TPanel::SetBevelWidth)
      .Integer("BorderWidth", &TPanel::SetBorderWidth)
      .Enum<TAlignment>("Alignment", kAlignmentNames, &TPanel::SetAlignment);
  PublishClass<TImage, TGraphicControl>("TImage")
      .Picture("Picture", [](TImage& i) -> TPicture& { return i.Picture(); })
      .Boolean("Stretch", &TImage::SetStretch)
      .Boolean("Center", &TImage::SetCenter)
      .Boolean("Transparent", &TImage::SetTransparent);
  PublishClass<TLabel, TGraphicControl>("TLabel")
      .Boolean("Transparent", &TLabel::SetTransparent)
      .Enum<TAlignment>("Alignment", kAlignmentNames, &TLabel::SetAlignment)
      .Boolean("WordWrap", &TLabel::SetWordWrap)
      .Boolean("ShowAccelChar", &TLabel::SetShowAccelChar);
}

}  // namespace

void RegisterFrameworkClasses() {
  static const bool registered = [] {
    PublishFont();
    PublishControls();
    PublishForms();
    PublishStandardControls();
    return true;
  }();
  (void)registered;
}

}  // namespace orlit
