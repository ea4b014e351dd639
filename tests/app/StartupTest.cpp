#include <gtest/gtest.h>
#include <unistd.h>

#include <QPointer>
#include <chrono>

#include "FakeDialogs.h"
#include "WidgetTestUtil.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "app/QtDispatcher.h"
#include "app/SimulatedBoard.h"
#include "board/DeviceModule.h"
#include "camera/Canon.h"
#include "notification/NotificationCenter.h"
#include "platform/SingleInstance.h"
#include "simulator/camera/SimCamera.h"
#include "support/TempDir.h"
#include "support/TraceCapture.h"
#include "views/start/FrameSaveLocation.h"
#include "views/start/FrameSplash.h"
#include "views/shooting/FrameSulo.h"
#include "views/menu/FrameTabMenu.h"
#include "configuration/Configuration.h"

#include <QImage>
#include <filesystem>

namespace {

// One run of the program with the simulated board and camera.
class StartupFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SimCamera::Reset();
    Options.ConfigurationFile = Temp.File("sulo.configuration");
    Options.LockName = "sulo-test-startup-" + std::to_string(getpid());
  }
  void TearDown() override {
    Program.reset();
    SimCamera::Reset();
  }
  void Start() {
    Program = std::make_unique<TProgram>(Dispatcher, Options);
    ASSERT_TRUE(Program->Start());
    ASSERT_TRUE(MainForm);
  }
  // Whether the program brings its own simulated board. On Windows it scans
  // the machine's COM ports instead, where the boards are whatever was mapped
  // from outside, so the tests that expect its own board cannot run there.
  static bool BringsItsOwnBoard() { return TSimulatedBoard(false).Ports() != nullptr; }
  static constexpr const char* NoOwnBoard =
      "the program brings no simulated board of its own here: it scans the machine's COM ports";

  TFrameSaveLocation* SaveLocation() const {
    return MainForm ? qobject_cast<TFrameSaveLocation*>(MainForm->CurrentView("LayoutContent")) : nullptr;
  }
  // The save-location view once the board scan has reported to it.
  TFrameSaveLocation* WaitForScanReport() {
    const bool reported = WaitFor(
        [&] {
          TFrameSaveLocation* v = SaveLocation();
          return v && (v->TavImageButtonStartSulo->isEnabled() || !v->ImageSuloError->isHidden() ||
                       !v->ImageCameraError->isHidden());
        },
        30000);
    return reported ? SaveLocation() : nullptr;
  }

  TTempDir Temp;
  TFakeDialogs Dialogs;
  TTraceCapture Traces;
  TQtDispatcher Dispatcher;
  TProgramOptions Options;
  std::unique_ptr<TProgram> Program;
};

}  // namespace

TEST_F(StartupFixture, BoardFoundLeadsToTheSaveLocationWithTheCameraConnected) {
  if (!BringsItsOwnBoard()) GTEST_SKIP() << NoOwnBoard;
  Start();
  EXPECT_TRUE(WaitFor([&] { return Traces.Contains("TMainForm.Init"); }));
  TFrameSaveLocation* view = WaitForScanReport();
  ASSERT_TRUE(view);
  EXPECT_TRUE(WaitFor([&] { return Traces.Contains("CameraIsConnect : True"); }, 30000));
  EXPECT_TRUE(view->TavImageButtonStartSulo->isEnabled());
  EXPECT_TRUE(view->ImageSuloError->isHidden());
  EXPECT_TRUE(view->ImageCameraError->isHidden());
  EXPECT_TRUE(TGlobal::FInstance->Canon().Initialized());
  EXPECT_EQ(DeviceModule->FoundPort(), "COM3");
  EXPECT_TRUE(Dialogs.Errors.empty());
  // The trace log lies beside the configuration file.
  EXPECT_EQ(TLog::Instance().FileName(), Temp.File("sulo.log"));

  // The start button opens the working screen at the working window size.
  Click(view->TavImageButtonStartSulo);
  EXPECT_TRUE(Dialogs.Errors.empty());
  QWidget* working = MainForm->CurrentView("LayoutContent");
  ASSERT_TRUE(working);
  EXPECT_EQ(working->objectName(), "FrameTabMenu");
  const double r = static_cast<double>(MainForm->CurrentScreenRatio);
  EXPECT_EQ(MainForm->size(), QSize(static_cast<int>(RoundHalfEven(1086 * r)), static_cast<int>(RoundHalfEven(806 * r))));

  // Closing from the save-location view: views go, then the camera's session.
  MainForm->TavImageButtonCloseClick(nullptr);
  Program.reset();
  EXPECT_TRUE(Traces.Contains("Sulo end"));
}

