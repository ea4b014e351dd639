// The settings window: edits the shooting settings of one mode at a time in
// seventeen value spinners, and writes the configuration file on Save.
//
// A borderless top-level window of its own, owned by the widget that opens it
// (the tab menu) and destroyed with it; it does not block the main window.
// It is drawn at the owner's screen scale. The constructor reloads the
// configuration file (unsaved changes in memory are discarded), binds the
// spinners and shows the Sulo mode. Every change a spinner announces is
// written into the shown mode's record in memory at once; only Save writes
// the file. Close destroys the spinners, leaves the event bus and hides the
// window; a new window is made for the next visit.
//
//   auto* form = new TSettingForm(tabMenu);
//   form->show();
#pragma once

#include <QPoint>
#include <QWidget>
#include <array>
#include <map>

#include "configuration/TakePicture.h"
#include "notification/Interfaces.h"
#include "views/settings/FrameSpin.h"
#include "views/widgets/Control.h"
#include "views/widgets/Edit.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/Timer.h"
#include "views/widgets/TavImageButton.h"
#include "views/widgets/WindowHeader.h"

class TSettingForm : public QWidget, public ISettingChanged {
  Q_OBJECT
 public:
  explicit TSettingForm(QWidget* owner);
  ~TSettingForm() override;

  // Design size of the client area.
  static constexpr qreal ClientWidth = 870;
  static constexpr qreal ClientHeight = 765;

  // Controls (design units). The spinner fields are null once the window
  // was closed.
  TRectangle* RectangleClient;
  TLayout* LayoutHeader;
  TRectangle* RectangleHeaderBG;
  TLayout* LayoutLogo;
  TImage* ImageLogo;
  TLayout* LayoutBtnClose;
  TTavImageButton* TavImageButtonClose;
  TLayout* LayoutBtnMinimize;
  TTavImageButton* TavImageButtonMinimize;
  TLayout* LayoutTabMenu;
  TRectangle* RectangleBG;
  TLayout* LayoutViewer;
  TLayout* LayoutSubmenuContainer;
  TTavImageButton* TavImageButtonSulo;
  TTavImageButton* TavImageButtonPortrait;
  TTavImageButton* TavImageButtonUV;
  TTavImageButton* TavImageButtonPolarization;
  TButton* Button1;
  TLayout* LayoutContent;
  TLayout* GridLayout;
  TLayout* LayoutCameraSetting;
  TLabel* LabelCameraSetting;
  TFrameSpin* FrameSpinShutter;
  TFrameSpin* FrameSpinShutterDelay;
  TFrameSpin* FrameSpinDiaphragm;
  TFrameSpin* FrameSpinISO;
  TLayout* LayoutDevice;
  TLabel* LabelDevice;
  TFrameSpin* FrameSpinLighting;
  TFrameSpin* FrameSpinLightingBrightness;
  TFrameSpin* FrameSpinWhiteBalance;
  TFrameSpin* FrameSpinWhiteBalanceRevision;
  TFrameSpin* FrameSpinMotorLocation;
  TFrameSpin* FrameSpinMotorSpeed;
  TLayout* LayoutImageAdjustment;
  TLabel* LabelImageAdjistment;
  TFrameSpin* FrameSpinColorGainG;
  TFrameSpin* FrameSpinColorGainB;
  TFrameSpin* FrameSpinHue;
  TFrameSpin* FrameSpinSaturation;
  TFrameSpin* FrameSpinContrast;
  TFrameSpin* FrameSpinSharpness;
  TFrameSpin* FrameSpinImageSize;
  TTavImageButton* TavImageButtonSave;
  // Under Save: that the file was written, for a few seconds.
  TLabel* LabelSaved;
  TTimer* TimerSaved;
  static constexpr int SavedShownMs = 4000;

  // Shows the settings of `Mode`: every spinner on the bus selects the
  // mode's stored value for its kind and announces it.
  void LoadSetting(TTakePictureMode Mode);
  // ISettingChanged: one of this window's spinners changed; its value goes
  // into the shown mode's record.
  void SettingChanged(ISetting* Setting) override;

  void TavImageButtonSuloClick(TControl* Sender);
  void TavImageButtonPortraitClick(TControl* Sender);
  void TavImageButtonUVClick(TControl* Sender);
  void TavImageButtonPolarizationClick(TControl* Sender);
  // Writes the whole configuration file; a refused write is shown to the
  // operator and the window stays open with its values.
  void TavImageButtonSaveClick(TControl* Sender);
  // Destroys the spinners, then closes (hides) the window. Nothing is saved.
  void TavImageButtonCloseClick(TControl* Sender);
  void TavImageButtonMinimizeClick(TControl* Sender);
  void RectangleHeaderBGMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  // The repeat test: asks for a count and starts a series of shots.
  void Button1Click(TControl* Sender);

  TTakePictureMode TakePictureMode() const { return FTakePictureMode; }
  // The mode buttons' tags (Sulo 1, Portrait 2, UV 3, Polarization 4); 0 for
  // any other control.
  int Tag(const TControl* Control) const;
  // Pixels per design unit.
  qreal ScreenScale() const { return FScale; }
  // The spinners in kind order, Shutter to Sharpness (entries are null once
  // the window was closed).
  std::array<TFrameSpin*, 17> Spinners() const;

 protected:
  // Closing leaves ISettingChanged; closing is always allowed.
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  TFrameSpin* MakeSpin(TLayout* column, const char* name, int row);
  void FitClient();
  void DestroySpinners();
  void LeaveSettingChanged();
  bool IsOwnSpinner(const ISetting* Setting) const;

  TTakePictureMode FTakePictureMode = TTakePictureMode::Sulo;
  // The shown mode's record in the configuration store; looked up afresh
  // whenever it is written, since a load replaces every record.
  TTakePictureConfiguration* FTakePictureConfiguration = nullptr;
  std::map<const TControl*, int> FTags;
  qreal FScale = 1.0;
  TWindowDrag FDrag{this};
};
