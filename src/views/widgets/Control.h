// Controls placed in design units.
//
// Every screen is drawn at one design size and shown at a screen ratio. A
// TControl keeps its position and size in design units: its position in its
// parent's units, its size in its own units. Its Scale multiplies everything it
// draws and everything inside it, so a layout at 870 x 390 with Scale 0.6666
// covers 580 x 260 pixels and its children keep their design positions.
// Painting happens in design units (the painter is scaled), and pointer
// positions reach the handlers in the control's own design units.
//
// Pointer input: a control whose HitTest is off takes none itself; a press,
// move, release or wheel on a spot of it that none of its children covers
// reaches whatever lies beneath, as if the control were not there (its
// children still take input). Layouts and views are such controls;
// rectangles, images, buttons and edits take input.
//
// Alignment places a child inside its parent in the order the children were
// added: Top, Bottom, Left and Right take a band off the space left over,
// Client fills what remains, Center centres the child in what remains less
// its margins,
// Contents covers the whole parent, None keeps the given position.
#pragma once

#include <QMarginsF>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QPointer>
#include <QWidget>
#include <functional>

class QPainter;

enum class TAlignLayout { None, Top, Bottom, Left, Right, Client, Center, Contents };

class TControl : public QWidget {
  Q_OBJECT
 public:
  using TNotifyEvent = std::function<void(TControl* Sender)>;
  using TMouseEvent = std::function<void(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y)>;

  explicit TControl(QWidget* parent = nullptr);

  // Position in the parent's design units, size in own design units.
  void SetBounds(qreal x, qreal y, qreal width, qreal height);
  void SetPosition(qreal x, qreal y);
  void SetSize(qreal width, qreal height);
  void SetWidth(qreal width) { SetSize(width, FSize.height()); }
  void SetHeight(qreal height) { SetSize(FSize.width(), height); }
  qreal X() const { return FPosition.x(); }
  qreal Y() const { return FPosition.y(); }
  qreal Width() const { return FSize.width(); }
  qreal Height() const { return FSize.height(); }
  QRectF BoundsRect() const { return QRectF(QPointF(0, 0), FSize); }

  void SetScale(qreal sx, qreal sy);
  QPointF Scale() const { return FScale; }
  // Own scale times every enclosing control's scale: pixels per design unit.
  QPointF AbsoluteScale() const;

  void SetAlign(TAlignLayout align);
  TAlignLayout Align() const { return FAlign; }
  void SetMargins(qreal left, qreal top, qreal right, qreal bottom);
  QMarginsF Margins() const { return FMargins; }

  void SetOpacity(qreal opacity);
  qreal Opacity() const { return FOpacity; }
  qreal AbsoluteOpacity() const;

  // False: pointer input on the control's own area goes through to what lies
  // beneath; its children still take theirs.
  void SetHitTest(bool hitTest);
  bool HitTest() const { return FHitTest; }

  // The name views are addressed by (the class name without its leading T).
  void SetName(const QString& name) { setObjectName(name); }
  QString Name() const { return objectName(); }

  // Window position (pixels, fractional) of a point in own design units, and back.
  QPointF LocalToAbsolute(QPointF local) const;
  QPointF AbsoluteToLocal(QPointF absolute) const;
  bool IsMouseOver() const { return FIsMouseOver; }

  // Places this control and, in turn, everything inside it.
  void Realign();
  // Takes the place alignment gives (parent units): position and outer size.
  virtual void PlaceAligned(const QRectF& outer);

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseMove;
  TMouseEvent OnMouseUp;

 protected:
  // Drawing in own design units; the painter is scaled and clipped already.
  virtual void Paint(QPainter& painter);
  virtual void Click();
  virtual void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y);
  virtual void MouseMove(Qt::KeyboardModifiers shift, qreal x, qreal y);
  virtual void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y);
  virtual void DoMouseEnter();
  virtual void DoMouseLeave();

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  bool event(QEvent* event) override;
  void childEvent(QChildEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 protected:
  TControl* ParentControl() const;
  QPointF AbsoluteOrigin() const;
  // Geometry changed: re-place this control (through its parent when aligned).
  void GeometryChanged();

  QPointF FPosition;
  QSizeF FSize{100, 100};
  QPointF FScale{1, 1};
  QMarginsF FMargins;
  TAlignLayout FAlign = TAlignLayout::None;
  qreal FOpacity = 1.0;
  bool FIsMouseOver = false;
  bool FLeftDown = false;
  bool FApplying = false;
  bool FHitTest = true;

 private:
  QPointF EventToLocal(const QMouseEvent* event) const;
  // Pointer input on a control without hit test: passed to what lies beneath.
  void ForwardMouse(QMouseEvent* event);
  void SetHoverTarget(QWidget* target, QPointF windowPos);
  QPointer<QWidget> FPressTarget;
  QPointer<QWidget> FHoverTarget;
  bool FForwarding = false;
  void ApplyGeometry();
  void AlignChildren();
  void SetMouseOver(bool over);
};

// A container that draws nothing and takes no pointer input of its own.
class TLayout : public TControl {
  Q_OBJECT
 public:
  explicit TLayout(QWidget* parent = nullptr);
};

// The topmost widget under `windowPos` (window pixels) that takes pointer
// input: hidden and transparent widgets are skipped, and controls without hit
// test are looked through to what lies beneath. nullptr when nothing does.
QWidget* PointerTargetAt(QWidget* window, QPoint windowPos);

// A filled rectangle, without border unless given a stroke colour; rounded
// with a corner radius.
class TRectangle : public TControl {
  Q_OBJECT
 public:
  explicit TRectangle(QWidget* parent = nullptr);
  void SetFillColor(QColor color);
  QColor FillColor() const { return FFill; }
  // A one-unit border inside the bounds; an invalid colour: none.
  void SetStrokeColor(QColor color);
  void SetCornerRadius(qreal radius);

 protected:
  void Paint(QPainter& painter) override;

 private:
  QColor FFill = Qt::white;
  QColor FStroke;
  qreal FRadius = 0;
};

// Keeps its children laid out at an original design size and scales them to
// whatever size it is given (the non-uniform scaling layout later screens use).
// Like every layout it takes no pointer input of its own.
class TScaledLayout : public TControl {
  Q_OBJECT
 public:
  explicit TScaledLayout(QWidget* parent = nullptr);
  // The size the children are designed for (own units).
  void SetOriginalSize(qreal width, qreal height);
  QSizeF OriginalSize() const { return FOriginalSize; }
  // Outer place in the parent's units; the content is stretched to fill it.
  void SetOuterBounds(qreal x, qreal y, qreal width, qreal height);
  void PlaceAligned(const QRectF& outer) override;

 private:
  QSizeF FOriginalSize{100, 100};
};
