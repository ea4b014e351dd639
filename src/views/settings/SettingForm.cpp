#include "views/settings/SettingForm.h"

#include <QCloseEvent>
#include <QCursor>
#include <QPointer>
#include <QResizeEvent>
#include <QShowEvent>
#include <QWindow>
#include <optional>
#include <string>

#include "configuration/Configuration.h"
#include "logging/Log.h"
#include "views/common/Dialogs.h"
#include "views/widgets/WindowHeader.h"

namespace {
using K = TTakePictureConfigurationKind;

constexpr qreal HeaderHeight = 39;
constexpr qreal TabMenuHeight = 66;
constexpr qreal ColumnWidth = 192;
constexpr qreal TitleHeight = 50;
constexpr qreal SpinStep = 63;
constexpr qreal SpinValueRow = 27;

// The window whose LoadSetting is being delivered. Every window's spinners
// are on the bus, so another window's load moves them too; what they
// announce then is not an edit of the mode this window shows.
TSettingForm* LoadingForm = nullptr;

TLabel* MakeColumnTitle(TLayout* column, const char* name, const char* text) {
  auto* label = new TLabel(column);
  label->SetName(name);
  label->SetBounds(0, 0, ColumnWidth, TitleHeight);
  label->SetText(text);
  label->SetFontSize(14);
  label->SetFontColor(QColor::fromRgba(0xFF505050));
  return label;
}

TTavImageButton* MakeModeButton(TLayout* parent, const char* name, const char* art, qreal leftMargin) {
  auto* button = new TTavImageButton(parent);
  button->SetName(name);
  button->SetSize(105, 33);
  button->SetMargins(leftMargin, 0, 0, 0);
  button->SetAlign(TAlignLayout::Left);
  button->SetGroupName("Sulo");
  const QString base = QString(":/images/settings/mode_%1").arg(art);
  button->BitmapDefault().LoadFromFile(base + ".svg");
  button->BitmapMouseOver().LoadFromFile(base + "_over.svg");
  button->BitmapPressed().LoadFromFile(base + "_pressed.svg");
  button->BitmapSelected().LoadFromFile(base + "_selected.svg");
  return button;
}
}  // namespace

