#include "views/widgets/WindowHeader.h"

#include <QCursor>
#include <QWindow>

namespace {
constexpr qreal HeaderHeight = 39;

TTavImageButton* MakeHeaderButton(TLayout* parent, const char* name, const QString& art) {
  auto* button = new TTavImageButton(parent);
  button->SetName(name);
  button->SetSize(18, 18);
  button->SetAlign(TAlignLayout::Center);
  button->SetCanFocus(false);
  button->BitmapDefault().LoadFromFile(":/images/" + art + ".svg");
  button->BitmapMouseOver().LoadFromFile(":/images/" + art + "_over.svg");
  return button;
}
}  // namespace

TWindowHeader MakeWindowHeader(TControl* parent, qreal width) {
  TWindowHeader h;
  h.LayoutHeader = new TLayout(parent);
  h.LayoutHeader->SetName("LayoutHeader");
  h.LayoutHeader->SetSize(width, HeaderHeight);
  h.LayoutHeader->SetAlign(TAlignLayout::Top);

  h.RectangleHeaderBG = new TRectangle(h.LayoutHeader);
  h.RectangleHeaderBG->SetName("RectangleHeaderBG");
  h.RectangleHeaderBG->SetFillColor(QColor::fromRgba(0xFF323232));
  h.RectangleHeaderBG->SetAlign(TAlignLayout::Contents);

  h.LayoutLogo = new TLayout(h.RectangleHeaderBG);
  h.LayoutLogo->SetName("LayoutLogo");
  h.LayoutLogo->SetSize(185, HeaderHeight);
  h.LayoutLogo->SetAlign(TAlignLayout::Left);
  h.ImageLogo = new TImage(h.LayoutLogo);
  h.ImageLogo->SetName("ImageLogo");
  h.ImageLogo->SetBounds(0, 0, 185, HeaderHeight);
  h.ImageLogo->SetHitTest(false);
  h.ImageLogo->Bitmap().LoadFromFile(":/images/logo.svg");

  h.LayoutBtnClose = new TLayout(h.RectangleHeaderBG);
  h.LayoutBtnClose->SetName("LayoutBtnClose");
  h.LayoutBtnClose->SetSize(50, HeaderHeight);
  h.LayoutBtnClose->SetAlign(TAlignLayout::Right);
  h.TavImageButtonClose = MakeHeaderButton(h.LayoutBtnClose, "TavImageButtonClose", "close");

  h.LayoutBtnMinimize = new TLayout(h.RectangleHeaderBG);
  h.LayoutBtnMinimize->SetName("LayoutBtnMinimize");
  h.LayoutBtnMinimize->SetSize(24, HeaderHeight);
  h.LayoutBtnMinimize->SetAlign(TAlignLayout::Right);
  h.TavImageButtonMinimize = MakeHeaderButton(h.LayoutBtnMinimize, "TavImageButtonMinimize", "minimize");
  return h;
}

void TWindowDrag::Begin() {
  if (FWindow->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  if (FWindow->windowHandle() && FWindow->windowHandle()->startSystemMove()) return;
  FDragging = true;
  FOffset = QCursor::pos() - FWindow->pos();
}

void TWindowDrag::Follow() {
  if (FDragging) FWindow->move(QCursor::pos() - FOffset);
}
