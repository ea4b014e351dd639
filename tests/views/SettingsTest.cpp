// The value spinner and the settings window: choice lists, stepping and typed
// labels, the reload on opening, editing several modes and saving, closing,
// the repeat test and refused saves.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QImage>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "WidgetTestUtil.h"
#include "camera/Canon.h"
#include "notification/Dispatcher.h"
#include "simulator/camera/SimCamera.h"
#include "configuration/Configuration.h"
#include "configuration/DeviceProperties.h"
#include "support/TempDir.h"
#include "views/common/Dialogs.h"
#include "views/settings/FrameSpin.h"
#include "views/settings/SettingForm.h"

namespace {
using K = TTakePictureConfigurationKind;
using M = TTakePictureMode;

// The shooting view's side of the bus: what the spinners announce and what
// the repeat test asks for.
class TListener : public ISettingChanged, public ICameraControlListener {
 public:
  std::vector<std::pair<K, int>> Changes;
  std::vector<int> Repeats;
  void SettingChanged(ISetting* Setting) override { Changes.emplace_back(Setting->GetKind(), Setting->GetValue()); }
  void Shoot() override {}
  void RepeatShoot(std::int32_t RepeatCnt) override { Repeats.push_back(RepeatCnt); }
  // The value last announced for a kind, if any.
  std::optional<int> Last(K kind) const {
    for (auto it = Changes.rbegin(); it != Changes.rend(); ++it)
      if (it->first == kind) return it->second;
    return std::nullopt;
  }
};

class TDialogAnswers : public IDialogs {
 public:
  struct TQuery {
    std::string Caption, Prompt;
    bool Masked;
  };
  std::deque<std::optional<std::string>> Inputs;
  std::vector<TQuery> Queries;
  std::vector<std::string> Messages;
  std::vector<std::string> Errors;
  std::optional<std::string> SelectDirectory(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override { return std::nullopt; }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowError(const std::string&, const std::string& text) override { Errors.push_back(text); }
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt, bool masked) override {
    Queries.push_back({caption, prompt, masked});
    if (Inputs.empty()) return std::nullopt;
    auto answer = Inputs.front();
    Inputs.pop_front();
    return answer;
  }
};

// Option tables, a configuration file in a fresh folder, the bus with a
// listener that joined before any spinner (as the shooting view does), and
// the dialogs. No camera session: the camera's lists are absent.
class SettingsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    TNotificationCenter::FInstance = &Center;
    TDialogs::FInstance = &Dialogs;
    TDeviceProperties::FInstance = &Tables;
    Configuration = std::make_unique<TConfiguration>(Temp.File("sulo.configuration"));
    TConfiguration::FInstance = Configuration.get();
    Center.Add<ISettingChanged>(&Listener);
    Center.Add<ICameraControlListener>(&Listener);
  }
  void TearDown() override {
    Owner.reset();
    Center.Remove<ICameraControlListener>(&Listener);
    Center.Remove<ISettingChanged>(&Listener);
    TConfiguration::FInstance = nullptr;
    TDeviceProperties::FInstance = nullptr;
    TDialogs::FInstance = nullptr;
    TNotificationCenter::FInstance = nullptr;
  }

  void WriteFile(const std::string& text) { std::ofstream(Configuration->GetFileName()) << text; }
  std::string ReadFile() const {
    std::ifstream in(Configuration->GetFileName());
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The file's record for a mode, read by a store of its own.
  TTakePictureConfiguration FromFile(M mode) const {
    TConfiguration other(Configuration->GetFileName());
    other.Load();
    return *other.GetTakePictureConfiguraion(mode);
  }
  TTakePictureConfiguration& Record(M mode) { return *Configuration->GetTakePictureConfiguraion(mode); }

  // A settings window opened from a view drawn at `scale`, as the tab menu
  // opens it.
  TSettingForm* Open(qreal scale = 1.0) {
    if (!Owner) {
      Owner = std::make_unique<TLayout>();
      Owner->SetScale(scale, scale);
      Owner->SetBounds(0, 0, 1086, 806);
    }
    auto* form = new TSettingForm(Owner.get());
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form));
    return form;
  }

  TTempDir Temp;
  TNotificationCenter Center;
  TDialogAnswers Dialogs;
  TDeviceProperties Tables;
  TListener Listener;
  std::unique_ptr<TConfiguration> Configuration;
  std::unique_ptr<TLayout> Owner;
};

