// Pointer input through layouts, and hosting views by class name.
#include <gtest/gtest.h>

#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "WidgetTestUtil.h"
#include "views/common/Frame.h"
#include "views/common/ViewHost.h"
#include "views/common/ViewRegistry.h"
#include "views/widgets/TavImageButton.h"

namespace {

struct TLayered {
  std::unique_ptr<TControl> Window;
  TTavImageButton* Button;  // beneath
  TLayout* Layer;           // on top, covering everything
  TLayout* Inner;           // a layout inside the layer
  TRectangle* Blocker;      // a rectangle inside the inner layout
};

TLayered MakeLayered() {
  TLayered s;
  s.Window = std::make_unique<TControl>();
  s.Window->SetSize(400, 200);
  s.Button = new TTavImageButton(s.Window.get());
  s.Button->SetBounds(10, 10, 100, 40);
  s.Layer = new TLayout(s.Window.get());
  s.Layer->SetBounds(0, 0, 400, 200);
  s.Inner = new TLayout(s.Layer);
  s.Inner->SetBounds(0, 0, 300, 100);
  s.Blocker = new TRectangle(s.Inner);
  s.Blocker->SetBounds(200, 10, 50, 40);
  s.Window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(s.Window.get()));
  return s;
}

TEST(PointerInput, APressOnLayoutsReachesTheButtonBeneath) {
  TLayered s = MakeLayered();
  int clicks = 0, blocked = 0, layerDowns = 0;
  s.Button->OnClick = [&](TControl*) { ++clicks; };
  s.Blocker->OnMouseDown = [&](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { ++blocked; };
  s.Layer->OnMouseDown = [&](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { ++layerDowns; };

  ClickAt(s.Window.get(), QPoint(50, 30));  // through two layouts onto the button
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(s.Button->IsSelected()) << "the button saw its own press and release";
  ClickAt(s.Window.get(), QPoint(220, 30));  // a rectangle takes input
  EXPECT_EQ(blocked, 1);
  EXPECT_EQ(clicks, 1);
  ClickAt(s.Window.get(), QPoint(350, 150));  // nothing beneath but the window's own control
  EXPECT_EQ(layerDowns, 0) << "a layout takes no pointer input of its own";

  // A layout told to take input does.
  s.Layer->SetHitTest(true);
  ClickAt(s.Window.get(), QPoint(350, 150));
  EXPECT_EQ(layerDowns, 1);
}

TEST(PointerInput, DragsAndHoverFollowTheControlBeneath) {
  TLayered s = MakeLayered();
  std::vector<QPointF> moves;
  s.Button->OnMouseMove = [&](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal x, qreal y) { moves.push_back({x, y}); };
  QWindow* w = s.Window->windowHandle();
  QTest::mouseMove(w, QPoint(50, 30));
  EXPECT_TRUE(s.Button->IsMouseOver());
  QTest::mouseMove(w, QPoint(350, 150));
  EXPECT_FALSE(s.Button->IsMouseOver());

  // A press on the button keeps the moves and the release, wherever they go.
  QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(50, 30));
  moves.clear();
  QTest::mouseMove(w, QPoint(300, 150));
  ASSERT_FALSE(moves.empty());
  EXPECT_EQ(moves.back(), QPointF(290, 140)) << "in the button's own units";
  EXPECT_TRUE(s.Button->IsPressed());
  QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(300, 150));
  EXPECT_FALSE(s.Button->IsPressed());
  EXPECT_FALSE(s.Button->IsSelected()) << "released outside: no click";
}

// Stand-in views, to see which are made and freed.
std::vector<std::string> Events;

class TViewA : public TFrame {
 public:
  explicit TViewA(QWidget* owner) : TFrame(owner, "TViewA", 100, 100) { Events.push_back("made A"); }
  ~TViewA() override { Events.push_back("freed A"); }
};
class TViewB : public TFrame {
 public:
  explicit TViewB(QWidget* owner) : TFrame(owner, "TViewB", 100, 100) { Events.push_back("made B"); }
  ~TViewB() override { Events.push_back("freed B"); }
};

void FlushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

TEST(Hosting, KeepsTheSameNamedViewAndFreesTheOthersLastFirst) {
  Events.clear();
  TViewRegistry::Register<TViewA>("TViewA");
  TViewRegistry::Register<TViewB>("TViewB");
  TControl host;
  host.SetSize(300, 300);
  auto* layout = new TLayout(&host);
  layout->SetName("LayoutHere");
  layout->SetBounds(0, 0, 300, 300);

  QWidget* a = HostView(&host, "TViewA", "LayoutHere");
  EXPECT_EQ(a->parentWidget(), layout);
  EXPECT_EQ(static_cast<TControl*>(a)->Width(), 300) << "the view fills the layout";
  EXPECT_EQ(HostView(&host, "TViewA", "LayoutHere"), a);
  EXPECT_EQ(Events, (std::vector<std::string>{"made A"})) << "no second view of a shown class";

  QPointer<TControl> stray1 = new TControl(layout);
  stray1->setObjectName("stray1");
  QPointer<TControl> stray2 = new TControl(layout);
  stray2->setObjectName("stray2");
  std::vector<std::string> freed;
  for (TControl* c : {stray1.data(), stray2.data()})
    QObject::connect(c, &QObject::destroyed, [&freed, name = c->objectName().toStdString()] { freed.push_back(name); });
  EXPECT_EQ(HostView(&host, "TViewA", "LayoutHere"), a);
  FlushDeletes();
  EXPECT_EQ(freed, (std::vector<std::string>{"stray2", "stray1"}));

  QWidget* b = HostView(&host, "TViewB", "LayoutHere");
  EXPECT_TRUE(a->isHidden()) << "off the screen at once";
  EXPECT_EQ(CurrentHostedView(layout), b);
  FlushDeletes();
  EXPECT_EQ(Events, (std::vector<std::string>{"made A", "made B", "freed A"})) << "the new view is made first";

  EXPECT_THROW(HostView(&host, "TViewNowhere", "LayoutHere"), EViewNotRegistered);
  EXPECT_EQ(CurrentHostedView(layout), b) << "a failed lookup removes nothing";
  EXPECT_THROW(HostView(&host, "TViewA", "LayoutNowhere"), EViewNotRegistered);
}

TEST(Hosting, AHostFindsItsOwnLayoutNotOneInsideAHostedView) {
  TViewRegistry::Register("TViewInner", [](QWidget* owner) -> QWidget* {
    auto* view = new TFrame(owner, "TViewInner", 100, 100);
    auto* own = new TLayout(view);
    own->SetName("LayoutContent");
    return view;
  });
  TControl host;
  auto* outer = new TLayout(&host);
  outer->SetName("LayoutOuter");
  auto* content = new TLayout(outer);
  content->SetName("LayoutContent");
  auto* holder = new TLayout(&host);
  holder->SetName("LayoutHolder");
  HostView(&host, "TViewInner", "LayoutHolder");
  EXPECT_EQ(FindHostLayout(&host, "LayoutContent"), content);
}

}  // namespace
