#include "views/menu/FrameTabMenu.h"

#include <QGraphicsDropShadowEffect>

#include "logging/Log.h"
#include "views/menu/MenuArtwork.h"
#include "views/menu/FrameTabSub.h"
#include "views/settings/SettingForm.h"
#include "views/common/ViewHost.h"

namespace {
TTavImageButton* MakeButton(QWidget* parent, const QString& name, const QString& art, bool selectable) {
  InitMenuArtwork();
  auto* button = new TTavImageButton(parent);
  button->SetName(name);
  const QString base = ":/images/menu/" + art;
  button->BitmapDefault().LoadFromFile(base + ".svg");
  button->BitmapMouseOver().LoadFromFile(base + "_over.svg");
  button->BitmapPressed().LoadFromFile(base + "_pressed.svg");
  if (selectable) {
    button->BitmapSelected().LoadFromFile(base + "_selected.svg");
    button->BitmapDisabled().LoadFromFile(base + "_disabled.svg");
  }
  button->setCursor(Qt::PointingHandCursor);
  return button;
}

TImage* MakeImage(QWidget* parent, const QString& name, const QString& file) {
  InitMenuArtwork();
  auto* image = new TImage(parent);
  image->SetName(name);
  image->Bitmap().LoadFromFile(file);
  return image;
}

// A soft shadow that lifts a popup off the screen beneath it.
void AddShadow(QWidget* popup) {
  auto* shadow = new QGraphicsDropShadowEffect(popup);
  shadow->setBlurRadius(24);
  shadow->setOffset(0, 4);
  shadow->setColor(QColor(0, 0, 0, 90));
  popup->setGraphicsEffect(shadow);
}

// The marker bar's x under each tab.
constexpr qreal TabShootX = 0;
constexpr qreal TabViewerX = 192;
}  // namespace

