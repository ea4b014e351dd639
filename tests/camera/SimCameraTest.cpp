// The simulated camera on its own: robustness against misuse, the failure
// plan, live-view frames, the shutter and its download.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <optional>
#include <mutex>
#include <thread>

#include <jpeglib.h>

#include "simulator/camera/SimCamera.h"
#include "simulator/lights/SimLights.h"

namespace {

struct TImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Rgb;
  const std::uint8_t* At(int x, int y) const { return Rgb.data() + (static_cast<std::size_t>(y) * Width + x) * 3; }
};

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
};

bool Decode(const std::vector<std::uint8_t>& bytes, TImage& out) {
  jpeg_decompress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<TJpegError*>(c->err)->Jump, 1); };
  error.Manager.output_message = [](j_common_ptr) {};
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  out.Width = static_cast<int>(info.output_width);
  out.Height = static_cast<int>(info.output_height);
  out.Rgb.assign(static_cast<std::size_t>(out.Width) * out.Height * 3, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out.Rgb.data() + static_cast<std::size_t>(info.output_scanline) * out.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

// Mean squared horizontal difference in a region: higher is sharper.
double Sharpness(const TImage& img, int x0, int y0, int x1, int y1) {
  double sum = 0;
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x + 1 < x1; ++x, ++n) {
      const int d = int(img.At(x, y)[1]) - int(img.At(x + 1, y)[1]);
      sum += d * d;
    }
  return sum / n;
}

class CameraSimTest : public ::testing::Test {
 protected:
  void SetUp() override { SimCamera::Reset(); }
  void TearDown() override {
    if (FCamera) EdsRelease(FCamera);
    EdsTerminateSDK();
    SimCamera::Reset();
  }

  // SDK up, the camera taken and in session.
  void Open() {
    ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
    EdsCameraListRef list = nullptr;
    ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
    ASSERT_EQ(EdsGetChildAtIndex(list, 0, &FCamera), EDS_ERR_OK);
    EXPECT_EQ(EdsRelease(list), 0u);
    ASSERT_EQ(EdsOpenSession(FCamera), EDS_ERR_OK);
  }

  void SetOutput(EdsUInt32 value) {
    ASSERT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_Evf_OutputDevice, 0, 4, &value), EDS_ERR_OK);
  }

  // One live-view frame, or the error.
  EdsError Frame(std::vector<std::uint8_t>& bytes) {
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    EXPECT_EQ(EdsCreateMemoryStream(0, &stream), EDS_ERR_OK);
    EXPECT_EQ(EdsCreateEvfImageRef(stream, &image), EDS_ERR_OK);
    const EdsError err = EdsDownloadEvfImage(FCamera, image);
    if (err == EDS_ERR_OK) {
      EdsVoid* p = nullptr;
      EdsUInt64 n = 0;
      EXPECT_EQ(EdsGetPointer(stream, &p), EDS_ERR_OK);
      EXPECT_EQ(EdsGetLength(stream, &n), EDS_ERR_OK);
      bytes.assign(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n);
    }
    EdsRelease(image);
    EdsRelease(stream);
    return err;
  }

  TImage LiveFrame() {
    std::vector<std::uint8_t> bytes;
    while (Frame(bytes) == EDS_ERR_OBJECT_NOTREADY) {
    }
    TImage img;
    EXPECT_TRUE(Decode(bytes, img));
    return img;
  }

  EdsCameraRef FCamera = nullptr;
};

}  // namespace

