// Pictures and text placed in design units.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include "views/widgets/Bitmap.h"
#include "views/widgets/Control.h"

// A picture fitted into the control's bounds, keeping its proportions and
// centred (never enlarged beyond what the bounds allow); or, stretched, filling
// the bounds exactly.
class TImage : public TControl {
  Q_OBJECT
 public:
  explicit TImage(QWidget* parent = nullptr);
  TBitmap& Bitmap() { return FBitmap; }
  void SetStretch(bool stretch);

 protected:
  void Paint(QPainter& painter) override;

 private:
  TBitmap FBitmap;
  bool FStretch = false;
};

// One line of text, cut off at the control's edge.
class TLabel : public TControl {
  Q_OBJECT
 public:
  explicit TLabel(QWidget* parent = nullptr);
  void SetText(const QString& text);
  QString Text() const { return FText; }
  void SetFontColor(QColor color);
  QColor FontColor() const { return FFontColor; }
  // Font size in design units.
  void SetFontSize(qreal size);
  void SetBold(bool bold);
  void SetTextAlign(Qt::Alignment align);
  // Lines break at word ends, and anywhere in a word longer than the line (a
  // folder's path); a new line in the text starts one.
  void SetWordWrap(bool wrap);

 protected:
  void Paint(QPainter& painter) override;

 private:
  QString FText;
  bool FWordWrap = false;
  QColor FFontColor = Qt::black;
  qreal FFontSize = 12;
  bool FBold = false;
  Qt::Alignment FTextAlign = Qt::AlignLeft | Qt::AlignVCenter;
};

// The family every screen's text uses.
QString DefaultFontFamily();
