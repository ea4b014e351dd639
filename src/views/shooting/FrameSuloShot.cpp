// The shot: the sequences of the three modes, the picture's arrival, saving
// and the answers of the save popup.
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <chrono>

#include "board/ComPort.h"
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/common/Dialogs.h"
#include "views/shooting/FrameSulo.h"
#include "saving/PictureFile.h"
#include "views/widgets/ErrorHook.h"
#include "views/shooting/FrameSuloTexts.h"

// The shot -------------------------------------------------------------------

void TFrameSulo::TavImageButtonShootClick(TControl*) { Shoot(); }

void TFrameSulo::TakePicture() {
  FShutterReleased = true;
  TimerCameraWait->SetEnabled(false);
  TimerCameraWait->SetEnabled(true);
  if (TCanon* camera = Camera()) camera->TakePicture();
}

void TFrameSulo::Shoot() {
  // Refused while shooting is switched off, while the view is covered, and
  // while a shot is still under way (the cover may have been lifted by the
  // popup's closing delay in a repeat run).
  if (ShootRepeatCount < 0 || !RectangleDisableBG->isHidden() || FShotState != TShotState::Idle) return;
  // Without the camera nothing would be taken, and the rig and lights should
  // not move for nothing: refused, with the reason, until its session opens
  // again. A repeat run ends here.
  if (FCameraGone) {
    Trace("Shoot refused : the camera is gone");
    ShowNotice(CameraGoneText(), TNotice::Camera);
    RetryCamera();
    // A run going on to its next shot holds the screen covered: it is given
    // back like at any other end of a run, not left to a closing delay.
    if (ShootRepeatCount > 0) {
      ShootRepeatCount = 0;
      Notify<ISavePopup>(&ISavePopup::SetEnableScreen);
      RectangleDisableBG->hide();
    }
    return;
  }
  TTakePictureConfiguration* cfg = Configuration(FMode);
  Trace("Shoot : " + ModeName(FMode));
  FShotState = TShotState::Running;
  FShutterReleased = false;
  for (TNotice kind : {TNotice::Shot, TNotice::CameraWait, TNotice::Camera, TNotice::Saved}) HideNotice(kind);
  // The cover goes on first: a board failure below must leave a shot that
  // ends through the usual path, not a half-started one.
  Notify<ISavePopup>(&ISavePopup::SetDisableBG);
  RectangleDisableBG->show();
  TimerNoPicture->SetEnabled(false);
  TimerNoPicture->SetEnabled(true);
  // Without the mode's settings, or in a mode without a sequence, nothing
  // would be taken: the shot ends at once instead of at the time-out.
  const bool hasSequence =
      FMode == TTakePictureMode::Sulo || FMode == TTakePictureMode::Portrait || FMode == TTakePictureMode::UV;
  if (!cfg || !hasSequence) {
    AbandonShot(QString::fromUtf8("촬영 모드를 선택한 뒤 다시 촬영하세요."));
    return;
  }
  try {
    StartSequence(*cfg);
  } catch (const EComPort&) {
    // No rig and no light: the shot ends now, and the error is reported.
    AbandonShot(BoardFailedText(), true);
    throw;
  }
}

void TFrameSulo::StartSequence(const TTakePictureConfiguration& config) {
  const TTakePictureConfiguration* cfg = &config;
  switch (FMode) {
    case TTakePictureMode::Sulo:
      Board([&](TDeviceModule& m) {
        m.MotorSulo(cfg->MotorLocation, cfg->MotorSpeed);
        m.MotorUp(0);
      });
      TimerStop->SetInterval(cfg->MotorLocation * 10);
      TimerStop->SetEnabled(true);
      break;
    case TTakePictureMode::Portrait:
      TakePicture();
      break;
    case TTakePictureMode::UV:
      Board([&](TDeviceModule& m) { m.UVOn(cfg->LightingBrightness); });
      TimerShoot->SetInterval(900);
      TimerUV->SetInterval(2000);
      TimerUV->SetEnabled(true);
      TimerShoot->SetEnabled(true);
      break;
    default:
      break;
  }
}

void TFrameSulo::RepeatShoot(std::int32_t RepeatCnt) {
  Trace("ShootRepeatCount : " + std::to_string(RepeatCnt));
  ShootRepeatCount = RepeatCnt;
  FRunSaved = 0;
  FFolderRemade = false;
  if (RepeatCnt > 0) Shoot();
}