TEST_F(CameraSimTest, MisuseIsAnsweredWithErrors) {
  EdsCameraListRef list = nullptr;
  EXPECT_NE(EdsGetCameraList(&list), EDS_ERR_OK);  // before EdsInitializeSDK
  Open();
  auto bogus = reinterpret_cast<EdsBaseRef>(std::uintptr_t{0xdead0});
  EdsUInt32 value = 0;
  EdsInt32 pair[2];
  EdsUInt32 count = 0;
  EdsUInt64 length = 0;
  EdsVoid* pointer = nullptr;
  EdsDirectoryItemInfo info{};
  EXPECT_EQ(EdsGetChildCount(bogus, &count), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsGetChildCount(FCamera, &count), EDS_ERR_INVALID_HANDLE);  // a camera is not a list
  EXPECT_EQ(EdsGetPropertyData(bogus, kEdsPropID_Av, 0, 4, &value), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsGetPropertyData(nullptr, kEdsPropID_Av, 0, 4, &value), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, nullptr), EDS_ERR_INVALID_POINTER);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 8, pair), EDS_ERR_INVALID_LENGTH);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_WhiteBalanceShift, 0, 4, &value), EDS_ERR_INVALID_LENGTH);
  EXPECT_EQ(EdsGetPropertyData(FCamera, 0x9999, 0, 4, &value), EDS_ERR_PROPERTIES_UNAVAILABLE);
  value = 0x12;  // not an aperture this camera offers
  EXPECT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_INVALID_PARAMETER);
  EXPECT_EQ(EdsSendCommand(FCamera, 0x777, 0), EDS_ERR_NOT_SUPPORTED);
  EXPECT_EQ(EdsSendCommand(FCamera, kEdsCameraCommand_DriveLensEvf, 1), EDS_ERR_NOT_SUPPORTED);  // live view off
  EXPECT_EQ(EdsGetDirectoryItemInfo(FCamera, &info), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsDownload(bogus, 10, bogus), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsGetLength(bogus, &length), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsGetPointer(bogus, &pointer), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsCreateEvfImageRef(bogus, nullptr), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsRelease(bogus), 0xFFFFFFFFu);

  // A released reference is dead for good.
  EdsStreamRef stream = nullptr;
  ASSERT_EQ(EdsCreateMemoryStream(0, &stream), EDS_ERR_OK);
  EXPECT_EQ(EdsRelease(stream), 0u);
  EXPECT_EQ(EdsGetLength(stream, &length), EDS_ERR_INVALID_HANDLE);
  EXPECT_EQ(EdsRelease(stream), 0xFFFFFFFFu);

  ASSERT_EQ(EdsCloseSession(FCamera), EDS_ERR_OK);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_SESSION_NOT_OPEN);
  EXPECT_EQ(EdsCloseSession(FCamera), EDS_ERR_SESSION_NOT_OPEN);

  // Every call is in the log with its result.
  const auto calls = SimCamera::CallsOf("EdsSetPropertyData", kEdsPropID_Av);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Data, std::vector<std::int32_t>{0x12});
  EXPECT_EQ(calls[0].Result, EDS_ERR_INVALID_PARAMETER);
}

TEST_F(CameraSimTest, FailurePlanAnswersTheNextCalls) {
  Open();
  EdsUInt32 value = 0;
  SimCamera::FailNext("EdsGetPropertyData", EDS_ERR_DEVICE_BUSY, 2);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_DEVICE_BUSY);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_DEVICE_BUSY);
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_OK);
  SimCamera::FailNext("EdsGetPropertyData", EDS_ERR_DEVICE_BUSY, -1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_DEVICE_BUSY);
  SimCamera::ClearFailures();
  EXPECT_EQ(EdsGetPropertyData(FCamera, kEdsPropID_Av, 0, 4, &value), EDS_ERR_OK);
}

TEST_F(CameraSimTest, FramesAreJpegsOfTheSceneAfterAShortWait) {
  Open();
  std::vector<std::uint8_t> bytes;
  EXPECT_EQ(Frame(bytes), EDS_ERR_OBJECT_NOTREADY);  // live view not on the computer
  SetOutput(1 | kEdsEvfOutputDevice_PC);
  EXPECT_EQ(Frame(bytes), EDS_ERR_OBJECT_NOTREADY);
  EXPECT_EQ(Frame(bytes), EDS_ERR_OBJECT_NOTREADY);
  ASSERT_EQ(Frame(bytes), EDS_ERR_OK);
  TImage a;
  ASSERT_TRUE(Decode(bytes, a));
  EXPECT_EQ(a.Width, 1024);
  EXPECT_EQ(a.Height, 680);
  // Markers that show a turn or a mirror: red top-left and blue top-right
  // once the frame is turned a quarter turn clockwise, as the camera lies on
  // its side.
  const auto* red = a.At(118, 564);
  const auto* blue = a.At(118, 118);
  EXPECT_GT(red[0], red[2] + 80);
  EXPECT_GT(blue[2], blue[0] + 80);
  // The frame counter changes the picture from frame to frame.
  TImage b = LiveFrame();
  EXPECT_NE(a.Rgb, b.Rgb);
  EXPECT_EQ(SimCamera::FramesServed(), 2u);
}

