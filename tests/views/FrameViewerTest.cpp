#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QThreadPool>
#include <QUrl>
#include <memory>

#include "ViewerFixture.h"
#include "configuration/Configuration.h"
#include "ViewerTestUtil.h"
#include "WidgetTestUtil.h"
#include "views/viewer/FrameViewer.h"

namespace {

// Three panes of 368 x 552 side by side: A and B in group 0, C in group 1.
class PaneTest : public ViewerFixture {
 protected:
  void SetUp() override {
    ViewerFixture::SetUp();
    Host = std::make_unique<TControl>();
    Host->resize(1200, 560);
    A = new TFrameViewer(Host.get());
    B = new TFrameViewer(Host.get());
    C = new TFrameViewer(Host.get());
    A->SetPosition(0, 0);
    B->SetPosition(400, 0);
    C->SetPosition(800, 0);
    C->SetGroupNum(1);
    Host->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Host.get()));
    Record();
  }
  void TearDown() override {
    Unrecord();
    Host.reset();
    ViewerFixture::TearDown();
  }
  void Zoom(int group, float scale) { Notify<IViewerListener>(&IViewerListener::SetImageScale, group, scale); }
  // A pointer move with no button held.
  void Hover(TControl* control, QPointF local) {
    SendMouse(control, QEvent::MouseMove, WindowPoint(control, local), Qt::NoButton, Qt::NoButton);
  }
  QString Picture(const char* name, QSize size = QSize(1600, 1200)) {
    const QString file = QString::fromStdString(File(name));
    EXPECT_TRUE(SaveJpeg(Quadrants(size.width(), size.height()), file, 95));
    return file;
  }
  QPoint Centre(TControl* control) { return WindowPoint(control, QPointF(control->Width() / 2, control->Height() / 2)); }

  std::unique_ptr<TControl> Host;
  TFrameViewer* A = nullptr;
  TFrameViewer* B = nullptr;
  TFrameViewer* C = nullptr;
};

TEST_F(PaneTest, WheelZoomsTheWholeGroupAndNoOtherPane) {
  Zoom(1, 2.0f);
  Notify<IViewerListener>(&IViewerListener::MoveImage, 1, -20.0f, -30.0f);
  const QPoint onA = WindowPoint(A->ImageViewer, QPointF(100, 100));
  for (float expected : {1.5f, 2.0f, 2.5f}) {
    WheelAt(Host.get(), onA, 120);
    for (TFrameViewer* pane : {A, B}) {
      EXPECT_FLOAT_EQ(pane->ImageExpansionScale(), expected);
      EXPECT_FLOAT_EQ(pane->Zoom().Displayed(), expected);
    }
    EXPECT_EQ(Recorder.Scales.back(), std::make_pair(0, expected));
  }
  EXPECT_FLOAT_EQ(C->ImageExpansionScale(), 2.0f);
  EXPECT_EQ(C->Zoom().Position(), QPointF(-20, -30));
  // Down through the pane: 2.5 -> ... -> 0 and back, shown at 1 below 1,
  // the picture back at the pane's corner.
  const std::pair<int, float> steps[] = {{-120, 2.0f}, {-120, 1.5f}, {-120, 1.0f}, {-120, 0.5f},
                                         {-120, 0.0f}, {-120, 0.0f}, {120, 0.5f},  {120, 1.0f}, {120, 1.5f}};
  for (auto [delta, factor] : steps) {
    WheelAt(Host.get(), onA, delta);
    EXPECT_FLOAT_EQ(A->ImageExpansionScale(), factor);
    EXPECT_FLOAT_EQ(A->Zoom().Displayed(), std::max(1.0f, factor));
    if (factor <= 1.0f) {
      EXPECT_EQ(A->Zoom().Position(), QPointF(0, 0));
    }
  }
  // A sideways scroll is no zoom step.
  const std::size_t calls = Recorder.Scales.size();
  A->LayoutContainerMouseWheel(0);
  EXPECT_EQ(Recorder.Scales.size(), calls);
}

// A drag inside the picture: press, several moves to one point, release.
void Drag(TControl* image, QPointF from, QPointF to) {
  Press(image, from);
  for (int i = 0; i < 30; ++i) Move(image, to);
  Release(image, to);
}

