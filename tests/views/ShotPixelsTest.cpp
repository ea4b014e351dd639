// What the saved pictures show, read from the pixels of the JPEG files: each
// mode's shot under its own light, a setting changed in the settings window
// in the next picture, and the face upright after the quarter turn. Shots go
// through the working screen as the program builds it (the tab menu with its
// save popup, the mode sub-menu, the shooting view) with the simulated camera
// and board, so a picture shows whether each sequence's packets and camera
// settings reached the devices before the shutter.
#include "ShootingViewFixture.h"
#include "views/common/ViewHost.h"
#include "views/settings/SettingForm.h"
#include "views/viewer/FrameViewerOne.h"
#include "views/viewer/FrameViewerThree.h"

namespace {

// Where the scene's features lie in an upright picture, as parts of its width
// and height.
constexpr QRectF Forehead(0.415, 0.34, 0.17, 0.055);
constexpr QRectF FaceBand(0.36, 0.36, 0.28, 0.32);  // eyes to chin, inside the cheeks

struct TMean {
  double R = 0, G = 0, B = 0;
  double Level() const { return (R + G + B) / 3; }
  double RedOverBlue() const { return R / B; }
};

std::ostream& operator<<(std::ostream& out, const TMean& m) {
  return out << "R " << m.R << " G " << m.G << " B " << m.B;
}

QRect Area(const QImage& image, const QRectF& part) {
  return QRect(int(part.x() * image.width()), int(part.y() * image.height()), int(part.width() * image.width()),
               int(part.height() * image.height()));
}

TMean MeanOver(const QImage& image, const QRectF& part) {
  const QRect area = Area(image, part);
  TMean m;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      m.R += c.red();
      m.G += c.green();
      m.B += c.blue();
    }
  const double n = double(area.width()) * area.height();
  m.R /= n;
  m.G /= n;
  m.B /= n;
  return m;
}

// The rows of the face band holding the most of the eyes' dark and of the
// mouth's red, as parts of the picture's height.
struct TFeatures {
  double Eyes = -1, Mouth = -1;
};
TFeatures FeaturesOf(const QImage& image) {
  const QRect band = Area(image, FaceBand);
  const double skin = MeanOver(image, Forehead).Level();
  int bestDark = 0, bestRed = 0;
  TFeatures found;
  for (int y = band.top(); y <= band.bottom(); ++y) {
    int dark = 0, red = 0;
    for (int x = band.left(); x <= band.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if ((c.red() + c.green() + c.blue()) / 3.0 < skin * 0.5) ++dark;
      if (c.red() - c.green() > 60) ++red;
    }
    if (dark > bestDark) bestDark = dark, found.Eyes = double(y) / image.height();
    if (red > bestRed) bestRed = red, found.Mouth = double(y) / image.height();
  }
  return found;
}

class ShotPixels : public ShootingView {
 protected:
  void SetUp() override {
    ShootingView::SetUp();
    if (HasFatalFailure()) return;
    // Large enough that the markers in the bottom corners stay clear of the face.
    SimCamera::SetPictureSize(1296, 864);
    // The booth's shipped exposure in every mode; Portrait under warm white.
    // UV's own lights are off, so only the shot's UV light, switched on
    // before the shutter, can colour its picture.
    for (TTakePictureMode mode : {TTakePictureMode::Sulo, TTakePictureMode::Portrait, TTakePictureMode::UV}) {
      TTakePictureConfiguration& cfg = Mode(mode);
      cfg.Shutter = 0x70;
      cfg.Diaphragm = 0x38;
      cfg.ISO = 0x48;
      cfg.WhiteBalance = 0;
      cfg.WhiteBalanceRevision = 5200;
    }
    Mode(TTakePictureMode::Portrait).Lighting = 3;
    Mode(TTakePictureMode::Portrait).LightingBrightness = 6;
    Mode(TTakePictureMode::UV).Lighting = 0;
    // The settings window reloads the file when it opens.
    FConfiguration->Save();

    FCenter.Remove<ISavePopup>(&FPopup);  // the tab menu answers for the popup
    TViewRegistry::Register<TFrameTabSub>("TFrameTabSub");
    TViewRegistry::Register<TFrameSulo>("TFrameSulo");
    TViewRegistry::Register<TFrameViewerOne>("TFrameViewerOne");
    TViewRegistry::Register<TFrameViewerThree>("TFrameViewerThree");
    FWindow = std::make_unique<TControl>();
    FWindow->SetSize(1086, 791);
    FMenu = new TFrameTabMenu(FWindow.get());
    FMenu->SetAlign(TAlignLayout::Client);
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    ASSERT_TRUE(View());
    ASSERT_TRUE(Pump([&] { return !View()->ImageLiveView->Bitmap().IsEmpty(); }));
  }

