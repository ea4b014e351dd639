// The controller's lifecycle, session and direct property access.
#include "CameraFixture.h"

using SimCamera::CallsOf;

namespace {
std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(text) != std::string::npos) return i;
  return lines.size();
}
}  // namespace

using CameraControllerTest = TCameraFixture;

TEST_F(CameraControllerTest, NoCameraFailsInitializeAndReportsIt) {
  SimCamera::SetCameraAttached(false);
  Canon().Initialize();
  const auto lines = FTrace.Lines();
  const std::size_t list = IndexOf(lines, "00000000 EdsGetCameraList");
  const std::size_t info = IndexOf(lines, "00000080 EdsGetDeviceInfo");
  ASSERT_LT(list, lines.size());
  ASSERT_LT(info, lines.size());
  EXPECT_LT(list, info);
  EXPECT_EQ(FListener.Connects, std::vector<bool>{false});  // at once, on the caller's thread
  EXPECT_FALSE(Canon().Initialized());
  EXPECT_FALSE(FTrace.Contains("TCanon.CreateWorker"));
  EXPECT_EQ(Count("EdsRelease"), 1u);  // the camera list

  // Without a worker, queued work is dropped rather than piling up (a full
  // queue would otherwise hang the caller for good).
  for (int i = 0; i < 25; ++i) Canon().StartLiveView();
  Canon().Open();
  EXPECT_EQ(Canon().QueueCount(), 0u);
  EXPECT_TRUE(FTrace.Contains("CommandOpenSession dropped"));
  Canon().Finalize();  // nothing to finalise
  EXPECT_EQ(Count("EdsTerminateSDK"), 0u);
}

TEST_F(CameraControllerTest, InitializeAndFinalizeRunOnce) {
  Canon().Finalize();
  EXPECT_EQ(Count("EdsTerminateSDK"), 0u);
  Canon().Initialize();
  Canon().Initialize();
  EXPECT_EQ(Count("EdsInitializeSDK"), 1u);
  EXPECT_TRUE(Canon().Initialized());
  EXPECT_EQ(CallsOf("EdsSetPropertyEventHandler")[0].Id, kEdsPropertyEvent_All);
  EXPECT_EQ(CallsOf("EdsSetObjectEventHandler")[0].Id, kEdsObjectEvent_All);
  EXPECT_EQ(CallsOf("EdsSetCameraStateEventHandler")[0].Id, kEdsStateEvent_All);
  Canon().Finalize();
  Canon().Finalize();
  EXPECT_EQ(Count("EdsTerminateSDK"), 1u);
  EXPECT_FALSE(SimCamera::SdkInitialized());
  EXPECT_EQ(SimCamera::LiveObjects(), 0);
}