TEST_F(PaneTest, DragAtTwoStopsAtThePaneEdgesAndMovesTheGroup) {
  Zoom(0, 2.0f);
  TViewerImage* image = A->ImageViewer;
  Enter(image);
  Press(image, QPointF(200, 300));
  ASSERT_TRUE(A->IsImageMoving());
  EXPECT_TRUE(B->IsImageMoving());
  EXPECT_EQ(A->cursor().shape(), Qt::ClosedHandCursor);
  EXPECT_EQ(Recorder.MovingStarts.back(), std::make_tuple(0, 100.0f, 150.0f));  // picture coordinates
  Release(image, QPointF(200, 300));
  EXPECT_FALSE(A->IsImageMoving());
  EXPECT_EQ(A->cursor().shape(), Qt::ArrowCursor);

  // The grabbed point follows the pointer: twice from the bottom right corner
  // to the top left one takes the picture as far as it goes.
  for (int i = 0; i < 2; ++i) Drag(image, QPointF(360, 540), QPointF(1, 1));
  EXPECT_EQ(A->Zoom().Position(), QPointF(-368, -552));
  EXPECT_EQ(B->Zoom().Position(), QPointF(-368, -552));
  EXPECT_EQ(Recorder.MoveImages.back(), std::make_tuple(0, -368.0f, -552.0f));
  for (int i = 0; i < 2; ++i) Drag(image, QPointF(1, 1), QPointF(367, 551));
  EXPECT_EQ(A->Zoom().Position(), QPointF(0, 0));
  EXPECT_EQ(B->Zoom().Position(), QPointF(0, 0));
  EXPECT_EQ(C->Zoom().Position(), QPointF(0, 0));
  EXPECT_FALSE(C->IsImageMoving());

  // Leaving the picture ends the drag.
  Press(image, QPointF(200, 300));
  Move(image, QPointF(-20, 300));
  EXPECT_FALSE(A->IsImageMoving());
}

TEST_F(PaneTest, NoDragAtExactlyOne) {
  Press(A->ImageViewer, QPointF(200, 300));
  EXPECT_FALSE(A->IsImageMoving());
  Move(A->ImageViewer, QPointF(100, 100));
  EXPECT_EQ(A->Zoom().Position(), QPointF(0, 0));
  EXPECT_TRUE(Recorder.MoveImages.empty());
}

