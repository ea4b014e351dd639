#include "views/viewer/FrameViewer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWheelEvent>

#include "configuration/Configuration.h"
#include "views/common/Dialogs.h"
#include "views/common/GuideLines.h"
#include "views/widgets/ErrorHook.h"

static void InitViewerArtwork() { Q_INIT_RESOURCE(viewer); }

namespace {
constexpr QRgb GuideLineColor = 0xFF72CBD1;
constexpr qreal OpenButtonWidth = 193;
constexpr qreal OpenButtonHeight = 46;

void LoadButton(TTavImageButton* button, const QString& name) {
  button->BitmapDefault().LoadFromFile(":/images/viewer/" + name + ".svg");
  button->BitmapMouseOver().LoadFromFile(":/images/viewer/" + name + "_over.svg");
  button->BitmapPressed().LoadFromFile(":/images/viewer/" + name + "_pressed.svg");
  button->setCursor(Qt::PointingHandCursor);
}

QString FirstLocalFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return QString();
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return QString();
}
}  // namespace

TFrameViewer::TFrameViewer(QWidget* owner) : TFrame(owner, "TFrameViewer", 368, 552) {
  static const bool artwork = (InitViewerArtwork(), true);
  (void)artwork;

  LayoutContainer = new TLayout(this);
  LayoutContainer->SetName("LayoutContainer");
  LayoutContainer->SetAlign(TAlignLayout::Contents);

  RectangleBG = new TRectangle(LayoutContainer);
  RectangleBG->SetName("RectangleBG");
  RectangleBG->SetAlign(TAlignLayout::Contents);
  RectangleBG->SetFillColor(QColor::fromRgba(0xFF323232));

  // A child widget is clipped to its parent: the zoomed picture never draws
  // outside the pane.
  LayoutImageContainer = new TLayout(LayoutContainer);
  LayoutImageContainer->SetName("LayoutImageContainer");
  LayoutImageContainer->SetAlign(TAlignLayout::Contents);

  ImageViewer = new TViewerImage(LayoutImageContainer);
  ImageViewer->SetName("ImageViewer");
  ImageViewer->SetAlign(TAlignLayout::Contents);

  TavImageButtonOpenImage = new TTavImageButton(LayoutContainer);
  TavImageButtonOpenImage->SetName("TavImageButtonOpenImage");
  TavImageButtonOpenImage->SetSize(OpenButtonWidth, OpenButtonHeight);
  LoadButton(TavImageButtonOpenImage, "open_image");

  LayoutGrid = new TLayout(LayoutContainer);
  LayoutGrid->SetName("LayoutGrid");
  LayoutGrid->SetAlign(TAlignLayout::Contents);
  LayoutGrid->hide();

  RectangleX = new TRectangle(LayoutGrid);
  RectangleX->SetName("RectangleX");
  RectangleX->SetFillColor(QColor::fromRgba(GuideLineColor));
  RectangleY = new TRectangle(LayoutGrid);
  RectangleY->SetName("RectangleY");
  RectangleY->SetFillColor(QColor::fromRgba(GuideLineColor));

  RectangleGridBG = new TRectangle(LayoutGrid);
  RectangleGridBG->SetName("RectangleGridBG");
  RectangleGridBG->SetAlign(TAlignLayout::Contents);
  RectangleGridBG->SetFillColor(Qt::transparent);

  LayoutHeader = new TLayout(this);
  LayoutHeader->SetName("LayoutHeader");
  LayoutHeader->SetHeight(40);
  LayoutHeader->SetAlign(TAlignLayout::Top);

  TavImageButtonOpenImageSmall = new TTavImageButton(LayoutHeader);
  TavImageButtonOpenImageSmall->SetName("TavImageButtonOpenImageSmall");
  TavImageButtonOpenImageSmall->SetSize(60, 30);
  TavImageButtonOpenImageSmall->SetMargins(0, 10, 10, 0);
  TavImageButtonOpenImageSmall->SetAlign(TAlignLayout::Right);
  LoadButton(TavImageButtonOpenImageSmall, "open_image_small");
  TavImageButtonOpenImageSmall->hide();

  TavImageButtonOpenImage->OnClick = [this](TControl* s) { TavImageButtonOpenImageClick(s); };
  TavImageButtonOpenImageSmall->OnClick = [this](TControl* s) { TavImageButtonOpenImageSmallClick(s); };
  ImageViewer->OnDblClick = [this](TControl* s) { ImageViewerDblClick(s); };
  ImageViewer->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers m, qreal x, qreal y) {
    ImageViewerMouseDown(s, b, m, x, y);
  };
  ImageViewer->OnMouseMove = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers m, qreal x, qreal y) {
    ImageViewerMouseMove(s, b, m, x, y);
  };
  ImageViewer->OnMouseUp = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers m, qreal x, qreal y) {
    ImageViewerMouseUp(s, b, m, x, y);
  };
  ImageViewer->OnMouseEnter = [this](TControl* s) { ImageViewerMouseEnter(s); };
  ImageViewer->OnMouseLeave = [this](TControl* s) { ImageViewerMouseLeave(s); };
  RectangleGridBG->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers m, qreal x, qreal y) {
    RectangleGridBGMouseDown(s, b, m, x, y);
  };
  RectangleGridBG->OnMouseMove = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers m, qreal x, qreal y) {
    RectangleGridBGMouseMove(s, b, m, x, y);
  };
  RectangleGridBG->OnMouseUp = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers m, qreal x, qreal y) {
    RectangleGridBGMouseUp(s, b, m, x, y);
  };
  LayoutContainer->installEventFilter(this);
  LayoutHeader->installEventFilter(this);
  setAcceptDrops(true);
  setCursor(Qt::ArrowCursor);

  LayoutPane();
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Add<IViewerListener>(this);
}

