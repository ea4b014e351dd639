// The controller itself: its command queue and worker, the lifecycle, the
// session, direct property access and the SDK callbacks that need no queue.
// Live view is in CanonLiveView.cpp, the shutter and download in CanonCapture.cpp.
#include "camera/Canon.h"

#include <cstdio>
#include <cstring>
#include <optional>

#include "logging/Log.h"
#include "notification/Interfaces.h"

namespace {

std::string Hex8(EdsError err) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(err));
  return text;
}

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// ====================================================================== TMemoryStream

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = std::min(count, FBytes.size() - FPosition);
  if (n) std::memcpy(buffer, FBytes.data() + FPosition, n);
  FPosition += n;
  return n;
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes() {
  FPosition = 0;
  return std::move(FBytes);
}

// ====================================================================== TCommandQueue

bool TCommandQueue::Push(std::unique_ptr<TCommand>& command, const std::function<bool()>& keepWaiting) {
  std::unique_lock lock(FLock);
  while (!FClosed && FItems.size() >= FCapacity) {
    FNotFull.wait_for(lock, std::chrono::milliseconds(5));
    if (FClosed || FItems.size() < FCapacity) break;
    lock.unlock();
    const bool wait = keepWaiting ? keepWaiting() : true;
    lock.lock();
    if (!wait) return false;
  }
  if (FClosed) return false;
  FItems.push_back(std::move(command));
  return true;
}

bool TCommandQueue::PushNoWait(std::unique_ptr<TCommand> command) {
  {
    std::lock_guard guard(FLock);
    if (!FClosed) {
      FItems.push_back(std::move(command));
      return true;
    }
  }
  return false;  // the command is freed here, outside the lock
}

std::unique_ptr<TCommand> TCommandQueue::TryPop() {
  std::unique_ptr<TCommand> command;
  {
    std::lock_guard guard(FLock);
    if (FItems.empty()) return nullptr;
    command = std::move(FItems.front());
    FItems.pop_front();
  }
  FNotFull.notify_all();
  return command;
}

std::size_t TCommandQueue::Count() const {
  std::lock_guard guard(FLock);
  return FItems.size();
}

void TCommandQueue::Open() {
  std::lock_guard guard(FLock);
  FClosed = false;
}

bool TCommandQueue::CloseIfEmpty() {
  {
    std::lock_guard guard(FLock);
    if (!FItems.empty()) return false;
    FClosed = true;
  }
  FNotFull.notify_all();  // a push waiting for room is refused now
  return true;
}

void TCommandQueue::Clear() {
  std::deque<std::unique_ptr<TCommand>> items;
  {
    std::lock_guard guard(FLock);
    items.swap(FItems);
  }
  FNotFull.notify_all();
}

// ====================================================================== TCanon: lifecycle

TCanon::TCanon(IDispatcher& dispatcher) : FDispatcher(dispatcher), FAlive(std::make_shared<TCanon*>(this)) {
  Trace("TCanon.Create");
  FErrorDesc = {
      {static_cast<std::int32_t>(EDS_ERR_DEVICE_NOT_FOUND), "EDS_ERR_DEVICE_NOT_FOUND"},
      {static_cast<std::int32_t>(EDS_ERR_DEVICE_BUSY), "EDS_ERR_DEVICE_BUSY"},
      {static_cast<std::int32_t>(EDS_ERR_OBJECT_NOTREADY), "EDS_ERR_OBJECT_NOTREADY"},
      {static_cast<std::int32_t>(EDS_ERR_INTERNAL_ERROR), "EDS_ERR_INTERNAL_ERROR"},
      {static_cast<std::int32_t>(EDS_ERR_NOT_SUPPORTED), "EDS_ERR_NOT_SUPPORTED"},
      {static_cast<std::int32_t>(EDS_ERR_INVALID_PARAMETER), "EDS_ERR_INVALID_PARAMETER"},
      {static_cast<std::int32_t>(EDS_ERR_INVALID_HANDLE), "EDS_ERR_INVALID_HANDLE"},
      {static_cast<std::int32_t>(EDS_ERR_INVALID_POINTER), "EDS_ERR_INVALID_POINTER"},
      {static_cast<std::int32_t>(EDS_ERR_INVALID_INDEX), "EDS_ERR_INVALID_INDEX"},
      {static_cast<std::int32_t>(EDS_ERR_INVALID_LENGTH), "EDS_ERR_INVALID_LENGTH"},
      {static_cast<std::int32_t>(EDS_ERR_PROPERTIES_UNAVAILABLE), "EDS_ERR_PROPERTIES_UNAVAILABLE"},
      {static_cast<std::int32_t>(EDS_ERR_SESSION_NOT_OPEN), "EDS_ERR_SESSION_NOT_OPEN"},
  };
}

