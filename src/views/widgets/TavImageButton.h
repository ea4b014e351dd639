// The image button: a control that draws one of five owned pictures according
// to its state and offers press, toggle and radio-group behaviour.
//
// Pictures are drawn at their own size from the control's top-left corner,
// clipped to the control and never stretched (the design-unit scale of the
// screen still applies). Buttons of one window with the same non-empty
// GroupName exclude each other.
#pragma once

#include "views/widgets/Bitmap.h"
#include "views/widgets/Control.h"

class TTavCustomImageButton : public TControl {
  Q_OBJECT
 public:
  explicit TTavCustomImageButton(QWidget* parent = nullptr);

  // Each setter copies the picture into the button's own.
  void SetBitmapDefault(const TBitmap& bitmap) { FBitmapDefault.Assign(bitmap); }
  void SetBitmapMouseOver(const TBitmap& bitmap) { FBitmapMouseOver.Assign(bitmap); }
  void SetBitmapPressed(const TBitmap& bitmap) { FBitmapPressed.Assign(bitmap); }
  void SetBitmapSelected(const TBitmap& bitmap) { FBitmapSelected.Assign(bitmap); }
  void SetBitmapDisabled(const TBitmap& bitmap) { FBitmapDisabled.Assign(bitmap); }
  TBitmap& BitmapDefault() { return FBitmapDefault; }
  TBitmap& BitmapMouseOver() { return FBitmapMouseOver; }
  TBitmap& BitmapPressed() { return FBitmapPressed; }
  TBitmap& BitmapSelected() { return FBitmapSelected; }
  TBitmap& BitmapDisabled() { return FBitmapDisabled; }

  void SetAutoSize(bool value);
  bool AutoSize() const { return FAutoSize; }
  void SetGroupName(const QString& value) { FGroupName = value; }
  const QString& GroupName() const { return FGroupName; }
  void SetStaysPressed(bool value) { FStaysPressed = value; }
  bool StaysPressed() const { return FStaysPressed; }
  void SetIsSelected(bool value);
  bool IsSelected() const { return FIsSelected; }
  void SetIsPressed(bool value);
  bool IsPressed() const { return FIsPressed; }
  void SetCanFocus(bool value);
  bool CanFocus() const { return FCanFocus; }

  void MouseOver(bool over);
  // After the button was set up from a screen description.
  void Loaded();

  // The picture the last paint chose (tests and diagnostics).
  const TBitmap* CurrentBitmap() const { return FBitmap; }
  // Runs the picture choice as a paint would.
  const TBitmap* ChooseBitmap();

 protected:
  void Paint(QPainter& painter) override;
  void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y) override;
  void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y) override;
  void DoMouseEnter() override;
  void DoMouseLeave() override;

 private:
  void DrawBitmap();
  void AdjustBitmapSize();
  void BitmapChanged();
  // The "IsPressed" trigger: the pressed look is a repaint.
  void StartTriggerAnimation() { update(); }

  TBitmap FBitmapDefault;
  TBitmap FBitmapMouseOver;
  TBitmap FBitmapPressed;
  TBitmap FBitmapSelected;
  TBitmap FBitmapDisabled;
  const TBitmap* FBitmap = nullptr;
  bool FPressing = false;
  bool FForceRepaint = false;
  bool FAutoSize = false;
  QString FGroupName;
  bool FStaysPressed = false;
  bool FIsSelected = false;
  bool FIsPressed = false;
  bool FCanFocus = true;
};

class TTavImageButton : public TTavCustomImageButton {
  Q_OBJECT
 public:
  using TTavCustomImageButton::TTavCustomImageButton;
};
