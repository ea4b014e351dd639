// The camera controller.
//
// Use from the application shell (UI thread):
//
//   TGlobal::FInstance = new TGlobal(dispatcher);   // dispatcher: the UI thread's IDispatcher
//   TCanon& canon = TGlobal::FInstance->Canon();
//   canon.Initialize();   // after the board scan; broadcasts CameraIsConnect(False) on failure
//   canon.Open();         // queued; CameraIsConnect(True) and ICanon.OnOpen arrive on the UI thread
//   ...
//   canon.Close();        // at shutdown, after the shooting view stopped live view
//   canon.Finalize();     // waits for the worker (serving its UI calls meanwhile); bounded
//   delete TGlobal::FInstance; TGlobal::FInstance = nullptr;   // before the dispatcher goes
//
// Destroying the controller without Finalize finalises it first. Commands
// pushed while no worker runs (no camera, or after the worker's last pass in
// Finalize) are refused and freed at once with a trace line; a transfer
// request refused so gives its item back to the SDK. A push onto a full queue
// from the UI thread serves the UI thread's pending work while it waits, so it
// cannot deadlock with a frame in delivery.
//
// Use from the shooting view (UI thread): SetOnLiveView / SetOnTakePicture
// (and the download handlers), StartLiveView, StopLiveView, TakePicture,
// Focus(kEdsEvfDriveLens_Near1 ...), Zoom, Fit, GetZoomPosition /
// SetZoomPosition, and the property getters and setters (ISOSpeed,
// SetISOSpeed, ...). Every handler runs on the UI thread; a frame handler must
// not wait for the worker. The stream a handler receives is freed when it
// returns (TakeBytes moves the bytes out instead of copying them).
//
// Camera work that takes time runs as queued commands on one worker thread,
// one per 50 ms pass. Nothing here throws; every SDK failure is logged as
// "XXXXXXXX NAME".
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "camera/CanonPropDesc.h"
#include "camera/ComApartment.h"
#include "camera/EDSDK.h"
#include "configuration/DeviceProperties.h"
#include "notification/Dispatcher.h"

class TCanon;

// A memory stream holding one whole image, positioned at its start.
class TMemoryStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}
  const std::uint8_t* Memory() const { return FBytes.data(); }
  std::size_t Size() const { return FBytes.size(); }
  std::size_t Position() const { return FPosition; }
  void SetPosition(std::size_t position) { FPosition = position < FBytes.size() ? position : FBytes.size(); }
  // Reads up to `count` bytes from the position; returns how many were read.
  std::size_t Read(void* buffer, std::size_t count);
  const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
  // Moves the bytes out (the stream is empty afterwards).
  std::vector<std::uint8_t> TakeBytes();

 private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

using TCanonStreamEvent = std::function<void(TCanon* Sender, TMemoryStream& Stream)>;
using TCanonProgressEvent = std::function<void(TCanon* Sender, std::int32_t Percent)>;
using TNotifyEvent = std::function<void(TCanon* Sender)>;
using TChoiceList = std::shared_ptr<const TDevicePropertyList>;  // null: absent

// A unit of camera work for the worker. Execute returns true when finished,
// false to be run again from the tail of the queue.
class TCommand {
 public:
  explicit TCommand(std::string name, int repeatLimit = 0) : FName(std::move(name)), FRepeatLimit(repeatLimit) {}
  virtual ~TCommand() = default;
  virtual bool Execute() = 0;

  const std::string& Name() const { return FName; }
  // How many repeats the worker grants before dropping the command (0: no limit).
  int RepeatLimit() const { return FRepeatLimit; }
  int FRepeats = 0;

 private:
  std::string FName;
  int FRepeatLimit;
};

using TCommandFunc = bool (TCanon::*)();
using TCommandRefFunc = bool (TCanon::*)(EdsBaseRef);
using TCommandParamFunc = bool (TCanon::*)(std::int32_t);

class TCommandNoRef : public TCommand {
 public:
  TCommandNoRef(TCanon* Canon, TCommandFunc CommandFunc, std::string name, int repeatLimit = 0)
      : TCommand(std::move(name), repeatLimit), FCanon(Canon), CommandFunc(CommandFunc) {}
  bool Execute() override { return (FCanon->*CommandFunc)(); }

 private:
  TCanon* FCanon;
  TCommandFunc CommandFunc;
};

