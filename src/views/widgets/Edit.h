// Text entry and push buttons placed in design units.
//
// Both wrap a toolkit widget that fills the control; its font follows the
// design-unit size times the screen scale, so the control scales with the
// screen like every other. Keyboard: an edit or push button takes the focus
// by click and by Tab; Space presses the focused push button; Enter presses
// no button.
#pragma once

#include <QColor>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QString>

#include "views/widgets/Control.h"

// A single-line edit.
class TEdit : public TControl {
  Q_OBJECT
 public:
  explicit TEdit(QWidget* parent = nullptr);

  void SetText(const QString& text);
  QString Text() const { return FEdit->text(); }
  // Shows a mark for each typed character instead of the text.
  void SetPassword(bool password);
  void SetFontColor(QColor color);
  // Font size in design units.
  void SetFontSize(qreal size);
  // No frame and no background: the edit shows what lies beneath it.
  void SetTransparent(bool transparent);
  // Space between the left edge and the text, in design units.
  void SetTextPadding(qreal left);

  // The toolkit's edit (focus, typing, tests).
  QLineEdit* Editor() const { return FEdit; }

  // The focus left the edit for another control of the window.
  TNotifyEvent OnExit;
  // The text changed by typing.
  TNotifyEvent OnChangeTracking;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateLook();
  QLineEdit* FEdit;
  QColor FFontColor = Qt::black;
  qreal FFontSize = 12;
  qreal FPadding = 0;
  bool FTransparent = false;
};

// A push button with a caption; OnClick on a click or on Space.
class TButton : public TControl {
  Q_OBJECT
 public:
  explicit TButton(QWidget* parent = nullptr);

  void SetText(const QString& text);
  QString Text() const { return FButton->text(); }
  void SetFontSize(qreal size);
  // A flat round button without caption look (the settings window's small
  // test button).
  void SetTransparent(bool transparent);

  QPushButton* Button() const { return FButton; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateLook();
  QPushButton* FButton;
  qreal FFontSize = 12;
  bool FTransparent = false;
};

// A layout whose controls form a closed focus ring: Tab and Shift+Tab move
// through them in the given order and wrap around, never leaving the layout
// while the focus is inside it (a popup's edit and buttons).
class TFocusLayout : public TLayout {
  Q_OBJECT
 public:
  using TLayout::TLayout;
  void SetFocusOrder(const QList<QWidget*>& order);

 protected:
  bool focusNextPrevChild(bool next) override;

 private:
  QList<QPointer<QWidget>> FOrder;
};
