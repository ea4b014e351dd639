#include <gtest/gtest.h>

#include <memory>

#include "WidgetTestUtil.h"
#include "views/widgets/TavImageButton.h"

namespace {

TBitmap Picture(int w, int h) {
  TBitmap b;
  b.SetSize(w, h);
  return b;
}

// A window holding buttons; shown so pointer input reaches them.
struct TButtonWindow {
  std::unique_ptr<TControl> Window = std::make_unique<TControl>();
  TButtonWindow() {
    Window->SetSize(400, 200);
    Window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
  }
  TTavImageButton* Add(TControl* parent, qreal x, const QString& group = {}) {
    auto* b = new TTavImageButton(parent ? parent : Window.get());
    b->SetBounds(x, 10, 60, 30);
    b->SetGroupName(group);
    b->show();
    return b;
  }
};

enum class TPic { Default, MouseOver, Pressed, Selected, Disabled };

struct TChoiceCase {
  const char* Name;
  bool Enabled;
  bool Selected;
  const char* Group;
  bool StaysPressed;
  bool Over;
  bool Pressed;
  // Which of the five pictures are non-empty: D, O, P, S, X (disabled).
  const char* Pictures;
  TPic Expected;
};

}  // namespace

TEST(ImageButton, PictureChoiceFollowsTheState) {
  const TChoiceCase cases[] = {
      {"normal", true, false, "", false, false, false, "DOPSX", TPic::Default},
      {"over", true, false, "", false, true, false, "DOPSX", TPic::MouseOver},
      {"pressed over", true, false, "", false, true, true, "DOPSX", TPic::Pressed},
      {"pressed, pointer outside", true, false, "", false, false, true, "DOPSX", TPic::Default},
      {"plain button selected shows no selection", true, true, "", false, false, false, "DOPSX", TPic::Default},
      {"group selected", true, true, "g", false, false, false, "DOPSX", TPic::Selected},
      {"toggle selected", true, true, "", true, false, false, "DOPSX", TPic::Selected},
      {"group selected, no selected picture", true, true, "g", false, false, false, "DOPX", TPic::Pressed},
      {"group selected, only mouse-over", true, true, "g", false, false, false, "DOX", TPic::MouseOver},
      {"over with empty mouse-over picture is still chosen", true, false, "", false, true, false, "DPSX", TPic::MouseOver},
      {"disabled", false, false, "", false, true, false, "DOPSX", TPic::Disabled},
      {"disabled, no disabled picture", false, true, "g", false, true, false, "DOPS", TPic::Default},
  };
  for (const TChoiceCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TButtonWindow w;
    TTavImageButton* b = w.Add(nullptr, 10, c.Group);
    const std::string pics = c.Pictures;
    auto has = [&](char k) { return pics.find(k) != std::string::npos; };
    if (has('D')) b->SetBitmapDefault(Picture(60, 30));
    if (has('O')) b->SetBitmapMouseOver(Picture(60, 30));
    if (has('P')) b->SetBitmapPressed(Picture(60, 30));
    if (has('S')) b->SetBitmapSelected(Picture(60, 30));
    if (has('X')) b->SetBitmapDisabled(Picture(60, 30));
    b->SetStaysPressed(c.StaysPressed);
    b->SetIsSelected(c.Selected);
    if (c.Pressed) Press(b, {30, 15});
    b->MouseOver(c.Over);
    b->setEnabled(c.Enabled);
    const TBitmap* expected = nullptr;
    switch (c.Expected) {
      case TPic::Default: expected = &b->BitmapDefault(); break;
      case TPic::MouseOver: expected = &b->BitmapMouseOver(); break;
      case TPic::Pressed: expected = &b->BitmapPressed(); break;
      case TPic::Selected: expected = &b->BitmapSelected(); break;
      case TPic::Disabled: expected = &b->BitmapDisabled(); break;
    }
    EXPECT_EQ(b->ChooseBitmap(), expected);
  }
}

TEST(ImageButton, GroupSelectionSpansTheWindowAndNeedsAReleaseInside) {
  TButtonWindow w;
  auto* frame = new TControl(w.Window.get());  // a nested frame: groups cross it
  frame->SetBounds(150, 0, 200, 100);
  frame->show();
  TTavImageButton* first = w.Add(nullptr, 10, "Sulo");
  TTavImageButton* second = w.Add(frame, 10, "Sulo");
  TTavImageButton* third = w.Add(frame, 100, "Sulo");
  TTavImageButton* other = w.Add(nullptr, 80, "Other");
  other->SetIsSelected(true);
  first->SetIsSelected(true);

  Click(second);
  EXPECT_TRUE(second->IsSelected());
  EXPECT_FALSE(first->IsSelected());
  EXPECT_TRUE(other->IsSelected()) << "another group is left alone";

  Press(third, {30, 15});
  EXPECT_TRUE(third->IsPressed());
  Release(third, {-100, 15});  // the button keeps the pointer: the release reaches it
  EXPECT_FALSE(third->IsPressed());
  EXPECT_FALSE(third->IsSelected());
  EXPECT_TRUE(second->IsSelected());
}

