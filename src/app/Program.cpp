#include "app/Program.h"

#include <filesystem>

#include "app/ErrorReport.h"
#include "app/MainForm.h"
#include "app/QtDispatcher.h"
#include "app/SimulatedBoard.h"
#include "board/DeviceModule.h"
#include "board/PortDirectory.h"
#include "camera/Canon.h"
#include "configuration/Configuration.h"
#include "configuration/DeviceProperties.h"
#include "configuration/FileLocations.h"
#include "logging/Log.h"
#include "notification/NotificationCenter.h"
#include "platform/Files.h"
#include "platform/SingleInstance.h"
#include "platform/UserFolders.h"
#include "views/common/Dialogs.h"

std::string LogFileName(const std::string& configurationFile) {
  return std::filesystem::path(configurationFile).replace_extension(".log").string();
}

TProgram::TProgram(IDispatcher& dispatcher, TProgramOptions options) : FDispatcher(dispatcher), FOptions(std::move(options)) {
  TFileLocations files;
  if (FOptions.ConfigurationFile.empty()) {
    files = PrepareFileLocations(ExecutablePath(), UserFolders());
  } else {
    files.ConfigurationFile = FOptions.ConfigurationFile;
    files.LogFile = LogFileName(FOptions.ConfigurationFile);
  }
  const std::string configuration = files.ConfigurationFile;
  TLog::SetThreadName("ui");
  TLog::Instance().Open(files.LogFile);
  Trace("Sulo start");
  Trace("Configuration file : " + files.ConfigurationFile);
  Trace("Log file : " + files.LogFile);
  for (const std::string& problem : files.Problems) Trace(problem);
  TNotificationCenter::FInstance = new TNotificationCenter();
  TDeviceProperties::FInstance = new TDeviceProperties();
  TGlobal::FInstance = new TGlobal(FDispatcher);
  TConfiguration::FInstance = new TConfiguration(configuration);
}

bool TProgram::Start() {
  FLock = std::make_unique<TSingleInstanceLock>(FOptions.LockName);
  if (!FLock->Acquired()) {
    Trace("Another instance is running");
    Dialogs().ShowError("Sulo", "Sulo 가 이미 실행 중입니다.");
    return false;
  }
  std::shared_ptr<const IPortDirectory> ports;
  if (FOptions.SimulatedBoard) {
    FSimBoard = std::make_unique<TSimulatedBoard>(FOptions.SimulatedBoardSilent);
    ports = FSimBoard->Ports();
  }
  DeviceModule = new TDeviceModule(FDispatcher, ports);
  MainForm = new TMainForm();
  MainForm->show();
  return true;
}

TProgram::~TProgram() {
  delete MainForm;  // hosted views first, then the camera's Close and Finalize
  MainForm = nullptr;
  delete DeviceModule;
  DeviceModule = nullptr;
  FSimBoard.reset();
  FLock.reset();
  delete TConfiguration::FInstance;
  TConfiguration::FInstance = nullptr;
  delete TGlobal::FInstance;
  TGlobal::FInstance = nullptr;
  delete TDeviceProperties::FInstance;
  TDeviceProperties::FInstance = nullptr;
  delete TNotificationCenter::FInstance;
  TNotificationCenter::FInstance = nullptr;
  Trace("Sulo end");
  TLog::Instance().Close();
}

int RunSulo(int argc, char** argv) {
  TApplication application(argc, argv);
  TQtDispatcher dispatcher;
  TProgramOptions options;
#ifndef SULO_SIMULATED_DEVICES
  options.SimulatedBoard = false;
#endif
  TProgram program(dispatcher, options);
  if (!program.Start()) return 0;
  return application.exec();
}