// Leaves the spinner's edit as the operator does: focus in, then elsewhere.
void TypeAndLeave(TFrameSpin* spin, const QString& text) {
  QWidget* window = spin->window();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  spin->EditValue->Editor()->setFocus();
  ASSERT_TRUE(WaitFor([&] { return spin->EditValue->Editor()->hasFocus(); }));
  spin->EditValue->SetText(text);
  spin->TavImageButtonUp->setFocus();
  ASSERT_TRUE(WaitFor([&] { return !spin->EditValue->Editor()->hasFocus(); }));
}

const char* const Sections =
    "[Sulo]\nLighting=1\nLightingBrightness=7\nMotorLocation=30\nMotorSpeed=5\nShutterDelay=80\nColorGainB=-3\n"
    "Sharpness=2\n"
    "[Portrait]\nLighting=3\nLightingBrightness=2\nMotorLocation=61441\nMotorSpeed=9\nShutterDelay=0\nColorGainB=4\n"
    "Sharpness=6\n";

}  // namespace

// Spinner ------------------------------------------------------------------

TEST_F(SettingsFixture, SpinnerBindsEachKindsTitleAndTheTablesOwnList) {
  const TCamera& camera = Tables.Camera();
  struct TCase {
    K Kind;
    const char* Title;
    const TDevicePropertyList* List;  // null: the camera's, absent here
  } cases[] = {
      {K::Shutter, "Shutter", nullptr},
      {K::ShutterDelay, "Shutter Delay", &camera.DriveMode()},
      {K::Diaphragm, "Diaphragm", nullptr},
      {K::ISO, "ISO", nullptr},
      {K::WhiteBalance, "White Balance", nullptr},
      {K::WhiteBalanceRevision, "White Balance Revision", nullptr},
      {K::FileSize, "Image Size", nullptr},
      {K::Lighting, "Lighting", &Tables.Light().Kind()},
      {K::LightingBrightness, "Lighting Brightness", &Tables.Light().Brightness()},
      {K::MotorLocation, "Motor Location(sec)", &Tables.Motor().Location()},
      {K::MotorSpeed, "Mortor Speed", &Tables.Motor().Speed()},
      {K::ColorGainG, "Color Gain G", &camera.WhiteBalanceShiftGreenMagenta()},
      {K::ColorGainB, "Color Gain B", &camera.WhiteBalanceShiftBlueAmber()},
      {K::Hue, "Hue", &camera.ColorTone()},
      {K::Saturation, "Saturation", &camera.Saturation()},
      {K::Contrast, "Contrast", &camera.Contrast()},
      {K::Sharpness, "Sharpness", &camera.Sharpness()},
      {K::Activation, "", nullptr},
      {K::GuideX, "", nullptr},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Title);
    TFrameSpin spin(nullptr);
    spin.Initialize(c.Kind);
    EXPECT_EQ(spin.GetKind(), c.Kind);
    EXPECT_EQ(spin.LabelTitle->Text(), QString(c.Title));
    // The table itself, not a copy of its entries.
    EXPECT_EQ(spin.DeviceProperties().get(), c.List);
  }
}

