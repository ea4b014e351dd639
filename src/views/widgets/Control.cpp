#include "views/widgets/Control.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>
#include <cmath>

#include "views/widgets/ErrorHook.h"

TControl::TControl(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  // A control made inside a parent control takes its place at once.
  GeometryChanged();
}

TControl* TControl::ParentControl() const { return qobject_cast<TControl*>(parentWidget()); }

void TControl::SetBounds(qreal x, qreal y, qreal width, qreal height) {
  FPosition = QPointF(x, y);
  FSize = QSizeF(width, height);
  GeometryChanged();
}

void TControl::SetPosition(qreal x, qreal y) {
  FPosition = QPointF(x, y);
  GeometryChanged();
}

void TControl::SetSize(qreal width, qreal height) {
  FSize = QSizeF(width, height);
  GeometryChanged();
}

void TControl::SetScale(qreal sx, qreal sy) {
  FScale = QPointF(sx, sy);
  GeometryChanged();
}

QPointF TControl::AbsoluteScale() const {
  QPointF s = FScale;
  if (TControl* p = ParentControl()) {
    const QPointF ps = p->AbsoluteScale();
    s = QPointF(s.x() * ps.x(), s.y() * ps.y());
  }
  return s;
}

void TControl::SetAlign(TAlignLayout align) {
  FAlign = align;
  GeometryChanged();
}

void TControl::SetMargins(qreal left, qreal top, qreal right, qreal bottom) {
  FMargins = QMarginsF(left, top, right, bottom);
  GeometryChanged();
}

void TControl::SetOpacity(qreal opacity) {
  FOpacity = opacity;
  update();
  for (QWidget* w : findChildren<QWidget*>()) w->update();
}

qreal TControl::AbsoluteOpacity() const {
  qreal o = FOpacity;
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* c = qobject_cast<TControl*>(w)) o *= c->FOpacity;
  return o;
}

void TControl::SetHitTest(bool hitTest) { FHitTest = hitTest; }

namespace {
QWidget* TargetIn(QWidget* parent, QPoint p) {
  const QObjectList& children = parent->children();
  for (qsizetype i = children.size() - 1; i >= 0; --i) {
    auto* child = qobject_cast<QWidget*>(children[i]);
    if (!child || child->isWindow() || child->isHidden() || child->testAttribute(Qt::WA_TransparentForMouseEvents)) continue;
    const QPoint local = p - child->pos();
    if (!child->rect().contains(local)) continue;
    if (!child->mask().isEmpty() && !child->mask().contains(local)) continue;
    if (QWidget* deeper = TargetIn(child, local)) return deeper;
    if (auto* control = qobject_cast<TControl*>(child); control && !control->HitTest()) continue;
    return child;
  }
  return nullptr;
}
}  // namespace

QWidget* PointerTargetAt(QWidget* window, QPoint windowPos) { return window ? TargetIn(window, windowPos) : nullptr; }

void TControl::SetHoverTarget(QWidget* target, QPointF windowPos) {
  if (target == FHoverTarget) return;
  if (FHoverTarget) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(FHoverTarget, &leave);
  }
  FHoverTarget = target;
  if (target) {
    const QPointF local = windowPos - QPointF(target->mapTo(target->window(), QPoint(0, 0)));
    QEnterEvent enter(local, windowPos, target->mapToGlobal(local));
    QCoreApplication::sendEvent(target, &enter);
    setCursor(target->cursor());
  } else {
    unsetCursor();
  }
}

void TControl::ForwardMouse(QMouseEvent* event) {
  const QPointF windowPos = event->position() + QPointF(mapTo(window(), QPoint(0, 0)));
  QWidget* target = nullptr;
  // A move with no button held means the release went elsewhere (a window
  // move by the system, say): the press is over.
  if (event->type() == QEvent::MouseMove && event->buttons() == Qt::NoButton) FPressTarget = nullptr;
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
    // The widget beneath takes the press and, as the toolkit's capture
    // would, every move and release until the buttons are up.
    target = PointerTargetAt(window(), windowPos.toPoint());
    FPressTarget = target;
  } else if (FPressTarget) {
    target = FPressTarget;
  } else {
    target = PointerTargetAt(window(), windowPos.toPoint());
    if (event->type() == QEvent::MouseMove) Guarded([&] { SetHoverTarget(target, windowPos); });
  }
  if (event->type() == QEvent::MouseButtonRelease && event->buttons() == Qt::NoButton) FPressTarget = nullptr;
  // A target that does not take the event (disabled, say) hands it on to its
  // parents, which may lead back here: it ends here then.
  if (!target || FForwarding) return;
  const QPointF local = windowPos - QPointF(target->mapTo(target->window(), QPoint(0, 0)));
  QMouseEvent forwarded(event->type(), local, windowPos, event->globalPosition(), event->button(), event->buttons(),
                        event->modifiers());
  FForwarding = true;
  QCoreApplication::sendEvent(target, &forwarded);
  FForwarding = false;
}

