// Collects trace messages for the life of a test.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "logging/Log.h"

class TTraceCapture {
 public:
  TTraceCapture() {
    TLog::Instance().SetListener([this](std::string_view m) {
      std::lock_guard guard(FLock);
      FLines.emplace_back(m);
    });
  }
  ~TTraceCapture() { TLog::Instance().SetListener(nullptr); }

  std::vector<std::string> Lines() const {
    std::lock_guard guard(FLock);
    return FLines;
  }
  bool Contains(const std::string& text) const {
    std::lock_guard guard(FLock);
    return std::any_of(FLines.begin(), FLines.end(), [&](const std::string& l) { return l.find(text) != std::string::npos; });
  }
  void Clear() {
    std::lock_guard guard(FLock);
    FLines.clear();
  }

 private:
  mutable std::mutex FLock;
  std::vector<std::string> FLines;
};
