#include "views/settings/FrameSpin.h"

#include "camera/Canon.h"

// The settings artwork is compiled into this library; register it once.
void InitSettingsArtwork() {
  static const bool done = [] {
    Q_INIT_RESOURCE(settings);
    return true;
  }();
  (void)done;
}

namespace {
using K = TTakePictureConfigurationKind;

// A handle on an option table: the tables outlive every spinner, so the
// handle owns nothing.
TFrameSpin::TChoices Table(const TDevicePropertyList& list) {
  return TFrameSpin::TChoices(std::shared_ptr<const void>(), &list);
}
}  // namespace

TFrameSpin::TFrameSpin(QWidget* owner) : TFrame(owner, "TFrameSpin", 192, 63) {
  InitSettingsArtwork();

  LabelTitle = new TLabel(this);
  LabelTitle->SetName("LabelTitle");
  LabelTitle->SetSize(192, 15);
  LabelTitle->SetMargins(0, 15, 0, 0);
  LabelTitle->SetAlign(TAlignLayout::Top);
  LabelTitle->SetFontColor(QColor::fromRgba(0xFF646464));
  LabelTitle->SetFontSize(12);

  LayoutContainer = new TLayout(this);
  LayoutContainer->SetName("LayoutContainer");
  LayoutContainer->SetSize(150, 30);
  LayoutContainer->SetMargins(0, 3, 0, 0);
  LayoutContainer->SetAlign(TAlignLayout::Left);

  Rectangle1 = new TRectangle(LayoutContainer);
  Rectangle1->SetName("Rectangle1");
  Rectangle1->SetFillColor(Qt::white);
  Rectangle1->SetSize(126, 30);
  Rectangle1->SetAlign(TAlignLayout::Left);

  EditValue = new TEdit(Rectangle1);
  EditValue->SetName("EditValue");
  EditValue->SetSize(116, 30);
  EditValue->SetMargins(10, 0, 0, 0);
  EditValue->SetAlign(TAlignLayout::Client);
  EditValue->SetTransparent(true);
  EditValue->SetFontColor(QColor::fromRgba(0xFF787878));
  EditValue->SetFontSize(13);
  EditValue->OnExit = [this](TControl* s) { EditValueExit(s); };

  LayoutButton = new TLayout(LayoutContainer);
  LayoutButton->SetName("LayoutButton");
  LayoutButton->SetSize(24, 30);
  LayoutButton->SetAlign(TAlignLayout::Right);

  TavImageButtonUp = new TTavImageButton(LayoutButton);
  TavImageButtonUp->SetName("TavImageButtonUp");
  TavImageButtonUp->SetSize(24, 15);
  TavImageButtonUp->SetAlign(TAlignLayout::Top);
  TavImageButtonUp->BitmapDefault().LoadFromFile(":/images/settings/spin_up.svg");
  TavImageButtonUp->BitmapMouseOver().LoadFromFile(":/images/settings/spin_up_over.svg");
  TavImageButtonUp->BitmapPressed().LoadFromFile(":/images/settings/spin_up_pressed.svg");
  TavImageButtonUp->OnClick = [this](TControl* s) { TavImageButtonUpClick(s); };

  TavImageButtonDown = new TTavImageButton(LayoutButton);
  TavImageButtonDown->SetName("TavImageButtonDown");
  TavImageButtonDown->SetSize(24, 15);
  TavImageButtonDown->SetAlign(TAlignLayout::Client);
  TavImageButtonDown->BitmapDefault().LoadFromFile(":/images/settings/spin_down.svg");
  TavImageButtonDown->BitmapMouseOver().LoadFromFile(":/images/settings/spin_down_over.svg");
  TavImageButtonDown->BitmapPressed().LoadFromFile(":/images/settings/spin_down_pressed.svg");
  TavImageButtonDown->OnClick = [this](TControl* s) { TavImageButtonDownClick(s); };

  LayoutRightSpace = new TLayout(this);
  LayoutRightSpace->SetName("LayoutRightSpace");
  LayoutRightSpace->SetSize(42, 30);
  LayoutRightSpace->SetAlign(TAlignLayout::Right);

  // Nothing to type into until a list is bound.
  EditValue->Editor()->setReadOnly(true);

  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Add<ISetting>(this);
}

TFrameSpin::~TFrameSpin() {
  // The edit may still hold the focus: its focus loss during the teardown
  // must not reach a spinner that is going away.
  EditValue->OnExit = nullptr;
  if (TNotificationCenter::FInstance) TNotificationCenter::FInstance->Remove<ISetting>(this);
}

void TFrameSpin::SetValueRowHeight(qreal height) {
  // The row is aligned left, so it takes the height left below the title:
  // what it gives up goes to its bottom margin.
  LayoutContainer->SetMargins(0, 3, 0, 30 - height);
  LayoutContainer->SetHeight(height);
  Rectangle1->SetHeight(height);
  LayoutButton->SetHeight(height);
  // The two buttons share the row: the upper half and the rest.
  TavImageButtonUp->SetHeight(height / 2);
}

