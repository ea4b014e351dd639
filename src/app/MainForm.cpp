#include "app/MainForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QKeyEvent>
#include <QScreen>
#include <cmath>

#include "board/DeviceModule.h"
#include "camera/Canon.h"
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/start/FrameSaveLocation.h"
#include "views/start/FrameSplash.h"
#include "views/shooting/FrameSulo.h"
#include "views/menu/FrameTabMenu.h"
#include "views/menu/FrameTabSub.h"
#include "views/viewer/FrameViewerOne.h"
#include "views/viewer/FrameViewerThree.h"
#include "views/common/ViewHost.h"
#include "views/common/ViewRegistry.h"
#include "views/widgets/ErrorHook.h"
#include "views/widgets/WindowHeader.h"

TMainForm* MainForm = nullptr;

long long RoundHalfEven(long double value) {
  const long double lower = std::floor(value);
  const long double diff = value - lower;
  long long result = static_cast<long long>(lower);
  if (diff > 0.5L || (diff == 0.5L && (result % 2 != 0))) ++result;
  return result;
}

namespace {
// The design size each window type stands for; type 3 is the screen.
QSize WinTypeSize(int winType, QSize screen) {
  switch (winType) {
    case 1:
      return QSize(870, 429);
    case 2:
      return QSize(1086, 806);
    default:
      return screen;
  }
}
}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle("Form1");
  setFocusPolicy(Qt::StrongFocus);

  RectangleClient = new TRectangle(this);
  RectangleClient->SetName("RectangleClient");
  RectangleClient->SetFillColor(QColor(0xEE, 0xF1, 0xF2));

  // The title bar: drag area, logo, minimise and close.
  const TWindowHeader header = MakeWindowHeader(RectangleClient, 870);
  LayoutHeader = header.LayoutHeader;
  RectangleHeaderBG = header.RectangleHeaderBG;
  LayoutLogo = header.LayoutLogo;
  ImageLogo = header.ImageLogo;
  LayoutBtnClose = header.LayoutBtnClose;
  TavImageButtonClose = header.TavImageButtonClose;
  LayoutBtnMinimize = header.LayoutBtnMinimize;
  TavImageButtonMinimize = header.TavImageButtonMinimize;
  RectangleHeaderBG->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    RectangleHeaderBGMouseDown(s, b, k, x, y);
  };
  RectangleHeaderBG->OnMouseMove = [this](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDrag.Follow(); };
  RectangleHeaderBG->OnMouseUp = [this](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDrag.End(); };
  TavImageButtonClose->OnClick = [this](TControl* s) { TavImageButtonCloseClick(s); };
  TavImageButtonMinimize->OnClick = [this](TControl* s) { TavImageButtonMinimizeClick(s); };

  LayoutContent = new TLayout(RectangleClient);
  LayoutContent->SetName("LayoutContent");
  LayoutContent->SetSize(854, 390);
  LayoutContent->SetAlign(TAlignLayout::Client);

  TimerStartUp = new TTimer(this);
  TimerStartUp->SetEnabled(false);
  TimerStartUp->SetInterval(100);
  TimerStartUp->OnTimer = [this](TTimer* s) { TimerStartUpTimer(s); };

  resize(854, 429);
  FormCreate();
}

TMainForm::~TMainForm() {
  TimerStartUp->SetEnabled(false);
  // The hosted views go first (the shooting view stops live view, lights and
  // motor), then the camera is shut down.
  for (QWidget* view : LayoutContent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) delete view;
  if (FInitialized && TGlobal::FInstance) {
    TCanon& canon = TGlobal::FInstance->Canon();
    canon.Close();
    canon.Finalize();
  }
  if (TNotificationCenter::FInstance) {
    TNotificationCenter::FInstance->Remove<IWindowSizeControl>(this);
    TNotificationCenter::FInstance->Remove<IViewNavigation>(this);
    TNotificationCenter::FInstance->Remove<IDeviceScanning>(this);
  }
  if (MainForm == this) MainForm = nullptr;
}

QRect TMainForm::ScreenGeometry() const {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
}

QRect TMainForm::AvailableGeometry() const {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : ScreenGeometry();
}

void TMainForm::setScreenRatio() {
  // The small ratio also where the working window would not fit the screen's
  // height at full size (a 1366 x 768 screen), or its title bar would sit
  // above the screen's top edge.
  const bool narrow = ScreenGeometry().width() <= 1280;
  const bool low = AvailableGeometry().height() < WinTypeSize(2, QSize()).height();
  CurrentScreenRatio = narrow || low ? 0.6666L : 1.0L;
}

