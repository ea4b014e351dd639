// The shot with the simulated camera and the simulated board: the modes'
// timelines, repeat runs, pictures that do not come or come late, and saving
// that never loses or overwrites a picture.
#include "ShootingViewFixture.h"

namespace {

TEST_F(ShootingView, SuloShotFollowsItsTimeline) {
  TFrameSulo* view = MakeView();
  PumpFor(300);
  const std::size_t before = FBoard.Packets().size();
  const std::size_t shutters = Shutters();
  const auto start = Clock::now();
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
  ASSERT_TRUE(Pump([&] { return FBoard.Packets().size() >= before + 4; }));
  const auto p = PacketsSince(before);
  EXPECT_EQ(B(p[0]), (Bytes{0xAA, 0xC2, 0x2F, 0xCD, 0x00, 0x68, 0xBB}));
  EXPECT_EQ(B(p[1]), (Bytes{0xAA, 0xC3, 0x01, 0x9B, 0x00, 0x09, 0xBB}));
  EXPECT_EQ(B(p[2]), (Bytes{0xAA, 0xC3, 0x01, 0x00, 0x00, 0x6E, 0xBB}));
  EXPECT_EQ(B(p[3]), (Bytes{0xAA, 0xC3, 0x00, 0xCD, 0x00, 0x3A, 0xBB}));
  // Never early; late only by what a loaded machine (or a sanitizer build)
  // adds. The intervals from the motor stop are what the timers arm.
  const auto shutter = SimCamera::CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture);
  ASSERT_EQ(shutter.size(), shutters + 1);
  const auto stop = p[2].Time;
  EXPECT_LT(Ms(start, p[0].Time), Late);
  EXPECT_GE(Ms(start, stop), 460);
  EXPECT_LT(Ms(start, stop), 470 + Late);
  EXPECT_GE(Ms(stop, shutter.back().Time), 490) << "the shutter delay, 50 x 10 ms, after the stop";
  EXPECT_LT(Ms(stop, shutter.back().Time), 500 + Late);
  EXPECT_GE(Ms(stop, p[3].Time), 990) << "the return 1000 ms after the stop";
  EXPECT_LT(Ms(stop, p[3].Time), 1000 + Late);
  EXPECT_EQ(FPopup.Calls.front(), "SetDisableBG");
  EXPECT_FALSE(view->RectangleDisableBG->isHidden());
  EXPECT_FALSE(view->ImageTakePicture->isHidden());
  EXPECT_TRUE(view->ImageLiveView->isHidden());
  EXPECT_EQ(view->ImageTakePicture->Bitmap().Image().size(), QSize(427, 640)) << "turned upright";
}

TEST_F(ShootingView, UvAndPortraitShots) {
  TFrameSulo* view = MakeView(TTakePictureMode::UV);
  PumpFor(300);
  std::size_t before = FBoard.Packets().size();
  const auto start = Clock::now();
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FBoard.Packets().size() >= before + 2; }));
  auto p = PacketsSince(before);
  EXPECT_EQ(B(p[0]), (Bytes{0xAA, 0xC1, 0x00, 0x00, 0xCC, 0x37, 0xBB}));
  EXPECT_EQ(B(p[1]), LightsOff);
  EXPECT_GE(Ms(start, p[1].Time), 1990);
  const auto shutter = SimCamera::CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture);
  ASSERT_FALSE(shutter.empty());
  EXPECT_GE(Ms(start, shutter.back().Time), 890);
  EXPECT_LT(Ms(start, shutter.back().Time), 900 + Late);
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickDontSaveBtn);
  Notify<ISavePopupListener>(&ISavePopupListener::EnableFuntion);

  view->SubMenuChanged(TTakePictureMode::Portrait);
  PumpFor(300);
  before = FBoard.Packets().size();
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 2; }));
  PumpFor(200);
  EXPECT_EQ(FBoard.Packets().size(), before) << "a portrait sends no packet";
}

TEST_F(ShootingView, TheTransferShowsItsProgressUntilThePictureIsShown) {
  SimCamera::SetDownloadChunkDelay(40);
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return !view->RectangleProgressBG->isHidden(); }));
  qreal seen = view->RectangleProgress->Width();
  ASSERT_TRUE(Pump([&] { return !view->ImageTakePicture->isHidden() || view->RectangleProgress->Width() > seen; }));
  ASSERT_TRUE(Pump([&] { return !view->ImageTakePicture->isHidden(); }));
  EXPECT_TRUE(view->RectangleProgressBG->isHidden());
}

