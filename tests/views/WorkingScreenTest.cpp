// The working screen: the tab menu with its popups and the mode sub-menu,
// hosting stand-in views under the shooting view's and the viewers' names.
#include <gtest/gtest.h>

#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "WidgetTestUtil.h"
#include "board/DeviceModule.h"
#include "board/PortDirectory.h"
#include "configuration/Configuration.h"
#include "configuration/DeviceProperties.h"
#include "notification/Dispatcher.h"
#include "notification/Interfaces.h"
#include "simulator/board/SimBoard.h"
#include "support/TempDir.h"
#include "views/common/Dialogs.h"
#include "views/menu/FrameTabMenu.h"
#include "views/menu/FrameTabSub.h"
#include "views/settings/SettingForm.h"
#include "views/common/ViewHost.h"
#include "views/common/ViewRegistry.h"

namespace {

// What the stand-in views and listeners were told, in order.
std::vector<std::string> Calls;

const char* ModeText(TTakePictureMode mode) {
  switch (mode) {
    case TTakePictureMode::Sulo:
      return "Sulo";
    case TTakePictureMode::Portrait:
      return "Portrait";
    case TTakePictureMode::UV:
      return "UV";
    default:
      return "other";
  }
}

// Stands in for the shooting view: listens as it does and records.
class TStandInSulo : public TFrame, public IMenuChangeListener {
 public:
  explicit TStandInSulo(QWidget* owner) : TFrame(owner, "TFrameSulo", 1086, 644), FNumber(++Made) {
    TNotificationCenter::FInstance->Add<IMenuChangeListener>(this);
  }
  ~TStandInSulo() override { TNotificationCenter::FInstance->Remove<IMenuChangeListener>(this); }
  void SubMenuChanged(TTakePictureMode mode) override {
    Calls.push_back("Sulo#" + std::to_string(FNumber) + " " + ModeText(mode));
  }
  static inline int Made = 0;
  int FNumber;
};

class TStandInViewer : public TFrame {
 public:
  TStandInViewer(QWidget* owner, const char* className) : TFrame(owner, className, 1086, 644) {}
};

// Answers the save popup as the shooting view would, when told to.
class TPopupListener : public ISavePopupListener {
 public:
  bool FAnswerSaveWithSuccess = false;
  // A save that fails opens the popup again, as the view does.
  bool FFailSave = false;
  void OnClickSaveBtn() override {
    Calls.push_back("OnClickSaveBtn");
    if (FFailSave) Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
    if (FAnswerSaveWithSuccess) Notify<ISavePopup>(&ISavePopup::SaveSuccess);
  }
  void OnClickSaveAsBtn() override {
    Calls.push_back("OnClickSaveAsBtn");
    if (FFailSave) Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  }
  void OnClickDontSaveBtn() override { Calls.push_back("OnClickDontSaveBtn"); }
  void EnableFuntion() override { Calls.push_back("EnableFuntion"); }
};

class TGuideListener : public IViewerListener {
 public:
  void ToggleGuideLine() override { Calls.push_back("ToggleGuideLine"); }
  void MoveLine(std::int32_t, float, float) override {}
  void MoveImage(std::int32_t, float, float) override {}
  void ImageMovingStart(std::int32_t, float, float) override {}
  void SetImageScale(std::int32_t, float) override {}
};

class TSizeListener : public IWindowSizeControl {
 public:
  void SetFullSize() override { Calls.push_back("main SetFullSize"); }
  void SetMidiumSize() override { Calls.push_back("main SetMidiumSize"); }
};

class TNoDialogs : public IDialogs {
 public:
  std::optional<std::string> SelectDirectory(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override { return std::nullopt; }
  void ShowMessage(const std::string& text) override { Calls.push_back("message " + text); }
  void ShowError(const std::string&, const std::string& text) override { Calls.push_back("error " + text); }
  std::optional<std::string> InputQuery(const std::string&, const std::string&, bool) override { return std::nullopt; }
};

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class WorkingScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    Calls.clear();
    TStandInSulo::Made = 0;
    TNotificationCenter::FInstance = &FCenter;
    TDialogs::FInstance = &FDialogs;
    TDeviceProperties::FInstance = &FTables;
    FConfiguration = std::make_unique<TConfiguration>(FDir.File("sulo.configuration"));
    FConfiguration->Load();
    TConfiguration::FInstance = FConfiguration.get();
    TViewRegistry::Register<TFrameTabSub>("TFrameTabSub");
    TViewRegistry::Register<TStandInSulo>("TFrameSulo");
    TViewRegistry::Register("TFrameViewerOne", [](QWidget* o) -> QWidget* { return new TStandInViewer(o, "TFrameViewerOne"); });
    TViewRegistry::Register("TFrameViewerThree",
                            [](QWidget* o) -> QWidget* { return new TStandInViewer(o, "TFrameViewerThree"); });
    FCenter.Add<ISavePopupListener>(&FPopupListener);
  }
  void TearDown() override {
    FWindow.reset();
    FlushDeletes();
    FCenter.Remove<ISavePopupListener>(&FPopupListener);
    TConfiguration::FInstance = nullptr;
    FConfiguration.reset();
    TDeviceProperties::FInstance = nullptr;
    TDialogs::FInstance = nullptr;
    TNotificationCenter::FInstance = nullptr;
  }

