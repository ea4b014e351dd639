#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPointer>

#include "FakeDialogs.h"
#include "WidgetTestUtil.h"
#include "app/MainForm.h"
#include "views/start/FrameSplash.h"
#include "views/common/ViewRegistry.h"
#include "views/widgets/Edit.h"

namespace {

// The main window on a screen of the test's choosing, without its start-up timer.
class TTestMainForm : public TMainForm {
 public:
  explicit TTestMainForm(QRect screen) : FScreen(screen) { TimerStartUp->SetEnabled(false); }
  QRect FScreen;
  QRect FAvailable;

 protected:
  QRect ScreenGeometry() const override { return FScreen; }
  QRect AvailableGeometry() const override { return FAvailable.isNull() ? FScreen : FAvailable; }
};

class MainFormFixture : public ::testing::Test {
 protected:
  void SetUp() override { TNotificationCenter::FInstance = &Center; }
  void TearDown() override { TNotificationCenter::FInstance = nullptr; }
  TNotificationCenter Center;
  TFakeDialogs Dialogs;
};

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

// Counts the shot requests that reach the shooting view's interface.
struct TShots : ICameraControlListener {
  int Count = 0;
  void Shoot() override { ++Count; }
  void RepeatShoot(std::int32_t) override {}
};

}  // namespace

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  const std::pair<long double, long long> cases[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {579.942L, 580}, {537.28L, 537}, {-0.5L, 0}};
  for (auto [value, expected] : cases) EXPECT_EQ(RoundHalfEven(value), expected) << static_cast<double>(value);
}

TEST_F(MainFormFixture, WindowSizesFollowTheScreenRatio) {
  struct TCase {
    int ScreenWidth;
    QSize Type1, Type2;
  } cases[] = {{1280, {580, 286}, {724, 537}}, {1281, {870, 429}, {1086, 806}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.ScreenWidth);
    TTestMainForm form(QRect(0, 0, c.ScreenWidth, 1024));
    form.setScreenRatio();
    form.setWindowSize(1);
    EXPECT_EQ(form.size(), c.Type1);
    form.setWindowSize(2);
    EXPECT_EQ(form.size(), c.Type2);
    // The content keeps its design size whatever the ratio.
    EXPECT_NEAR(form.LayoutContent->Width(), 1086, 1);
    EXPECT_NEAR(form.LayoutContent->Height(), 806 - 39, 1);
  }
}

TEST_F(MainFormFixture, FullAndMediumSizeOnAFullHdScreen) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  form.setScreenRatio();
  form.setWindowSize(1);
  form.setCenter();
  EXPECT_EQ(form.pos(), QPoint(525, 325));
  form.SetFullSize();
  EXPECT_EQ(form.geometry(), QRect(0, 0, 1920, 1080));
  form.SetMidiumSize();
  EXPECT_EQ(form.geometry(), QRect(0, 0, 1086, 806)) << "medium size is not re-centred";
}

TEST_F(MainFormFixture, ShowViewKeepsTheShownViewAndFreesTheRest) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  form.RegisterViewClasses();
  form.ShowView("TFrameSplash", "LayoutContent", 1);
  QPointer<QWidget> splash = form.CurrentView("LayoutContent");
  ASSERT_TRUE(splash);
  EXPECT_EQ(splash->objectName(), "FrameSplash");
  QPointer<TControl> stray = new TControl(form.LayoutContent);

  form.ShowView("TFrameSplash", "LayoutContent", 1);
  FlushDeletes();
  EXPECT_EQ(form.CurrentView("LayoutContent"), splash.data());
  EXPECT_FALSE(stray) << "any other child of the layout is freed";
  EXPECT_EQ(form.LayoutContent->findChildren<TFrameSplash*>().size(), 1);

  form.ShowView("TFrameSaveLocation", "LayoutContent", 1);
  FlushDeletes();
  EXPECT_FALSE(splash);
  EXPECT_EQ(form.CurrentView("LayoutContent")->objectName(), "FrameSaveLocation");

  // An unregistered view is an error for the caller; the window was resized first.
  EXPECT_THROW(form.ShowView("TFrameNowhere", "LayoutContent", 2), EViewNotRegistered);
  EXPECT_EQ(form.size(), QSize(1086, 806));
  EXPECT_EQ(form.CurrentView("LayoutContent")->objectName(), "FrameSaveLocation");
}

TEST_F(MainFormFixture, SpaceKeyAsksForAShot) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  QKeyEvent alone(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
  QApplication::sendEvent(&form, &alone);  // nobody listens: nothing happens

  TShots shots;
  Center.Add<ICameraControlListener>(&shots);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
  QApplication::sendEvent(&form, &release);
  QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);
  QApplication::sendEvent(&form, &repeat);
  QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
  QApplication::sendEvent(&form, &other);
  EXPECT_EQ(shots.Count, 1);
  Center.Remove<ICameraControlListener>(&shots);
}