QPointF TControl::AbsoluteOrigin() const {
  if (TControl* p = ParentControl()) {
    const QPointF po = p->AbsoluteOrigin();
    const QPointF ps = p->AbsoluteScale();
    return QPointF(po.x() + FPosition.x() * ps.x(), po.y() + FPosition.y() * ps.y());
  }
  if (isWindow()) return QPointF(0, 0);
  QPointF base(0, 0);
  if (QWidget* pw = parentWidget()) base = pw->mapTo(window(), QPoint(0, 0));
  return base + FPosition;
}

QPointF TControl::LocalToAbsolute(QPointF local) const {
  const QPointF o = AbsoluteOrigin();
  const QPointF s = AbsoluteScale();
  return QPointF(o.x() + local.x() * s.x(), o.y() + local.y() * s.y());
}

QPointF TControl::AbsoluteToLocal(QPointF absolute) const {
  const QPointF o = AbsoluteOrigin();
  const QPointF s = AbsoluteScale();
  return QPointF((absolute.x() - o.x()) / s.x(), (absolute.y() - o.y()) / s.y());
}

void TControl::GeometryChanged() {
  TControl* p = ParentControl();
  if (p && FAlign != TAlignLayout::None)
    p->Realign();
  else
    ApplyGeometry();
}

void TControl::Realign() { ApplyGeometry(); }

void TControl::PlaceAligned(const QRectF& outer) {
  FPosition = outer.topLeft();
  FSize = QSizeF(std::max<qreal>(0, outer.width() / FScale.x()), std::max<qreal>(0, outer.height() / FScale.y()));
}

void TControl::ApplyGeometry() {
  const QPointF o = AbsoluteOrigin();
  const QPointF s = AbsoluteScale();
  const int left = qRound(o.x());
  const int top = qRound(o.y());
  const int right = qRound(o.x() + FSize.width() * s.x());
  const int bottom = qRound(o.y() + FSize.height() * s.y());
  FApplying = true;
  if (isWindow()) {
    resize(std::max(0, right - left), std::max(0, bottom - top));
  } else {
    QPoint base(0, 0);
    if (TControl* p = ParentControl()) {
      const QPointF po = p->AbsoluteOrigin();
      base = QPoint(qRound(po.x()), qRound(po.y()));
    } else if (QWidget* pw = parentWidget()) {
      base = pw->mapTo(window(), QPoint(0, 0));
    }
    setGeometry(left - base.x(), top - base.y(), std::max(0, right - left), std::max(0, bottom - top));
  }
  FApplying = false;
  AlignChildren();
  for (QObject* child : children())
    if (auto* c = qobject_cast<TControl*>(child)) c->ApplyGeometry();
  update();
}

