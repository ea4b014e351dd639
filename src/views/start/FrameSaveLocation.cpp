#include "views/start/FrameSaveLocation.h"

#include "board/DeviceModule.h"
#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/common/Dialogs.h"

namespace {
bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}
}  // namespace

std::vector<std::string> SplitSavePath(const std::string& SavePath) {
  std::vector<std::string> elements;
  std::string current;
  for (char c : SavePath) {
    if (IsSeparator(c)) {
      elements.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) elements.push_back(current);
  return elements;
}

TFrameSaveLocation::TFrameSaveLocation(QWidget* owner) : TFrame(owner, "TFrameSaveLocation", 870, 390) {
  ImageSaveLocationText = new TImage(this);
  ImageSaveLocationText->SetName("ImageSaveLocationText");
  ImageSaveLocationText->SetBounds(192, 111, 375, 72);
  ImageSaveLocationText->Bitmap().LoadFromFile(":/images/save_location_text.svg");
  ImageSaveLocationText->OnClick = [this](TControl* s) { ImageSaveLocationTextClick(s); };

  TavImageButtonStartSulo = new TTavImageButton(this);
  TavImageButtonStartSulo->SetName("TavImageButtonStartSulo");
  TavImageButtonStartSulo->SetBounds(656, 312, 180, 51);
  TavImageButtonStartSulo->BitmapDefault().LoadFromFile(":/images/start.svg");
  TavImageButtonStartSulo->BitmapMouseOver().LoadFromFile(":/images/start_over.svg");
  TavImageButtonStartSulo->BitmapDisabled().LoadFromFile(":/images/start_disabled.svg");
  TavImageButtonStartSulo->setCursor(Qt::PointingHandCursor);
  TavImageButtonStartSulo->OnClick = [this](TControl* s) { TavImageButtonStartSuloClick(s); };

  RectangleSaveLocation = new TRectangle(this);
  RectangleSaveLocation->SetName("RectangleSaveLocation");
  RectangleSaveLocation->SetBounds(192, 216, 423, 30);
  RectangleSaveLocation->SetFillColor(Qt::white);

  ImageFolder = new TImage(RectangleSaveLocation);
  ImageFolder->SetName("ImageFolder");
  ImageFolder->SetSize(21, 30);
  ImageFolder->SetMargins(10, 0, 0, 0);
  ImageFolder->SetAlign(TAlignLayout::Left);
  ImageFolder->Bitmap().LoadFromFile(":/images/folder.svg");
  ImageFolder->SetHitTest(false);

  LabelSaveLocationLast = new TLabel(RectangleSaveLocation);
  LabelSaveLocationLast->SetName("LabelSaveLocationLast");
  LabelSaveLocationLast->SetSize(160, 30);
  LabelSaveLocationLast->SetMargins(5, 0, 0, 0);
  LabelSaveLocationLast->SetAlign(TAlignLayout::Left);
  LabelSaveLocationLast->SetFontColor(QColor(0x78, 0x78, 0x78));
  LabelSaveLocationLast->SetFontSize(14);
  LabelSaveLocationLast->SetBold(true);

  LabelSaveLocationFull = new TLabel(RectangleSaveLocation);
  LabelSaveLocationFull->SetName("LabelSaveLocationFull");
  LabelSaveLocationFull->SetSize(227, 30);
  LabelSaveLocationFull->SetMargins(5, 0, 0, 0);
  LabelSaveLocationFull->SetAlign(TAlignLayout::Left);
  LabelSaveLocationFull->SetFontColor(QColor(0x78, 0x78, 0x78));
  LabelSaveLocationFull->SetFontSize(12);

  TavImageButtonSelect = new TTavImageButton(this);
  TavImageButtonSelect->SetName("TavImageButtonSelect");
  TavImageButtonSelect->SetBounds(628, 216, 60, 30);
  TavImageButtonSelect->BitmapDefault().LoadFromFile(":/images/select.svg");
  TavImageButtonSelect->BitmapMouseOver().LoadFromFile(":/images/select_over.svg");
  TavImageButtonSelect->BitmapPressed().LoadFromFile(":/images/select_pressed.svg");
  TavImageButtonSelect->BitmapSelected().LoadFromFile(":/images/select_selected.svg");
  TavImageButtonSelect->setCursor(Qt::PointingHandCursor);
  TavImageButtonSelect->OnClick = [this](TControl* s) { TavImageButtonSelectClick(s); };

  ImageCameraError = new TImage(this);
  ImageCameraError->SetName("ImageCameraError");
  ImageCameraError->SetBounds(256, 312, 321, 51);
  ImageCameraError->Bitmap().LoadFromFile(":/images/error_camera.svg");
  ImageCameraError->hide();

  ImageSuloError = new TImage(this);
  ImageSuloError->SetName("ImageSuloError");
  ImageSuloError->SetBounds(256, 312, 321, 51);
  ImageSuloError->Bitmap().LoadFromFile(":/images/error_board.svg");
  ImageSuloError->hide();

  UpdateStartButton();

  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Add<IConnectionListener>(this);
  SetSaveLocation(TConfiguration::FInstance ? TConfiguration::FInstance->General().SaveLocation : std::string());
}

TFrameSaveLocation::~TFrameSaveLocation() {
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Remove<IConnectionListener>(this);
}

void TFrameSaveLocation::UpdateStartButton() { TavImageButtonStartSulo->setEnabled(FScanReported && !FFailed); }

void TFrameSaveLocation::SuloIsConnect(bool IsConnect) {
  Trace(std::string("SuloIsConnect : ") + (IsConnect ? "True" : "False"));
  FScanReported = true;
  if (!IsConnect) {
    FFailed = true;
    ImageSuloError->show();
  }
  UpdateStartButton();
}

void TFrameSaveLocation::CameraIsConnect(bool IsConnect) {
  Trace(std::string("CameraIsConnect : ") + (IsConnect ? "True" : "False"));
  if (IsConnect) return;  // may run on the camera's worker thread: no control is touched
  FFailed = true;
  ImageCameraError->show();
  UpdateStartButton();
}

void TFrameSaveLocation::SetSaveLocation(const std::string& SavePath) {
  const std::vector<std::string> elements = SplitSavePath(SavePath);
  const std::string last = elements.empty() ? std::string() : elements.back();
  Trace("splitted Last : " + last);
  LabelSaveLocationLast->SetText(QString::fromStdString(last));
  LabelSaveLocationFull->SetText(QString::fromStdString(SavePath));
}

void TFrameSaveLocation::TavImageButtonSelectClick(TControl*) {
  const std::optional<std::string> folder = Dialogs().SelectDirectory(
      "Select save location",
      FolderDialogStart(TConfiguration::FInstance ? TConfiguration::FInstance->General().SaveLocation : std::string()));
  if (!folder) return;
  SetSaveLocation(*folder);
  if (TConfiguration::FInstance) {
    TConfiguration::FInstance->General().SaveLocation = *folder;
    TConfiguration::FInstance->Save();
  }
}

void TFrameSaveLocation::TavImageButtonStartSuloClick(TControl*) {
  Notify<IViewNavigation>(&IViewNavigation::ShowView, "TFrameTabMenu", "LayoutContent", 2);
}

void TFrameSaveLocation::ImageSaveLocationTextClick(TControl*) {
  // While the board scan runs, the scan alone may use the port.
  if (!FScanReported) {
    Trace("Service check ignored: board scan still running");
    return;
  }
  if (!TCommandCenter::IsComportConnected()) {
    Dialogs().ShowMessage("Comport not Connected");
    return;
  }
  Dialogs().ShowMessage("Comport Connected");
  TCommandCenter::MoveMotor();
}