// Carries an SDK reference that the command owns: its function gives the
// reference back when it finishes (returns true); a command freed before that
// (refused by a closed queue, dropped at shutdown, given up after an exception)
// gives it back itself, on the thread that frees it.
class TCommandRef : public TCommand {
 public:
  TCommandRef(TCanon* Canon, TCommandRefFunc CommandFunc, EdsBaseRef CommandRef, std::string name)
      : TCommand(std::move(name)), FCanon(Canon), CommandFunc(CommandFunc), CommandRef(CommandRef) {}
  ~TCommandRef() override {
    if (CommandRef) EdsRelease(CommandRef);
  }
  TCommandRef(const TCommandRef&) = delete;
  TCommandRef& operator=(const TCommandRef&) = delete;
  bool Execute() override {
    const bool finished = (FCanon->*CommandFunc)(CommandRef);
    if (finished) CommandRef = nullptr;  // the function has given it back
    return finished;
  }

 private:
  TCanon* FCanon;
  TCommandRefFunc CommandFunc;
  EdsBaseRef CommandRef;
};

class TCommandParam : public TCommand {
 public:
  TCommandParam(TCanon* Canon, TCommandParamFunc CommandParamFunc, std::int32_t CommandParam, std::string name,
                int repeatLimit = 0)
      : TCommand(std::move(name), repeatLimit),
        FCanon(Canon),
        CommandParamFunc(CommandParamFunc),
        CommandParam(CommandParam) {}
  bool Execute() override { return (FCanon->*CommandParamFunc)(CommandParam); }

 private:
  TCanon* FCanon;
  TCommandParamFunc CommandParamFunc;
  std::int32_t CommandParam;
};

// The bounded FIFO between callers and the worker (capacity 10). The one lock
// of the controller's command path guards it.
//
// The queue is closed while no worker runs: it is created closed, the worker
// opens it when it starts and closes it on its last pass, in the same step as
// it finds the queue empty. A closed queue refuses every push, and the refused
// command stays with the caller (who frees it), so nothing is left behind in
// the queue once the worker has ended.
class TCommandQueue {
 public:
  explicit TCommandQueue(std::size_t capacity) : FCapacity(capacity) {}
  // Waits while the queue is full; `keepWaiting` runs between short waits
  // (the UI thread serves its pending work there) and ends the wait, dropping
  // the command, when it returns false. Returns whether the command was
  // queued; false leaves it in `command`, also when the queue is closed.
  bool Push(std::unique_ptr<TCommand>& command, const std::function<bool()>& keepWaiting);
  // Never waits: the worker's own pushes may go past the capacity. False (and
  // the command freed) when the queue is closed.
  bool PushNoWait(std::unique_ptr<TCommand> command);
  std::unique_ptr<TCommand> TryPop();
  std::size_t Count() const;
  void Clear();
  void Open();
  // Closes the queue if it is empty; returns whether it did.
  bool CloseIfEmpty();

 private:
  mutable std::mutex FLock;
  std::condition_variable FNotFull;
  std::deque<std::unique_ptr<TCommand>> FItems;
  std::size_t FCapacity;
  bool FClosed = true;
};

class TCanon {
 public:
  explicit TCanon(IDispatcher& dispatcher);
  ~TCanon();
  TCanon(const TCanon&) = delete;
  TCanon& operator=(const TCanon&) = delete;

  // Lifecycle (UI thread).
  void Initialize();
  void Finalize();
  void Open();
  void Close();

  // Live view, shutter, focus and zoom (queued for the worker).
  void StartLiveView();
  void StopLiveView();
  void TakePicture();
  void Focus(std::int32_t Param);
  void Zoom();
  void Fit();
  EdsPoint GetZoomPosition();
  void SetZoomPosition(const EdsPoint& Value);

  // Direct property access (caller's thread).
  EdsUInt32 GetPropValue(EdsPropertyID PropID);
  void SetPropValue(EdsPropertyID PropID, EdsUInt32 Value);
  std::int32_t GetWhiteBalanceShift(int Index);
  void SetWhiteBalanceShift(int Index, std::int32_t Value);
  EdsPictureStyleDesc GetPictureStyleDesc();
  // The picture style as the camera holds it; nullopt when it could not be read.
  std::optional<EdsPictureStyleDesc> ReadPictureStyleDesc();
  void SetPictureStyleDesc(const EdsPictureStyleDesc& Value);

