#include <memory>

#include "ViewerFixture.h"
#include "ViewerTestUtil.h"
#include "WidgetTestUtil.h"
#include "views/viewer/FrameViewerOne.h"
#include "views/viewer/FrameViewerThree.h"
#include "views/menu/FrameTabSub.h"
#include "views/common/ViewRegistry.h"

namespace {

class ViewersTest : public ViewerFixture {
 protected:
  template <class V>
  V* Make() {
    auto* view = new V(nullptr);
    View.reset(view);
    view->resize(1086, 644);
    view->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
    return view;
  }
  void TearDown() override {
    Unrecord();
    View.reset();
    ViewerFixture::TearDown();
  }
  std::unique_ptr<QWidget> View;
};

template <class V>
std::vector<TFrameViewer*> Panes(V* viewer) {
  std::vector<TFrameViewer*> panes;
  for (auto& row : viewer->FrameViewer)
    for (TFrameViewer* pane : row) panes.push_back(pane);
  return panes;
}

TEST_F(ViewersTest, OneUpBuildsFiveRowsOfTwoPanesOneGroupEach) {
  TFrameViewerOne* viewer = Make<TFrameViewerOne>();
  EXPECT_EQ(Center.Count<IViewerListener>(), 10u);
  EXPECT_EQ(Center.Count<IViewerWheelControl>(), 1u);
  TLayout* content = viewer->VertScrollBox->Content();
  EXPECT_EQ(viewer->VertScrollBox->Height(), 614);  // bottom margin 30
  for (int r = 0; r < 5; ++r) {
    EXPECT_EQ(viewer->ScaledLayoutContainer[r]->Name(), QString("ScaledLayout%1Container").arg(r));
    const QPointF rowTop = content->AbsoluteToLocal(viewer->ScaledLayoutContainer[r]->LocalToAbsolute(QPointF(0, 0)));
    EXPECT_NEAR(rowTop.y(), 10 + 562 * r, 1e-6);
    for (int c = 0; c < 2; ++c) {
      TFrameViewer* pane = viewer->FrameViewer[r][c];
      EXPECT_EQ(pane->Name(), QString("FrameViewer%1%2").arg(r).arg(c));
      EXPECT_EQ(pane->GroupNum(), r);
      EXPECT_EQ(QSizeF(pane->Width(), pane->Height()), QSizeF(368, 552));
      const QPointF inRow = viewer->ScaledLayoutContainer[r]->AbsoluteToLocal(pane->LocalToAbsolute(QPointF(0, 0)));
      EXPECT_NEAR(inRow.x(), 157 + 388 * c, 1e-6);
      // The large button: centred, raised by 30.
      EXPECT_EQ(pane->TavImageButtonOpenImage->Y(), (552 - 30 - 46) / 2.0);
    }
  }
  EXPECT_NEAR(viewer->VertScrollBox->MaxViewportPositionY(), 2258 + 552 - 614, 1e-6);
  View.reset();
  EXPECT_EQ(Center.Count<IViewerListener>(), 0u);
  EXPECT_EQ(Center.Count<IViewerWheelControl>(), 0u);
}

TEST_F(ViewersTest, OneUpRowTwoZoomsTogetherAndAlone) {
  TFrameViewerOne* viewer = Make<TFrameViewerOne>();
  viewer->FrameViewer[2][0]->LayoutContainerMouseWheel(120);
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 2; ++c)
      EXPECT_FLOAT_EQ(viewer->FrameViewer[r][c]->ImageExpansionScale(), r == 2 ? 1.5f : 1.0f) << r << c;
}

TEST_F(ViewersTest, ThreeUpMiddlePaneDragMovesItsRow) {
  TFrameViewerThree* viewer = Make<TFrameViewerThree>();
  EXPECT_EQ(Center.Count<IViewerListener>(), 6u);
  EXPECT_EQ(Center.Count<IViewerWheelControl>(), 0u);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) {
      TFrameViewer* pane = viewer->FrameViewer[r][c];
      EXPECT_EQ(pane->GroupNum(), r);
      EXPECT_EQ(QSizeF(pane->Width(), pane->Height()), QSizeF(202, 303));
      const QPointF at = viewer->ScaledLayout1->AbsoluteToLocal(pane->LocalToAbsolute(QPointF(0, 0)));
      EXPECT_NEAR(at.x(), (1086 - 616) / 2.0 + 207 * c, 1e-6) << r << c;
      EXPECT_NEAR(at.y(), 308 * r, 1e-6) << r << c;
    }
  Notify<IViewerListener>(&IViewerListener::SetImageScale, 1, 3.0f);
  Notify<IViewerListener>(&IViewerListener::SetImageScale, 0, 3.0f);
  TViewerImage* middle = viewer->FrameViewer[1][1]->ImageViewer;
  Enter(middle);
  Press(middle, QPointF(100, 150));
  for (int i = 0; i < 40; ++i) Move(middle, QPointF(60, 100));
  Release(middle, QPointF(60, 100));
  const QPointF moved = viewer->FrameViewer[1][1]->Zoom().Position();
  EXPECT_NEAR(moved.x(), -40, 1e-3);
  EXPECT_NEAR(moved.y(), -50, 1e-3);
  EXPECT_EQ(viewer->FrameViewer[1][0]->Zoom().Position(), moved);
  EXPECT_EQ(viewer->FrameViewer[1][2]->Zoom().Position(), moved);
  for (TFrameViewer* pane : viewer->FrameViewer[0]) EXPECT_EQ(pane->Zoom().Position(), QPointF(0, 0));
}

