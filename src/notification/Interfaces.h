// The service interfaces components register for and call through the event
// bus. Methods are listed in slot order; each interface carries its identifier.
#pragma once

#include <cstdint>
#include <string>

#include "configuration/TakePicture.h"
#include "notification/NotificationCenter.h"

class ICameraControlListener : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{AF154873-A4EB-4AAE-970A-AD9F353B5346}";
  virtual void Shoot() = 0;
  virtual void RepeatShoot(std::int32_t RepeatCnt) = 0;
};

class ICanon : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{248A7A24-73E6-4D38-83C2-337E1A3CEA89}";
  virtual void OnOpen() = 0;
};

class IConnectionListener : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{FA37102C-6B6F-452D-AD05-EEA9DF80F795}";
  virtual void SuloIsConnect(bool IsConnect) = 0;
  virtual void CameraIsConnect(bool IsConnect) = 0;
};

class IDeviceScanning : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{4143BCEF-9B69-469A-A130-EF33786CA606}";
  virtual void ScanComplete(const bool Found) = 0;
};

class IDeviceShutdown : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{CA99ED7A-6191-4398-907E-813EB148D88A}";
  virtual void Shutdown() = 0;
};

class IMenuChangeListener : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{7E31C336-23BA-4C0C-B63D-EAE130CF17EF}";
  virtual void SubMenuChanged(TTakePictureMode SubMenu) = 0;
};

class ISavePopup : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{92745221-381D-4214-AC65-E84386C250A5}";
  virtual void SetDisableBG() = 0;
  virtual void OpenSavePopup() = 0;
  virtual void SaveSuccess() = 0;
  virtual void SetEnableScreen() = 0;
};

class ISavePopupListener : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{1B44D72F-D6BD-419D-B2EE-B9BAECCAAFE4}";
  virtual void OnClickSaveBtn() = 0;
  virtual void OnClickSaveAsBtn() = 0;
  virtual void OnClickDontSaveBtn() = 0;
  virtual void EnableFuntion() = 0;
};

class ISetting : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{4D23E6F7-950C-44A6-A2D1-FB8075FC2656}";
  virtual TTakePictureConfigurationKind GetKind() = 0;
  virtual std::int32_t GetValue() = 0;
  virtual void SetValue(const std::int32_t Value) = 0;
  virtual void Initialize(const TTakePictureConfigurationKind Kind) = 0;
  virtual void Read(TTakePictureConfiguration& TakePictureConfiguration) = 0;
  virtual void Write(const TTakePictureConfiguration& TakePictureConfiguration) = 0;
};

class ISettingChanged : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{EA7D8808-FC9F-4EAA-A178-FFEFE8B65CD4}";
  virtual void SettingChanged(ISetting* Setting) = 0;
};

class ISettingPasswordPopup : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{E5355D02-5555-400B-92AF-78A0B4809436}";
  virtual void OpenSettingPasswordPopup() = 0;
};

class IViewNavigation : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{8101E5FE-AD07-4B1F-BA24-1BDE4D585C07}";
  virtual void ShowView(std::string ViewName, std::string ParentView, std::int32_t WinType) = 0;
};

class IViewerListener : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{4F6B06DC-5A74-450E-8D20-B21EBEDEAEBB}";
  virtual void ToggleGuideLine() = 0;
  virtual void MoveLine(std::int32_t GroupNum, float X, float Y) = 0;
  virtual void MoveImage(std::int32_t GroupNum, float X, float Y) = 0;
  virtual void ImageMovingStart(std::int32_t GroupNum, float X, float Y) = 0;
  virtual void SetImageScale(std::int32_t GroupNum, float Scale) = 0;
};

class IViewerWheelControl : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{720C469B-2BA2-42EC-B05E-DCB697EC0B37}";
  virtual void SetWheelDisable(bool IsEnable) = 0;
};

class IWindowSizeControl : public virtual INotification {
 public:
  static constexpr std::string_view IID = "{BEE47644-0081-432E-8421-5422F455EFDB}";
  virtual void SetFullSize() = 0;
  virtual void SetMidiumSize() = 0;
};