  EdsUInt32 ISOSpeed() { return GetPropValue(kEdsPropID_ISOSpeed); }
  void SetISOSpeed(EdsUInt32 v) { SetPropValue(kEdsPropID_ISOSpeed, v); }
  EdsUInt32 MeteringMode() { return GetPropValue(kEdsPropID_MeteringMode); }
  void SetMeteringMode(EdsUInt32 v) { SetPropValue(kEdsPropID_MeteringMode, v); }
  EdsUInt32 Av() { return GetPropValue(kEdsPropID_Av); }
  void SetAv(EdsUInt32 v) { SetPropValue(kEdsPropID_Av, v); }
  EdsUInt32 Tv() { return GetPropValue(kEdsPropID_Tv); }
  void SetTv(EdsUInt32 v) { SetPropValue(kEdsPropID_Tv, v); }
  EdsUInt32 ExposureCompensation() { return GetPropValue(kEdsPropID_ExposureCompensation); }
  void SetExposureCompensation(EdsUInt32 v) { SetPropValue(kEdsPropID_ExposureCompensation, v); }
  EdsUInt32 DriveMode() { return GetPropValue(kEdsPropID_DriveMode); }
  void SetDriveMode(EdsUInt32 v) { SetPropValue(kEdsPropID_DriveMode, v); }
  EdsUInt32 WhiteBanlace() { return GetPropValue(kEdsPropID_WhiteBalance); }
  void SetWhiteBanlace(EdsUInt32 v) { SetPropValue(kEdsPropID_WhiteBalance, v); }
  EdsUInt32 ColorTemperature() { return GetPropValue(kEdsPropID_ColorTemperature); }
  void SetColorTemperature(EdsUInt32 v) { SetPropValue(kEdsPropID_ColorTemperature, v); }
  EdsUInt32 ImageQuality() { return GetPropValue(kEdsPropID_ImageQuality); }
  void SetImageQuality(EdsUInt32 v) { SetPropValue(kEdsPropID_ImageQuality, v); }
  std::int32_t WhiteBalanceShiftBlueAmber() { return GetWhiteBalanceShift(0); }
  void SetWhiteBalanceShiftBlueAmber(std::int32_t v) { SetWhiteBalanceShift(0, v); }
  std::int32_t WhiteBalanceShiftGreenMagenta() { return GetWhiteBalanceShift(1); }
  void SetWhiteBalanceShiftGreenMagenta(std::int32_t v) { SetWhiteBalanceShift(1, v); }
  EdsPictureStyleDesc PictureStyle() { return GetPictureStyleDesc(); }
  void SetPictureStyle(const EdsPictureStyleDesc& v) { SetPictureStyleDesc(v); }
  EdsPoint ZoomPosition() { return GetZoomPosition(); }

  // The camera's choice lists; null outside a session or when the camera
  // would not describe the property. Safe to read from any thread.
  TChoiceList ISOSpeedDesc() const { return Desc(FISOSpeedDesc); }
  TChoiceList MeteringModeDesc() const { return Desc(FMeteringModeDesc); }
  TChoiceList AvDesc() const { return Desc(FAvDesc); }
  TChoiceList TvDesc() const { return Desc(FTvDesc); }
  TChoiceList ExposureCompensationDesc() const { return Desc(FExposureCompensationDesc); }
  TChoiceList DriveModeDesc() const { return Desc(FDriveModeDesc); }
  TChoiceList WhiteBalanceDesc() const { return Desc(FWhiteBalanceDesc); }
  TChoiceList ColorTemperatureDesc() const { return Desc(FColorTemperatureDesc); }
  TChoiceList ImageQualityDesc() const { return Desc(FImageQualityDesc); }
  TChoiceList ContrastDesc() const { return Desc(FContrastDesc); }

  // Handlers, set and read on the UI thread.
  const TCanonStreamEvent& OnLiveView() const { return FOnLiveView; }
  void SetOnLiveView(TCanonStreamEvent h) { FOnLiveView = std::move(h); }
  const TCanonStreamEvent& OnTakePicture() const { return FOnTakePicture; }
  void SetOnTakePicture(TCanonStreamEvent h) { FOnTakePicture = std::move(h); }
  const TCanonProgressEvent& OnDownloadProgress() const { return FOnDownloadProgress; }
  void SetOnDownloadProgress(TCanonProgressEvent h) { FOnDownloadProgress = std::move(h); }
  const TNotifyEvent& OnDownloadBegin() const { return FOnDownloadBegin; }
  void SetOnDownloadBegin(TNotifyEvent h) { FOnDownloadBegin = std::move(h); }
  const TNotifyEvent& OnDownloadEnd() const { return FOnDownloadEnd; }
  void SetOnDownloadEnd(TNotifyEvent h) { FOnDownloadEnd = std::move(h); }
  const TNotifyEvent& OnOpen() const { return FOnOpen; }
  void SetOnOpen(TNotifyEvent h) { FOnOpen = std::move(h); }

  // Logs a failed SDK result as "XXXXXXXX NAME"; nothing for EDS_ERR_OK.
  void Check(EdsError Err) const;