  void TearDown() override {
    delete FSettings;
    FWindow.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ShootingView::TearDown();
  }

  TFrameTabSub* Sub() const { return qobject_cast<TFrameTabSub*>(CurrentHostedView(FMenu->LayoutTabContent)); }
  TFrameSulo* View() const {
    TFrameTabSub* sub = Sub();
    return sub ? qobject_cast<TFrameSulo*>(CurrentHostedView(sub->LayoutContent)) : nullptr;
  }
  void Press(TControl* control) {
    ClickAt(control->window(), WindowPoint(control, QPointF(control->Width() / 2, control->Height() / 2)));
    Pump([] { return true; });
  }
  void ChooseMode(TTakePictureMode mode) {
    TFrameTabSub* sub = Sub();
    Press(mode == TTakePictureMode::Portrait ? sub->TavImageButtonPortrait
          : mode == TTakePictureMode::UV     ? sub->TavImageButtonUV
                                             : sub->TavImageButtonSulo);
    PumpFor(300);
  }

  // Shoots with the shoot button, saves with the popup's Save, and answers the
  // saved file decoded; a null picture if that went wrong.
  QImage ShootAndSave() {
    const std::size_t files = Saved().size();
    Press(View()->TavImageButtonShoot);
    if (!Pump([&] { return !FMenu->LayoutSavePopup->isHidden() && !FMenu->TavImageButtonSave->isHidden(); }))
      return {};
    Press(FMenu->TavImageButtonSave);
    if (!Pump([&] { return Saved().size() == files + 1; }, 5000)) return {};
    Pump([&] { return View()->FShotState == TFrameSulo::TShotState::Idle && FMenu->LayoutSavePopup->isHidden(); });
    return QImage(QString::fromStdString(Saved().back().string()));
  }

  TFrameTabMenu* FMenu = nullptr;
  TSettingForm* FSettings = nullptr;
};

TEST_F(ShotPixels, EachModesPictureIsTakenUnderItsLight) {
  struct TRow {
    const char* Name;
    TTakePictureMode Mode;
    std::function<bool(const TMean&)> Lit;
  };
  const TRow rows[] = {
      {"Sulo under white", TTakePictureMode::Sulo,
       [](const TMean& m) { return m.Level() > 110 && m.G > m.B && m.RedOverBlue() < 1.6; }},
      {"Portrait under warm white", TTakePictureMode::Portrait,
       [](const TMean& m) { return m.Level() > 110 && m.RedOverBlue() > 1.6; }},
      {"UV under UV", TTakePictureMode::UV,
       [](const TMean& m) { return m.Level() < 110 && m.B > m.G + 15 && m.R > m.G + 15; }},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    ChooseMode(row.Mode);
    const QImage saved = ShootAndSave();
    ASSERT_EQ(saved.size(), QSize(864, 1296)) << "saved, and turned upright";
    const TMean forehead = MeanOver(saved, Forehead);
    EXPECT_TRUE(row.Lit(forehead)) << forehead;
  }
}