TEST_F(ShootingView, SpaceWhileAShotRunsAndChangedSettingsReachTheDevices) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  view->Shoot();
  const std::size_t shutters = Shutters();
  view->Shoot();  // as the space bar would while the view is covered
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
  PumpFor(200);
  EXPECT_EQ(FPopup.Count("SetDisableBG"), 1);
  EXPECT_LE(Shutters(), shutters + 1);

  // A spinner's change goes to the camera or the board at once.
  struct TSpin : ISetting {
    TSpin(TTakePictureConfigurationKind kind, std::int32_t value) : Kind(kind), Value(value) {}
    TTakePictureConfigurationKind Kind;
    std::int32_t Value;
    TTakePictureConfigurationKind GetKind() override { return Kind; }
    std::int32_t GetValue() override { return Value; }
    void SetValue(const std::int32_t) override {}
    void Initialize(const TTakePictureConfigurationKind) override {}
    void Read(TTakePictureConfiguration&) override {}
    void Write(const TTakePictureConfiguration&) override {}
  };
  view->SubMenuChanged(TTakePictureMode::Sulo);
  PumpFor(300);
  const std::size_t before = FBoard.Packets().size();
  TSpin iso(TTakePictureConfigurationKind::ISO, 0x50);
  view->SettingChanged(&iso);
  ASSERT_TRUE(Pump([&] { return SimCamera::Property(kEdsPropID_ISOSpeed) == 0x50; }));
  TSpin brightness(TTakePictureConfigurationKind::LightingBrightness, 10);
  view->SettingChanged(&brightness);  // Sulo's lighting is white
  TSpin motor(TTakePictureConfigurationKind::MotorLocation, 30);
  view->SettingChanged(&motor);  // used at the next shot only
  ASSERT_TRUE(FBoard.WaitForPackets(before + 1, 5000));
  PumpFor(200);
  const auto packets = PacketsSince(before);
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_EQ(B(packets[0]), (Bytes{0xAA, 0xC1, 0x00, 0xFF, 0x00, 0x6A, 0xBB})) << "white at 10";
}

TEST_F(ShootingView, SaveWritesTheShownPictureUnderATimeStampAndNeverOverwrites) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  for (int shot = 1; shot <= 2; ++shot) {
    view->Shoot();
    ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == shot; }));
    Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveBtn);
    EXPECT_EQ(FPopup.Count("SaveSuccess"), shot);
    Notify<ISavePopupListener>(&ISavePopupListener::EnableFuntion);
    EXPECT_TRUE(view->RectangleDisableBG->isHidden());
  }
  const auto files = Saved();
  ASSERT_EQ(files.size(), 2u);
  QImage saved(QString::fromStdString(files[0].string()));
  EXPECT_EQ(saved.size(), QSize(427, 640));
  // Two saves within a second keep both pictures.
  const QString first = QString::fromStdString(files[0].filename().string());
  const QString second = QString::fromStdString(files[1].filename().string());
  EXPECT_TRUE(first.contains(QRegularExpression("^\\d{14}(-2)?\\.jpg$"))) << first.toStdString();
  EXPECT_NE(first, second);
}

TEST_F(ShootingView, RepeatRunsSaveWithoutAskingAndRefuseWhenNegative) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  view->RepeatShoot(3);
  ASSERT_TRUE(Pump([&] { return FPopup.Count("SaveSuccess") == 3; }, 30000));
  EXPECT_EQ(FPopup.Count("OpenSavePopup"), 0);
  EXPECT_EQ(FPopup.Count("SetEnableScreen"), 1);
  EXPECT_EQ(Saved().size(), 3u);
  EXPECT_TRUE(view->RectangleDisableBG->isHidden());

  view->RepeatShoot(0);
  view->RepeatShoot(-1);
  const std::size_t shutters = Shutters();
  view->Shoot();
  PumpFor(300);
  EXPECT_EQ(Shutters(), shutters) << "refused after RepeatShoot(-1)";
  view->RepeatShoot(0);
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return Shutters() == shutters + 1; }));
}

TEST_F(ShootingView, AShotWithoutAModeEndsAtOnce) {
  TFrameSulo* view = MakeView();
  view->SubMenuChanged(TTakePictureMode::Default);  // no sequence of its own
  view->Shoot();
  EXPECT_EQ(FPopup.Count("SetEnableScreen"), 1);
  EXPECT_TRUE(view->RectangleDisableBG->isHidden());
  EXPECT_FALSE(view->RectangleNotice->isHidden());
}

