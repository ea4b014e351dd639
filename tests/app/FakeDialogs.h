// Dialog answers for tests: records what was shown, answers what is asked.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "views/common/Dialogs.h"

class TFakeDialogs : public IDialogs {
 public:
  TFakeDialogs() { TDialogs::FInstance = this; }
  ~TFakeDialogs() override { TDialogs::FInstance = nullptr; }

  struct TShown {
    std::string Caption;
    std::string Text;
    bool operator==(const TShown&) const = default;
  };
  std::vector<TShown> Errors;
  std::vector<std::string> Messages;

  std::optional<std::string> SelectDirectory(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<std::string> OpenFile(const std::string&, const std::string&, const std::string&) override { return std::nullopt; }
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  void ShowError(const std::string& caption, const std::string& text) override { Errors.push_back({caption, text}); }
  std::optional<std::string> InputQuery(const std::string&, const std::string&, bool) override { return std::nullopt; }
};