void TFrameSulo::TimerStopTimer(TTimer*) {
  TimerStop->SetEnabled(false);
  try {
    Board([](TDeviceModule& m) { m.MotorStop(); });
  } catch (const EComPort&) {
    ShotBoardFailed();
    throw;
  }
  TimerDown->SetEnabled(true);
  TTakePictureConfiguration* cfg = Configuration(FMode);
  TimerShoot->SetInterval(cfg ? cfg->ShutterDelay * 10 : 0);
  TimerShoot->SetEnabled(true);
}

void TFrameSulo::TimerShootTimer(TTimer*) {
  TimerShoot->SetEnabled(false);
  TakePicture();
}

void TFrameSulo::TimerDownTimer(TTimer*) {
  TTakePictureConfiguration* cfg = Configuration(FMode);
  TimerDown->SetEnabled(false);
  TimerShoot->SetEnabled(false);
  const std::int32_t speed = cfg ? cfg->MotorSpeed : 10;
  RunLateStep([&] {
    Board([&](TDeviceModule& m) { m.MotorDown(speed); });
    // A shutter delay of "Single" (0), or of a second or more, never releases
    // the shutter: nothing will arrive, so the shot ends as soon as the rig is down.
    if (FShotState == TShotState::Running && !FShutterReleased)
      AbandonShot(QString::fromUtf8("셔터 지연 시간 설정 때문에 사진이 촬영되지 않았습니다. (Shutter Delay)"));
  });
}

void TFrameSulo::TimerUVTimer(TTimer*) {
  TimerUV->SetEnabled(false);
  RunLateStep([] { Board([](TDeviceModule& m) { m.LEDOff(); }); });
}

void TFrameSulo::RunLateStep(const std::function<void()>& step) {
  try {
    step();
  } catch (const EComPort&) {
    // No rig and no light: a run waiting for this step ends here.
    if (FRunWaiting) {
      FRunWaiting = false;
      ShootRepeatCount = 0;
      ShowNotice(BoardFailedText());
      Notify<ISavePopup>(&ISavePopup::SetEnableScreen);
      RectangleDisableBG->hide();
    } else {
      ShotBoardFailed();
    }
    throw;
  }
  ContinueRun();
}

bool TFrameSulo::SequenceRunning() const {
  for (TTimer* step : {TimerStop, TimerShoot, TimerDown, TimerUV})
    if (step->IsRunning()) return true;
  return false;
}

void TFrameSulo::ContinueRun() {
  if (!FRunWaiting || SequenceRunning()) return;
  FRunWaiting = false;
  if (ShootRepeatCount <= 0) {
    // The run was called off while it waited.
    Notify<ISavePopup>(&ISavePopup::SetEnableScreen);
    RectangleDisableBG->hide();
    return;
  }
  RectangleDisableBG->hide();
  Shoot();
}

void TFrameSulo::TimerNoPictureTimer(TTimer*) {
  TimerNoPicture->SetEnabled(false);
  if (FShotState == TShotState::Running)
    AbandonShot(QString::fromUtf8("카메라에서 사진을 받지 못했습니다. 카메라를 확인하세요."));
}

void TFrameSulo::AbandonShot(const QString& why, bool boardFailed) {
  Trace("Shot given up : " + why.toStdString());
  RectangleProgressBG->hide();
  for (TTimer* timer : {TimerStop, TimerShoot, TimerDown, TimerUV, TimerNoPicture, TimerPictureDue, TimerCameraWait})
    timer->SetEnabled(false);
  FShotState = TShotState::Idle;
  FRunWaiting = false;
  if (ShootRepeatCount > 0) ShootRepeatCount = 0;
  ShowNotice(why);
  TTakePictureConfiguration* cfg = Configuration(FMode);
  const std::int32_t speed = cfg ? cfg->MotorSpeed : 10;
  // What the shot itself changed is undone: the UV light a UV shot switched
  // on, the rig a Sulo shot raised. The mode's working light stays for the
  // next shot. Even when the board fails now, the screen is enabled again.
  if (!boardFailed && FMode == TTakePictureMode::UV) Guarded([] { Board([](TDeviceModule& m) { m.LEDOff(); }); });
  if (!boardFailed && FMode == TTakePictureMode::Sulo)
    Guarded([&] { Board([&](TDeviceModule& m) { m.MotorDown(speed); }); });
  Notify<ISavePopup>(&ISavePopup::SetEnableScreen);
  RectangleDisableBG->hide();
}