TEST_F(MainFormFixture, NavigatesForTheSplashAndTheSaveLocationView) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  form.RegisterViewClasses();
  Center.Add<IViewNavigation>(&form);
  form.ShowView("TFrameSplash", "LayoutContent", 1);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  auto* splash = qobject_cast<TFrameSplash*>(form.CurrentView("LayoutContent"));
  ASSERT_TRUE(splash);
  Click(splash->ImageSplash);
  EXPECT_EQ(form.CurrentView("LayoutContent")->objectName(), "FrameSaveLocation");
  FlushDeletes();
  Center.Remove<IViewNavigation>(&form);
}

TEST_F(MainFormFixture, CloseAndMinimiseButtons) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  Click(form.TavImageButtonMinimize);
  EXPECT_TRUE(WaitFor([&] { return form.isMinimized(); }, 5000));
  form.showNormal();
  Click(form.TavImageButtonClose);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(MainFormFixture, TheWholeTitleBarOutsideTheButtonsDragsTheWindow) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  form.setScreenRatio();
  form.setWindowSize(1);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QWindow* window = form.windowHandle();
  // On the logo, in the free middle of the bar, and between the two buttons.
  for (QPoint p : {QPoint(20, 20), QPoint(184, 5), QPoint(400, 20), QPoint(870 - 52, 20)}) {
    SCOPED_TRACE(p.x());
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_TRUE(form.IsDragging());
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_FALSE(form.IsDragging());
  }
  // The buttons themselves do not drag.
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, WindowPoint(form.TavImageButtonMinimize, {9, 9}));
  EXPECT_FALSE(form.IsDragging());
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, WindowPoint(form.TavImageButtonMinimize, {30, 30}));
}

TEST_F(MainFormFixture, SmallRatioWhereTheWorkingWindowWouldNotFitTheScreenHeight) {
  struct TCase {
    const char* Name;
    QRect Screen, Available;
    long double Ratio;
    QSize Working;
  } cases[] = {
      {"1366 x 768 laptop", {0, 0, 1366, 768}, {0, 0, 1366, 728}, 0.6666L, {724, 537}},
      {"1920 x 1080 with a task bar", {0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 1.0L, {1086, 806}},
      {"1600 x 900 with a task bar", {0, 0, 1600, 900}, {0, 0, 1600, 860}, 1.0L, {1086, 806}},
      {"1440 x 900 with a tall panel", {0, 0, 1440, 900}, {0, 100, 1440, 800}, 0.6666L, {724, 537}},
      {"1280 x 1024", {0, 0, 1280, 1024}, {0, 0, 1280, 1024}, 0.6666L, {724, 537}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestMainForm form(c.Screen);
    form.FAvailable = c.Available;
    form.setScreenRatio();
    EXPECT_EQ(form.CurrentScreenRatio, c.Ratio);
    form.setWindowSize(2);
    EXPECT_EQ(form.size(), c.Working);
  }
}

TEST_F(MainFormFixture, FullSizeCoversTheWholeScreenAtEitherRatio) {
  for (QRect screen : {QRect(0, 0, 1280, 800), QRect(0, 0, 1366, 768), QRect(0, 0, 1920, 1080)}) {
    SCOPED_TRACE(screen.width());
    TTestMainForm form(screen);
    form.setScreenRatio();
    form.setWindowSize(2);
    form.setCenter();
    const QSize medium = form.size();
    form.SetFullSize();
    EXPECT_EQ(form.geometry(), screen);
    // The content is laid out at the screen's size in design units.
    EXPECT_NEAR(form.LayoutContent->Width() * static_cast<double>(form.CurrentScreenRatio), screen.width(), 1);
    form.SetMidiumSize();
    EXPECT_EQ(form.geometry(), QRect(QPoint(0, 0), medium));
  }
}

TEST_F(MainFormFixture, SpaceInAnEditOrOnAPushButtonIsNotAShot) {
  TTestMainForm form(QRect(0, 0, 1920, 1080));
  auto* edit = new TEdit(form.LayoutContent);
  edit->SetBounds(10, 10, 200, 22);
  auto* button = new TButton(form.LayoutContent);
  button->SetBounds(10, 50, 80, 22);
  int pressed = 0;
  button->OnClick = [&](TControl*) { ++pressed; };
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  TShots shots;
  Center.Add<ICameraControlListener>(&shots);

  edit->setFocus();
  QTest::keyClick(edit->Editor(), Qt::Key_Space);
  EXPECT_EQ(edit->Text(), " ");
  button->setFocus();
  QTest::keyClick(button->Button(), Qt::Key_Space);
  EXPECT_EQ(pressed, 1);
  EXPECT_EQ(shots.Count, 0);

  form.setFocus();
  QTest::keyClick(&form, Qt::Key_Space);
  EXPECT_EQ(shots.Count, 1);
  Center.Remove<ICameraControlListener>(&shots);
}