TEST_F(CameraControllerTest, OpeningAModernCameraPreparesItAndPublishesLists) {
  InitializeAndOpen();
  const auto saveTo = Writes(kEdsPropID_SaveTo);
  ASSERT_EQ(saveTo.size(), 1u);
  EXPECT_EQ(saveTo[0].Data, std::vector<std::int32_t>{static_cast<std::int32_t>(kEdsSaveTo_Host)});
  const auto status = CallsOf("EdsSendStatusCommand");
  ASSERT_EQ(status.size(), 2u);
  EXPECT_EQ(status[0].Id, kEdsCameraStatusCommand_UILock);
  EXPECT_EQ(status[1].Id, kEdsCameraStatusCommand_UIUnLock);
  const auto capacity = CallsOf("EdsSetCapacity");
  ASSERT_EQ(capacity.size(), 1u);
  EXPECT_EQ(capacity[0].Data, (std::vector<std::int32_t>{0x7FFFFFFF, 0x1000, 1}));
  EXPECT_LT(status[0].Time, capacity[0].Time);
  EXPECT_LE(capacity[0].Time, status[1].Time);

  ASSERT_TRUE(Canon().ISOSpeedDesc());
  EXPECT_EQ(Canon().ISOSpeedDesc()->front().Text(), "100");
  EXPECT_EQ(Canon().ISOSpeedDesc()->back().Text(), "6400");
  EXPECT_EQ(Canon().WhiteBalanceDesc()->size(), 18u);
  EXPECT_EQ(Canon().ColorTemperatureDesc()->size(), 73u);
  EXPECT_EQ(Canon().DriveModeDesc()->size(), 2u);
  EXPECT_EQ(Canon().ContrastDesc()->front().Text(), "129");
  const auto& quality = *Canon().ImageQualityDesc();
  EXPECT_TRUE(std::any_of(quality.begin(), quality.end(), [](auto& p) { return p.Text() == "Large Fine Jpeg"; }));
  for (auto list : {Canon().MeteringModeDesc(), Canon().AvDesc(), Canon().TvDesc(), Canon().ExposureCompensationDesc()})
    EXPECT_TRUE(list && !list->empty());

  // Both bus calls arrive on the UI thread (the test thread), connect first.
  ASSERT_TRUE(WaitFor([&] { return FListener.Opens == 1; }));
  EXPECT_EQ(FListener.Connects, std::vector<bool>{true});
  for (auto id : FListener.Threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(CameraControllerTest, LegacyCameraOpensWithoutPreparation) {
  SimCamera::SetLegacy(true);
  InitializeAndOpen();
  ASSERT_TRUE(WaitFor([&] { return FListener.Opens == 1; }));
  EXPECT_TRUE(FListener.Connects.empty());
  EXPECT_EQ(Count("EdsSetPropertyData"), 0u);
  EXPECT_EQ(Count("EdsSendStatusCommand"), 0u);
  EXPECT_EQ(Count("EdsSetCapacity"), 0u);
  EXPECT_EQ(Count("EdsGetPropertyDesc"), 0u);
  EXPECT_FALSE(Canon().ISOSpeedDesc());
  EXPECT_FALSE(Canon().WhiteBalanceDesc());
}

TEST_F(CameraControllerTest, FailedSessionStillReadsListsAndReportsTheCamera) {
  SimCamera::FailNext("EdsOpenSession", EDS_ERR_DEVICE_BUSY);
  SimCamera::RemoveProperty(kEdsPropID_Tv);
  Canon().Initialize();
  Canon().Open();
  ASSERT_TRUE(WaitFor([&] { return !FListener.Connects.empty(); }));
  Serve(150);
  EXPECT_EQ(FListener.Connects, std::vector<bool>{true});
  EXPECT_EQ(FListener.Opens, 0);
  EXPECT_TRUE(FTrace.Contains("00000081 EDS_ERR_DEVICE_BUSY"));
  EXPECT_FALSE(Canon().TvDesc());  // the camera would not describe it
  EXPECT_TRUE(Canon().WhiteBalanceDesc());
}

TEST_F(CameraControllerTest, ListsAreAbsentAfterClose) {
  InitializeAndOpen();
  ASSERT_TRUE(Canon().AvDesc());
  Canon().Close();
  ASSERT_TRUE(WaitFor([&] { return Count("EdsCloseSession") == 1; }));
  for (auto list : {Canon().ISOSpeedDesc(), Canon().MeteringModeDesc(), Canon().AvDesc(), Canon().TvDesc(),
                    Canon().ExposureCompensationDesc(), Canon().DriveModeDesc(), Canon().WhiteBalanceDesc(),
                    Canon().ColorTemperatureDesc(), Canon().ImageQualityDesc(), Canon().ContrastDesc()})
    EXPECT_FALSE(list);
  EXPECT_FALSE(SimCamera::SessionOpen());
}

TEST_F(CameraControllerTest, PropertiesReadAndWriteTheCamera) {
  InitializeAndOpen();
  struct TCase {
    EdsUInt32 (TCanon::*Get)();
    void (TCanon::*Set)(EdsUInt32);
    EdsPropertyID Id;
    EdsUInt32 Value;
  } cases[] = {
      {&TCanon::ISOSpeed, &TCanon::SetISOSpeed, kEdsPropID_ISOSpeed, 0x58},
      {&TCanon::MeteringMode, &TCanon::SetMeteringMode, kEdsPropID_MeteringMode, 1},
      {&TCanon::Av, &TCanon::SetAv, kEdsPropID_Av, 0x30},
      {&TCanon::Tv, &TCanon::SetTv, kEdsPropID_Tv, 0x78},
      {&TCanon::ExposureCompensation, &TCanon::SetExposureCompensation, kEdsPropID_ExposureCompensation, 0xFD},
      {&TCanon::DriveMode, &TCanon::SetDriveMode, kEdsPropID_DriveMode, 0x11},
      {&TCanon::WhiteBanlace, &TCanon::SetWhiteBanlace, kEdsPropID_WhiteBalance, 8},
      {&TCanon::ColorTemperature, &TCanon::SetColorTemperature, kEdsPropID_ColorTemperature, 3200},
      {&TCanon::ImageQuality, &TCanon::SetImageQuality, kEdsPropID_ImageQuality, 0x0113FF0F},
  };
  for (const TCase& c : cases) {
    (Canon().*c.Set)(c.Value);
    EXPECT_EQ(SimCamera::Property(c.Id), c.Value) << std::hex << c.Id;
    EXPECT_EQ((Canon().*c.Get)(), c.Value) << std::hex << c.Id;
  }
  EXPECT_FALSE(FTrace.Contains("EDS_ERR"));
}

TEST_F(CameraControllerTest, GetPropValueFailureAnswersAllOnesAndLogsOnce) {
  InitializeAndOpen();
  SimCamera::RemoveProperty(kEdsPropID_MeteringMode);
  FTrace.Clear();
  EXPECT_EQ(Canon().MeteringMode(), 0xFFFFFFFFu);
  const auto lines = FTrace.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("00000050 EDS_ERR_PROPERTIES_UNAVAILABLE"), std::string::npos);
}

TEST_F(CameraControllerTest, WhiteBalanceShiftReplacesOneHalfOfThePair) {
  InitializeAndOpen();
  SimCamera::SetWhiteBalanceShift(-2, 0);
  Canon().SetWhiteBalanceShift(1, 3);
  const auto writes = Writes(kEdsPropID_WhiteBalanceShift);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].Data, (std::vector<std::int32_t>{-2, 3}));
  EXPECT_EQ(writes[0].Size, 8u);
  EXPECT_EQ(Canon().WhiteBalanceShiftBlueAmber(), -2);
  EXPECT_EQ(Canon().WhiteBalanceShiftGreenMagenta(), 3);

  // A failed read writes nothing and reads back as -1.
  SimCamera::FailNext("EdsGetPropertyData", EDS_ERR_DEVICE_BUSY, 2);
  Canon().SetWhiteBalanceShift(0, 5);
  EXPECT_EQ(Writes(kEdsPropID_WhiteBalanceShift).size(), 1u);
  EXPECT_EQ(Canon().GetWhiteBalanceShift(0), -1);
  EXPECT_EQ(Canon().GetWhiteBalanceShift(7), -1);  // no such half
}

