// Live view, shutter, download, focus and zoom through the controller.
#include "CameraFixture.h"

using SimCamera::CallsOf;

namespace {
bool IsJpeg(const std::vector<std::uint8_t>& b) {
  return b.size() > 4 && b[0] == 0xFF && b[1] == 0xD8 && b[b.size() - 2] == 0xFF && b[b.size() - 1] == 0xD9;
}
}  // namespace

class CameraLiveViewTest : public TCameraFixture {
 protected:
  void SetUp() override {
    TCameraFixture::SetUp();
    Canon().SetOnLiveView([this, canon = &Canon()](TCanon* sender, TMemoryStream& stream) {
      EXPECT_EQ(sender, canon);
      EXPECT_EQ(stream.Position(), 0u);
      FFrames.push_back(stream.Bytes());
      FFrameThreads.push_back(std::this_thread::get_id());
    });
  }

  // Starts live view and waits for `frames` frames.
  void Start(std::size_t frames = 1) {
    Canon().StartLiveView();
    ASSERT_TRUE(WaitFor([&] { return FFrames.size() >= frames; }));
  }

  std::vector<std::vector<std::uint8_t>> FFrames;
  std::vector<std::thread::id> FFrameThreads;
};

TEST_F(CameraLiveViewTest, StartSwitchesEvfModeOnlyWhenOff) {
  for (EdsUInt32 mode : {0u, 1u}) {
    SCOPED_TRACE(mode);
    TearDown();
    SetUp();
    FFrames.clear();
    SimCamera::SetProperty(kEdsPropID_Evf_Mode, mode);
    InitializeAndOpen();
    Start();
    const auto modeWrites = Writes(kEdsPropID_Evf_Mode);
    EXPECT_EQ(modeWrites.size(), mode == 0 ? 1u : 0u);
    if (!modeWrites.empty()) {
      EXPECT_EQ(modeWrites[0].Data, std::vector<std::int32_t>{1});
    }
    // The output device keeps the camera's own bits and gains the PC bit.
    const auto output = Writes(kEdsPropID_Evf_OutputDevice);
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0].Data, std::vector<std::int32_t>{1 | 2});
    EXPECT_TRUE(FTrace.Contains("TCanon.StartLiveView CommandDownloadEvf end"));
  }
}

TEST_F(CameraLiveViewTest, NotReadyFramesAreRepeatedThenFramesFlowOnTheUiThread) {
  SimCamera::SetNotReadyFrames(3);
  InitializeAndOpen();
  Start(3);
  const auto downloads = CallsOf("EdsDownloadEvfImage");
  ASSERT_GE(downloads.size(), 6u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(downloads[i].Result, EDS_ERR_OBJECT_NOTREADY);
  EXPECT_EQ(downloads[3].Result, EDS_ERR_OK);
  for (const auto& frame : FFrames) EXPECT_TRUE(IsJpeg(frame));
  for (auto id : FFrameThreads) EXPECT_EQ(id, std::this_thread::get_id());
  // Each frame's SDK stream and image reference is given back.
  Canon().StopLiveView();
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Count("EdsCreateMemoryStream"), Count("EdsCreateEvfImageRef"));
  EXPECT_EQ(SimCamera::LiveObjects(), 1);  // the camera
}

TEST_F(CameraLiveViewTest, OtherFrameErrorsAreSkippedAndTheLoopGoesOn) {
  SimCamera::SetNotReadyFrames(0);
  InitializeAndOpen();
  SimCamera::FailNext("EdsDownloadEvfImage", EDS_ERR_INTERNAL_ERROR, 2);
  Start(3);
  const auto downloads = CallsOf("EdsDownloadEvfImage");
  EXPECT_EQ(downloads[0].Result, EDS_ERR_INTERNAL_ERROR);
  EXPECT_EQ(downloads[1].Result, EDS_ERR_INTERNAL_ERROR);
  EXPECT_TRUE(FTrace.Contains("00000002 EDS_ERR_INTERNAL_ERROR"));
  const auto ok = std::count_if(downloads.begin(), downloads.end(), [](auto& c) { return c.Result == EDS_ERR_OK; });
  EXPECT_EQ(static_cast<std::size_t>(ok), FFrames.size());
}