// The operator makes the shutter two stops faster in the settings window: the
// next picture's face is darker by about that much.
TEST_F(ShotPixels, AFasterShutterSetInTheSettingsWindowDarkensTheNextPicture) {
  ChooseMode(TTakePictureMode::Sulo);
  const QImage before = ShootAndSave();
  ASSERT_FALSE(before.isNull());

  FSettings = new TSettingForm(FWindow.get());
  FSettings->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(FSettings));
  Pump([] { return true; });
  ASSERT_EQ(FSettings->FrameSpinShutter->GetValue(), 0x70);
  for (int third = 0; third < 6; ++third) Press(FSettings->FrameSpinShutter->TavImageButtonUp);
  ASSERT_TRUE(Pump([] { return SimCamera::Property(kEdsPropID_Tv) == 0x80; }, 5000))
      << FSettings->FrameSpinShutter->EditValue->Text().toStdString();

  const QImage after = ShootAndSave();
  ASSERT_FALSE(after.isNull());
  const TMean lit = MeanOver(before, Forehead), darker = MeanOver(after, Forehead);
  EXPECT_LT(darker.Level(), lit.Level() * 0.7) << "before " << lit << ", after " << darker;
}

// Eyes above the mouth, in the saved picture and in the live view, with the
// red marker top-left and the blue one top-right: turned the right way and not
// mirrored.
TEST_F(ShotPixels, TheFaceIsUprightInThePictureAndTheLiveView) {
  ChooseMode(TTakePictureMode::Portrait);
  const QImage live = View()->ImageLiveView->Bitmap().Image().convertToFormat(QImage::Format_RGB32);
  const QImage saved = ShootAndSave();
  ASSERT_FALSE(saved.isNull());
  for (const auto& [name, image] : {std::pair<const char*, QImage>{"saved", saved}, {"live view", live}}) {
    SCOPED_TRACE(name);
    ASSERT_GT(image.height(), image.width()) << "portrait";
    const TFeatures f = FeaturesOf(image);
    ASSERT_GE(f.Eyes, 0);
    ASSERT_GE(f.Mouth, 0);
    EXPECT_LT(f.Eyes + 0.05, f.Mouth) << "eyes at " << f.Eyes << ", mouth at " << f.Mouth;
    const QColor red = image.pixelColor(int(image.width() * 0.17), int(image.height() * 0.115));
    const QColor blue = image.pixelColor(int(image.width() * 0.83), int(image.height() * 0.115));
    EXPECT_GT(red.red(), red.blue() + 60);
    EXPECT_GT(blue.blue(), blue.red() + 60);
  }
}

// Renders the live view in each mode into $SULO_SCREENSHOT_DIR, with the
// shipped lights (and UV's light on, as its live view shows it).
TEST_F(ShotPixels, Screenshots) {
  const QByteArray dir = qgetenv("SULO_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "SULO_SCREENSHOT_DIR not set";
  Mode(TTakePictureMode::Sulo).LightingBrightness = 7;
  Mode(TTakePictureMode::Portrait).Lighting = 4;
  Mode(TTakePictureMode::UV).Lighting = 2;
  for (qreal scale : {1.0, 0.6666}) {
    FWindow = std::make_unique<TControl>();
    FWindow->SetScale(scale, scale);
    FWindow->SetSize(1086, 767);
    FMenu = new TFrameTabMenu(FWindow.get());
    FMenu->SetAlign(TAlignLayout::Client);
    FWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    ASSERT_TRUE(Pump([&] { return View() && !View()->ImageLiveView->Bitmap().IsEmpty(); }));
    for (const auto& [mode, name] : {std::pair{TTakePictureMode::Sulo, "sulo"}, {TTakePictureMode::Portrait, "portrait"},
                                     {TTakePictureMode::UV, "uv"}}) {
      ChooseMode(mode);
      PumpFor(700);  // a frame under the new light
      const QString file = QString("%1/shoot-live-view-%2-%3.png").arg(QString::fromUtf8(dir), name,
                                                                      scale == 1.0 ? "1920" : "1280");
      EXPECT_TRUE(FWindow->grab().save(file));
    }
  }
}

}  // namespace
