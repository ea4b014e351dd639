// Renders the screens in the main window at both screen ratios into
// PNG files (scripts/screenshots.sh runs it under Xvfb).
//
//   sulo_screenshots <folder>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QThread>
#include <cstdio>

#include "app/MainForm.h"
#include "configuration/Configuration.h"
#include "configuration/DeviceProperties.h"
#include "notification/NotificationCenter.h"
#include "views/start/FrameSaveLocation.h"
#include "views/menu/FrameTabMenu.h"
#include "views/menu/FrameTabSub.h"
#include "views/common/ViewHost.h"
#include "views/common/ViewRegistry.h"

namespace {
class TScreenForm : public TMainForm {
 public:
  explicit TScreenForm(QRect screen) : FScreen(screen) { TimerStartUp->SetEnabled(false); }

 protected:
  QRect ScreenGeometry() const override { return FScreen; }
  QRect AvailableGeometry() const override { return FScreen; }

 private:
  QRect FScreen;
};

void Settle() {
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

bool Save(QWidget* form, const QString& file) {
  Settle();
  const bool ok = form->grab().save(file);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(file));
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("docs/screenshots");
  QDir().mkpath(folder);
  TNotificationCenter center;
  TNotificationCenter::FInstance = &center;
  TConfiguration configuration(QDir::temp().filePath("sulo-screenshots.configuration").toStdString());
  configuration.General().SaveLocation = "/home/operator/Pictures/Clinic";
  TConfiguration::FInstance = &configuration;
  TDeviceProperties tables;
  TDeviceProperties::FInstance = &tables;

  bool ok = true;
  const struct {
    const char* Suffix;
    QRect Screen;
  } screens[] = {{"1920", QRect(0, 0, 1920, 1080)}, {"1280", QRect(0, 0, 1280, 800)}};
  for (const auto& s : screens) {
    TScreenForm form(s.Screen);
    form.setScreenRatio();
    form.RegisterViewClasses();
    form.ShowView("TFrameSplash", "LayoutContent", 1);
    form.show();
    ok &= Save(&form, folder + "/splash-" + s.Suffix + ".png");

    form.ShowView("TFrameSaveLocation", "LayoutContent", 1);
    auto* view = qobject_cast<TFrameSaveLocation*>(form.CurrentView("LayoutContent"));
    view->SuloIsConnect(true);
    ok &= Save(&form, folder + "/save-location-" + s.Suffix + ".png");

    view->CameraIsConnect(false);
    ok &= Save(&form, folder + "/save-location-camera-error-" + s.Suffix + ".png");
    view->SuloIsConnect(false);
    ok &= Save(&form, folder + "/save-location-board-error-" + s.Suffix + ".png");

    // The working screen: shoot face, the save popup's three states, the
    // access-code popup with its error, the viewer face.
    form.ShowView("TFrameTabMenu", "LayoutContent", 2);
    auto* menu = qobject_cast<TFrameTabMenu*>(form.CurrentView("LayoutContent"));
    ok &= Save(&form, folder + "/working-shoot-" + s.Suffix + ".png");
    menu->SetDisableBG();
    menu->OpenSavePopup();
    ok &= Save(&form, folder + "/save-popup-question-" + s.Suffix + ".png");
    menu->SaveSuccess();
    ok &= Save(&form, folder + "/save-popup-saved-" + s.Suffix + ".png");
    menu->FloatAnimationPopup->Stop();
    menu->OpenSavePopup();
    menu->TavImageButtonDontSaveClick(nullptr);
    ok &= Save(&form, folder + "/save-popup-not-saved-" + s.Suffix + ".png");
    menu->FloatAnimationPopup->Stop();
    menu->SetEnableScreen();
    menu->OpenSettingPasswordPopup();
    menu->EditPassword->SetText("1234");
    menu->ButtonConfirmClick(nullptr);
    ok &= Save(&form, folder + "/access-code-error-" + s.Suffix + ".png");
    menu->ButtonCancelClick(nullptr);
    if (TViewRegistry::IsRegistered("TFrameViewerOne")) {
      menu->TavImageButtonTabViewer->SetIsSelected(true);
      menu->TavImageButtonTabViewerClick(nullptr);
      ok &= Save(&form, folder + "/working-viewer-" + s.Suffix + ".png");
    }
    form.ShowView("TFrameSplash", "LayoutContent", 1);
  }
  TDeviceProperties::FInstance = nullptr;
  TConfiguration::FInstance = nullptr;
  TNotificationCenter::FInstance = nullptr;
  return ok ? 0 : 1;
}