  // The tab menu filling a window of the working size.
  TFrameTabMenu* MakeMenu() {
    FWindow = std::make_unique<TControl>();
    FWindow->SetSize(1086, 791);
    auto* menu = new TFrameTabMenu(FWindow.get());
    menu->SetAlign(TAlignLayout::Client);
    FWindow->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    return menu;
  }
  static TFrameTabSub* Sub(TFrameTabMenu* menu) { return qobject_cast<TFrameTabSub*>(CurrentHostedView(menu->LayoutTabContent)); }
  static QWidget* Content(TFrameTabMenu* menu) { return CurrentHostedView(Sub(menu)->LayoutContent); }
  // Where a control's centre is in the window (pixels).
  QPoint Centre(TControl* c) { return WindowPoint(c, QPointF(c->Width() / 2, c->Height() / 2)); }
  int SettingWindows(QWidget* menu) {
    int n = 0;
    for (QWidget* w : menu->findChildren<QWidget*>())
      if (w->isWindow() && w->isVisible()) ++n;
    return n;
  }

  TTempDir FDir;
  TNotificationCenter FCenter;
  TNoDialogs FDialogs;
  TDeviceProperties FTables;
  std::unique_ptr<TConfiguration> FConfiguration;
  TPopupListener FPopupListener;
  std::unique_ptr<TControl> FWindow;
};

TEST_F(WorkingScreen, OpensOnTheShootFaceAndLeavesTheBusWhenDestroyed) {
  TFrameTabMenu* menu = MakeMenu();
  EXPECT_TRUE(menu->TavImageButtonTabShoot->IsSelected());
  EXPECT_FALSE(menu->TavImageButtonTabViewer->IsSelected());
  ASSERT_TRUE(Sub(menu));
  EXPECT_FALSE(Sub(menu)->LayoutSulo->isHidden());
  EXPECT_TRUE(Sub(menu)->LayoutViewer->isHidden());
  ASSERT_TRUE(Content(menu));
  EXPECT_EQ(Content(menu)->objectName(), "FrameSulo");
  EXPECT_EQ(Calls, (std::vector<std::string>{"Sulo#1 Sulo"})) << "the new shooting view is told the selected mode";
  EXPECT_TRUE(menu->LayoutDisableBG->isHidden());
  EXPECT_TRUE(menu->LayoutSavePopup->isHidden());
  EXPECT_TRUE(menu->LayoutSettingPasswordPopup->isHidden());
  EXPECT_EQ(FCenter.Count<ISavePopup>(), 1u);
  EXPECT_EQ(FCenter.Count<IWindowSizeControl>(), 1u);
  EXPECT_EQ(FCenter.Count<ISettingPasswordPopup>(), 1u);

  FWindow.reset();
  FlushDeletes();
  EXPECT_EQ(FCenter.Count<ISavePopup>(), 0u);
  EXPECT_EQ(FCenter.Count<IWindowSizeControl>(), 0u);
  EXPECT_EQ(FCenter.Count<ISettingPasswordPopup>(), 0u);
  EXPECT_EQ(FCenter.Count<IMenuChangeListener>(), 0u) << "the hosted view went with it";
}

