#include "views/widgets/StdCtrls.h"

#include <QPainter>
#include <QTextOption>

QString DefaultFontFamily() { return QStringLiteral("Noto Sans CJK KR"); }

TImage::TImage(QWidget* parent) : TControl(parent) {
  FBitmap.OnChange = [this] { update(); };
}

void TImage::SetStretch(bool stretch) {
  FStretch = stretch;
  update();
}

void TImage::Paint(QPainter& painter) {
  if (FBitmap.IsEmpty()) return;
  if (FStretch) {
    painter.drawImage(BoundsRect(), FBitmap.Image());
    return;
  }
  const QSizeF own(FBitmap.Width(), FBitmap.Height());
  const QSizeF fitted = own.scaled(BoundsRect().size(), Qt::KeepAspectRatio);
  const QSizeF size = fitted.width() > own.width() ? own : fitted;
  const QRectF target(QPointF((Width() - size.width()) / 2, (Height() - size.height()) / 2), size);
  painter.drawImage(target, FBitmap.Image());
}

TLabel::TLabel(QWidget* parent) : TControl(parent) { SetHitTest(false); }

void TLabel::SetText(const QString& text) {
  FText = text;
  update();
}

void TLabel::SetFontColor(QColor color) {
  FFontColor = color;
  update();
}

void TLabel::SetFontSize(qreal size) {
  FFontSize = size;
  update();
}

void TLabel::SetBold(bool bold) {
  FBold = bold;
  update();
}

void TLabel::SetTextAlign(Qt::Alignment align) {
  FTextAlign = align;
  update();
}

void TLabel::Paint(QPainter& painter) {
  QFont font(DefaultFontFamily());
  font.setBold(FBold);
  // The painter is scaled to design units, so the size is given in them.
  font.setPixelSize(qMax(1, qRound(FFontSize)));
  painter.setFont(font);
  painter.setPen(FFontColor);
  painter.setClipRect(BoundsRect());
  if (!FWordWrap) {
    painter.drawText(BoundsRect(), static_cast<int>(FTextAlign) | Qt::TextSingleLine, FText);
    return;
  }
  QTextOption option(FTextAlign);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  painter.drawText(BoundsRect(), FText, option);
}

void TLabel::SetWordWrap(bool wrap) {
  FWordWrap = wrap;
  update();
}
