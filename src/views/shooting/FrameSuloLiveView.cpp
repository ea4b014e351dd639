// The shooting view's live view and preview tools: the overlay and its
// opacity, the guide lines, zoom, mirror, focus and the save folder.
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/common/Dialogs.h"
#include "views/common/GuideLines.h"
#include "views/shooting/FrameSulo.h"

void TFrameSulo::StartLiveView() {
  if (TCanon* camera = Camera()) camera->StartLiveView();
}

void TFrameSulo::StopLiveView() {
  if (TCanon* camera = Camera()) camera->StopLiveView();
}

// Live view ------------------------------------------------------------------

void TFrameSulo::on_CameraLiveView(TCanon*, TMemoryStream& Stream) {
  ++FFramesSeen;
  QImage& frame = FFrames[FNextFrame];
  // A frame that cannot be decoded is skipped: the last one stays on screen.
  if (!FComposer.Compose(Stream.Memory(), Stream.Size(), FLiveMarks, FFlipHorizontal, frame)) {
    Trace("Live view frame skipped: not a picture");
    // One bad frame goes unseen; a run of them freezes the picture, and the
    // operator should know the live view is not what the camera sees now.
    if (++FBadFrames == BadFramesNoticed)
      ShowNotice(QString::fromUtf8("카메라의 라이브 뷰 화면이 손상되어 표시하지 못하고 있습니다. 카메라를 확인하세요."),
                 TNotice::LiveView);
    return;
  }
  ImageLiveView->Bitmap().SetImage(frame);
  FNextFrame = 1 - FNextFrame;
  FBadFrames = 0;
  HideNotice(TNotice::LiveView);
}

// Overlay --------------------------------------------------------------------

void TFrameSulo::TavImageButtonOverlayImageOpenClick(TControl*) {
  const std::optional<std::string> file = Dialogs().OpenFile("", "JPEG Image File (*.jpg)", "");
  if (!file) return;
  setOverlayToggle(true);
  EditOverlayImage->SetText(QString::fromStdString(*file));
  TBitmap picture;
  if (!picture.LoadFromFile(QString::fromStdString(*file)))
    throw std::runtime_error("Unable to open the picture " + *file);
  ImageOverlay->Bitmap().Assign(picture);
}

void TFrameSulo::ImageOverlayOffClick(TControl*) {
  if (!EditOverlayImage->Text().isEmpty()) setOverlayToggle(true);
}

void TFrameSulo::ImageOverlayOnClick(TControl*) { setOverlayToggle(false); }

void TFrameSulo::setOverlayToggle(bool flag) {
  ImageOverlayOff->hide();
  ImageOverlayOn->hide();
  LayoutOverlay->setVisible(flag);
  ImageOverlayOn->setVisible(flag);
  ImageOverlayOff->setVisible(!flag);
  TFrameMyTrackBarOpacity->setEnabled(flag);
}

void TFrameSulo::on_OpacityValueChanged(TFrameMyTrackBar* Sender) {
  LabelOpacityValue->SetText(QString::number(Sender->Value()) + " %");
  ImageOverlay->SetOpacity(Sender->Value() / 100.0);
}

// Guide lines ----------------------------------------------------------------

void TFrameSulo::SetToggleLook(TTavImageButton* button, bool on) {
  button->SetBitmapDefault(on ? button->BitmapSelected() : button->BitmapDisabled());
}

void TFrameSulo::TavImageButtonGuideClick(TControl*) {
  FGridToggle = !FGridToggle;
  SetToggleLook(TavImageButtonGuide, FGridToggle);
  LayoutGrid->setVisible(LayoutGrid->isHidden());
  if (!LayoutGrid->isHidden()) {
    FTakePictureConfiguration = Configuration(FMode);
    if (FTakePictureConfiguration) {
      RectangleY->SetPosition(FTakePictureConfiguration->GuideX, RectangleY->Y());
      RectangleX->SetPosition(RectangleX->X(), FTakePictureConfiguration->GuideY);
    }
  }
}

Qt::CursorShape TFrameSulo::getCursor(qreal X, qreal Y) const {
  return GuideLineCursor(X, Y, RectangleY->X(), RectangleX->Y());
}

