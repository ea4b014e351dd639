#include "app/MainForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWindow>
#include <cmath>

#include "board/DeviceModule.h"
#include "camera/Canon.h"
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/FrameSaveLocation.h"
#include "views/FrameSplash.h"
#include "views/ViewRegistry.h"
#include "views/widgets/ErrorHook.h"

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
constexpr qreal HeaderHeight = 39;
}  // namespace

TMainForm::TMainForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle("Form1");
  setFocusPolicy(Qt::StrongFocus);

  RectangleClient = new TRectangle(this);
  RectangleClient->SetName("RectangleClient");
  RectangleClient->SetFillColor(QColor(0xEE, 0xF1, 0xF2));

  LayoutHeader = new TLayout(RectangleClient);
  LayoutHeader->SetName("LayoutHeader");
  LayoutHeader->SetSize(870, HeaderHeight);
  LayoutHeader->SetAlign(TAlignLayout::Top);

  RectangleHeaderBG = new TRectangle(LayoutHeader);
  RectangleHeaderBG->SetName("RectangleHeaderBG");
  RectangleHeaderBG->SetFillColor(QColor::fromRgba(0xFF323232));
  RectangleHeaderBG->SetAlign(TAlignLayout::Contents);
  RectangleHeaderBG->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    RectangleHeaderBGMouseDown(s, b, k, x, y);
  };
  RectangleHeaderBG->OnMouseMove = [this](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) {
    if (FDragging) move(QCursor::pos() - FDragOffset);
  };
  RectangleHeaderBG->OnMouseUp = [this](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDragging = false; };

  LayoutLogo = new TLayout(RectangleHeaderBG);
  LayoutLogo->SetName("LayoutLogo");
  LayoutLogo->SetSize(185, HeaderHeight);
  LayoutLogo->SetAlign(TAlignLayout::Left);
  ImageLogo = new TImage(LayoutLogo);
  ImageLogo->SetName("ImageLogo");
  ImageLogo->SetBounds(0, 0, 185, HeaderHeight);
  ImageLogo->SetHitTest(false);
  ImageLogo->Bitmap().LoadFromFile(":/images/logo.svg");

  LayoutBtnClose = new TLayout(RectangleHeaderBG);
  LayoutBtnClose->SetName("LayoutBtnClose");
  LayoutBtnClose->SetSize(50, HeaderHeight);
  LayoutBtnClose->SetAlign(TAlignLayout::Right);
  TavImageButtonClose = new TTavImageButton(LayoutBtnClose);
  TavImageButtonClose->SetName("TavImageButtonClose");
  TavImageButtonClose->SetSize(18, 18);
  TavImageButtonClose->SetAlign(TAlignLayout::Center);
  TavImageButtonClose->SetCanFocus(false);
  TavImageButtonClose->BitmapDefault().LoadFromFile(":/images/close.svg");
  TavImageButtonClose->BitmapMouseOver().LoadFromFile(":/images/close_over.svg");
  TavImageButtonClose->OnClick = [this](TControl* s) { TavImageButtonCloseClick(s); };

  LayoutBtnMinimize = new TLayout(RectangleHeaderBG);
  LayoutBtnMinimize->SetName("LayoutBtnMinimize");
  LayoutBtnMinimize->SetSize(24, HeaderHeight);
  LayoutBtnMinimize->SetAlign(TAlignLayout::Right);
  TavImageButtonMinimize = new TTavImageButton(LayoutBtnMinimize);
  TavImageButtonMinimize->SetName("TavImageButtonMinimize");
  TavImageButtonMinimize->SetSize(18, 18);
  TavImageButtonMinimize->SetAlign(TAlignLayout::Center);
  TavImageButtonMinimize->SetCanFocus(false);
  TavImageButtonMinimize->BitmapDefault().LoadFromFile(":/images/minimize.svg");
  TavImageButtonMinimize->BitmapMouseOver().LoadFromFile(":/images/minimize_over.svg");
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

void TMainForm::setScreenRatio() {
  CurrentScreenRatio = ScreenGeometry().width() <= 1280 ? 0.6666L : 1.0L;
}

void TMainForm::RegisterViewClasses() {
  TViewRegistry::Register<TFrameSplash>("TFrameSplash");
  TViewRegistry::Register<TFrameSaveLocation>("TFrameSaveLocation");
}

TControl* TMainForm::FindLayout(const std::string& name) const {
  auto* layout = findChild<TControl*>(QString::fromStdString(name));
  if (!layout) throw EViewNotRegistered("Component " + name + " not found");
  return layout;
}

QWidget* TMainForm::CurrentView(const std::string& ParentView) const {
  const TControl* layout = findChild<TControl*>(QString::fromStdString(ParentView));
  if (!layout) return nullptr;
  for (QWidget* child : layout->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!child->isHidden() && !child->objectName().isEmpty()) return child;
  return nullptr;
}

void TMainForm::ShowView(std::string ViewName, std::string ParentView, std::int32_t WinType) {
  setWindowSize(WinType);
  TControl* layout = FindLayout(ParentView);
  const QString name = QString::fromStdString(TViewRegistry::ViewName(ViewName));
  QWidget* view = nullptr;
  for (QWidget* child : layout->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (child->objectName() == name) view = child;
  if (!view) view = TViewRegistry::Create(ViewName, this);
  SetContent(view, ParentView);
  setCenter();
}

void TMainForm::SetContent(QWidget* Content, const std::string& ParentView) {
  TControl* layout = FindLayout(ParentView);
  RemoveContent(Content->objectName(), layout);
  if (Content->parentWidget() != layout) Content->setParent(layout);
  if (auto* control = qobject_cast<TControl*>(Content)) control->SetAlign(TAlignLayout::Client);
  Content->show();
  ReleaseCapture();
}

void TMainForm::RemoveContent(const QString& ExceptViewName, QWidget* ParentLayout) {
  const QList<QWidget*> children = ParentLayout->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    QWidget* child = *it;
    if (child->objectName() == ExceptViewName) continue;
    // The view may be the one whose handler is running (a button that
    // navigates): it leaves the layout now and is freed once that returns.
    child->hide();
    child->setObjectName(QString());
    child->deleteLater();
  }
}

void TMainForm::setWindowSize(int winType) {
  const long double r = CurrentScreenRatio;
  Trace("content width : " + std::to_string(LayoutContent->width()));
  const QSize design = WinTypeSize(winType, ScreenGeometry().size());
  const int w = static_cast<int>(RoundHalfEven(design.width() * r));
  const int h = static_cast<int>(RoundHalfEven(design.height() * r));
  resize(w, h);
  Trace("Main content width : " + std::to_string(w));
  Trace("Main content height : " + std::to_string(h));
  RectangleClient->SetScale(static_cast<float>(r), static_cast<float>(r));
  RectangleClient->SetBounds(0, 0, w / static_cast<qreal>(r), h / static_cast<qreal>(r));
  ReleaseCapture();
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

void TMainForm::ReleaseCapture() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    Guarded([] { Notify<ICameraControlListener>(&ICameraControlListener::Shoot); });
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TMainForm::TavImageButtonCloseClick(TControl*) { close(); }

void TMainForm::TavImageButtonMinimizeClick(TControl*) { showMinimized(); }

void TMainForm::RectangleHeaderBGMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) {
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  if (windowHandle() && windowHandle()->startSystemMove()) return;
  FDragging = true;
  FDragOffset = QCursor::pos() - pos();
}

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