TEST_F(CameraSimTest, ZoomAndFocusShowInTheFrames) {
  Open();
  SetOutput(kEdsEvfOutputDevice_PC);
  const TImage fit = LiveFrame();
  // Focus: two large steps away from the start make the checkerboard softer.
  for (int i = 0; i < 2; ++i) ASSERT_EQ(EdsSendCommand(FCamera, kEdsCameraCommand_DriveLensEvf, 2), EDS_ERR_OK);
  const TImage soft = LiveFrame();
  EXPECT_LT(Sharpness(soft, 800, 440, 920, 610), Sharpness(fit, 800, 440, 920, 610) * 0.8);

  // x10 around the checkerboard target: its squares fill the frame.
  EdsPoint target{4100, 2300};
  ASSERT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_Evf_ZoomPosition, 0, 8, &target), EDS_ERR_OK);
  EdsUInt32 zoom = kEdsEvfZoom_x10;
  ASSERT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_Evf_Zoom, 0, 4, &zoom), EDS_ERR_OK);
  const TImage zoomed = LiveFrame();
  ASSERT_EQ(zoomed.Width, 1024);
  // A 100-unit square spans about 200 pixels at x10: long uniform runs.
  EXPECT_LT(Sharpness(zoomed, 0, 300, 1024, 320), Sharpness(fit, 800, 440, 920, 610));
  // The position is clamped to the sensor.
  EdsPoint far{100000, -5};
  ASSERT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_Evf_ZoomPosition, 0, 8, &far), EDS_ERR_OK);
  EXPECT_LE(SimCamera::ZoomPosition().x, 5184);
  EXPECT_EQ(SimCamera::ZoomPosition().y, 0);
}

namespace {

// Mean colour over the forehead: the upright face's top, which lies on its
// side in the sensor's frame.
struct TMean {
  double R = 0, G = 0, B = 0;
  double Level() const { return (R + G + B) / 3; }
};
TMean Forehead(const TImage& img) {
  TMean m;
  int n = 0;
  for (int y = img.Height * 282 / 680; y < img.Height * 400 / 680; ++y)
    for (int x = img.Width * 346 / 1024; x < img.Width * 405 / 1024; ++x, ++n) {
      m.R += img.At(x, y)[0];
      m.G += img.At(x, y)[1];
      m.B += img.At(x, y)[2];
    }
  m.R /= n;
  m.G /= n;
  m.B /= n;
  return m;
}

// The lights a board of this process switched, for as long as it lives.
struct TBoardLights {
  std::uint64_t Token = SimLights::Claim();
  ~TBoardLights() { SimLights::Release(Token); }
  void Set(std::uint8_t warmWhite, std::uint8_t white, std::uint8_t uv) { SimLights::Set(Token, {warmWhite, white, uv}); }
};

}  // namespace

namespace {
struct TTransfers {
  std::mutex Lock;
  std::condition_variable Arrived;
  std::vector<EdsBaseRef> Items;
  std::thread::id Thread;
  std::vector<EdsUInt32> Percents;
};
EdsError EDSCALLBACK OnObject(EdsObjectEvent event, EdsBaseRef item, EdsVoid* context) {
  auto* t = static_cast<TTransfers*>(context);
  std::lock_guard guard(t->Lock);
  if (event == kEdsObjectEvent_DirItemRequestTransfer) t->Items.push_back(item);
  t->Thread = std::this_thread::get_id();
  t->Arrived.notify_all();
  return EDS_ERR_OK;
}
EdsError EDSCALLBACK OnProgress(EdsUInt32 percent, EdsVoid* context, EdsBool* cancel) {
  *cancel = 0;
  static_cast<TTransfers*>(context)->Percents.push_back(percent);
  return EDS_ERR_OK;
}
}  // namespace