TFrameTabMenu::TFrameTabMenu(QWidget* owner) : TFrame(owner, "TFrameTabMenu", 1086, 791) {
  // Drawing order: later controls lie on top and take the pointer first.
  LayoutTabContent = new TLayout(this);
  LayoutTabContent->SetName("LayoutTabContent");
  LayoutTabContent->SetSize(1086, 710);
  LayoutTabContent->SetAlign(TAlignLayout::Client);

  LayoutDisableBG = new TLayout(this);
  LayoutDisableBG->SetName("LayoutDisableBG");
  LayoutDisableBG->SetBounds(0, 0, 1086, 147);
  LayoutDisableBG->hide();
  RectangleDisableBG = new TRectangle(LayoutDisableBG);
  RectangleDisableBG->SetName("RectangleDisableBG");
  RectangleDisableBG->SetFillColor(QColor::fromRgba(0xFF4C4C4C));
  RectangleDisableBG->SetOpacity(0.3);
  RectangleDisableBG->SetAlign(TAlignLayout::Contents);

  LayoutSavePopup = new TLayout(this);
  LayoutSavePopup->SetName("LayoutSavePopup");
  LayoutSavePopup->SetBounds(558, 370, 513, 141);
  LayoutSavePopup->hide();
  LayoutPopupContent = new TLayout(LayoutSavePopup);
  LayoutPopupContent->SetName("LayoutPopupContent");
  LayoutPopupContent->SetSize(513, 141);
  LayoutPopupContent->SetAlign(TAlignLayout::Center);
  RectanglePopupContentBG = new TRectangle(LayoutPopupContent);
  RectanglePopupContentBG->SetName("RectanglePopupContentBG");
  RectanglePopupContentBG->SetFillColor(Qt::white);
  RectanglePopupContentBG->SetAlign(TAlignLayout::Contents);
  AddShadow(RectanglePopupContentBG);
  TavImageButtonSave = MakeButton(RectanglePopupContentBG, "TavImageButtonSave", "popup_save", false);
  TavImageButtonSave->SetBounds(45, 70, 135, 42);
  TavImageButtonSave->OnClick = [this](TControl* s) { TavImageButtonSaveClick(s); };
  TavImageButtonSaveAs = MakeButton(RectanglePopupContentBG, "TavImageButtonSaveAs", "popup_saveas", false);
  TavImageButtonSaveAs->SetBounds(189, 70, 135, 42);
  TavImageButtonSaveAs->OnClick = [this](TControl* s) { TavImageButtonSaveAsClick(s); };
  TavImageButtonDontSave = MakeButton(RectanglePopupContentBG, "TavImageButtonDontSave", "popup_dontsave", false);
  TavImageButtonDontSave->SetBounds(333, 70, 135, 42);
  TavImageButtonDontSave->OnClick = [this](TControl* s) { TavImageButtonDontSaveClick(s); };
  ImageSave = MakeImage(RectanglePopupContentBG, "ImageSave", ":/images/menu/popup_question.svg");
  ImageSave->SetBounds(45, 21, 423, 36);
  ImageSaveSuccess = MakeImage(RectanglePopupContentBG, "ImageSaveSuccess", ":/images/menu/popup_saved.svg");
  ImageSaveSuccess->SetSize(423, 36);
  ImageSaveSuccess->SetAlign(TAlignLayout::Center);
  ImageSaveSuccess->hide();
  ImageDontSave = MakeImage(RectanglePopupContentBG, "ImageDontSave", ":/images/menu/popup_notsaved.svg");
  ImageDontSave->SetSize(423, 36);
  ImageDontSave->SetAlign(TAlignLayout::Center);
  ImageDontSave->hide();
  FloatAnimationPopup = new TFloatAnimation(this);
  FloatAnimationPopup->SetDuration(1.5);
  FloatAnimationPopup->OnProcess = [this](qreal value) { LayoutSavePopup->SetOpacity(value); };
  FloatAnimationPopup->OnFinish = [this](TFloatAnimation* s) { FloatAnimationPopupFinish(s); };

  LayoutHeader = new TLayout(this);
  LayoutHeader->SetName("LayoutHeader");
  LayoutHeader->SetSize(1086, 81);
  LayoutHeader->SetAlign(TAlignLayout::Top);
  RectangleTabBg = new TRectangle(LayoutHeader);
  RectangleTabBg->SetName("RectangleTabBg");
  RectangleTabBg->SetFillColor(QColor::fromRgba(0xFF323232));
  RectangleTabBg->SetAlign(TAlignLayout::Contents);
  LayoutLeft = new TLayout(RectangleTabBg);
  LayoutLeft->SetName("LayoutLeft");
  LayoutLeft->SetSize(161, 81);
  LayoutLeft->SetAlign(TAlignLayout::Left);
  ImageLogo = MakeImage(LayoutLeft, "ImageLogo", ":/images/menu/tab_logo.svg");
  ImageLogo->SetBounds(10, 4, 148, 54);
  ImageLogo->SetHitTest(false);
  LayoutCenter = new TLayout(RectangleTabBg);
  LayoutCenter->SetName("LayoutCenter");
  LayoutCenter->SetSize(384, 66);
  LayoutCenter->SetMargins(0, 15, 0, 0);
  LayoutCenter->SetAlign(TAlignLayout::Center);
  TavImageButtonTabShoot = MakeButton(LayoutCenter, "TavImageButtonTabShoot", "tab_shoot", true);
  TavImageButtonTabShoot->SetGroupName("MainTab");
  TavImageButtonTabShoot->SetSize(192, 66);
  TavImageButtonTabShoot->SetAlign(TAlignLayout::Left);
  TavImageButtonTabShoot->OnClick = [this](TControl* s) { TavImageButtonTabShootClick(s); };
  TavImageButtonTabViewer = MakeButton(LayoutCenter, "TavImageButtonTabViewer", "tab_viewer", true);
  TavImageButtonTabViewer->SetGroupName("MainTab");
  TavImageButtonTabViewer->SetSize(192, 66);
  TavImageButtonTabViewer->SetAlign(TAlignLayout::Right);
  TavImageButtonTabViewer->OnClick = [this](TControl* s) { TavImageButtonTabViewerClick(s); };
  // The 128 x 4 artwork stretched over 128 x 6, then scaled by 1.5: a bar as
  // wide as one tab.
  ImageTabAnimationBar = MakeImage(LayoutCenter, "ImageTabAnimationBar", ":/images/menu/tab_bar.svg");
  ImageTabAnimationBar->SetBounds(TabShootX, 59, 128, 6);
  ImageTabAnimationBar->SetScale(1.5, 1.5);
  ImageTabAnimationBar->SetStretch(true);
  ImageTabAnimationBar->SetHitTest(false);
  FloatAnimationMenuBar = new TFloatAnimation(this);
  FloatAnimationMenuBar->SetDuration(0.2);
  FloatAnimationMenuBar->OnProcess = [this](qreal x) { ImageTabAnimationBar->SetPosition(x, ImageTabAnimationBar->Y()); };

  LayoutSettingPasswordPopup = new TFocusLayout(this);
  LayoutSettingPasswordPopup->SetName("LayoutSettingPasswordPopup");
  LayoutSettingPasswordPopup->SetBounds(331, 368, 425, 137);
  LayoutSettingPasswordPopup->hide();
  RectanglePasswordBG = new TRectangle(LayoutSettingPasswordPopup);
  RectanglePasswordBG->SetName("RectanglePasswordBG");
  RectanglePasswordBG->SetFillColor(Qt::white);
  RectanglePasswordBG->SetAlign(TAlignLayout::Contents);
  AddShadow(RectanglePasswordBG);
  LabelInput = new TLabel(RectanglePasswordBG);
  LabelInput->SetName("LabelInput");
  LabelInput->SetBounds(24, 16, 150, 17);
  LabelInput->SetText("Input password");
  EditPassword = new TEdit(RectanglePasswordBG);
  EditPassword->SetName("EditPassword");
  EditPassword->SetBounds(24, 56, 377, 22);
  EditPassword->SetPassword(true);
  ButtonCancel = new TButton(RectanglePasswordBG);
  ButtonCancel->SetName("ButtonCancel");
  ButtonCancel->SetBounds(232, 96, 80, 22);
  ButtonCancel->SetText("Cancel");
  ButtonCancel->OnClick = [this](TControl* s) { ButtonCancelClick(s); };
  ButtonConfirm = new TButton(RectanglePasswordBG);
  ButtonConfirm->SetName("ButtonConfirm");
  ButtonConfirm->SetBounds(320, 96, 80, 22);
  ButtonConfirm->SetText("Confirm");
  ButtonConfirm->OnClick = [this](TControl* s) { ButtonConfirmClick(s); };
  LabelError = new TLabel(RectanglePasswordBG);
  LabelError->SetName("LabelError");
  LabelError->SetBounds(184, 16, 216, 17);
  LabelError->SetFontColor(Qt::red);
  LabelError->SetTextAlign(Qt::AlignRight | Qt::AlignVCenter);
  LabelError->hide();
  LayoutSettingPasswordPopup->SetFocusOrder({EditPassword, ButtonConfirm, ButtonCancel});

  TavImageButtonTabShoot->SetIsSelected(true);
  ShowView("TFrameTabSub", "LayoutTabContent", 2);
  setSubTab("Sulo");

  if (TNotificationCenter* center = TNotificationCenter::FInstance) {
    center->Add<ISavePopup>(this);
    center->Add<IWindowSizeControl>(this);
    center->Add<ISettingPasswordPopup>(this);
  }
}