void TMainForm::RegisterViewClasses() {
  TViewRegistry::Register<TFrameSplash>("TFrameSplash");
  TViewRegistry::Register<TFrameSaveLocation>("TFrameSaveLocation");
  TViewRegistry::Register<TFrameTabMenu>("TFrameTabMenu");
  TViewRegistry::Register<TFrameTabSub>("TFrameTabSub");
  TViewRegistry::Register<TFrameSulo>("TFrameSulo");
  TViewRegistry::Register<TFrameViewerOne>("TFrameViewerOne");
  TViewRegistry::Register<TFrameViewerThree>("TFrameViewerThree");
}

QWidget* TMainForm::CurrentView(const std::string& ParentView) const {
  try {
    return CurrentHostedView(FindHostLayout(const_cast<TMainForm*>(this), ParentView));
  } catch (const EViewNotRegistered&) {
    return nullptr;
  }
}

void TMainForm::ShowView(std::string ViewName, std::string ParentView, std::int32_t WinType) {
  setWindowSize(WinType);
  HostView(this, ViewName, ParentView);
  setCenter();
}

void TMainForm::SetContent(QWidget* Content, const std::string& ParentView) {
  ::SetContent(Content, FindHostLayout(this, ParentView));
}

void TMainForm::RemoveContent(const QString& ExceptViewName, QWidget* ParentLayout) {
  ::RemoveContent(ExceptViewName, ParentLayout);
}

void TMainForm::setWindowSize(int winType) {
  const long double r = CurrentScreenRatio;
  Trace("content width : " + std::to_string(LayoutContent->width()));
  const QSize design = WinTypeSize(winType, ScreenGeometry().size());
  int w = static_cast<int>(RoundHalfEven(design.width() * r));
  int h = static_cast<int>(RoundHalfEven(design.height() * r));
  // Full size covers the whole screen at either ratio: its design size is the
  // screen's size divided by the ratio.
  if (winType == 3) {
    w = design.width();
    h = design.height();
  }
  resize(w, h);
  Trace("Main content width : " + std::to_string(w));
  Trace("Main content height : " + std::to_string(h));
  RectangleClient->SetScale(static_cast<float>(r), static_cast<float>(r));
  RectangleClient->SetBounds(0, 0, w / static_cast<qreal>(r), h / static_cast<qreal>(r));
  ReleaseMouseCapture();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const qreal r = static_cast<qreal>(CurrentScreenRatio);
  RectangleClient->SetBounds(0, 0, width() / r, height() / r);
}

void TMainForm::setCenter() {
  const QRect screen = ScreenGeometry();
  move(screen.left() + (screen.width() - width()) / 2, screen.top() + (screen.height() - height()) / 2);
}

void TMainForm::SetFullSize() {
  setWindowSize(3);
  move(ScreenGeometry().topLeft());
}

void TMainForm::SetMidiumSize() { setWindowSize(2); }

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
  // Space belongs to the edit or push button that has the focus (typing a
  // blank, pressing the button); only elsewhere is it the shot.
  QWidget* focus = QApplication::focusWidget();
  const bool taken = qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractButton*>(focus);
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && !taken) {
    Guarded([] { Notify<ICameraControlListener>(&ICameraControlListener::Shoot); });
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TMainForm::TavImageButtonCloseClick(TControl*) { close(); }

void TMainForm::TavImageButtonMinimizeClick(TControl*) { showMinimized(); }

void TMainForm::RectangleHeaderBGMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDrag.Begin(); }

// Start-up ----------------------------------------------------------------

void TMainForm::FormCreate() {
  TimerStartUp->SetInterval(500);
  TimerStartUp->SetEnabled(true);
}

void TMainForm::TimerStartUpTimer(TTimer*) {
  if (FInitialized) return;
  TimerStartUp->SetEnabled(false);
  FInitialized = true;
  Init();
}

void TMainForm::Init() {
  Trace("TMainForm.Init");
  if (TConfiguration::FInstance) TConfiguration::FInstance->Load();
  setScreenRatio();
  RegisterViewClasses();
  ShowView("TFrameSplash", "LayoutContent", 1);
  setCenter();
  if (TNotificationCenter::FInstance) {
    TNotificationCenter::FInstance->Add<IDeviceScanning>(this);
    TNotificationCenter::FInstance->Add<IViewNavigation>(this);
    TNotificationCenter::FInstance->Add<IWindowSizeControl>(this);
  }
  if (DeviceModule) DeviceModule->ComportScan();
}

void TMainForm::ScanComplete(const bool Found) {
  Trace(std::string("ScanComplete : ") + (Found ? "True" : "False"));
  ShowView("TFrameSaveLocation", "LayoutContent", 1);
  if (Found) {
    if (TGlobal::FInstance) {
      TCanon& canon = TGlobal::FInstance->Canon();
      canon.Initialize();
      canon.Open();
    }
    FInitialized = true;
    Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, true);
  } else {
    Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, false);
  }
}