TSettingForm::TSettingForm(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  InitSettingsArtwork();
  setWindowTitle("Setting");
  if (auto* control = qobject_cast<TControl*>(owner)) FScale = control->AbsoluteScale().x();
  if (FScale <= 0) FScale = 1.0;

  RectangleClient = new TRectangle(this);
  RectangleClient->SetName("RectangleClient");
  RectangleClient->SetFillColor(QColor(0xEE, 0xF1, 0xF2));
  RectangleClient->SetScale(FScale, FScale);

  // The title bar: drag area, logo, minimise and close.
  const TWindowHeader header = MakeWindowHeader(RectangleClient, ClientWidth);
  LayoutHeader = header.LayoutHeader;
  RectangleHeaderBG = header.RectangleHeaderBG;
  LayoutLogo = header.LayoutLogo;
  ImageLogo = header.ImageLogo;
  LayoutBtnClose = header.LayoutBtnClose;
  TavImageButtonClose = header.TavImageButtonClose;
  LayoutBtnMinimize = header.LayoutBtnMinimize;
  TavImageButtonMinimize = header.TavImageButtonMinimize;
  RectangleHeaderBG->OnMouseDown = [this](TControl* s, Qt::MouseButton b, Qt::KeyboardModifiers k, qreal x, qreal y) {
    RectangleHeaderBGMouseDown(s, b, k, x, y);
  };
  RectangleHeaderBG->OnMouseMove = [this](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDrag.Follow(); };
  RectangleHeaderBG->OnMouseUp = [this](TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDrag.End(); };
  TavImageButtonClose->OnClick = [this](TControl* s) { TavImageButtonCloseClick(s); };
  TavImageButtonMinimize->OnClick = [this](TControl* s) { TavImageButtonMinimizeClick(s); };

  // Mode row and the repeat-test button.
  LayoutTabMenu = new TLayout(RectangleClient);
  LayoutTabMenu->SetName("LayoutTabMenu");
  LayoutTabMenu->SetSize(ClientWidth, TabMenuHeight);
  LayoutTabMenu->SetAlign(TAlignLayout::Top);

  RectangleBG = new TRectangle(LayoutTabMenu);
  RectangleBG->SetName("RectangleBG");
  RectangleBG->SetFillColor(Qt::white);
  RectangleBG->SetAlign(TAlignLayout::Contents);

  LayoutViewer = new TLayout(RectangleBG);
  LayoutViewer->SetName("LayoutViewer");
  LayoutViewer->SetSize(ClientWidth, TabMenuHeight);
  LayoutViewer->SetAlign(TAlignLayout::Top);

  LayoutSubmenuContainer = new TLayout(LayoutViewer);
  LayoutSubmenuContainer->SetName("LayoutSubmenuContainer");
  LayoutSubmenuContainer->SetSize(537, 33);
  LayoutSubmenuContainer->SetAlign(TAlignLayout::Center);

  TavImageButtonSulo = MakeModeButton(LayoutSubmenuContainer, "TavImageButtonSulo", "sulo", 0);
  TavImageButtonPortrait = MakeModeButton(LayoutSubmenuContainer, "TavImageButtonPortrait", "portrait", 39);
  TavImageButtonUV = MakeModeButton(LayoutSubmenuContainer, "TavImageButtonUV", "uv", 39);
  TavImageButtonPolarization = MakeModeButton(LayoutSubmenuContainer, "TavImageButtonPolarization", "polarization", 39);
  TavImageButtonSulo->SetIsSelected(true);
  TavImageButtonSulo->OnClick = [this](TControl* s) { TavImageButtonSuloClick(s); };
  TavImageButtonPortrait->OnClick = [this](TControl* s) { TavImageButtonPortraitClick(s); };
  TavImageButtonUV->OnClick = [this](TControl* s) { TavImageButtonUVClick(s); };
  TavImageButtonPolarization->OnClick = [this](TControl* s) { TavImageButtonPolarizationClick(s); };

  Button1 = new TButton(LayoutViewer);
  Button1->SetName("Button1");
  Button1->SetBounds(8, 24, 25, 22);
  Button1->SetTransparent(true);
  Button1->OnClick = [this](TControl* s) { Button1Click(s); };

  // The three columns of spinners.
  LayoutContent = new TLayout(RectangleClient);
  LayoutContent->SetName("LayoutContent");
  LayoutContent->SetSize(ClientWidth, ClientHeight - HeaderHeight - TabMenuHeight);
  LayoutContent->SetAlign(TAlignLayout::Client);

  GridLayout = new TLayout(LayoutContent);
  GridLayout->SetName("GridLayout");
  GridLayout->SetSize(3 * ColumnWidth, 660);
  GridLayout->SetAlign(TAlignLayout::Center);

  auto column = [this](const char* name, int index) {
    auto* layout = new TLayout(GridLayout);
    layout->SetName(name);
    layout->SetBounds(index * ColumnWidth, 0, ColumnWidth, 768);
    return layout;
  };
  LayoutCameraSetting = column("LayoutCameraSetting", 0);
  LabelCameraSetting = MakeColumnTitle(LayoutCameraSetting, "LabelCameraSetting", "Camera Setting");
  FrameSpinShutter = MakeSpin(LayoutCameraSetting, "FrameSpinShutter", 0);
  FrameSpinShutterDelay = MakeSpin(LayoutCameraSetting, "FrameSpinShutterDelay", 1);
  FrameSpinDiaphragm = MakeSpin(LayoutCameraSetting, "FrameSpinDiaphragm", 2);
  FrameSpinISO = MakeSpin(LayoutCameraSetting, "FrameSpinISO", 3);

  LayoutDevice = column("LayoutDevice", 1);
  LabelDevice = MakeColumnTitle(LayoutDevice, "LabelDevice", "Device");
  FrameSpinLighting = MakeSpin(LayoutDevice, "FrameSpinLighting", 0);
  FrameSpinLightingBrightness = MakeSpin(LayoutDevice, "FrameSpinLightingBrightness", 1);
  FrameSpinWhiteBalance = MakeSpin(LayoutDevice, "FrameSpinWhiteBalance", 2);
  FrameSpinWhiteBalanceRevision = MakeSpin(LayoutDevice, "FrameSpinWhiteBalanceRevision", 3);
  FrameSpinMotorLocation = MakeSpin(LayoutDevice, "FrameSpinMotorLocation", 4);
  FrameSpinMotorSpeed = MakeSpin(LayoutDevice, "FrameSpinMotorSpeed", 5);

  LayoutImageAdjustment = column("LayoutImageAdjustment", 2);
  LabelImageAdjistment = MakeColumnTitle(LayoutImageAdjustment, "LabelImageAdjistment", "Image Adjustment");
  FrameSpinColorGainG = MakeSpin(LayoutImageAdjustment, "FrameSpinColorGainG", 0);
  FrameSpinColorGainB = MakeSpin(LayoutImageAdjustment, "FrameSpinColorGainB", 1);
  FrameSpinHue = MakeSpin(LayoutImageAdjustment, "FrameSpinHue", 2);
  FrameSpinSaturation = MakeSpin(LayoutImageAdjustment, "FrameSpinSaturation", 3);
  FrameSpinContrast = MakeSpin(LayoutImageAdjustment, "FrameSpinContrast", 4);
  FrameSpinSharpness = MakeSpin(LayoutImageAdjustment, "FrameSpinSharpness", 5);
  FrameSpinImageSize = MakeSpin(LayoutImageAdjustment, "FrameSpinImageSize", 6);

  TavImageButtonSave = new TTavImageButton(LayoutImageAdjustment);
  TavImageButtonSave->SetName("TavImageButtonSave");
  TavImageButtonSave->SetBounds(0, FrameSpinImageSize->Y() + SpinStep + 80, 192, 51);
  TavImageButtonSave->BitmapDefault().LoadFromFile(":/images/settings/save.svg");
  TavImageButtonSave->BitmapMouseOver().LoadFromFile(":/images/settings/save_over.svg");
  TavImageButtonSave->BitmapPressed().LoadFromFile(":/images/settings/save_pressed.svg");
  TavImageButtonSave->OnClick = [this](TControl* s) { TavImageButtonSaveClick(s); };
  LabelSaved = new TLabel(LayoutImageAdjustment);
  LabelSaved->SetName("LabelSaved");
  LabelSaved->SetBounds(0, TavImageButtonSave->Y() + TavImageButtonSave->Height() + 10, ColumnWidth, 20);
  LabelSaved->SetText(QString::fromUtf8("설정을 저장했습니다."));
  LabelSaved->SetFontSize(14);
  LabelSaved->SetBold(true);
  LabelSaved->SetFontColor(QColor(0x2E, 0x8B, 0x57));
  LabelSaved->SetTextAlign(Qt::AlignCenter);
  LabelSaved->hide();
  TimerSaved = new TTimer(this);
  TimerSaved->SetEnabled(false);
  TimerSaved->SetInterval(SavedShownMs);
  TimerSaved->OnTimer = [this](TTimer* t) {
    t->SetEnabled(false);
    LabelSaved->hide();
  };

  resize(qRound(ClientWidth * FScale), qRound(ClientHeight * FScale));
  RectangleClient->SetBounds(0, 0, ClientWidth, ClientHeight);

  // What is in memory is dropped: the window starts from the file.
  if (TConfiguration::FInstance) TConfiguration::FInstance->Load();
  FTags = {{TavImageButtonSulo, 1}, {TavImageButtonPortrait, 2}, {TavImageButtonUV, 3}, {TavImageButtonPolarization, 4}};
  const std::array<TFrameSpin*, 17> spinners = Spinners();
  for (std::size_t i = 0; i < spinners.size(); ++i)
    static_cast<ISetting*>(spinners[i])->Initialize(static_cast<K>(static_cast<int>(K::Shutter) + static_cast<int>(i)));
  LoadSetting(TTakePictureMode::Sulo);
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Add<ISettingChanged>(this);
}

