#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/Timer.h"

TEST(DesignUnits, ScaleReachesGeometryPaintAndPointer) {
  auto window = std::make_unique<TControl>();
  window->SetSize(870, 429);
  window->SetScale(0.6666, 0.6666);
  auto* child = new TControl(window.get());
  child->SetBounds(99, 57, 672, 276);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_EQ(window->size(), QSize(580, 286));
  EXPECT_EQ(child->geometry(), QRect(66, 38, 448, 184));
  QPointF seen(-1, -1);
  child->OnMouseDown = [&](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal x, qreal y) { seen = {x, y}; };
  SendMouse(child, QEvent::MouseButtonPress, QPoint(66 + 100, 38 + 50), Qt::LeftButton, Qt::LeftButton);
  EXPECT_NEAR(seen.x(), 100 / 0.6666 + (66 - 99 * 0.6666) / 0.6666, 1e-6);
  EXPECT_NEAR(seen.y(), 50 / 0.6666 + (38 - 57 * 0.6666) / 0.6666, 1e-6);

  // Changing the scale later re-places everything inside.
  window->SetScale(1, 1);
  EXPECT_EQ(child->geometry(), QRect(99, 57, 672, 276));
}

TEST(DesignUnits, AlignmentBandsFillAndCentre) {
  auto root = std::make_unique<TControl>();
  root->SetSize(870, 429);
  auto* top = new TControl(root.get());
  top->SetSize(10, 39);
  top->SetAlign(TAlignLayout::Top);
  auto* client = new TControl(root.get());
  client->SetAlign(TAlignLayout::Client);
  auto* right = new TControl(top);
  right->SetSize(50, 10);
  right->SetAlign(TAlignLayout::Right);
  auto* left = new TControl(top);
  left->SetSize(185, 10);
  left->SetMargins(10, 0, 0, 0);
  left->SetAlign(TAlignLayout::Left);
  auto* centred = new TControl(right);
  centred->SetSize(18, 18);
  centred->SetAlign(TAlignLayout::Center);
  auto* contents = new TControl(top);
  contents->SetAlign(TAlignLayout::Contents);

  EXPECT_EQ(top->Width(), 870);
  EXPECT_EQ(QRectF(client->X(), client->Y(), client->Width(), client->Height()), QRectF(0, 39, 870, 390));
  EXPECT_EQ(right->X(), 820);
  EXPECT_EQ(right->Height(), 39);
  EXPECT_EQ(left->X(), 10);
  EXPECT_EQ(QPointF(centred->X(), centred->Y()), QPointF(16, 10.5));
  EXPECT_EQ(contents->Width(), 870);

  // A hidden control gives its band back.
  top->hide();
  EXPECT_EQ(client->Y(), 0);
  EXPECT_EQ(client->Height(), 429);
}

TEST(DesignUnits, ScaledLayoutStretchesItsContentToItsPlace) {
  auto root = std::make_unique<TControl>();
  root->SetSize(1000, 500);
  auto* scaled = new TScaledLayout(root.get());
  scaled->SetOriginalSize(200, 100);
  scaled->SetAlign(TAlignLayout::Client);
  auto* inner = new TControl(scaled);
  inner->SetBounds(100, 50, 10, 10);
  root->show();
  EXPECT_EQ(scaled->Scale(), QPointF(5, 5));
  EXPECT_EQ(inner->geometry(), QRect(500, 250, 50, 50));
  EXPECT_EQ(inner->AbsoluteToLocal(QPointF(525, 275)), QPointF(5, 5));
}

TEST(DesignUnits, OpacityMultipliesDownTheTree) {
  TControl outer;
  outer.SetOpacity(0.5);
  auto* inner = new TControl(&outer);
  inner->SetOpacity(0.5);
  EXPECT_DOUBLE_EQ(inner->AbsoluteOpacity(), 0.25);
}

TEST(Timer, IntervalZeroNeverRuns) {
  TTimer timer;
  int ticks = 0;
  timer.OnTimer = [&](TTimer*) { ++ticks; };
  timer.SetInterval(0);
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.IsRunning());
  QTest::qWait(50);
  EXPECT_EQ(ticks, 0);

  timer.SetInterval(10);
  EXPECT_TRUE(timer.IsRunning());
  EXPECT_TRUE(WaitFor([&] { return ticks >= 2; }));

  timer.SetInterval(0);  // back to 0: stops, though still enabled
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.IsRunning());
  timer.SetEnabled(false);
  timer.SetInterval(10);
  EXPECT_FALSE(timer.IsRunning());
}

// On a driven clock timers fire only as it is moved on, at their times, in
// the order they fall due, periodically; interval 0 still never runs, and a
// running timer enabled again keeps its period.
TEST(Timer, ADrivenClockFiresTimersInTheOrderTheyFallDue) {
  TTimerClock clock;
  std::vector<std::pair<std::string, std::int64_t>> fired;
  TTimer slow, quick, never;
  slow.OnTimer = [&](TTimer*) { fired.emplace_back("slow", clock.Now()); };
  quick.OnTimer = [&](TTimer* t) {
    fired.emplace_back("quick", clock.Now());
    if (clock.Now() >= 200) t->SetEnabled(false);
  };
  never.OnTimer = [&](TTimer*) { fired.emplace_back("never", clock.Now()); };
  slow.SetInterval(250);
  quick.SetInterval(100);
  never.SetInterval(0);
  clock.Advance(50);
  slow.SetEnabled(true);  // already running: no new period
  QTest::qWait(300);
  EXPECT_TRUE(fired.empty());
  clock.Advance(550);
  const std::vector<std::pair<std::string, std::int64_t>> expected = {
      {"quick", 100}, {"quick", 200}, {"slow", 250}, {"slow", 500}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(clock.Now(), 600);
  EXPECT_FALSE(quick.IsRunning());
  EXPECT_TRUE(slow.IsRunning());
}

TEST(Pictures, ArtworkLoadsAtItsDesignSize) {
  TBitmap logo;
  ASSERT_TRUE(logo.LoadFromFile(":/images/logo.svg"));
  EXPECT_EQ(logo.Width(), 185);
  EXPECT_EQ(logo.Height(), 39);
  TBitmap missing;
  EXPECT_FALSE(missing.LoadFromFile(":/images/none.svg"));
  EXPECT_TRUE(missing.IsEmpty());
}
