// The controller's shutter and picture download: the shot command, the
// camera's transfer request, the download with its progress, and the queued
// handler calls on the UI thread.
#include "camera/Canon.h"
#include "camera/ReleaseAtExit.h"
#include "logging/Log.h"

// ====================================================================== shutter and download

void TCanon::TakePicture() {
  Push(std::make_unique<TCommandNoRef>(this, &TCanon::CommandTakePicture, "CommandTakePicture"));
}

bool TCanon::CommandTakePicture() {
  Trace("CommandTakePicture");
  bool locked = false;
  EdsError err = EDS_ERR_OK;
  if (IsLegacy()) {
    err = EdsSendStatusCommand(FCamera, kEdsCameraStatusCommand_UILock, 0);
    locked = err == EDS_ERR_OK;
    Check(err);
  }
  err = EdsSendCommand(FCamera, kEdsCameraCommand_TakePicture, 0);
  Check(err);
  if (locked) {
    err = EdsSendStatusCommand(FCamera, kEdsCameraStatusCommand_UIUnLock, 0);
    Check(err);
  }
  return err != EDS_ERR_DEVICE_BUSY;
}

// Gives Item back at the end, then the stream. Should anything throw before
// that, the stream goes with its guard and the command gives Item back.
bool TCanon::CommandDownload(EdsBaseRef Item) {
  EdsDirectoryItemInfo info{};
  EdsStreamRef stream = nullptr;
  TReleaseAtExit releaseStream(stream);
  EdsError err = EdsGetDirectoryItemInfo(Item, &info);
  if (err == EDS_ERR_OK) err = EdsCreateMemoryStream(0, &stream);
  if (err == EDS_ERR_OK) err = EdsSetProgressCallback(stream, ProgressCallback, kEdsProgressOption_Periodically, this);
  SynchronizedDownloadBegin();
  if (err == EDS_ERR_OK) err = EdsDownload(Item, info.size, stream);
  if (err == EDS_ERR_OK) {
    err = EdsDownloadComplete(Item);
  } else {
    EdsDownloadCancel(Item);
  }
  SynchronizedDownloadEnd();
  if (err == EDS_ERR_OK) {
    if (auto copy = CopyStream(stream)) SynchronizedTakePicture(std::move(copy));
  }
  if (Item) EdsRelease(Item);
  return true;
}

// ====================================================================== UI-thread delivery

void TCanon::SynchronizedTakePicture(std::unique_ptr<TMemoryStream> Stream) {
  std::weak_ptr<TCanon*> alive = FAlive;
  std::shared_ptr<TMemoryStream> stream(std::move(Stream));
  PostToUi([alive, stream] {
    if (auto self = alive.lock())
      if ((*self)->FOnTakePicture) (*self)->FOnTakePicture(*self, *stream);
  });
}

void TCanon::SynchronizedDownloadBegin() {
  std::weak_ptr<TCanon*> alive = FAlive;
  PostToUi([alive] {
    if (auto self = alive.lock())
      if ((*self)->FOnDownloadBegin) (*self)->FOnDownloadBegin(*self);
  });
}

void TCanon::SynchronizedDownloadProgress(std::int32_t Percent) {
  std::weak_ptr<TCanon*> alive = FAlive;
  PostToUi([alive, Percent] {
    if (auto self = alive.lock())
      if ((*self)->FOnDownloadProgress) (*self)->FOnDownloadProgress(*self, Percent);
  });
}

void TCanon::SynchronizedDownloadEnd() {
  std::weak_ptr<TCanon*> alive = FAlive;
  PostToUi([alive] {
    if (auto self = alive.lock())
      if ((*self)->FOnDownloadEnd) (*self)->FOnDownloadEnd(*self);
  });
}

// ====================================================================== SDK callbacks

EdsError EDSCALLBACK TCanon::ObjectEventHandler(EdsObjectEvent inEvent, EdsBaseRef inRef, EdsVoid* inContext) {
  auto* canon = static_cast<TCanon*>(inContext);
  if (inEvent == kEdsObjectEvent_DirItemRequestTransfer && canon) {
    // The command owns the item from here on: downloaded, refused or dropped,
    // it is given back exactly once.
    canon->Push(std::make_unique<TCommandRef>(canon, &TCanon::CommandDownload, inRef, "CommandDownload"));
    return EDS_ERR_OK;
  }
  // The SDK hands us a reference with every object event; one we do not
  // download is given back.
  if (inRef) EdsRelease(inRef);
  return EDS_ERR_OK;
}

EdsError EDSCALLBACK TCanon::ProgressCallback(EdsUInt32 inPercent, EdsVoid* inContext, EdsBool* outCancel) {
  if (outCancel) *outCancel = 0;
  if (auto* canon = static_cast<TCanon*>(inContext))
    canon->SynchronizedDownloadProgress(static_cast<std::int32_t>(inPercent));
  return EDS_ERR_OK;
}