TEST_F(PaneTest, DoubleClickReappliesTheFactorAndClampsAgain) {
  Zoom(0, 2.0f);
  Notify<IViewerListener>(&IViewerListener::MoveImage, 0, 50.0f, 60.0f);  // unclamped
  ASSERT_EQ(B->Zoom().Position(), QPointF(50, 60));
  QTest::mouseDClick(A->ImageViewer, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  EXPECT_EQ(Recorder.Scales.back(), std::make_pair(0, 2.0f));
  EXPECT_EQ(A->Zoom().Position(), QPointF(0, 0));
  EXPECT_EQ(B->Zoom().Position(), QPointF(0, 0));
  EXPECT_FLOAT_EQ(B->ImageExpansionScale(), 2.0f);
}

TEST_F(PaneTest, GuideLinesShowEverywhereAndAPlainMoveReportsThem) {
  EXPECT_FALSE(A->IsGuideLineVisible());
  Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
  for (TFrameViewer* pane : {A, B, C}) EXPECT_TRUE(pane->IsGuideLineVisible());
  EXPECT_EQ(A->LinePosition(), QPointF(183.5, 275.5));  // centred on the pane
  Hover(A->RectangleGridBG, QPointF(20, 20));
  EXPECT_EQ(Recorder.MoveLines.back(), std::make_tuple(0, 183.5f, 275.5f));
  EXPECT_EQ(A->cursor().shape(), Qt::ArrowCursor);
  Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
  for (TFrameViewer* pane : {A, B, C}) EXPECT_FALSE(pane->IsGuideLineVisible());
}

TEST_F(PaneTest, PointerShapeNearTheLines) {
  struct TRow {
    const char* Name;
    float X, Y;
    Qt::CursorShape Shape;
  };
  // Lines at x 183.5 and y 275.5: near means line - 10 < p <= line + 10.
  const TRow rows[] = {
      {"10 above the horizontal line", 20, 265.5f, Qt::ArrowCursor},
      {"just inside above", 20, 265.6f, Qt::SizeVerCursor},
      {"10 below the horizontal line", 20, 285.5f, Qt::SizeVerCursor},
      {"just beyond below", 20, 285.6f, Qt::ArrowCursor},
      {"10 left of the vertical line", 173.5f, 20, Qt::ArrowCursor},
      {"10 right of the vertical line", 193.5f, 20, Qt::SizeHorCursor},
      {"on both", 183.5f, 275.5f, Qt::SizeFDiagCursor},
      {"far from both", 20, 20, Qt::ArrowCursor},
  };
  for (const TRow& row : rows) EXPECT_EQ(A->getCursor(row.X, row.Y), row.Shape) << row.Name;
}

TEST_F(PaneTest, DraggingALineMovesItInTheGroupWithoutBounds) {
  Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
  TRectangle* grid = A->RectangleGridBG;
  Hover(grid, QPointF(185, 20));  // near the vertical line only
  ASSERT_EQ(A->cursor().shape(), Qt::SizeHorCursor);
  Press(grid, QPointF(185, 20));
  Move(grid, QPointF(215, 80));
  Move(grid, QPointF(-400, 80));  // no bounds
  EXPECT_EQ(A->LinePosition(), QPointF(183.5 + 30 - 615, 275.5));
  EXPECT_EQ(B->LinePosition(), A->LinePosition());
  EXPECT_EQ(C->LinePosition(), QPointF(183.5, 275.5));
  Release(grid, QPointF(-400, 80));
  Hover(grid, QPointF(100, 90));  // near nothing now: the lines stay
  EXPECT_EQ(A->LinePosition(), QPointF(-401.5, 275.5));
  EXPECT_EQ(A->cursor().shape(), Qt::ArrowCursor);

  Hover(grid, QPointF(-401.5, 275.5));  // both lines meet here
  ASSERT_EQ(A->cursor().shape(), Qt::SizeFDiagCursor);
  Press(grid, QPointF(-401.5, 275.5));
  Move(grid, QPointF(-391.5, 255.5));
  EXPECT_EQ(A->LinePosition(), QPointF(-391.5, 255.5));
}

// While the lines show, their surface takes the pointer from the picture and
// the large button.
TEST_F(PaneTest, LineSurfaceCoversPictureAndOpenButton) {
  Zoom(0, 2.0f);
  Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
  ClickAt(Host.get(), Centre(A->TavImageButtonOpenImage));
  ClickAt(Host.get(), WindowPoint(A->ImageViewer, QPointF(60, 500)));
  EXPECT_TRUE(Dialogs.Filters.empty());
  EXPECT_TRUE(Recorder.MovingStarts.empty());
  Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
  ClickAt(Host.get(), Centre(A->TavImageButtonOpenImage));
  EXPECT_EQ(Dialogs.Filters, std::vector<std::string>{""});  // every file is listed
}

// The open dialog starts where the booth saves its pictures, as the save
// folder stands at each opening.
TEST_F(PaneTest, TheOpenDialogStartsInTheSaveFolder) {
  TConfiguration configuration(File("sulo.configuration"));
  TConfiguration::FInstance = &configuration;
  configuration.General().SaveLocation = File("pictures");
  ClickAt(Host.get(), Centre(A->TavImageButtonOpenImage));
  configuration.General().SaveLocation = File("elsewhere");
  ClickAt(Host.get(), Centre(A->TavImageButtonOpenImage));
  TConfiguration::FInstance = nullptr;
  EXPECT_EQ(Dialogs.Folders, (std::vector<std::string>{File("pictures"), File("elsewhere")}));
}

TEST_F(PaneTest, OpeningKeepsZoomPositionAndLines) {
  Zoom(0, 2.0f);
  Notify<IViewerListener>(&IViewerListener::MoveImage, 0, -100.0f, -100.0f);
  Notify<IViewerListener>(&IViewerListener::MoveLine, 0, 50.0f, 60.0f);
  Dialogs.Files = {std::nullopt, Picture("a.jpg").toStdString()};
  Click(A->TavImageButtonOpenImage);  // cancelled
  EXPECT_FALSE(A->ImageViewer->HasPicture());
  EXPECT_FALSE(A->TavImageButtonOpenImage->isHidden());
  Click(A->TavImageButtonOpenImage);
  ASSERT_TRUE(A->ImageViewer->HasPicture());
  EXPECT_TRUE(A->TavImageButtonOpenImage->isHidden());
  EXPECT_FALSE(A->TavImageButtonOpenImageSmall->isHidden());
  EXPECT_FLOAT_EQ(A->ImageExpansionScale(), 2.0f);
  EXPECT_EQ(A->Zoom().Position(), QPointF(-100, -100));
  EXPECT_EQ(A->LinePosition(), QPointF(50, 60));
  EXPECT_TRUE(Errors.empty());
}

// A refused file leaves the picture and the buttons as they were, and the
// operator gets the reason.
TEST_F(PaneTest, RefusedFilesLeaveThePaneAsItWas) {
  const QString good = Picture("good.jpg");
  A->OpenPicture(good);
  QByteArray truncated = EncodeJpeg(Quadrants(800, 600));
  truncated.truncate(truncated.size() * 2 / 3);
  const struct {
    const char* Name;
    QByteArray Bytes;
    const char* Why;
  } rows[] = {{"60 MP", JpegClaiming(9500, 6320), "megapixels"},
              {"truncated", truncated, "damaged or incomplete"},
              {"not a picture", QByteArray(1000, 'x'), "not a picture"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    const std::string bad = File("bad.jpg");
    ASSERT_TRUE(WriteFile(QString::fromStdString(bad), row.Bytes));
    Dialogs.Files = {bad};
    Errors.clear();
    Click(A->TavImageButtonOpenImageSmall);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find(row.Why), std::string::npos) << Errors[0];
    EXPECT_EQ(A->ImageViewer->Picture()->FileName(), good);
    EXPECT_TRUE(A->TavImageButtonOpenImage->isHidden());
  }
  // The large button on an empty pane: still the large button afterwards.
  Dialogs.Files = {File("bad.jpg")};
  Click(B->TavImageButtonOpenImage);
  EXPECT_FALSE(B->ImageViewer->HasPicture());
  EXPECT_FALSE(B->TavImageButtonOpenImage->isHidden());
  EXPECT_TRUE(B->TavImageButtonOpenImageSmall->isHidden());
}

TEST_F(PaneTest, DroppedFileOpens) {
  const QString file = Picture("dropped.jpg");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(file)});
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(A, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(A, &drop);
  ASSERT_TRUE(A->ImageViewer->HasPicture());
  // A dropped file comes as a URL, with forward slashes on every system.
  EXPECT_EQ(QDir::fromNativeSeparators(A->ImageViewer->Picture()->FileName()), QDir::fromNativeSeparators(file));
  EXPECT_TRUE(A->TavImageButtonOpenImage->isHidden());
  EXPECT_FALSE(A->TavImageButtonOpenImageSmall->isHidden());
}