TSettingForm::~TSettingForm() {
  if (LoadingForm == this) LoadingForm = nullptr;
  LeaveSettingChanged();
  // The spinners leave ISetting as they go with their columns.
}

TFrameSpin* TSettingForm::MakeSpin(TLayout* column, const char* name, int row) {
  auto* spin = new TFrameSpin(column);
  spin->SetName(name);
  spin->SetPosition(0, TitleHeight + row * SpinStep);
  spin->SetValueRowHeight(SpinValueRow);
  return spin;
}

std::array<TFrameSpin*, 17> TSettingForm::Spinners() const {
  return {FrameSpinShutter,       FrameSpinShutterDelay,         FrameSpinDiaphragm,     FrameSpinISO,
          FrameSpinWhiteBalance,  FrameSpinWhiteBalanceRevision, FrameSpinImageSize,     FrameSpinLighting,
          FrameSpinLightingBrightness, FrameSpinMotorLocation,   FrameSpinMotorSpeed,    FrameSpinColorGainG,
          FrameSpinColorGainB,    FrameSpinHue,                  FrameSpinSaturation,    FrameSpinContrast,
          FrameSpinSharpness};
}

int TSettingForm::Tag(const TControl* Control) const {
  const auto it = FTags.find(Control);
  return it == FTags.end() ? 0 : it->second;
}

bool TSettingForm::IsOwnSpinner(const ISetting* Setting) const {
  if (!Setting) return false;
  for (TFrameSpin* spin : Spinners())
    if (spin && static_cast<const ISetting*>(spin) == Setting) return true;
  return false;
}

void TSettingForm::LoadSetting(TTakePictureMode Mode) {
  FTakePictureMode = Mode;
  FTakePictureConfiguration =
      TConfiguration::FInstance ? TConfiguration::FInstance->GetTakePictureConfiguraion(Mode) : nullptr;
  if (!FTakePictureConfiguration) return;
  TSettingForm* const outer = LoadingForm;
  LoadingForm = this;
  try {
    Notify<ISetting>(&ISetting::Write, *FTakePictureConfiguration);
  } catch (...) {
    LoadingForm = outer;
    throw;
  }
  LoadingForm = outer;
}

