#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "support/TempDir.h"
#include "support/TraceCapture.h"
#include "WidgetTestUtil.h"
#include "board/DeviceModule.h"
#include "board/PortDirectory.h"
#include "configuration/Configuration.h"
#include "simulator/board/SimBoard.h"
#include "views/common/Dialogs.h"
#include "views/start/FrameSaveLocation.h"
#include "views/start/FrameSplash.h"

namespace {

// Dialog answers given by the test, and what the view asked.
class TFakeDialogs : public IDialogs {
 public:
  std::deque<std::optional<std::string>> Folders;
  std::vector<std::string> Captions;
  std::vector<std::string> Starts;
  std::vector<std::string> Messages;
  std::optional<std::string> SelectDirectory(const std::string& caption, const std::string& start) override {
    Captions.push_back(caption);
    Starts.push_back(start);
    if (Folders.empty()) return std::nullopt;
    auto answer = Folders.front();
    Folders.pop_front();
    return answer;
  }
  std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override { return std::nullopt; }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowError(const std::string&, const std::string& text) override { Messages.push_back(text); }
  std::optional<std::string> InputQuery(const std::string&, const std::string&, bool) override { return std::nullopt; }
};

struct TNavigation : IViewNavigation {
  std::vector<std::tuple<std::string, std::string, int>> Calls;
  void ShowView(std::string ViewName, std::string ParentView, std::int32_t WinType) override {
    Calls.emplace_back(ViewName, ParentView, WinType);
  }
};

// The event bus, dialogs and configuration the views use, for one test.
class ViewFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    TNotificationCenter::FInstance = &Center;
    TDialogs::FInstance = &FakeDialogs;
    Configuration = std::make_unique<TConfiguration>(Temp.File("sulo.configuration"));
    TConfiguration::FInstance = Configuration.get();
    Center.Add<IViewNavigation>(&Navigation);
  }
  void TearDown() override {
    View.reset();
    Center.Remove<IViewNavigation>(&Navigation);
    TConfiguration::FInstance = nullptr;
    TDialogs::FInstance = nullptr;
    TNotificationCenter::FInstance = nullptr;
  }
  TFrameSaveLocation* MakeView() {
    View.reset(new TFrameSaveLocation(nullptr));
    View->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(View.get()));
    return View.get();
  }

  TTempDir Temp;
  TNotificationCenter Center;
  TFakeDialogs FakeDialogs;
  TNavigation Navigation;
  std::unique_ptr<TConfiguration> Configuration;
  std::unique_ptr<TFrameSaveLocation> View;
};

}  // namespace

TEST(SavePath, LabelsShowTheLastElementAndTheWholePath) {
  struct TCase {
    const char* Path;
    const char* Last;
  } cases[] = {
      {"/home/op/Photos/Clinic", "Clinic"},
      {"/home/op/Photos/Clinic/", "Clinic"},  // the empty rest after a trailing separator does not count
      {"/", ""},                              // the empty element before the root separator
      {"/home/op/Photos//", ""},              // the empty element between two separators
      {"Clinic", "Clinic"},
      {"", ""},
      {"/사진/클리닉", "클리닉"},
  };
  TNotificationCenter center;
  TNotificationCenter::FInstance = &center;
  TFrameSaveLocation view(nullptr);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    view.SetSaveLocation(c.Path);
    EXPECT_EQ(view.LabelSaveLocationLast->Text().toStdString(), c.Last);
    EXPECT_EQ(view.LabelSaveLocationFull->Text().toStdString(), c.Path);
  }
  EXPECT_TRUE(SplitSavePath("").empty());
  EXPECT_EQ(SplitSavePath("/a//b"), (std::vector<std::string>{"", "a", "", "b"}));
  TNotificationCenter::FInstance = nullptr;
}

TEST_F(ViewFixture, ShowsTheStoredFolderAndJoinsTheBusForItsLifetime) {
  Configuration->General().SaveLocation = "/data/pictures";
  MakeView();
  EXPECT_EQ(View->LabelSaveLocationLast->Text(), "pictures");
  EXPECT_EQ(Center.Count<IConnectionListener>(), 1u);
  View.reset();
  EXPECT_EQ(Center.Count<IConnectionListener>(), 0u);
}

TEST_F(ViewFixture, StartWaitsForTheScanAndFailuresDisableItForGood) {
  MakeView();
  EXPECT_FALSE(View->TavImageButtonStartSulo->isEnabled()) << "the scan alone may use the port until it reports";
  EXPECT_TRUE(View->ImageSuloError->isHidden());
  EXPECT_TRUE(View->ImageCameraError->isHidden());

  Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, true);
  EXPECT_TRUE(View->TavImageButtonStartSulo->isEnabled());
  Notify<IConnectionListener>(&IConnectionListener::CameraIsConnect, true);
  EXPECT_TRUE(View->TavImageButtonStartSulo->isEnabled());
  EXPECT_TRUE(View->ImageCameraError->isHidden());

  Click(View->TavImageButtonStartSulo);
  ASSERT_EQ(Navigation.Calls.size(), 1u);
  EXPECT_EQ(Navigation.Calls[0], std::make_tuple(std::string("TFrameTabMenu"), std::string("LayoutContent"), 2));

  Notify<IConnectionListener>(&IConnectionListener::CameraIsConnect, false);
  EXPECT_FALSE(View->ImageCameraError->isHidden());
  EXPECT_FALSE(View->TavImageButtonStartSulo->isEnabled());
  Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, true);
  EXPECT_FALSE(View->TavImageButtonStartSulo->isEnabled());
  Click(View->TavImageButtonStartSulo);
  EXPECT_EQ(Navigation.Calls.size(), 1u);
}