// The pane draws from a copy with at least as many pixels as the screen
// shows, fetches a finer one when zoomed and lets it go when zoomed out.
TEST_F(PaneTest, ResolutionFollowsTheZoom) {
  A->OpenPicture(Picture("sharp.jpg"));
  TViewerImage* image = A->ImageViewer;
  EXPECT_EQ(image->ShownResolution(), QSize(400, 300));  // 1/4 covers 368 x 276
  Zoom(0, 4.0f);
  ASSERT_TRUE(WaitFor([&] { return !image->IsFetching(); }));
  EXPECT_EQ(image->ShownResolution(), QSize(1600, 1200));
  Zoom(0, 2.0f);  // the finer copy serves the lower zoom too
  EXPECT_EQ(image->ShownResolution(), QSize(1600, 1200));
  Zoom(0, 1.0f);
  EXPECT_EQ(image->ShownResolution(), QSize(400, 300));

  // At 2.0, moved a pane's width left, the pane shows the picture's top
  // right quarter (green) in its upper left half.
  Zoom(0, 2.0f);
  Notify<IViewerListener>(&IViewerListener::MoveImage, 0, -368.0f, 0.0f);
  ASSERT_TRUE(WaitFor([&] { return !image->IsFetching(); }));
  const QImage shown = A->grab().toImage();
  // The fitted picture spans y 138 to 414 at zoom 1, so 276 to 828 at 2.0.
  const QColor green = shown.pixelColor(100, 400);
  EXPECT_GT(green.green(), 200);
  EXPECT_LT(green.red(), 60);
  EXPECT_EQ(shown.pixelColor(100, 200), QColor(0x32, 0x32, 0x32));  // above the picture: the background
}

// A pane may go (the viewer is switched) while a worker still decodes for it.
TEST_F(PaneTest, PaneDestroyedWhileAFinerCopyIsDecoded) {
  const QString file = Picture("late.jpg", QSize(4000, 3000));
  for (int i = 0; i < 3; ++i) {
    auto* pane = new TFrameViewer(Host.get());
    pane->SetGroupNum(7);
    pane->OpenPicture(file);
    Zoom(7, 8.0f);
    EXPECT_TRUE(pane->ImageViewer->IsFetching());
    delete pane;
  }
  QThreadPool::globalInstance()->waitForDone();
  QApplication::processEvents();
  EXPECT_EQ(Center.Count<IViewerListener>(), 4u);  // A, B, C and the recorder
}

TEST_F(PaneTest, WheelStaysInThePaneWhileThePointerIsInIt) {
  QWindow* window = Host->windowHandle();
  QTest::mouseMove(window, WindowPoint(A->ImageViewer, QPointF(100, 100)));
  ASSERT_TRUE(WaitFor([&] { return !Recorder.WheelDisable.empty(); }));
  EXPECT_TRUE(Recorder.WheelDisable.back());
  // The large button lies over the picture, inside the pane.
  QTest::mouseMove(window, Centre(A->TavImageButtonOpenImage));
  QApplication::processEvents();
  EXPECT_TRUE(Recorder.WheelDisable.back());
  QTest::mouseMove(window, QPoint(380, 300));  // between A and B
  ASSERT_TRUE(WaitFor([&] { return !Recorder.WheelDisable.back(); }));
}

}  // namespace