TEST_F(CameraSimTest, ShutterTransfersAFullSizePictureOnAnSdkThread) {
  Open();
  TTransfers transfers;
  ASSERT_EQ(EdsSetObjectEventHandler(FCamera, kEdsObjectEvent_All, OnObject, &transfers), EDS_ERR_OK);
  // Saving to the card only: no transfer.
  ASSERT_EQ(EdsSendCommand(FCamera, kEdsCameraCommand_TakePicture, 0), EDS_ERR_OK);
  EdsUInt32 host = kEdsSaveTo_Host;
  ASSERT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_SaveTo, 0, 4, &host), EDS_ERR_OK);
  ASSERT_EQ(EdsSendCommand(FCamera, kEdsCameraCommand_TakePicture, 0), EDS_ERR_OK);
  EdsBaseRef item;
  {
    std::unique_lock lock(transfers.Lock);
    ASSERT_TRUE(transfers.Arrived.wait_for(lock, std::chrono::seconds(60), [&] { return !transfers.Items.empty(); }));
    EXPECT_NE(transfers.Thread, std::this_thread::get_id());
    item = transfers.Items[0];
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(transfers.Items.size(), 1u);

  EdsDirectoryItemInfo info{};
  ASSERT_EQ(EdsGetDirectoryItemInfo(item, &info), EDS_ERR_OK);
  EdsStreamRef stream = nullptr;
  ASSERT_EQ(EdsCreateMemoryStream(0, &stream), EDS_ERR_OK);
  ASSERT_EQ(EdsSetProgressCallback(stream, OnProgress, kEdsProgressOption_Periodically, &transfers), EDS_ERR_OK);
  EXPECT_EQ(EdsDownload(item, info.size + 1, stream), EDS_ERR_INVALID_LENGTH);
  ASSERT_EQ(EdsDownload(item, info.size, stream), EDS_ERR_OK);
  ASSERT_EQ(EdsDownloadComplete(item), EDS_ERR_OK);
  EXPECT_GE(transfers.Percents.size(), 10u);
  EXPECT_EQ(transfers.Percents.back(), 100u);
  EdsVoid* p = nullptr;
  EdsUInt64 n = 0;
  ASSERT_EQ(EdsGetPointer(stream, &p), EDS_ERR_OK);
  ASSERT_EQ(EdsGetLength(stream, &n), EDS_ERR_OK);
  ASSERT_EQ(n, info.size);
  std::vector<std::uint8_t> bytes(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n);
  TImage picture;
  ASSERT_TRUE(Decode(bytes, picture));
  EXPECT_EQ(picture.Width, 5184);
  EXPECT_EQ(picture.Height, 3456);
  EdsRelease(item);
  EdsRelease(stream);
}

namespace {

// Releases the shutter, runs `meanwhile`, and answers the picture transferred.
TImage Shoot(EdsCameraRef camera, const std::function<void()>& meanwhile) {
  TTransfers transfers;
  TImage picture;
  EXPECT_EQ(EdsSetObjectEventHandler(camera, kEdsObjectEvent_All, OnObject, &transfers), EDS_ERR_OK);
  EXPECT_EQ(EdsSendCommand(camera, kEdsCameraCommand_TakePicture, 0), EDS_ERR_OK);
  meanwhile();
  EdsBaseRef item;
  {
    std::unique_lock lock(transfers.Lock);
    if (!transfers.Arrived.wait_for(lock, std::chrono::seconds(60), [&] { return !transfers.Items.empty(); }))
      return picture;
    item = transfers.Items[0];
  }
  EdsDirectoryItemInfo info{};
  EdsStreamRef stream = nullptr;
  EXPECT_EQ(EdsGetDirectoryItemInfo(item, &info), EDS_ERR_OK);
  EXPECT_EQ(EdsCreateMemoryStream(0, &stream), EDS_ERR_OK);
  EXPECT_EQ(EdsDownload(item, info.size, stream), EDS_ERR_OK);
  EXPECT_EQ(EdsDownloadComplete(item), EDS_ERR_OK);
  EdsVoid* p = nullptr;
  EdsUInt64 n = 0;
  EdsGetPointer(stream, &p);
  EdsGetLength(stream, &n);
  EXPECT_TRUE(Decode(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(p), static_cast<std::uint8_t*>(p) + n), picture));
  EdsRelease(item);
  EdsRelease(stream);
  EdsSetObjectEventHandler(camera, kEdsObjectEvent_All, nullptr, nullptr);
  return picture;
}

}  // namespace