void TSettingForm::SettingChanged(ISetting* Setting) {
  // Only this window's spinners edit this window's mode, and not while
  // another window is loading its mode into every spinner.
  if (!IsOwnSpinner(Setting)) return;
  if (LoadingForm && LoadingForm != this) return;
  // A load (another settings window opening) replaces every record: the
  // record is looked up afresh.
  FTakePictureConfiguration =
      TConfiguration::FInstance ? TConfiguration::FInstance->GetTakePictureConfiguraion(FTakePictureMode) : nullptr;
  if (!FTakePictureConfiguration) return;
  const TTakePictureConfigurationKind kind = Setting->GetKind();
  const std::int32_t value = Setting->GetValue();
  Trace("Setting Changed " + std::to_string(static_cast<int>(kind)) + " : " + std::to_string(value));
  FTakePictureConfiguration->SetValue(kind, value);
}

void TSettingForm::TavImageButtonSuloClick(TControl*) { LoadSetting(TTakePictureMode::Sulo); }
void TSettingForm::TavImageButtonPortraitClick(TControl*) { LoadSetting(TTakePictureMode::Portrait); }
void TSettingForm::TavImageButtonUVClick(TControl*) { LoadSetting(TTakePictureMode::UV); }
void TSettingForm::TavImageButtonPolarizationClick(TControl*) { LoadSetting(TTakePictureMode::Polarization); }

void TSettingForm::TavImageButtonSaveClick(TControl*) {
  if (!TConfiguration::FInstance) return;
  LabelSaved->hide();
  TimerSaved->SetEnabled(false);
  try {
    TConfiguration::FInstance->Save();
  } catch (const EConfigurationWrite& e) {
    Trace(std::string("Save : ") + e.what());
    Dialogs().ShowError("Sulo", e.what());
    return;
  }
  LabelSaved->show();
  TimerSaved->SetEnabled(true);
}

void TSettingForm::TavImageButtonCloseClick(TControl*) {
  DestroySpinners();
  close();
}

void TSettingForm::DestroySpinners() {
  // In kind order; each leaves ISetting, so a later window's load reaches
  // only its own spinners.
  for (TFrameSpin** field :
       {&FrameSpinShutter, &FrameSpinShutterDelay, &FrameSpinDiaphragm, &FrameSpinISO, &FrameSpinWhiteBalance,
        &FrameSpinWhiteBalanceRevision, &FrameSpinImageSize, &FrameSpinLighting, &FrameSpinLightingBrightness,
        &FrameSpinMotorLocation, &FrameSpinMotorSpeed, &FrameSpinColorGainG, &FrameSpinColorGainB, &FrameSpinHue,
        &FrameSpinSaturation, &FrameSpinContrast, &FrameSpinSharpness}) {
    delete *field;
    *field = nullptr;
  }
}

void TSettingForm::TavImageButtonMinimizeClick(TControl*) { showMinimized(); }

void TSettingForm::RectangleHeaderBGMouseDown(TControl*, Qt::MouseButton, Qt::KeyboardModifiers, qreal, qreal) { FDrag.Begin(); }

void TSettingForm::Button1Click(TControl*) {
  const std::optional<std::string> answer = Dialogs().InputQuery("Repeat Test", "Repeat", true);
  if (!answer) {
    Notify<ICameraControlListener>(&ICameraControlListener::RepeatShoot, 0);
    return;
  }
  // A whole number and nothing else: blanks around it are not accepted either.
  bool ok = false;
  const QString text = QString::fromStdString(*answer);
  const int count = text.toInt(&ok, 10);
  if (!ok || text.trimmed() != text) {
    Dialogs().ShowMessage("'" + *answer + "' is not a valid integer value");
    return;
  }
  Trace("ShootRepeatCount : " + std::to_string(count));
  Notify<ICameraControlListener>(&ICameraControlListener::RepeatShoot, count);
}

void TSettingForm::LeaveSettingChanged() {
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Remove<ISettingChanged>(this);
}

void TSettingForm::closeEvent(QCloseEvent* event) {
  // However the window is closed, its spinners go with it: a hidden window
  // must not follow a later window's loads.
  DestroySpinners();
  LeaveSettingChanged();
  event->accept();
}

void TSettingForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FitClient();
}

void TSettingForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A resize the client took while hidden reaches it only now, in pixels.
  FitClient();
}

void TSettingForm::FitClient() {
  // At its own size the window shows exactly the design size; the pixel
  // rounding is not turned into design units.
  const QSize own(qRound(ClientWidth * FScale), qRound(ClientHeight * FScale));
  if (size() == own)
    RectangleClient->SetBounds(0, 0, ClientWidth, ClientHeight);
  else
    RectangleClient->SetBounds(0, 0, width() / FScale, height() / FScale);
}