TEST_F(WorkingScreen, TabsSwitchFacesAndTheSelectedTabKeepsItsView) {
  TFrameTabMenu* menu = MakeMenu();
  QPointer<QWidget> first = Content(menu);

  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  FlushDeletes();
  EXPECT_TRUE(menu->TavImageButtonTabViewer->IsSelected());
  EXPECT_FALSE(menu->TavImageButtonTabShoot->IsSelected());
  EXPECT_EQ(Content(menu)->objectName(), "FrameViewerOne");
  EXPECT_FALSE(first) << "the shooting view is destroyed";
  EXPECT_EQ(menu->ImageTabAnimationBar->X(), 0) << "the bar starts under the Shoot tab";
  EXPECT_TRUE(WaitFor([&] { return menu->ImageTabAnimationBar->X() == 192; }));

  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabShoot));
  FlushDeletes();
  EXPECT_TRUE(WaitFor([&] { return menu->ImageTabAnimationBar->X() == 0; }));
  QPointer<QWidget> second = Content(menu);
  EXPECT_EQ(second->objectName(), "FrameSulo");
  EXPECT_EQ(Calls, (std::vector<std::string>{"Sulo#1 Sulo", "Sulo#2 Sulo"}));

  // The Shoot tab again: same view, nothing sent, the bar slides in anew.
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabShoot));
  FlushDeletes();
  EXPECT_EQ(Content(menu), second.data());
  EXPECT_EQ(Calls.size(), 2u);
  EXPECT_EQ(menu->ImageTabAnimationBar->X(), 192) << "replayed from the Viewer tab";
  EXPECT_TRUE(WaitFor([&] { return menu->ImageTabAnimationBar->X() == 0; }));
}

TEST_F(WorkingScreen, DontSaveTellsTheViewAtOnceAndClosesAfterTheDelay) {
  TFrameTabMenu* menu = MakeMenu();
  Calls.clear();
  Notify<ISavePopup>(&ISavePopup::SetDisableBG);
  Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  EXPECT_FALSE(menu->LayoutDisableBG->isHidden());
  EXPECT_FALSE(menu->LayoutSavePopup->isHidden());
  EXPECT_FALSE(menu->ImageSave->isHidden());

  ClickAt(FWindow.get(), Centre(menu->TavImageButtonDontSave));
  EXPECT_FALSE(menu->ImageDontSave->isHidden());
  EXPECT_TRUE(menu->ImageSave->isHidden());
  for (TControl* b : {menu->TavImageButtonSave, menu->TavImageButtonSaveAs, menu->TavImageButtonDontSave})
    EXPECT_TRUE(b->isHidden()) << b->Name().toStdString();
  EXPECT_EQ(Calls, (std::vector<std::string>{"OnClickDontSaveBtn"})) << "the view is told at once";
  EXPECT_FALSE(menu->LayoutSavePopup->isHidden()) << "the popup stays for its closing delay";
  EXPECT_FALSE(menu->LayoutDisableBG->isHidden());

  QElapsedTimer elapsed;
  elapsed.start();
  EXPECT_TRUE(WaitFor([&] { return menu->LayoutSavePopup->isHidden(); }));
  EXPECT_GE(elapsed.elapsed(), 1000) << "closed by the 1.5 s delay, not at once";
  EXPECT_TRUE(menu->LayoutDisableBG->isHidden());
  EXPECT_EQ(Calls, (std::vector<std::string>{"OnClickDontSaveBtn", "EnableFuntion"}));
}

TEST_F(WorkingScreen, SaveShowsSuccessThenCloses) {
  TFrameTabMenu* menu = MakeMenu();
  FPopupListener.FAnswerSaveWithSuccess = true;
  Calls.clear();
  Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonSave));
  EXPECT_FALSE(menu->ImageSaveSuccess->isHidden());
  EXPECT_TRUE(menu->ImageSave->isHidden());
  EXPECT_TRUE(menu->TavImageButtonSave->isHidden());
  EXPECT_TRUE(WaitFor([&] { return menu->LayoutSavePopup->isHidden(); }));
  EXPECT_EQ(Calls, (std::vector<std::string>{"OnClickSaveBtn", "EnableFuntion"}));

  // The next picture opens the popup in its question state again.
  Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  EXPECT_FALSE(menu->ImageSave->isHidden());
  EXPECT_FALSE(menu->TavImageButtonSave->isHidden());
  EXPECT_TRUE(menu->ImageSaveSuccess->isHidden());
}