void TControl::AlignChildren() {
  QRectF rest(QPointF(0, 0), FSize);
  auto place = [](TControl* c, QRectF r) { c->PlaceAligned(r); };
  QList<TControl*> controls;
  for (QObject* child : children())
    if (auto* c = qobject_cast<TControl*>(child); c && c->FAlign != TAlignLayout::None && !c->isHidden()) controls.append(c);
  // Bands first, in order, then what fills the rest.
  for (TControl* c : controls) {
    const QMarginsF m = c->FMargins;
    const QSizeF outer(c->FSize.width() * c->FScale.x(), c->FSize.height() * c->FScale.y());
    switch (c->FAlign) {
      case TAlignLayout::Top:
        place(c, QRectF(rest.left() + m.left(), rest.top() + m.top(), rest.width() - m.left() - m.right(), outer.height()));
        rest.setTop(rest.top() + outer.height() + m.top() + m.bottom());
        break;
      case TAlignLayout::Bottom:
        place(c, QRectF(rest.left() + m.left(), rest.bottom() - m.bottom() - outer.height(), rest.width() - m.left() - m.right(),
                        outer.height()));
        rest.setBottom(rest.bottom() - outer.height() - m.top() - m.bottom());
        break;
      case TAlignLayout::Left:
        place(c, QRectF(rest.left() + m.left(), rest.top() + m.top(), outer.width(), rest.height() - m.top() - m.bottom()));
        rest.setLeft(rest.left() + outer.width() + m.left() + m.right());
        break;
      case TAlignLayout::Right:
        place(c, QRectF(rest.right() - m.right() - outer.width(), rest.top() + m.top(), outer.width(),
                        rest.height() - m.top() - m.bottom()));
        rest.setRight(rest.right() - outer.width() - m.left() - m.right());
        break;
      default:
        break;
    }
  }
  for (TControl* c : controls) {
    const QMarginsF m = c->FMargins;
    const QSizeF outer(c->FSize.width() * c->FScale.x(), c->FSize.height() * c->FScale.y());
    switch (c->FAlign) {
      case TAlignLayout::Client:
        place(c, rest.marginsRemoved(m));
        break;
      case TAlignLayout::Center: {
        // Centred in what is left once its margins are taken off.
        const QRectF area = rest.marginsRemoved(m);
        place(c, QRectF(area.center().x() - outer.width() / 2, area.center().y() - outer.height() / 2, outer.width(),
                        outer.height()));
        break;
      }
      case TAlignLayout::Contents:
        place(c, QRectF(QPointF(0, 0), FSize).marginsRemoved(m));
        break;
      default:
        break;
    }
  }
}

void TControl::Paint(QPainter&) {}

void TControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
  const QPointF o = AbsoluteOrigin();
  const QPointF s = AbsoluteScale();
  // The widget starts at the rounded origin; draw from the exact one.
  painter.translate(o.x() - qRound(o.x()), o.y() - qRound(o.y()));
  painter.scale(s.x(), s.y());
  painter.setOpacity(AbsoluteOpacity());
  Guarded([&] { Paint(painter); });
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(Qt::KeyboardModifiers shift, qreal x, qreal y) {
  if (OnMouseMove) OnMouseMove(this, Qt::NoButton, shift, x, y);
}

void TControl::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DoMouseEnter() { FIsMouseOver = true; }
void TControl::DoMouseLeave() { FIsMouseOver = false; }

void TControl::SetMouseOver(bool over) {
  if (over == FIsMouseOver) return;
  if (over)
    DoMouseEnter();
  else
    DoMouseLeave();
}

QPointF TControl::EventToLocal(const QMouseEvent* event) const {
  // The widget's own pixel position plus where the widget sits in the window.
  return AbsoluteToLocal(event->position() + QPointF(mapTo(window(), QPoint(0, 0))));
}

void TControl::mousePressEvent(QMouseEvent* event) {
  if (!FHitTest) return ForwardMouse(event);
  const QPointF p = EventToLocal(event);
  if (event->button() == Qt::LeftButton) FLeftDown = true;
  Guarded([&] { MouseDown(event->button(), event->modifiers(), p.x(), p.y()); });
}

void TControl::mouseMoveEvent(QMouseEvent* event) {
  if (!FHitTest) return ForwardMouse(event);
  const QPointF p = EventToLocal(event);
  // While a button holds the pointer captured, leaving and re-entering is
  // seen here rather than through enter and leave events.
  Guarded([&] {
    if (event->buttons() != Qt::NoButton) SetMouseOver(BoundsRect().contains(p));
    MouseMove(event->modifiers(), p.x(), p.y());
  });
}

void TControl::mouseReleaseEvent(QMouseEvent* event) {
  if (!FHitTest) return ForwardMouse(event);
  const QPointF p = EventToLocal(event);
  QPointer<TControl> alive(this);
  if (event->button() == Qt::LeftButton) {
    const bool wasDown = FLeftDown;
    FLeftDown = false;
    if (wasDown && isEnabled() && BoundsRect().contains(p)) Guarded([&] { Click(); });
    if (!alive) return;
  }
  Guarded([&] { MouseUp(event->button(), event->modifiers(), p.x(), p.y()); });
  if (!alive) return;
  if (event->buttons() == Qt::NoButton) Guarded([&] { SetMouseOver(rect().contains(event->position().toPoint())); });
}

