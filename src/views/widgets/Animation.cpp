#include "views/widgets/Animation.h"

#include "views/widgets/ErrorHook.h"

TFloatAnimation::TFloatAnimation(QObject* parent) : QObject(parent) {
  connect(&FAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    if (OnProcess && Running()) Guarded([&] { OnProcess(value.toReal()); });
  });
  connect(&FAnimation, &QAbstractAnimation::finished, this, [this] {
    if (OnProcess) Guarded([&] { OnProcess(FStopValue); });
    if (OnFinish) Guarded([&] { OnFinish(this); });
  });
}

void TFloatAnimation::Start() {
  FAnimation.stop();
  FAnimation.setStartValue(FStartValue);
  FAnimation.setEndValue(FStopValue);
  FAnimation.setDuration(qMax(0, qRound(FDuration * 1000)));
  if (OnProcess) Guarded([&] { OnProcess(FStartValue); });
  FAnimation.start();
}

void TFloatAnimation::Stop() { FAnimation.stop(); }