// Each light and each exposure or colour setting changes the frames, against
// the white light at brightness 7 with the booth's shipped settings
// (1/125 s, f/8, ISO 100, automatic white balance).
TEST_F(CameraSimTest, FramesShowTheLightsAndTheCamerasSettings) {
  struct TRow {
    const char* Name;
    std::optional<SimLights::TLevels> Lights;
    EdsPropertyID Property;
    EdsUInt32 Value;
    std::function<bool(const TMean& seen, const TMean& reference)> Holds;
  };
  auto ratio = [](const TMean& m) { return m.R / m.B; };
  const TRow rows[] = {
      {"no board: lit as drawn", std::nullopt, 0, 0,
       [](const TMean& m, const TMean& r) { return std::abs(m.Level() - r.Level()) < 15; }},
      {"white at 5: dimmer, same tint", SimLights::TLevels{0, 127, 0}, 0, 0,
       [&](const TMean& m, const TMean& r) { return m.Level() < r.Level() * 0.93 && std::abs(ratio(m) - ratio(r)) < 0.1; }},
      {"warm white at 6: warmer", SimLights::TLevels{153, 0, 0}, 0, 0,
       [&](const TMean& m, const TMean& r) { return ratio(m) > ratio(r) + 0.15; }},
      {"UV at 8: dark violet", SimLights::TLevels{0, 0, 204}, 0, 0,
       [](const TMean& m, const TMean& r) { return m.B > m.G + 15 && m.R > m.G + 15 && m.Level() < r.Level() * 0.6; }},
      {"all off: dark", SimLights::TLevels{0, 0, 0}, 0, 0,
       [](const TMean& m, const TMean& r) { return m.Level() < r.Level() * 0.35; }},
      {"Tv 1/500: two stops darker", SimLights::TLevels{0, 178, 0}, kEdsPropID_Tv, 0x80,
       [](const TMean& m, const TMean& r) { return m.Level() < r.Level() * 0.65; }},
      {"Av f/4: two stops brighter", SimLights::TLevels{0, 178, 0}, kEdsPropID_Av, 0x28,
       [](const TMean& m, const TMean& r) { return m.Level() > r.Level() * 1.15; }},
      {"ISO 400: two stops brighter", SimLights::TLevels{0, 178, 0}, kEdsPropID_ISOSpeed, 0x58,
       [](const TMean& m, const TMean& r) { return m.Level() > r.Level() * 1.15; }},
      {"tungsten balance: bluer", SimLights::TLevels{0, 178, 0}, kEdsPropID_WhiteBalance, 3,
       [&](const TMean& m, const TMean& r) { return ratio(m) < ratio(r) - 0.15; }},
      {"3000 K balance: bluer", SimLights::TLevels{0, 178, 0}, kEdsPropID_ColorTemperature, 3000,
       [&](const TMean& m, const TMean& r) { return ratio(m) < ratio(r) - 0.15; }},
  };
  Open();
  SetOutput(kEdsEvfOutputDevice_PC);
  TMean reference;
  {
    TBoardLights lights;
    lights.Set(0, 178, 0);
    reference = Forehead(LiveFrame());
  }
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    for (auto [id, value] : {std::pair<EdsPropertyID, EdsUInt32>{kEdsPropID_Tv, 0x70}, {kEdsPropID_Av, 0x38},
                             {kEdsPropID_ISOSpeed, 0x48}, {kEdsPropID_WhiteBalance, 0},
                             {kEdsPropID_ColorTemperature, 5200}})
      SimCamera::SetProperty(id, value);
    std::optional<TBoardLights> lights;
    if (row.Lights) lights.emplace().Set(row.Lights->WarmWhite, row.Lights->White, row.Lights->UV);
    if (row.Property == kEdsPropID_ColorTemperature) SimCamera::SetProperty(kEdsPropID_WhiteBalance, 9);
    if (row.Property) SimCamera::SetProperty(row.Property, row.Value);
    const TMean seen = Forehead(LiveFrame());
    EXPECT_TRUE(row.Holds(seen, reference)) << "R " << seen.R << " G " << seen.G << " B " << seen.B << " against R "
                                            << reference.R << " G " << reference.G << " B " << reference.B;
  }
}