QString TFrameSpin::TitleOf(TTakePictureConfigurationKind kind) {
  switch (kind) {
    case K::Shutter: return "Shutter";
    case K::ShutterDelay: return "Shutter Delay";
    case K::Diaphragm: return "Diaphragm";
    case K::ISO: return "ISO";
    case K::WhiteBalance: return "White Balance";
    case K::WhiteBalanceRevision: return "White Balance Revision";
    case K::FileSize: return "Image Size";
    case K::Lighting: return "Lighting";
    case K::LightingBrightness: return "Lighting Brightness";
    case K::MotorLocation: return "Motor Location(sec)";
    case K::MotorSpeed: return "Mortor Speed";
    case K::ColorGainG: return "Color Gain G";
    case K::ColorGainB: return "Color Gain B";
    case K::Hue: return "Hue";
    case K::Saturation: return "Saturation";
    case K::Contrast: return "Contrast";
    case K::Sharpness: return "Sharpness";
    default: return QString();
  }
}

TFrameSpin::TChoices TFrameSpin::ChoicesOf(TTakePictureConfigurationKind kind) {
  TCanon* canon = TGlobal::FInstance ? &TGlobal::FInstance->Canon() : nullptr;
  const TDeviceProperties* tables = TDeviceProperties::FInstance;
  switch (kind) {
    case K::Shutter: return canon ? canon->TvDesc() : nullptr;
    case K::Diaphragm: return canon ? canon->AvDesc() : nullptr;
    case K::ISO: return canon ? canon->ISOSpeedDesc() : nullptr;
    case K::WhiteBalance: return canon ? canon->WhiteBalanceDesc() : nullptr;
    case K::WhiteBalanceRevision: return canon ? canon->ColorTemperatureDesc() : nullptr;
    case K::FileSize: return canon ? canon->ImageQualityDesc() : nullptr;
    default: break;
  }
  if (!tables) return nullptr;
  switch (kind) {
    case K::ShutterDelay: return Table(tables->Camera().DriveMode());
    case K::Lighting: return Table(tables->Light().Kind());
    case K::LightingBrightness: return Table(tables->Light().Brightness());
    case K::MotorLocation: return Table(tables->Motor().Location());
    case K::MotorSpeed: return Table(tables->Motor().Speed());
    case K::ColorGainG: return Table(tables->Camera().WhiteBalanceShiftGreenMagenta());
    case K::ColorGainB: return Table(tables->Camera().WhiteBalanceShiftBlueAmber());
    case K::Hue: return Table(tables->Camera().ColorTone());
    case K::Saturation: return Table(tables->Camera().Saturation());
    case K::Contrast: return Table(tables->Camera().Contrast());
    case K::Sharpness: return Table(tables->Camera().Sharpness());
    default: return nullptr;
  }
}

TTakePictureConfigurationKind TFrameSpin::GetKind() { return FKind; }

std::int32_t TFrameSpin::GetValue() { return FIndex < Count() ? (*FDeviceProperties)[FIndex].ID() : 0; }

void TFrameSpin::SetValue(const std::int32_t Value) {
  if (Count() == 0) return;
  for (int i = 0; i < Count(); ++i) {
    if ((*FDeviceProperties)[i].ID() == Value) {
      FIndex = i;
      break;
    }
  }
  UpdateDisplayText();
}

void TFrameSpin::Initialize(const TTakePictureConfigurationKind Kind) {
  FKind = Kind;
  if (TitleOf(Kind).isEmpty()) return;
  FDeviceProperties = ChoicesOf(Kind);
  LabelTitle->SetText(TitleOf(Kind));
  // The position is kept; only a list shorter than it (a spinner bound a
  // second time) pulls it back onto the last choice.
  if (FIndex >= Count()) FIndex = Count() > 0 ? Count() - 1 : 0;
  EditValue->Editor()->setReadOnly(Count() == 0);
  if (Count() == 0) EditValue->SetText(QString());
}

void TFrameSpin::Read(TTakePictureConfiguration& TakePictureConfiguration) {
  if (Count() == 0) return;
  TakePictureConfiguration.SetValue(FKind, GetValue());
}

void TFrameSpin::Write(const TTakePictureConfiguration& TakePictureConfiguration) {
  SetValue(TakePictureConfiguration.GetValue(FKind));
}

void TFrameSpin::UpdateDisplayText() {
  if (Count() == 0) {
    EditValue->SetText(QString());
    return;
  }
  EditValue->SetText(QString::fromStdString((*FDeviceProperties)[FIndex].Text()));
  Notify<ISettingChanged>(&ISettingChanged::SettingChanged, static_cast<ISetting*>(this));
}

void TFrameSpin::TavImageButtonUpClick(TControl*) {
  if (FIndex < Count() - 1) {
    ++FIndex;
    UpdateDisplayText();
  }
}

void TFrameSpin::TavImageButtonDownClick(TControl*) {
  if (Count() > 0 && FIndex > 0) {
    --FIndex;
    UpdateDisplayText();
  }
}

void TFrameSpin::EditValueExit(TControl*) {
  if (Count() == 0) {
    EditValue->SetText(QString());
    return;
  }
  const QString text = EditValue->Text();
  for (int i = 0; i < Count(); ++i) {
    if (QString::fromStdString((*FDeviceProperties)[i].Text()) == text) {
      FIndex = i;
      break;
    }
  }
  UpdateDisplayText();
}
