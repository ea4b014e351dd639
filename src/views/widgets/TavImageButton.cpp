#include "views/widgets/TavImageButton.h"

#include <QPainter>
#include <algorithm>

TTavCustomImageButton::TTavCustomImageButton(QWidget* parent) : TControl(parent) {
  for (TBitmap* b : {&FBitmapDefault, &FBitmapMouseOver, &FBitmapPressed, &FBitmapSelected, &FBitmapDisabled})
    b->OnChange = [this] { BitmapChanged(); };
  setFocusPolicy(Qt::StrongFocus);
}

void TTavCustomImageButton::BitmapChanged() {
  FForceRepaint = true;
  update();
}

void TTavCustomImageButton::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustBitmapSize();
}

void TTavCustomImageButton::Loaded() { AdjustBitmapSize(); }

void TTavCustomImageButton::AdjustBitmapSize() {
  if (!FAutoSize) return;
  const TBitmap* all[] = {&FBitmapDefault, &FBitmapMouseOver, &FBitmapPressed, &FBitmapSelected, &FBitmapDisabled};
  if (std::all_of(std::begin(all), std::end(all), [](const TBitmap* b) { return b->IsEmpty(); })) return;
  int w = 0, h = 0;
  for (const TBitmap* b : all) {
    w = std::max(w, b->Width());
    h = std::max(h, b->Height());
  }
  SetSize(w, h);
}

void TTavCustomImageButton::SetCanFocus(bool value) {
  FCanFocus = value;
  setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

void TTavCustomImageButton::SetIsSelected(bool value) {
  if (value == FIsSelected) return;
  FIsSelected = value;
  if (!FGroupName.isEmpty() && FIsSelected) {
    QWidget* root = window();
    // Only this window's buttons: another window may sit among its children
    // (the settings window belongs to the main window's tab menu).
    for (TTavCustomImageButton* other : root->findChildren<TTavCustomImageButton*>())
      if (other != this && other->FGroupName == FGroupName && other->window() == root) other->SetIsSelected(false);
    if (root != this)
      if (auto* self = qobject_cast<TTavCustomImageButton*>(root); self && self != this && self->FGroupName == FGroupName)
        self->SetIsSelected(false);
  }
  update();
}

void TTavCustomImageButton::SetIsPressed(bool value) {
  if (!FStaysPressed || value == FIsPressed) return;
  FIsPressed = value;
  StartTriggerAnimation();
  update();
}

void TTavCustomImageButton::MouseOver(bool over) {
  if (over)
    DoMouseEnter();
  else
    DoMouseLeave();
}

void TTavCustomImageButton::DoMouseEnter() {
  TControl::DoMouseEnter();
  update();
}

void TTavCustomImageButton::DoMouseLeave() {
  TControl::DoMouseLeave();
  update();
}

const TBitmap* TTavCustomImageButton::ChooseBitmap() {
  DrawBitmap();
  return FBitmap;
}

void TTavCustomImageButton::DrawBitmap() {
  const TBitmap* result = nullptr;
  if (isEnabled()) {
    if (FIsSelected && (!FGroupName.isEmpty() || FStaysPressed)) {
      if (!FBitmapSelected.IsEmpty())
        result = &FBitmapSelected;
      else if (!FBitmapPressed.IsEmpty())
        result = &FBitmapPressed;
      else
        result = &FBitmapMouseOver;
    } else if (IsMouseOver()) {
      result = FIsPressed ? &FBitmapPressed : &FBitmapMouseOver;
    } else {
      result = &FBitmapDefault;
    }
  } else if (!FBitmapDisabled.IsEmpty()) {
    result = &FBitmapDisabled;
  }
  if (!result) result = &FBitmapDefault;
  if (result != FBitmap || FForceRepaint) {
    FForceRepaint = false;
    FBitmap = result;
  }
}

void TTavCustomImageButton::Paint(QPainter& painter) {
  DrawBitmap();
  if (!FBitmap || FBitmap->IsEmpty()) return;
  painter.save();
  painter.setClipRect(BoundsRect());
  painter.drawImage(QPointF(0, 0), FBitmap->Image());
  painter.restore();
}

void TTavCustomImageButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y) {
  TControl::MouseDown(button, shift, x, y);
  if (button == Qt::LeftButton) {
    FPressing = true;
    FIsPressed = true;
    StartTriggerAnimation();
    update();
  }
}

void TTavCustomImageButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, qreal x, qreal y) {
  if (FPressing) {
    FPressing = false;
    FIsPressed = false;
    if (BoundsRect().contains(QPointF(x, y))) {
      if (!FGroupName.isEmpty() || !FStaysPressed)
        SetIsSelected(true);
      else
        SetIsSelected(!FIsSelected);
    }
    update();
  }
  TControl::MouseUp(button, shift, x, y);
}