TEST_F(CameraControllerTest, PictureStyleIsTheFirstUserStyle) {
  InitializeAndOpen();
  EdsPictureStyleDesc style{2, 5, -1, 3, 0, 0};
  Canon().SetPictureStyleDesc(style);
  const auto writes = Writes(kEdsPropID_PictureStyleDesc);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].Param, static_cast<std::int64_t>(kEdsPictureStyle_User1));
  EXPECT_EQ(writes[0].Size, 24u);
  EXPECT_TRUE(FTrace.Contains("SetPictureStyleDesc"));
  EXPECT_EQ(Canon().GetPictureStyleDesc().colorTone, 3);
  SimCamera::FailNext("EdsGetPropertyData", EDS_ERR_DEVICE_BUSY);
  const EdsPictureStyleDesc failed = Canon().GetPictureStyleDesc();
  EXPECT_EQ(failed.contrast, 0);
  EXPECT_EQ(failed.sharpness, 0u);
  EXPECT_EQ(failed.colorTone, 0);
}

TEST_F(CameraControllerTest, CheckNamesTheErrorCodes) {
  FTrace.Clear();
  Canon().Check(EDS_ERR_OK);
  Canon().Check(EDS_ERR_DEVICE_BUSY);
  Canon().Check(0x12345);
  const auto lines = FTrace.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("00000081 EDS_ERR_DEVICE_BUSY"), std::string::npos);
  EXPECT_NE(lines[1].find("00012345 Unknown Error"), std::string::npos);
}

TEST_F(CameraControllerTest, FinalizeRunsEverythingQueuedFirst) {
  InitializeAndOpen();
  for (int i = 0; i < 4; ++i) Canon().Zoom();
  Canon().Fit();
  Canon().Close();
  Canon().Finalize();
  const auto zooms = Writes(kEdsPropID_Evf_Zoom);
  ASSERT_EQ(zooms.size(), 5u);
  EXPECT_EQ(zooms.back().Data, std::vector<std::int32_t>{1});
  const auto close = CallsOf("EdsCloseSession");
  const auto terminate = CallsOf("EdsTerminateSDK");
  ASSERT_EQ(close.size(), 1u);
  ASSERT_EQ(terminate.size(), 1u);
  EXPECT_LT(close[0].Time, terminate[0].Time);
  EXPECT_EQ(Canon().QueueCount(), 0u);
}

TEST_F(CameraControllerTest, CameraShutdownIsBroadcastOnTheUiThread) {
  InitializeAndOpen();
  SimCamera::RaiseShutdown();
  ASSERT_TRUE(WaitFor([&] { return FListener.Shutdowns == 1; }));
  EXPECT_EQ(FListener.Threads.back(), std::this_thread::get_id());
}

TEST_F(CameraControllerTest, DestroyingWithoutFinalizeStopsTheWorker) {
  InitializeAndOpen();
  Canon().SetShutdownGrace(std::chrono::milliseconds(300));
  Canon().StartLiveView();  // never stopped: the frame chain goes on until the grace is over
  FGlobal.reset();
  EXPECT_FALSE(SimCamera::SdkInitialized());
}

// ---------------------------------------------------------------- references at shutdown

