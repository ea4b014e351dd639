// The save-location screen: the folder pictures are saved into, the folder
// chooser, the board and camera failure pictures, and the start button that
// leads on to the working screen.
//
// The start button is disabled until the board scan has reported: until then
// the scan alone may use the board's port, and the working screen opens it.
// After the report it is enabled unless a failure has arrived; a failure
// disables it for the life of this view.
#pragma once

#include <string>
#include <vector>

#include "notification/Interfaces.h"
#include "views/common/Frame.h"
#include "views/widgets/StdCtrls.h"
#include "views/widgets/TavImageButton.h"

class TFrameSaveLocation : public TFrame, public IConnectionListener {
  Q_OBJECT
 public:
  explicit TFrameSaveLocation(QWidget* owner);
  ~TFrameSaveLocation() override;

  TImage* ImageSaveLocationText;
  TTavImageButton* TavImageButtonStartSulo;
  TRectangle* RectangleSaveLocation;
  TImage* ImageFolder;
  TLabel* LabelSaveLocationLast;
  TLabel* LabelSaveLocationFull;
  TTavImageButton* TavImageButtonSelect;
  TImage* ImageCameraError;
  TImage* ImageSuloError;

  // IConnectionListener. CameraIsConnect(true) arrives on the camera's worker
  // thread: for true the view only writes a trace line and touches nothing.
  void SuloIsConnect(bool IsConnect) override;
  void CameraIsConnect(bool IsConnect) override;

  // Shows a path in the two labels; changes neither configuration nor file.
  void SetSaveLocation(const std::string& SavePath);

  void TavImageButtonSelectClick(TControl* Sender);
  void TavImageButtonStartSuloClick(TControl* Sender);
  void ImageSaveLocationTextClick(TControl* Sender);

 private:
  void UpdateStartButton();
  bool FScanReported = false;
  bool FFailed = false;
};

// A save path cut into its elements at the directory separator ('/'; a
// Windows build cuts at '\' and '/'). An empty element between two adjacent
// separators, or before a leading one, counts; the empty rest after a trailing
// separator does not. An empty path has no elements.
std::vector<std::string> SplitSavePath(const std::string& SavePath);