void TControl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!FHitTest) return ForwardMouse(event);
  QWidget::mouseDoubleClickEvent(event);
}

void TControl::wheelEvent(QWheelEvent* event) {
  if (FHitTest) return QWidget::wheelEvent(event);
  const QPointF windowPos = event->position() + QPointF(mapTo(window(), QPoint(0, 0)));
  QWidget* target = PointerTargetAt(window(), windowPos.toPoint());
  if (!target || FForwarding) return event->ignore();
  const QPointF local = windowPos - QPointF(target->mapTo(target->window(), QPoint(0, 0)));
  QWheelEvent forwarded(local, event->globalPosition(), event->pixelDelta(), event->angleDelta(), event->buttons(),
                        event->modifiers(), event->phase(), event->inverted(), event->source());
  FForwarding = true;
  QCoreApplication::sendEvent(target, &forwarded);
  FForwarding = false;
  event->setAccepted(forwarded.isAccepted());
}

void TControl::enterEvent(QEnterEvent*) {
  if (!FHitTest) return;
  Guarded([&] { SetMouseOver(true); });
}
void TControl::leaveEvent(QEvent*) {
  if (!FHitTest) {
    if (!FPressTarget) Guarded([&] { SetHoverTarget(nullptr, QPointF()); });
    return;
  }
  Guarded([&] { SetMouseOver(false); });
}

bool TControl::event(QEvent* event) {
  // Hidden controls take no place in their parent's alignment.
  if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) && FAlign != TAlignLayout::None)
    if (TControl* p = ParentControl()) p->Realign();
  return QWidget::event(event);
}

void TControl::childEvent(QChildEvent* event) {
  QWidget::childEvent(event);
  if (event->removed() || (event->added() && qobject_cast<TControl*>(event->child()))) Realign();
}

void TControl::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) update();
  if (event->type() == QEvent::ParentChange) GeometryChanged();
}

void TControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Only a control that is not placed by a parent control takes its size
  // from outside (a window, or a control inside a plain widget).
  if (FApplying || ParentControl()) return;
  const QPointF s = AbsoluteScale();
  FSize = QSizeF(width() / s.x(), height() / s.y());
  AlignChildren();
  for (QObject* child : children())
    if (auto* c = qobject_cast<TControl*>(child)) c->ApplyGeometry();
}

TLayout::TLayout(QWidget* parent) : TControl(parent) { FHitTest = false; }

TRectangle::TRectangle(QWidget* parent) : TControl(parent) {}

void TRectangle::SetFillColor(QColor color) {
  FFill = color;
  update();
}

void TRectangle::SetStrokeColor(QColor color) {
  FStroke = color;
  update();
}

void TRectangle::SetCornerRadius(qreal radius) {
  FRadius = radius;
  update();
}

void TRectangle::Paint(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(FFill);
  if (FRadius > 0)
    painter.drawRoundedRect(BoundsRect(), FRadius, FRadius);
  else
    painter.fillRect(BoundsRect(), FFill);
  if (FStroke.isValid()) {
    painter.setPen(QPen(FStroke, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(BoundsRect().adjusted(0.5, 0.5, -0.5, -0.5), FRadius, FRadius);
  }
}

TScaledLayout::TScaledLayout(QWidget* parent) : TControl(parent) { FHitTest = false; }

void TScaledLayout::SetOriginalSize(qreal width, qreal height) {
  const QSizeF outer(FSize.width() * FScale.x(), FSize.height() * FScale.y());
  FOriginalSize = QSizeF(width, height);
  SetOuterBounds(FPosition.x(), FPosition.y(), outer.width(), outer.height());
}

void TScaledLayout::SetOuterBounds(qreal x, qreal y, qreal width, qreal height) {
  PlaceAligned(QRectF(x, y, width, height));
  GeometryChanged();
}

void TScaledLayout::PlaceAligned(const QRectF& outer) {
  FPosition = outer.topLeft();
  FSize = FOriginalSize;
  const qreal ow = FOriginalSize.width() > 0 ? FOriginalSize.width() : 1;
  const qreal oh = FOriginalSize.height() > 0 ? FOriginalSize.height() : 1;
  FScale = QPointF(outer.width() / ow, outer.height() / oh);
}