TEST_F(CameraLiveViewTest, StopLetsAtMostOneFrameThroughAndEndsTheChain) {
  InitializeAndOpen();
  Start(3);
  const std::size_t before = FFrames.size();
  Canon().StopLiveView();
  ASSERT_TRUE(WaitFor([&] { return Writes(kEdsPropID_Evf_OutputDevice).size() == 2; }));
  ASSERT_TRUE(WaitIdle());
  EXPECT_LE(FFrames.size(), before + 1);
  EXPECT_EQ(Writes(kEdsPropID_Evf_OutputDevice)[1].Data, std::vector<std::int32_t>{1});
  const std::size_t downloads = Count("EdsDownloadEvfImage");
  Serve(300);
  EXPECT_EQ(Count("EdsDownloadEvfImage"), downloads);
  EXPECT_EQ(Canon().QueueCount(), 0u);
}

TEST_F(CameraLiveViewTest, StopWhileOffSendsNothing) {
  InitializeAndOpen();
  SimCamera::ClearCalls();
  Canon().StopLiveView();
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(SimCamera::Calls().empty());
}

TEST_F(CameraLiveViewTest, StopSwitchesDepthOfFieldPreviewOffAndPauses) {
  InitializeAndOpen();
  Start();
  SimCamera::SetProperty(kEdsPropID_Evf_DepthOfFieldPreview, 1);
  Canon().StopLiveView();
  ASSERT_TRUE(WaitFor([&] { return Writes(kEdsPropID_Evf_OutputDevice).size() == 2; }));
  const auto preview = Writes(kEdsPropID_Evf_DepthOfFieldPreview);
  ASSERT_EQ(preview.size(), 1u);
  EXPECT_EQ(preview[0].Data, std::vector<std::int32_t>{0});
  EXPECT_GE(Writes(kEdsPropID_Evf_OutputDevice)[1].Time - preview[0].Time, std::chrono::milliseconds(500));
}

TEST_F(CameraLiveViewTest, FailingStopIsRetriedABoundedNumberOfTimes) {
  InitializeAndOpen();
  Start();
  SimCamera::RemoveProperty(kEdsPropID_Evf_DepthOfFieldPreview);  // every stop attempt fails its first read
  Canon().StopLiveView();
  ASSERT_TRUE(WaitFor([&] { return FTrace.Contains("CommandStopEvf dropped after"); }));
  EXPECT_EQ(CallsOf("EdsGetPropertyData", kEdsPropID_Evf_DepthOfFieldPreview).size(),
            static_cast<std::size_t>(TCanon::RepeatLimit));
}

TEST_F(CameraLiveViewTest, ZoomWritesTenAndFitWritesOne) {
  InitializeAndOpen();
  Canon().Zoom();
  Canon().Fit();
  ASSERT_TRUE(WaitFor([&] { return Writes(kEdsPropID_Evf_Zoom).size() == 2; }));
  EXPECT_EQ(Writes(kEdsPropID_Evf_Zoom)[0].Data, std::vector<std::int32_t>{10});
  EXPECT_EQ(Writes(kEdsPropID_Evf_Zoom)[1].Data, std::vector<std::int32_t>{1});
}

TEST_F(CameraLiveViewTest, ZoomPositionIsReadAndWrittenAtOnce) {
  InitializeAndOpen();
  Canon().SetZoomPosition({2350, 1550});
  EXPECT_EQ(SimCamera::ZoomPosition().x, 2350);
  EXPECT_EQ(Canon().GetZoomPosition().y, 1550);
  SimCamera::FailNext("EdsGetPropertyData", EDS_ERR_DEVICE_BUSY);
  const EdsPoint failed = Canon().GetZoomPosition();
  EXPECT_EQ(failed.x, 0);
  EXPECT_EQ(failed.y, 0);
}