// The whole road of one shot through the real screens: start, scan, START,
// the shoot button, the popup, Save, and the picture on disk.
TEST_F(StartupFixture, OneShotFromStartToThePictureOnDisk) {
  if (!BringsItsOwnBoard()) GTEST_SKIP() << NoOwnBoard;
  Start();
  TFrameSaveLocation* view = WaitForScanReport();
  ASSERT_TRUE(view);
  ASSERT_TRUE(WaitFor([&] { return Traces.Contains("CameraIsConnect : True"); }, 30000));
  const std::string pictures = Temp.File("pictures");
  TConfiguration::FInstance->General().SaveLocation = pictures;
  TTakePictureConfiguration& sulo = *TConfiguration::FInstance->GetTakePictureConfiguraion(TTakePictureMode::Sulo);
  sulo.MotorLocation = 47;
  sulo.MotorSpeed = 5;
  sulo.ShutterDelay = 50;

  Click(view->TavImageButtonStartSulo);
  auto* menu = qobject_cast<TFrameTabMenu*>(MainForm->CurrentView("LayoutContent"));
  ASSERT_TRUE(menu);
  auto* shooting = menu->findChild<TFrameSulo*>();
  ASSERT_TRUE(shooting);
  ASSERT_TRUE(WaitFor([&] { return !shooting->ImageLiveView->Bitmap().IsEmpty(); }, 30000));
  Click(shooting->TavImageButtonShoot);
  ASSERT_TRUE(WaitFor([&] { return !menu->LayoutSavePopup->isHidden(); }, 30000));
  Click(menu->TavImageButtonSave);
  ASSERT_TRUE(WaitFor([&] { return menu->LayoutSavePopup->isHidden(); }, 10000)) << "closed after its delay";
  EXPECT_TRUE(shooting->RectangleDisableBG->isHidden());
  EXPECT_TRUE(Dialogs.Errors.empty());

  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(pictures)) files.push_back(e.path());
  ASSERT_EQ(files.size(), 1u);
  const QImage saved(QString::fromStdString(files[0].string()));
  ASSERT_EQ(saved.size(), QSize(3456, 5184)) << "turned upright";
  // The markers' white rings, four times their size, 66 px from the bottom
  // corners: L at the bottom right, R at the bottom left.
  for (QPoint ring : {QPoint(3126 + 252, 4854 + 132), QPoint(66 + 252, 4854 + 132)}) {
    const QColor c = saved.pixelColor(ring);
    EXPECT_GT(std::min({c.red(), c.green(), c.blue()}), 190) << ring.x() << "," << ring.y();
  }
  // Leaving the Shoot tab puts the lights out, the rig down at speed 10 and
  // closes the port.
  Click(menu->TavImageButtonTabViewer);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(DeviceModule->IsComportConnected());
  EXPECT_TRUE(WaitFor([&] { return Traces.Contains("AA C3 00 FF 00 6C BB"); }, 5000));
  MainForm->TavImageButtonCloseClick(nullptr);
  Program.reset();
}

TEST_F(StartupFixture, SilentBoardShowsTheBoardErrorAndLeavesTheCameraOff) {
  if (!BringsItsOwnBoard()) GTEST_SKIP() << NoOwnBoard;
  Options.SimulatedBoardSilent = true;
  Start();
  TFrameSaveLocation* view = WaitForScanReport();
  ASSERT_TRUE(view);
  EXPECT_FALSE(view->ImageSuloError->isHidden());
  EXPECT_TRUE(view->ImageCameraError->isHidden());
  EXPECT_FALSE(view->TavImageButtonStartSulo->isEnabled());
  EXPECT_FALSE(TGlobal::FInstance->Canon().Initialized());

  // Shutdown with a camera that never started does not wait for a worker.
  const auto begin = std::chrono::steady_clock::now();
  Program.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(2900));
}

TEST_F(StartupFixture, MissingCameraShowsTheCameraError) {
  if (!BringsItsOwnBoard()) GTEST_SKIP() << NoOwnBoard;
  SimCamera::SetCameraAttached(false);
  Start();
  TFrameSaveLocation* view = WaitForScanReport();
  ASSERT_TRUE(view);
  EXPECT_FALSE(view->ImageCameraError->isHidden());
  EXPECT_TRUE(view->ImageSuloError->isHidden());
  EXPECT_FALSE(view->TavImageButtonStartSulo->isEnabled());
}

TEST_F(StartupFixture, ClickingThroughTheSplashKeepsStartOffUntilTheScanReports) {
  if (!BringsItsOwnBoard()) GTEST_SKIP() << NoOwnBoard;
  Start();
  ASSERT_TRUE(WaitFor([&] { return MainForm->CurrentView("LayoutContent") != nullptr; }));
  auto* splash = qobject_cast<TFrameSplash*>(MainForm->CurrentView("LayoutContent"));
  ASSERT_TRUE(splash) << "the splash is shown first";
  splash->ImageSplashClick(splash->ImageSplash);
  QPointer<TFrameSaveLocation> early = SaveLocation();
  ASSERT_TRUE(early);
  EXPECT_FALSE(early->TavImageButtonStartSulo->isEnabled()) << "the scan still owns the port";
  TFrameSaveLocation* view = WaitForScanReport();
  EXPECT_EQ(view, early.data()) << "the shown view stays and receives the results";
  EXPECT_TRUE(view->TavImageButtonStartSulo->isEnabled());
}

TEST_F(StartupFixture, TheStartUpSequenceRunsOnce) {
  Start();
  ASSERT_TRUE(WaitFor([&] { return MainForm->FInitialized; }));
  MainForm->TimerStartUpTimer(MainForm->TimerStartUp);  // a late tick
  ASSERT_TRUE(WaitForScanReport());
  const auto lines = Traces.Lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find("TMainForm.Init") != std::string::npos; }), 1);
}

TEST_F(StartupFixture, ASecondInstanceIsRefusedWithoutAWindow) {
  TSingleInstanceLock running(Options.LockName);
  ASSERT_TRUE(running.Acquired());
  Program = std::make_unique<TProgram>(Dispatcher, Options);
  EXPECT_FALSE(Program->Start());
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_EQ(DeviceModule, nullptr);
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0], (TFakeDialogs::TShown{"Sulo", "Sulo 가 이미 실행 중입니다."}));
}
