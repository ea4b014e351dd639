// One picture pane of the comparison viewers.
//
// The operator opens a picture into the pane, zooms it with the wheel, drags
// the zoomed picture and moves a pair of guide lines over it. Panes share a
// group number per row: zoom, drags and line moves made in one pane go out as
// IViewerListener calls, and every pane of the same group repeats them (the
// sender receives its own call too). The guide lines are shown and hidden in
// every pane at once (ToggleGuideLine).
//
// While the guide lines show, their transparent drag surface lies over the
// picture and the large open button, so the pointer moves the lines only.
#pragma once

#include <QString>

#include "notification/Interfaces.h"
#include "views/common/Frame.h"
#include "views/viewer/ViewerImage.h"
#include "views/viewer/ViewerZoom.h"
#include "views/widgets/TavImageButton.h"

class TFrameViewer : public TFrame, public IViewerListener {
  Q_OBJECT
 public:
  explicit TFrameViewer(QWidget* owner);
  ~TFrameViewer() override;

  TLayout* LayoutContainer;
  TRectangle* RectangleBG;
  TLayout* LayoutImageContainer;
  TViewerImage* ImageViewer;
  TTavImageButton* TavImageButtonOpenImage;
  TLayout* LayoutGrid;
  TRectangle* RectangleX;  // the horizontal line (moves up and down)
  TRectangle* RectangleY;  // the vertical line (moves left and right)
  TRectangle* RectangleGridBG;
  TLayout* LayoutHeader;
  TTavImageButton* TavImageButtonOpenImageSmall;

  void SetGroupNum(int GroupNum) { FGroupNum = GroupNum; }
  int GroupNum() const { return FGroupNum; }
  void SetImageDragState(bool IsDrag);
  bool IsImageMoving() const { return FIsImageMoving; }
  // The pointer shape for a spot of the guide-line surface.
  Qt::CursorShape getCursor(float X, float Y) const;
  void FixImagePosition();

  // The zoom factor last requested for the group (1 at creation; the wheel
  // can take it to 0.5 and 0, shown at 1).
  float ImageExpansionScale() const { return FZoom.Requested(); }
  const TViewerZoom& Zoom() const { return FZoom; }
  // The vertical line's x and the horizontal line's y.
  QPointF LinePosition() const;
  bool IsGuideLineVisible() const { return !LayoutGrid->isHidden(); }
  // The large open button is raised by this much above the centre line's
  // place (the viewers use 30).
  void SetOpenButtonBottomMargin(qreal margin);

  // Opens a picture into the pane as the open buttons do; raises
  // EPictureLoad and leaves the pane as it was when the file is refused.
  void OpenPicture(const QString& fileName);

  // IViewerListener
  void ToggleGuideLine() override;
  void MoveLine(std::int32_t GroupNum, float X, float Y) override;
  void MoveImage(std::int32_t GroupNum, float X, float Y) override;
  void ImageMovingStart(std::int32_t GroupNum, float X, float Y) override;
  void SetImageScale(std::int32_t GroupNum, float Scale) override;

  void TavImageButtonOpenImageClick(TControl* Sender);
  void TavImageButtonOpenImageSmallClick(TControl* Sender);
  void LayoutContainerMouseWheel(int WheelDelta);
  void LayoutContainerMouseEnter();
  void LayoutContainerMouseLeave();
  void ImageViewerDblClick(TControl* Sender);
  void ImageViewerMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void ImageViewerMouseMove(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void ImageViewerMouseUp(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void ImageViewerMouseEnter(TControl* Sender);
  void ImageViewerMouseLeave(TControl* Sender);
  void RectangleGridBGMouseDown(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void RectangleGridBGMouseMove(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);
  void RectangleGridBGMouseUp(TControl* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, qreal X, qreal Y);

  void PlaceAligned(const QRectF& outer) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OpenFromDialog();
  void LayoutPane();
  void ShowZoom();
  void UpdateWheelControl();

  int FGroupNum = 0;
  bool FGridXMove = false;
  bool FGridYMove = false;
  float FPositionOldX = 0;
  float FPositionOldY = 0;
  bool FIsImageMoving = false;
  float FImageFirstClickX = 0;
  float FImageFirstClickY = 0;
  TViewerZoom FZoom;

  qreal FOpenButtonBottomMargin = 0;
  // The lines sit on the pane's centre until they are first moved.
  bool FLinesPlaced = false;
  // Where the pointer is, for the scroll box's wheel: over the container, the
  // picture or the header band (all of them the pane's area).
  bool FPointerInContainer = false;
  bool FPointerInPicture = false;
  bool FPointerInHeader = false;
};
