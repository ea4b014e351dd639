// The value spinner: one setting of a shooting mode, shown as the label of
// the selected choice, stepped through its choice list with the up and down
// buttons or picked by typing a choice's label exactly.
//
// The spinner edits one kind of setting (Initialize binds the kind, its title
// and its choice list). The list is never copied: the option tables' lists
// live for the whole run, and the camera's lists are shared with the camera
// controller, so the spinner keeps the one it was given alive. A spinner
// without choices (the camera's lists while no camera session is open) shows
// nothing, ignores every input and announces nothing.
//
// Every time the spinner shows a selected choice it announces itself through
// ISettingChanged. It joins ISetting when made and leaves when destroyed.
#pragma once

#include <cstdint>
#include <memory>

#include "configuration/DeviceProperties.h"
#include "configuration/TakePicture.h"
#include "notification/Interfaces.h"
#include "views/common/Frame.h"
#include "views/widgets/Edit.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"

// Makes the settings window's artwork (":/images/settings/...") available.
void InitSettingsArtwork();

class TFrameSpin : public TFrame, public ISetting {
  Q_OBJECT
 public:
  // A choice list the spinner holds: shared with the camera controller, or a
  // non-owning handle on an option table. Null: absent.
  using TChoices = std::shared_ptr<const TDevicePropertyList>;

  explicit TFrameSpin(QWidget* owner);
  ~TFrameSpin() override;

  // Controls (design units).
  TLabel* LabelTitle;
  TLayout* LayoutContainer;
  TRectangle* Rectangle1;
  TEdit* EditValue;
  TLayout* LayoutButton;
  TTavImageButton* TavImageButtonUp;
  TTavImageButton* TavImageButtonDown;
  TLayout* LayoutRightSpace;

  // ISetting.
  TTakePictureConfigurationKind GetKind() override;
  // The code of the selected choice; 0 when the spinner has no choices.
  std::int32_t GetValue() override;
  // Selects the first choice with this code (the selection stays when none
  // has it), then shows and announces it. Nothing without choices.
  void SetValue(const std::int32_t Value) override;
  // Binds the kind, its title and its choice list; the position is kept.
  void Initialize(const TTakePictureConfigurationKind Kind) override;
  // Stores the selected code into the record under the kind (the record is
  // left alone when the spinner has no choices).
  void Read(TTakePictureConfiguration& TakePictureConfiguration) override;
  // Selects the record's value for the kind, as SetValue.
  void Write(const TTakePictureConfiguration& TakePictureConfiguration) override;

  // Shows the selected choice's label and announces the spinner.
  void UpdateDisplayText();

  void TavImageButtonUpClick(TControl* Sender);
  void TavImageButtonDownClick(TControl* Sender);
  // The edit lost the focus: the first choice whose label equals the text
  // exactly is selected; the display shows the selection in any case.
  void EditValueExit(TControl* Sender);

  // Height of the value row (edit and buttons): 30 by default.
  void SetValueRowHeight(qreal height);

  // The bound choices (null when absent) and the selected position.
  const TChoices& DeviceProperties() const { return FDeviceProperties; }
  int Index() const { return FIndex; }

  // The title and choice list of a kind; Activation, GuideX and GuideY have
  // none (empty title, null list). The camera's lists come from the camera
  // controller and are null while no session is open.
  static QString TitleOf(TTakePictureConfigurationKind kind);
  static TChoices ChoicesOf(TTakePictureConfigurationKind kind);

 private:
  int Count() const { return FDeviceProperties ? static_cast<int>(FDeviceProperties->size()) : 0; }

  TTakePictureConfigurationKind FKind = TTakePictureConfigurationKind::Activation;
  TChoices FDeviceProperties;
  int FIndex = 0;
};
