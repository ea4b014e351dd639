// The shooting view with the simulated camera and the simulated board: set-up
// and tear-down, mode changes, live view, the shot's timelines, pictures and
// saving.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "WidgetTestUtil.h"
#include "board/DeviceModule.h"
#include "board/PortDirectory.h"
#include "camera/Canon.h"
#include "configuration/Configuration.h"
#include "configuration/DeviceProperties.h"
#include "notification/Dispatcher.h"
#include "notification/Interfaces.h"
#include "simulator/board/SimBoard.h"
#include "simulator/camera/SimCamera.h"
#include "support/TempDir.h"
#include "views/Dialogs.h"
#include "views/FrameSpin.h"
#include "views/FrameSulo.h"
#include "views/FrameTabMenu.h"
#include "views/FrameTabSub.h"
#include "views/ViewRegistry.h"
#include "views/PictureFile.h"
#include "views/widgets/ErrorHook.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

class TPopup : public ISavePopup, public IDeviceScanning {
 public:
  std::vector<std::string> Calls;
  bool Scanned = false;
  void SetDisableBG() override { Calls.push_back("SetDisableBG"); }
  void OpenSavePopup() override { Calls.push_back("OpenSavePopup"); }
  void SaveSuccess() override { Calls.push_back("SaveSuccess"); }
  void SetEnableScreen() override {
    Calls.push_back("SetEnableScreen");
    // As the tab menu does once its popup has closed.
    Notify<ISavePopupListener>(&ISavePopupListener::EnableFuntion);
  }
  void ScanComplete(const bool) override { Scanned = true; }
  int Count(const std::string& call) const { return static_cast<int>(std::count(Calls.begin(), Calls.end(), call)); }
};

class TAnswers : public IDialogs {
 public:
  std::vector<std::optional<std::string>> Folders;
  std::vector<std::string> Errors;
  std::optional<std::string> SelectDirectory(const std::string&) override {
    ++FolderQuestions;
    if (Folders.empty()) return std::nullopt;
    auto f = Folders.front();
    Folders.erase(Folders.begin());
    return f;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&) override { return std::nullopt; }
  void ShowMessage(const std::string& text) override { Errors.push_back(text); }
  void ShowError(const std::string&, const std::string& text) override { Errors.push_back(text); }
  std::optional<std::string> InputQuery(const std::string&, const std::string&, bool) override { return std::nullopt; }
  int FolderQuestions = 0;
};

class ShootingView : public ::testing::Test {
 protected:
  void SetUp() override {
    SimCamera::Reset();
    SimCamera::SetPictureSize(640, 427);
    TNotificationCenter::FInstance = &FCenter;
    TDeviceProperties::FInstance = &FTables;
    TDialogs::FInstance = &FDialogs;
    FConfiguration = std::make_unique<TConfiguration>(FDir.File("sulo.configuration"));
    FConfiguration->Load();
    TConfiguration::FInstance = FConfiguration.get();
    TTakePictureConfiguration& sulo = Mode(TTakePictureMode::Sulo);
    sulo.MotorLocation = 47;
    sulo.MotorSpeed = 5;
    sulo.ShutterDelay = 50;
    sulo.Lighting = 1;
    sulo.LightingBrightness = 5;
    Mode(TTakePictureMode::UV).Lighting = 2;
    Mode(TTakePictureMode::UV).LightingBrightness = 8;
    FPictures = FDir.File("pictures");
    FConfiguration->General().SaveLocation = FPictures;
    FCenter.Add<ISavePopup>(&FPopup);
    FCenter.Add<IDeviceScanning>(&FPopup);

    // The board, found by the scan as at start-up.
    auto ports = std::make_shared<TListedPortDirectory>();
    ports->Add(FBoard.Name(), FBoard.DevicePath());
    FModule = std::make_unique<TDeviceModule>(FDispatcher, ports);
    DeviceModule = FModule.get();
    FModule->ComportScan();
    ASSERT_TRUE(Pump([&] { return FPopup.Scanned; }));

    // The camera, with its session open.
    FGlobal = std::make_unique<TGlobal>(FDispatcher);
    TGlobal::FInstance = FGlobal.get();
    FGlobal->Canon().Initialize();
    FGlobal->Canon().Open();
    ASSERT_TRUE(Pump([&] { return SimCamera::SessionOpen() && FGlobal->Canon().QueueCount() == 0; }));
  }

