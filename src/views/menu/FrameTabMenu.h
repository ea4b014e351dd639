// The working screen's frame: a header with the logo and the Shoot and Viewer
// tabs, a content area hosting the mode sub-menu, and three hidden layers on
// top: the grey cover that blocks the mode row while a shot runs, the save
// popup that asks whether to keep a picture, and the access-code popup that
// guards the settings window.
//
// Serves ISavePopup, IWindowSizeControl and ISettingPasswordPopup (joined in
// that order when made, left when destroyed); answers the shooting view
// through ISavePopupListener.
#pragma once

#include <string>

#include "notification/Interfaces.h"
#include "views/common/Frame.h"
#include "views/widgets/Animation.h"
#include "views/widgets/Edit.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"

class TFrameTabMenu : public TFrame, public ISavePopup, public IWindowSizeControl, public ISettingPasswordPopup {
  Q_OBJECT
 public:
  explicit TFrameTabMenu(QWidget* owner);
  ~TFrameTabMenu() override;

  // The access code that opens the settings window.
  static constexpr const char* SettingPassword = "9526";

  TLayout* LayoutTabContent;
  TLayout* LayoutDisableBG;
  TRectangle* RectangleDisableBG;
  TLayout* LayoutSavePopup;
  TLayout* LayoutPopupContent;
  TRectangle* RectanglePopupContentBG;
  TTavImageButton* TavImageButtonSave;
  TTavImageButton* TavImageButtonSaveAs;
  TTavImageButton* TavImageButtonDontSave;
  TImage* ImageSave;
  TImage* ImageSaveSuccess;
  TImage* ImageDontSave;
  TFloatAnimation* FloatAnimationPopup;
  TLayout* LayoutHeader;
  TRectangle* RectangleTabBg;
  TLayout* LayoutLeft;
  TImage* ImageLogo;
  TLayout* LayoutCenter;
  TTavImageButton* TavImageButtonTabShoot;
  TTavImageButton* TavImageButtonTabViewer;
  TImage* ImageTabAnimationBar;
  TFloatAnimation* FloatAnimationMenuBar;
  TFocusLayout* LayoutSettingPasswordPopup;
  TRectangle* RectanglePasswordBG;
  TLabel* LabelInput;
  TEdit* EditPassword;
  TButton* ButtonCancel;
  TButton* ButtonConfirm;
  TLabel* LabelError;

  // Passes the face ("Sulo" or "Viewer") to the hosted mode sub-menu.
  void setSubTab(const std::string& Name);
  // Hosts a view by class name in one of this frame's layouts; WinType is
  // accepted and ignored.
  void ShowView(const std::string& ViewName, const std::string& ParentView, int WinType);

  void InitSavePopup();
  void CloseSavePopup();

  // ISavePopup.
  void SetDisableBG() override;
  void OpenSavePopup() override;
  void SaveSuccess() override;
  void SetEnableScreen() override;
  // IWindowSizeControl.
  void SetFullSize() override;
  void SetMidiumSize() override;
  // ISettingPasswordPopup.
  void OpenSettingPasswordPopup() override;

  void TavImageButtonTabShootClick(TControl* Sender);
  void TavImageButtonTabViewerClick(TControl* Sender);
  void TavImageButtonSaveClick(TControl* Sender);
  void TavImageButtonSaveAsClick(TControl* Sender);
  void TavImageButtonDontSaveClick(TControl* Sender);
  void ButtonConfirmClick(TControl* Sender);
  void ButtonCancelClick(TControl* Sender);
  void FloatAnimationPopupFinish(TFloatAnimation* Sender);

 private:
  void HidePasswordPopup();
  // Gives the code field the focus with its text selected.
  void SelectPassword();
  // The grey cover shows: a shot runs or its picture waits for an answer.
  bool ShotInProgress() const;
};