TEST_F(SettingsFixture, SpinnerStepsWithinItsListAndAnnouncesEachShownChoice) {
  TFrameSpin spin(nullptr);
  spin.Initialize(K::MotorSpeed);  // "1" to "10"
  spin.show();

  Click(spin.TavImageButtonDown);  // at the first choice: nothing
  EXPECT_TRUE(Listener.Changes.empty());
  Click(spin.TavImageButtonUp);
  EXPECT_EQ(spin.EditValue->Text(), "2");
  EXPECT_EQ(Listener.Changes, (std::vector<std::pair<K, int>>{{K::MotorSpeed, 2}}));

  spin.SetValue(10);
  EXPECT_EQ(spin.EditValue->Text(), "10");
  Listener.Changes.clear();
  Click(spin.TavImageButtonUp);  // at the last choice: nothing
  EXPECT_EQ(spin.EditValue->Text(), "10");
  EXPECT_TRUE(Listener.Changes.empty());
  Click(spin.TavImageButtonDown);
  EXPECT_EQ(spin.GetValue(), 9);

  // A code that is no choice keeps the selection, which is still announced.
  Listener.Changes.clear();
  spin.SetValue(0);
  EXPECT_EQ(spin.GetValue(), 9);
  EXPECT_EQ(Listener.Changes, (std::vector<std::pair<K, int>>{{K::MotorSpeed, 9}}));

  TTakePictureConfiguration record;
  record.MotorSpeed = 4;
  spin.Write(record);
  EXPECT_EQ(spin.EditValue->Text(), "4");
  TTakePictureConfiguration read;
  spin.Read(read);
  EXPECT_EQ(read.MotorSpeed, 4);
}

TEST_F(SettingsFixture, SpinnerTakesOnlyAnExactlyTypedLabel) {
  struct TCase {
    const char* Typed;
    const char* Shown;
    int Value;
  } cases[] = {
      {"0.20", "0.20", 20},  // another choice's label
      {"up", "Down", MotorLocationDown},    // letter case counts
      {"Down ", "Down", MotorLocationDown}, // so do blanks
      {"", "Down", MotorLocationDown},
      {"Down", "Down", MotorLocationDown},  // unchanged text
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    TFrameSpin spin(nullptr);
    spin.Initialize(K::MotorLocation);
    spin.SetValue(MotorLocationDown);
    Listener.Changes.clear();
    TypeAndLeave(&spin, c.Typed);
    EXPECT_EQ(spin.EditValue->Text(), c.Shown);
    EXPECT_EQ(spin.GetValue(), c.Value);
    // Leaving the edit always announces the (possibly unchanged) choice.
    EXPECT_EQ(Listener.Changes, (std::vector<std::pair<K, int>>{{K::MotorLocation, c.Value}}));
  }
}

TEST_F(SettingsFixture, SpinnerWithoutChoicesShowsNothingAndIgnoresEverything) {
  TFrameSpin spin(nullptr);
  spin.Initialize(K::Shutter);  // no camera session: no list
  ASSERT_FALSE(spin.DeviceProperties());
  EXPECT_EQ(spin.LabelTitle->Text(), "Shutter");

  TTakePictureConfiguration record;
  record.Shutter = 0x58;
  spin.Write(record);
  spin.SetValue(0x58);
  Click(spin.TavImageButtonUp);
  Click(spin.TavImageButtonDown);
  TypeAndLeave(&spin, "1/125");

  EXPECT_EQ(spin.EditValue->Text(), "");
  EXPECT_EQ(spin.Index(), 0);
  EXPECT_TRUE(Listener.Changes.empty());
  spin.Read(record);
  EXPECT_EQ(record.Shutter, 0x58);  // left alone
}

TEST_F(SettingsFixture, SpinnerJoinsISettingForItsLifetime) {
  EXPECT_EQ(Center.Count<ISetting>(), 0u);
  {
    TFrameSpin spin(nullptr);
    EXPECT_EQ(Center.Count<ISetting>(), 1u);
  }
  EXPECT_EQ(Center.Count<ISetting>(), 0u);
}

// Settings window ------------------------------------------------------------

