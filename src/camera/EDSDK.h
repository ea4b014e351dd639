// Declarations of the camera SDK calls, types and constants this program uses.
//
// The implementation behind them is chosen at build time (CMake option
// SULO_CAMERA): the simulated camera (src/simulator/camera, any platform) or the
// maker's EDSDK library (32-bit Windows, stdcall). Only what the camera
// controller relies on is declared here; record fields we do not use are our
// own choice and are never read by the controller.
//
// Every call returns a 32-bit error code, EDS_ERR_OK (0) on success, except
// EdsRelease, which returns the remaining reference count (0xFFFFFFFF for a
// reference it does not know). References are opaque.
#pragma once

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define EDSAPI __stdcall
#define EDSCALLBACK __stdcall
#else
#define EDSAPI
#define EDSCALLBACK
#endif

// Basic types.
typedef void EdsVoid;
typedef char EdsChar;
typedef std::int32_t EdsInt32;
typedef std::uint32_t EdsUInt32;
typedef std::uint64_t EdsUInt64;
typedef std::int32_t EdsBool;
typedef EdsUInt32 EdsError;

typedef EdsUInt32 EdsPropertyID;
typedef EdsUInt32 EdsPropertyEvent;
typedef EdsUInt32 EdsObjectEvent;
typedef EdsUInt32 EdsStateEvent;
typedef EdsUInt32 EdsCameraCommand;
typedef EdsUInt32 EdsCameraStatusCommand;
typedef EdsUInt32 EdsProgressOption;

// Opaque references.
struct __EdsObject;
typedef __EdsObject* EdsBaseRef;
typedef EdsBaseRef EdsCameraListRef;
typedef EdsBaseRef EdsCameraRef;
typedef EdsBaseRef EdsStreamRef;
typedef EdsBaseRef EdsEvfImageRef;
typedef EdsBaseRef EdsDirectoryItemRef;

// ---------------------------------------------------------------- records
#define EDS_MAX_NAME 256

typedef struct tagEdsDeviceInfo {
  EdsChar szPortName[EDS_MAX_NAME];
  EdsChar szDeviceDescription[EDS_MAX_NAME];
  EdsUInt32 deviceSubType;  // 0 marks a legacy camera
  EdsUInt32 reserved;
} EdsDeviceInfo;

typedef struct tagEdsPropertyDesc {
  EdsInt32 form;
  EdsInt32 access;
  EdsInt32 numElements;    // how many of propDesc are valid (0..128)
  EdsInt32 propDesc[128];  // the codes the camera offers, in its order
} EdsPropertyDesc;

typedef struct tagEdsPictureStyleDesc {
  EdsInt32 contrast;
  EdsUInt32 sharpness;
  EdsInt32 saturation;
  EdsInt32 colorTone;
  EdsUInt32 filterEffect;
  EdsUInt32 toningEffect;
} EdsPictureStyleDesc;

typedef struct tagEdsPoint {
  EdsInt32 x;
  EdsInt32 y;
} EdsPoint;

typedef struct tagEdsCapacity {
  EdsInt32 numberOfFreeClusters;
  EdsInt32 bytesPerSector;
  EdsBool reset;
} EdsCapacity;

typedef struct tagEdsDirectoryItemInfo {
  EdsUInt32 size;  // bytes of the file
  EdsBool isFolder;
  EdsUInt32 groupID;
  EdsUInt32 option;
  EdsChar szFileName[EDS_MAX_NAME];
  EdsUInt32 format;
  EdsUInt32 dateTime;
} EdsDirectoryItemInfo;

static_assert(sizeof(EdsPictureStyleDesc) == 24, "picture style record is six 32-bit fields");
static_assert(sizeof(EdsPoint) == 8, "a point is two 32-bit values");

// ---------------------------------------------------------------- callbacks
typedef EdsError(EDSCALLBACK* EdsPropertyEventHandler)(EdsPropertyEvent inEvent, EdsPropertyID inPropertyID,
                                                        EdsUInt32 inParam, EdsVoid* inContext);
typedef EdsError(EDSCALLBACK* EdsObjectEventHandler)(EdsObjectEvent inEvent, EdsBaseRef inRef, EdsVoid* inContext);
typedef EdsError(EDSCALLBACK* EdsStateEventHandler)(EdsStateEvent inEvent, EdsUInt32 inEventData,
                                                     EdsVoid* inContext);
typedef EdsError(EDSCALLBACK* EdsProgressCallback)(EdsUInt32 inPercent, EdsVoid* inContext, EdsBool* outCancel);