TEST_F(WorkingScreen, ANewShotStopsTheLastPicturesClosingDelay) {
  TFrameTabMenu* menu = MakeMenu();
  Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonDontSave));
  // The next shot within the delay: its question must stay.
  Notify<ISavePopup>(&ISavePopup::SetDisableBG);
  Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  Calls.clear();
  QTest::qWait(1800);
  EXPECT_FALSE(menu->LayoutSavePopup->isHidden());
  EXPECT_FALSE(menu->ImageSave->isHidden());
  EXPECT_FALSE(menu->LayoutDisableBG->isHidden());
  EXPECT_TRUE(Calls.empty());
}

TEST_F(WorkingScreen, SaveSuccessWithoutThePopupOnlyEndsTheShotAfterTheDelay) {
  TFrameTabMenu* menu = MakeMenu();
  Calls.clear();
  Notify<ISavePopup>(&ISavePopup::SetDisableBG);
  Notify<ISavePopup>(&ISavePopup::SaveSuccess);  // a repeat series saves without asking
  EXPECT_TRUE(menu->LayoutSavePopup->isHidden());
  EXPECT_TRUE(WaitFor([&] { return !Calls.empty(); }));
  EXPECT_EQ(Calls, (std::vector<std::string>{"EnableFuntion"}));
  EXPECT_TRUE(menu->LayoutDisableBG->isHidden());
  EXPECT_TRUE(menu->LayoutSavePopup->isHidden());
}

TEST_F(WorkingScreen, SaveAsWithoutAFolderLeavesThePopupOpenWithoutItsQuestion) {
  TFrameTabMenu* menu = MakeMenu();
  Calls.clear();
  Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonSaveAs));
  QTest::qWait(1700);  // past the closing delay a Save or Don't Save would have started
  EXPECT_FALSE(menu->LayoutSavePopup->isHidden());
  EXPECT_TRUE(menu->ImageSave->isHidden());
  for (TControl* b : {menu->TavImageButtonSave, menu->TavImageButtonSaveAs, menu->TavImageButtonDontSave})
    EXPECT_FALSE(b->isHidden()) << b->Name().toStdString();
  EXPECT_EQ(Calls, (std::vector<std::string>{"OnClickSaveAsBtn"}));
}

// A save that fails leaves the popup asking again, with its question.
TEST_F(WorkingScreen, AFailedSaveAsksAgainWithItsQuestion) {
  TFrameTabMenu* menu = MakeMenu();
  FPopupListener.FFailSave = true;
  for (TTavImageButton* button : {menu->TavImageButtonSave, menu->TavImageButtonSaveAs}) {
    SCOPED_TRACE(button->Name().toStdString());
    Notify<ISavePopup>(&ISavePopup::SetDisableBG);
    Notify<ISavePopup>(&ISavePopup::OpenSavePopup);
    ClickAt(FWindow.get(), Centre(button));
    QTest::qWait(1700);  // past the closing delay a save would have started
    EXPECT_FALSE(menu->LayoutSavePopup->isHidden());
    EXPECT_FALSE(menu->ImageSave->isHidden());
    EXPECT_TRUE(menu->ImageSaveSuccess->isHidden());
    for (TControl* b : {menu->TavImageButtonSave, menu->TavImageButtonSaveAs, menu->TavImageButtonDontSave})
      EXPECT_FALSE(b->isHidden()) << b->Name().toStdString();
    EXPECT_FALSE(menu->LayoutDisableBG->isHidden());
  }
}

TEST_F(WorkingScreen, TheGreyCoverTakesTheModeRowAndHoldsTheTabs) {
  TFrameTabMenu* menu = MakeMenu();
  TFrameTabSub* sub = Sub(menu);
  Calls.clear();
  Notify<ISavePopup>(&ISavePopup::SetDisableBG);
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonPortrait));
  EXPECT_TRUE(Calls.empty()) << "the mode row is covered";
  EXPECT_TRUE(sub->TavImageButtonSulo->IsSelected());
  // The header lies above the cover, but leaving the shooting view mid-shot
  // would strand the popup: the tabs wait for the shot to end.
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabShoot));
  FlushDeletes();
  EXPECT_TRUE(menu->TavImageButtonTabShoot->IsSelected());
  EXPECT_FALSE(menu->TavImageButtonTabViewer->IsSelected());
  EXPECT_EQ(Content(menu)->objectName(), "FrameSulo");
  EXPECT_EQ(TStandInSulo::Made, 1);
  Notify<ISavePopup>(&ISavePopup::SetEnableScreen);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  EXPECT_TRUE(menu->TavImageButtonTabViewer->IsSelected());
}

