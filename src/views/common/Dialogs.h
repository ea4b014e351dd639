// The modal dialogs every screen uses, behind one small interface so that
// tests can answer them. The program installs the platform's dialogs; a test
// installs its own answers.
#pragma once

#include <optional>
#include <string>

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  // Folder chooser with a caption, opening in `start` (see FolderDialogStart)
  // and letting the operator make a new folder; nullopt when cancelled.
  virtual std::optional<std::string> SelectDirectory(const std::string& caption, const std::string& start) = 0;
  // File open with a filter ("JPEG (*.jpg)"), starting in `folder` (the
  // dialog's own choice when empty); nullopt when cancelled.
  virtual std::optional<std::string> OpenFile(const std::string& caption, const std::string& filter,
                                              const std::string& folder) = 0;
  // Modal message box; returns when the operator has closed it.
  virtual void ShowMessage(const std::string& text) = 0;
  // Modal message box with the error icon and a caption.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
  // Modal input box; `masked` hides what is typed. nullopt when cancelled.
  virtual std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt, bool masked) = 0;
};

// The platform's dialogs (Qt).
class TQtDialogs : public IDialogs {
 public:
  std::optional<std::string> SelectDirectory(const std::string& caption, const std::string& start) override;
  std::optional<std::string> OpenFile(const std::string& caption, const std::string& filter,
                                      const std::string& folder) override;
  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& caption, const std::string& text) override;
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt, bool masked) override;
};

class TDialogs {
 public:
  // The dialogs in use: set by the program (or a test); never owned here.
  static IDialogs* FInstance;
};

// The dialogs in use; the platform's when none were installed.
IDialogs& Dialogs();

// Where the save folder's chooser opens: the folder chosen before, or with
// none the user's Pictures folder (the chooser makes it when missing), never
// the program's working directory.
std::string FolderDialogStart(const std::string& saveLocation);