TCanon::~TCanon() {
  // A controller destroyed without Finalize would leave a running worker
  // behind; finish it first.
  Finalize();
  if (FSdkUp) {
    EdsTerminateSDK();
    FSdkUp = false;
  }
  FQueue.Clear();
  FAlive.reset();  // closures still queued for the UI thread become no-ops
}

void TCanon::Initialize() {
  if (FInitialized) return;
  EdsCameraListRef list = nullptr;
  EdsUInt32 count = 0;

  EdsError err = EdsInitializeSDK();
  if (err == EDS_ERR_OK) FSdkUp = true;
  if (err == EDS_ERR_OK) err = EdsGetCameraList(&list);
  Trace(Hex8(err) + " EdsGetCameraList");
  if (err == EDS_ERR_OK) {
    err = EdsGetChildCount(list, &count);
    if (err == EDS_ERR_OK && count == 0) err = EDS_ERR_DEVICE_NOT_FOUND;
  }
  if (err == EDS_ERR_OK) {
    err = EdsGetChildAtIndex(list, 0, &FCamera);
    if (err == EDS_ERR_OK && !FCamera) err = EDS_ERR_DEVICE_NOT_FOUND;
  }
  if (err == EDS_ERR_OK) err = EdsGetDeviceInfo(FCamera, &FDeviceInfo);
  Trace(Hex8(err) + " EdsGetDeviceInfo");
  if (list) EdsRelease(list);

  if (err == EDS_ERR_OK) err = EdsSetPropertyEventHandler(FCamera, kEdsPropertyEvent_All, PropertyEventHandler, this);
  if (err == EDS_ERR_OK) err = EdsSetObjectEventHandler(FCamera, kEdsObjectEvent_All, ObjectEventHandler, this);
  if (err == EDS_ERR_OK)
    err = EdsSetCameraStateEventHandler(FCamera, kEdsStateEvent_All, CameraStateEventHandler, this);

  if (err == EDS_ERR_OK) {
    FInitialized = true;
    CreateWorker();
    return;
  }
  if (FCamera) {  // found but not usable: do not keep it
    EdsRelease(FCamera);
    FCamera = nullptr;
  }
  if (FDispatcher.IsUiThread())
    Notify<IConnectionListener>(&IConnectionListener::CameraIsConnect, false);
  else
    PostToUi([] { Notify<IConnectionListener>(&IConnectionListener::CameraIsConnect, false); });
}

void TCanon::CreateWorker() {
  if (FWorker.joinable()) return;
  Trace("TCanon.CreateWorker");
  FShutdownStart = 0;
  FWorkerRunning = true;
  FQueue.Open();
  FWorker = std::thread([this] { WorkerLoop(); });
  FWorkerId = FWorker.get_id();
}

