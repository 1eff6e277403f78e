#include "editors/EditorClasses.h"

#include <cstdint>

#include "editors/EditAccessible.h"
#include "editors/GroupBox.h"
#include "editors/ImageEdit.h"
#include "editors/LabelEdit.h"
#include "editors/MaskEdit.h"
#include "editors/MemoEdit.h"
#include "editors/TextEdit.h"
#include "framework/FrameworkClasses.h"

namespace orlit {

namespace {

constexpr EnumName kContainerBorderStyleNames[] = {
    {"cbsNone", cbsNone},        {"cbsSingle", cbsSingle}, {"cbsThick", cbsThick},
    {"cbsFlat", cbsFlat},        {"cbs3D", cbs3D},         {"cbsUltraFlat", cbsUltraFlat},
    {"cbsOffice11", cbsOffice11}};
constexpr EnumName kEditBorderStyleNames[] = {
    {"ebsNone", ebsNone},        {"ebsSingle", ebsSingle}, {"ebsThick", ebsThick},
    {"ebsFlat", ebsFlat},        {"ebs3D", ebs3D},         {"ebsUltraFlat", ebsUltraFlat},
    {"ebsOffice11", ebsOffice11}};
constexpr EnumName kBorderNames[] = {
    {"bLeft", 1 << bLeft}, {"bTop", 1 << bTop}, {"bRight", 1 << bRight}, {"bBottom", 1 << bBottom}};
constexpr EnumName kVertAlignmentNames[] = {
    {"taTopJustify", taTopJustify}, {"taBottomJustify", taBottomJustify}, {"taVCenter", taVCenter}};
constexpr EnumName kCharCaseNames[] = {
    {"ecNormal", ecNormal}, {"ecUpperCase", ecUpperCase}, {"ecLowerCase", ecLowerCase}};
constexpr EnumName kEchoModeNames[] = {{"eemNormal", eemNormal}, {"eemPassword", eemPassword}};
constexpr EnumName kMaskKindNames[] = {
    {"emkStandard", emkStandard}, {"emkRegExpr", emkRegExpr}, {"emkRegExprEx", emkRegExprEx}};
constexpr EnumName kScrollStyleNames[] = {{"ssNone", ssNone},
                                          {"ssHorizontal", ssHorizontal},
                                          {"ssVertical", ssVertical},
                                          {"ssBoth", ssBoth}};
constexpr EnumName kLabelEffectNames[] = {{"cxleNormal", cxleNormal},
                                          {"cxleFun", cxleFun},
                                          {"cxleExtrude", cxleExtrude},
                                          {"cxleCool", cxleCool}};
constexpr EnumName kLabelStyleNames[] = {{"cxlsNormal", cxlsNormal},
                                         {"cxlsRaised", cxlsRaised},
                                         {"cxlsLowered", cxlsLowered},
                                         {"cxlsOutLine", cxlsOutLine}};
constexpr EnumName kLabelOrientationNames[] = {
    {"cxoLeft", cxoLeft},         {"cxoRight", cxoRight},
    {"cxoTop", cxoTop},           {"cxoBottom", cxoBottom},
    {"cxoLeftTop", cxoLeftTop},   {"cxoLeftBottom", cxoLeftBottom},
    {"cxoRightTop", cxoRightTop}, {"cxoRightBottom", cxoRightBottom}};
constexpr EnumName kCaptionAlignmentNames[] = {
    {"alTopLeft", alTopLeft},           {"alTopCenter", alTopCenter},
    {"alTopRight", alTopRight},         {"alBottomLeft", alBottomLeft},
    {"alBottomCenter", alBottomCenter}, {"alBottomRight", alBottomRight},
    {"alLeftTop", alLeftTop},           {"alLeftCenter", alLeftCenter},
    {"alLeftBottom", alLeftBottom},     {"alRightTop", alRightTop},
    {"alRightCenter", alRightCenter},   {"alRightBottom", alRightBottom},
    {"alCenterCenter", alCenterCenter}};
constexpr EnumName kImageTransparencyNames[] = {
    {"gtDefault", gtDefault}, {"gtOpaque", gtOpaque}, {"gtTransparent", gtTransparent}};
constexpr EnumName kPopupMenuItemNames[] = {
    {"pmiCut", 1 << pmiCut},       {"pmiCopy", 1 << pmiCopy}, {"pmiPaste", 1 << pmiPaste},
    {"pmiDelete", 1 << pmiDelete}, {"pmiLoad", 1 << pmiLoad}, {"pmiSave", 1 << pmiSave},
    {"pmiCustom", 1 << pmiCustom}};

void PublishStyles() {
  using Style = TcxCustomContainerStyle;
  PublishAbstractClass<Style, Style>("TcxCustomContainerStyle")
      .Color("BorderColor", &Style::SetBorderColor)
      .Enum<TcxContainerBorderStyle>("BorderStyle", kContainerBorderStyleNames,
                                     &Style::SetBorderStyle)
      .Color("Color", &Style::SetColor)
      .Set<TcxBorders>("Edges", kBorderNames, &Style::SetEdges)
      .Object("Font", [](Style& s) -> TPersistent& { return s.Font(); })
      .Boolean("HotTrack", &Style::SetHotTrack)
      .Boolean("Shadow", &Style::SetShadow)
      .Color("TextColor", &Style::SetTextColor)
      .Set<TFontStyles>("TextStyle", kFontStyleNames, &Style::SetTextStyle)
      .Boolean("TransparentBorder", &Style::SetTransparentBorder);
  PublishAbstractClass<TcxContainerStyle, Style>("TcxContainerStyle");
  // Editor styles name their border styles as the editors do.
  PublishAbstractClass<TcxCustomEditStyle, Style>("TcxCustomEditStyle")
      .Enum<TcxEditBorderStyle>("BorderStyle", kEditBorderStyleNames,
                                [](TcxCustomEditStyle& s, TcxEditBorderStyle style) {
                                  s.SetBorderStyle(ToContainerBorderStyle(style));
                                });
  PublishAbstractClass<TcxEditStyle, TcxCustomEditStyle>("TcxEditStyle");
  PublishAbstractClass<TcxLabelEditStyle, TcxEditStyle>("TcxLabelEditStyle");
  PublishAbstractClass<TcxEditStyleEx, TcxCustomEditStyle>("TcxEditStyleEx");
}

void PublishProperties() {
  PublishAbstractClass<TcxEditAlignment, TcxEditAlignment>("TcxEditAlignment")
      .Enum<TAlignment>("Horz", kAlignmentNames, &TcxEditAlignment::SetHorz)
      .Enum<TcxEditVertAlignment>("Vert", kVertAlignmentNames, &TcxEditAlignment::SetVert);
  using Properties = TcxCustomEditProperties;
  PublishAbstractClass<Properties, Properties>("TcxCustomEditProperties")
      .Object("Alignment", [](Properties& p) -> TPersistent& { return p.Alignment(); })
      .Boolean("BeepOnError", &Properties::SetBeepOnError)
      .Boolean("ReadOnly", &Properties::SetReadOnly)
      .Boolean("ValidateOnEnter", &Properties::SetValidateOnEnter)
      .Event<TNotifyEvent>("OnChange", &Properties::OnChange)
      .Event<TNotifyEvent>("OnEditValueChanged", &Properties::OnEditValueChanged)
      .Event<TcxEditValidateEvent>("OnValidate", &Properties::OnValidate);
  using TextProperties = TcxCustomTextEditProperties;
  PublishAbstractClass<TextProperties, Properties>("TcxCustomTextEditProperties")
      .Boolean("AutoSelect", &TextProperties::SetAutoSelect)
      .Enum<TEditCharCase>("CharCase", kCharCaseNames, &TextProperties::SetCharCase)
      .Enum<TcxEditEchoMode>("EchoMode", kEchoModeNames, &TextProperties::SetEchoMode)
      .Boolean("HideSelection", &TextProperties::SetHideSelection)
      .Integer("MaxLength", &TextProperties::SetMaxLength)
      .Boolean("UseLeftAlignmentOnEditing", &TextProperties::SetUseLeftAlignmentOnEditing);
  PublishAbstractClass<TcxTextEditProperties, TextProperties>("TcxTextEditProperties");
  using MaskProperties = TcxCustomMaskEditProperties;
  PublishAbstractClass<MaskProperties, TextProperties>("TcxCustomMaskEditProperties")
      .Enum<TcxEditMaskKind>("MaskKind", kMaskKindNames, &MaskProperties::SetMaskKind)
      .String("EditMask", &MaskProperties::SetEditMask)
      .Boolean("IgnoreMaskBlank", &MaskProperties::SetIgnoreMaskBlank)
      .Boolean("AlwaysShowBlanksAndLiterals", &MaskProperties::SetAlwaysShowBlanksAndLiterals)
      .Boolean("CaseInsensitive", &MaskProperties::SetCaseInsensitive);
  PublishAbstractClass<TcxMaskEditProperties, MaskProperties>("TcxMaskEditProperties");
  using MemoProperties = TcxCustomMemoProperties;
  PublishAbstractClass<MemoProperties, TextProperties>("TcxCustomMemoProperties")
      .Enum<TScrollStyle>("ScrollBars", kScrollStyleNames, &MemoProperties::SetScrollBars)
      .Boolean("WantReturns", &MemoProperties::SetWantReturns)
      .Boolean("WantTabs", &MemoProperties::SetWantTabs)
      .Boolean("WordWrap", &MemoProperties::SetWordWrap);
  PublishAbstractClass<TcxMemoProperties, MemoProperties>("TcxMemoProperties");
  using LabelProperties = TcxCustomLabelProperties;
  PublishAbstractClass<LabelProperties, Properties>("TcxCustomLabelProperties")
      .Integer("Angle", &LabelProperties::SetAngle)
      .Integer("Depth",
               [](LabelProperties& p, int depth) { p.SetDepth(static_cast<std::uint16_t>(depth)); })
      .Enum<TcxLabelEffect>("LabelEffect", kLabelEffectNames, &LabelProperties::SetLabelEffect)
      .Enum<TcxLabelStyle>("LabelStyle", kLabelStyleNames, &LabelProperties::SetLabelStyle)
      .Enum<TcxLabelOrientation>("Orientation", kLabelOrientationNames,
                                 &LabelProperties::SetOrientation)
      .Integer("PenWidth", &LabelProperties::SetPenWidth)
      .Color("ShadowedColor", &LabelProperties::SetShadowedColor)
      .Boolean("ShowAccelChar", &LabelProperties::SetShowAccelChar)
      .Boolean("ShowEndEllipsis", &LabelProperties::SetShowEndEllipsis)
      .Boolean("Transparent", &LabelProperties::SetTransparent)
      .Boolean("WordWrap", &LabelProperties::SetWordWrap);
  PublishAbstractClass<TcxLabelProperties, LabelProperties>("TcxLabelProperties");
  PublishAbstractClass<TcxCustomGroupBoxProperties, Properties>("TcxCustomGroupBoxProperties");
  PublishAbstractClass<TcxPopupMenuLayout, TcxPopupMenuLayout>("TcxPopupMenuLayout")
      .Set<TcxPopupMenuItems>("MenuItems", kPopupMenuItemNames, &TcxPopupMenuLayout::SetMenuItems)
      .String("CustomMenuItemCaption", &TcxPopupMenuLayout::SetCustomMenuItemCaption);
  using ImageProperties = TcxCustomImageProperties;
  PublishAbstractClass<ImageProperties, Properties>("TcxCustomImageProperties")
      .String("Caption", &ImageProperties::SetCaption)
      .Boolean("Center", &ImageProperties::SetCenter)
      .Boolean("Stretch", &ImageProperties::SetStretch)
      .Boolean("ShowFocusRect", &ImageProperties::SetShowFocusRect)
      .String("GraphicClassName", &ImageProperties::SetGraphicClassName)
      .Boolean("IsGraphicClassNameEmpty", &ImageProperties::SetIsGraphicClassNameEmpty)
      .Enum<TcxImageTransparency>("GraphicTransparency", kImageTransparencyNames,
                                  &ImageProperties::SetGraphicTransparency)
      .Object("PopupMenuLayout",
              [](ImageProperties& p) -> TPersistent& { return p.PopupMenuLayout(); })
      .String("CustomFilter", &ImageProperties::SetCustomFilter)
      .Boolean("ImmediatePost", &ImageProperties::SetImmediatePost)
      .Event<TNotifyEvent>("OnAssignPicture", &ImageProperties::OnAssignPicture)
      .Event<TNotifyEvent>("OnCustomClick", &ImageProperties::OnCustomClick)
      .Event<TcxImageGraphicClassEvent>("OnGetGraphicClass", &ImageProperties::OnGetGraphicClass);
  PublishAbstractClass<TcxImageProperties, ImageProperties>("TcxImageProperties");
}

void PublishEditors() {
  PublishAbstractClass<TcxControl, TCustomControl>("TcxControl");
  PublishAbstractClass<TcxContainer, TcxControl>("TcxContainer")
      .Object("Style", [](TcxContainer& c) -> TPersistent& { return c.Style(); })
      .Object("StyleDisabled", [](TcxContainer& c) -> TPersistent& { return c.StyleDisabled(); })
      .Object("StyleFocused", [](TcxContainer& c) -> TPersistent& { return c.StyleFocused(); })
      .Object("StyleHot", [](TcxContainer& c) -> TPersistent& { return c.StyleHot(); });
  PublishAbstractClass<TcxCustomEdit, TcxContainer>("TcxCustomEdit")
      .Object("Properties", [](TcxCustomEdit& e) -> TPersistent& { return e.Properties(); })
      .String("Text", &TcxCustomEdit::SetText)
      .Boolean("BeepOnEnter", &TcxCustomEdit::SetBeepOnEnter)
      .Event<TcxEditEditingEvent>("OnEditing", &TcxCustomEdit::OnEditing);
  PublishAbstractClass<TcxCustomTextEdit, TcxCustomEdit>("TcxCustomTextEdit");
  PublishClass<TcxTextEdit, TcxCustomTextEdit>("TcxTextEdit");
  PublishAbstractClass<TcxCustomMaskEdit, TcxCustomTextEdit>("TcxCustomMaskEdit");
  PublishClass<TcxMaskEdit, TcxCustomMaskEdit>("TcxMaskEdit");
  PublishAbstractClass<TcxCustomMemo, TcxCustomTextEdit>("TcxCustomMemo")
      .Strings("Lines", [](TcxCustomMemo& m) -> TStrings& { return m.Lines(); });
  PublishClass<TcxMemo, TcxCustomMemo>("TcxMemo");
  PublishAbstractClass<TcxCustomLabel, TcxCustomEdit>("TcxCustomLabel");
  PublishClass<TcxLabel, TcxCustomLabel>("TcxLabel");
  PublishAbstractClass<TcxCustomGroupBox, TcxCustomEdit>("TcxCustomGroupBox")
      .Enum<TcxCaptionAlignment>("Alignment", kCaptionAlignmentNames,
                                 &TcxCustomGroupBox::SetAlignment)
      .Color("CaptionBkColor", &TcxCustomGroupBox::SetCaptionBkColor)
      .Boolean("Ctl3D", &TcxCustomGroupBox::SetCtl3D)
      .Boolean("ParentBackground", &TcxCustomGroupBox::SetParentBackground);
  PublishClass<TcxGroupBox, TcxCustomGroupBox>("TcxGroupBox");
  PublishAbstractClass<TcxCustomImage, TcxCustomEdit>("TcxCustomImage")
      .Picture("Picture", [](TcxCustomImage& i) -> TPicture& { return i.Picture(); });
  PublishClass<TcxImage, TcxCustomImage>("TcxImage");
}

}  // namespace

void RegisterEditorClasses() {
  static const bool registered = [] {
    RegisterFrameworkClasses();
    PublishStyles();
    PublishProperties();
    PublishEditors();
    RegisterEditorAccessibles();
    return true;
  }();
  (void)registered;
}

}  // namespace orlit
