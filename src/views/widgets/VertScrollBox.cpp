#include "views/widgets/VertScrollBox.h"

#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

TVertScrollBox::TVertScrollBox(QWidget* parent) : TControl(parent), FContent(new TLayout(this)), FBar(new QScrollBar(Qt::Vertical, this)) {
  FBar->setSingleStep(20);
  connect(FBar, &QScrollBar::valueChanged, this, [this](int value) {
    if (!FUpdating) SetViewportPositionY(value);
  });
  UpdateContent();
}

qreal TVertScrollBox::ContentHeight() const {
  qreal bottom = 0;
  for (QObject* child : FContent->children())
    if (auto* c = qobject_cast<TControl*>(child); c && !c->isHidden())
      bottom = std::max(bottom, c->Y() + c->Height() * c->Scale().y() + c->Margins().bottom());
  return bottom;
}

qreal TVertScrollBox::MaxViewportPositionY() const { return std::max<qreal>(0, FContent->Height() - Height()); }

void TVertScrollBox::UpdateContent() {
  const qreal width = std::max<qreal>(0, Width() - BarWidth);
  // Top-aligned rows do not depend on the content's height: lay them out at
  // the new width first, then take the height they need.
  FContent->SetBounds(0, -FOffset, width, FContent->Height());
  FContent->SetBounds(0, -FOffset, width, ContentHeight());
  FUpdating = true;
  FBar->setRange(0, static_cast<int>(std::ceil(MaxViewportPositionY())));
  FBar->setPageStep(std::max(1, static_cast<int>(Height())));
  FUpdating = false;
  SetViewportPositionY(FOffset);
  PlaceBar();
}

void TVertScrollBox::SetViewportPositionY(qreal offset) {
  FOffset = std::clamp<qreal>(offset, 0, MaxViewportPositionY());
  FContent->SetPosition(0, -FOffset);
  FUpdating = true;
  FBar->setValue(qRound(FOffset));
  FUpdating = false;
}

void TVertScrollBox::PlaceBar() {
  const int barWidth = std::max(1, qRound(BarWidth * AbsoluteScale().x()));
  FBar->setGeometry(width() - barWidth, 0, barWidth, height());
  FBar->raise();
}

void TVertScrollBox::PlaceAligned(const QRectF& outer) {
  TControl::PlaceAligned(outer);
  UpdateContent();
}

void TVertScrollBox::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  if (!ParentControl()) UpdateContent();
  PlaceBar();
}

void TVertScrollBox::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (FDisableMouseWheel || delta == 0) {
    event->ignore();
    return;
  }
  SetViewportPositionY(FOffset - delta / 120.0 * WheelStep);
  event->accept();
}