struct TCodeCase {
  const char* Name;
  const char* Typed;
  bool Opens;
};

TEST_F(WorkingScreen, AccessCode) {
  const TCodeCase cases[] = {{"exact", "9526", true},          {"trailing blank", "9526 ", false},
                             {"part", "952", false},           {"empty", "", false},
                             {"longer", "95260", false},       {"leading blank", " 9526", false}};
  for (const TCodeCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFrameTabMenu* menu = MakeMenu();
    Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
    ASSERT_FALSE(menu->LayoutSettingPasswordPopup->isHidden());
    EXPECT_TRUE(menu->EditPassword->Editor()->hasFocus());
    QTest::keyClicks(menu->EditPassword->Editor(), c.Typed);
    EXPECT_EQ(menu->EditPassword->Editor()->echoMode(), QLineEdit::Password);
    QTest::mouseClick(menu->ButtonConfirm->Button(), Qt::LeftButton);
    if (c.Opens) {
      EXPECT_TRUE(menu->LayoutSettingPasswordPopup->isHidden());
      EXPECT_EQ(menu->EditPassword->Text(), "");
      EXPECT_EQ(menu->LabelError->Text(), "");
      EXPECT_EQ(SettingWindows(menu), 1);
    } else {
      EXPECT_FALSE(menu->LayoutSettingPasswordPopup->isHidden());
      EXPECT_EQ(menu->EditPassword->Text(), QString::fromUtf8(c.Typed));
      EXPECT_FALSE(menu->LabelError->isHidden());
      EXPECT_EQ(menu->LabelError->Text(), QString::fromUtf8("비밀번호를 정확히 입력하세요"));
      EXPECT_EQ(SettingWindows(menu), 0);
    }
  }
}

TEST_F(WorkingScreen, CancelKeepsTextAndErrorAndEachRightCodeOpensAnotherWindow) {
  TFrameTabMenu* menu = MakeMenu();
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  QTest::keyClicks(menu->EditPassword->Editor(), "1234");
  QTest::mouseClick(menu->ButtonConfirm->Button(), Qt::LeftButton);
  QTest::mouseClick(menu->ButtonCancel->Button(), Qt::LeftButton);
  EXPECT_TRUE(menu->LayoutSettingPasswordPopup->isHidden());
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  EXPECT_EQ(menu->EditPassword->Text(), "1234");
  EXPECT_FALSE(menu->LabelError->isHidden());

  menu->EditPassword->SetText("9526");
  QTest::mouseClick(menu->ButtonConfirm->Button(), Qt::LeftButton);
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  EXPECT_EQ(menu->EditPassword->Text(), "") << "emptied by the right code";
  QTest::keyClicks(menu->EditPassword->Editor(), "9526");
  QTest::mouseClick(menu->ButtonConfirm->Button(), Qt::LeftButton);
  EXPECT_EQ(SettingWindows(menu), 2) << "a second window while the first is open";
}

// A wrong code and its error stay, the code selected: the next code typed
// replaces it, also when the popup is opened again after Cancel.
TEST_F(WorkingScreen, AWrongCodeStaysSelectedSoTheNextReplacesIt) {
  TFrameTabMenu* menu = MakeMenu();
  FWindow->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(FWindow.get()));
  QLineEdit* edit = menu->EditPassword->Editor();
  auto type = [](const char* keys) { QTest::keyClicks(QApplication::focusWidget(), keys); };
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  type("1234");
  ClickAt(FWindow.get(), Centre(menu->ButtonConfirm));
  EXPECT_EQ(menu->EditPassword->Text(), "1234");
  EXPECT_FALSE(menu->LabelError->isHidden());
  EXPECT_EQ(QApplication::focusWidget(), edit);
  EXPECT_EQ(edit->selectedText(), "1234");
  type("5678");
  EXPECT_EQ(menu->EditPassword->Text(), "5678");

  ClickAt(FWindow.get(), Centre(menu->ButtonConfirm));
  ClickAt(FWindow.get(), Centre(menu->ButtonCancel));
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  EXPECT_EQ(edit->selectedText(), "5678");
  EXPECT_FALSE(menu->LabelError->isHidden());
  type("9526");
  ClickAt(FWindow.get(), Centre(menu->ButtonConfirm));
  EXPECT_TRUE(menu->LayoutSettingPasswordPopup->isHidden());
  EXPECT_EQ(SettingWindows(menu), 1);
}

