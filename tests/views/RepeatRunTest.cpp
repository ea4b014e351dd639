// Repeat runs in the modes whose sequence outlasts the picture: with a quick
// camera the picture is saved before the rig is back down (Sulo) or the UV
// light is off (UV), and the next shot must not start into the last one's
// remaining steps.
#include "ShootingViewFixture.h"

namespace {

struct TRunCase {
  const char* Name;
  TTakePictureMode Mode;
  // The packets one shot sends, in order.
  std::vector<Bytes> Sequence;
};

const Bytes SuloUp = {0xAA, 0xC2, 0x2F, 0xCD, 0x00, 0x68, 0xBB};
const Bytes MotorUp = {0xAA, 0xC3, 0x01, 0x9B, 0x00, 0x09, 0xBB};
const Bytes MotorStop = {0xAA, 0xC3, 0x01, 0x00, 0x00, 0x6E, 0xBB};
const Bytes MotorDown = {0xAA, 0xC3, 0x00, 0xCD, 0x00, 0x3A, 0xBB};
const Bytes UvOn = {0xAA, 0xC1, 0x00, 0x00, 0xCC, 0x37, 0xBB};

TEST_F(ShootingView, RepeatRunsLetEachShotsSequenceRunOutBeforeTheNext) {
  const TRunCase cases[] = {
      {"Sulo", TTakePictureMode::Sulo, {SuloUp, MotorUp, MotorStop, MotorDown}},
      {"UV", TTakePictureMode::UV, {UvOn, LightsOff}},
  };
  // The picture follows the shutter at once.
  SimCamera::SetShutterDelay(0);
  for (const TRunCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFrameSulo* view = MakeView(c.Mode);
    PumpFor(300);
    FPopup.Calls.clear();
    const std::size_t before = FBoard.Packets().size();
    const std::size_t shutters = Shutters();
    const std::size_t saved = Saved().size();
    constexpr int Shots = 3;
    view->RepeatShoot(Shots);
    ASSERT_TRUE(Pump([&] { return FPopup.Count("SetEnableScreen") == 1; }, 30000));
    EXPECT_EQ(FPopup.Count("SaveSuccess"), Shots);
    EXPECT_EQ(Saved().size(), saved + Shots);
    // The only notice tells what the run saved.
    EXPECT_FALSE(view->RectangleNotice->isHidden());
    EXPECT_TRUE(view->LabelNotice->Text().contains(QString::fromUtf8("%1장").arg(Shots)))
        << view->LabelNotice->Text().toStdString();
    EXPECT_TRUE(view->RectangleDisableBG->isHidden());
    Pump([&] { return FBoard.Packets().size() >= before + Shots * c.Sequence.size(); }, 5000);
    PumpFor(200);
    // Each shot's packets whole and in order, none of the next shot's among them.
    const auto p = PacketsSince(before);
    EXPECT_EQ(p.size(), Shots * c.Sequence.size());
    if (p.size() != Shots * c.Sequence.size()) continue;
    for (std::size_t i = 0; i < p.size(); ++i) EXPECT_EQ(B(p[i]), c.Sequence[i % c.Sequence.size()]) << "packet " << i;
    // Every shutter falls inside its own shot: after its first packet, before its last.
    const auto shutter = SimCamera::CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture);
    EXPECT_EQ(shutter.size(), shutters + Shots);
    if (shutter.size() != shutters + Shots) continue;
    for (std::size_t k = 0; k < Shots; ++k) {
      const auto& release = shutter[shutters + k].Time;
      EXPECT_GT(release, p[k * c.Sequence.size()].Time) << "shot " << k;
      EXPECT_LT(release, p[(k + 1) * c.Sequence.size() - 1].Time) << "shot " << k;
    }
  }
}

// A run that waits for the last shot's steps can still end: called off by
// RepeatShoot(0), or by the board failing on the rig's return. Either way the
// screen comes back and nothing more is taken.
TEST_F(ShootingView, ARepeatRunThatEndsWhileItWaitsGivesTheScreenBack) {
  struct TRow {
    const char* Name;
    std::function<void(TFrameSulo*)> End;
    int Reported;  // errors reported
    bool Noticed;  // the operator is told why
  };
  // The board's row comes last: it does not come back.
  const TRow rows[] = {
      {"CalledOff", [](TFrameSulo* view) { view->RepeatShoot(0); }, 0, false},
      {"BoardGone", [this](TFrameSulo*) { FBoard.Vanish(); }, 1, true},
  };
  SimCamera::SetShutterDelay(0);
  int reported = 0;
  SetErrorHandler([&](std::exception_ptr) { ++reported; });
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TFrameSulo* view = MakeView(TTakePictureMode::Sulo);
    PumpFor(300);
    FPopup.Calls.clear();
    reported = 0;
    view->RepeatShoot(5);
    ASSERT_TRUE(Pump([&] { return FPopup.Count("SaveSuccess") == 1; }, 20000));
    ASSERT_TRUE(view->TimerDown->IsRunning()) << "saved while the rig is still up";
    row.End(view);
    const std::size_t shutters = Shutters();
    ASSERT_TRUE(Pump([&] { return FPopup.Count("SetEnableScreen") == 1; }, 5000));
    PumpFor(1500);
    EXPECT_EQ(Shutters(), shutters);
    EXPECT_EQ(FPopup.Count("SaveSuccess"), 1);
    EXPECT_EQ(view->ShootRepeatCount, 0);
    EXPECT_TRUE(view->RectangleDisableBG->isHidden());
    EXPECT_EQ(reported, row.Reported);
    EXPECT_EQ(!view->RectangleNotice->isHidden(), row.Noticed);
  }
  SetErrorHandler(nullptr);
}