TEST_F(CameraLiveViewTest, FocusStepsAreSentDroppedWhenBusyAndBoundedOnOtherErrors) {
  InitializeAndOpen();
  Start();
  const int before = SimCamera::FocusPosition();
  Canon().Focus(kEdsEvfDriveLens_Far1);
  ASSERT_TRUE(WaitFor([&] { return SimCamera::FocusPosition() == before + 1; }));

  SimCamera::FailNext("EdsSendCommand", EDS_ERR_DEVICE_BUSY);
  SimCamera::ClearCalls();
  Canon().Focus(kEdsEvfDriveLens_Near1);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(Count("EdsSendCommand"), 1u);  // busy: dropped, not repeated
  EXPECT_EQ(SimCamera::FocusPosition(), before + 1);

  // Another error repeats the step until it succeeds...
  SimCamera::FailNext("EdsSendCommand", EDS_ERR_INTERNAL_ERROR, 3);
  SimCamera::ClearCalls();
  Canon().Focus(kEdsEvfDriveLens_Near1);
  ASSERT_TRUE(WaitFor([&] { return SimCamera::FocusPosition() == before; }));
  EXPECT_EQ(Count("EdsSendCommand"), 4u);

  // ...or a bound is reached (the camera refuses for good).
  SimCamera::FailNext("EdsSendCommand", EDS_ERR_INTERNAL_ERROR, -1);
  SimCamera::ClearCalls();
  Canon().Focus(kEdsEvfDriveLens_Far2);
  ASSERT_TRUE(WaitFor([&] { return FTrace.Contains("CommandFocus dropped after"); }));
  EXPECT_EQ(Count("EdsSendCommand"), static_cast<std::size_t>(TCanon::RepeatLimit));
}

class CameraShotTest : public TCameraFixture {
 protected:
  void SetUp() override {
    TCameraFixture::SetUp();
    Canon().SetOnDownloadBegin([this](TCanon*) { FEvents.push_back("begin"); });
    Canon().SetOnDownloadProgress([this](TCanon*, std::int32_t percent) {
      FEvents.push_back("progress");
      FPercents.push_back(percent);
    });
    Canon().SetOnDownloadEnd([this](TCanon*) { FEvents.push_back("end"); });
    Canon().SetOnTakePicture([this](TCanon*, TMemoryStream& stream) {
      FEvents.push_back("picture");
      FPictures.push_back(stream.TakeBytes());
    });
  }
  bool Ended(std::size_t n = 1) {
    return WaitFor([&] { return std::count(FEvents.begin(), FEvents.end(), "end") >= static_cast<long>(n); });
  }
  std::vector<std::string> FEvents;
  std::vector<std::int32_t> FPercents;
  std::vector<std::vector<std::uint8_t>> FPictures;
};

TEST_F(CameraShotTest, OneShotGivesBeginProgressEndThenTheWholePicture) {
  InitializeAndOpen();
  const int objects = SimCamera::LiveObjects();
  Canon().TakePicture();
  ASSERT_TRUE(WaitFor([&] { return FPictures.size() == 1; }));
  ASSERT_GE(FEvents.size(), 4u);
  EXPECT_EQ(FEvents.front(), "begin");
  EXPECT_EQ(FEvents[FEvents.size() - 2], "end");
  EXPECT_EQ(FEvents.back(), "picture");
  for (std::size_t i = 1; i + 2 < FEvents.size(); ++i) EXPECT_EQ(FEvents[i], "progress");
  EXPECT_TRUE(std::is_sorted(FPercents.begin(), FPercents.end()));
  EXPECT_EQ(FPercents.back(), 100);
  EXPECT_EQ(FPictures[0], SimCamera::RenderPicture());
  EXPECT_TRUE(IsJpeg(FPictures[0]));
  EXPECT_TRUE(FTrace.Contains("CommandTakePicture"));
  EXPECT_EQ(Count("EdsDownloadComplete"), 1u);
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(SimCamera::LiveObjects(), objects);  // item and stream given back
}

TEST_F(CameraShotTest, BrokenPicturesArriveAsTheyCame) {
  InitializeAndOpen();
  for (auto fault : {SimCamera::TFault::Truncated, SimCamera::TFault::Corrupt}) {
    SimCamera::SetPictureFault(fault);
    Canon().TakePicture();
    const std::size_t n = FPictures.size() + 1;
    ASSERT_TRUE(WaitFor([&] { return FPictures.size() == n; }));
    EXPECT_EQ(FPictures.back(), SimCamera::RenderPicture());
    EXPECT_FALSE(IsJpeg(FPictures.back()));
  }
}

TEST_F(CameraShotTest, FailedDownloadGivesBeginAndEndButNoPicture) {
  InitializeAndOpen();
  const int objects = SimCamera::LiveObjects();
  SimCamera::FailNext("EdsDownload", EDS_ERR_INTERNAL_ERROR);
  Canon().TakePicture();
  ASSERT_TRUE(Ended());
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(FEvents, (std::vector<std::string>{"begin", "end"}));
  EXPECT_EQ(Count("EdsDownloadCancel"), 1u);
  EXPECT_EQ(Count("EdsDownloadComplete"), 0u);
  EXPECT_EQ(SimCamera::LiveObjects(), objects);
}