// The wheel zooms over a pane and leaves the list still; over the gap between
// panes it scrolls the list.
TEST_F(ViewersTest, OneUpWheelZoomsInAPaneAndScrollsElsewhere) {
  TFrameViewerOne* viewer = Make<TFrameViewerOne>();
  TVertScrollBox* box = viewer->VertScrollBox;
  QWindow* window = viewer->windowHandle();
  const QPoint onPane = WindowPoint(viewer->FrameViewer[0][0]->ImageViewer, QPointF(100, 100));
  QTest::mouseMove(window, onPane);
  ASSERT_TRUE(WaitFor([&] { return box->DisableMouseWheel(); }));
  // Down over the pane: a zoom step out, and the list (which could scroll
  // down) stays.
  WheelAt(viewer, onPane, -120);
  EXPECT_FLOAT_EQ(viewer->FrameViewer[0][0]->ImageExpansionScale(), 0.5f);
  EXPECT_EQ(box->ViewportPositionY(), 0);
  WheelAt(viewer, onPane, 120);
  WheelAt(viewer, onPane, 120);
  EXPECT_FLOAT_EQ(viewer->FrameViewer[0][0]->ImageExpansionScale(), 1.5f);
  EXPECT_EQ(box->ViewportPositionY(), 0);

  const QPoint gap(157 + 368 + 10, 300);
  QTest::mouseMove(window, gap);
  ASSERT_TRUE(WaitFor([&] { return !box->DisableMouseWheel(); }));
  WheelAt(viewer, gap, -120);
  EXPECT_EQ(box->ViewportPositionY(), TVertScrollBox::WheelStep);
  EXPECT_FLOAT_EQ(viewer->FrameViewer[0][0]->ImageExpansionScale(), 1.5f);
}

// Each viewer starts with empty panes at zoom 1 and hidden lines, whatever
// the one before it showed.
TEST_F(ViewersTest, SwitchingViewersGivesFreshPanes) {
  const QString file = QString::fromStdString(File("p.jpg"));
  ASSERT_TRUE(SaveJpeg(Quadrants(320, 240), file));
  auto dirty = [&](auto* viewer) {
    for (TFrameViewer* pane : Panes(viewer)) pane->OpenPicture(file);
    Notify<IViewerListener>(&IViewerListener::SetImageScale, 0, 2.5f);
    Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
  };
  auto fresh = [&](auto* viewer) {
    for (TFrameViewer* pane : Panes(viewer)) {
      EXPECT_FALSE(pane->ImageViewer->HasPicture());
      EXPECT_FLOAT_EQ(pane->ImageExpansionScale(), 1.0f);
      EXPECT_EQ(pane->Zoom().Position(), QPointF(0, 0));
      EXPECT_FALSE(pane->IsGuideLineVisible());
      EXPECT_FALSE(pane->TavImageButtonOpenImage->isHidden());
    }
  };
  dirty(Make<TFrameViewerOne>());
  auto* three = Make<TFrameViewerThree>();
  EXPECT_EQ(Center.Count<IViewerListener>(), 6u);
  fresh(three);
  dirty(three);
  auto* one = Make<TFrameViewerOne>();
  EXPECT_EQ(Center.Count<IViewerListener>(), 10u);
  fresh(one);
}

}  // namespace

// Through the sub-menu, as the operator switches: the old viewer's panes leave
// the bus and only the new viewer's fresh panes answer.
TEST_F(ViewersTest, TheSubMenuSwitchesTheRealViewers) {
  TViewRegistry::Register<TFrameViewerOne>("TFrameViewerOne");
  TViewRegistry::Register<TFrameViewerThree>("TFrameViewerThree");
  TControl window;
  window.SetSize(1086, 710);
  auto* sub = new TFrameTabSub(&window);
  sub->SetAlign(TAlignLayout::Client);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  sub->setSubTab("Viewer");
  EXPECT_EQ(Center.Count<IViewerListener>(), 10u);
  EXPECT_EQ(Center.Count<IViewerWheelControl>(), 1u);
  Click(sub->TavImageButtonViewerThree);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Center.Count<IViewerListener>(), 6u);
  EXPECT_EQ(Center.Count<IViewerWheelControl>(), 0u);
  auto* three = sub->LayoutContent->findChild<TFrameViewerThree*>();
  ASSERT_TRUE(three);
  for (TFrameViewer* pane : Panes(three)) EXPECT_FLOAT_EQ(pane->ImageExpansionScale(), 1.0f);
  Click(sub->TavImageButtonViewerOne);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(Center.Count<IViewerListener>(), 10u);
}