// ---------------------------------------------------------------- property IDs
constexpr EdsPropertyID kEdsPropID_SaveTo = 0x0000000B;
constexpr EdsPropertyID kEdsPropID_ImageQuality = 0x00000100;
constexpr EdsPropertyID kEdsPropID_WhiteBalance = 0x00000106;
constexpr EdsPropertyID kEdsPropID_ColorTemperature = 0x00000107;
constexpr EdsPropertyID kEdsPropID_WhiteBalanceShift = 0x00000108;
constexpr EdsPropertyID kEdsPropID_PictureStyle = 0x00000114;
constexpr EdsPropertyID kEdsPropID_PictureStyleDesc = 0x00000115;
constexpr EdsPropertyID kEdsPropID_DriveMode = 0x00000401;
constexpr EdsPropertyID kEdsPropID_ISOSpeed = 0x00000402;
constexpr EdsPropertyID kEdsPropID_MeteringMode = 0x00000403;
constexpr EdsPropertyID kEdsPropID_Av = 0x00000405;
constexpr EdsPropertyID kEdsPropID_Tv = 0x00000406;
constexpr EdsPropertyID kEdsPropID_ExposureCompensation = 0x00000407;
constexpr EdsPropertyID kEdsPropID_Evf_OutputDevice = 0x00000500;
constexpr EdsPropertyID kEdsPropID_Evf_Mode = 0x00000501;
constexpr EdsPropertyID kEdsPropID_Evf_DepthOfFieldPreview = 0x00000504;
constexpr EdsPropertyID kEdsPropID_Evf_Zoom = 0x00000507;
constexpr EdsPropertyID kEdsPropID_Evf_ZoomPosition = 0x00000508;

// Property values.
constexpr EdsUInt32 kEdsSaveTo_Host = 2;
constexpr EdsUInt32 kEdsEvfOutputDevice_PC = 2;
constexpr EdsUInt32 kEdsEvfDepthOfFieldPreview_OFF = 0;
constexpr EdsUInt32 kEdsEvfZoom_Fit = 1;
constexpr EdsUInt32 kEdsEvfZoom_x10 = 10;
constexpr EdsUInt32 kEdsPictureStyle_User1 = 0x21;

// ---------------------------------------------------------------- events
constexpr EdsPropertyEvent kEdsPropertyEvent_All = 0x00000100;
constexpr EdsObjectEvent kEdsObjectEvent_All = 0x00000200;
constexpr EdsObjectEvent kEdsObjectEvent_DirItemRequestTransfer = 0x00000208;
constexpr EdsStateEvent kEdsStateEvent_All = 0x00000300;
constexpr EdsStateEvent kEdsStateEvent_Shutdown = 0x00000301;

// ---------------------------------------------------------------- commands
constexpr EdsCameraCommand kEdsCameraCommand_TakePicture = 0x00000000;
constexpr EdsCameraCommand kEdsCameraCommand_DriveLensEvf = 0x00000103;
constexpr EdsInt32 kEdsEvfDriveLens_Near1 = 0x00000001;
constexpr EdsInt32 kEdsEvfDriveLens_Near2 = 0x00000002;
constexpr EdsInt32 kEdsEvfDriveLens_Far1 = 0x00008001;
constexpr EdsInt32 kEdsEvfDriveLens_Far2 = 0x00008002;
constexpr EdsCameraStatusCommand kEdsCameraStatusCommand_UILock = 0x00000000;
constexpr EdsCameraStatusCommand kEdsCameraStatusCommand_UIUnLock = 0x00000001;
constexpr EdsProgressOption kEdsProgressOption_Periodically = 2;

// ---------------------------------------------------------------- error codes
// The first three after EDS_ERR_OK are the ones the controller acts on. The
// others are the general failures the simulated camera answers with; their
// values are ours and only name log lines.
constexpr EdsError EDS_ERR_OK = 0x00000000;
constexpr EdsError EDS_ERR_DEVICE_NOT_FOUND = 0x00000080;
constexpr EdsError EDS_ERR_DEVICE_BUSY = 0x00000081;
constexpr EdsError EDS_ERR_OBJECT_NOTREADY = 0x0000A102;
constexpr EdsError EDS_ERR_INTERNAL_ERROR = 0x00000002;
constexpr EdsError EDS_ERR_NOT_SUPPORTED = 0x00000007;
constexpr EdsError EDS_ERR_INVALID_PARAMETER = 0x00000060;
constexpr EdsError EDS_ERR_INVALID_HANDLE = 0x00000061;
constexpr EdsError EDS_ERR_INVALID_POINTER = 0x00000062;
constexpr EdsError EDS_ERR_INVALID_INDEX = 0x00000063;
constexpr EdsError EDS_ERR_INVALID_LENGTH = 0x00000064;
constexpr EdsError EDS_ERR_PROPERTIES_UNAVAILABLE = 0x00000050;
constexpr EdsError EDS_ERR_SESSION_NOT_OPEN = 0x00002003;