  bool Initialized() const { return FInitialized.load(); }
  std::size_t QueueCount() const { return FQueue.Count(); }
  // How long Finalize lets repeating commands run before the worker stops
  // repeating them and queuing successors (default 3 s).
  void SetShutdownGrace(std::chrono::milliseconds grace) { FShutdownGraceMs = grace.count(); }

  // Repeats granted to a focus step, a zoom change and a live-view stop.
  static constexpr int RepeatLimit = 20;
  static constexpr std::chrono::milliseconds PassInterval{50};

 private:
  // Commands run on the worker.
  bool CommandOpenSession();
  bool CommandCloseSession();
  bool CommandStartEvf();
  bool CommandStopEvf();
  bool CommandDownloadEvf();
  bool CommandTakePicture();
  bool CommandDownload(EdsBaseRef Item);
  bool CommandFocus(std::int32_t Param);
  bool CommandZoom(std::int32_t Param);

  // False when the command was dropped (no worker to run it).
  bool Push(std::unique_ptr<TCommand> command);
  bool PushFromWorker(std::unique_ptr<TCommand> command);
  void CreateWorker();
  void WorkerLoop();
  bool IsLegacy() const { return FDeviceInfo.deviceSubType == 0; }
  bool ShutdownGraceOver() const;
  TChoiceList ReadPropDescriptions(EdsPropertyID PropID);
  TChoiceList Desc(const TChoiceList& field) const;
  void FreeDescriptions();
  void PostToUi(std::function<void()> work);

  void SynchronizedLiveView(std::unique_ptr<TMemoryStream> Stream);
  void SynchronizedTakePicture(std::unique_ptr<TMemoryStream> Stream);
  void SynchronizedDownloadBegin();
  void SynchronizedDownloadProgress(std::int32_t Percent);
  void SynchronizedDownloadEnd();

  // Copies the SDK stream's bytes; null if the stream could not be read.
  std::unique_ptr<TMemoryStream> CopyStream(EdsStreamRef stream);

  static EdsError EDSCALLBACK PropertyEventHandler(EdsPropertyEvent inEvent, EdsPropertyID inPropertyID,
                                                   EdsUInt32 inParam, EdsVoid* inContext);
  static EdsError EDSCALLBACK ObjectEventHandler(EdsObjectEvent inEvent, EdsBaseRef inRef, EdsVoid* inContext);
  static EdsError EDSCALLBACK CameraStateEventHandler(EdsStateEvent inEvent, EdsUInt32 inEventData,
                                                      EdsVoid* inContext);
  static EdsError EDSCALLBACK ProgressCallback(EdsUInt32 inPercent, EdsVoid* inContext, EdsBool* outCancel);

  // COM for the constructing thread, first in and last out: it outlives the
  // SDK, which the destructor terminates.
  TComApartment FComApartment;
  IDispatcher& FDispatcher;
  std::thread FWorker;
  std::atomic<std::thread::id> FWorkerId{};
  std::atomic<bool> FWorkerRunning{false};
  TCommandQueue FQueue{10};
  std::map<std::int32_t, std::string> FErrorDesc;
  TCanonPropDesc FPropDesc;
  std::atomic<bool> FInitialized{false};
  std::atomic<std::int64_t> FShutdownStart{0};  // steady-clock ns when Finalize began; 0 while running
  std::atomic<std::int64_t> FShutdownGraceMs{3000};
  bool FSdkUp = false;  // EdsInitializeSDK succeeded and EdsTerminateSDK is still owed

  TCanonStreamEvent FOnLiveView;
  TCanonStreamEvent FOnTakePicture;
  TCanonProgressEvent FOnDownloadProgress;
  TNotifyEvent FOnDownloadBegin;
  TNotifyEvent FOnDownloadEnd;
  TNotifyEvent FOnOpen;

  EdsBaseRef FCamera = nullptr;
  EdsDeviceInfo FDeviceInfo{};
  EdsUInt32 FEvfOutputDevice = 0;  // worker only

  mutable std::mutex FDescLock;  // the lists are built on the worker and read on the UI thread
  TChoiceList FAvDesc, FMeteringModeDesc, FTvDesc, FISOSpeedDesc, FExposureCompensationDesc, FDriveModeDesc,
      FWhiteBalanceDesc, FColorTemperatureDesc, FImageQualityDesc, FContrastDesc;

  // Closures posted to the UI thread check this before touching the controller.
  std::shared_ptr<TCanon*> FAlive;
};

// The application-global object owning the camera controller.
class TGlobal {
 public:
  static TGlobal* FInstance;

  explicit TGlobal(IDispatcher& dispatcher);
  ~TGlobal();
  TCanon& Canon() { return *FCanon; }

 private:
  void on_Open(TCanon* Sender);
  std::unique_ptr<TCanon> FCanon;
};
