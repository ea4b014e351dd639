// A program that is only linked, never run: it takes every call EDSDK.h
// declares, and the build links the whole camera library into it, so a call
// missing from the SDK library (or declared with other parameter sizes, which
// on 32-bit Windows changes its name) fails the build instead of the booth.
#include "camera/EDSDK.h"

namespace {

void* const calls[] = {
    reinterpret_cast<void*>(&EdsInitializeSDK),
    reinterpret_cast<void*>(&EdsTerminateSDK),
    reinterpret_cast<void*>(&EdsGetCameraList),
    reinterpret_cast<void*>(&EdsGetChildCount),
    reinterpret_cast<void*>(&EdsGetChildAtIndex),
    reinterpret_cast<void*>(&EdsGetDeviceInfo),
    reinterpret_cast<void*>(&EdsRelease),
    reinterpret_cast<void*>(&EdsSetPropertyEventHandler),
    reinterpret_cast<void*>(&EdsSetObjectEventHandler),
    reinterpret_cast<void*>(&EdsSetCameraStateEventHandler),
    reinterpret_cast<void*>(&EdsOpenSession),
    reinterpret_cast<void*>(&EdsCloseSession),
    reinterpret_cast<void*>(&EdsGetPropertyData),
    reinterpret_cast<void*>(&EdsSetPropertyData),
    reinterpret_cast<void*>(&EdsGetPropertyDesc),
    reinterpret_cast<void*>(&EdsSendStatusCommand),
    reinterpret_cast<void*>(&EdsSendCommand),
    reinterpret_cast<void*>(&EdsSetCapacity),
    reinterpret_cast<void*>(&EdsGetDirectoryItemInfo),
    reinterpret_cast<void*>(&EdsCreateMemoryStream),
    reinterpret_cast<void*>(&EdsSetProgressCallback),
    reinterpret_cast<void*>(&EdsDownload),
    reinterpret_cast<void*>(&EdsDownloadComplete),
    reinterpret_cast<void*>(&EdsDownloadCancel),
    reinterpret_cast<void*>(&EdsCreateEvfImageRef),
    reinterpret_cast<void*>(&EdsDownloadEvfImage),
    reinterpret_cast<void*>(&EdsGetPointer),
    reinterpret_cast<void*>(&EdsGetLength),
};

}  // namespace

int main() {
  // Used, so the table and its references are kept.
  return calls[0] == nullptr ? 1 : 0;
}