TEST_F(SettingsFixture, WindowPlacesEveryControlAtTheScreenScale) {
  TSettingForm* form = Open(0.6666);
  EXPECT_TRUE(form->isWindow());
  EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form->parentWidget(), Owner.get());
  EXPECT_EQ(form->size(), QSize(580, 510));  // 870 x 765 at 0.6666
  EXPECT_DOUBLE_EQ(form->ScreenScale(), 0.6666);

  EXPECT_EQ(form->LabelCameraSetting->Text(), "Camera Setting");
  EXPECT_EQ(form->LabelDevice->Text(), "Device");
  EXPECT_EQ(form->LabelImageAdjistment->Text(), "Image Adjustment");
  EXPECT_EQ(form->LayoutContent->Height(), 660);
  EXPECT_EQ(form->GridLayout->X(), (870 - 576) / 2.0);

  // Column, row and kind of every spinner.
  struct TCase {
    TFrameSpin* Spin;
    TLayout* Column;
    int Row;
    K Kind;
  } cases[] = {
      {form->FrameSpinShutter, form->LayoutCameraSetting, 0, K::Shutter},
      {form->FrameSpinShutterDelay, form->LayoutCameraSetting, 1, K::ShutterDelay},
      {form->FrameSpinDiaphragm, form->LayoutCameraSetting, 2, K::Diaphragm},
      {form->FrameSpinISO, form->LayoutCameraSetting, 3, K::ISO},
      {form->FrameSpinLighting, form->LayoutDevice, 0, K::Lighting},
      {form->FrameSpinLightingBrightness, form->LayoutDevice, 1, K::LightingBrightness},
      {form->FrameSpinWhiteBalance, form->LayoutDevice, 2, K::WhiteBalance},
      {form->FrameSpinWhiteBalanceRevision, form->LayoutDevice, 3, K::WhiteBalanceRevision},
      {form->FrameSpinMotorLocation, form->LayoutDevice, 4, K::MotorLocation},
      {form->FrameSpinMotorSpeed, form->LayoutDevice, 5, K::MotorSpeed},
      {form->FrameSpinColorGainG, form->LayoutImageAdjustment, 0, K::ColorGainG},
      {form->FrameSpinColorGainB, form->LayoutImageAdjustment, 1, K::ColorGainB},
      {form->FrameSpinHue, form->LayoutImageAdjustment, 2, K::Hue},
      {form->FrameSpinSaturation, form->LayoutImageAdjustment, 3, K::Saturation},
      {form->FrameSpinContrast, form->LayoutImageAdjustment, 4, K::Contrast},
      {form->FrameSpinSharpness, form->LayoutImageAdjustment, 5, K::Sharpness},
      {form->FrameSpinImageSize, form->LayoutImageAdjustment, 6, K::FileSize},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Spin->Name().toStdString());
    EXPECT_EQ(c.Spin->parentWidget(), c.Column);
    EXPECT_EQ(c.Spin->Y(), 50 + 63 * c.Row);
    EXPECT_EQ(c.Spin->GetKind(), c.Kind);
    EXPECT_EQ(c.Spin->LayoutContainer->Height(), 27) << "the window's value rows are 27 high";
  }
  EXPECT_EQ(form->TavImageButtonSave->Y(), 50 + 63 * 7 + 80);

  const std::pair<TTavImageButton*, int> modes[] = {{form->TavImageButtonSulo, 1},
                                                    {form->TavImageButtonPortrait, 2},
                                                    {form->TavImageButtonUV, 3},
                                                    {form->TavImageButtonPolarization, 4}};
  for (auto [button, tag] : modes) {
    EXPECT_EQ(form->Tag(button), tag);
    EXPECT_EQ(button->GroupName(), "Sulo");
    EXPECT_EQ(button->IsSelected(), tag == 1);
  }
  EXPECT_EQ(form->TavImageButtonPolarization->X() + 105, 537);
}

TEST_F(SettingsFixture, OpeningReloadsTheFileAndShowsSuloThenEachPressedMode) {
  WriteFile(Sections);
  Configuration->Load();
  Record(M::Sulo).Lighting = 5;  // unsaved: dropped by the window's reload

  TSettingForm* form = Open();
  EXPECT_EQ(form->TakePictureMode(), M::Sulo);
  EXPECT_EQ(form->FrameSpinLighting->EditValue->Text(), "White");
  EXPECT_EQ(form->FrameSpinMotorLocation->EditValue->Text(), "0.30");
  EXPECT_EQ(form->FrameSpinShutterDelay->EditValue->Text(), "0.80");
  EXPECT_EQ(form->FrameSpinColorGainB->EditValue->Text(), "-3");
  EXPECT_EQ(form->FrameSpinShutter->EditValue->Text(), "");  // no camera session
  // Every spinner with choices reached the shooting view's side.
  EXPECT_EQ(Listener.Changes.size(), 11u);
  EXPECT_EQ(Listener.Last(K::Lighting), 1);

  Listener.Changes.clear();
  Click(form->TavImageButtonPortrait);
  EXPECT_EQ(form->TakePictureMode(), M::Portrait);
  EXPECT_TRUE(form->TavImageButtonPortrait->IsSelected());
  EXPECT_FALSE(form->TavImageButtonSulo->IsSelected());
  EXPECT_EQ(form->FrameSpinMotorLocation->EditValue->Text(), "Up");
  EXPECT_EQ(form->FrameSpinSharpness->EditValue->Text(), "6");
  EXPECT_EQ(Listener.Last(K::MotorSpeed), 9);
  EXPECT_EQ(Listener.Last(K::ShutterDelay), 0);

  // Pressing the selected button loads again.
  Listener.Changes.clear();
  Click(form->TavImageButtonPortrait);
  EXPECT_EQ(Listener.Changes.size(), 11u);
}