TFrameViewer::~TFrameViewer() {
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Remove<IViewerListener>(this);
  // The controls go after this body; nothing they report may reach the pane.
  LayoutContainer->removeEventFilter(this);
  LayoutHeader->removeEventFilter(this);
  ImageViewer->OnMouseEnter = nullptr;
  ImageViewer->OnMouseLeave = nullptr;
}

void TFrameViewer::SetOpenButtonBottomMargin(qreal margin) {
  FOpenButtonBottomMargin = margin;
  LayoutPane();
}

void TFrameViewer::PlaceAligned(const QRectF& outer) {
  TFrame::PlaceAligned(outer);
  LayoutPane();
}

void TFrameViewer::resizeEvent(QResizeEvent* event) {
  TFrame::resizeEvent(event);
  if (!ParentControl()) LayoutPane();
}

void TFrameViewer::LayoutPane() {
  const qreal w = Width();
  const qreal h = Height();
  TavImageButtonOpenImage->SetPosition((w - OpenButtonWidth) / 2, (h - FOpenButtonBottomMargin - OpenButtonHeight) / 2);
  if (FLinesPlaced) {
    RectangleX->SetBounds(0, RectangleX->Y(), w, 1);
    RectangleY->SetBounds(RectangleY->X(), 0, 1, h);
  } else {
    RectangleX->SetBounds(0, h / 2 - 0.5, w, 1);
    RectangleY->SetBounds(w / 2 - 0.5, 0, 1, h);
  }
  FZoom.SetPaneSize(QSizeF(w, h));
  ShowZoom();
}

void TFrameViewer::ShowZoom() { ImageViewer->SetView(FZoom.Displayed(), FZoom.Position()); }

QPointF TFrameViewer::LinePosition() const { return QPointF(RectangleY->X(), RectangleX->Y()); }

void TFrameViewer::SetImageDragState(bool IsDrag) {
  FIsImageMoving = IsDrag;
  setCursor(IsDrag ? Qt::ClosedHandCursor : Qt::ArrowCursor);
}

Qt::CursorShape TFrameViewer::getCursor(float X, float Y) const {
  return GuideLineCursor(X, Y, RectangleY->X(), RectangleX->Y());
}

void TFrameViewer::FixImagePosition() {
  FZoom.Fix();
  ShowZoom();
}

void TFrameViewer::OpenPicture(const QString& fileName) {
  ImageViewer->LoadFromFile(fileName);
  TavImageButtonOpenImage->hide();
  TavImageButtonOpenImageSmall->show();
}

void TFrameViewer::OpenFromDialog() {
  // Pictures are looked for where the booth saves them.
  const std::string folder = TConfiguration::FInstance ? TConfiguration::FInstance->General().SaveLocation : std::string();
  const auto file = Dialogs().OpenFile("", "", folder);
  if (!file) return;
  OpenPicture(QString::fromStdString(*file));
}

void TFrameViewer::TavImageButtonOpenImageClick(TControl*) { OpenFromDialog(); }
void TFrameViewer::TavImageButtonOpenImageSmallClick(TControl*) { OpenFromDialog(); }

// IViewerListener

void TFrameViewer::ToggleGuideLine() { LayoutGrid->setVisible(LayoutGrid->isHidden()); }

void TFrameViewer::MoveLine(std::int32_t GroupNum, float X, float Y) {
  if (GroupNum != FGroupNum) return;
  FLinesPlaced = true;
  RectangleY->SetPosition(X, RectangleY->Y());
  RectangleX->SetPosition(RectangleX->X(), Y);
}

void TFrameViewer::MoveImage(std::int32_t GroupNum, float X, float Y) {
  if (GroupNum != FGroupNum || !(FZoom.Displayed() > 1.0f)) return;
  FZoom.SetPosition(QPointF(X, Y));
  ShowZoom();
}

void TFrameViewer::ImageMovingStart(std::int32_t GroupNum, float X, float Y) {
  if (GroupNum != FGroupNum || FZoom.Requested() == 1.0f) return;
  FImageFirstClickX = X;
  FImageFirstClickY = Y;
  SetImageDragState(true);
}

void TFrameViewer::SetImageScale(std::int32_t GroupNum, float Scale) {
  if (GroupNum == FGroupNum) FZoom.SetRequested(Scale);
  FixImagePosition();
}

