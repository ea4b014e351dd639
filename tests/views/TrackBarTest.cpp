#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "views/widgets/MyTrackBar.h"

namespace {
struct TBarWindow {
  std::unique_ptr<TControl> Window = std::make_unique<TControl>();
  TFrameMyTrackBar* Bar;
  explicit TBarWindow(qreal ratio = 1.0) {
    Window->SetScale(ratio, ratio);
    Window->SetSize(400, 100);
    Bar = new TFrameMyTrackBar(Window.get());
    Bar->SetPosition(40, 30);
    Bar->SetMin(0);
    Bar->SetMax(100);
    Window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }
};
}  // namespace

TEST(TrackBar, ValuePlacesThumbAndFill) {
  TBarWindow w;
  int announced = 0;
  w.Bar->OnValueChanged = [&](TFrameMyTrackBar*) { ++announced; };
  w.Bar->SetValue(60);
  EXPECT_NEAR(w.Bar->TavImageButtonTrack->X(), 163.8, 1e-9);
  EXPECT_NEAR(w.Bar->RoundRectValue->Width(), 168.8, 1e-9);
  w.Bar->SetValue(100);
  EXPECT_NEAR(w.Bar->TavImageButtonTrack->X(), 273, 1e-9);
  EXPECT_EQ(announced, 2);

  // Bounds alone move nothing.
  w.Bar->SetMax(200);
  EXPECT_NEAR(w.Bar->TavImageButtonTrack->X(), 273, 1e-9);
  w.Bar->SetValue(100);
  EXPECT_NEAR(w.Bar->TavImageButtonTrack->X(), 136.5, 1e-9);
}

TEST(TrackBar, EmptyRangeRestsTheThumbAtTheStart) {
  TBarWindow w;
  w.Bar->SetMin(50);
  w.Bar->SetMax(50);
  w.Bar->SetValue(50);
  EXPECT_EQ(w.Bar->TavImageButtonTrack->X(), 0);
  EXPECT_EQ(w.Bar->RoundRectValue->Width(), 5);
}

// The drag arithmetic holds at both screen ratios: pointer positions reach
// the bar in design units.
class TrackBarDrag : public ::testing::TestWithParam<qreal> {};

TEST_P(TrackBarDrag, FirstMoveAndTheEnds) {
  TBarWindow w(GetParam());
  w.Bar->SetValue(60);
  TTavImageButton* thumb = w.Bar->TavImageButtonTrack;
  Press(thumb, {13, 13});
  Move(thumb, {13, 13});  // no displacement
  EXPECT_EQ(w.Bar->Value(), 65);
  Move(thumb, {-1000, 13});
  EXPECT_EQ(w.Bar->Value(), 0);
  Move(thumb, {2000, 13});
  EXPECT_EQ(w.Bar->Value(), 100);
  Release(thumb, {13, 13});
  const int after = w.Bar->Value();
  Move(thumb, {-500, 13});  // no drag after the release
  EXPECT_EQ(w.Bar->Value(), after);
}

TEST_P(TrackBarDrag, DisplacementIsCountedInDesignUnits) {
  TBarWindow w(GetParam());
  w.Bar->SetValue(0);
  TTavImageButton* thumb = w.Bar->TavImageButtonTrack;
  Press(thumb, {13, 13});
  // 54.6 design units to the right: left = 54.6, value = trunc(69.6 / 273 * 100) = 25.
  const QPoint start = WindowPoint(thumb, {13, 13});
  const int dx = qRound(54.6 * GetParam());
  MoveTo(thumb, start + QPoint(dx, 0));
  EXPECT_NEAR(w.Bar->Value(), 25, 1);
  Release(thumb, {13, 13});
}

INSTANTIATE_TEST_SUITE_P(Ratios, TrackBarDrag, ::testing::Values(1.0, 0.6666));