TEST_F(WorkingScreen, PopupKeyboardTabRingSpacePressesEnterDoesNot) {
  TFrameTabMenu* menu = MakeMenu();
  FWindow->activateWindow();
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  QWidget* edit = menu->EditPassword->Editor();
  QWidget* confirm = menu->ButtonConfirm->Button();
  QWidget* cancel = menu->ButtonCancel->Button();
  ASSERT_TRUE(edit->hasFocus());
  const std::vector<QWidget*> ring = {confirm, cancel, edit, confirm};
  for (QWidget* expected : ring) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), expected);
  }
  QTest::keyClick(confirm, Qt::Key_Enter);
  QTest::keyClick(confirm, Qt::Key_Return);
  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_TRUE(menu->LabelError->isHidden()) << "Enter presses no button";
  QTest::keyClick(confirm, Qt::Key_Space);
  EXPECT_FALSE(menu->LabelError->isHidden()) << "Space pressed Confirm (empty code)";
  QTest::keyClick(confirm, Qt::Key_Tab);
  QTest::keyClick(cancel, Qt::Key_Space);
  EXPECT_TRUE(menu->LayoutSettingPasswordPopup->isHidden());
  // The space key is the shot's again: neither an edit nor a button keeps the focus.
  QWidget* focus = QApplication::focusWidget();
  EXPECT_FALSE(qobject_cast<QLineEdit*>(focus) || qobject_cast<QAbstractButton*>(focus));
}

TEST_F(WorkingScreen, FullThenMediumSize) {
  TSizeListener mainWindow;
  FCenter.Add<IWindowSizeControl>(&mainWindow);  // joined before the menu, as the main window is
  TFrameTabMenu* menu = MakeMenu();
  TFrameTabSub* sub = Sub(menu);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  FlushDeletes();
  const QRectF before(sub->X(), sub->Y(), sub->Width(), sub->Height());
  Calls.clear();

  ClickAt(FWindow.get(), Centre(sub->TavImageButtonFullScreen));
  EXPECT_EQ(Calls, (std::vector<std::string>{"main SetFullSize"}));
  EXPECT_TRUE(menu->LayoutHeader->isHidden());
  EXPECT_EQ(menu->LayoutTabContent->Y(), 0) << "the content takes the whole frame";
  EXPECT_TRUE(sub->TavImageButtonFullScreen->isHidden());
  EXPECT_FALSE(sub->TavImageButtonMidiumScreen->isHidden());

  ClickAt(FWindow.get(), Centre(sub->TavImageButtonMidiumScreen));
  EXPECT_EQ(Calls, (std::vector<std::string>{"main SetFullSize", "main SetMidiumSize"}));
  EXPECT_FALSE(menu->LayoutHeader->isHidden());
  EXPECT_FALSE(sub->TavImageButtonFullScreen->isHidden());
  EXPECT_TRUE(sub->TavImageButtonMidiumScreen->isHidden());
  EXPECT_EQ(QRectF(sub->X(), sub->Y(), sub->Width(), sub->Height()), before);
  EXPECT_TRUE(menu->TavImageButtonTabViewer->IsSelected()) << "the tab selection is unchanged";
  FCenter.Remove<IWindowSizeControl>(&mainWindow);
}

TEST_F(WorkingScreen, ModeButtonsSendTheirModeEveryTime) {
  TFrameTabMenu* menu = MakeMenu();
  TFrameTabSub* sub = Sub(menu);
  Calls.clear();
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonPortrait));
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonPortrait));
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonUV));
  EXPECT_EQ(Calls, (std::vector<std::string>{"Sulo#1 Portrait", "Sulo#1 Portrait", "Sulo#1 UV"}));
  EXPECT_EQ(sub->GetCurrentSubMenu(), TTakePictureMode::UV);
  EXPECT_FALSE(sub->TavImageButtonSulo->IsSelected());

  // Back from the viewer face, a new shooting view starts in the last mode.
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabShoot));
  FlushDeletes();
  EXPECT_EQ(Calls.back(), "Sulo#2 UV");
}