TEST_F(SettingsFixture, UnlistedStoredValueIsReplacedFromTheSecondLoadOn) {
  WriteFile("[Sulo]\nMotorSpeed=0\nLighting=2\n");  // 0 is no motor speed
  TSettingForm* form = Open();
  EXPECT_EQ(form->FrameSpinMotorSpeed->EditValue->Text(), "1");  // the first choice
  EXPECT_EQ(Record(M::Sulo).MotorSpeed, 0);  // the window had not joined yet
  Click(form->TavImageButtonSulo);
  EXPECT_EQ(Record(M::Sulo).MotorSpeed, 1);
  EXPECT_EQ(Record(M::Sulo).Lighting, 2);  // found values are written back unchanged
}

TEST_F(SettingsFixture, EditsOfTwoModesReachTheFileOnOneSave) {
  WriteFile(Sections);
  TSettingForm* form = Open();
  Click(form->FrameSpinLighting->TavImageButtonUp);  // Sulo: White -> UV
  Click(form->TavImageButtonPortrait);
  Click(form->FrameSpinMotorSpeed->TavImageButtonDown);  // Portrait: 9 -> 8
  TypeAndLeave(form->FrameSpinShutterDelay, "1.05");
  EXPECT_EQ(Record(M::Sulo).Lighting, 2);
  EXPECT_EQ(Record(M::Portrait).MotorSpeed, 8);
  EXPECT_EQ(Record(M::Sulo).MotorSpeed, 5);  // the other mode untouched
  EXPECT_EQ(FromFile(M::Sulo).Lighting, 1);  // nothing written yet

  Click(form->TavImageButtonSave);
  EXPECT_EQ(FromFile(M::Sulo).Lighting, 2);
  EXPECT_EQ(FromFile(M::Portrait).MotorSpeed, 8);
  EXPECT_EQ(FromFile(M::Portrait).ShutterDelay, 105);
  EXPECT_EQ(FromFile(M::Sulo).ColorGainB, -3);
  EXPECT_TRUE(form->isVisible());
}

TEST_F(SettingsFixture, CloseKeepsChangesInMemoryUntilTheNextWindowReloads) {
  WriteFile(Sections);
  TSettingForm* first = Open();
  Click(first->FrameSpinLightingBrightness->TavImageButtonUp);  // 7 -> 8
  EXPECT_EQ(Listener.Last(K::LightingBrightness), 8);
  Click(first->TavImageButtonClose);
  EXPECT_FALSE(first->isVisible());
  EXPECT_EQ(first->FrameSpinShutter, nullptr);
  EXPECT_EQ(Center.Count<ISetting>(), 0u);
  EXPECT_EQ(Center.Count<ISettingChanged>(), 1u);  // the listener only
  EXPECT_EQ(Record(M::Sulo).LightingBrightness, 8);  // still in memory, not saved
  EXPECT_NE(ReadFile().find("LightingBrightness=7"), std::string::npos);

  Listener.Changes.clear();
  TSettingForm* second = Open();
  EXPECT_EQ(second->FrameSpinLightingBrightness->EditValue->Text(), "7");
  EXPECT_EQ(Record(M::Sulo).LightingBrightness, 7);
  // Only the new window's spinners were reached by the load.
  EXPECT_EQ(Center.Count<ISetting>(), 17u);
  EXPECT_EQ(Listener.Changes.size(), 11u);
  EXPECT_FALSE(first->isVisible());
}

