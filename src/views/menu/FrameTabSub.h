// The mode sub-menu: a button row above a content area, with two faces. The
// shooting face offers the Sulo, Portrait and UV modes and the settings
// button above the shooting view; the viewer face offers the one-up /
// three-up switch, the guide lines and the screen size above a viewer.
//
// It hosts the shooting view or a viewer by class name and turns its buttons
// into notifications (IMenuChangeListener, IWindowSizeControl,
// IViewerListener, ISettingPasswordPopup); it serves no interface itself.
#pragma once

#include <string>

#include "configuration/TakePicture.h"
#include "views/common/Frame.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"

class TFrameTabSub : public TFrame {
  Q_OBJECT
 public:
  explicit TFrameTabSub(QWidget* owner);

  TLayout* LayoutContent;
  TLayout* LayoutHeader;
  TRectangle* RectangleBG;
  TLayout* LayoutViewer;
  TLayout* LayoutCenter;
  TTavImageButton* TavImageButtonViewerOne;
  TTavImageButton* TavImageButtonViewerThree;
  TLayout* LayoutRight;
  TTavImageButton* TavImageButtonFullScreen;
  TTavImageButton* TavImageButtonGuideLine;
  TTavImageButton* TavImageButtonMidiumScreen;
  TLayout* LayoutSulo;
  TLayout* LayoutSubmenuContainer;
  TTavImageButton* TavImageButtonSulo;
  TTavImageButton* TavImageButtonPortrait;
  TTavImageButton* TavImageButtonUV;
  TTavImageButton* TavImageButtonSetting;

  // Whether the operator has switched the guide lines on here (the button's look).
  bool FGuideLineToggle = false;

  // "Sulo": the shooting face with the shooting view; "Viewer": the viewer
  // face with the one-up viewer; any other name changes nothing.
  void setSubTab(const std::string& Name);
  // Hosts a view by class name in one of this frame's layouts (a view of the
  // same class already there stays); WinType is accepted and ignored. While
  // the shooting row shows, a newly hosted view is told the selected mode.
  void ShowView(const std::string& ViewName, const std::string& ParentView, int WinType);
  TTakePictureMode GetCurrentSubMenu() const;

  void TavImageButtonSuloClick(TControl* Sender);
  void TavImageButtonPortraitClick(TControl* Sender);
  void TavImageButtonUVClick(TControl* Sender);
  void TavImageButtonSettingClick(TControl* Sender);
  void TavImageButtonViewerOneClick(TControl* Sender);
  void TavImageButtonViewerThreeClick(TControl* Sender);
  void TavImageButtonFullScreenClick(TControl* Sender);
  void TavImageButtonMidiumScreenClick(TControl* Sender);
  void TavImageButtonGuideLineClick(TControl* Sender);
};
