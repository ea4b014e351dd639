#include "views/start/FrameSplash.h"

#include "logging/Log.h"
#include "notification/Interfaces.h"

TFrameSplash::TFrameSplash(QWidget* owner) : TFrame(owner, "TFrameSplash", 870, 390) {
  LayoutContent = new TLayout(this);
  LayoutContent->SetName("LayoutContent");
  LayoutContent->SetBounds(0, 0, 870, 390);
  ImageSplash = new TImage(LayoutContent);
  ImageSplash->SetName("ImageSplash");
  ImageSplash->SetBounds(99, 57, 672, 276);
  ImageSplash->Bitmap().LoadFromFile(":/images/splash.svg");
  ImageSplash->setCursor(Qt::PointingHandCursor);
  ImageSplash->OnClick = [this](TControl* Sender) { ImageSplashClick(Sender); };
}

void TFrameSplash::ImageSplashClick(TControl*) {
  Trace("ImageSplashClick");
  Notify<IViewNavigation>(&IViewNavigation::ShowView, "TFrameSaveLocation", "LayoutContent", 1);
}
