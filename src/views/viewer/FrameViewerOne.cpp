#include "views/viewer/FrameViewerOne.h"

namespace {
QString Numbered(const char* prefix, int row, const char* suffix = "") {
  return QString("%1%2%3").arg(prefix).arg(row).arg(suffix);
}
}  // namespace

TFrameViewerOne::TFrameViewerOne(QWidget* owner) : TFrame(owner, "TFrameViewerOne", 1086, 644) {
  Rectangle1 = new TRectangle(this);
  Rectangle1->SetName("Rectangle1");
  Rectangle1->SetAlign(TAlignLayout::Client);
  Rectangle1->SetFillColor(QColor::fromRgba(0xFF262626));

  ScaledLayout2 = new TFitScaledLayout(this);
  ScaledLayout2->SetName("ScaledLayout2");
  ScaledLayout2->SetOriginalSize(1086, 644);
  ScaledLayout2->SetAlign(TAlignLayout::Contents);

  VertScrollBox = new TVertScrollBox(ScaledLayout2);
  VertScrollBox->SetName("VertScrollBox");
  VertScrollBox->SetMargins(0, 0, 0, 30);
  VertScrollBox->SetAlign(TAlignLayout::Client);

  for (int r = 0; r < RowCount; ++r) {
    auto* container = new TScaledLayout(VertScrollBox->Content());
    container->SetName(Numbered("ScaledLayout", r, "Container"));
    container->SetSize(1070, 552);
    container->SetOriginalSize(1070, 552);
    container->SetMargins(0, 10, 0, 0);
    container->SetAlign(TAlignLayout::Top);
    ScaledLayoutContainer[r] = container;

    auto* center = new TFitScaledLayout(container);
    center->SetName(Numbered("ScaledLayout", r, "Center"));
    center->SetOriginalSize(756, 552);
    center->SetAlign(TAlignLayout::Contents);
    ScaledLayoutCenter[r] = center;

    for (int c = 0; c < ColumnCount; ++c) {
      auto* layout = new TLayout(center);
      layout->SetName(QString("Layout%1%2").arg(r).arg(c));
      layout->SetSize(368, 552);
      layout->SetAlign(c == 0 ? TAlignLayout::Left : TAlignLayout::Right);
      Layout[r][c] = layout;

      auto* pane = new TFrameViewer(layout);
      pane->SetName(QString("FrameViewer%1%2").arg(r).arg(c));
      pane->SetAlign(TAlignLayout::Client);
      pane->SetOpenButtonBottomMargin(30);
      FrameViewer[r][c] = pane;
    }
  }
  // Groups in the order 00, 01, 10, 11, ...: one per row.
  for (int r = 0; r < RowCount; ++r)
    for (int c = 0; c < ColumnCount; ++c) FrameViewer[r][c]->SetGroupNum(r);
  VertScrollBox->UpdateContent();

  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Add<IViewerWheelControl>(this);
}

TFrameViewerOne::~TFrameViewerOne() {
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Remove<IViewerWheelControl>(this);
}

void TFrameViewerOne::SetWheelDisable(bool IsEnable) { VertScrollBox->SetDisableMouseWheel(IsEnable); }
