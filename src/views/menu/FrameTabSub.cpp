#include "views/menu/FrameTabSub.h"

#include "board/DeviceModule.h"
#include "logging/Log.h"
#include "views/menu/MenuArtwork.h"
#include "notification/Interfaces.h"
#include "views/common/ViewHost.h"
#include "views/common/ViewRegistry.h"

namespace {
TTavImageButton* MakeButton(QWidget* parent, const QString& name, const QString& art, bool selectable, qreal w, qreal h) {
  InitMenuArtwork();
  auto* button = new TTavImageButton(parent);
  button->SetName(name);
  button->SetSize(w, h);
  const QString base = ":/images/menu/" + art;
  button->BitmapDefault().LoadFromFile(base + ".svg");
  button->BitmapMouseOver().LoadFromFile(base + "_over.svg");
  button->BitmapPressed().LoadFromFile(base + "_pressed.svg");
  if (selectable) button->BitmapSelected().LoadFromFile(base + "_selected.svg");
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

// The screen-size and guide-line buttons reach out to the left of the 118
// units the right-hand layout is designed with; it is made wide enough to
// hold them (the toolkit clips a control to its parent), and the centred
// viewer switch keeps its place by a left margin of the same width.
constexpr qreal LayoutRightWidth = 210;
}  // namespace

TFrameTabSub::TFrameTabSub(QWidget* owner) : TFrame(owner, "TFrameTabSub", 1086, 710) {
  LayoutContent = new TLayout(this);
  LayoutContent->SetName("LayoutContent");
  LayoutContent->SetSize(1086, 644);
  LayoutContent->SetAlign(TAlignLayout::Client);

  LayoutHeader = new TLayout(this);
  LayoutHeader->SetName("LayoutHeader");
  LayoutHeader->SetSize(1086, 66);
  LayoutHeader->SetAlign(TAlignLayout::Top);
  RectangleBG = new TRectangle(LayoutHeader);
  RectangleBG->SetName("RectangleBG");
  RectangleBG->SetFillColor(Qt::white);
  RectangleBG->SetBounds(0, 0, 1086, 66);
  RectangleBG->SetAlign(TAlignLayout::Contents);

  LayoutViewer = new TLayout(RectangleBG);
  LayoutViewer->SetName("LayoutViewer");
  LayoutViewer->SetSize(1086, 66);
  LayoutViewer->SetAlign(TAlignLayout::Top);
  LayoutViewer->hide();
  LayoutRight = new TLayout(LayoutViewer);
  LayoutRight->SetName("LayoutRight");
  LayoutRight->SetSize(LayoutRightWidth, 66);
  LayoutRight->SetAlign(TAlignLayout::Right);
  TavImageButtonFullScreen = MakeButton(LayoutRight, "TavImageButtonFullScreen", "sub_fullscreen", false, 141, 57);
  TavImageButtonFullScreen->SetMargins(0, 9, 9, 0);
  TavImageButtonFullScreen->SetAlign(TAlignLayout::Right);
  TavImageButtonFullScreen->OnClick = [this](TControl* s) { TavImageButtonFullScreenClick(s); };
  TavImageButtonMidiumScreen = MakeButton(LayoutRight, "TavImageButtonMidiumScreen", "sub_midiumscreen", false, 141, 57);
  TavImageButtonMidiumScreen->SetMargins(0, 9, 9, 0);
  TavImageButtonMidiumScreen->SetAlign(TAlignLayout::Right);
  TavImageButtonMidiumScreen->hide();
  TavImageButtonMidiumScreen->OnClick = [this](TControl* s) { TavImageButtonMidiumScreenClick(s); };
  TavImageButtonGuideLine = MakeButton(LayoutRight, "TavImageButtonGuideLine", "sub_guideline", true, 50, 57);
  TavImageButtonGuideLine->BitmapDisabled().LoadFromFile(":/images/menu/sub_guideline_disabled.svg");
  TavImageButtonGuideLine->SetMargins(0, 9, 9, 0);
  TavImageButtonGuideLine->SetAlign(TAlignLayout::Right);
  TavImageButtonGuideLine->OnClick = [this](TControl* s) { TavImageButtonGuideLineClick(s); };
  LayoutCenter = new TLayout(LayoutViewer);
  LayoutCenter->SetName("LayoutCenter");
  LayoutCenter->SetSize(178, 23);
  LayoutCenter->SetMargins(LayoutRightWidth, 0, 0, 0);
  LayoutCenter->SetAlign(TAlignLayout::Center);
  TavImageButtonViewerOne = MakeButton(LayoutCenter, "TavImageButtonViewerOne", "sub_viewerone", true, 61, 17);
  TavImageButtonViewerOne->SetPosition(0, 0);
  TavImageButtonViewerOne->SetGroupName("Viewer");
  TavImageButtonViewerOne->OnClick = [this](TControl* s) { TavImageButtonViewerOneClick(s); };
  TavImageButtonViewerThree = MakeButton(LayoutCenter, "TavImageButtonViewerThree", "sub_viewerthree", true, 63, 23);
  TavImageButtonViewerThree->SetPosition(115, 0);
  TavImageButtonViewerThree->SetGroupName("Viewer");
  TavImageButtonViewerThree->OnClick = [this](TControl* s) { TavImageButtonViewerThreeClick(s); };

  LayoutSulo = new TLayout(RectangleBG);
  LayoutSulo->SetName("LayoutSulo");
  LayoutSulo->SetBounds(0, 0, 1086, 66);
  TavImageButtonSetting = MakeButton(LayoutSulo, "TavImageButtonSetting", "sub_setting", false, 50, 57);
  TavImageButtonSetting->SetMargins(0, 9, 9, 0);
  TavImageButtonSetting->SetAlign(TAlignLayout::Right);
  TavImageButtonSetting->OnClick = [this](TControl* s) { TavImageButtonSettingClick(s); };
  LayoutSubmenuContainer = new TLayout(LayoutSulo);
  LayoutSubmenuContainer->SetName("LayoutSubmenuContainer");
  LayoutSubmenuContainer->SetSize(393, 33);
  LayoutSubmenuContainer->SetAlign(TAlignLayout::Center);
  TavImageButtonSulo = MakeButton(LayoutSubmenuContainer, "TavImageButtonSulo", "sub_sulo", true, 105, 33);
  TavImageButtonSulo->SetAlign(TAlignLayout::Left);
  TavImageButtonSulo->OnClick = [this](TControl* s) { TavImageButtonSuloClick(s); };
  TavImageButtonPortrait = MakeButton(LayoutSubmenuContainer, "TavImageButtonPortrait", "sub_portrait", true, 105, 33);
  TavImageButtonPortrait->SetMargins(39, 0, 0, 0);
  TavImageButtonPortrait->SetAlign(TAlignLayout::Left);
  TavImageButtonPortrait->OnClick = [this](TControl* s) { TavImageButtonPortraitClick(s); };
  TavImageButtonUV = MakeButton(LayoutSubmenuContainer, "TavImageButtonUV", "sub_uv", true, 105, 33);
  TavImageButtonUV->SetMargins(39, 0, 0, 0);
  TavImageButtonUV->SetAlign(TAlignLayout::Left);
  TavImageButtonUV->OnClick = [this](TControl* s) { TavImageButtonUVClick(s); };
  for (TTavImageButton* b : {TavImageButtonSulo, TavImageButtonPortrait, TavImageButtonUV}) b->SetGroupName("Sulo");
  TavImageButtonSulo->SetIsSelected(true);
  TavImageButtonViewerOne->SetIsSelected(true);
}

void TFrameTabSub::setSubTab(const std::string& Name) {
  LayoutSulo->hide();
  LayoutViewer->hide();
  if (Name == "Sulo") {
    LayoutSulo->show();
    ShowView("TFrameSulo", "LayoutContent", 2);
  } else if (Name == "Viewer") {
    LayoutViewer->show();
    ShowView("TFrameViewerOne", "LayoutContent", 3);
  }
  Trace("Sub content width : " + std::to_string(LayoutContent->Width()));
  Trace("Sub content height : " + std::to_string(LayoutContent->Height()));
}

void TFrameTabSub::ShowView(const std::string& ViewName, const std::string& ParentView, int) {
  TControl* layout = FindHostLayout(this, ParentView);
  if (FindHostedView(layout, QString::fromStdString(TViewRegistry::ViewName(ViewName)))) return;
  HostView(this, ViewName, ParentView);
  // LayoutSulo may not be on screen yet (the sub-menu is made before its
  // window is shown): what counts is that it was not hidden.
  if (!LayoutSulo->isHidden())
    Notify<IMenuChangeListener>(&IMenuChangeListener::SubMenuChanged, GetCurrentSubMenu());
}

TTakePictureMode TFrameTabSub::GetCurrentSubMenu() const {
  if (TavImageButtonSulo->IsSelected()) return TTakePictureMode::Sulo;
  if (TavImageButtonPortrait->IsSelected()) return TTakePictureMode::Portrait;
  if (TavImageButtonUV->IsSelected()) return TTakePictureMode::UV;
  return TTakePictureMode::Sulo;
}

void TFrameTabSub::TavImageButtonSuloClick(TControl*) {
  Notify<IMenuChangeListener>(&IMenuChangeListener::SubMenuChanged, TTakePictureMode::Sulo);
}

void TFrameTabSub::TavImageButtonPortraitClick(TControl*) {
  Notify<IMenuChangeListener>(&IMenuChangeListener::SubMenuChanged, TTakePictureMode::Portrait);
}

void TFrameTabSub::TavImageButtonUVClick(TControl*) {
  Notify<IMenuChangeListener>(&IMenuChangeListener::SubMenuChanged, TTakePictureMode::UV);
}

void TFrameTabSub::TavImageButtonSettingClick(TControl*) {
  // The rig must not move while settings are edited. Without an open port
  // there is no motor to stop, and the settings stay reachable.
  if (DeviceModule && DeviceModule->IsComportConnected()) DeviceModule->MotorStop();
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
}

void TFrameTabSub::TavImageButtonViewerOneClick(TControl*) {
  // The button's own selection changes after this handler.
  if (!TavImageButtonViewerOne->IsSelected()) ShowView("TFrameViewerOne", "LayoutContent", 2);
}

void TFrameTabSub::TavImageButtonViewerThreeClick(TControl*) {
  if (!TavImageButtonViewerThree->IsSelected()) ShowView("TFrameViewerThree", "LayoutContent", 2);
}

void TFrameTabSub::TavImageButtonFullScreenClick(TControl*) {
  Notify<IWindowSizeControl>(&IWindowSizeControl::SetFullSize);
  TavImageButtonFullScreen->hide();
  TavImageButtonMidiumScreen->show();
}

void TFrameTabSub::TavImageButtonMidiumScreenClick(TControl*) {
  Notify<IWindowSizeControl>(&IWindowSizeControl::SetMidiumSize);
  TavImageButtonFullScreen->show();
  TavImageButtonMidiumScreen->hide();
}

void TFrameTabSub::TavImageButtonGuideLineClick(TControl*) {
  TavImageButtonGuideLine->SetBitmapDefault(FGuideLineToggle ? TavImageButtonGuideLine->BitmapDisabled()
                                                             : TavImageButtonGuideLine->BitmapSelected());
  FGuideLineToggle = !FGuideLineToggle;
  Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
}