TEST(ImageButton, SelectingTheSelectedButtonLeavesTheGroupAlone) {
  TButtonWindow w;
  TTavImageButton* a = w.Add(nullptr, 10);
  TTavImageButton* b = w.Add(nullptr, 80);
  a->SetIsSelected(true);
  b->SetIsSelected(true);
  a->SetGroupName("Sulo");
  b->SetGroupName("Sulo");
  a->SetIsSelected(true);  // no change: nothing else happens
  EXPECT_TRUE(b->IsSelected());
}

TEST(ImageButton, StaysPressedTogglesOnlyWithoutAGroup) {
  TButtonWindow w;
  TTavImageButton* toggle = w.Add(nullptr, 10);
  toggle->SetStaysPressed(true);
  Click(toggle);
  EXPECT_TRUE(toggle->IsSelected());
  Click(toggle);
  EXPECT_FALSE(toggle->IsSelected());

  TTavImageButton* grouped = w.Add(nullptr, 80, "Sulo");
  grouped->SetStaysPressed(true);
  Click(grouped);
  Click(grouped);
  EXPECT_TRUE(grouped->IsSelected());

  // SetIsPressed acts only on StaysPressed buttons.
  TTavImageButton* plain = w.Add(nullptr, 150);
  plain->SetIsPressed(true);
  EXPECT_FALSE(plain->IsPressed());
  toggle->SetIsPressed(true);
  EXPECT_TRUE(toggle->IsPressed());
}

TEST(ImageButton, ClickSeesTheSelectionFromBeforeTheClick) {
  TButtonWindow w;
  TTavImageButton* b = w.Add(nullptr, 10);
  b->SetStaysPressed(true);
  std::vector<bool> seen;
  b->OnClick = [&](TControl*) { seen.push_back(b->IsSelected()); };
  Click(b);
  Click(b);
  EXPECT_EQ(seen, (std::vector<bool>{false, true}));
  // Only the left button clicks and selects.
  Press(b, {30, 15}, Qt::RightButton);
  Release(b, {30, 15}, Qt::RightButton);
  EXPECT_EQ(seen.size(), 2u);
}

TEST(ImageButton, AutoSizeTakesTheLargestPictureAndOnlyWhenAsked) {
  TButtonWindow w;
  TTavImageButton* b = w.Add(nullptr, 10);
  b->SetBitmapDefault(Picture(117, 42));
  b->SetBitmapMouseOver(Picture(120, 40));
  EXPECT_EQ(b->Width(), 60);  // pictures alone do not resize
  b->SetAutoSize(true);
  EXPECT_EQ(b->Width(), 120);
  EXPECT_EQ(b->Height(), 42);
  b->SetBitmapPressed(Picture(200, 50));
  EXPECT_EQ(b->Width(), 120);

  TTavImageButton* empty = w.Add(nullptr, 200);
  empty->SetAutoSize(true);  // no pictures: the size stays
  EXPECT_EQ(empty->Width(), 60);
  EXPECT_EQ(empty->Height(), 30);
}

TEST(ImageButton, DrawsThePictureAtItsOwnSizeScaledByTheScreenRatio) {
  auto window = std::make_unique<TControl>();
  window->SetScale(0.5, 0.5);
  window->SetSize(200, 100);
  auto* b = new TTavImageButton(window.get());
  b->SetBounds(0, 0, 100, 60);
  QImage red(40, 20, QImage::Format_ARGB32_Premultiplied);
  red.fill(Qt::red);
  b->BitmapDefault().SetImage(red);
  b->SetOpacity(0.5);
  window->show();
  QImage shot(window->size(), QImage::Format_ARGB32_Premultiplied);
  shot.fill(Qt::transparent);
  window->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
  // 40 x 20 design units at ratio 0.5: 20 x 10 pixels, not stretched to the button.
  EXPECT_EQ(QColor(shot.pixel(5, 5)).red() > 100, true);
  EXPECT_EQ(qAlpha(shot.pixel(30, 5)), 0) << "outside the picture nothing is drawn";
  EXPECT_EQ(qAlpha(shot.pixel(5, 15)), 0);
  EXPECT_NEAR(qAlpha(shot.pixel(5, 5)), 128, 3) << "drawn with the control's opacity";
}
