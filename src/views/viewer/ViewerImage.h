// The picture of a viewer pane (its ImageViewer control).
//
// The control fills the pane. The picture is fitted into the control's bounds
// with its proportions kept, then shown at the pane's zoom (scale about the
// top-left corner, then the pan position); only the visible part of the
// source is drawn.
//
// Two decoded copies at most: the base, decoded when the picture is opened at
// the resolution the pane needs at zoom 1, and, while the zoom needs more
// source pixels than the base has, a finer copy decoded on a worker thread
// (the base is drawn until it arrives). The finer copy is dropped when the
// zoom falls back to what the base covers.
#pragma once

#include <QImage>
#include <QPointF>
#include <cstdint>
#include <memory>

#include "picture/ViewerPicture.h"
#include "views/widgets/Control.h"

class TViewerImage : public TControl {
  Q_OBJECT
 public:
  explicit TViewerImage(QWidget* parent = nullptr);
  ~TViewerImage() override;

  // Opens `fileName` and decodes its base copy for the pane's current size.
  // Raises EPictureLoad and keeps the previous picture when that fails.
  void LoadFromFile(const QString& fileName);
  bool HasPicture() const { return FPicture != nullptr; }
  const TViewerPicture* Picture() const { return FPicture.get(); }

  // The pane's zoom: shown scale and position (pane units).
  void SetView(qreal displayedScale, QPointF position);

  // Pixels the fitted picture covers on the screen at `displayedScale`.
  QSize NeededPixels(qreal displayedScale) const;
  // The size of the copy drawn now (empty without a picture).
  QSize ShownResolution() const;
  // A finer copy is being decoded.
  bool IsFetching() const { return FFetchLevel >= 0; }

  TNotifyEvent OnDblClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void DoMouseEnter() override;
  void DoMouseLeave() override;

 private:
  struct TMailbox;
  // Where the fitted picture lies at the current zoom, in pane units.
  QRectF ShownRect() const;
  void EnsureResolution();
  void StartFetch(int level);
  void FetchDone(std::uint64_t generation, int level, QImage image);

  std::shared_ptr<const TViewerPicture> FPicture;
  QImage FBase;
  int FBaseLevel = -1;
  QImage FDetail;
  int FDetailLevel = -1;
  int FFetchLevel = -1;
  bool FFetchFailed = false;
  std::uint64_t FGeneration = 0;
  qreal FDisplayed = 1;
  QPointF FPosition;
  std::shared_ptr<TMailbox> FMailbox;
};
