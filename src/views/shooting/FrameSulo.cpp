#include "views/shooting/FrameSulo.h"

#include <QCursor>
#include <QCoreApplication>
#include <QTimer>

#include "board/DeviceModule.h"
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/widgets/ErrorHook.h"

static void InitShootingArtwork() { Q_INIT_RESOURCE(shooting); }

namespace {
TTavImageButton* MakeButton(QWidget* parent, const char* name, const QString& art, qreal x, qreal y, qreal w, qreal h,
                            bool toggle = false) {
  auto* button = new TTavImageButton(parent);
  button->SetName(name);
  button->SetBounds(x, y, w, h);
  const QString base = ":/images/sulo/" + art;
  button->BitmapDefault().LoadFromFile(base + ".svg");
  button->BitmapMouseOver().LoadFromFile(base + "_over.svg");
  button->BitmapPressed().LoadFromFile(base + "_pressed.svg");
  if (toggle) {
    button->BitmapSelected().LoadFromFile(base + "_selected.svg");
    button->BitmapDisabled().LoadFromFile(base + "_disabled.svg");
  }
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

TImage* MakeImage(QWidget* parent, const char* name, const QString& file, qreal x, qreal y, qreal w, qreal h) {
  auto* image = new TImage(parent);
  image->SetName(name);
  image->SetBounds(x, y, w, h);
  if (!file.isEmpty()) image->Bitmap().LoadFromFile(file);
  return image;
}

// A white box holding a path edit, as the panel shows the overlay file and
// the save folder.
TEdit* MakePathField(QWidget* parent, const char* boxName, const char* editName, qreal x, qreal y, TRectangle*& box) {
  box = new TRectangle(parent);
  box->SetName(boxName);
  box->SetBounds(x, y, 289, 30);
  box->SetFillColor(Qt::white);
  auto* edit = new TEdit(box);
  edit->SetName(editName);
  edit->SetAlign(TAlignLayout::Contents);
  edit->SetTransparent(true);
  edit->SetTextPadding(5);
  edit->SetFontSize(12);
  edit->SetFontColor(QColor(0x78, 0x78, 0x78));
  return edit;
}

// A filled rectangle placed in design units; `hit` false lets the pointer
// through to what lies beneath.
TRectangle* MakeRectangle(QWidget* parent, const char* name, QRectF bounds, QColor fill, bool hit = true) {
  auto* rectangle = new TRectangle(parent);
  rectangle->SetName(name);
  rectangle->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
  rectangle->SetFillColor(fill);
  rectangle->SetHitTest(hit);
  return rectangle;
}

const QColor GuideColor(0x72, 0xCB, 0xD1);
}  // namespace

TFrameSulo::TFrameSulo(QWidget* owner) : TFrame(owner, "TFrameSulo", 1086, 644) {
  static const bool artwork = (InitShootingArtwork(), true);
  (void)artwork;
  // 1. The controls. The content keeps its proportions; what it leaves at
  // the sides continues the photo pane's black and the panel's grey.
  auto* background = new TRectangle(this);
  background->SetFillColor(QColor(0xEE, 0xF1, 0xF2));
  background->SetAlign(TAlignLayout::Contents);
  FPhotoSide = new TRectangle(background);
  FPhotoSide->SetFillColor(Qt::black);
  ScaledLayoutContent = new TFitScaledLayout(this);
  ScaledLayoutContent->SetName("ScaledLayoutContent");
  ScaledLayoutContent->SetOriginalSize(1086, 644);
  ScaledLayoutContent->SetAlign(TAlignLayout::Client);

  LayoutPhoto = new TLayout(ScaledLayoutContent);
  LayoutPhoto->SetName("LayoutPhoto");
  LayoutPhoto->SetBounds(0, 0, 543, 644);
  RectanglePhotoBG = new TRectangle(LayoutPhoto);
  RectanglePhotoBG->SetName("RectanglePhotoBG");
  RectanglePhotoBG->SetFillColor(Qt::black);
  RectanglePhotoBG->SetBounds(0, 0, 543, 644);

  LayoutTackPicture = new TLayout(LayoutPhoto);
  LayoutTackPicture->SetName("LayoutTackPicture");
  LayoutTackPicture->SetBounds(0, 0, 543, 644);
  ImageTakePicture = MakeImage(LayoutTackPicture, "ImageTakePicture", QString(), 0, 0, 543, 644);
  ImageTakePicture->hide();

  LayoutLiveView = new TLayout(LayoutPhoto);
  LayoutLiveView->SetName("LayoutLiveView");
  LayoutLiveView->SetBounds(0, 0, 543, 644);
  ImageLiveView = MakeImage(LayoutLiveView, "ImageLiveView", QString(), 0, 0, 543, 644);
  ImageLiveView->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    ImageLiveViewMouseDown(s, b, k, x, y);
  };
  ImageLiveView->OnMouseMove = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    ImageLiveViewMouseMove(s, b, k, x, y);
  };
  ImageLiveView->OnMouseUp = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    ImageLiveViewMouseUp(s, b, k, x, y);
  };
  ImageLeft = MakeImage(LayoutLiveView, "ImageLeft", ":/images/sulo/marker_left.svg", 60, 560, 66, 66);
  ImageLeft->hide();
  ImageRight = MakeImage(LayoutLiveView, "ImageRight", ":/images/sulo/marker_right.svg", 410, 560, 66, 66);
  ImageRight->hide();

  LayoutOverlay = new TLayout(LayoutPhoto);
  LayoutOverlay->SetName("LayoutOverlay");
  LayoutOverlay->SetBounds(0, 0, 543, 644);
  LayoutOverlay->hide();
  ImageOverlay = MakeImage(LayoutOverlay, "ImageOverlay", ":/images/sulo/overlay_placeholder.svg", 0, 0, 543, 644);
  ImageOverlay->SetAlign(TAlignLayout::Top);
  ImageOverlay->SetOpacity(0.6);

  LayoutGrid = new TLayout(LayoutPhoto);
  LayoutGrid->SetName("LayoutGrid");
  LayoutGrid->SetAlign(TAlignLayout::Contents);
  LayoutGrid->hide();
  RectangleX = MakeRectangle(LayoutGrid, "RectangleX", {0, 321, 543, 1}, GuideColor, false);
  RectangleY = MakeRectangle(LayoutGrid, "RectangleY", {271, 0, 1, 644}, GuideColor, false);
  RectangleGridBG = new TRectangle(LayoutGrid);
  RectangleGridBG->SetName("RectangleGridBG");
  RectangleGridBG->SetFillColor(Qt::transparent);
  RectangleGridBG->SetAlign(TAlignLayout::Contents);
  RectangleGridBG->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    RectangleGridBGMouseDown(s, b, k, x, y);
  };
  RectangleGridBG->OnMouseMove = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    RectangleGridBGMouseMove(s, b, k, x, y);
  };
  RectangleGridBG->OnMouseUp = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    RectangleGridBGMouseUp(s, b, k, x, y);
  };

  LayoutFunction = new TLayout(ScaledLayoutContent);
  LayoutFunction->SetName("LayoutFunction");
  LayoutFunction->SetBounds(543, 0, 543, 644);
  RectangleFunctionBG = new TRectangle(LayoutFunction);
  RectangleFunctionBG->SetName("RectangleFunctionBG");
  RectangleFunctionBG->SetFillColor(QColor(0xEE, 0xF1, 0xF2));
  RectangleFunctionBG->SetAlign(TAlignLayout::Contents);
  QWidget* panel = RectangleFunctionBG;
  ImageFunctionTitle = MakeImage(panel, "ImageFunctionTitle", ":/images/sulo/function_title.svg", 96, 32, 357, 450);
  ImageFunctionTitle->SetHitTest(false);
  ImageOverlayOff = MakeImage(panel, "ImageOverlayOff", ":/images/sulo/overlay_off.svg", 192, 32, 69, 18);
  ImageOverlayOff->SetOpacity(0.6);
  ImageOverlayOff->setCursor(Qt::PointingHandCursor);
  ImageOverlayOff->OnClick = [this](TControl* s) { ImageOverlayOffClick(s); };
  ImageOverlayOn = MakeImage(panel, "ImageOverlayOn", ":/images/sulo/overlay_on.svg", 192, 32, 69, 18);
  ImageOverlayOn->hide();
  ImageOverlayOn->setCursor(Qt::PointingHandCursor);
  ImageOverlayOn->OnClick = [this](TControl* s) { ImageOverlayOnClick(s); };
  EditOverlayImage = MakePathField(panel, "RectangleOverlayImage", "EditOverlayImage", 96, 56, RectangleOverlayImage);
  TavImageButtonOverlayImageOpen = MakeButton(panel, "TavImageButtonOverlayImageOpen", "open", 393, 56, 60, 30);
  TavImageButtonOverlayImageOpen->OnClick = [this](TControl* s) { TavImageButtonOverlayImageOpenClick(s); };
  // The track bar's own frame is 306 wide; its thumb reaches 300 at the top value.
  TFrameMyTrackBarOpacity = new TFrameMyTrackBar(panel);
  TFrameMyTrackBarOpacity->SetName("TFrameMyTrackBarOpacity");
  TFrameMyTrackBarOpacity->SetBounds(96, 136, 306, 27);
  TFrameMyTrackBarOpacity->setEnabled(false);
  RectangleOpacityBG = new TRectangle(panel);
  RectangleOpacityBG->SetName("RectangleOpacityBG");
  RectangleOpacityBG->SetBounds(408, 136, 45, 27);
  RectangleOpacityBG->SetFillColor(Qt::white);
  RectangleOpacityBG->SetStrokeColor(QColor(0x78, 0x78, 0x78));
  LabelOpacityValue = new TLabel(RectangleOpacityBG);
  LabelOpacityValue->SetName("LabelOpacityValue");
  LabelOpacityValue->SetAlign(TAlignLayout::Contents);
  LabelOpacityValue->SetTextAlign(Qt::AlignCenter);
  LabelOpacityValue->SetFontColor(QColor(0x78, 0x78, 0x78));
  LabelOpacityValue->SetText("60%");
  TavImageButtonGuide = MakeButton(panel, "TavImageButtonGuide", "guide", 96, 212, 117, 42, true);
  TavImageButtonGuide->OnClick = [this](TControl* s) { TavImageButtonGuideClick(s); };
  TavImageButtonZoom = MakeButton(panel, "TavImageButtonZoom", "zoom", 216, 212, 117, 42, true);
  TavImageButtonZoom->OnClick = [this](TControl* s) { TavImageButtonZoomClick(s); };
  TavImageButtonFlip = MakeButton(panel, "TavImageButtonFlip", "flip", 336, 212, 117, 42, true);
  TavImageButtonFlip->OnClick = [this](TControl* s) { TavImageButtonFlipClick(s); };
  TavImageButtonFocusLeftDouble = MakeButton(panel, "TavImageButtonFocusLeftDouble", "focus_left_double", 96, 296, 87, 36);
  TavImageButtonFocusLeftDouble->OnClick = [this](TControl* s) { TavImageButtonFocusLeftDoubleClick(s); };
  TavImageButtonFocusLeft = MakeButton(panel, "TavImageButtonFocusLeft", "focus_left", 186, 296, 87, 36);
  TavImageButtonFocusLeft->OnClick = [this](TControl* s) { TavImageButtonFocusLeftClick(s); };
  TavImageButtonFocusRight = MakeButton(panel, "TavImageButtonFocusRight", "focus_right", 276, 296, 87, 36);
  TavImageButtonFocusRight->OnClick = [this](TControl* s) { TavImageButtonFocusRightClick(s); };
  TavImageButtonFocusRightDouble = MakeButton(panel, "TavImageButtonFocusRightDouble", "focus_right_double", 366, 296, 87, 36);
  TavImageButtonFocusRightDouble->OnClick = [this](TControl* s) { TavImageButtonFocusRightDoubleClick(s); };
  EditSaveLocation = MakePathField(panel, "RectangleSaveLocation", "EditSaveLocation", 96, 401, RectangleSaveLocation);
  TavImageButtonSaveLocationSelect = MakeButton(panel, "TavImageButtonSaveLocationSelect", "open", 393, 401, 60, 30);
  TavImageButtonSaveLocationSelect->OnClick = [this](TControl* s) { TavImageButtonSaveLocationSelectClick(s); };
  TavImageButtonShoot = MakeButton(panel, "TavImageButtonShoot", "shoot", 96, 472, 357, 93);
  TavImageButtonShoot->OnClick = [this](TControl* s) { TavImageButtonShootClick(s); };

  RectangleDisableBG = new TRectangle(ScaledLayoutContent);
  RectangleDisableBG->SetName("RectangleDisableBG");
  RectangleDisableBG->SetBounds(543, 0, 543, 644);
  RectangleDisableBG->SetFillColor(QColor(0x4C, 0x4C, 0x4C));
  RectangleDisableBG->SetOpacity(0.3);
  RectangleDisableBG->hide();

  TimerStop = new TTimer(this);
  TimerStop->SetEnabled(false);
  TimerStop->SetInterval(470);
  TimerShoot = new TTimer(this);
  TimerShoot->SetEnabled(false);
  TimerShoot->SetInterval(1000);
  TimerDown = new TTimer(this);
  TimerDown->SetEnabled(false);
  TimerDown->SetInterval(1000);
  TimerUV = new TTimer(this);
  TimerUV->SetEnabled(false);
  TimerUV->SetInterval(1500);
  TimerNoPicture = new TTimer(this);
  TimerNoPicture->SetEnabled(false);
  TimerNoPicture->SetInterval(NoPictureTimeoutMs);
  TimerStop->OnTimer = [this](TTimer* t) { TimerStopTimer(t); };
  TimerShoot->OnTimer = [this](TTimer* t) { TimerShootTimer(t); };
  TimerDown->OnTimer = [this](TTimer* t) { TimerDownTimer(t); };
  TimerUV->OnTimer = [this](TTimer* t) { TimerUVTimer(t); };
  TimerNoPicture->OnTimer = [this](TTimer* t) { TimerNoPictureTimer(t); };
  TimerPictureDue = new TTimer(this);
  TimerPictureDue->SetEnabled(false);
  TimerPictureDue->SetInterval(PictureDueMs);
  TimerPictureDue->OnTimer = [this](TTimer* t) {
    t->SetEnabled(false);
    if (FShotState == TShotState::Running)
      AbandonShot(QString::fromUtf8("카메라에서 사진을 받아오지 못했습니다. 다시 촬영하세요."));
  };
  TimerCameraWait = new TTimer(this);
  TimerCameraWait->SetEnabled(false);
  TimerCameraWait->SetInterval(CameraWaitMs);
  TimerCameraWait->OnTimer = [this](TTimer* t) {
    t->SetEnabled(false);
    if (FShotState == TShotState::Running)
      ShowNotice(QString::fromUtf8("카메라가 바빠서 촬영을 기다리고 있습니다. 잠시만 기다려 주세요."), TNotice::CameraWait);
  };
  TimerCameraRetry = new TTimer(this);
  TimerCameraRetry->SetEnabled(false);
  TimerCameraRetry->SetInterval(CameraRetryMs);
  TimerCameraRetry->OnTimer = [this](TTimer*) { RetryCamera(); };

  RectangleNotice = new TRectangle(LayoutPhoto);
  RectangleNotice->SetName("RectangleNotice");
  RectangleNotice->SetBounds(24, 24, 495, 64);
  RectangleNotice->SetFillColor(QColor(0x32, 0x32, 0x32, 0xE6));
  RectangleNotice->SetCornerRadius(6);
  RectangleNotice->SetHitTest(false);
  RectangleNotice->hide();
  LabelNotice = new TLabel(RectangleNotice);
  LabelNotice->SetName("LabelNotice");
  LabelNotice->SetAlign(TAlignLayout::Contents);
  LabelNotice->SetMargins(14, 0, 14, 0);
  LabelNotice->SetFontColor(Qt::white);
  LabelNotice->SetFontSize(15);
  LabelNotice->SetTextAlign(Qt::AlignCenter);
  LabelNotice->SetWordWrap(true);
  RectangleProgressBG = MakeRectangle(LayoutPhoto, "RectangleProgressBG", {0, 638, 543, 6}, QColor(0xFF, 0xFF, 0xFF, 0x40), false);
  RectangleProgressBG->hide();
  RectangleProgress = MakeRectangle(RectangleProgressBG, "RectangleProgress", {0, 0, 0, 6}, GuideColor, false);
  TimerNotice = new TTimer(this);
  TimerNotice->SetEnabled(false);
  TimerNotice->SetInterval(NoticeMs);
  TimerNotice->OnTimer = [this](TTimer* t) {
    t->SetEnabled(false);
    // A notice about the live view stays while the live view is missing.
    if (FNotice != TNotice::LiveView) RectangleNotice->hide();
  };

  FLiveMarks.Left = ImageLeft->Bitmap().Image();
  FLiveMarks.Right = ImageRight->Bitmap().Image();
  FLiveMarks.Width = FLiveMarks.Height = 66;
  FLiveMarks.Offset = 50;
  FPictureMarks = FLiveMarks;
  FPictureMarks.Width = FPictureMarks.Height = 4 * 66;
  FPictureMarks.Offset = 66;

  // 2. to 4. The bus and the camera's handlers.
  TNotificationCenter* center = TNotificationCenter::FInstance;
  if (center) {
    center->Add<ISettingChanged>(this);
    center->Add<IMenuChangeListener>(this);
    center->Add<ICameraControlListener>(this);
    center->Add<IDeviceShutdown>(this);
    center->Add<ICanon>(this);
  }
  if (TCanon* camera = Camera()) {
    camera->SetOnLiveView([this](TCanon* s, TMemoryStream& m) { on_CameraLiveView(s, m); });
    camera->SetOnTakePicture([this](TCanon* s, TMemoryStream& m) { on_CameraTakePicture(s, m); });
    camera->SetOnDownloadProgress([this](TCanon* s, std::int32_t p) { on_DownloadProgress(s, p); });
    camera->SetOnDownloadBegin([this](TCanon*) {
      // The shutter went: the camera is no longer keeping the shot waiting.
      TimerCameraWait->SetEnabled(false);
      HideNotice(TNotice::CameraWait);
    });
    camera->SetOnDownloadEnd([this](TCanon*) {
      RectangleProgressBG->hide();
      // The picture follows its transfer at once; a transfer that failed
      // brings none, and the shot need not wait out the full time-out.
      if (FShotState == TShotState::Running) TimerPictureDue->SetEnabled(true);
    });
  }
  if (center) center->Add<ISavePopupListener>(this);

  // 5. The save folder.
  if (TConfiguration::FInstance) EditSaveLocation->SetText(QString::fromStdString(TConfiguration::FInstance->General().SaveLocation));

  // 6. The opacity bar at 60 before its handler is attached: the label keeps
  // "60%" and the overlay 0.6 until the first drag.
  TFrameMyTrackBarOpacity->SetMin(0);
  TFrameMyTrackBarOpacity->SetMax(100);
  TFrameMyTrackBarOpacity->SetValue(60);
  TFrameMyTrackBarOpacity->OnValueChanged = [this](TFrameMyTrackBar* s) { on_OpacityValueChanged(s); };

  // 7. and 8. Live view and the board's port. A port that cannot be opened
  // ends the view's making: it leaves the bus and the camera first, so
  // nothing points at a view that never was.
  StartLiveView();
  try {
    Board([](TDeviceModule& m) { m.Open(); });
  } catch (...) {
    LeaveCamera();
    LeaveBus();
    throw;
  }
}

