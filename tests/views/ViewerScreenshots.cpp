// Renders the comparison viewers with pictures into PNG files for the
// documentation (run under Xvfb, or on the offscreen platform):
//
//   sulo_viewer_screenshots <folder>
//
// The pictures are portrait windows on the simulated camera's scene.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QThread>
#include <cstdio>

#include "notification/NotificationCenter.h"
#include "simulator/camera/SimScene.h"
#include "views/viewer/FrameViewerOne.h"
#include "views/viewer/FrameViewerThree.h"

namespace {

QString ScenePicture(const QString& folder, int index, double x0, double defocus) {
  // A portrait window on the face, as an upright shot frames it: drawn on the
  // sensor, where the camera lies on its side, and stood up as the program does.
  SimScene::TView view;
  view.Width = 1728;
  view.Height = 1152;
  view.Scale = 2;
  view.X0 = 772;
  view.Y0 = SimScene::SensorHeight - (576 + x0) - 2304;
  view.Defocus = static_cast<int>(defocus);
  std::vector<std::uint8_t> rgb = SimScene::Render(view);
  const QImage sensor(rgb.data(), view.Width, view.Height, view.Width * 3, QImage::Format_RGB888);
  const QImage image = sensor.transformed(QTransform().rotate(90));
  const QString file = folder + QString("/scene-%1.jpg").arg(index);
  image.save(file, "JPEG", 92);
  return file;
}

void Settle(const std::function<bool()>& done = [] { return true; }) {
  for (int i = 0; i < 400 && !done(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  for (int i = 0; i < 10; ++i) QApplication::processEvents();
}

template <class V>
bool Fetching(V* viewer) {
  for (auto& row : viewer->FrameViewer)
    for (TFrameViewer* pane : row)
      if (pane->ImageViewer->IsFetching()) return true;
  return false;
}

template <class V>
bool Save(V* viewer, const QString& file) {
  Settle([&] { return !Fetching(viewer); });
  const bool ok = viewer->grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
  return ok;
}

// A drag on a pane's picture, as the pointer does it.
void Drag(TFrameViewer* pane, QPointF from, QPointF to) {
  TControl* image = pane->ImageViewer;
  auto send = [&](QEvent::Type type, QPointF local, Qt::MouseButton button, Qt::MouseButtons buttons) {
    const QPointF window = image->LocalToAbsolute(local);
    const QPointF origin(image->mapTo(image->window(), QPoint(0, 0)));
    QMouseEvent event(type, window - origin, window, window, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(image, &event);
  };
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QApplication::sendEvent(image, &enter);
  send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
  for (int i = 0; i < 40; ++i) send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("docs/screenshots");
  QDir().mkpath(folder);
  const QString pictures = QDir::temp().filePath("sulo-viewer-screenshots");
  QDir().mkpath(pictures);
  TNotificationCenter center;
  TNotificationCenter::FInstance = &center;
  QStringList files;
  for (int i = 0; i < 6; ++i) files << ScenePicture(pictures, i, 150.0 * (i % 3) - 150, i / 3 == 0 ? 0 : 2);

  bool ok = true;
  {
    TFrameViewerOne one(nullptr);
    one.resize(1086, 644);
    one.show();
    Settle();
    one.FrameViewer[0][0]->OpenPicture(files[0]);
    one.FrameViewer[0][1]->OpenPicture(files[3]);
    ok &= Save(&one, folder + "/viewer-one.png");

    // Row 0 zoomed to 3 and dragged onto the face, with the guide lines shown
    // and moved onto the mole.
    Notify<IViewerListener>(&IViewerListener::SetImageScale, 0, 3.0f);
    Drag(one.FrameViewer[0][0], QPointF(300, 420), QPointF(120, 150));
    Notify<IViewerListener>(&IViewerListener::ToggleGuideLine);
    Notify<IViewerListener>(&IViewerListener::MoveLine, 0, 200.0f, 250.0f);
    ok &= Save(&one, folder + "/viewer-one-zoomed-lines.png");
  }
  {
    TFrameViewerThree three(nullptr);
    three.resize(1086, 644);
    three.show();
    Settle();
    // The last pane of the top row stays empty: its large open button shows.
    for (int c = 0; c < 2; ++c) three.FrameViewer[0][c]->OpenPicture(files[c]);
    for (int c = 0; c < 3; ++c) three.FrameViewer[1][c]->OpenPicture(files[3 + c]);
    Notify<IViewerListener>(&IViewerListener::SetImageScale, 1, 2.5f);
    Drag(three.FrameViewer[1][1], QPointF(101, 151), QPointF(60, 120));
    ok &= Save(&three, folder + "/viewer-three.png");
  }
  TNotificationCenter::FInstance = nullptr;
  return ok ? 0 : 1;
}