TEST_F(ViewFixture, BoardFailureShowsItsPictureOverTheCameraOne) {
  MakeView();
  Notify<IConnectionListener>(&IConnectionListener::CameraIsConnect, false);
  Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, false);
  Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, true);
  EXPECT_FALSE(View->ImageSuloError->isHidden());
  EXPECT_FALSE(View->ImageCameraError->isHidden());
  EXPECT_FALSE(View->TavImageButtonStartSulo->isEnabled());
  const QWidgetList order = View->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  EXPECT_GT(order.indexOf(View->ImageSuloError), order.indexOf(View->ImageCameraError));
}

TEST_F(ViewFixture, ChosenFolderIsShownAndWrittenAtOnce) {
  // A home of the test's own: with no folder chosen the chooser opens in its
  // Pictures folder.
  const QByteArray home = qgetenv("HOME");
  const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
  qputenv("HOME", QByteArray::fromStdString(Temp.File("home")));
  qunsetenv("XDG_CONFIG_HOME");
  MakeView();
  FakeDialogs.Folders = {std::nullopt};
  Click(View->TavImageButtonSelect);
  qputenv("HOME", home);
  if (!configHome.isNull()) qputenv("XDG_CONFIG_HOME", configHome);
  EXPECT_EQ(FakeDialogs.Captions, std::vector<std::string>{"Select save location"});
  ASSERT_EQ(FakeDialogs.Starts.size(), 1u);
  EXPECT_EQ(FakeDialogs.Starts[0], Temp.File("home/Pictures"));
  EXPECT_EQ(View->LabelSaveLocationFull->Text(), "");
  EXPECT_FALSE(std::filesystem::exists(Temp.File("sulo.configuration"))) << "a cancelled choice writes nothing";

  const std::string folder = Temp.File("Clinic");
  FakeDialogs.Folders = {folder};
  Click(View->TavImageButtonSelect);
  EXPECT_EQ(View->LabelSaveLocationLast->Text(), "Clinic");
  EXPECT_EQ(View->LabelSaveLocationFull->Text().toStdString(), folder);
  TConfiguration reread(Temp.File("sulo.configuration"));
  reread.Load();
  EXPECT_EQ(reread.General().SaveLocation, folder);
  // The next choice starts from the folder chosen.
  Click(View->TavImageButtonSelect);
  ASSERT_EQ(FakeDialogs.Starts.size(), 3u);
  EXPECT_EQ(FakeDialogs.Starts[2], folder);
}

TEST_F(ViewFixture, SplashClickMovesOnToTheSaveLocation) {
  TFrameSplash splash(nullptr);
  splash.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
  Click(splash.ImageSplash);
  ASSERT_EQ(Navigation.Calls.size(), 1u);
  EXPECT_EQ(Navigation.Calls[0], std::make_tuple(std::string("TFrameSaveLocation"), std::string("LayoutContent"), 1));
  EXPECT_EQ(splash.objectName(), "FrameSplash");
}

TEST_F(ViewFixture, ServiceCheckReportsThePortAndMovesTheMotor) {
  TManualDispatcher dispatcher;
  TSimBoard board("COM7");
  auto ports = std::make_shared<TListedPortDirectory>();
  ports->Add(board.Name(), board.DevicePath());
  TDeviceModule module(dispatcher, ports);
  DeviceModule = &module;
  MakeView();

  Click(View->ImageSaveLocationText);  // the scan has not reported: the port is left alone
  EXPECT_TRUE(FakeDialogs.Messages.empty());
  Notify<IConnectionListener>(&IConnectionListener::SuloIsConnect, false);
  Click(View->ImageSaveLocationText);
  EXPECT_EQ(FakeDialogs.Messages, std::vector<std::string>{"Comport not Connected"});

  struct TScan : IDeviceScanning {
    std::optional<bool> Found;
    void ScanComplete(const bool f) override { Found = f; }
  } scan;
  Center.Add<IDeviceScanning>(&scan);
  module.ComportScan();
  for (int i = 0; i < 300 && !scan.Found; ++i) dispatcher.WaitAndProcess(100);
  Center.Remove<IDeviceScanning>(&scan);
  ASSERT_EQ(scan.Found, std::optional<bool>(true));
  const std::size_t before = board.Packets().size();
  Click(View->ImageSaveLocationText);
  EXPECT_EQ(FakeDialogs.Messages.back(), "Comport Connected");
  ASSERT_TRUE(board.WaitForPackets(before + 1, 10000));
  EXPECT_EQ(board.Packets().back().Bytes[1], 0xC2) << "the timed motor move";
  View.reset();
  DeviceModule = nullptr;
}