void TCanon::WorkerLoop() {
  TLog::SetThreadName("camera");
  std::optional<TComApartment> com;  // this thread's, released when the loop ends
  com.emplace();
  for (;;) {
    // Once Finalize has begun, the pass that finds the queue empty is the
    // last, and it closes the queue in the same step: a push from another
    // thread lands before it (and runs) or is refused, never in between.
    if (!FInitialized && FQueue.CloseIfEmpty()) break;
    if (std::unique_ptr<TCommand> command = FQueue.TryPop()) {
      bool finished = true;
      try {
        finished = command->Execute();
      } catch (const std::exception& e) {
        Trace("TCanon: " + command->Name() + " failed: " + e.what());
      } catch (...) {
        Trace("TCanon: " + command->Name() + " failed");
      }
      if (!finished) {
        ++command->FRepeats;
        if (command->RepeatLimit() > 0 && command->FRepeats >= command->RepeatLimit())
          Trace("TCanon: " + command->Name() + " dropped after " + std::to_string(command->FRepeats) + " attempts");
        else
          PushFromWorker(std::move(command));
      }
    }
    std::this_thread::sleep_for(PassInterval);
  }
  com.reset();
  FWorkerRunning = false;
}

bool TCanon::ShutdownGraceOver() const {
  const std::int64_t start = FShutdownStart;
  return start != 0 && NowNs() - start > FShutdownGraceMs.load() * 1000000;
}