TFrameTabMenu::~TFrameTabMenu() {
  if (TNotificationCenter* center = TNotificationCenter::FInstance) {
    center->Remove<ISavePopup>(this);
    center->Remove<IWindowSizeControl>(this);
    center->Remove<ISettingPasswordPopup>(this);
  }
}

void TFrameTabMenu::setSubTab(const std::string& Name) {
  for (QWidget* child : LayoutTabContent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (auto* sub = qobject_cast<TFrameTabSub*>(child); sub && !sub->objectName().isEmpty()) sub->setSubTab(Name);
  Trace("Tab content width : " + std::to_string(LayoutTabContent->Width()));
  Trace("Tab content height : " + std::to_string(LayoutTabContent->Height()));
}

void TFrameTabMenu::ShowView(const std::string& ViewName, const std::string& ParentView, int) {
  HostView(this, ViewName, ParentView);
}

bool TFrameTabMenu::ShotInProgress() const { return !LayoutDisableBG->isHidden(); }

void TFrameTabMenu::TavImageButtonTabShootClick(TControl*) {
  // Leaving the shooting view mid-shot would destroy the view the popup
  // answers to: the tabs wait until the shot has ended.
  if (ShotInProgress()) return;
  FloatAnimationMenuBar->SetStartValue(TabViewerX);
  FloatAnimationMenuBar->SetStopValue(TabShootX);
  FloatAnimationMenuBar->Start();
  setSubTab("Sulo");
}

void TFrameTabMenu::TavImageButtonTabViewerClick(TControl*) {
  if (ShotInProgress()) return;
  FloatAnimationMenuBar->SetStartValue(TabShootX);
  FloatAnimationMenuBar->SetStopValue(TabViewerX);
  FloatAnimationMenuBar->Start();
  setSubTab("Viewer");
}

void TFrameTabMenu::InitSavePopup() {
  ImageSave->show();
  TavImageButtonSave->show();
  TavImageButtonSaveAs->show();
  TavImageButtonDontSave->show();
  ImageSaveSuccess->hide();
  ImageDontSave->hide();
}

void TFrameTabMenu::CloseSavePopup() {
  // Fully opaque from start to stop: a 1.5 s delay before the popup closes.
  FloatAnimationPopup->SetStartValue(1);
  FloatAnimationPopup->SetStopValue(1);
  FloatAnimationPopup->Start();
}

void TFrameTabMenu::SetDisableBG() {
  // A closing delay still running from the last picture must not close what
  // the next shot opens.
  FloatAnimationPopup->Stop();
  LayoutDisableBG->show();
  // The tab that is not shown cannot be chosen until the shot has ended.
  for (TTavImageButton* tab : {TavImageButtonTabShoot, TavImageButtonTabViewer})
    if (!tab->IsSelected()) tab->setEnabled(false);
}

void TFrameTabMenu::OpenSavePopup() {
  FloatAnimationPopup->Stop();
  InitSavePopup();
  LayoutSavePopup->SetOpacity(1);
  LayoutSavePopup->show();
}

void TFrameTabMenu::SaveSuccess() {
  TavImageButtonSave->hide();
  TavImageButtonSaveAs->hide();
  TavImageButtonDontSave->hide();
  ImageSaveSuccess->show();
  CloseSavePopup();
}

void TFrameTabMenu::SetEnableScreen() {
  LayoutDisableBG->hide();
  TavImageButtonTabShoot->setEnabled(true);
  TavImageButtonTabViewer->setEnabled(true);
  LayoutSavePopup->hide();
  Notify<ISavePopupListener>(&ISavePopupListener::EnableFuntion);
}

void TFrameTabMenu::FloatAnimationPopupFinish(TFloatAnimation*) { SetEnableScreen(); }

// The question goes before the view is told: a save that fails opens the
// popup again from within the call, and the question must then stay.
void TFrameTabMenu::TavImageButtonSaveClick(TControl*) {
  ImageSave->hide();
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveBtn);
}