  void TearDown() override {
    FWindow.reset();
    if (FGlobal) {
      FGlobal->Canon().SetShutdownGrace(std::chrono::milliseconds(200));
      FGlobal->Canon().Close();
      FGlobal->Canon().Finalize();
    }
    TGlobal::FInstance = nullptr;
    FGlobal.reset();
    FDispatcher.ProcessPending();
    DeviceModule = nullptr;
    FModule.reset();
    FCenter.Remove<ISavePopup>(&FPopup);
    FCenter.Remove<IDeviceScanning>(&FPopup);
    TConfiguration::FInstance = nullptr;
    TDialogs::FInstance = nullptr;
    TDeviceProperties::FInstance = nullptr;
    TNotificationCenter::FInstance = nullptr;
    SimCamera::Reset();
  }

  TTakePictureConfiguration& Mode(TTakePictureMode mode) { return *FConfiguration->GetTakePictureConfiguraion(mode); }

  // Runs both the toolkit's events and the devices' calls to the UI thread
  // until `done` holds; false after `ms`.
  bool Pump(const std::function<bool()>& done, int ms = 20000) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
      if (Clock::now() > until) return false;
      FDispatcher.ProcessPending();
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
  }
  void PumpFor(int ms) { Pump([] { return false; }, ms); }

  TFrameSulo* MakeView(TTakePictureMode mode = TTakePictureMode::Sulo) {
    FWindow = std::make_unique<TControl>();
    FWindow->SetSize(1086, 644);
    auto* view = new TFrameSulo(FWindow.get());
    view->SetAlign(TAlignLayout::Client);
    FWindow->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    view->SubMenuChanged(mode);
    return view;
  }

  // The packets the board received from `from` on, with their times.
  std::vector<TSimBoardPacket> PacketsSince(std::size_t from) {
    auto all = FBoard.Packets();
    return std::vector<TSimBoardPacket>(all.begin() + static_cast<long>(std::min(from, all.size())), all.end());
  }
  static Bytes B(const TSimBoardPacket& p) { return Bytes(p.Bytes.begin(), p.Bytes.end()); }
  static long Ms(Clock::time_point from, Clock::time_point to) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count());
  }
  std::vector<std::filesystem::path> Saved() {
    std::vector<std::filesystem::path> files;
    if (std::filesystem::exists(FPictures))
      for (const auto& e : std::filesystem::directory_iterator(FPictures)) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
  }
  static std::size_t Shutters() { return SimCamera::CallsOf("EdsSendCommand", kEdsCameraCommand_TakePicture).size(); }

  TTempDir FDir;
  std::string FPictures;
  TNotificationCenter FCenter;
  TDeviceProperties FTables;
  TAnswers FDialogs;
  TPopup FPopup;
  std::unique_ptr<TConfiguration> FConfiguration;
  TManualDispatcher FDispatcher;
  TSimBoard FBoard{"COM3"};
  std::unique_ptr<TDeviceModule> FModule;
  std::unique_ptr<TGlobal> FGlobal;
  std::unique_ptr<TControl> FWindow;
};

// How late a timed event may be on a loaded machine or in a sanitizer build.
constexpr long Late = 1500;

const Bytes LightsOff = {0xAA, 0xC1, 0x00, 0x00, 0x00, 0x6B, 0xBB};
const Bytes RigDownAt10 = {0xAA, 0xC3, 0x00, 0xFF, 0x00, 0x6C, 0xBB};

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

TEST_F(ShootingView, PictureFileNamesTakeTheNextFreeNumber) {
  const QDateTime when(QDate(2017, 6, 3), QTime(14, 5, 9));
  EXPECT_EQ(PictureFileName(when), "20170603140509.jpg");
  const std::string folder = FDir.File("same-second");  // no trailing separator, not there yet
  const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i)
    names.push_back(std::filesystem::path(SavePictureFile(folder, jpeg, when)).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"20170603140509.jpg", "20170603140509-2.jpg", "20170603140509-3.jpg"}));
  std::vector<std::string> all;
  for (const auto& e : std::filesystem::directory_iterator(folder)) all.push_back(e.path().filename().string());
  EXPECT_EQ(all.size(), 3u) << "no temporary file is left behind";
  EXPECT_EQ(std::filesystem::status(std::filesystem::path(folder) / names[0]).permissions() & std::filesystem::perms::others_read,
            std::filesystem::perms::others_read);
  EXPECT_THROW(SavePictureFile("", jpeg, when), EPictureSave);

  // Two writers at once never share a name.
  const std::string shared = FDir.File("two-writers");
  std::vector<std::string> got(2);
  std::thread a([&] { got[0] = SavePictureFile(shared, jpeg, when); });
  std::thread b([&] { got[1] = SavePictureFile(shared, jpeg, when); });
  a.join();
  b.join();
  EXPECT_NE(got[0], got[1]);
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