void TCanon::Finalize() {
  if (!FInitialized) return;
  FShutdownStart = NowNs();
  FInitialized = false;
  if (FWorker.joinable()) {
    // The worker may be waiting for the UI thread (a live-view frame): keep
    // serving it until the worker has drained the queue and ended.
    while (FWorkerRunning) {
      if (FDispatcher.IsUiThread() && FDispatcher.ProcessPending() > 0) continue;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    FWorker.join();
    FWorker = std::thread();
    FWorkerId = std::thread::id();
  }
  if (FCamera) {
    EdsRelease(FCamera);
    FCamera = nullptr;
  }
  EdsTerminateSDK();
  FSdkUp = false;
}

void TCanon::Open() { Push(std::make_unique<TCommandNoRef>(this, &TCanon::CommandOpenSession, "CommandOpenSession")); }

void TCanon::Close() {
  Push(std::make_unique<TCommandNoRef>(this, &TCanon::CommandCloseSession, "CommandCloseSession"));
}

// ====================================================================== queue access

bool TCanon::Push(std::unique_ptr<TCommand> command) {
  if (std::this_thread::get_id() == FWorkerId.load()) return PushFromWorker(std::move(command));
  const bool running = FWorkerRunning;
  // A full queue makes the caller wait; the UI thread serves its pending
  // work meanwhile, so a worker waiting on it for a frame can go on.
  const bool queued = FQueue.Push(command, [this] {
    if (FDispatcher.IsUiThread()) FDispatcher.ProcessPending();
    return FWorkerRunning.load();
  });
  if (!queued) {
    Trace("TCanon: " + command->Name() +
          (running ? " dropped, the camera worker has ended" : " dropped, the camera is not initialised"));
    command.reset();  // refused: freed here and now, its SDK reference with it
  }
  return queued;
}

bool TCanon::PushFromWorker(std::unique_ptr<TCommand> command) {
  if (ShutdownGraceOver()) {
    Trace("TCanon: " + command->Name() + " dropped at shutdown");
    return false;
  }
  const std::string name = command->Name();
  if (FQueue.PushNoWait(std::move(command))) return true;
  Trace("TCanon: " + name + " dropped, the camera worker has ended");
  return false;
}

void TCanon::PostToUi(std::function<void()> work) { FDispatcher.Post(std::move(work)); }

// ====================================================================== session

TChoiceList TCanon::ReadPropDescriptions(EdsPropertyID PropID) {
  EdsPropertyDesc desc{};
  if (EdsGetPropertyDesc(FCamera, PropID, &desc) != EDS_ERR_OK) return nullptr;
  return std::make_shared<const TDevicePropertyList>(FPropDesc.GetPropDesc(PropID, desc));
}

TChoiceList TCanon::Desc(const TChoiceList& field) const {
  std::lock_guard guard(FDescLock);
  return field;
}

void TCanon::FreeDescriptions() {
  std::lock_guard guard(FDescLock);
  for (TChoiceList* field : {&FISOSpeedDesc, &FMeteringModeDesc, &FAvDesc, &FTvDesc, &FExposureCompensationDesc,
                             &FDriveModeDesc, &FWhiteBalanceDesc, &FColorTemperatureDesc, &FImageQualityDesc,
                             &FContrastDesc})
    field->reset();
}

bool TCanon::CommandOpenSession() {
  EdsError err = EdsOpenSession(FCamera);
  if (!IsLegacy()) {
    bool locked = false;
    if (err == EDS_ERR_OK) {
      const EdsUInt32 saveTo = kEdsSaveTo_Host;
      err = EdsSetPropertyData(FCamera, kEdsPropID_SaveTo, 0, sizeof saveTo, &saveTo);
    }
    if (err == EDS_ERR_OK) {
      err = EdsSendStatusCommand(FCamera, kEdsCameraStatusCommand_UILock, 0);
      locked = err == EDS_ERR_OK;
    }
    if (err == EDS_ERR_OK) {
      EdsCapacity capacity{0x7FFFFFFF, 0x1000, 1};
      err = EdsSetCapacity(FCamera, capacity);
    }
    if (locked) EdsSendStatusCommand(FCamera, kEdsCameraStatusCommand_UIUnLock, 0);
    if (err == EDS_ERR_OK)
      err = EdsGetPropertyData(FCamera, kEdsPropID_Evf_OutputDevice, 0, sizeof FEvfOutputDevice, &FEvfOutputDevice);

    const EdsPropertyDesc none{};
    TChoiceList iso = ReadPropDescriptions(kEdsPropID_ISOSpeed);
    TChoiceList metering = ReadPropDescriptions(kEdsPropID_MeteringMode);
    TChoiceList av = ReadPropDescriptions(kEdsPropID_Av);
    TChoiceList tv = ReadPropDescriptions(kEdsPropID_Tv);
    TChoiceList exposure = ReadPropDescriptions(kEdsPropID_ExposureCompensation);
    TChoiceList quality = ReadPropDescriptions(kEdsPropID_ImageQuality);
    TChoiceList contrast = ReadPropDescriptions(kEdsPropID_PictureStyle);
    auto fixed = [&](EdsPropertyID id) {
      return std::make_shared<const TDevicePropertyList>(FPropDesc.GetPropDesc(id, none));
    };
    {
      std::lock_guard guard(FDescLock);
      FISOSpeedDesc = iso;
      FMeteringModeDesc = metering;
      FAvDesc = av;
      FTvDesc = tv;
      FExposureCompensationDesc = exposure;
      FImageQualityDesc = quality;
      FContrastDesc = contrast;
      FDriveModeDesc = fixed(kEdsPropID_DriveMode);
      FWhiteBalanceDesc = fixed(kEdsPropID_WhiteBalance);
      FColorTemperatureDesc = fixed(kEdsPropID_ColorTemperature);
    }
    // The event bus lives on the UI thread.
    PostToUi([] { Notify<IConnectionListener>(&IConnectionListener::CameraIsConnect, true); });
  }
  if (err == EDS_ERR_OK) {
    std::weak_ptr<TCanon*> alive = FAlive;
    PostToUi([alive] {
      if (auto self = alive.lock())
        if ((*self)->FOnOpen) (*self)->FOnOpen(*self);
    });
  }
  Check(err);
  return true;
}

bool TCanon::CommandCloseSession() {
  FreeDescriptions();
  Check(EdsCloseSession(FCamera));
  return true;
}

// ====================================================================== properties

EdsUInt32 TCanon::GetPropValue(EdsPropertyID PropID) {
  EdsUInt32 value = 0;
  const EdsError err = EdsGetPropertyData(FCamera, PropID, 0, sizeof value, &value);
  Check(err);
  return err == EDS_ERR_OK ? value : 0xFFFFFFFF;
}

void TCanon::SetPropValue(EdsPropertyID PropID, EdsUInt32 Value) {
  Check(EdsSetPropertyData(FCamera, PropID, 0, sizeof Value, &Value));
}

std::int32_t TCanon::GetWhiteBalanceShift(int Index) {
  EdsInt32 pair[2] = {0, 0};
  const EdsError err = EdsGetPropertyData(FCamera, kEdsPropID_WhiteBalanceShift, 0, sizeof pair, pair);
  Check(err);
  if (err != EDS_ERR_OK || Index < 0 || Index > 1) return -1;
  return pair[Index];
}

void TCanon::SetWhiteBalanceShift(int Index, std::int32_t Value) {
  if (Index < 0 || Index > 1) {
    Trace("TCanon.SetWhiteBalanceShift: no such index " + std::to_string(Index));
    return;
  }
  EdsInt32 pair[2] = {0, 0};
  EdsError err = EdsGetPropertyData(FCamera, kEdsPropID_WhiteBalanceShift, 0, sizeof pair, pair);
  if (err == EDS_ERR_OK) {
    pair[Index] = Value;
    err = EdsSetPropertyData(FCamera, kEdsPropID_WhiteBalanceShift, 0, sizeof pair, pair);
  }
  Check(err);
}

EdsPictureStyleDesc TCanon::GetPictureStyleDesc() { return ReadPictureStyleDesc().value_or(EdsPictureStyleDesc{}); }

std::optional<EdsPictureStyleDesc> TCanon::ReadPictureStyleDesc() {
  EdsPictureStyleDesc desc{};
  const EdsError err =
      EdsGetPropertyData(FCamera, kEdsPropID_PictureStyleDesc, kEdsPictureStyle_User1, sizeof desc, &desc);
  Check(err);
  if (err != EDS_ERR_OK) return std::nullopt;
  return desc;
}

void TCanon::SetPictureStyleDesc(const EdsPictureStyleDesc& Value) {
  Trace("SetPictureStyleDesc");
  Check(EdsSetPropertyData(FCamera, kEdsPropID_PictureStyleDesc, kEdsPictureStyle_User1, sizeof Value, &Value));
}

void TCanon::Check(EdsError Err) const {
  if (Err == EDS_ERR_OK) return;
  auto it = FErrorDesc.find(static_cast<std::int32_t>(Err));
  Trace(Hex8(Err) + " " + (it != FErrorDesc.end() ? it->second : std::string("Unknown Error")));
}

// ====================================================================== SDK streams

std::unique_ptr<TMemoryStream> TCanon::CopyStream(EdsStreamRef stream) {
  EdsVoid* pointer = nullptr;
  EdsUInt64 length = 0;
  const EdsError pointerErr = EdsGetPointer(stream, &pointer);
  Check(pointerErr);
  const EdsError lengthErr = EdsGetLength(stream, &length);
  Check(lengthErr);
  if (pointerErr != EDS_ERR_OK || lengthErr != EDS_ERR_OK || (length > 0 && !pointer)) return nullptr;
  const auto* bytes = static_cast<const std::uint8_t*>(pointer);
  return std::make_unique<TMemoryStream>(std::vector<std::uint8_t>(bytes, bytes + length));
}

// ====================================================================== SDK callbacks

EdsError EDSCALLBACK TCanon::PropertyEventHandler(EdsPropertyEvent, EdsPropertyID, EdsUInt32, EdsVoid*) {
  return EDS_ERR_OK;
}

EdsError EDSCALLBACK TCanon::CameraStateEventHandler(EdsStateEvent inEvent, EdsUInt32, EdsVoid* inContext) {
  auto* canon = static_cast<TCanon*>(inContext);
  if (inEvent == kEdsStateEvent_Shutdown && canon)
    canon->PostToUi([] { Notify<IDeviceShutdown>(&IDeviceShutdown::Shutdown); });
  return EDS_ERR_OK;
}

// ====================================================================== TGlobal

TGlobal* TGlobal::FInstance = nullptr;

TGlobal::TGlobal(IDispatcher& dispatcher) : FCanon(std::make_unique<TCanon>(dispatcher)) {
  FCanon->SetOnOpen([this](TCanon* Sender) { on_Open(Sender); });
}

TGlobal::~TGlobal() = default;

void TGlobal::on_Open(TCanon*) { Notify<ICanon>(&ICanon::OnOpen); }
