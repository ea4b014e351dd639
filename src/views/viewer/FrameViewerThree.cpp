#include "views/viewer/FrameViewerThree.h"

TFrameViewerThree::TFrameViewerThree(QWidget* owner) : TFrame(owner, "TFrameViewerThree", 1086, 644) {
  Rectangle2 = new TRectangle(this);
  Rectangle2->SetName("Rectangle2");
  Rectangle2->SetAlign(TAlignLayout::Client);
  Rectangle2->SetFillColor(QColor::fromRgba(0xFF262626));

  ScaledLayout1 = new TFitScaledLayout(this);
  ScaledLayout1->SetName("ScaledLayout1");
  ScaledLayout1->SetOriginalSize(1086, 644);
  ScaledLayout1->SetAlign(TAlignLayout::Contents);

  for (int r = 0; r < RowCount; ++r) {
    auto* container = new TScaledLayout(ScaledLayout1);
    container->SetName(QString("ScaledLayout%1Container").arg(r));
    container->SetSize(1086, 303);
    container->SetOriginalSize(1086, 303);
    container->SetMargins(0, r == 0 ? 0 : 5, 0, 0);
    container->SetAlign(TAlignLayout::Top);
    ScaledLayoutContainer[r] = container;

    auto* center = new TFitScaledLayout(container);
    center->SetName(QString("ScaledLayout%1Center").arg(r));
    center->SetOriginalSize(616, 303);
    center->SetAlign(TAlignLayout::Contents);
    ScaledLayoutCenter[r] = center;

    static constexpr TAlignLayout Aligns[ColumnCount] = {TAlignLayout::Left, TAlignLayout::Center, TAlignLayout::Right};
    for (int c = 0; c < ColumnCount; ++c) {
      auto* layout = new TLayout(center);
      layout->SetName(QString("Layout%1%2").arg(r).arg(c));
      layout->SetSize(202, 303);
      layout->SetAlign(Aligns[c]);
      Layout[r][c] = layout;

      auto* pane = new TFrameViewer(layout);
      pane->SetName(QString("FrameViewer%1%2").arg(r).arg(c));
      pane->SetAlign(TAlignLayout::Client);
      pane->SetOpenButtonBottomMargin(30);
      FrameViewer[r][c] = pane;
    }
  }
  // Groups in the order 00, 01, 02, 10, 11, 12: one per row.
  for (int r = 0; r < RowCount; ++r)
    for (int c = 0; c < ColumnCount; ++c) FrameViewer[r][c]->SetGroupNum(r);
}
