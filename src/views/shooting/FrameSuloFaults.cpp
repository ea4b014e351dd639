// The shooting view's faults: a board command failing during a shot, the
// notices over the photo pane, and the camera going and coming back.
#include <QTimer>
#include <chrono>

#include "logging/Log.h"
#include "views/shooting/FrameSulo.h"
#include "views/shooting/FrameSuloTexts.h"
#include "views/widgets/ErrorHook.h"

void TFrameSulo::ShotBoardFailed() {
  Trace("Board failed during the shot");
  if (FShotState == TShotState::Running && !FShutterReleased)
    AbandonShot(BoardFailedText(), true);
  else
    ShowNotice(BoardFailedText());
}

void TFrameSulo::ShowNotice(const QString& text, TNotice kind) {
  FNotice = kind;
  LabelNotice->SetText(text);
  RectangleNotice->show();
  TimerNotice->SetEnabled(false);
  TimerNotice->SetInterval(kind == TNotice::Saved ? SavedNoticeMs : NoticeMs);
  TimerNotice->SetEnabled(true);
}

void TFrameSulo::HideNotice(TNotice kind) {
  if (FNotice == kind) RectangleNotice->hide();
}

// The camera going and coming back ---------------------------------------------

void TFrameSulo::Shutdown() {
  Trace("Camera shut down");
  FCameraGone = true;
  TimerCameraRetry->SetEnabled(true);
  // A running shot's picture will not come. One on screen is in hand: it
  // stays for its answer and can still be saved.
  if (FShotState == TShotState::Running)
    AbandonShot(CameraGoneText());
  else
    ShowNotice(CameraGoneText(), TNotice::Camera);
}

void TFrameSulo::RetryCamera() {
  const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
  if (now - FLastCameraRetryMs < 1000) return;
  FLastCameraRetryMs = now;
  if (TCanon* camera = Camera()) camera->Open();
}

void TFrameSulo::OnOpen() {
  if (!FCameraGone) return;
  Trace("Camera back");
  FCameraGone = false;
  TimerCameraRetry->SetEnabled(false);
  ShowNotice(QString::fromUtf8("카메라가 다시 연결되었습니다."), TNotice::Camera);
  // A camera that was switched off has forgotten the mode's settings.
  Guarded([this] {
    if (TTakePictureConfiguration* cfg = Configuration(FMode)) ApplyCameraSettings(*cfg);
  });
  // A camera that still sends its live view here goes on with the frames it
  // was sending; one that forgot where its live view went is asked again.
  // Asking one that still sends would run the frames twice over.
  const std::uint64_t seen = FFramesSeen;
  QTimer::singleShot(LiveViewCheckMs, this, [this, seen] {
    if (!FCameraGone && FFramesSeen == seen) StartLiveView();
  });
}