void TFrameSulo::on_DownloadProgress(TCanon*, std::int32_t Percent) {
  RectangleProgress->SetWidth(543.0 * std::clamp(Percent, 0, 100) / 100.0);
  RectangleProgressBG->show();
}

void TFrameSulo::on_CameraTakePicture(TCanon*, TMemoryStream& Stream) {
  TimerNoPicture->SetEnabled(false);
  TimerPictureDue->SetEnabled(false);
  TimerCameraWait->SetEnabled(false);
  HideNotice(TNotice::CameraWait);
  RectangleProgressBG->hide();
  if (FShotState == TShotState::Showing) {
    // The picture on screen still waits for its answer: this one waits its
    // turn rather than take its place.
    FPendingPictures.emplace_back(Stream.Memory(), Stream.Memory() + Stream.Size());
    return;
  }
  TakeArrivedPicture(Stream.Memory(), Stream.Size());
}

void TFrameSulo::OfferPendingPicture() {
  if (FPendingPictures.empty() || FShotState == TShotState::Showing) return;
  const std::vector<std::uint8_t> bytes = std::move(FPendingPictures.front());
  FPendingPictures.pop_front();
  TakeArrivedPicture(bytes.data(), bytes.size());
}

void TFrameSulo::TakeArrivedPicture(const std::uint8_t* jpeg, std::size_t size) {
  if (!FComposer.Compose(jpeg, size, FPictureMarks, FFlipHorizontal, FPicture)) {
    // Nothing to show or save; the shot ends here rather than at the time-out.
    if (FShotState == TShotState::Running) AbandonShot(QString::fromUtf8("카메라에서 받은 사진이 손상되었습니다. 다시 촬영하세요."));
    return;
  }
  if (FShotState == TShotState::Idle) {
    // A picture after its shot was given up is still the patient's picture:
    // it is shown and offered like any other.
    Notify<ISavePopup>(&ISavePopup::SetDisableBG);
    RectangleDisableBG->show();
  }
  FShotState = TShotState::Showing;
  ImageTakePicture->Bitmap().SetImage(FPicture);
  ImageTakePicture->show();
  ImageLiveView->hide();
  if (ShootRepeatCount > 0)
    OnClickSaveBtn();
  else
    Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
}

bool TFrameSulo::SavePictureTo(const std::string& folder) {
  try {
    if (FPicture.isNull()) throw EPictureSave("There is no picture to save.");
    if (!FComposer.Encode(FPicture, SaveQuality, FJpeg)) throw EPictureSave("The picture could not be encoded.");
    bool madeFolder = false;
    const std::string path = SavePictureFile(folder, FJpeg, QDateTime::currentDateTime(), &madeFolder);
    Trace("Saved : " + path);
    // A new folder is made without a word; one that pictures went into
    // earlier and is gone now (removed, or on a drive that was swapped) is
    // made again, and the operator should know: the pictures before are not
    // where the new ones go.
    const bool remade = madeFolder && folder == FFolderSavedInto;
    if (remade && ShootRepeatCount > 1)
      ShowNotice(QString::fromUtf8("저장 폴더가 없어져서 다시 만들었습니다: ") + QString::fromStdString(folder),
                 TNotice::Folder);
    FFolderRemade = FFolderRemade || remade;
    FFolderSavedInto = folder;
    FSavedFile = path;
    return true;
  } catch (const std::exception& e) {
    // Any refusal of the system keeps the picture, not only the expected ones.
    Trace(std::string("Save failed : ") + e.what());
    // The picture stays on screen and the popup open: the operator can try
    // again or choose another folder.
    if (ShootRepeatCount > 0) ShootRepeatCount = 0;
    Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
    Dialogs().ShowError("Sulo", e.what());
    return false;
  }
}

