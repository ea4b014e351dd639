// Faults on the whole road of a shot, through the working screen as the
// program builds it (the tab menu with its save popup, the mode sub-menu, the
// shooting view) with the simulated camera and board. Every row ends the same
// way: nothing crashed; the screen is back at rest within 15 s (the next shot
// is taken and the tabs work); the picture was saved, is still on screen with
// the popup for another try, or the operator was told it was never taken; and
// the operator was told in plain words, by a notice or a message box.
#include <signal.h>
#include <sys/resource.h>

#include <QElapsedTimer>

#include "ShootingScreenFixture.h"

namespace {

// Words of the notices the rows look for.
constexpr const char* CameraGone = "카메라 연결이 끊어졌습니다";
constexpr const char* CameraBusy = "카메라가 바빠서";
constexpr const char* BoardFailed = "보드";
constexpr const char* LiveViewBad = "라이브 뷰";

class ShootingFault : public ShootingScreen {};

// ---------------------------------------------------------------- the camera

TEST_F(ShootingFault, CameraUnpluggedDuringTheDownload) {
  ChooseMode(TTakePictureMode::Portrait);
  SimCamera::SetDownloadChunkDelay(150);
  ShootButton();
  ASSERT_TRUE(Pump([&] { return !View()->RectangleProgressBG->isHidden(); }));
  // An unplugged camera breaks the transfer and announces its shutdown.
  SimCamera::SetCameraAttached(false);
  SimCamera::RaiseShutdown();
  const auto fault = Clock::now();
  ExpectAtRestWithin(fault);
  EXPECT_TRUE(Saved().empty());
  EXPECT_TRUE(View()->ImageTakePicture->isHidden());
  EXPECT_TRUE(NoticeSays(CameraGone)) << "told the picture was never taken, and why";

  // Shooting is refused, and says why, until the camera is back.
  const std::size_t shutters = Shutters();
  ShootButton();
  PumpFor(300);
  EXPECT_TRUE(AtRest());
  EXPECT_EQ(Shutters(), shutters);
  EXPECT_TRUE(NoticeSays(CameraGone));
  SimCamera::SetDownloadChunkDelay(0);
  SimCamera::SetCameraAttached(true);
  ASSERT_TRUE(Pump([&] { return !View()->FCameraGone; }, 10000));
  ExpectShotSaved();
  ExpectTabsWork();
}

TEST_F(ShootingFault, CameraTransferFailsWhileTheCameraStays) {
  ChooseMode(TTakePictureMode::Portrait);
  SimCamera::FailNext("EdsDownload", EDS_ERR_INTERNAL_ERROR);
  const auto start = Clock::now();
  ShootButton();
  ExpectAtRestWithin(start);
  EXPECT_LT(Ms(start, Clock::now()), 8000) << "ends once the transfer has ended, not at the time-out";
  EXPECT_TRUE(NoticeSays("받아오지 못했습니다")) << "told the picture was never taken";
  EXPECT_TRUE(Saved().empty());
  ExpectShotSaved();
  ExpectTabsWork();
}

TEST_F(ShootingFault, CameraBusyForSecondsDuringAShot) {
  // Busy to the shutter and to the live view for about four seconds.
  SimCamera::FailNext("EdsSendCommand", EDS_ERR_DEVICE_BUSY, 40);
  SimCamera::FailNext("EdsDownloadEvfImage", EDS_ERR_DEVICE_BUSY, 40);
  const auto start = Clock::now();
  ShootButton();
  ASSERT_TRUE(Pump([&] { return NoticeSays(CameraBusy); }, 10000)) << "told the camera keeps the shot waiting";
  ASSERT_TRUE(Pump([&] { return Offered(); }, RestMs));
  EXPECT_LT(Ms(start, Clock::now()), RestMs);
  EXPECT_FALSE(NoticeSays(CameraBusy)) << "the waiting notice goes with the picture";
  Press(FMenu->TavImageButtonSave);
  ASSERT_TRUE(Pump([&] { return Saved().size() == 1; }, 5000));
  ExpectAtRestWithin(start);
  ExpectShotSaved();
  ExpectTabsWork();
}

// The camera's shutdown event between shots, while a shot runs, and while its
// picture waits for an answer.
TEST_F(ShootingFault, CameraShutdownMidSession) {
  enum class TWhen { BetweenShots, WhileTheShotRuns, WhileThePictureWaits };
  for (TWhen when : {TWhen::BetweenShots, TWhen::WhileTheShotRuns, TWhen::WhileThePictureWaits}) {
    SCOPED_TRACE(static_cast<int>(when));
    const std::size_t files = Saved().size();
    if (when == TWhen::WhileTheShotRuns) {
      ShootButton();  // Sulo: the rig moves first, the shutter comes later
      ASSERT_FALSE(AtRest());
    }
    if (when == TWhen::WhileThePictureWaits) {
      ShootButton();
      ASSERT_TRUE(Pump([&] { return Offered(); }));
    }
    SimCamera::SetCameraAttached(false);
    SimCamera::RaiseShutdown();
    const auto fault = Clock::now();
    ASSERT_TRUE(Pump([&] { return View()->FCameraGone; }, 5000));
    EXPECT_TRUE(NoticeSays(CameraGone));
    if (when == TWhen::WhileThePictureWaits) {
      // The picture is in hand: it stays offered and can still be saved.
      EXPECT_TRUE(Offered());
      Press(FMenu->TavImageButtonSave);
      ASSERT_TRUE(Pump([&] { return Saved().size() == files + 1; }, 5000));
    }
    ExpectAtRestWithin(fault);
    if (when != TWhen::WhileThePictureWaits) {
      EXPECT_EQ(Saved().size(), files);
    }

    PumpFor(300);  // a shutter the given-up shot had asked for runs out first
    const std::size_t shutters = Shutters();
    const std::size_t packets = FBoard.Packets().size();
    ShootButton();
    PumpFor(300);
    EXPECT_TRUE(AtRest()) << "refused";
    EXPECT_EQ(Shutters(), shutters);
    EXPECT_EQ(FBoard.Packets().size(), packets) << "the rig stays where it is";
    EXPECT_TRUE(NoticeSays(CameraGone));

    // Switched off between shots, the camera forgets that its live view
    // went to the computer: it is asked for it again.
    if (when == TWhen::BetweenShots) SimCamera::SetProperty(kEdsPropID_Evf_OutputDevice, 1);
    SimCamera::SetCameraAttached(true);
    ASSERT_TRUE(Pump([&] { return !View()->FCameraGone; }, 10000));
    const std::uint64_t served = SimCamera::FramesServed();
    ASSERT_TRUE(Pump([&] { return SimCamera::FramesServed() > served + 5; }, 10000)) << "the live view is back";
    ExpectShotSaved();
  }
  ExpectTabsWork();
  ExpectShotSaved();
}

// ---------------------------------------------------------------- the board

struct TBoardFault {
  const char* Name;
  void (*Strike)(TSimBoard&);
  void (*Heal)(TSimBoard&);  // null: the board does not come back
};

void PrintTo(const TBoardFault& row, std::ostream* os) { *os << row.Name; }

class ShootingBoardFault : public ShootingFault, public ::testing::WithParamInterface<TBoardFault> {};

TEST_P(ShootingBoardFault, MidShot) {
  const TBoardFault& row = GetParam();
  PumpFor(300);
  const std::size_t before = FBoard.Packets().size();
  ShootButton();
  // The rig is on its way up when the board goes.
  ASSERT_TRUE(FBoard.WaitForPackets(before + 2, 5000));
  row.Strike(FBoard);
  const auto fault = Clock::now();
  const std::size_t errors = FDialogs.Errors.size();
  ExpectAtRestWithin(fault);
  EXPECT_LT(Ms(fault, Clock::now()), 8000) << "the shot ends when the board fails, not at the time-out";
  EXPECT_GT(FDialogs.Errors.size(), errors) << "the board's failure is shown";
  EXPECT_TRUE(NoticeSays(BoardFailed));
  EXPECT_FALSE(Offered());
  EXPECT_TRUE(Saved().empty());

  if (row.Heal) {
    row.Heal(FBoard);
    ExpectShotSaved();
    ExpectTabsWork();
    ExpectShotSaved();
    return;
  }
  // Without the board a Sulo shot ends at once and says why; a portrait
  // needs no board and is still taken.
  const std::size_t shown = FDialogs.Errors.size();
  ShootButton();
  ASSERT_TRUE(Pump([&] { return AtRest(); }, 5000));
  EXPECT_GT(FDialogs.Errors.size(), shown);
  EXPECT_TRUE(NoticeSays(BoardFailed));
  ChooseMode(TTakePictureMode::Portrait);
  ASSERT_TRUE(Pump([&] { return AtRest(); }, 5000));
  ExpectShotSaved();
  // The tabs still answer; the shooting view cannot be made without its
  // port, and says so.
  const std::size_t beforeTabs = FDialogs.Errors.size();
  Press(FMenu->TavImageButtonTabViewer);
  ASSERT_TRUE(Pump([&] { return !View(); }, 5000));
  Press(FMenu->TavImageButtonTabShoot);
  PumpFor(500);
  EXPECT_GT(FDialogs.Errors.size(), beforeTabs);
  Press(FMenu->TavImageButtonTabViewer);
  EXPECT_TRUE(Pump([&] { return Sub() && CurrentHostedView(Sub()->LayoutContent); }, 5000));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShootingBoardFault,
    ::testing::Values(TBoardFault{"PseudoTerminalHangsUp", [](TSimBoard& b) { b.Vanish(); }, nullptr},
                      TBoardFault{"BoardStopsTakingBytes", [](TSimBoard& b) { b.Stall(true); },
                                  [](TSimBoard& b) { b.Stall(false); }}),
    [](const ::testing::TestParamInfo<TBoardFault>& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------- saving

TEST_F(ShootingFault, SaveFolderRemovedDuringARepeatRun) {
  ChooseMode(TTakePictureMode::Portrait);
  Notify<ICameraControlListener>(&ICameraControlListener::RepeatShoot, 3);
  ASSERT_TRUE(Pump([&] { return Saved().size() == 1; }));
  std::filesystem::remove_all(FPictures);
  const auto fault = Clock::now();
  ASSERT_TRUE(Pump([&] { return View()->ShootRepeatCount == 0; }, RestMs));
  ExpectAtRestWithin(fault);
  EXPECT_EQ(Saved().size(), 2u) << "the folder is made again and the run goes on";
  EXPECT_TRUE(NoticeSays("저장 폴더")) << Notice().toStdString();
  EXPECT_TRUE(Notice().contains(QString::fromStdString(FPictures)));
  EXPECT_TRUE(FDialogs.Errors.empty());
  ExpectShotSaved();
  ExpectTabsWork();
}

// Places that stop even a privileged writer.
struct TUnwritable {
  const char* Name;
  std::string (*Make)(TTempDir&);
};

void PrintTo(const TUnwritable& row, std::ostream* os) { *os << row.Name; }

class ShootingSaveFault : public ShootingFault, public ::testing::WithParamInterface<TUnwritable> {};

void Touch(const std::string& path) { std::FILE* f = std::fopen(path.c_str(), "w"); std::fclose(f); }

TEST_P(ShootingSaveFault, FolderNotWritable) {
  const std::string folder = GetParam().Make(FDir);
  View()->EditSaveLocation->SetText(QString::fromStdString(folder));
  ChooseMode(TTakePictureMode::Portrait);
  ShootButton();
  ASSERT_TRUE(Pump([&] { return Offered(); }));
  Press(FMenu->TavImageButtonSave);
  ASSERT_EQ(FDialogs.Errors.size(), 1u);
  EXPECT_NE(FDialogs.Errors[0].find(folder), std::string::npos) << FDialogs.Errors[0];
  EXPECT_TRUE(Offered()) << "kept on screen for another try";
  // Another try into a good folder saves it.
  const auto retry = Clock::now();
  FDialogs.Folders = {FPictures};
  Press(FMenu->TavImageButtonSaveAs);
  ASSERT_TRUE(Pump([&] { return Saved().size() == 1; }, 5000));
  ExpectAtRestWithin(retry);
  ExpectShotSaved();

  // A repeat run stops at the folder it cannot write and keeps the picture.
  View()->EditSaveLocation->SetText(QString::fromStdString(folder));
  Notify<ICameraControlListener>(&ICameraControlListener::RepeatShoot, 3);
  ASSERT_TRUE(Pump([&] { return Offered(); }));
  EXPECT_EQ(View()->ShootRepeatCount, 0);
  EXPECT_EQ(FDialogs.Errors.size(), 2u);
  Press(FMenu->TavImageButtonDontSave);
  ASSERT_TRUE(Pump([&] { return AtRest(); }, 5000));
  ExpectTabsWork();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShootingSaveFault,
    ::testing::Values(TUnwritable{"AFileWhereTheFolderShouldBe",
                                  [](TTempDir& dir) {
                                    Touch(dir.File("taken"));
                                    return dir.File("taken");
                                  }},
                      TUnwritable{"BelowARegularFile",
                                  [](TTempDir& dir) {
                                    Touch(dir.File("plain"));
                                    return dir.File("plain") + "/pictures";
                                  }},
                      TUnwritable{"AReadOnlyFileSystem", [](TTempDir&) { return std::string("/proc/sulo-pictures"); }},
                      // A name the system cannot even look up.
                      TUnwritable{"ANameTooLong", [](TTempDir& dir) { return dir.File(std::string(300, 'a')); }}),
    [](const ::testing::TestParamInfo<TUnwritable>& info) { return std::string(info.param.Name); });

// A full disk: files may grow no further than a few kilobytes, as when the
// last free blocks are gone.
class TFullDisk {
 public:
  explicit TFullDisk(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &FOld);
    FOldSignal = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = FOld;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~TFullDisk() { Lift(); }
  void Lift() {
    if (FLifted) return;
    FLifted = true;
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    ::signal(SIGXFSZ, FOldSignal);
  }

 private:
  rlimit FOld{};
  sighandler_t FOldSignal = SIG_DFL;
  bool FLifted = false;
};

TEST_F(ShootingFault, DiskFull) {
  ChooseMode(TTakePictureMode::Portrait);
  ShootButton();
  ASSERT_TRUE(Pump([&] { return Offered(); }));
  {
    TFullDisk full(4096);
    Press(FMenu->TavImageButtonSave);
  }
  ASSERT_EQ(FDialogs.Errors.size(), 1u);
  EXPECT_NE(FDialogs.Errors[0].find("File too large"), std::string::npos) << FDialogs.Errors[0];
  EXPECT_TRUE(Offered()) << "kept on screen for another try";
  EXPECT_TRUE(Saved().empty()) << "no half-written picture or temporary file is left";
  // Room again: the same picture is saved.
  const auto retry = Clock::now();
  Press(FMenu->TavImageButtonSave);
  ASSERT_TRUE(Pump([&] { return Saved().size() == 1; }, 5000));
  EXPECT_EQ(QImage(QString::fromStdString(Saved()[0].string())).size(), QSize(427, 640));
  ExpectAtRestWithin(retry);
  ExpectShotSaved();
  ExpectTabsWork();
}

// ---------------------------------------------------------------- pictures and frames

TEST_F(ShootingFault, CorruptPicture) {
  ChooseMode(TTakePictureMode::Portrait);
  for (SimCamera::TFault fault : {SimCamera::TFault::Corrupt, SimCamera::TFault::Truncated}) {
    SCOPED_TRACE(static_cast<int>(fault));
    SimCamera::SetPictureFault(fault);
    const auto start = Clock::now();
    ShootButton();
    ExpectAtRestWithin(start);
    EXPECT_LT(Ms(start, Clock::now()), 8000) << "ends when the picture arrives, not at the time-out";
    EXPECT_TRUE(NoticeSays("손상")) << "told the picture was not taken";
    EXPECT_TRUE(Saved().empty());
    SimCamera::SetPictureFault(SimCamera::TFault::None);
    ExpectShotSaved();
    std::filesystem::remove_all(FPictures);
  }
  ExpectTabsWork();
}

TEST_F(ShootingFault, ARunOfCorruptLiveViewFrames) {
  TFrameSulo* view = View();
  SimCamera::SetFrameFault(SimCamera::TFault::Corrupt);
  const std::uint64_t served = SimCamera::FramesServed();
  PumpFor(200);
  const qint64 shown = view->ImageLiveView->Bitmap().Image().cacheKey();
  ASSERT_TRUE(Pump([&] { return SimCamera::FramesServed() > served + 30; }));
  EXPECT_EQ(view->ImageLiveView->Bitmap().Image().cacheKey(), shown) << "the last good frame stays";
  EXPECT_TRUE(NoticeSays(LiveViewBad)) << "told the live view is not coming through";
  // A shot in the middle of the run is taken and saved.
  const auto start = Clock::now();
  ExpectShotSaved();
  EXPECT_LT(Ms(start, Clock::now()), RestMs);
  SimCamera::SetFrameFault(SimCamera::TFault::None);
  ASSERT_TRUE(Pump([&] { return view->ImageLiveView->Bitmap().Image().cacheKey() != shown; }));
  ASSERT_TRUE(Pump([&] { return !NoticeSays(LiveViewBad); }, 3000)) << "the notice goes with the first good frame";
  ExpectTabsWork();
}

}  // namespace
