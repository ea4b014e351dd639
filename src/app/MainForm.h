// The main window: a borderless window with its own title bar that hosts one
// view at a time in "LayoutContent", creating each view from its class name.
// It serves IViewNavigation and IWindowSizeControl, runs the start-up
// sequence (configuration, splash, board scan, camera) and shuts the camera
// down when it is destroyed.
#pragma once

#include <QSize>
#include <QWidget>
#include <string>

#include "notification/Interfaces.h"
#include "views/widgets/Control.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"
#include "views/widgets/WindowHeader.h"
#include "views/widgets/Timer.h"

class TMainForm : public QWidget, public IDeviceScanning, public IViewNavigation, public IWindowSizeControl {
  Q_OBJECT
 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // Controls (positions in design units).
  TRectangle* RectangleClient;  // the window's background; scaled by the screen ratio
  TLayout* LayoutHeader;
  TRectangle* RectangleHeaderBG;
  TLayout* LayoutLogo;
  TImage* ImageLogo;
  TLayout* LayoutBtnClose;
  TTavImageButton* TavImageButtonClose;
  TLayout* LayoutBtnMinimize;
  TTavImageButton* TavImageButtonMinimize;
  TLayout* LayoutContent;
  TTimer* TimerStartUp;

  long double CurrentScreenRatio = 1.0L;
  bool FInitialized = false;

  void setScreenRatio();
  void RegisterViewClasses();
  // IViewNavigation. An unregistered name raises EViewNotRegistered after the
  // window was resized.
  void ShowView(std::string ViewName, std::string ParentView, std::int32_t WinType) override;
  void SetContent(QWidget* Content, const std::string& ParentView);
  void RemoveContent(const QString& ExceptViewName, QWidget* ParentLayout);
  void setWindowSize(int winType);
  void setCenter();
  // IWindowSizeControl.
  void SetFullSize() override;
  void SetMidiumSize() override;

  // Start-up and shutdown.
  void FormCreate();
  void TimerStartUpTimer(TTimer* Sender);
  void Init();
  // IDeviceScanning.
  void ScanComplete(const bool Found) override;

  void TavImageButtonCloseClick(TControl* Sender);
  void TavImageButtonMinimizeClick(TControl* Sender);
  void RectangleHeaderBGMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);

  // A header drag is under way where the system offers no window move.
  bool IsDragging() const { return FDrag.Dragging(); }
  // The view a layout shows now (nullptr when empty).
  QWidget* CurrentView(const std::string& ParentView) const;

 protected:
  // The screen the window is sized and centred on (overridden by tests).
  virtual QRect ScreenGeometry() const;
  // The part of that screen not taken by panels and task bars.
  virtual QRect AvailableGeometry() const;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TWindowDrag FDrag{this};
};

// The program's main window while it exists.
extern TMainForm* MainForm;

// Round half to even.
long long RoundHalfEven(long double value);