// Pointer and wheel

void TFrameViewer::LayoutContainerMouseWheel(int WheelDelta) {
  // A sideways scroll has no vertical part: it is no zoom step.
  if (WheelDelta == 0) return;
  FZoom.SetRequested(TViewerZoom::AfterWheel(FZoom.Requested(), WheelDelta > 0));
  Notify<IViewerListener>(&IViewerListener::SetImageScale, FGroupNum, FZoom.Requested());
}

void TFrameViewer::UpdateWheelControl() {
  // Leaving the picture for the open button or the header band is still
  // inside the pane: the list must stay still there too.
  const bool inside = FPointerInContainer || FPointerInPicture || FPointerInHeader;
  Notify<IViewerWheelControl>(&IViewerWheelControl::SetWheelDisable, inside);
}

void TFrameViewer::LayoutContainerMouseEnter() {
  FPointerInContainer = true;
  UpdateWheelControl();
}

void TFrameViewer::LayoutContainerMouseLeave() {
  FPointerInContainer = false;
  UpdateWheelControl();
}

void TFrameViewer::ImageViewerDblClick(TControl*) {
  Notify<IViewerListener>(&IViewerListener::SetImageScale, FGroupNum, FZoom.Requested());
}

void TFrameViewer::ImageViewerMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  const QPointF grab = FZoom.ToPicture(QPointF(X, Y));
  Notify<IViewerListener>(&IViewerListener::ImageMovingStart, FGroupNum, static_cast<float>(grab.x()),
                          static_cast<float>(grab.y()));
}

void TFrameViewer::ImageViewerMouseMove(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  if (!FIsImageMoving) return;
  FZoom.DragStep(QPointF(FImageFirstClickX, FImageFirstClickY), FZoom.ToPicture(QPointF(X, Y)));
  ShowZoom();
  const QPointF p = FZoom.Position();
  Notify<IViewerListener>(&IViewerListener::MoveImage, FGroupNum, static_cast<float>(p.x()), static_cast<float>(p.y()));
}

void TFrameViewer::ImageViewerMouseUp(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) {
  SetImageDragState(false);
}

void TFrameViewer::ImageViewerMouseEnter(TControl*) {
  SetImageDragState(false);
  FPointerInPicture = true;
  UpdateWheelControl();
}

void TFrameViewer::ImageViewerMouseLeave(TControl*) {
  SetImageDragState(false);
  FPointerInPicture = false;
  UpdateWheelControl();
}

void TFrameViewer::RectangleGridBGMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  const TGuideLineDrag drag = GuideLineDragFor(cursor().shape());
  FGridYMove = FGridYMove || drag.Vertical;
  FGridXMove = FGridXMove || drag.Horizontal;
  FPositionOldX = static_cast<float>(X);
  FPositionOldY = static_cast<float>(Y);
}

void TFrameViewer::RectangleGridBGMouseMove(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  if (!FGridXMove && !FGridYMove) {
    setCursor(getCursor(static_cast<float>(X), static_cast<float>(Y)));
  } else {
    FLinesPlaced = true;
    if (FGridYMove) {
      RectangleY->SetPosition(RectangleY->X() + (X - FPositionOldX), RectangleY->Y());
      FPositionOldX = static_cast<float>(X);
    }
    if (FGridXMove) {
      RectangleX->SetPosition(RectangleX->X(), RectangleX->Y() + (Y - FPositionOldY));
      FPositionOldY = static_cast<float>(Y);
    }
  }
  const QPointF lines = LinePosition();
  Notify<IViewerListener>(&IViewerListener::MoveLine, FGroupNum, static_cast<float>(lines.x()),
                          static_cast<float>(lines.y()));
}

void TFrameViewer::RectangleGridBGMouseUp(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal X, qreal Y) {
  setCursor(getCursor(static_cast<float>(X), static_cast<float>(Y)));
  FGridXMove = false;
  FGridYMove = false;
}

bool TFrameViewer::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LayoutContainer || watched == LayoutHeader) {
    const bool container = watched == LayoutContainer;
    switch (event->type()) {
      case QEvent::Wheel:
        // Left unhandled, so the wheel also reaches the hosts.
        Guarded([&] { LayoutContainerMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y()); });
        break;
      case QEvent::Enter:
        Guarded([&] {
          if (container)
            LayoutContainerMouseEnter();
          else {
            FPointerInHeader = true;
            UpdateWheelControl();
          }
        });
        break;
      case QEvent::Leave:
        Guarded([&] {
          if (container)
            LayoutContainerMouseLeave();
          else {
            FPointerInHeader = false;
            UpdateWheelControl();
          }
        });
        break;
      default:
        break;
    }
  }
  return TFrame::eventFilter(watched, event);
}

void TFrameViewer::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TFrameViewer::dropEvent(QDropEvent* event) {
  const QString file = FirstLocalFile(event->mimeData());
  if (file.isEmpty()) return;
  event->acceptProposedAction();
  Guarded([&] { OpenPicture(file); });
}
