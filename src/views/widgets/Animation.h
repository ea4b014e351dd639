// A float animation: runs a value from a start to a stop value over a
// duration, on the UI thread's animation clock, calling OnProcess with each
// new value and OnFinish once at the end. With equal start and stop values it
// is a one-shot delay. Starting a running animation starts it again from its
// start value. The curve is linear.
#pragma once

#include <QObject>
#include <QVariantAnimation>
#include <functional>

class TFloatAnimation : public QObject {
  Q_OBJECT
 public:
  explicit TFloatAnimation(QObject* parent = nullptr);

  void SetStartValue(qreal value) { FStartValue = value; }
  void SetStopValue(qreal value) { FStopValue = value; }
  qreal StartValue() const { return FStartValue; }
  qreal StopValue() const { return FStopValue; }
  // Seconds.
  void SetDuration(qreal seconds) { FDuration = seconds; }
  qreal Duration() const { return FDuration; }

  void Start();
  // Stops without OnFinish.
  void Stop();
  bool Running() const { return FAnimation.state() == QAbstractAnimation::Running; }

  std::function<void(qreal Value)> OnProcess;
  std::function<void(TFloatAnimation* Sender)> OnFinish;

 private:
  QVariantAnimation FAnimation;
  qreal FStartValue = 0;
  qreal FStopValue = 0;
  qreal FDuration = 0.2;
};