void TFrameSulo::OnClickSaveBtn() {
  const std::string folder = EditSaveLocation->Text().trimmed().isEmpty() ? std::string() : EditSaveLocation->Text().toStdString();
  // Without a folder the picture would go to the root of the file system:
  // ask for one instead.
  if (folder.empty()) {
    // A repeat run has no popup: the run stops here and the popup opens, so
    // the operator can answer whatever the folder chooser brings.
    if (ShootRepeatCount > 0) {
      ShootRepeatCount = 0;
      Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
    }
    return OnClickSaveAsBtn();
  }
  if (ShootRepeatCount <= 0) FFolderRemade = false;
  if (!SavePictureTo(folder)) return;
  HidePicture();
  if (ShootRepeatCount > 0) {
    --ShootRepeatCount;
    ++FRunSaved;
    if (ShootRepeatCount <= 0) {
      TellSaved(FRunSaved);
      // With a quick camera the last picture is saved before its rig is back
      // down or its UV light off: the screen comes back once those steps are
      // done (ContinueRun), so that a new shot neither moves a rig on its way
      // down nor loses its light to this shot's timer.
      if (SequenceRunning()) {
        FRunWaiting = true;
        Notify<ISavePopup>(&ISavePopup::SaveSuccess);
        return;
      }
      Notify<ISavePopup>(&ISavePopup::SetEnableScreen);
      Notify<ISavePopup>(&ISavePopup::SaveSuccess);
    } else {
      // Reported before the next shot starts, whose cover then stops the
      // popup's closing delay: nothing re-enables the screen mid-run. With a
      // quick camera the picture is saved while this shot's rig is still up
      // or its UV light still on: the next shot starts once those steps are
      // done, so that it neither moves a raised rig nor loses its light to
      // this shot's timer. The screen stays covered meanwhile.
      Notify<ISavePopup>(&ISavePopup::SaveSuccess);
      FRunWaiting = true;
      ContinueRun();
    }
    return;
  }
  TellSaved(1);
  Notify<ISavePopup>(&ISavePopup::SaveSuccess);
}

void TFrameSulo::TellSaved(int count) {
  const QFileInfo file(QString::fromStdString(FSavedFile));
  const QString folder = QDir::toNativeSeparators(file.absolutePath());
  QString text = count == 1 ? QString::fromUtf8("사진을 저장했습니다: ") + file.fileName()
                            : QString::fromUtf8("사진 %1장을 저장했습니다.").arg(count);
  text += QString::fromUtf8("\n저장 폴더: ") + folder;
  if (FFolderRemade) {
    ShowNotice(QString::fromUtf8("저장 폴더가 없어져서 다시 만들었습니다.\n") + text, TNotice::Folder);
    FFolderRemade = false;
    return;
  }
  ShowNotice(text, TNotice::Saved);
}

void TFrameSulo::HidePicture() {
  ImageTakePicture->hide();
  // The shown copy goes, so the next picture is composed into the same pixels.
  ImageTakePicture->Bitmap().Clear();
  ImageLiveView->show();
  FShotState = TShotState::Idle;
  // A picture that arrived meanwhile is offered next, once this answer is done.
  if (!FPendingPictures.empty()) QTimer::singleShot(0, this, [this] { Guarded([this] { OfferPendingPicture(); }); });
}

void TFrameSulo::OnClickSaveAsBtn() {
  const std::optional<std::string> folder = Dialogs().SelectDirectory(
      "Select save location",
      FolderDialogStart(TConfiguration::FInstance ? TConfiguration::FInstance->General().SaveLocation : std::string()));
  if (!folder) return;
  EditSaveLocation->SetText(QString::fromStdString(*folder));
  std::string configurationError;
  if (TConfiguration::FInstance) {
    TConfiguration::FInstance->General().SaveLocation = *folder;
    try {
      TConfiguration::FInstance->Save();
    } catch (const EConfigurationWrite& e) {
      configurationError = e.what();
    }
  }
  // The picture comes first; a configuration that could not be written is
  // reported after it was saved.
  OnClickSaveBtn();
  if (!configurationError.empty()) Dialogs().ShowError("Sulo", configurationError);
}

void TFrameSulo::OnClickDontSaveBtn() { HidePicture(); }

void TFrameSulo::EnableFuntion() {
  // A repeat run's next shot is under way, or a run waits for the last
  // shot's steps (for its next shot or for its end): the screen stays
  // covered, and ContinueRun gives it back.
  if ((FShotState == TShotState::Running && ShootRepeatCount > 0) || FRunWaiting) {
    Notify<ISavePopup>(&ISavePopup::SetDisableBG);
    return;
  }
  RectangleDisableBG->hide();
}