TEST_F(SettingsFixture, TwoOpenWindowsEachEditOnlyTheirOwnMode) {
  WriteFile(Sections);
  TSettingForm* first = Open();
  Click(first->TavImageButtonPortrait);
  // A second window opens meanwhile: it reloads the file (replacing every
  // record) and loads Sulo into every spinner on the bus.
  TSettingForm* second = Open();
  EXPECT_EQ(Record(M::Portrait).MotorSpeed, 9);
  EXPECT_EQ(Record(M::Portrait).Lighting, 3);

  Click(first->FrameSpinMotorSpeed->TavImageButtonUp);
  EXPECT_EQ(Record(M::Portrait).MotorSpeed, first->FrameSpinMotorSpeed->GetValue());
  EXPECT_EQ(Record(M::Sulo).MotorSpeed, 5);
  Click(second->FrameSpinLighting->TavImageButtonUp);
  EXPECT_EQ(Record(M::Sulo).Lighting, 2);
  EXPECT_EQ(Record(M::Portrait).Lighting, 3);
}

// Save says on screen that the file was written, for a few seconds; a
// refused write says why instead, and the window keeps its values.
TEST_F(SettingsFixture, SaveConfirmsOnScreenAndARefusalSaysWhy) {
  WriteFile(Sections);
  TSettingForm* form = Open();
  const QPoint save = WindowPoint(form->TavImageButtonSave,
                                  QPointF(form->TavImageButtonSave->Width() / 2, form->TavImageButtonSave->Height() / 2));
  EXPECT_TRUE(form->LabelSaved->isHidden());
  Click(form->FrameSpinMotorSpeed->TavImageButtonUp);  // 5 -> 6
  ClickAt(form, save);
  EXPECT_EQ(FromFile(M::Sulo).MotorSpeed, 6);
  EXPECT_FALSE(form->LabelSaved->isHidden());
  EXPECT_TRUE(Dialogs.Errors.empty());

  Click(form->FrameSpinMotorSpeed->TavImageButtonUp);  // 6 -> 7
  std::filesystem::permissions(Configuration->GetFileName(), std::filesystem::perms::owner_read);
  ClickAt(form, save);
  ASSERT_EQ(Dialogs.Errors.size(), 1u);
  EXPECT_EQ(Dialogs.Errors[0], "Unable to write to " + Configuration->GetFileName());
  EXPECT_TRUE(form->LabelSaved->isHidden()) << "the last confirmation does not stand for this one";
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(form->FrameSpinMotorSpeed->EditValue->Text(), "7");
  EXPECT_EQ(Record(M::Sulo).MotorSpeed, 7);
  EXPECT_EQ(FromFile(M::Sulo).MotorSpeed, 6);

  std::filesystem::permissions(Configuration->GetFileName(), std::filesystem::perms::owner_all);
  ClickAt(form, save);
  EXPECT_EQ(FromFile(M::Sulo).MotorSpeed, 7);
  EXPECT_FALSE(form->LabelSaved->isHidden());
  EXPECT_TRUE(WaitFor([&] { return form->LabelSaved->isHidden(); }, TSettingForm::SavedShownMs + 3000));
}

TEST_F(SettingsFixture, RepeatTestSendsTheConfirmedWholeNumber) {
  struct TCase {
    std::optional<std::string> Answer;
    std::vector<int> Sent;
    bool Refused;
  } cases[] = {
      {"3", {3}, false},
      {std::nullopt, {0}, false},  // cancelled
      {"abc", {}, true},
      {"", {}, true},
      {"2.5", {}, true},
      {"99999999999", {}, true},
      {" 3", {}, true},
      {"3 ", {}, true},
  };
  TSettingForm* form = Open();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Answer.value_or("(cancelled)"));
    Listener.Repeats.clear();
    Dialogs.Messages.clear();
    Dialogs.Queries.clear();
    Dialogs.Inputs = {c.Answer};
    form->Button1->Button()->click();
    ASSERT_EQ(Dialogs.Queries.size(), 1u);
    EXPECT_EQ(Dialogs.Queries[0].Caption, "Repeat Test");
    EXPECT_EQ(Dialogs.Queries[0].Prompt, "Repeat");
    EXPECT_TRUE(Dialogs.Queries[0].Masked);
    EXPECT_EQ(Listener.Repeats, c.Sent);
    EXPECT_EQ(Dialogs.Messages.size(), c.Refused ? 1u : 0u);
  }
}