TEST_F(CameraShotTest, BusyShutterIsRepeatedAndEveryTransferredFileDownloaded) {
  SimCamera::SetFilesPerShot(2);
  InitializeAndOpen();
  SimCamera::FailNext("EdsSendCommand", EDS_ERR_DEVICE_BUSY, 2);
  Canon().TakePicture();
  ASSERT_TRUE(WaitFor([&] { return FPictures.size() == 2; }));
  EXPECT_EQ(CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture).size(), 3u);
}

TEST_F(CameraShotTest, LegacyCameraLocksTheControlsAroundTheShutter) {
  SimCamera::SetLegacy(true);
  SimCamera::SetProperty(kEdsPropID_SaveTo, kEdsSaveTo_Host);
  InitializeAndOpen();
  Canon().TakePicture();
  ASSERT_TRUE(WaitFor([&] { return FPictures.size() == 1; }));
  const auto status = CallsOf("EdsSendStatusCommand");
  ASSERT_EQ(status.size(), 2u);
  EXPECT_EQ(status[0].Id, kEdsCameraStatusCommand_UILock);
  EXPECT_EQ(status[1].Id, kEdsCameraStatusCommand_UIUnLock);
}

TEST_F(CameraShotTest, WithoutHandlersThePictureIsFreed) {
  Canon().SetOnTakePicture(nullptr);
  Canon().SetOnDownloadProgress(nullptr);
  InitializeAndOpen();
  const int objects = SimCamera::LiveObjects();
  Canon().TakePicture();
  ASSERT_TRUE(Ended());
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(FPictures.empty());
  EXPECT_EQ(SimCamera::LiveObjects(), objects);  // leak checks cover the controller's copy
}

// ---------------------------------------------------------------- shutdown and queue pressure

TEST_F(CameraLiveViewTest, FinalizeServesAFramePendingOnTheUiThread) {
  InitializeAndOpen();
  Start(2);
  Canon().SetShutdownGrace(std::chrono::milliseconds(300));
  // No stop: the worker is in the middle of delivering frames when Finalize
  // starts waiting for it.
  Canon().Close();
  Canon().Finalize();
  EXPECT_FALSE(Canon().Initialized());
  EXPECT_TRUE(FTrace.Contains("CommandDownloadEvf dropped at shutdown"));
  EXPECT_EQ(Count("EdsCloseSession"), 1u);
}

TEST_F(CameraLiveViewTest, ShutdownEndsUnderASteadyStreamOfBusyAnswers) {
  InitializeAndOpen();
  Start();
  SimCamera::FailNext("EdsDownloadEvfImage", EDS_ERR_DEVICE_BUSY, -1);
  SimCamera::FailNext("EdsSendCommand", EDS_ERR_DEVICE_BUSY, -1);
  SimCamera::FailNext("EdsSetPropertyData", EDS_ERR_DEVICE_BUSY, -1);
  Canon().TakePicture();
  Canon().StartLiveView();
  Canon().StopLiveView();
  Canon().Close();
  Canon().SetShutdownGrace(std::chrono::milliseconds(500));
  const auto start = std::chrono::steady_clock::now();
  Canon().Finalize();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
  EXPECT_TRUE(FTrace.Contains("dropped at shutdown"));
  EXPECT_FALSE(SimCamera::SdkInitialized());
}

TEST_F(CameraLiveViewTest, UiPushesOnAFullQueueKeepServingFrames) {
  InitializeAndOpen();
  Start();
  // Far more commands than the queue holds, pushed from the UI thread while
  // the worker keeps handing frames to it.
  for (int i = 0; i < 30; ++i) i % 2 ? Canon().Zoom() : Canon().Fit();
  ASSERT_TRUE(WaitFor([&] { return Writes(kEdsPropID_Evf_Zoom).size() == 30; }, 60000));
  // The frame chain survived the crowd.
  const std::size_t frames = FFrames.size();
  ASSERT_TRUE(WaitFor([&] { return FFrames.size() > frames; }));
}
