#include "views/widgets/Edit.h"

#include <QEvent>
#include <QApplication>
#include <QFocusEvent>

#include "views/widgets/ErrorHook.h"
#include "views/widgets/StdCtrls.h"

namespace {
int PixelFontSize(const TControl* control, qreal designSize) {
  return qMax(1, qRound(designSize * control->AbsoluteScale().y()));
}
}  // namespace

TEdit::TEdit(QWidget* parent) : TControl(parent), FEdit(new QLineEdit(this)) {
  setFocusProxy(FEdit);
  FEdit->setFocusPolicy(Qt::StrongFocus);
  FEdit->installEventFilter(this);
  connect(FEdit, &QLineEdit::textEdited, this, [this] {
    if (OnChangeTracking) Guarded([this] { OnChangeTracking(this); });
  });
  UpdateLook();
}

void TEdit::SetText(const QString& text) { FEdit->setText(text); }

void TEdit::SetPassword(bool password) { FEdit->setEchoMode(password ? QLineEdit::Password : QLineEdit::Normal); }

void TEdit::SetFontColor(QColor color) {
  FFontColor = color;
  UpdateLook();
}

void TEdit::SetFontSize(qreal size) {
  FFontSize = size;
  UpdateLook();
}

void TEdit::SetTransparent(bool transparent) {
  FTransparent = transparent;
  UpdateLook();
}

void TEdit::SetTextPadding(qreal left) {
  FPadding = left;
  UpdateLook();
}

void TEdit::UpdateLook() {
  QFont font(DefaultFontFamily());
  font.setPixelSize(PixelFontSize(this, FFontSize));
  FEdit->setFont(font);
  FEdit->setFrame(!FTransparent);
  const int padding = qRound(FPadding * AbsoluteScale().x());
  FEdit->setStyleSheet(QString("QLineEdit { color: %1; %2 padding-left: %3px; }")
                           .arg(FFontColor.name(QColor::HexArgb))
                           .arg(FTransparent ? "background: transparent; border: none;" : "")
                           .arg(padding));
}

void TEdit::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  FEdit->setGeometry(rect());
  UpdateLook();
}

bool TEdit::eventFilter(QObject* watched, QEvent* event) {
  // Leaving the edit means the focus went to another control: not a context
  // menu opened on it, nor another window taking the focus for a while.
  if (watched == FEdit && event->type() == QEvent::FocusOut && OnExit) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) Guarded([this] { OnExit(this); });
  }
  return TControl::eventFilter(watched, event);
}

TButton::TButton(QWidget* parent) : TControl(parent), FButton(new QPushButton(this)) {
  setFocusProxy(FButton);
  FButton->setFocusPolicy(Qt::StrongFocus);
  // Enter presses no button; Space presses the focused one.
  FButton->setAutoDefault(false);
  FButton->setDefault(false);
  connect(FButton, &QPushButton::clicked, this, [this] { Guarded([this] { Click(); }); });
  UpdateLook();
}

void TButton::SetText(const QString& text) { FButton->setText(text); }

void TButton::SetFontSize(qreal size) {
  FFontSize = size;
  UpdateLook();
}

void TButton::SetTransparent(bool transparent) {
  FTransparent = transparent;
  UpdateLook();
}

void TButton::UpdateLook() {
  QFont font(DefaultFontFamily());
  font.setPixelSize(PixelFontSize(this, FFontSize));
  FButton->setFont(font);
  if (FTransparent) {
    const int radius = qMax(1, FButton->height() / 2);
    FButton->setStyleSheet(QString("QPushButton { background: transparent; border: 1px solid rgba(0,0,0,40); "
                                   "border-radius: %1px; } QPushButton:focus { border: 1px solid #72CBD1; }")
                               .arg(radius));
  } else {
    FButton->setStyleSheet(QString());
  }
}

void TButton::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  FButton->setGeometry(rect());
  UpdateLook();
}

void TFocusLayout::SetFocusOrder(const QList<QWidget*>& order) {
  FOrder.clear();
  for (QWidget* w : order) FOrder.append(w);
  for (qsizetype i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

bool TFocusLayout::focusNextPrevChild(bool next) {
  QWidget* focus = QApplication::focusWidget();
  qsizetype at = -1;
  for (qsizetype i = 0; i < FOrder.size(); ++i)
    if (FOrder[i] && (FOrder[i] == focus || FOrder[i]->isAncestorOf(focus) || FOrder[i]->focusProxy() == focus)) at = i;
  if (at < 0 || FOrder.isEmpty()) return TLayout::focusNextPrevChild(next);
  for (qsizetype step = 1; step <= FOrder.size(); ++step) {
    const qsizetype i = (at + (next ? step : -step) + FOrder.size() * 2) % FOrder.size();
    QWidget* candidate = FOrder[i];
    if (candidate && candidate->isVisible() && candidate->isEnabled()) {
      candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return true;
}