void TFrameSulo::LeaveCamera() {
  StopLiveView();
  if (TCanon* camera = Camera()) {
    camera->SetOnLiveView(nullptr);
    camera->SetOnTakePicture(nullptr);
    camera->SetOnDownloadProgress(nullptr);
    camera->SetOnDownloadBegin(nullptr);
    camera->SetOnDownloadEnd(nullptr);
  }
}

void TFrameSulo::LeaveBus() {
  if (TNotificationCenter* center = TNotificationCenter::FInstance) {
    center->Remove<ISettingChanged>(this);
    center->Remove<IMenuChangeListener>(this);
    center->Remove<ICameraControlListener>(this);
    center->Remove<ISavePopupListener>(this);
    center->Remove<IDeviceShutdown>(this);
    center->Remove<ICanon>(this);
  }
}

TFrameSulo::~TFrameSulo() {
  for (TTimer* timer : {TimerStop, TimerShoot, TimerDown, TimerUV, TimerNoPicture, TimerPictureDue, TimerCameraWait,
                        TimerCameraRetry, TimerNotice})
    timer->SetEnabled(false);
  LeaveCamera();
  // The last packets go out even when one of them fails. A failure is shown
  // once the view is gone: a message box now would run the event loop inside
  // this destructor, with the view still on the bus.
  for (auto command : {+[](TDeviceModule& m) { m.LEDOff(); }, +[](TDeviceModule& m) { m.MotorDown(10); }}) {
    try {
      Board(command);
    } catch (...) {
      Trace("Shooting view closed with a board failure");
      QTimer::singleShot(0, QCoreApplication::instance(), [error = std::current_exception()] { HandleError(error); });
    }
  }
  Board([](TDeviceModule& m) { m.Close(); });
  LeaveBus();
}

void TFrameSulo::resizeEvent(QResizeEvent* event) {
  TFrame::resizeEvent(event);
  // The content is centred, so the photo pane always ends at the middle.
  FPhotoSide->SetBounds(0, 0, Width() / 2, Height());
}

TCanon* TFrameSulo::Camera() { return TGlobal::FInstance ? &TGlobal::FInstance->Canon() : nullptr; }

TTakePictureConfiguration* TFrameSulo::Configuration(TTakePictureMode mode) {
  return TConfiguration::FInstance ? TConfiguration::FInstance->GetTakePictureConfiguraion(mode) : nullptr;
}
