// Pointer input for widget tests, given in a control's own design units.
// Events go straight to the control, as the window system delivers them to
// the control that holds the pointer captured after a press.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <functional>

#include "views/widgets/Control.h"

inline QPoint WindowPoint(TControl* control, QPointF local) {
  const QPointF window = control->LocalToAbsolute(local);
  return QPoint(qRound(window.x()), qRound(window.y()));
}

// Sends a pointer event at a window position to `control`.
inline void SendMouse(TControl* control, QEvent::Type type, QPoint windowPoint, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
  const QPoint origin = control->mapTo(control->window(), QPoint(0, 0));
  const QPointF localPixels = windowPoint - origin;
  QMouseEvent event(type, localPixels, QPointF(windowPoint), control->mapToGlobal(localPixels), button, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(control, &event);
}

inline void Press(TControl* control, QPointF local, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(control, QEvent::MouseButtonPress, WindowPoint(control, local), button, button);
}

inline void Release(TControl* control, QPointF local, Qt::MouseButton button = Qt::LeftButton) {
  SendMouse(control, QEvent::MouseButtonRelease, WindowPoint(control, local), button, Qt::NoButton);
}

// A move with the left button held, at a window position.
inline void MoveTo(TControl* control, QPoint windowPoint) {
  SendMouse(control, QEvent::MouseMove, windowPoint, Qt::NoButton, Qt::LeftButton);
}

inline void Move(TControl* control, QPointF local) { MoveTo(control, WindowPoint(control, local)); }

inline void Click(TControl* control) {
  const QPointF centre(control->Width() / 2, control->Height() / 2);
  Press(control, centre);
  Release(control, centre);
}

// Runs the event loop until `condition` holds or `ms` pass.
inline bool WaitFor(const std::function<bool()>& condition, int ms = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Presses and releases at a window position through the window system, as a
// real pointer would: the toolkit picks the widget under the point.
inline void ClickAt(QWidget* window, QPoint windowPoint) {
  QTest::mousePress(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, windowPoint);
  QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, windowPoint);
}
