// The shooting view: the camera's live view (or the picture just taken) on
// the left, with an optional semi-transparent reference picture over it and
// two movable guide lines; the function panel on the right with the overlay,
// its opacity, guide, zoom, mirror, focus, save folder and shoot controls.
//
// While it exists the view owns the camera's live-view and picture handlers
// and the controller board's port: it starts the live view and opens the port
// when made, and stops the live view, switches the lights off, sends the rig
// down and closes the port when destroyed. It serves ISettingChanged,
// IMenuChangeListener, ICameraControlListener and ISavePopupListener, and
// listens for the camera's shutdown (IDeviceShutdown) and its session opening
// again (ICanon): shooting is refused while the camera is gone.
#pragma once

#include <QImage>
#include <deque>
#include <functional>
#include <vector>

#include "board/DeviceModule.h"
#include "camera/Canon.h"
#include "configuration/TakePicture.h"
#include "notification/Interfaces.h"
#include "views/common/Frame.h"
#include "picture/PictureComposer.h"
#include "views/widgets/Edit.h"
#include "views/widgets/FitScaledLayout.h"
#include "views/widgets/MyTrackBar.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"
#include "views/widgets/Timer.h"

class TFrameSulo : public TFrame,
                   public ISettingChanged,
                   public IMenuChangeListener,
                   public ICameraControlListener,
                   public ISavePopupListener,
                   public IDeviceShutdown,
                   public ICanon {
  Q_OBJECT
 public:
  explicit TFrameSulo(QWidget* owner);
  ~TFrameSulo() override;

  TFitScaledLayout* ScaledLayoutContent;
  // Photo pane, layers bottom to top.
  TLayout* LayoutPhoto;
  TRectangle* RectanglePhotoBG;
  TLayout* LayoutTackPicture;
  TImage* ImageTakePicture;
  TLayout* LayoutLiveView;
  TImage* ImageLiveView;
  TImage* ImageLeft;
  TImage* ImageRight;
  TLayout* LayoutOverlay;
  TImage* ImageOverlay;
  TLayout* LayoutGrid;
  TRectangle* RectangleX;
  TRectangle* RectangleY;
  TRectangle* RectangleGridBG;
  // Function panel.
  TLayout* LayoutFunction;
  TRectangle* RectangleFunctionBG;
  TImage* ImageFunctionTitle;
  TImage* ImageOverlayOff;
  TImage* ImageOverlayOn;
  TRectangle* RectangleOverlayImage;
  TEdit* EditOverlayImage;
  TTavImageButton* TavImageButtonOverlayImageOpen;
  TFrameMyTrackBar* TFrameMyTrackBarOpacity;
  TRectangle* RectangleOpacityBG;
  TLabel* LabelOpacityValue;
  TTavImageButton* TavImageButtonGuide;
  TTavImageButton* TavImageButtonZoom;
  TTavImageButton* TavImageButtonFlip;
  TTavImageButton* TavImageButtonFocusLeftDouble;
  TTavImageButton* TavImageButtonFocusLeft;
  TTavImageButton* TavImageButtonFocusRight;
  TTavImageButton* TavImageButtonFocusRightDouble;
  TRectangle* RectangleSaveLocation;
  TEdit* EditSaveLocation;
  TTavImageButton* TavImageButtonSaveLocationSelect;
  TTavImageButton* TavImageButtonShoot;
  TRectangle* RectangleDisableBG;
  // The shot's timers.
  TTimer* TimerStop;
  TTimer* TimerShoot;
  TTimer* TimerDown;
  TTimer* TimerUV;
  // Ends a shot that brought no picture, so the screen never stays disabled.
  TTimer* TimerNoPicture;
  // Ends it sooner once the camera's transfer has ended without the picture.
  TTimer* TimerPictureDue;
  // Tells the operator when the camera keeps the shutter waiting.
  TTimer* TimerCameraWait;
  // Asks for the camera's session again while the camera is gone.
  TTimer* TimerCameraRetry;
  // Why the last shot brought no picture or was not saved, over the photo pane.
  TRectangle* RectangleNotice;
  TLabel* LabelNotice;
  TTimer* TimerNotice;
  // How far the picture's transfer from the camera has come.
  TRectangle* RectangleProgressBG;
  TRectangle* RectangleProgress;

  // State.
  TTakePictureMode FMode = TTakePictureMode::Default;
  bool FFlipHorizontal = false;
  bool FIsZoom = false;
  bool FLiveViewMouseDown = false;
  QPointF FLiveViewMousePoint;
  EdsPoint FLiveViewZoomPosition{0, 0};
  bool FGridYMove = false;
  bool FGridXMove = false;
  float FPositionOldX = 0;
  float FPositionOldY = 0;
  TTakePictureConfiguration* FTakePictureConfiguration = nullptr;
  bool FGridToggle = false;
  int ShootRepeatCount = 0;

  // Where a shot stands: Idle; Running until the picture arrives; Showing
  // while the picture waits for the operator's answer.
  enum class TShotState { Idle, Running, Showing };
  TShotState FShotState = TShotState::Idle;
  // The shutter of the running shot has been asked for.
  bool FShutterReleased = false;
  // The camera announced its shutdown and its session has not opened since.
  bool FCameraGone = false;
  // A repeat run's next shot waits for the last one's sequence to run out
  // (the rig back down, the UV light off).
  bool FRunWaiting = false;

  // How long a shot waits for its picture before it is given up.
  static constexpr int NoPictureTimeoutMs = 15000;
  // A picture comes straight after its transfer: longer than this means none.
  static constexpr int PictureDueMs = 5000;
  // How long a shutter may wait on a busy camera before the operator is told.
  static constexpr int CameraWaitMs = 3000;
  static constexpr int CameraRetryMs = 2000;
  // Undecodable live-view frames in a row before the operator is told.
  static constexpr int BadFramesNoticed = 10;
  // How long after the session opened again frames must come before the
  // live view is asked for anew.
  static constexpr int LiveViewCheckMs = 1500;
  static constexpr int NoticeMs = 8000;
  // Where a picture went is told for a shorter while.
  static constexpr int SavedNoticeMs = 5000;
  static constexpr int SaveQuality = TPictureComposer::DefaultQuality;
  // The zoom position the first zoom click moves to.
  static constexpr EdsPoint ZoomStart{2350, 1550};

  // IMenuChangeListener.
  void SubMenuChanged(TTakePictureMode SubMenu) override;
  void ChangeTakePictureMode();
  // ISettingChanged.
  void SettingChanged(ISetting* Setting) override;
  // ICameraControlListener.
  void Shoot() override;
  void RepeatShoot(std::int32_t RepeatCnt) override;
  // ISavePopupListener.
  void OnClickSaveBtn() override;
  void OnClickSaveAsBtn() override;
  void OnClickDontSaveBtn() override;
  void EnableFuntion() override;
  // IDeviceShutdown.
  void Shutdown() override;
  // ICanon: the camera's session opened.
  void OnOpen() override;

  void StartLiveView();
  void StopLiveView();
  void on_CameraLiveView(TCanon* Sender, TMemoryStream& Stream);
  void on_CameraTakePicture(TCanon* Sender, TMemoryStream& Stream);
  void on_OpacityValueChanged(TFrameMyTrackBar* Sender);
  void on_DownloadProgress(TCanon* Sender, std::int32_t Percent);
  void TimerStopTimer(TTimer* Sender);
  void TimerShootTimer(TTimer* Sender);
  void TimerDownTimer(TTimer* Sender);
  void TimerUVTimer(TTimer* Sender);
  void TimerNoPictureTimer(TTimer* Sender);

  // What a notice over the photo pane is about. A new shot clears the last
  // one's notice, not those about the camera's live view or the save folder.
  enum class TNotice { Shot, CameraWait, Camera, LiveView, Folder, Saved };
  // Shows a notice for a while; one about the live view stays until the live
  // view comes back.
  void ShowNotice(const QString& text, TNotice kind = TNotice::Shot);
  // Hides the notice if it is of that kind.
  void HideNotice(TNotice kind);

  void TavImageButtonOverlayImageOpenClick(TControl* Sender);
  void ImageOverlayOffClick(TControl* Sender);
  void ImageOverlayOnClick(TControl* Sender);
  void setOverlayToggle(bool flag);
  void TavImageButtonGuideClick(TControl* Sender);
  void TavImageButtonZoomClick(TControl* Sender);
  void TavImageButtonFlipClick(TControl* Sender);
  void TavImageButtonFocusLeftClick(TControl* Sender);
  void TavImageButtonFocusLeftDoubleClick(TControl* Sender);
  void TavImageButtonFocusRightClick(TControl* Sender);
  void TavImageButtonFocusRightDoubleClick(TControl* Sender);
  void TavImageButtonSaveLocationSelectClick(TControl* Sender);
  void TavImageButtonShootClick(TControl* Sender);
  void ImageLiveViewMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void ImageLiveViewMouseMove(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void ImageLiveViewMouseUp(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void RectangleGridBGMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void RectangleGridBGMouseMove(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void RectangleGridBGMouseUp(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  Qt::CursorShape getCursor(qreal X, qreal Y) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Every call of this view that reaches the board goes through here:
  // without a board module there is nothing to drive.
  template <class F>
  static void Board(F&& command) {
    if (DeviceModule) command(*DeviceModule);
  }
  // Stops the live view and clears the camera's handlers; leaves the bus.
  void LeaveCamera();
  void LeaveBus();
  // The camera in use, or nullptr without one.
  static TCanon* Camera();
  // The configuration of the current mode, or nullptr before the file was read.
  static TTakePictureConfiguration* Configuration(TTakePictureMode mode);
  // Lights by a light kind with a brightness; other kinds send nothing.
  static void SetLights(std::int32_t kind, std::int32_t brightness);
  // Reads the camera's picture style, puts the four values in and writes it back.
  static void WritePictureStyle(std::int32_t colorTone, std::int32_t saturation, std::int32_t contrast, std::int32_t sharpness);
  void SetToggleLook(TTavImageButton* button, bool on);
  void TakePicture();
  // The mode's board commands and timers of a shot.
  void StartSequence(const TTakePictureConfiguration& config);
  void TakeArrivedPicture(const std::uint8_t* jpeg, std::size_t size);
  // A step of the shot's sequence is still to come (the rig's stop or
  // return, the shutter, the UV light's end).
  bool SequenceRunning() const;
  // The next shot of a repeat run, or the screen given back, once no step of
  // the last one is to come.
  void ContinueRun();
  // A step of a shot's sequence that may come after its picture was saved:
  // a waiting run goes on once the step is done, and ends if the board fails.
  void RunLateStep(const std::function<void()>& step);
  void OfferPendingPicture();
  // The picture leaves the screen for the live view.
  void HidePicture();
  // Gives up a shot that brings no picture: timers off, UV off, rig down, a
  // repeat run ended, the screen enabled again through the popup's usual
  // path, and the operator told why. After a board failure nothing more is
  // sent to the board: it would fail (or wait out its time) again.
  void AbandonShot(const QString& why, bool boardFailed = false);
  // A board command of a running shot that fails: before the shutter the
  // shot cannot go on and ends; after it the picture still comes, and only
  // the failure is told. The error goes on to the caller either way.
  void ShotBoardFailed();
  // The camera's part of the mode's settings (exposure, colour, picture style).
  void ApplyCameraSettings(const TTakePictureConfiguration& cfg);
  // Asks for the camera's session again, at most once a second.
  void RetryCamera();
  // Writes the picture on screen into `folder`; false (and the operator told,
  // the picture kept on screen) when it could not be written.
  bool SavePictureTo(const std::string& folder);
  // Tells over the photo pane where the picture (or a run's `count` pictures)
  // went, and that the folder was made again if it was.
  void TellSaved(int count);

  TRectangle* FPhotoSide;
  TPictureComposer FComposer;
  TPictureMarks FLiveMarks;
  TPictureMarks FPictureMarks;
  // Two frame buffers in turn: the one on screen is never written into.
  QImage FFrames[2];
  int FNextFrame = 0;
  // The picture just taken, as composed, and its encoded bytes.
  QImage FPicture;
  std::vector<std::uint8_t> FJpeg;
  // Pictures that arrived while another waited for its answer.
  std::deque<std::vector<std::uint8_t>> FPendingPictures;
  TNotice FNotice = TNotice::Shot;
  // The folder the last picture was saved into, and the file.
  std::string FFolderSavedInto;
  std::string FSavedFile;
  // The last save (or one of the run's saves) had to make its folder again.
  bool FFolderRemade = false;
  // Pictures the repeat run under way has saved.
  int FRunSaved = 0;
  int FBadFrames = 0;
  std::uint64_t FFramesSeen = 0;  // live-view frames delivered, good or not
  std::int64_t FLastCameraRetryMs = -1000000;
};
