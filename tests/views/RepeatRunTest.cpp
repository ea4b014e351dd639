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
    EXPECT_TRUE(view->RectangleNotice->isHidden()) << view->LabelNotice->Text().toStdString();
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

}  // namespace