void TFrameTabMenu::TavImageButtonSaveAsClick(TControl*) {
  ImageSave->hide();
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickSaveAsBtn);
}

void TFrameTabMenu::TavImageButtonDontSaveClick(TControl*) {
  ImageDontSave->show();
  ImageSave->hide();
  TavImageButtonSave->hide();
  TavImageButtonSaveAs->hide();
  TavImageButtonDontSave->hide();
  CloseSavePopup();
  Notify<ISavePopupListener>(&ISavePopupListener::OnClickDontSaveBtn);
}

void TFrameTabMenu::SetFullSize() { LayoutHeader->hide(); }

void TFrameTabMenu::SetMidiumSize() { LayoutHeader->show(); }

void TFrameTabMenu::OpenSettingPasswordPopup() {
  LayoutSettingPasswordPopup->show();
  SelectPassword();
}

void TFrameTabMenu::SelectPassword() {
  // A code kept from the last try stays to be seen, selected: the next code
  // typed replaces it rather than being added to it.
  EditPassword->setFocus(Qt::OtherFocusReason);
  EditPassword->Editor()->selectAll();
}

void TFrameTabMenu::HidePasswordPopup() {
  LayoutSettingPasswordPopup->hide();
  // The space key goes back to the shot, not to a control of the popup.
  if (QWidget* w = window()) w->setFocus(Qt::OtherFocusReason);
}

void TFrameTabMenu::ButtonConfirmClick(TControl*) {
  if (EditPassword->Text() == QString::fromLatin1(SettingPassword)) {
    HidePasswordPopup();
    EditPassword->SetText(QString());
    LabelError->SetText(QString());
    auto* form = new TSettingForm(this);
    form->show();
    return;
  }
  LabelError->SetText(QString::fromUtf8("비밀번호를 정확히 입력하세요"));
  LabelError->show();
  SelectPassword();
}

void TFrameTabMenu::ButtonCancelClick(TControl*) { HidePasswordPopup(); }