TEST_F(WorkingScreen, OneUpAndThreeUpSwitchOnlyOnAChange) {
  TFrameTabMenu* menu = MakeMenu();
  TFrameTabSub* sub = Sub(menu);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  FlushDeletes();
  QPointer<QWidget> one = Content(menu);
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonViewerOne));
  FlushDeletes();
  EXPECT_EQ(Content(menu), one.data()) << "one-up while selected: nothing";

  ClickAt(FWindow.get(), Centre(sub->TavImageButtonViewerThree));
  FlushDeletes();
  EXPECT_EQ(Content(menu)->objectName(), "FrameViewerThree");
  EXPECT_FALSE(one);

  // Shoot and back: the one-up viewer, while the three-up button stays selected.
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabShoot));
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  FlushDeletes();
  EXPECT_EQ(Content(menu)->objectName(), "FrameViewerOne");
  EXPECT_TRUE(sub->TavImageButtonViewerThree->IsSelected());
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonViewerThree));
  EXPECT_EQ(Content(menu)->objectName(), "FrameViewerOne") << "three-up was selected before the click";
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonViewerOne));
  FlushDeletes();
  EXPECT_EQ(Content(menu)->objectName(), "FrameViewerOne");
  EXPECT_TRUE(sub->TavImageButtonViewerOne->IsSelected());
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonViewerThree));
  EXPECT_EQ(Content(menu)->objectName(), "FrameViewerThree");
}

TEST_F(WorkingScreen, TheSettingsWindowsModeButtonsLeaveTheSubMenusModeAlone) {
  TFrameTabMenu* menu = MakeMenu();
  TFrameTabSub* sub = Sub(menu);
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonUV));
  Notify<ISettingPasswordPopup>(&ISettingPasswordPopup::OpenSettingPasswordPopup);
  menu->EditPassword->SetText("9526");
  QTest::mouseClick(menu->ButtonConfirm->Button(), Qt::LeftButton);
  auto* form = menu->findChild<TSettingForm*>();
  ASSERT_TRUE(form);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  // The same group name in another window is another group.
  ClickAt(form, Centre(form->TavImageButtonPortrait));
  EXPECT_TRUE(form->TavImageButtonPortrait->IsSelected());
  EXPECT_TRUE(sub->TavImageButtonUV->IsSelected());
  ClickAt(FWindow.get(), Centre(sub->TavImageButtonSulo));
  EXPECT_TRUE(form->TavImageButtonPortrait->IsSelected());
}

TEST_F(WorkingScreen, GuideLineButtonFlipsItsLookAndTellsThePanes) {
  TFrameTabMenu* menu = MakeMenu();
  TFrameTabSub* sub = Sub(menu);
  TGuideListener panes;
  FCenter.Add<IViewerListener>(&panes);
  ClickAt(FWindow.get(), Centre(menu->TavImageButtonTabViewer));
  Calls.clear();
  TTavImageButton* button = sub->TavImageButtonGuideLine;
  ClickAt(FWindow.get(), Centre(button));
  EXPECT_TRUE(sub->FGuideLineToggle);
  EXPECT_EQ(button->BitmapDefault().Image(), button->BitmapSelected().Image());
  ClickAt(FWindow.get(), Centre(button));
  EXPECT_FALSE(sub->FGuideLineToggle);
  EXPECT_EQ(button->BitmapDefault().Image(), button->BitmapDisabled().Image());
  EXPECT_EQ(Calls, (std::vector<std::string>{"ToggleGuideLine", "ToggleGuideLine"}));
  FCenter.Remove<IViewerListener>(&panes);
}

TEST_F(WorkingScreen, SettingsButtonStopsTheMotorThenAsksForTheCode) {
  TSimBoard board("COM7");
  auto ports = std::make_shared<TListedPortDirectory>();
  ports->Add(board.Name(), board.DevicePath());
  TManualDispatcher dispatcher;
  TDeviceModule module(dispatcher, ports);
  module.ComPort.SetPort("COM7");
  module.ComPort.Open();
  DeviceModule = &module;
  TFrameTabMenu* menu = MakeMenu();
  ClickAt(FWindow.get(), Centre(Sub(menu)->TavImageButtonSetting));
  EXPECT_FALSE(menu->LayoutSettingPasswordPopup->isHidden());
  QTest::mouseClick(menu->ButtonCancel->Button(), Qt::LeftButton);
  ASSERT_TRUE(board.WaitForPackets(1, 5000));
  const auto packet = board.Packets().front().Bytes;
  EXPECT_EQ(std::vector<std::uint8_t>(packet.begin(), packet.end()),
            (std::vector<std::uint8_t>{0xAA, 0xC3, 0x01, 0x00, 0x00, 0x6E, 0xBB}));
  DeviceModule = nullptr;
}

}  // namespace
