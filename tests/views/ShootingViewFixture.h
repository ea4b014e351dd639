// The shooting view's test fixture: the view with the simulated camera and
// the simulated board found by a scan, a stand-in for the tab menu's save
// popup, and answers for the dialogs.
#pragma once

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
#include "views/common/Dialogs.h"
#include "views/settings/FrameSpin.h"
#include "views/shooting/FrameSulo.h"
#include "views/menu/FrameTabMenu.h"
#include "views/menu/FrameTabSub.h"
#include "views/common/ViewRegistry.h"
#include "saving/PictureFile.h"
#include "views/widgets/ErrorHook.h"

// Shared by the shooting test files of one program: one fixture class.

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
  std::optional<std::string> SelectDirectory(const std::string&, const std::string&) override {
    ++FolderQuestions;
    if (Folders.empty()) return std::nullopt;
    auto f = Folders.front();
    Folders.erase(Folders.begin());
    return f;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override { return std::nullopt; }
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