// ---------------------------------------------------------------- calls
extern "C" {
EdsError EDSAPI EdsInitializeSDK();
EdsError EDSAPI EdsTerminateSDK();

EdsError EDSAPI EdsGetCameraList(EdsCameraListRef* outCameraListRef);
EdsError EDSAPI EdsGetChildCount(EdsBaseRef inRef, EdsUInt32* outCount);
EdsError EDSAPI EdsGetChildAtIndex(EdsBaseRef inRef, EdsInt32 inIndex, EdsBaseRef* outRef);
EdsError EDSAPI EdsGetDeviceInfo(EdsCameraRef inCameraRef, EdsDeviceInfo* outDeviceInfo);
EdsUInt32 EDSAPI EdsRelease(EdsBaseRef inRef);

EdsError EDSAPI EdsSetPropertyEventHandler(EdsCameraRef inCameraRef, EdsPropertyEvent inEvent,
                                           EdsPropertyEventHandler inPropertyEventHandler, EdsVoid* inContext);
EdsError EDSAPI EdsSetObjectEventHandler(EdsCameraRef inCameraRef, EdsObjectEvent inEvent,
                                         EdsObjectEventHandler inObjectEventHandler, EdsVoid* inContext);
EdsError EDSAPI EdsSetCameraStateEventHandler(EdsCameraRef inCameraRef, EdsStateEvent inEvent,
                                              EdsStateEventHandler inStateEventHandler, EdsVoid* inContext);

EdsError EDSAPI EdsOpenSession(EdsCameraRef inCameraRef);
EdsError EDSAPI EdsCloseSession(EdsCameraRef inCameraRef);

EdsError EDSAPI EdsGetPropertyData(EdsBaseRef inRef, EdsPropertyID inPropertyID, EdsInt32 inParam,
                                   EdsUInt32 inPropertySize, EdsVoid* outPropertyData);
EdsError EDSAPI EdsSetPropertyData(EdsBaseRef inRef, EdsPropertyID inPropertyID, EdsInt32 inParam,
                                   EdsUInt32 inPropertySize, const EdsVoid* inPropertyData);
EdsError EDSAPI EdsGetPropertyDesc(EdsBaseRef inRef, EdsPropertyID inPropertyID, EdsPropertyDesc* outPropertyDesc);

EdsError EDSAPI EdsSendStatusCommand(EdsCameraRef inCameraRef, EdsCameraStatusCommand inStatusCommand,
                                     EdsInt32 inParam);
EdsError EDSAPI EdsSendCommand(EdsCameraRef inCameraRef, EdsCameraCommand inCommand, EdsInt32 inParam);
EdsError EDSAPI EdsSetCapacity(EdsCameraRef inCameraRef, EdsCapacity inCapacity);

EdsError EDSAPI EdsGetDirectoryItemInfo(EdsDirectoryItemRef inDirItemRef, EdsDirectoryItemInfo* outDirItemInfo);
EdsError EDSAPI EdsCreateMemoryStream(EdsUInt64 inBufferSize, EdsStreamRef* outStream);
EdsError EDSAPI EdsSetProgressCallback(EdsBaseRef inRef, EdsProgressCallback inProgressCallback,
                                       EdsProgressOption inProgressOption, EdsVoid* inContext);
EdsError EDSAPI EdsDownload(EdsDirectoryItemRef inDirItemRef, EdsUInt64 inReadSize, EdsStreamRef outStream);
EdsError EDSAPI EdsDownloadComplete(EdsDirectoryItemRef inDirItemRef);
EdsError EDSAPI EdsDownloadCancel(EdsDirectoryItemRef inDirItemRef);

EdsError EDSAPI EdsCreateEvfImageRef(EdsStreamRef inStreamRef, EdsEvfImageRef* outEvfImageRef);
EdsError EDSAPI EdsDownloadEvfImage(EdsCameraRef inCameraRef, EdsEvfImageRef inEvfImageRef);

EdsError EDSAPI EdsGetPointer(EdsStreamRef inStream, EdsVoid** outPointer);
EdsError EDSAPI EdsGetLength(EdsStreamRef inStream, EdsUInt64* outLength);
}
