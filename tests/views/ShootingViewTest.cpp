// The shooting view with the simulated camera and the simulated board: set-up
// and tear-down, mode and setting changes, live view, the preview tools, the
// shipped configuration and the screenshots.
#include "ShootingViewFixture.h"

namespace {

TEST_F(ShootingView, JoinsTheBusAndTheDevicesForItsLifetime) {
  TFrameSulo* view = MakeView();
  EXPECT_EQ(FCenter.Count<ISettingChanged>(), 1u);
  EXPECT_EQ(FCenter.Count<IMenuChangeListener>(), 1u);
  EXPECT_EQ(FCenter.Count<ICameraControlListener>(), 1u);
  EXPECT_EQ(FCenter.Count<ISavePopupListener>(), 1u);
  EXPECT_TRUE(FGlobal->Canon().OnLiveView());
  EXPECT_TRUE(FGlobal->Canon().OnTakePicture());
  EXPECT_EQ(view->LabelOpacityValue->Text(), "60%");
  EXPECT_DOUBLE_EQ(view->ImageOverlay->Opacity(), 0.6);
  EXPECT_EQ(view->EditSaveLocation->Text().toStdString(), FPictures);
  // Live frames arrive turned upright.
  ASSERT_TRUE(Pump([&] { return !view->ImageLiveView->Bitmap().IsEmpty(); }));
  EXPECT_EQ(view->ImageLiveView->Bitmap().Image().size(), QSize(680, 1024));

  const std::size_t before = FBoard.Packets().size();
  FWindow.reset();
  ASSERT_TRUE(FBoard.WaitForPackets(before + 2, 5000));
  const auto last = PacketsSince(before);
  EXPECT_EQ(B(last[0]), LightsOff);
  EXPECT_EQ(B(last[1]), RigDownAt10);
  EXPECT_FALSE(FModule->IsComportConnected());
  EXPECT_EQ(FCenter.Count<ISettingChanged>() + FCenter.Count<IMenuChangeListener>() +
                FCenter.Count<ICameraControlListener>() + FCenter.Count<ISavePopupListener>(),
            0u);
  EXPECT_FALSE(FGlobal->Canon().OnLiveView());
}

TEST_F(ShootingView, ClosingMidShotPutsLightsAndRigToRest) {
  TFrameSulo* view = MakeView(TTakePictureMode::UV);
  PumpFor(300);
  view->Shoot();
  PumpFor(300);  // UV on, the shutter still to come
  const std::size_t before = FBoard.Packets().size();
  FWindow.reset();
  ASSERT_TRUE(FBoard.WaitForPackets(before + 2, 5000));
  const auto last = PacketsSince(before);
  EXPECT_EQ(B(last[0]), LightsOff);
  EXPECT_EQ(B(last[1]), RigDownAt10);
  EXPECT_FALSE(FModule->IsComportConnected());
  PumpFor(2500);  // the shot's timers died with the view
  EXPECT_EQ(FBoard.Packets().size(), before + 2);
}

TEST_F(ShootingView, ABoardGoneAtCloseIsReportedAfterTheViewIsGone) {
  MakeView(TTakePictureMode::Portrait);
  PumpFor(300);
  int reported = 0;
  bool viewGone = false;
  SetErrorHandler([&](std::exception_ptr) {
    ++reported;
    viewGone = FCenter.Count<ICameraControlListener>() == 0;
  });
  FBoard.Vanish();
  FWindow.reset();  // must not throw, nor show anything from inside the destructor
  EXPECT_EQ(reported, 0);
  PumpFor(200);
  EXPECT_GE(reported, 1);
  EXPECT_TRUE(viewGone);
  SetErrorHandler(nullptr);
}

TEST_F(ShootingView, AModeChangeSendsCameraSettingsThenLightsThenMotor) {
  TTakePictureConfiguration& uv = Mode(TTakePictureMode::UV);
  uv.MotorLocation = MotorLocationUp;
  uv.MotorSpeed = 3;
  TFrameSulo* view = MakeView();
  PumpFor(300);  // the first mode's packets are on their way
  const std::size_t before = FBoard.Packets().size();
  SimCamera::ClearCalls();
  const auto start = Clock::now();
  view->SubMenuChanged(TTakePictureMode::UV);
  ASSERT_TRUE(FBoard.WaitForPackets(before + 2, 5000));
  const auto packets = PacketsSince(before);
  EXPECT_EQ(B(packets[0]), (Bytes{0xAA, 0xC1, 0x00, 0x00, 0xCC, 0x37, 0xBB})) << "UV at brightness 8";
  EXPECT_EQ(packets[1].Bytes[1], 0xC3);
  EXPECT_EQ(packets[1].Bytes[2], 0x01) << "motor up for the \"Up\" location";
  const auto writes = SimCamera::CallsOf("EdsSetPropertyData", kEdsPropID_Tv);
  ASSERT_FALSE(writes.empty());
  EXPECT_LT(writes.front().Time, packets[0].Time) << "camera settings before lights";
  EXPECT_GE(Ms(start, packets[0].Time), 0);
}

TEST_F(ShootingView, ABadLiveFrameIsSkipped) {
  TFrameSulo* view = MakeView();
  ASSERT_TRUE(Pump([&] { return !view->ImageLiveView->Bitmap().IsEmpty(); }));
  const qint64 shown = view->ImageLiveView->Bitmap().Image().cacheKey();
  SimCamera::SetFrameFault(SimCamera::TFault::Corrupt);
  const std::uint64_t served = SimCamera::FramesServed();
  ASSERT_TRUE(Pump([&] { return SimCamera::FramesServed() >= served + 3; }));
  EXPECT_EQ(view->ImageLiveView->Bitmap().Image().cacheKey(), shown);
  SimCamera::SetFrameFault(SimCamera::TFault::None);
  ASSERT_TRUE(Pump([&] { return view->ImageLiveView->Bitmap().Image().cacheKey() != shown; })) << "the stream goes on";
}

TEST_F(ShootingView, GuideLinesNearnessAndTheReleaseWritesTheirPlaces) {
  TFrameSulo* view = MakeView();
  Click(view->TavImageButtonGuide);
  ASSERT_FALSE(view->LayoutGrid->isHidden());
  const qreal lineY = view->RectangleX->Y(), lineX = view->RectangleY->X();
  const struct {
    qreal X, Y;
    Qt::CursorShape Shape;
  } cases[] = {{lineX, lineY, Qt::SizeFDiagCursor},      {lineX + 10, 5, Qt::SizeHorCursor},
               {lineX - 10, 5, Qt::ArrowCursor},         {5, lineY + 10, Qt::SizeVerCursor},
               {5, lineY - 10, Qt::ArrowCursor},         {5, 5, Qt::ArrowCursor}};
  for (const auto& c : cases) EXPECT_EQ(view->getCursor(c.X, c.Y), c.Shape) << c.X << "," << c.Y;

  // Drag the vertical line 40 to the right; the release stores both lines.
  Move(view->RectangleGridBG, {lineX, 100});
  Press(view->RectangleGridBG, {lineX, 100});
  Move(view->RectangleGridBG, {lineX + 40, 100});
  Release(view->RectangleGridBG, {lineX + 40, 100});
  EXPECT_EQ(view->RectangleY->X(), lineX + 40);
  TConfiguration reread(FConfiguration->GetFileName());
  reread.Load();
  EXPECT_EQ(reread.GetTakePictureConfiguraion(TTakePictureMode::Sulo)->GuideX, static_cast<int>(lineX + 40));
  EXPECT_EQ(reread.GetTakePictureConfiguraion(TTakePictureMode::Sulo)->GuideY, static_cast<int>(lineY));
}

TEST_F(ShootingView, ZoomMovesToItsStartAndPanningNeverGoesBelowZero) {
  TFrameSulo* view = MakeView();
  Click(view->TavImageButtonZoom);
  ASSERT_TRUE(Pump([&] { return SimCamera::ZoomPosition().x == 2350 && SimCamera::ZoomPosition().y == 1550; }));
  EXPECT_TRUE(view->FIsZoom);
  Press(view->ImageLiveView, {200, 200});
  Move(view->ImageLiveView, {200 - 3000, 200 + 3000});  // far left and down
  Release(view->ImageLiveView, {200 - 3000, 200 + 3000});
  ASSERT_TRUE(Pump([&] { return SimCamera::ZoomPosition().x == 0 && SimCamera::ZoomPosition().y == 0; }));
  Click(view->TavImageButtonZoom);
  EXPECT_FALSE(view->FIsZoom);
}

TEST_F(ShootingView, TheShippedConfigurationUsesOnlyListedChoices) {
  TConfiguration shipped(SULO_SOURCE_DIR "/resources/default.configuration");
  shipped.Load();
  for (TTakePictureMode mode : {TTakePictureMode::Sulo, TTakePictureMode::Portrait, TTakePictureMode::UV,
                                TTakePictureMode::Polarization}) {
    SCOPED_TRACE(ModeName(mode));
    const TTakePictureConfiguration& record = *shipped.GetTakePictureConfiguraion(mode);
    for (int k = static_cast<int>(TTakePictureConfigurationKind::Shutter);
         k <= static_cast<int>(TTakePictureConfigurationKind::Sharpness); ++k) {
      const auto kind = static_cast<TTakePictureConfigurationKind>(k);
      const auto choices = TFrameSpin::ChoicesOf(kind);
      ASSERT_TRUE(choices) << k;
      const std::int32_t value = record.GetValue(kind);
      EXPECT_TRUE(std::any_of(choices->begin(), choices->end(), [&](const TDeviceProperty& p) { return p.ID() == value; }))
          << TFrameSpin::TitleOf(kind).toStdString() << " = " << value;
    }
  }
  const TTakePictureConfiguration& sulo = *shipped.GetTakePictureConfiguraion(TTakePictureMode::Sulo);
  EXPECT_EQ(sulo.MotorLocation, 47);
  EXPECT_EQ(sulo.ShutterDelay, 50);
}

// Renders the working screen's shooting states into $SULO_SCREENSHOT_DIR.
TEST_F(ShootingView, Screenshots) {
  const QByteArray dir = qgetenv("SULO_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "SULO_SCREENSHOT_DIR not set";
  SimCamera::SetPictureSize(5184, 3456);
  TViewRegistry::Register<TFrameTabSub>("TFrameTabSub");
  TViewRegistry::Register<TFrameSulo>("TFrameSulo");
  FCenter.Remove<ISavePopup>(&FPopup);  // the tab menu answers now
  for (qreal scale : {1.0, 0.6666}) {
    const QString suffix = scale == 1.0 ? "1920" : "1280";
    auto save = [&](const char* name) {
      PumpFor(300);
      EXPECT_TRUE(FWindow->grab().save(QString::fromUtf8(dir) + "/" + name + "-" + suffix + ".png"));
    };
    FWindow = std::make_unique<TControl>();
    FWindow->SetScale(scale, scale);
    FWindow->SetSize(1086, 767);
    auto* menu = new TFrameTabMenu(FWindow.get());
    menu->SetAlign(TAlignLayout::Client);
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    auto* sub = qobject_cast<TFrameTabSub*>(menu->LayoutTabContent->findChild<TFrameTabSub*>());
    auto* view = sub->findChild<TFrameSulo*>();
    ASSERT_TRUE(view);
    ASSERT_TRUE(Pump([&] { return !view->ImageLiveView->Bitmap().IsEmpty(); }));
    save("shoot-live-view");

    view->setOverlayToggle(true);
    view->EditOverlayImage->SetText("reference.jpg");
    view->TavImageButtonGuideClick(nullptr);
    save("shoot-overlay-guide");
    view->setOverlayToggle(false);
    view->TavImageButtonGuideClick(nullptr);

    view->TavImageButtonZoomClick(nullptr);
    PumpFor(1200);
    save("shoot-zoomed");
    view->TavImageButtonZoomClick(nullptr);
    PumpFor(800);

    view->SubMenuChanged(TTakePictureMode::Portrait);
    view->Shoot();
    ASSERT_TRUE(Pump([&] { return !view->ImageTakePicture->isHidden(); }));
    save("shoot-picture-popup");

    view->EditSaveLocation->SetText("/proc/sulo-cannot-write-here");
    menu->TavImageButtonSaveClick(nullptr);
    FDialogs.Errors.clear();
    save("shoot-save-failed");
    menu->TavImageButtonDontSaveClick(nullptr);
    ASSERT_TRUE(Pump([&] { return menu->LayoutDisableBG->isHidden(); }));

    view->TimerNoPicture->SetInterval(300);
    SimCamera::FailNext("EdsSendCommand", EDS_ERR_DEVICE_BUSY, -1);
    view->Shoot();
    ASSERT_TRUE(Pump([&] { return !view->RectangleNotice->isHidden(); }));
    save("shoot-no-picture");
    SimCamera::ClearFailures();
    FWindow.reset();
    PumpFor(200);
  }
  FCenter.Add<ISavePopup>(&FPopup);
}

}  // namespace