namespace {
// Every EdsRelease so far answered OK: nothing was given back twice or late.
void ExpectNoFailedRelease() {
  for (const auto& call : CallsOf("EdsRelease")) EXPECT_EQ(call.Result, EDS_ERR_OK) << std::hex << call.Ref;
}
}  // namespace

TEST(CameraCommandQueueTest, ClosedQueueRefusesAndRefusedCommandsGiveTheirReferenceBack) {
  SimCamera::Reset();
  ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
  // A command carrying an SDK reference, as a transfer request makes one; it
  // is never run here, only queued, refused or freed.
  auto command = [] {
    EdsStreamRef ref = nullptr;
    EXPECT_EQ(EdsCreateMemoryStream(0, &ref), EDS_ERR_OK);
    return std::unique_ptr<TCommand>(new TCommandRef(nullptr, nullptr, ref, "CommandDownload"));
  };
  TCommandQueue queue(10);

  // Closed until a worker opens it: the command stays with the caller.
  std::unique_ptr<TCommand> refused = command();
  EXPECT_FALSE(queue.Push(refused, nullptr));
  ASSERT_TRUE(refused);
  refused.reset();
  EXPECT_FALSE(queue.PushNoWait(command()));
  EXPECT_EQ(SimCamera::LiveObjects(), 0);

  queue.Open();
  std::unique_ptr<TCommand> first = command();
  EXPECT_TRUE(queue.Push(first, nullptr));
  EXPECT_TRUE(queue.PushNoWait(command()));
  EXPECT_FALSE(queue.CloseIfEmpty());  // the last pass comes only with the queue empty
  EXPECT_TRUE(queue.TryPop());         // freed unrun: its reference goes with it
  EXPECT_EQ(SimCamera::LiveObjects(), 1);
  queue.Clear();
  EXPECT_EQ(SimCamera::LiveObjects(), 0);

  // After the last pass a push is refused at once, however late it comes.
  EXPECT_TRUE(queue.CloseIfEmpty());
  std::unique_ptr<TCommand> late = command();
  EXPECT_FALSE(queue.Push(late, nullptr));
  late.reset();
  EXPECT_FALSE(queue.PushNoWait(command()));
  EXPECT_EQ(queue.Count(), 0u);
  EXPECT_EQ(SimCamera::LiveObjects(), 0);
  EXPECT_EQ(CallsOf("EdsRelease").size(), 6u);
  ExpectNoFailedRelease();
  EXPECT_EQ(EdsTerminateSDK(), EDS_ERR_OK);
  EXPECT_EQ(SimCamera::ObjectsLeftAtTerminate(), 0);
  SimCamera::Reset();
}

TEST_F(CameraControllerTest, TransferAfterTheWorkersLastPassIsRefusedAndItsItemGivenBack) {
  InitializeAndOpen();
  SimCamera::SetShutterDelay(600);
  Canon().TakePicture();
  ASSERT_TRUE(WaitFor([&] { return !CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture).empty(); }));
  const std::size_t releases = Count("EdsRelease");
  // Finalize is held in its release of the camera, after the worker's last
  // pass; the camera's transfer request arrives meanwhile.
  SimCamera::SetCallDelay("EdsRelease", 900);
  Canon().Close();
  Canon().Finalize();
  EXPECT_EQ(Count("EdsGetDirectoryItemInfo"), 0u);  // no download ran on the way down
  EXPECT_EQ(Count("EdsRelease"), releases + 2);      // the camera and the refused item
  ExpectNoFailedRelease();
  EXPECT_EQ(SimCamera::ObjectsLeftAtTerminate(), 0);
  EXPECT_EQ(Canon().QueueCount(), 0u);
}

TEST_F(CameraControllerTest, CameraShutdownMidSessionLeavesNoReferenceBehind) {
  InitializeAndOpen();
  SimCamera::SetFilesPerShot(3);
  Canon().StartLiveView();
  ASSERT_TRUE(WaitFor([] { return SimCamera::FramesServed() >= 2; }));
  Canon().TakePicture();
  // The first file is in; two more are on their way when the camera goes.
  ASSERT_TRUE(WaitFor([&] { return Count("EdsDownloadComplete") >= 1; }));
  SimCamera::RaiseShutdown();
  ASSERT_TRUE(WaitFor([&] { return FListener.Shutdowns == 1; }));
  SimCamera::SetCameraAttached(false);
  Canon().SetShutdownGrace(std::chrono::milliseconds(200));
  Canon().Close();
  Canon().Finalize();
  EXPECT_FALSE(SimCamera::SdkInitialized());
  EXPECT_EQ(SimCamera::ObjectsLeftAtTerminate(), 0);
  EXPECT_EQ(SimCamera::LiveObjects(), 0);
  ExpectNoFailedRelease();
}