// With a simulated camera session open, the camera kinds bind the camera
// controller's published lists.
class SettingsWithCameraFixture : public SettingsFixture {
 protected:
  void SetUp() override {
    SettingsFixture::SetUp();
    SimCamera::Reset();
    Global = std::make_unique<TGlobal>(Dispatcher);
    TGlobal::FInstance = Global.get();
    Canon().Initialize();
    Canon().Open();
    ASSERT_TRUE(WaitFor([&] {
      Dispatcher.ProcessPending();
      return Canon().ISOSpeedDesc() && Canon().QueueCount() == 0;
    }));
  }
  void TearDown() override {
    Owner.reset();
    Canon().SetShutdownGrace(std::chrono::milliseconds(200));
    Canon().Close();
    Canon().Finalize();
    TGlobal::FInstance = nullptr;
    Global.reset();
    Dispatcher.ProcessPending();
    SimCamera::Reset();
    SettingsFixture::TearDown();
  }
  TCanon& Canon() { return Global->Canon(); }

  TManualDispatcher Dispatcher;
  std::unique_ptr<TGlobal> Global;
};

TEST_F(SettingsWithCameraFixture, CameraKindsShareTheControllersListsAndStepThroughThem) {
  const std::pair<K, TChoiceList> cases[] = {
      {K::Shutter, Canon().TvDesc()},           {K::Diaphragm, Canon().AvDesc()},
      {K::ISO, Canon().ISOSpeedDesc()},         {K::WhiteBalance, Canon().WhiteBalanceDesc()},
      {K::WhiteBalanceRevision, Canon().ColorTemperatureDesc()}, {K::FileSize, Canon().ImageQualityDesc()},
  };
  for (const auto& [kind, list] : cases) {
    SCOPED_TRACE(static_cast<int>(kind));
    TFrameSpin spin(nullptr);
    spin.Initialize(kind);
    ASSERT_TRUE(list);
    EXPECT_EQ(spin.DeviceProperties().get(), list.get());
  }

  const TChoiceList iso = Canon().ISOSpeedDesc();
  ASSERT_GE(iso->size(), 3u);
  TSettingForm* form = Open();
  form->FrameSpinISO->SetValue((*iso)[1].ID());
  Click(form->FrameSpinISO->TavImageButtonUp);
  EXPECT_EQ(form->FrameSpinISO->EditValue->Text(), QString::fromStdString((*iso)[2].Text()));
  EXPECT_EQ(Record(M::Sulo).ISO, (*iso)[2].ID());
  EXPECT_EQ(Listener.Last(K::ISO), (*iso)[2].ID());

  const QByteArray dir = qgetenv("SULO_SCREENSHOT_DIR");
  if (!dir.isEmpty()) {
    EXPECT_TRUE(form->grab().save(QString::fromUtf8(dir) + "/settings-camera-1920.png"));
    Owner.reset();
    TSettingForm* small = Open(0.6666);
    QCoreApplication::processEvents();
    EXPECT_TRUE(small->grab().save(QString::fromUtf8(dir) + "/settings-camera-1280.png"));
  }
}

// Renders the window at both screen ratios into $SULO_SCREENSHOT_DIR.
TEST_F(SettingsFixture, Screenshots) {
  const QByteArray dir = qgetenv("SULO_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "SULO_SCREENSHOT_DIR not set";
  WriteFile(Sections);
  for (auto [scale, name] : {std::pair{1.0, "settings-1920.png"}, std::pair{0.6666, "settings-1280.png"}}) {
    Owner.reset();
    TSettingForm* form = Open(scale);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->grab().save(QString::fromUtf8(dir) + "/" + name));
  }
}
