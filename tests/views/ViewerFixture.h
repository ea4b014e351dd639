// The event bus, dialog answers and error capture the viewer tests share, and
// a recorder of what the panes send.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <deque>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "notification/Interfaces.h"
#include "support/TempDir.h"
#include "views/common/Dialogs.h"
#include "views/widgets/ErrorHook.h"

class TViewerDialogs : public IDialogs {
 public:
  std::deque<std::optional<std::string>> Files;
  std::vector<std::string> Filters;
  std::vector<std::string> Folders;  // where each open dialog started
  std::optional<std::string> SelectDirectory(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<std::string> OpenFile(const std::string&, const std::string& filter, const std::string& folder) override {
    Filters.push_back(filter);
    Folders.push_back(folder);
    if (Files.empty()) return std::nullopt;
    auto answer = Files.front();
    Files.pop_front();
    return answer;
  }
  void ShowMessage(const std::string&) override {}
  void ShowError(const std::string&, const std::string&) override {}
  std::optional<std::string> InputQuery(const std::string&, const std::string&, bool) override { return std::nullopt; }
};

// Registered after the panes, so it sees each call after they have.
class TViewerRecorder : public IViewerListener, public IViewerWheelControl {
 public:
  using TCall = std::tuple<int, float, float>;
  std::vector<TCall> MoveLines, MoveImages, MovingStarts;
  std::vector<std::pair<int, float>> Scales;
  std::vector<bool> WheelDisable;
  void ToggleGuideLine() override {}
  void MoveLine(std::int32_t g, float x, float y) override { MoveLines.emplace_back(g, x, y); }
  void MoveImage(std::int32_t g, float x, float y) override { MoveImages.emplace_back(g, x, y); }
  void ImageMovingStart(std::int32_t g, float x, float y) override { MovingStarts.emplace_back(g, x, y); }
  void SetImageScale(std::int32_t g, float s) override { Scales.emplace_back(g, s); }
  void SetWheelDisable(bool disable) override { WheelDisable.push_back(disable); }
};

class ViewerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    TNotificationCenter::FInstance = &Center;
    TDialogs::FInstance = &Dialogs;
    SetErrorHandler([this](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        Errors.push_back(e.what());
      }
    });
  }
  void TearDown() override {
    Unrecord();
    SetErrorHandler(nullptr);
    TDialogs::FInstance = nullptr;
    TNotificationCenter::FInstance = nullptr;
  }
  void Record() {
    Center.Add<IViewerListener>(&Recorder);
    Center.Add<IViewerWheelControl>(&Recorder);
    FRecording = true;
  }
  void Unrecord() {
    if (!FRecording) return;
    Center.Remove<IViewerListener>(&Recorder);
    Center.Remove<IViewerWheelControl>(&Recorder);
    FRecording = false;
  }
  std::string File(const char* name) { return Temp.File(name); }

  TTempDir Temp;
  TNotificationCenter Center;
  TViewerDialogs Dialogs;
  TViewerRecorder Recorder;
  std::vector<std::string> Errors;

 private:
  bool FRecording = false;
};
