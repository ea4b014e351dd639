#include "views/viewer/ViewerImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QThreadPool>
#include <cmath>
#include <mutex>

#include "logging/Log.h"
#include "views/widgets/ErrorHook.h"

// A decode on a worker thread hands its copy back through the mailbox: the
// control clears Receiver (under the lock) when it is destroyed, so a worker
// posts only to a live control, and Qt drops what was posted to a control
// destroyed since.
struct TViewerImage::TMailbox {
  std::mutex Lock;
  TViewerImage* Receiver = nullptr;
};

TViewerImage::TViewerImage(QWidget* parent) : TControl(parent), FMailbox(std::make_shared<TMailbox>()) {
  FMailbox->Receiver = this;
}

TViewerImage::~TViewerImage() {
  std::lock_guard<std::mutex> lock(FMailbox->Lock);
  FMailbox->Receiver = nullptr;
}

namespace {
QSizeF Fitted(QSize picture, QSizeF bounds) {
  if (picture.isEmpty() || bounds.isEmpty()) return QSizeF(0, 0);
  return QSizeF(picture).scaled(bounds, Qt::KeepAspectRatio);
}
}  // namespace

QSize TViewerImage::NeededPixels(qreal displayedScale) const {
  if (!FPicture) return QSize();
  const QSizeF fitted = Fitted(FPicture->Size(), BoundsRect().size());
  const QPointF s = AbsoluteScale() * displayedScale * devicePixelRatioF();
  return QSize(static_cast<int>(std::ceil(fitted.width() * s.x() - 1e-6)),
               static_cast<int>(std::ceil(fitted.height() * s.y() - 1e-6)));
}

QSize TViewerImage::ShownResolution() const { return FDetail.isNull() ? FBase.size() : FDetail.size(); }

QRectF TViewerImage::ShownRect() const {
  if (!FPicture) return QRectF();
  const QSizeF fitted = Fitted(FPicture->Size(), BoundsRect().size());
  const QPointF corner((Width() - fitted.width()) / 2, (Height() - fitted.height()) / 2);
  return QRectF(FPosition + corner * FDisplayed, fitted * FDisplayed);
}

void TViewerImage::LoadFromFile(const QString& fileName) {
  std::shared_ptr<const TViewerPicture> picture = TViewerPicture::Open(fileName);
  const QSizeF fitted = Fitted(picture->Size(), BoundsRect().size());
  // The base covers zoom 1; a zoomed pane asks for its finer copy below.
  const QPointF s1 = AbsoluteScale() * devicePixelRatioF();
  const int level = picture->LevelFor(QSize(static_cast<int>(std::ceil(fitted.width() * s1.x() - 1e-6)),
                                            static_cast<int>(std::ceil(fitted.height() * s1.y() - 1e-6))));
  QImage base = picture->Decode(level);
  FPicture = std::move(picture);
  FBase = std::move(base);
  FBaseLevel = level;
  FDetail = QImage();
  FDetailLevel = -1;
  FFetchLevel = -1;
  FFetchFailed = false;
  ++FGeneration;
  EnsureResolution();
  update();
}

void TViewerImage::SetView(qreal displayedScale, QPointF position) {
  if (displayedScale == FDisplayed && position == FPosition) return;
  FDisplayed = displayedScale;
  FPosition = position;
  EnsureResolution();
  update();
}

void TViewerImage::EnsureResolution() {
  if (!FPicture) return;
  const int need = FPicture->LevelFor(NeededPixels(FDisplayed));
  if (need <= FBaseLevel) {
    FDetail = QImage();
    FDetailLevel = -1;
    return;
  }
  if (FDetailLevel >= need || FFetchLevel >= 0 || FFetchFailed) return;
  StartFetch(need);
}

void TViewerImage::StartFetch(int level) {
  FFetchLevel = level;
  std::shared_ptr<TMailbox> mailbox = FMailbox;
  std::shared_ptr<const TViewerPicture> picture = FPicture;
  const std::uint64_t generation = FGeneration;
  QThreadPool::globalInstance()->start([mailbox, picture, generation, level] {
    QImage image;
    try {
      image = picture->Decode(level);
    } catch (const std::exception& e) {
      Trace(std::string("Viewer detail decode : ") + e.what());
    } catch (...) {
      Trace("Viewer detail decode failed");
    }
    std::lock_guard<std::mutex> lock(mailbox->Lock);
    if (TViewerImage* receiver = mailbox->Receiver)
      QMetaObject::invokeMethod(
          receiver, [receiver, generation, level, image = std::move(image)]() mutable { receiver->FetchDone(generation, level, std::move(image)); },
          Qt::QueuedConnection);
  });
}

void TViewerImage::FetchDone(std::uint64_t generation, int level, QImage image) {
  if (generation != FGeneration) return;  // a picture opened since
  FFetchLevel = -1;
  if (image.isNull()) {
    // The base stays; trying again would fail the same way.
    FFetchFailed = true;
    return;
  }
  if (level > FBaseLevel && level > FDetailLevel) {
    FDetail = std::move(image);
    FDetailLevel = level;
    update();
  }
  EnsureResolution();
}

void TViewerImage::paintEvent(QPaintEvent* event) {
  const QImage& image = FDetail.isNull() ? FBase : FDetail;
  if (image.isNull()) return;
  const QPointF scale = AbsoluteScale();
  const QPointF origin = AbsoluteOrigin();
  // The widget starts at the rounded origin; place from the exact one.
  const QPointF offset(origin.x() - qRound(origin.x()), origin.y() - qRound(origin.y()));
  const QRectF shown = ShownRect();
  const QRectF target(offset.x() + shown.x() * scale.x(), offset.y() + shown.y() * scale.y(), shown.width() * scale.x(),
                      shown.height() * scale.y());
  const QRectF visible = target & QRectF(event->rect());
  if (visible.isEmpty()) return;
  const qreal fx = image.width() / target.width();
  const qreal fy = image.height() / target.height();
  const QRectF source((visible.x() - target.x()) * fx, (visible.y() - target.y()) * fy, visible.width() * fx,
                      visible.height() * fy);
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setOpacity(AbsoluteOpacity());
  painter.drawImage(visible, image, source);
}

void TViewerImage::resizeEvent(QResizeEvent* event) {
  TControl::resizeEvent(event);
  EnsureResolution();
}

void TViewerImage::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a press as well.
  TControl::mouseDoubleClickEvent(event);
  Guarded([&] {
    if (OnDblClick) OnDblClick(this);
  });
}

void TViewerImage::DoMouseEnter() {
  TControl::DoMouseEnter();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TViewerImage::DoMouseLeave() {
  TControl::DoMouseLeave();
  if (OnMouseLeave) OnMouseLeave(this);
}