TEST_F(ShootingView, AShotWithoutAPictureEndsAndSaysWhy) {
  // "Single": the shutter timer never runs, so the shot ends with the rig down.
  Mode(TTakePictureMode::Sulo).ShutterDelay = 0;
  TFrameSulo* view = MakeView();
  PumpFor(300);
  const std::size_t before = FBoard.Packets().size();
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("SetEnableScreen") == 1; }, 5000));
  EXPECT_TRUE(view->RectangleDisableBG->isHidden());
  EXPECT_FALSE(view->RectangleNotice->isHidden());
  EXPECT_EQ(Shutters(), 0u);
  PumpFor(300);
  for (const auto& p : PacketsSince(before)) EXPECT_NE(B(p), LightsOff) << "the working light stays for the next shot";
  EXPECT_EQ(FBoard.State().Motor, TSimMotor::Down);

  // A shutter delay of a second: the return timer cancels the shutter.
  Mode(TTakePictureMode::Sulo).ShutterDelay = 105;
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("SetEnableScreen") == 2; }, 5000));
  EXPECT_EQ(Shutters(), 0u);

  // A picture that cannot be decoded ends the shot at once.
  view->SubMenuChanged(TTakePictureMode::Portrait);
  SimCamera::SetPictureFault(SimCamera::TFault::Corrupt);
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("SetEnableScreen") == 3; }, 10000));
  EXPECT_EQ(FPopup.Count("OpenSavePopup"), 0);
  EXPECT_TRUE(view->ImageTakePicture->isHidden());
  SimCamera::SetPictureFault(SimCamera::TFault::None);

  // A camera that delivers nothing: the shot is given up after the wait.
  view->SubMenuChanged(TTakePictureMode::Portrait);
  view->TimerNoPicture->SetInterval(400);
  SimCamera::FailNext("EdsSendCommand", EDS_ERR_DEVICE_BUSY, -1);
  view->RepeatShoot(2);
  ASSERT_TRUE(Pump([&] { return FPopup.Count("SetEnableScreen") == 4; }, 5000));
  EXPECT_EQ(view->ShootRepeatCount, 0) << "the repeat run ends";
  EXPECT_TRUE(view->RectangleDisableBG->isHidden());
  SimCamera::ClearFailures();
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; })) << "the next shot works";
}

TEST_F(ShootingView, APictureArrivingWhileAnotherWaitsTakesItsTurn) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
  const qint64 first = view->ImageTakePicture->Bitmap().Image().cacheKey();
  TMemoryStream late(SimCamera::RenderPicture());
  view->on_CameraTakePicture(nullptr, late);
  EXPECT_EQ(view->ImageTakePicture->Bitmap().Image().cacheKey(), first) << "the unanswered picture stays";
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveBtn);
  EXPECT_EQ(Saved().size(), 1u);
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 2; })) << "then the other is offered";
  EXPECT_FALSE(view->ImageTakePicture->isHidden());
  EXPECT_FALSE(view->RectangleDisableBG->isHidden());
}

TEST_F(ShootingView, ARepeatRunWithoutAFolderStopsAndAsks) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  view->EditSaveLocation->SetText("");
  view->RepeatShoot(3);
  ASSERT_TRUE(Pump([&] { return FDialogs.FolderQuestions == 1; }));
  EXPECT_EQ(view->ShootRepeatCount, 0);
  EXPECT_EQ(FPopup.Count("OpenSavePopup"), 1) << "the popup holds the picture for an answer";
  EXPECT_FALSE(view->ImageTakePicture->isHidden());
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickDontSaveBtn);
  Notify<ISavePopupListener>(&ISavePopupListener::EnableFuntion);
  EXPECT_TRUE(view->RectangleDisableBG->isHidden());
}

TEST_F(ShootingView, AFailedSaveKeepsThePictureAndThePopup) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  // A file where the folder should be: the folder cannot be made.
  const std::string blocked = FDir.File("blocked");
  { std::FILE* f = std::fopen(blocked.c_str(), "w"); std::fclose(f); }
  view->EditSaveLocation->SetText(QString::fromStdString(blocked + "/pictures"));
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveBtn);
  EXPECT_EQ(FPopup.Count("SaveSuccess"), 0);
  EXPECT_EQ(FDialogs.Errors.size(), 1u);
  EXPECT_FALSE(view->ImageTakePicture->isHidden());
  // Save As into a good folder saves it.
  FDialogs.Folders = {FPictures};
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveAsBtn);
  EXPECT_EQ(FPopup.Count("SaveSuccess"), 1);
  EXPECT_EQ(Saved().size(), 1u);
  EXPECT_EQ(FConfiguration->General().SaveLocation, FPictures);
}

TEST_F(ShootingView, AnEmptySaveFolderAsksInsteadOfWritingToTheRoot) {
  TFrameSulo* view = MakeView(TTakePictureMode::Portrait);
  view->EditSaveLocation->SetText("");
  view->Shoot();
  ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveBtn);
  EXPECT_EQ(FDialogs.FolderQuestions, 1);
  EXPECT_EQ(FPopup.Count("SaveSuccess"), 0) << "cancelled: nothing written";
  EXPECT_FALSE(view->ImageTakePicture->isHidden());
}

}  // namespace