void TFrameSulo::RectangleGridBGMouseMove(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  if (!FGridYMove && !FGridXMove) setCursor(getCursor(X, Y));
  if (FGridYMove) {
    RectangleY->SetPosition(RectangleY->X() + X - FPositionOldX, RectangleY->Y());
    FPositionOldX = static_cast<float>(X);
  }
  if (FGridXMove) {
    RectangleX->SetPosition(RectangleX->X(), RectangleX->Y() + Y - FPositionOldY);
    FPositionOldY = static_cast<float>(Y);
  }
}

void TFrameSulo::RectangleGridBGMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  const TGuideLineDrag drag = GuideLineDragFor(cursor().shape());
  FGridYMove = FGridYMove || drag.Vertical;
  FGridXMove = FGridXMove || drag.Horizontal;
  FPositionOldX = static_cast<float>(X);
  FPositionOldY = static_cast<float>(Y);
}

void TFrameSulo::RectangleGridBGMouseUp(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  setCursor(getCursor(X, Y));
  FGridYMove = FGridXMove = false;
  TTakePictureConfiguration* cfg = Configuration(FMode);
  if (!cfg) return;
  cfg->GuideX = static_cast<std::int32_t>(RectangleY->X());
  cfg->GuideY = static_cast<std::int32_t>(RectangleX->Y());
  TConfiguration::FInstance->Save();
}

// Zoom, mirror, focus, save folder ---------------------------------------------

void TFrameSulo::TavImageButtonZoomClick(TControl*) {
  TCanon* camera = Camera();
  if (FIsZoom) {
    if (camera) camera->Fit();
    SetToggleLook(TavImageButtonZoom, false);
  } else {
    if (camera) {
      camera->Zoom();
      camera->SetZoomPosition(ZoomStart);
    }
    SetToggleLook(TavImageButtonZoom, true);
  }
  FIsZoom = !FIsZoom;
}

void TFrameSulo::ImageLiveViewMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  if (!FIsZoom) return;
  FLiveViewMouseDown = true;
  FLiveViewMousePoint = ImageLiveView->LocalToAbsolute(QPointF(X, Y));
  if (TCanon* camera = Camera()) FLiveViewZoomPosition = camera->GetZoomPosition();
}

void TFrameSulo::ImageLiveViewMouseMove(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  if (!FLiveViewMouseDown) return;
  const QPointF p = ImageLiveView->LocalToAbsolute(QPointF(X, Y));
  const auto dx = static_cast<EdsInt32>(p.x() - FLiveViewMousePoint.x());
  const auto dy = static_cast<EdsInt32>(p.y() - FLiveViewMousePoint.y());
  // The frame on screen is turned a quarter: screen down is the sensor's left.
  EdsPoint position{FLiveViewZoomPosition.x - dy, FLiveViewZoomPosition.y + dx};
  if (position.x < 0) position.x = 0;
  if (position.y < 0) position.y = 0;
  if (TCanon* camera = Camera()) camera->SetZoomPosition(position);
}

void TFrameSulo::ImageLiveViewMouseUp(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) {
  FLiveViewMouseDown = false;
}

void TFrameSulo::TavImageButtonFlipClick(TControl*) {
  SetToggleLook(TavImageButtonFlip, !FFlipHorizontal);
  FFlipHorizontal = !FFlipHorizontal;
}

void TFrameSulo::TavImageButtonFocusLeftDoubleClick(TControl*) {
  if (TCanon* camera = Camera()) camera->Focus(kEdsEvfDriveLens_Near2);
}

void TFrameSulo::TavImageButtonFocusLeftClick(TControl*) {
  if (TCanon* camera = Camera()) camera->Focus(kEdsEvfDriveLens_Near1);
}

void TFrameSulo::TavImageButtonFocusRightClick(TControl*) {
  if (TCanon* camera = Camera()) camera->Focus(kEdsEvfDriveLens_Far1);
}

void TFrameSulo::TavImageButtonFocusRightDoubleClick(TControl*) {
  if (TCanon* camera = Camera()) camera->Focus(kEdsEvfDriveLens_Far2);
}

void TFrameSulo::TavImageButtonSaveLocationSelectClick(TControl*) {
  const std::optional<std::string> folder = Dialogs().SelectDirectory(
      "Select save location",
      FolderDialogStart(TConfiguration::FInstance ? TConfiguration::FInstance->General().SaveLocation : std::string()));
  if (!folder) return;
  EditSaveLocation->SetText(QString::fromStdString(*folder));
  if (TConfiguration::FInstance) {
    TConfiguration::FInstance->General().SaveLocation = *folder;
    TConfiguration::FInstance->Save();
  }
}