// The picture shows the booth as it was when the shutter opened, not when the
// file is transferred.
TEST_F(CameraSimTest, APictureShowsTheLightsOfItsShutterRelease) {
  SimCamera::SetPictureSize(640, 427);
  SimCamera::SetShutterDelay(300);
  Open();
  TBoardLights lights;
  lights.Set(0, 0, 204);
  EdsUInt32 host = kEdsSaveTo_Host;
  ASSERT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_SaveTo, 0, 4, &host), EDS_ERR_OK);
  const TImage uv = Shoot(FCamera, [&] { lights.Set(0, 178, 0); });
  ASSERT_EQ(uv.Width, 640);
  const TMean m = Forehead(uv);
  EXPECT_GT(m.B, m.G + 15) << "violet: R " << m.R << " G " << m.G << " B " << m.B;
  // The next shot, under white, is drawn anew rather than served from the cache.
  const TMean white = Forehead(Shoot(FCamera, [] {}));
  EXPECT_LT(white.B, white.G);
}

TEST_F(CameraSimTest, ShutdownEventArrivesOnlyWithAHandler) {
  Open();
  SimCamera::RaiseShutdown();  // no handler yet: nothing happens
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  static std::atomic<int> shutdowns{0};
  shutdowns = 0;
  auto handler = [](EdsStateEvent event, EdsUInt32, EdsVoid*) -> EdsError {
    if (event == kEdsStateEvent_Shutdown) ++shutdowns;
    return EDS_ERR_OK;
  };
  ASSERT_EQ(EdsSetCameraStateEventHandler(FCamera, kEdsStateEvent_All, handler, nullptr), EDS_ERR_OK);
  SimCamera::RaiseShutdown();
  for (int i = 0; i < 2000 && shutdowns == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(shutdowns, 1);
}

TEST_F(CameraSimTest, CallsFromSeveralThreadsAtOnce) {
  Open();
  SetOutput(kEdsEvfOutputDevice_PC);
  SimCamera::SetFrameSize(256, 170);
  std::atomic<bool> stop{false};
  std::atomic<int> frames{0};
  std::thread live([&] {
    std::vector<std::uint8_t> bytes;
    while (!stop)
      if (Frame(bytes) == EDS_ERR_OK) ++frames;
  });
  std::thread releaser([&] {
    // Releasing references another thread may be using must only fail calls.
    while (!stop) {
      EdsStreamRef s = nullptr;
      if (EdsCreateMemoryStream(0, &s) == EDS_ERR_OK) EdsRelease(s);
    }
  });
  for (int i = 0; i < 300; ++i) {
    EdsUInt32 iso = i % 2 ? 0x48 : 0x58;
    EXPECT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_ISOSpeed, 0, 4, &iso), EDS_ERR_OK);
    EdsPoint p{i, i};
    EXPECT_EQ(EdsSetPropertyData(FCamera, kEdsPropID_Evf_ZoomPosition, 0, 8, &p), EDS_ERR_OK);
  }
  while (frames < 3) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  stop = true;
  live.join();
  releaser.join();
  EXPECT_EQ(SimCamera::LiveObjects(), 1);  // only the camera is left
}

TEST_F(CameraSimTest, NoCameraAndLegacyCamera) {
  ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
  EdsCameraListRef list = nullptr;
  EdsUInt32 count = 9;
  SimCamera::SetCameraAttached(false);
  ASSERT_EQ(EdsGetCameraList(&list), EDS_ERR_OK);
  EXPECT_EQ(EdsGetChildCount(list, &count), EDS_ERR_OK);
  EXPECT_EQ(count, 0u);
  EdsBaseRef camera = nullptr;
  EXPECT_NE(EdsGetChildAtIndex(list, 0, &camera), EDS_ERR_OK);
  SimCamera::SetCameraAttached(true);
  SimCamera::SetLegacy(true);
  ASSERT_EQ(EdsGetChildAtIndex(list, 0, &FCamera), EDS_ERR_OK);
  EdsDeviceInfo info{};
  info.deviceSubType = 7;
  ASSERT_EQ(EdsGetDeviceInfo(FCamera, &info), EDS_ERR_OK);
  EXPECT_EQ(info.deviceSubType, 0u);
  EdsRelease(list);
}