// A shot started as soon as a run has ended meets none of the run's last
// steps: the screen comes back only once the rig is down or the UV light
// off, and the new shot's sequence then runs whole. The shot's timers count
// on a clock the test drives; the camera answers at once.
TEST_F(ShootingView, AShotAfterARunMeetsNoneOfTheRunsLastSteps) {
  struct TRow {
    const char* Name;
    TTakePictureMode Mode;
    int ShutterMs;  // from the start of a shot
    int LastStepMs;
    std::vector<Bytes> Sequence;
  };
  const TRow rows[] = {
      {"Sulo", TTakePictureMode::Sulo, 970, 1470, {SuloUp, MotorUp, MotorStop, MotorDown}},
      {"UV", TTakePictureMode::UV, 900, 2000, {UvOn, LightsOff}},
  };
  SimCamera::SetShutterDelay(0);
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TTimerClock clock;
    TFrameSulo* view = MakeView(row.Mode);
    PumpFor(300);
    FPopup.Calls.clear();
    const std::size_t saved = Saved().size();
    view->RepeatShoot(1);
    clock.Advance(row.ShutterMs);
    ASSERT_TRUE(Pump([&] { return FPopup.Count("SaveSuccess") == 1; }));
    EXPECT_EQ(Saved().size(), saved + 1);

    // The operator shoots at once: refused while the run's last step is to come.
    std::size_t before = FBoard.Packets().size();
    const std::size_t shutters = Shutters();
    view->Shoot();
    PumpFor(300);
    EXPECT_EQ(FBoard.Packets().size(), before);
    EXPECT_EQ(Shutters(), shutters);
    EXPECT_EQ(FPopup.Count("SetEnableScreen"), 0);
    EXPECT_FALSE(view->RectangleDisableBG->isHidden());

    clock.Advance(row.LastStepMs - row.ShutterMs);
    ASSERT_TRUE(Pump([&] { return FBoard.Packets().size() == before + 1; }, 5000));
    EXPECT_EQ(B(PacketsSince(before).front()), row.Sequence.back());
    EXPECT_EQ(FPopup.Count("SetEnableScreen"), 1);
    EXPECT_TRUE(view->RectangleDisableBG->isHidden());

    // The next shot runs its own sequence whole, its shutter inside it.
    before = FBoard.Packets().size();
    view->Shoot();
    clock.Advance(row.ShutterMs);
    ASSERT_TRUE(Pump([&] { return Shutters() == shutters + 1; }, 5000));
    clock.Advance(row.LastStepMs - row.ShutterMs);
    ASSERT_TRUE(Pump([&] { return FPopup.Count("OpenSavePopup") == 1; }));
    Pump([&] { return FBoard.Packets().size() >= before + row.Sequence.size(); }, 5000);
    PumpFor(200);
    const auto p = PacketsSince(before);
    ASSERT_EQ(p.size(), row.Sequence.size());
    for (std::size_t i = 0; i < p.size(); ++i) EXPECT_EQ(B(p[i]), row.Sequence[i]) << "packet " << i;
    const auto release = SimCamera::CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture).back().Time;
    EXPECT_GT(release, p.front().Time);
    EXPECT_LT(release, p.back().Time);
    EXPECT_TRUE(view->RectangleNotice->isHidden()) << view->LabelNotice->Text().toStdString();
    view->OnClickDontSaveBtn();
    FWindow.reset();
  }
}

// A run that goes on to its next shot after the camera has gone ends there,
// and gives the screen back itself rather than leave it to the popup.
TEST_F(ShootingView, ARunGoingOnWithoutTheCameraGivesTheScreenBack) {
  SimCamera::SetShutterDelay(0);
  TTimerClock clock;
  TFrameSulo* view = MakeView(TTakePictureMode::Sulo);
  PumpFor(300);
  FPopup.Calls.clear();
  view->RepeatShoot(3);
  clock.Advance(970);
  ASSERT_TRUE(Pump([&] { return FPopup.Count("SaveSuccess") == 1; }));
  SimCamera::SetCameraAttached(false);
  SimCamera::RaiseShutdown();
  ASSERT_TRUE(Pump([&] { return view->FCameraGone; }, 5000));
  const std::size_t shutters = Shutters();
  const std::size_t before = FBoard.Packets().size();
  clock.Advance(500);  // the rig's return: the run would go on now
  PumpFor(300);
  EXPECT_EQ(FPopup.Count("SetEnableScreen"), 1);
  EXPECT_TRUE(view->RectangleDisableBG->isHidden());
  EXPECT_EQ(view->ShootRepeatCount, 0);
  EXPECT_EQ(Shutters(), shutters);
  EXPECT_EQ(PacketsSince(before).size(), 1u);  // the rig down, no new shot
  EXPECT_FALSE(view->RectangleNotice->isHidden());
  SimCamera::SetCameraAttached(true);
}

}  // namespace
